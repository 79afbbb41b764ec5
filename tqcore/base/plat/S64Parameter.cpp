// 64-bit parameters and their two text forms.
#include <plat/S64Parameter.h>

#include <plat/DString.h>
#include <plat/hex.h>
#include <plat/stringUtil.h>

#include <cstring>

namespace plat {

namespace {

constexpr const char* Prefix = "int64:";
constexpr std::size_t PrefixLength = 6;
constexpr std::size_t DigitCount = 16;

DString textOf(std::int64_t value) {
    DString text;
    text.format("%s%016llx", Prefix, static_cast<unsigned long long>(value));
    return text;
}

bool isPrefixedForm(const char* text) {
    if (!startsWith(text, Prefix) || std::strlen(text) != PrefixLength + DigitCount)
        return false;
    for (const char* digit = text + PrefixLength; *digit != '\0'; ++digit) {
        if (hexDigitValue(*digit) < 0)
            return false;
    }
    return true;
}

std::uint64_t decodeDigits(const char* digits) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < DigitCount; ++i) {
        value = (value << 4) | std::uint64_t(hexDigitValue(digits[i]));
    }
    return value;
}

} // namespace

S64Parameter::S64Parameter(const char* name, ParameterDescription description,
                           std::int64_t defaultValue, bool advanced, Configuration* configuration,
                           const char* flags)
    : StringParameter(name, description, textOf(defaultValue).c_str(), advanced, configuration,
                      flags) {}

S64Parameter::S64Parameter(const S64Parameter& original, Configuration* configuration)
    : StringParameter(original, configuration) {}

bool S64Parameter::setParam(const char* text, int priority) {
    if (text == nullptr)
        return false;
    if (isPrefixedForm(text))
        return store(String(text), priority);
    MBuf<unsigned char> bytes;
    if (!hexToBin(text, bytes, std::nothrow) || bytes.length() != 8)
        return false;
    std::uint64_t value = 0;
    for (int i = 7; i >= 0; --i)
        value = (value << 8) | bytes[std::uint32_t(i)];
    return setValue(static_cast<std::int64_t>(value), priority);
}

const char* S64Parameter::getTypeName() const {
    return "s64";
}

ConfigParameter* S64Parameter::clone(Configuration* configuration) const {
    return giveToConfiguration(
        std::unique_ptr<S64Parameter>(new S64Parameter(*this, configuration)));
}

std::int64_t S64Parameter::getValue() const {
    return static_cast<std::int64_t>(decodeDigits(currentText() + PrefixLength));
}

bool S64Parameter::setValue(std::int64_t value, int priority) {
    return store(String(textOf(value).c_str()), priority);
}

} // namespace plat

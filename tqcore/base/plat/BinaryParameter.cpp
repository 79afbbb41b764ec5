// Binary parameters.
#include <plat/BinaryParameter.h>

#include <plat/hex.h>

namespace plat {

namespace {

constexpr const char* MaskedText = "<binary>";

MBuf<unsigned char> wipedCopy(const void* bytes, std::uint32_t length) {
    return MBuf<unsigned char>(static_cast<const unsigned char*>(bytes), length, true);
}

} // namespace

BinaryParameter::BinaryParameter(const char* name, ParameterDescription description,
                                 const void* defaultBytes, std::uint32_t defaultLength,
                                 bool advanced, Configuration* configuration, const char* flags)
    : TypedParameter(name, description, wipedCopy(defaultBytes, defaultLength), advanced,
                     configuration, flags) {
    forceAdvanced();
}

BinaryParameter::BinaryParameter(const BinaryParameter& original, Configuration* configuration)
    : TypedParameter(original, configuration) {}

bool BinaryParameter::setParam(const char* text, int priority) {
    if (text == nullptr)
        return false;
    MBuf<unsigned char> bytes;
    // Set first: decoding honours the flag for its working buffer.
    bytes.setWipe(true);
    if (!hexToBin(text, bytes, std::nothrow))
        return false;
    return store(std::move(bytes), priority);
}

DString BinaryParameter::getValueStr() const {
    const MBuf<unsigned char>& bytes = current();
    return binToHex(bytes.data(), bytes.length());
}

DString BinaryParameter::getValueStrAt(int priority) const {
    return hasValueAt(priority) ? DString(MaskedText) : DString();
}

const char* BinaryParameter::getTypeName() const {
    return "binary";
}

ConfigParameter* BinaryParameter::clone(Configuration* configuration) const {
    return giveToConfiguration(
        std::unique_ptr<BinaryParameter>(new BinaryParameter(*this, configuration)));
}

MBuf<unsigned char> BinaryParameter::getValueBuffer() const {
    return current();
}

bool BinaryParameter::setValue(const void* bytes, std::uint32_t length, int priority) {
    return store(wipedCopy(bytes, length), priority);
}

void BinaryParameter::copyValuesFrom(const BinaryParameter& other) {
    if (&other == this)
        return;
    for (const auto& [priority, bytes] : other.allValues())
        store(bytes, priority);
}

} // namespace plat

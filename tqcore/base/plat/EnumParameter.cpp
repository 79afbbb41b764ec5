// Enumerated parameters: lookup of names and indices.
#include <plat/EnumParameter.h>

#include <plat/Exception.h>
#include <plat/stringUtil.h>

namespace plat {

namespace {

int countNames(const char* const* names) {
    int count = 0;
    while (names[count] != nullptr)
        ++count;
    return count;
}

// -1 when no name matches.
int indexOfName(const char* const* names, const char* wanted) {
    for (int i = 0; names[i] != nullptr; ++i) {
        if (equalsNoCase(names[i], wanted))
            return i;
    }
    return -1;
}

int defaultIndex(const char* parameterName, const char* const* names, const char* defaultName) {
    PLAT_ASSERT(names && names[0]);
    int index = indexOfName(names, defaultName);
    PLAT_ASSERT_INFO(index >= 0, "Default value %s for %s not among its names",
                     defaultName ? defaultName : "<null>", parameterName);
    return index;
}

} // namespace

EnumParameter::EnumParameter(const char* name, ParameterDescription description,
                             const char* defaultName, const char* const* names, bool advanced,
                             Configuration* configuration, const char* flags)
    : IntParameter(name, description, defaultIndex(name, names, defaultName), advanced,
                   configuration, 0, countNames(names) - 1, flags),
      names(names) {}

EnumParameter::EnumParameter(const EnumParameter& original, Configuration* configuration)
    : IntParameter(original, configuration), names(original.names) {
    ownNames();
}

bool EnumParameter::setParam(const char* text, int priority) {
    if (text == nullptr)
        return false;
    int index = indexOfName(names, text);
    return index >= 0 && setParam(index, priority);
}

const char* EnumParameter::getTypeName() const {
    return "enum";
}

ConfigParameter* EnumParameter::clone(Configuration* configuration) const {
    return giveToConfiguration(
        std::unique_ptr<EnumParameter>(new EnumParameter(*this, configuration)));
}

DString EnumParameter::formatValue(int value) const {
    if (value < getMinValue() || value > getMaxValue())
        return IntParameter::formatValue(value);
    return DString(names[value]);
}

void EnumParameter::ownNames() {
    std::vector<String> copies;
    for (int i = 0; names[i] != nullptr; ++i)
        copies.emplace_back(names[i]);
    ownedNames = std::move(copies);
    ownedNameList.clear();
    for (const String& copy : ownedNames)
        ownedNameList.push_back(copy.get());
    ownedNameList.push_back(nullptr);
    names = ownedNameList.data();
}

} // namespace plat

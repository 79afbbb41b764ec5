// Integer parameters and their range check.
#include <plat/IntParameter.h>

#include <plat/Exception.h>
#include <plat/parseNumber.h>

namespace plat {

IntParameter::IntParameter(const char* name, ParameterDescription description, int defaultValue,
                           bool advanced, Configuration* configuration, int minValue, int maxValue,
                           const char* flags)
    : TypedParameter(name, description, defaultValue, advanced, configuration, flags),
      minValue(minValue), maxValue(maxValue) {
    PLAT_ASSERT_INFO(minValue <= defaultValue && defaultValue <= maxValue,
                     "Default value %d of %s outside %d to %d", defaultValue, name, minValue,
                     maxValue);
}

IntParameter::IntParameter(const IntParameter& original, Configuration* configuration)
    : TypedParameter(original, configuration), minValue(original.minValue),
      maxValue(original.maxValue) {}

bool IntParameter::setParam(const char* text, int priority) {
    std::int32_t value = 0;
    // Base 0 gives the C literal forms.
    if (!parseWholeS32(text, value, std::nothrow, minValue, maxValue, 0))
        return false;
    return store(value, priority);
}

bool IntParameter::setParam(int value, int priority) {
    if (value < minValue || value > maxValue)
        return false;
    return store(value, priority);
}

DString IntParameter::getValueStr() const {
    return getValueStrAt(getPriority());
}

int IntParameter::getValueInt() const {
    return current();
}

DString IntParameter::getValueStrAt(int priority) const {
    const int* value = valueAt(priority);
    return value ? formatValue(*value) : DString();
}

const char* IntParameter::getTypeName() const {
    return "int";
}

ConfigParameter* IntParameter::clone(Configuration* configuration) const {
    return giveToConfiguration(
        std::unique_ptr<IntParameter>(new IntParameter(*this, configuration)));
}

} // namespace plat

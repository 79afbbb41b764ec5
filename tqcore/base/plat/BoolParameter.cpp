// Boolean parameters and the words they accept.
#include <plat/BoolParameter.h>

#include <plat/Log.h>
#include <plat/stringUtil.h>

namespace plat {

namespace {

bool isOneOf(const char* text, std::initializer_list<const char*> words) {
    for (const char* word : words) {
        if (equalsNoCase(text, word))
            return true;
    }
    return false;
}

} // namespace

BoolParameter::BoolParameter(const char* name, ParameterDescription description, bool defaultValue,
                             bool advanced, Configuration* configuration, const char* flags)
    : TypedParameter(name, description, defaultValue, advanced, configuration, flags) {}

BoolParameter::BoolParameter(const BoolParameter& original, Configuration* configuration)
    : TypedParameter(original, configuration) {}

bool BoolParameter::setParam(const char* text, int priority) {
    if (text == nullptr || *text == '\0' || isOneOf(text, {"1", "on", "true", "yes"}))
        return store(true, priority);
    if (isOneOf(text, {"0", "off", "false", "no"}))
        return store(false, priority);
    log().error("Bool parameter %s: invalid value '%s'", getName(), text);
    return false;
}

bool BoolParameter::setParam(int value, int priority) {
    return store(value != 0, priority);
}

DString BoolParameter::getValueStr() const {
    return getValueStrAt(getPriority());
}

int BoolParameter::getValueInt() const {
    return current() ? 1 : 0;
}

DString BoolParameter::getValueStrAt(int priority) const {
    const bool* value = valueAt(priority);
    if (value == nullptr)
        return DString();
    return DString(*value ? "1" : "0");
}

const char* BoolParameter::getTypeName() const {
    return "bool";
}

ConfigParameter* BoolParameter::clone(Configuration* configuration) const {
    return giveToConfiguration(
        std::unique_ptr<BoolParameter>(new BoolParameter(*this, configuration)));
}

} // namespace plat

// Text parameters.
#include <plat/StringParameter.h>

#include <plat/Exception.h>
#include <plat/fixedText.h>
#include <plat/utf8.h>

namespace plat {

namespace {

String checkedDefault(const char* parameterName, const char* def) {
    PLAT_ASSERT_INFO(def, "Default value <null> for %s not allowed", parameterName);
    return String(def);
}

} // namespace

StringParameter::StringParameter(const char* name, ParameterDescription description,
                                 const char* defaultValue, bool advanced,
                                 Configuration* configuration, const char* flags)
    : TypedParameter(name, description, checkedDefault(name, defaultValue), advanced, configuration,
                     flags) {}

StringParameter::StringParameter(const StringParameter& original, Configuration* configuration)
    : TypedParameter(original, configuration) {}

bool StringParameter::setParam(const char* text, int priority) {
    if (text == nullptr)
        return false;
    if (!isValidUtf8(text)) {
        char message[Exception::MessageCapacity] = {};
        boundedAppendf(message, sizeof message, "Bad UTF-8 string for %s", getName());
        throw BadUtf8(message);
    }
    return store(String(text), priority);
}

DString StringParameter::getValueStr() const {
    return getValueStrAt(getPriority());
}

DString StringParameter::getValueStrAt(int priority) const {
    const String* value = valueAt(priority);
    return value ? DString(value->c_str()) : DString();
}

const char* StringParameter::getTypeName() const {
    return "string";
}

ConfigParameter* StringParameter::clone(Configuration* configuration) const {
    return giveToConfiguration(
        std::unique_ptr<StringParameter>(new StringParameter(*this, configuration)));
}

} // namespace plat

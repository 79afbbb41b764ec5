// A UTF-8 text configuration parameter.
#pragma once

#include <plat/String.h>
#include <plat/TypedParameter.h>

namespace plat {

class StringParameter : public TypedParameter<String> {
public:
    // The default must not be null.
    StringParameter(const char* name, ParameterDescription description, const char* defaultValue,
                    bool advanced = false, Configuration* configuration = nullptr,
                    const char* flags = nullptr);

    using ConfigParameter::setParam;
    // A null text is refused; text that is not valid UTF-8 throws plat::BadUtf8.
    bool setParam(const char* text, int priority) override;
    DString getValueStr() const override;
    DString getValueStrAt(int priority) const override;
    const char* getTypeName() const override;
    ConfigParameter* clone(Configuration* configuration) const override;

    String getValue() const { return current(); }
    bool setValue(const char* text, int priority) { return setParam(text, priority); }

protected:
    StringParameter(const StringParameter& original, Configuration* configuration);
    // The current text, valid until the parameter changes.
    const char* currentText() const { return current().c_str(); }
};

} // namespace plat

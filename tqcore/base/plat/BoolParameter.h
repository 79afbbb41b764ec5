// A Boolean configuration parameter; its value text is "1" or "0".
#pragma once

#include <plat/TypedParameter.h>

namespace plat {

class BoolParameter : public TypedParameter<bool> {
public:
    BoolParameter(const char* name, ParameterDescription description, bool defaultValue,
                  bool advanced = false, Configuration* configuration = nullptr,
                  const char* flags = nullptr);

    // Null or empty, "1", "on", "true" and "yes" mean true; "0", "off", "false" and "no" mean
    // false (words in any case). Anything else is refused and logged.
    bool setParam(const char* text, int priority) override;
    // Any value other than 0 means true.
    bool setParam(int value, int priority) override;
    DString getValueStr() const override;
    int getValueInt() const override;
    DString getValueStrAt(int priority) const override;
    const char* getTypeName() const override;
    ConfigParameter* clone(Configuration* configuration) const override;

    bool getValue() const { return current(); }
    bool setValue(bool value, int priority) { return store(value, priority); }

private:
    BoolParameter(const BoolParameter& original, Configuration* configuration);
};

} // namespace plat

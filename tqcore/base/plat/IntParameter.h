// A signed 32-bit integer configuration parameter limited to an inclusive range.
#pragma once

#include <plat/TypedParameter.h>

#include <climits>

namespace plat {

class IntParameter : public TypedParameter<int> {
public:
    IntParameter(const char* name, ParameterDescription description, int defaultValue,
                 bool advanced = false, Configuration* configuration = nullptr,
                 int minValue = INT_MIN, int maxValue = INT_MAX, const char* flags = nullptr);

    // A whole C integer literal (decimal, 0x hexadecimal or 0 octal) within the range; anything
    // else is refused without a message.
    bool setParam(const char* text, int priority) override;
    bool setParam(int value, int priority) override;
    DString getValueStr() const override;
    int getValueInt() const override;
    DString getValueStrAt(int priority) const override;
    const char* getTypeName() const override;
    ConfigParameter* clone(Configuration* configuration) const override;

    int getValue() const { return current(); }
    bool setValue(int value, int priority) { return setParam(value, priority); }
    int getMinValue() const { return minValue; }
    int getMaxValue() const { return maxValue; }

protected:
    IntParameter(const IntParameter& original, Configuration* configuration);

private:
    int minValue;
    int maxValue;
};

} // namespace plat

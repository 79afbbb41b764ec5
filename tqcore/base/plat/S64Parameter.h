// A signed 64-bit parameter kept as text: "int64:" followed by 16 hexadecimal digits, most
// significant first.
#pragma once

#include <plat/StringParameter.h>

#include <cstdint>

namespace plat {

class S64Parameter : public StringParameter {
public:
    S64Parameter(const char* name, ParameterDescription description, std::int64_t defaultValue,
                 bool advanced = false, Configuration* configuration = nullptr,
                 const char* flags = nullptr);

    using StringParameter::setParam;
    // Takes the "int64:" form, or 16 hexadecimal digits giving the value's 8 bytes in
    // little-endian order; anything else is refused.
    bool setParam(const char* text, int priority) override;
    const char* getTypeName() const override;
    ConfigParameter* clone(Configuration* configuration) const override;

    std::int64_t getValue() const;
    bool setValue(std::int64_t value, int priority);

private:
    S64Parameter(const S64Parameter& original, Configuration* configuration);
};

} // namespace plat

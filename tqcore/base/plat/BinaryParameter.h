// A byte-buffer parameter for secrets and opaque data. Its value texts never show the bytes in
// logs or listings, its buffers are wiped when released, and it is always advanced.
#pragma once

#include <plat/MBuf.h>
#include <plat/TypedParameter.h>

#include <cstdint>

namespace plat {

class BinaryParameter : public TypedParameter<MBuf<unsigned char>> {
public:
    BinaryParameter(const char* name, ParameterDescription description, const void* defaultBytes,
                    std::uint32_t defaultLength, bool advanced = false,
                    Configuration* configuration = nullptr, const char* flags = nullptr);

    using ConfigParameter::setParam;
    // Hexadecimal digits in pairs; a null text or any other text is refused.
    bool setParam(const char* text, int priority) override;
    // The lower-case hexadecimal form of the current bytes.
    DString getValueStr() const override;
    // "<binary>" at every priority that has a value.
    DString getValueStrAt(int priority) const override;
    const char* getTypeName() const override;
    ConfigParameter* clone(Configuration* configuration) const override;
    // A copy of the current bytes, carrying their wipe flag.
    virtual MBuf<unsigned char> getValueBuffer() const;

    MBuf<unsigned char> getValue() const { return getValueBuffer(); }
    bool setValue(const void* bytes, std::uint32_t length, int priority);

    // Takes other's bytes at every priority it has (copyFrom cannot go through the masked texts).
    void copyValuesFrom(const BinaryParameter& other);

private:
    BinaryParameter(const BinaryParameter& original, Configuration* configuration);
};

} // namespace plat

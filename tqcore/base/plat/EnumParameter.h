// An integer parameter whose values are the indices of a list of names; its value text is the
// name at the current index.
#pragma once

#include <plat/IntParameter.h>
#include <plat/String.h>

#include <vector>

namespace plat {

class EnumParameter : public IntParameter {
public:
    // names is a null-terminated array that must contain defaultName and outlive the parameter.
    EnumParameter(const char* name, ParameterDescription description, const char* defaultName,
                  const char* const* names, bool advanced = false,
                  Configuration* configuration = nullptr, const char* flags = nullptr);

    using IntParameter::setParam;
    // The first name equal to text without regard to ASCII case; no match is refused.
    bool setParam(const char* text, int priority) override;
    const char* getTypeName() const override;
    ConfigParameter* clone(Configuration* configuration) const override;
    // The name at value, or the number for a value outside the list.
    DString formatValue(int value) const override;

    const char* const* getNames() const { return names; }
    const char* getValueName() const { return names[getValue()]; }

private:
    friend class Configuration;

    EnumParameter(const EnumParameter& original, Configuration* configuration);
    // Replaces the borrowed names by owned duplicates.
    void ownNames();

    const char* const* names;
    std::vector<String> ownedNames;
    std::vector<const char*> ownedNameList;
};

} // namespace plat

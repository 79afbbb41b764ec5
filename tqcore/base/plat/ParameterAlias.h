// An alternative parameter name that stands for one or more target parameters, so that old names
// keep working after parameters were renamed or split.
#pragma once

#include <plat/String.h>

#include <initializer_list>
#include <map>
#include <string>
#include <vector>

namespace plat {

// Target name to value; a null value is kept as null (it turns Boolean parameters on).
using AliasExpansion = std::map<std::string, String>;

class ParameterAlias {
public:
    explicit ParameterAlias(std::initializer_list<const char*> targets);

    // Writes value under every target name into out.
    bool expand(const char* name, const char* value, AliasExpansion& out) const;

    const std::vector<String>& getTargets() const { return targets; }

private:
    std::vector<String> targets;
};

} // namespace plat

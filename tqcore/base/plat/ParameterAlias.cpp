// Expansion of parameter aliases.
#include <plat/ParameterAlias.h>

namespace plat {

ParameterAlias::ParameterAlias(std::initializer_list<const char*> targetNames) {
    for (const char* target : targetNames) {
        if (target)
            targets.emplace_back(target);
    }
}

bool ParameterAlias::expand(const char*, const char* value, AliasExpansion& out) const {
    for (const String& target : targets)
        out.insert_or_assign(target.get(), String(value));
    return true;
}

} // namespace plat

// $-variable expansion from a map and the environment.
#include <plat/expandVars.h>

#include <plat/Exception.h>
#include <plat/TextBuilder.h>

#include <cstdlib>
#include <cstring>
#include <string_view>

namespace plat {

namespace {

bool isNameCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// Returns the position after the variable reference that starts after a '$', storing its name.
const char* readName(const char* afterDollar, std::string_view& name) {
    if (*afterDollar == '{') {
        const char* start = afterDollar + 1;
        const char* close = std::strchr(start, '}');
        const char* end = close ? close : start + std::strlen(start);
        name = std::string_view(start, std::size_t(end - start));
        return close ? close + 1 : end;
    }
    const char* end = afterDollar;
    while (isNameCharacter(*end))
        ++end;
    name = std::string_view(afterDollar, std::size_t(end - afterDollar));
    return end;
}

const char* lookUp(std::string_view name, const VariableMap* variables, bool useEnvironment) {
    if (variables) {
        auto found = variables->find(name);
        if (found != variables->end())
            return found->second.c_str();
    }
    if (!useEnvironment)
        return nullptr;
    return std::getenv(std::string(name).c_str());
}

} // namespace

DString expandVars(const char* text, const VariableMap* variables, bool throwIfUnknown,
                   bool useEnvironment) {
    DString result;
    if (text == nullptr)
        return result;
    TextBuilder out(result);
    while (*text != '\0') {
        const char* dollar = std::strchr(text, '$');
        if (dollar == nullptr) {
            out.append(text);
            break;
        }
        out.append(text, int(dollar - text));
        if (dollar[1] == '$' || (dollar[1] == '{' && dollar[2] == '}')) {
            out.append('$');
            text = dollar + (dollar[1] == '$' ? 2 : 3);
            continue;
        }
        std::string_view name;
        text = readName(dollar + 1, name);
        if (name.empty())
            continue;
        const char* value = lookUp(name, variables, useEnvironment);
        if (value == nullptr && throwIfUnknown)
            throw ExceptionFmt("unknown environment variable: %.*s", int(name.size()), name.data());
        if (value)
            out.append(value);
    }
    return result;
}

} // namespace plat

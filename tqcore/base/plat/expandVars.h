// Expansion of $name and ${name} in texts such as configured paths ("$HOME/.kbx").
#pragma once

#include <plat/DString.h>

#include <functional>
#include <map>
#include <string>

namespace plat {

using VariableMap = std::map<std::string, std::string, std::less<>>;

// Copies text, replacing each variable by its value. ${name} runs to the next '}' (or the end);
// a bare $name is the longest run of ASCII letters, digits and '_'. "$$" and "${}" give one '$';
// a '$' followed by no name character is dropped. A name is looked up in variables (when given,
// case-sensitive), then, with useEnvironment, in the environment. An unknown name expands to
// nothing, or with throwIfUnknown throws plat::Exception "unknown environment variable: %s".
// A null text gives a null string.
DString expandVars(const char* text, const VariableMap* variables = nullptr,
                   bool throwIfUnknown = false, bool useEnvironment = true);

} // namespace plat

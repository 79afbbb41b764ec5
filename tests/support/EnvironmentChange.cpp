// Environment changes undone at the end of a test.
#include "EnvironmentChange.h"

#include <cstdlib>

namespace testsupport {

EnvironmentChange::EnvironmentChange(const char* variable, std::optional<std::string> value)
    : name(variable) {
    if (const char* old = std::getenv(variable))
        previous = old;
    if (value)
        setenv(variable, value->c_str(), 1);
    else
        unsetenv(variable);
}

EnvironmentChange::~EnvironmentChange() {
    if (previous)
        setenv(name.c_str(), previous->c_str(), 1);
    else
        unsetenv(name.c_str());
}

} // namespace testsupport

// Sets (or, with no value, removes) an environment variable and puts the old state back at the end.
#pragma once

#include <optional>
#include <string>

namespace testsupport {

class EnvironmentChange {
public:
    EnvironmentChange(const char* name, std::optional<std::string> value);
    ~EnvironmentChange();
    EnvironmentChange(const EnvironmentChange&) = delete;
    EnvironmentChange& operator=(const EnvironmentChange&) = delete;

private:
    std::string name;
    std::optional<std::string> previous;
};

} // namespace testsupport

// Changes to the process environment. None of them locks: change the environment before other
// threads start.
#pragma once

#include <plat/DString.h>
#include <plat/NonCopyable.h>

namespace os {

// Sets or overwrites; raises plat::SystemException "setenv(%s)" (a null value: EINVAL).
void setEnv(const char* name, const char* value);
// Raises plat::SystemException "unsetenv(%s)" for a name that no variable can have.
void unsetEnv(const char* name);
// Empties the environment in place: the array that environ points to stays, so code holding that
// pointer sees an empty environment rather than freed memory.
void clearEnvironment();

// Hides one variable for the guard's lifetime by emptying its value in place (the variable stays
// listed, with an empty value), so that nothing is allocated or freed. At the end the value comes
// back, unless the variable has been set anew in the meantime.
class HiddenEnvironmentVariable : plat::NonCopyable {
public:
    explicit HiddenEnvironmentVariable(const char* name);
    ~HiddenEnvironmentVariable();

private:
    plat::DString variableName;
    char* value = nullptr;
    char firstByte = '\0';
};

} // namespace os

// Environment changes over setenv, unsetenv and the environ array.
#include <os/unix/environment.h>

#include <plat/Exception.h>

#include <cerrno>
#include <cstdlib>
#include <unistd.h>

namespace os {

void setEnv(const char* name, const char* value) {
    // The C library would read through a null value.
    if (!value)
        throw plat::SystemExceptionFmt("setenv(%s)", EINVAL, name ? name : "<null>");
    if (::setenv(name, value, 1) != 0)
        throw plat::SystemExceptionFmt("setenv(%s)", errno, name ? name : "<null>");
}

void unsetEnv(const char* name) {
    if (::unsetenv(name) != 0)
        throw plat::SystemExceptionFmt("unsetenv(%s)", errno, name ? name : "<null>");
}

void clearEnvironment() {
    if (environ)
        environ[0] = nullptr;
}

HiddenEnvironmentVariable::HiddenEnvironmentVariable(const char* name) : variableName(name) {
    value = name ? std::getenv(name) : nullptr;
    if (!value)
        return;
    firstByte = value[0];
    value[0] = '\0';
}

HiddenEnvironmentVariable::~HiddenEnvironmentVariable() {
    // A new setenv gives the variable new storage; the old value then belongs to nobody's view.
    if (value && std::getenv(variableName.get()) == value)
        value[0] = firstByte;
}

} // namespace os

// Host descriptions from uname and gethostname.
#include <os/unix/hostInfo.h>

#include <plat/Exception.h>
#include <plat/fixedText.h>

#include <cerrno>
#include <cstring>
#include <sys/utsname.h>
#include <unistd.h>

namespace os {

namespace {

constexpr std::size_t HostNameCapacity = 257;

// Package architectures name some machines differently from the kernel.
const char* packageArchitecture(const char* machine) {
    if (std::strcmp(machine, "x86_64") == 0)
        return "amd64";
    if (std::strcmp(machine, "aarch64") == 0)
        return "arm64";
    return machine;
}

} // namespace

plat::DString getKernel() {
    utsname names;
    if (::uname(&names) != 0)
        return plat::DString(plat::SystemException("uname", errno).message());
    plat::DString kernel("Linux ");
    kernel.append(names.release, int(std::strcspn(names.release, "-")));
    return kernel;
}

const char* getArchitecture(char* buffer) {
    buffer[0] = '\0';
    utsname names;
    if (::uname(&names) != 0)
        plat::boundedAppend(buffer, ArchitectureCapacity,
                            plat::SystemException("uname", errno).message());
    else
        plat::boundedAppend(buffer, ArchitectureCapacity, packageArchitecture(names.machine));
    return buffer;
}

plat::DString getHostName() {
    char name[HostNameCapacity] = {};
    // gethostname leaves the text unterminated when the name is cut, and a failure may leave
    // part of a name behind.
    if (::gethostname(name, sizeof name - 1) != 0)
        name[0] = '\0';
    name[sizeof name - 1] = '\0';
    return plat::DString(name, int(std::strcspn(name, ".")));
}

} // namespace os

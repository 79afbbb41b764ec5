// Host descriptions: kernel and architecture.
#include <os/unix/hostInfo.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <sys/utsname.h>

namespace {

TEST(HostDescription, KernelIsLinuxAndTheReleaseUpToItsFirstDash) {
    utsname names;
    ASSERT_EQ(::uname(&names), 0);
    std::string release = names.release;
    EXPECT_EQ(std::string(os::getKernel().get()), "Linux " + release.substr(0, release.find('-')));
}

TEST(HostDescription, X86_64IsNamedAmd64) {
    utsname names;
    ASSERT_EQ(::uname(&names), 0);
    if (std::strcmp(names.machine, "x86_64") != 0)
        GTEST_SKIP() << "not an x86-64 machine";
    char buffer[os::ArchitectureCapacity];
    EXPECT_STREQ(os::getArchitecture(buffer), "amd64");
}

} // namespace

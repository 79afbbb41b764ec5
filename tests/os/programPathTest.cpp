// Executable look-up on PATH and the program's own location.

#include <os/unix/programPath.h>

#include <plat/Exception.h>

#include <support/EnvironmentChange.h>
#include <support/TemporaryDirectory.h>
#include <support/raisedBy.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <unistd.h>

namespace {

using testsupport::EnvironmentChange;
using testsupport::TemporaryDirectory;

std::string found(const plat::DString& path) {
    return path.isNull() ? "<null>" : path.get();
}

std::string realPath(const std::string& path) {
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) ? resolved : "<unresolved>";
}

TEST(FindExecutable, EmptyPathElementsAreSkippedAndTheFirstExistingCandidateEndsTheSearch) {
    TemporaryDirectory first;
    TemporaryDirectory second;
    std::string tool = second.write("tool", "#!/bin/sh\n", 0755);
    EnvironmentChange path("PATH", "::" + second.path() + ":");
    EXPECT_EQ(found(os::findExecutable("tool", true)), realPath(tool));
    first.write("tool", "#!/bin/sh\n", 0644);
    EnvironmentChange shadowed("PATH", first.path() + ":" + second.path());
    EXPECT_EQ(found(os::findExecutable("tool", true)), "<null>");
}

TEST(FindExecutable, NameWithSlashMustBeAnExecutableRegularFile) {
    TemporaryDirectory dir;
    EXPECT_EQ(found(os::findExecutable(dir.write("plain", "data").c_str(), true)), "<null>");
    EXPECT_EQ(found(os::findExecutable(dir.path().c_str(), true)), "<null>");
    EXPECT_EQ(found(os::findExecutable(nullptr, true)), "<null>");
    EXPECT_EQ(found(os::findExecutable("/bin/sh", false)), realPath("/bin/sh"));
}

TEST(ProgramPath, RelativeNameIsFoundBesideTheProgram) {
    std::string own = realPath("/proc/self/exe");
    std::string name = own.substr(own.rfind('/') + 1);
    EnvironmentChange path("PATH", "/nonexistent");
    EXPECT_EQ(found(os::getProgramPath(name.c_str(), true, true)), own);
}

TEST(ProgramPath, MissingProgramRaisesEnoentWhenItMustExist) {
    EXPECT_EQ(found(os::getProgramPath("/nonexistent/qv-tool", false)), "<null>");
    testsupport::Raised raised = testsupport::raisedBy<plat::SystemException>(
        [] { os::getProgramPath("/nonexistent/qv-tool", true); });
    EXPECT_EQ(raised.error, ENOENT);
    EXPECT_TRUE(raised.startsWith("/nonexistent/qv-tool does not exist or is not executable"))
        << raised.message;
}

} // namespace

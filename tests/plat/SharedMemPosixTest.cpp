// POSIX objects and file-backed segments: handing over to a forked child, what a description may
// announce, the stale clean-up by creator process and removal after failed creations.
#include <plat/SharedMemPosix.h>

#include <support/EnvironmentChange.h>
#include <support/RecordingLogDest.h>
#include <support/TemporaryDirectory.h>
#include <support/fileContents.h>
#include <support/forkedChild.h>
#include <support/raisedBy.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using testsupport::raisedBy;

std::string devShm(const char* name) {
    return std::string("/dev/shm") + name;
}

// The objects in /dev/shm that this process's naming would give.
std::vector<std::string> ownObjects() {
    std::string prefix =
        std::string(program_invocation_short_name) + "-" + std::to_string(::getpid()) + "-";
    std::vector<std::string> own;
    for (const std::string& entry : testsupport::entriesOf("/dev/shm"))
        if (entry.rfind(prefix, 0) == 0)
            own.push_back(entry);
    return own;
}

class SharedMemPosixTest : public ::testing::Test {
protected:
    ~SharedMemPosixTest() override { plat::SharedMemPosix::cleanStale(); }

    std::string marker(const char* name) const {
        return plat::SharedMemPosix::markerDirectory().c_str() + std::string(name);
    }

    testsupport::TemporaryDirectory profile;
    testsupport::EnvironmentChange profileDir{"KBX_PROFILE_DIR", profile.path()};
};

TEST_F(SharedMemPosixTest, AnObjectIsSharedWithAChildThatReceivesItsDescription) {
    auto segment = plat::SharedMemPosix::create(8192);
    std::string name = segment->name();
    EXPECT_TRUE(testsupport::exists(devShm(name.c_str())));
    EXPECT_TRUE(testsupport::exists(marker(name.c_str())));
    std::strcpy(static_cast<char*>(segment->address()), "from parent");
    std::vector<unsigned char> sent = segment->describe().serialise();
    int status = testsupport::exitStatusOfForkedChild([&] {
        auto received =
            plat::SharedMem::receive(plat::SharedMemDescription::parse(sent.data(), sent.size()));
        char* bytes = static_cast<char*>(received->address());
        if (received->createdHere() || std::strcmp(bytes, "from parent") != 0)
            return 1;
        std::strcpy(bytes + 4096, "from child");
        return 0;
    });
    ASSERT_EQ(status, 0);
    EXPECT_STREQ(static_cast<char*>(segment->address()) + 4096, "from child");
    EXPECT_TRUE(testsupport::exists(devShm(name.c_str()))) << "the child only unmapped it";
    segment.reset();
    EXPECT_FALSE(testsupport::exists(devShm(name.c_str())));
    EXPECT_FALSE(testsupport::exists(marker(name.c_str())));
}

TEST_F(SharedMemPosixTest, AFileIsMappedAtAPageAlignedPositionWithinIt) {
    long page = ::sysconf(_SC_PAGESIZE);
    std::string contents(std::size_t(page) * 3, 'a');
    contents.replace(std::size_t(page), 6, "second");
    std::string path = profile.write("pixels", contents);
    auto segment = plat::SharedMemPosix::open(path.c_str(), std::uint32_t(page), page, true);
    EXPECT_EQ(std::memcmp(segment->address(), "second", 6), 0);
    EXPECT_FALSE(segment->createdHere());
    segment.reset();
    EXPECT_TRUE(testsupport::exists(path));
}

TEST_F(SharedMemPosixTest, DescriptionsReachingBeyondTheObjectAreRefused) {
    long page = ::sysconf(_SC_PAGESIZE);
    std::string path = profile.write("short", std::string(std::size_t(page) * 2, 'b'));
    auto object = plat::SharedMemPosix::create(std::uint32_t(page));
    struct Case {
        const char* name;
        std::uint32_t size;
        std::uint64_t position;
        bool isFile;
    };
    for (Case c :
         {Case{path.c_str(), std::uint32_t(page) + 1, std::uint64_t(page), true},
          Case{path.c_str(), 16, std::uint64_t(page) * 3, true}, Case{path.c_str(), 16, 100, true},
          Case{path.c_str(), std::uint32_t(page), ~std::uint64_t(page - 1), true},
          Case{object->name(), std::uint32_t(page) + 1, 0, false}}) {
        plat::SharedMemDescription announced;
        announced.type = plat::SharedMemDescription::Posix;
        announced.name.assign(c.name);
        announced.size = c.size;
        announced.position = c.position;
        announced.isFile = c.isFile;
        EXPECT_EQ(raisedBy([&] { plat::SharedMem::receive(announced); }).message,
                  "invalid shared memory size")
            << c.size << " at " << c.position;
    }
    EXPECT_EQ(
        raisedBy([&] { plat::SharedMemPosix::open("/qv-no-such-object", 16, 0, false); }).error,
        ENOENT);
    plat::SharedMemDescription unknown;
    unknown.type = 3;
    EXPECT_EQ(raisedBy([&] { plat::SharedMem::receive(unknown); }).message,
              "Unsupported memory type received");
}

TEST_F(SharedMemPosixTest, DescriptionsAreReadBackExactlyAndMalformedOnesRefused) {
    plat::SharedMemDescription description;
    description.type = plat::SharedMemDescription::Posix;
    description.name.assign("/prog-1-2");
    description.size = 0x12345678;
    description.position = 0x0102030405060000;
    description.isFile = true;
    std::vector<unsigned char> bytes = description.serialise();
    EXPECT_EQ(bytes.size(), 20u + 9u);
    plat::SharedMemDescription back = plat::SharedMemDescription::parse(bytes.data(), bytes.size());
    EXPECT_EQ(back.type, description.type);
    EXPECT_EQ(back.id, -1);
    EXPECT_STREQ(back.name.c_str(), "/prog-1-2");
    EXPECT_EQ(back.size, description.size);
    EXPECT_EQ(back.position, description.position);
    EXPECT_TRUE(back.isFile);
    std::vector<unsigned char> withNul = bytes;
    withNul[22] = 0;
    for (const std::vector<unsigned char>& bad :
         {std::vector<unsigned char>(bytes.begin(), bytes.end() - 1),
          std::vector<unsigned char>(bytes.begin(), bytes.begin() + 19), withNul}) {
        EXPECT_EQ(
            raisedBy([&] { plat::SharedMemDescription::parse(bad.data(), bad.size()); }).message,
            "Bad shared memory description");
    }
}

TEST_F(SharedMemPosixTest, CleanUpUnlinksTheObjectsOfProcessesThatAreGone) {
    auto own = plat::SharedMemPosix::create(4096);
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    pid_t child = ::fork();
    if (child == 0) {
        auto segment = plat::SharedMemPosix::create(4096);
        char name[64] = {};
        std::strncpy(name, segment->name(), sizeof name - 1);
        [[maybe_unused]] ssize_t written = ::write(ends[1], name, sizeof name);
        ::raise(SIGKILL);
    }
    char crashed[64] = {};
    ASSERT_EQ(::read(ends[0], crashed, sizeof crashed), ssize_t(sizeof crashed));
    ::waitpid(child, nullptr, 0);
    ::close(ends[0]);
    ::close(ends[1]);
    ASSERT_TRUE(testsupport::exists(devShm(crashed)));
    testsupport::LogRecording log("SharedMemPosix");
    plat::SharedMemPosix::cleanStale();
    EXPECT_FALSE(testsupport::exists(devShm(crashed)));
    EXPECT_FALSE(testsupport::exists(marker(crashed)));
    EXPECT_EQ(log.levelOf(std::string("Cleaning old shared memory ") + crashed), 30);
    EXPECT_TRUE(testsupport::exists(devShm(own->name())));
    EXPECT_TRUE(testsupport::exists(marker(own->name())));
}

TEST_F(SharedMemPosixTest, ACreationThatFailsAfterOpeningUnlinksTheObject) {
    testsupport::EnvironmentChange blocked("KBX_PROFILE_DIR", profile.write("file", ""));
    EXPECT_TRUE(raisedBy([] { plat::SharedMemPosix::create(4096); }).startsWith("mkDir("));
    EXPECT_EQ(ownObjects(), std::vector<std::string>{});
}

} // namespace

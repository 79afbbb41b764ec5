// System V and POSIX segments between this process and forked children: handing over by
// description, what a description may announce, the stale clean-up of what dead processes left,
// and removal after failed creations. Nothing is left in ipcs or /dev/shm.
#include <plat/SharedMemPosix.h>
#include <plat/SharedMemSysV.h>

#include <support/EnvironmentChange.h>
#include <support/RecordingLogDest.h>
#include <support/TemporaryDirectory.h>
#include <support/fileContents.h>
#include <support/forkedChild.h>
#include <support/raisedBy.h>

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <sstream>
#include <sys/shm.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using testsupport::exists;
using testsupport::raisedBy;

bool segmentExists(int id) {
    shmid_ds info{};
    return ::shmctl(id, IPC_STAT, &info) == 0;
}

shmid_ds statusOf(int id) {
    shmid_ds info{};
    EXPECT_EQ(::shmctl(id, IPC_STAT, &info), 0);
    return info;
}

std::vector<int> segmentsCreatedBy(pid_t creator) {
    std::istringstream table(testsupport::readFile("/proc/sysvipc/shm"));
    std::string line;
    std::getline(table, line);
    std::vector<int> ids;
    long key, id, perms, size, cpid;
    while (table >> key >> id >> perms >> size >> cpid && std::getline(table, line))
        if (cpid == creator)
            ids.push_back(int(id));
    return ids;
}

std::string devShm(const char* name) {
    return std::string("/dev/shm") + name;
}

// A forked child maps the segment from its description, checks the parent's text and answers.
void exchangeWithChild(plat::SharedMem& segment) {
    std::strcpy(static_cast<char*>(segment.address()), "from parent");
    std::vector<unsigned char> sent = segment.describe().serialise();
    int status = testsupport::exitStatusOfForkedChild([&] {
        auto received =
            plat::SharedMem::receive(plat::SharedMemDescription::parse(sent.data(), sent.size()));
        char* bytes = static_cast<char*>(received->address());
        if (received->createdHere() || std::strcmp(bytes, "from parent") != 0)
            return 1;
        std::strcpy(bytes + 4096, "from child");
        return 0;
    });
    EXPECT_EQ(status, 0);
    EXPECT_STREQ(static_cast<char*>(segment.address()) + 4096, "from child");
}

// A child that creates a segment of the kind, reports its name or id, detaches it when asked,
// and waits to be killed: a crash leaves everything behind.
class CreatorChild {
public:
    CreatorChild(bool posix, bool detach) {
        int ends[2];
        EXPECT_EQ(::pipe(ends), 0);
        pid = ::fork();
        if (pid == 0) {
            std::unique_ptr<plat::SharedMem> segment;
            if (posix)
                segment = plat::SharedMemPosix::create(4096);
            else
                segment = plat::SharedMemSysV::create(4096);
            plat::SharedMemDescription description = segment->describe();
            char report[64] = {};
            std::snprintf(report, sizeof report, "%s",
                          posix ? description.name.c_str()
                                : std::to_string(description.id).c_str());
            if (detach)
                ::shmdt(segment->address());
            [[maybe_unused]] ssize_t written = ::write(ends[1], report, sizeof report);
            ::pause();
            ::_exit(0);
        }
        ::close(ends[1]);
        char report[64] = {};
        EXPECT_EQ(::read(ends[0], report, sizeof report), ssize_t(sizeof report));
        ::close(ends[0]);
        created = report;
    }
    ~CreatorChild() { kill(); }

    void kill() {
        if (pid > 0 && ::kill(pid, SIGKILL) == 0)
            ::waitpid(pid, nullptr, 0);
        pid = 0;
    }

    std::string created;

private:
    pid_t pid;
};

class SharedMemTest : public ::testing::Test {
protected:
    // Whatever a failing case left behind.
    ~SharedMemTest() override {
        plat::SharedMemSysV::cleanStale();
        plat::SharedMemPosix::cleanStale();
        if (othersId >= 0)
            ::shmctl(othersId, IPC_RMID, nullptr);
    }

    static std::string marker(const plat::DString& dir, const std::string& name) {
        return dir.c_str() + ("/" + name);
    }

    testsupport::TemporaryDirectory profile;
    testsupport::EnvironmentChange profileDir{"KBX_PROFILE_DIR", profile.path()};
    plat::DString sysvMarkers = plat::SharedMemSysV::markerDirectory();
    plat::DString posixMarkers = plat::SharedMemPosix::markerDirectory();
    int othersId = -1;
};

TEST_F(SharedMemTest, ASystemVSegmentIsSharedWithAChildAndRemovedWithItsMarker) {
    auto segment = plat::SharedMemSysV::create(8192);
    int id = segment->id();
    EXPECT_TRUE(exists(marker(sysvMarkers, std::to_string(id))));
    EXPECT_EQ(statusOf(id).shm_perm.mode & 0777, 0600u);
    exchangeWithChild(*segment);
    EXPECT_EQ(statusOf(id).shm_nattch, 1u) << "the child detached";
    segment.reset();
    EXPECT_FALSE(segmentExists(id));
    EXPECT_FALSE(exists(marker(sysvMarkers, std::to_string(id))));
    EXPECT_EQ(statusOf(plat::SharedMemSysV::create(4096, 0640)->id()).shm_perm.mode & 0777, 0640u);
}

TEST_F(SharedMemTest, APosixObjectIsSharedWithAChildAndUnlinkedWithItsMarker) {
    auto segment = plat::SharedMemPosix::create(8192);
    std::string name = segment->name();
    EXPECT_TRUE(exists(devShm(name.c_str())));
    EXPECT_TRUE(exists(marker(posixMarkers, name.substr(1))));
    exchangeWithChild(*segment);
    segment.reset();
    EXPECT_FALSE(exists(devShm(name.c_str())));
    EXPECT_FALSE(exists(marker(posixMarkers, name.substr(1))));
}

TEST_F(SharedMemTest, ReceivingMoreThanASystemVSegmentHoldsFailsAndDetaches) {
    auto segment = plat::SharedMemSysV::create(4096);
    EXPECT_EQ(raisedBy([&] { plat::SharedMemSysV::receive(segment->id(), 4097); }).message,
              "invalid shared memory size");
    EXPECT_EQ(statusOf(segment->id()).shm_nattch, 1u);
    EXPECT_EQ(raisedBy([] { plat::SharedMemSysV::receive(-1, 4096); }).message,
              "Bad SharedMemSysV id -1");
}

TEST_F(SharedMemTest, FilesAndObjectsAreMappedOnlyWithinThemAtPageAlignedPositions) {
    long page = ::sysconf(_SC_PAGESIZE);
    std::string contents(std::size_t(page) * 2, 'a');
    contents.replace(std::size_t(page), 6, "second");
    std::string path = profile.write("pixels", contents);
    auto second = plat::SharedMemPosix::open(path.c_str(), std::uint32_t(page), page, true);
    EXPECT_EQ(std::memcmp(second->address(), "second", 6), 0);
    auto object = plat::SharedMemPosix::create(std::uint32_t(page));
    plat::SharedMemDescription announced;
    announced.type = plat::SharedMemDescription::Posix;
    auto refusal = [&](const char* name, std::uint32_t size, std::uint64_t position, bool isFile) {
        announced.name.assign(name);
        announced.size = size;
        announced.position = position;
        announced.isFile = isFile;
        return raisedBy([&] { plat::SharedMem::receive(announced); }).message;
    };
    std::uint32_t onePage = std::uint32_t(page);
    for (std::string refused :
         {refusal(path.c_str(), onePage + 1, page, true), refusal(path.c_str(), 16, page * 3, true),
          refusal(path.c_str(), 16, 100, true),
          refusal(path.c_str(), onePage, ~std::uint64_t(page - 1), true),
          refusal(object->name(), onePage + 1, 0, false)})
        EXPECT_EQ(refused, "invalid shared memory size");
    announced.type = 3;
    EXPECT_EQ(raisedBy([&] { plat::SharedMem::receive(announced); }).message,
              "Unsupported memory type received");
}

// The forked children above read descriptions back; these are cut short, run on or hold a NUL.
TEST_F(SharedMemTest, MalformedDescriptionsAreRefused) {
    std::vector<unsigned char> bytes = plat::SharedMemPosix::create(4096)->describe().serialise();
    std::vector<unsigned char> withNul = bytes;
    withNul[21] = 0;
    for (std::vector<unsigned char> bad : {std::vector(bytes.begin(), bytes.end() - 1),
                                           std::vector(bytes.begin(), bytes.begin() + 19), withNul})
        EXPECT_EQ(
            raisedBy([&] { plat::SharedMemDescription::parse(bad.data(), bad.size()); }).message,
            "Bad shared memory description");
    bytes.push_back('x');
    EXPECT_EQ(
        raisedBy([&] { plat::SharedMemDescription::parse(bytes.data(), bytes.size()); }).message,
        "Bad shared memory description");
}

TEST_F(SharedMemTest, SystemVCleanUpRemovesOnlyOurSegmentsWhoseCreatorIsGone) {
    CreatorChild live(false, true);
    CreatorChild crashed(false, false);
    crashed.kill();
    ::chmod(profile.path().c_str(), 0777);
    ASSERT_EQ(testsupport::exitStatusOfForkedChild([&] {
                  int id = testsupport::becomeNobody() ? ::shmget(IPC_PRIVATE, 16, 0600) : -1;
                  testsupport::writeFile(profile.file("others"), std::to_string(id));
                  return id >= 0 ? 0 : 1;
              }),
              0);
    othersId = std::stoi(testsupport::readFile(profile.file("others")));
    testsupport::writeFile(marker(sysvMarkers, std::to_string(othersId)), "");
    testsupport::writeFile(marker(sysvMarkers, "x1"), "");
    testsupport::LogRecording log("SharedMemSysV");
    plat::SharedMemSysV::cleanStale();
    EXPECT_TRUE(segmentExists(std::stoi(live.created))) << "unattached, but its creator runs";
    EXPECT_FALSE(segmentExists(std::stoi(crashed.created)));
    EXPECT_EQ(log.levelOf("Cleaning old shared memory " + crashed.created), 30);
    EXPECT_TRUE(segmentExists(othersId)) << "another user's segment under a stale number";
    EXPECT_EQ(testsupport::entriesOf(sysvMarkers.c_str()),
              (std::vector<std::string>{live.created, "x1"}));
    live.kill();
    plat::SharedMemSysV::cleanStale();
    EXPECT_FALSE(segmentExists(std::stoi(live.created)));
    EXPECT_EQ(testsupport::entriesOf(sysvMarkers.c_str()), std::vector<std::string>{"x1"});
}

TEST_F(SharedMemTest, PosixCleanUpUnlinksTheObjectsOfProcessesThatAreGone) {
    auto own = plat::SharedMemPosix::create(4096);
    CreatorChild crashed(true, false);
    crashed.kill();
    testsupport::LogRecording log("SharedMemPosix");
    plat::SharedMemPosix::cleanStale();
    EXPECT_FALSE(exists(devShm(crashed.created.c_str())));
    EXPECT_EQ(log.levelOf("Cleaning old shared memory " + crashed.created), 30);
    EXPECT_TRUE(exists(devShm(own->name())));
    EXPECT_EQ(testsupport::entriesOf(posixMarkers.c_str()),
              std::vector<std::string>{std::string(own->name()).substr(1)});
}

TEST_F(SharedMemTest, CreationsThatFailAfterTheSegmentExistsLeaveNothing) {
    testsupport::EnvironmentChange blocked("KBX_PROFILE_DIR", profile.write("file", ""));
    EXPECT_TRUE(raisedBy([] { plat::SharedMemSysV::create(4096); }).startsWith("mkDir("));
    EXPECT_TRUE(raisedBy([] { plat::SharedMemPosix::create(4096); }).startsWith("mkDir("));
    EXPECT_EQ(segmentsCreatedBy(::getpid()), std::vector<int>{});
    std::string prefix =
        std::string(program_invocation_short_name) + "-" + std::to_string(::getpid()) + "-";
    for (const std::string& entry : testsupport::entriesOf("/dev/shm"))
        EXPECT_NE(entry.rfind(prefix, 0), 0u) << entry;
}

} // namespace

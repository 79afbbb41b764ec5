// System V segments between this process and forked children: handing over, size checks, the
// stale clean-up of segments whose creator is gone, and removal after failed creations.
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

// The ids of the segments in the system that a process created.
std::vector<int> segmentsCreatedBy(pid_t creator) {
    std::istringstream table(testsupport::readFile("/proc/sysvipc/shm"));
    std::string line;
    std::getline(table, line);
    std::vector<int> ids;
    long key, id, perms, size, cpid;
    while (table >> key >> id >> perms >> size >> cpid) {
        if (cpid == creator)
            ids.push_back(int(id));
        std::getline(table, line);
    }
    return ids;
}

// A child that creates a segment, reports its id through a pipe, then runs whatever comes next.
class SegmentChild {
public:
    explicit SegmentChild(bool detach) {
        int ends[2];
        EXPECT_EQ(::pipe(ends), 0);
        pid = ::fork();
        if (pid == 0) {
            auto segment = plat::SharedMemSysV::create(4096);
            if (detach)
                ::shmdt(segment->address());
            int id = segment->id();
            [[maybe_unused]] ssize_t written = ::write(ends[1], &id, sizeof id);
            ::pause();
            ::_exit(0);
        }
        ::close(ends[1]);
        EXPECT_EQ(::read(ends[0], &segmentId, sizeof segmentId), ssize_t(sizeof segmentId));
        ::close(ends[0]);
    }
    ~SegmentChild() { kill(); }

    // The child dies without removing anything, as a crash would.
    void kill() {
        if (pid <= 0)
            return;
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        pid = 0;
    }

    int segmentId = -1;

private:
    pid_t pid;
};

class SharedMemSysVTest : public ::testing::Test {
protected:
    // Whatever a failing case left behind: the segments of dead children, and another user's.
    ~SharedMemSysVTest() override {
        plat::SharedMemSysV::cleanStale();
        if (othersId >= 0)
            ::shmctl(othersId, IPC_RMID, nullptr);
    }

    std::string marker(int id) const {
        return plat::SharedMemSysV::markerDirectory().c_str() + std::string("/") +
               std::to_string(id);
    }

    testsupport::TemporaryDirectory profile;
    testsupport::EnvironmentChange profileDir{"KBX_PROFILE_DIR", profile.path()};
    int othersId = -1;
};

TEST_F(SharedMemSysVTest, ASegmentIsSharedWithAChildThatReceivesItsDescription) {
    auto segment = plat::SharedMemSysV::create(8192);
    int id = segment->id();
    EXPECT_TRUE(testsupport::exists(marker(id)));
    EXPECT_EQ(statusOf(id).shm_perm.mode & 0777, 0600u);
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
    EXPECT_EQ(statusOf(id).shm_nattch, 1u) << "the child detached";
    segment.reset();
    EXPECT_FALSE(segmentExists(id));
    EXPECT_FALSE(testsupport::exists(marker(id)));
}

TEST_F(SharedMemSysVTest, PermissionsAreAppliedToTheNewSegment) {
    auto segment = plat::SharedMemSysV::create(4096, 0640);
    EXPECT_EQ(statusOf(segment->id()).shm_perm.mode & 0777, 0640u);
}

TEST_F(SharedMemSysVTest, ReceivingMoreThanTheSegmentHoldsFailsAndDetaches) {
    auto segment = plat::SharedMemSysV::create(4096);
    EXPECT_EQ(raisedBy([&] { plat::SharedMemSysV::receive(segment->id(), 4097); }).message,
              "invalid shared memory size");
    EXPECT_EQ(statusOf(segment->id()).shm_nattch, 1u);
    EXPECT_EQ(raisedBy([] { plat::SharedMemSysV::receive(-1, 4096); }).message,
              "Bad SharedMemSysV id -1");
    int removed = ::shmget(IPC_PRIVATE, 4096, IPC_CREAT | 0600);
    ::shmctl(removed, IPC_RMID, nullptr);
    EXPECT_TRUE(raisedBy([&] {
                    plat::SharedMemSysV::receive(removed, 4096);
                }).startsWith("shmat failed: "));
}

TEST_F(SharedMemSysVTest, CleanUpRemovesOnlyOurSegmentsWhoseCreatorIsGone) {
    SegmentChild live(true);
    SegmentChild crashed(false);
    crashed.kill();
    ::chmod(profile.path().c_str(), 0777);
    ASSERT_EQ(testsupport::exitStatusOfForkedChild([&] {
                  if (!testsupport::becomeNobody())
                      return 1;
                  int id = ::shmget(IPC_PRIVATE, 4096, IPC_CREAT | 0600);
                  std::FILE* out = std::fopen(profile.file("others").c_str(), "w");
                  return out && std::fprintf(out, "%d", id) > 0 && std::fclose(out) == 0 ? 0 : 1;
              }),
              0);
    othersId = std::stoi(testsupport::readFile(profile.file("others")));
    testsupport::writeFile(marker(othersId), "");
    testsupport::writeFile(plat::SharedMemSysV::markerDirectory().c_str() + std::string("/x1"), "");
    testsupport::LogRecording log("SharedMemSysV");
    plat::SharedMemSysV::cleanStale();
    EXPECT_TRUE(segmentExists(live.segmentId)) << "unattached, but its creator runs";
    EXPECT_TRUE(testsupport::exists(marker(live.segmentId)));
    EXPECT_FALSE(segmentExists(crashed.segmentId));
    EXPECT_FALSE(testsupport::exists(marker(crashed.segmentId)));
    EXPECT_EQ(log.levelOf("Cleaning old shared memory " + std::to_string(crashed.segmentId)), 30);
    EXPECT_TRUE(segmentExists(othersId)) << "another user's segment under a stale number";
    EXPECT_FALSE(testsupport::exists(marker(othersId)));
    live.kill();
    plat::SharedMemSysV::cleanStale();
    EXPECT_FALSE(segmentExists(live.segmentId));
    EXPECT_EQ(testsupport::entriesOf(plat::SharedMemSysV::markerDirectory().c_str()),
              std::vector<std::string>{"x1"});
}

TEST_F(SharedMemSysVTest, ACreationThatFailsAfterShmgetRemovesTheSegment) {
    testsupport::EnvironmentChange blocked("KBX_PROFILE_DIR", profile.write("file", ""));
    EXPECT_TRUE(raisedBy([] { plat::SharedMemSysV::create(4096); }).startsWith("mkDir("));
    EXPECT_EQ(segmentsCreatedBy(::getpid()), std::vector<int>{});
}

} // namespace

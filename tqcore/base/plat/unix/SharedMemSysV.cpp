// System V segments. The object owns a segment from the moment it exists, so that a failure in
// any later step of creation removes it again through the destructor.
#include <plat/SharedMemSysV.h>

#include <plat/Exception.h>
#include <plat/LogSrc.h>
#include <plat/sharedMemMarkers.h>

#include <cerrno>
#include <climits>
#include <mutex>
#include <sys/shm.h>
#include <unistd.h>

namespace plat {

namespace {

LogSrc sysvLog("SharedMemSysV");

constexpr const char* MarkerKind = "SysV";

void cleanStaleOnce() {
    static std::once_flag once;
    std::call_once(once, [] { SharedMemSysV::cleanStale(); });
}

// Segment ids are non-negative ints.
bool isDecimalId(const std::string& name) {
    return !name.empty() && name.size() <= 10 &&
           name.find_first_not_of("0123456789") == std::string::npos && std::stoll(name) <= INT_MAX;
}

enum class MarkedSegment { InUse, Abandoned, NotOurs };

// IPC_STAT fails for a removed segment (EINVAL, EIDRM) and for another user's segment that has
// taken the number since (EACCES); both leave the marker without a segment of ours.
MarkedSegment examine(int id) {
    shmid_ds info{};
    if (::shmctl(id, IPC_STAT, &info) != 0 || info.shm_perm.cuid != ::geteuid())
        return MarkedSegment::NotOurs;
    if (info.shm_nattch > 0 || processRunning(info.shm_cpid))
        return MarkedSegment::InUse;
    return MarkedSegment::Abandoned;
}

} // namespace

SharedMemSysV::SharedMemSysV(int id, std::uint32_t size, bool created)
    : SharedMem(size, created), segmentId(id) {}

std::unique_ptr<SharedMemSysV> SharedMemSysV::create(std::uint32_t size, int permissions) {
    cleanStaleOnce();
    int id = ::shmget(IPC_PRIVATE, size, IPC_CREAT | 0600);
    if (id < 0)
        throw SystemExceptionFmt("shmget(%d) failed", errno, int(size));
    sysvLog.verbose("Create %d size %#x", id, size);
    std::unique_ptr<SharedMemSysV> segment(new SharedMemSysV(id, size, true));
    segment->writeMarker();
    if (permissions != 0)
        segment->applyPermissions(permissions);
    segment->attach();
    return segment;
}

std::unique_ptr<SharedMemSysV> SharedMemSysV::receive(int id, std::uint32_t size) {
    sysvLog.verbose("Receive %d size %#x", id, size);
    if (id < 0)
        throw ExceptionFmt("Bad SharedMemSysV id %d", id);
    std::unique_ptr<SharedMemSysV> segment(new SharedMemSysV(id, size, false));
    segment->attach();
    return segment;
}

SharedMemSysV::~SharedMemSysV() {
    if (mapped) {
        sysvLog.verbose("Detaching %p", mapped);
        ::shmdt(mapped);
    }
    if (!created)
        return;
    sysvLog.verbose("Removing %d", segmentId);
    ::shmctl(segmentId, IPC_RMID, nullptr);
    if (markerWritten)
        removeSharedMemMarker(MarkerKind, std::to_string(segmentId).c_str());
}

SharedMemDescription SharedMemSysV::describe() const {
    sysvLog.verbose("sending %d size %#x", segmentId, bytes);
    SharedMemDescription description;
    description.type = SharedMemDescription::SysV;
    description.id = segmentId;
    description.size = bytes;
    return description;
}

void SharedMemSysV::writeMarker() {
    writeSharedMemMarker(MarkerKind, std::to_string(segmentId).c_str());
    markerWritten = true;
}

void SharedMemSysV::applyPermissions(int permissions) {
    shmid_ds info{};
    if (::shmctl(segmentId, IPC_STAT, &info) != 0)
        throw SystemException("shmctl(IPC_STAT)", errno);
    info.shm_perm.mode = permissions;
    if (::shmctl(segmentId, IPC_SET, &info) != 0)
        throw SystemException("shmctl(IPC_SET)", errno);
}

void SharedMemSysV::attach() {
    void* at = ::shmat(segmentId, nullptr, 0);
    if (at == reinterpret_cast<void*>(-1))
        throw SystemException("shmat failed", errno);
    mapped = at;
    sysvLog.verbose("Attached %d = %p", segmentId, mapped);
    shmid_ds info{};
    if (::shmctl(segmentId, IPC_STAT, &info) != 0)
        throw SystemException("shmctl(IPC_STAT)", errno);
    if (info.shm_segsz < bytes)
        throw Exception("invalid shared memory size");
}

void SharedMemSysV::cleanStale() {
    for (const std::string& marker : sharedMemMarkers(MarkerKind)) {
        if (!isDecimalId(marker))
            continue;
        int id = std::stoi(marker);
        MarkedSegment state = examine(id);
        if (state == MarkedSegment::InUse)
            continue;
        sysvLog.status("Cleaning old shared memory %d", id);
        if (state == MarkedSegment::Abandoned)
            ::shmctl(id, IPC_RMID, nullptr);
        removeSharedMemMarker(MarkerKind, marker.c_str());
    }
}

DString SharedMemSysV::markerDirectory() {
    return sharedMemMarkerDirectory(MarkerKind);
}

} // namespace plat

// POSIX shared memory objects and file-backed segments. Like the System V kind, the object owns
// what it created from the first step, so that a failure in a later one undoes it.
#include <plat/SharedMemPosix.h>

#include <plat/Exception.h>
#include <plat/LogSrc.h>
#include <plat/UniqueFd.h>
#include <plat/file.h>
#include <plat/sharedMemMarkers.h>

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <mutex>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plat {

namespace {

LogSrc posixLog("SharedMemPosix");

constexpr const char* MarkerKind = "Posix";

std::atomic<long long> nextSerial{0};

void cleanStaleOnce() {
    static std::once_flag once;
    std::call_once(once, [] { SharedMemPosix::cleanStale(); });
}

// Markers are the names without their leading "/": "<program>-<pid>-<serial>". The program name
// may hold dashes of its own, so the numbers are taken from the end. 0 when it does not parse.
pid_t creatorOf(const std::string& marker) {
    std::size_t serialDash = marker.rfind('-');
    if (serialDash == std::string::npos || serialDash == 0)
        return 0;
    std::size_t pidDash = marker.rfind('-', serialDash - 1);
    if (pidDash == std::string::npos)
        return 0;
    std::string pid = marker.substr(pidDash + 1, serialDash - pidDash - 1);
    std::string serial = marker.substr(serialDash + 1);
    if (pid.empty() || pid.size() > 9 || serial.empty() ||
        pid.find_first_not_of("0123456789") != std::string::npos ||
        serial.find_first_not_of("0123456789") != std::string::npos)
        return 0;
    return pid_t(std::stol(pid));
}

// The bytes [position, position + size) must lie within the object, checked so that no sum can
// wrap around.
void checkWithinObject(int fd, std::uint32_t size, std::uint64_t position) {
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        throw SystemException("fstat", errno);
    std::uint64_t length = info.st_size < 0 ? 0 : std::uint64_t(info.st_size);
    long page = ::sysconf(_SC_PAGESIZE);
    if (position % std::uint64_t(page) != 0 || position > length || size > length - position)
        throw Exception("invalid shared memory size");
}

} // namespace

SharedMemPosix::SharedMemPosix(const char* name, std::uint32_t size, std::uint64_t position,
                               bool isFile, bool create)
    : SharedMem(size, create), objectName(name), offset(position), fileBacked(isFile) {
    PLAT_ASSERT(!isFile || !create);
}

std::unique_ptr<SharedMemPosix> SharedMemPosix::create(std::uint32_t size) {
    cleanStaleOnce();
    DString name;
    name.format("/%s-%ld-%lld", program_invocation_short_name, long(::getpid()),
                nextSerial.fetch_add(1));
    UniqueFd fd(::shm_open(name.c_str(), O_RDWR | O_CREAT | O_EXCL, 0600));
    if (!fd.valid())
        throw SystemException("open/shm_open failed", errno);
    std::unique_ptr<SharedMemPosix> segment(new SharedMemPosix(name.c_str(), size, 0, false, true));
    segment->writeMarker();
    if (::ftruncate(fd.get(), off_t(size)) != 0)
        throw SystemExceptionFmt("ftruncate(%d) failed", errno, int(size));
    posixLog.verbose("Create %s size %#x", name.c_str(), size);
    segment->map(fd.get());
    return segment;
}

std::unique_ptr<SharedMemPosix> SharedMemPosix::open(const char* name, std::uint32_t size,
                                                     std::uint64_t position, bool isFile) {
    UniqueFd fd(isFile ? ::open(name, O_RDWR | O_CLOEXEC) : ::shm_open(name, O_RDWR, 0));
    if (!fd.valid())
        throw SystemException("open/shm_open failed", errno);
    if (isFile)
        posixLog.verbose("Open file %s size %#x pos %#llx", name, size,
                         static_cast<unsigned long long>(position));
    checkWithinObject(fd.get(), size, position);
    std::unique_ptr<SharedMemPosix> segment(
        new SharedMemPosix(name, size, position, isFile, false));
    segment->map(fd.get());
    return segment;
}

std::unique_ptr<SharedMemPosix> SharedMemPosix::receive(const SharedMemDescription& description) {
    posixLog.verbose("Receive %s size %#x pos %#llx isFile %d", description.name.c_str(),
                     description.size, static_cast<unsigned long long>(description.position),
                     description.isFile ? 1 : 0);
    return open(description.name.c_str(), description.size, description.position,
                description.isFile);
}

SharedMemPosix::~SharedMemPosix() {
    if (mapped) {
        posixLog.verbose("Unmap %s %p", objectName.c_str(), mapped);
        if (::munmap(mapped, bytes) != 0) {
            char text[Exception::MessageCapacity + Exception::TypeCapacity];
            SystemException("munmap", errno).displayForm(text, sizeof text);
            posixLog.error("%s", text);
        }
    }
    if (!created)
        return;
    ::shm_unlink(objectName.c_str());
    if (markerWritten)
        removeSharedMemMarker(MarkerKind, objectName.c_str() + 1);
}

SharedMemDescription SharedMemPosix::describe() const {
    posixLog.verbose("sending %s size %#x pos %#llx", objectName.c_str(), bytes,
                     static_cast<unsigned long long>(offset));
    SharedMemDescription description;
    description.type = SharedMemDescription::Posix;
    description.name.assign(objectName.c_str());
    description.size = bytes;
    description.position = offset;
    description.isFile = fileBacked;
    return description;
}

void SharedMemPosix::writeMarker() {
    writeSharedMemMarker(MarkerKind, objectName.c_str() + 1);
    markerWritten = true;
}

void SharedMemPosix::map(int fd) {
    void* at = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, off_t(offset));
    if (at == MAP_FAILED)
        throw SystemException("mmap failed", errno);
    mapped = at;
    posixLog.verbose("Map %s = %p", objectName.c_str(), mapped);
}

void SharedMemPosix::cleanStale() {
    for (const std::string& marker : sharedMemMarkers(MarkerKind)) {
        pid_t creator = creatorOf(marker);
        if (creator == 0 || processRunning(creator))
            continue;
        std::string name = "/" + marker;
        posixLog.status("Cleaning old shared memory %s", name.c_str());
        ::shm_unlink(name.c_str());
        removeSharedMemMarker(MarkerKind, marker.c_str());
    }
}

DString SharedMemPosix::markerDirectory() {
    return sharedMemMarkerDirectory(MarkerKind);
}

} // namespace plat

// The wake-up pipe: a non-blocking pipe whose read end is served by the creating thread's
// descriptor manager.
#include <io/FdKicker.h>

#include <io/FdManager.h>
#include <plat/Exception.h>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace io {

namespace {

constexpr std::size_t ChunkSize = 4096;

// Reads what is there without blocking; returns the count, 0 when nothing is left.
std::size_t readAvailable(int fd, unsigned char* buffer, std::size_t capacity) {
    while (true) {
        ssize_t got = ::read(fd, buffer, capacity);
        if (got > 0)
            return std::size_t(got);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            throw plat::SystemException("read", errno);
        return 0;
    }
}

} // namespace

FdKicker::FdKicker(FdKickerCallback* callback) : callback(callback), fdMgr(FdManager::current()) {
    PLAT_ASSERT(fdMgr);
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0)
        throw plat::SystemException("pipe2", errno);
    fd = ends[0];
    writeEnd.reset(ends[1]);
    fdMgr->add(this, true);
    fdMgr->setInterest(this, true, false);
}

FdKicker::~FdKicker() {
    if (fdMgr)
        fdMgr->add(this, false);
}

void FdKicker::kick(unsigned char byte) {
    // Nothing can be done about a failure here, and a full pipe will wake the reader anyway.
    [[maybe_unused]] ssize_t written = ::write(writeEnd.get(), &byte, 1);
}

void FdKicker::drain() {
    unsigned char buffer[ChunkSize];
    while (readAvailable(fd, buffer, sizeof buffer) > 0) {
    }
}

void FdKicker::handleRead() {
    unsigned char buffer[ChunkSize];
    while (std::size_t count = readAvailable(fd, buffer, sizeof buffer)) {
        if (callback)
            callback->handleKick(this, buffer, count);
    }
}

} // namespace io

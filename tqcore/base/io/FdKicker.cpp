// The wake-up pipe: a non-blocking pipe whose read end is served by the creating thread's
// descriptor manager.
#include <io/FdKicker.h>

#include <io/FdManager.h>
#include <plat/Exception.h>
#include <rdr/Exception.h>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace io {

namespace {

constexpr int ChunkSize = 4096;

} // namespace

FdKicker::PipeEnds FdKicker::makePipe() {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0)
        throw plat::SystemException("pipe2", errno);
    return {ends[0], ends[1]};
}

FdKicker::FdKicker(FdKickerCallback* callback) : FdKicker(callback, makePipe()) {}

FdKicker::FdKicker(FdKickerCallback* callback, PipeEnds ends)
    : FdHandler(ends.readEnd, true), callback(callback), fdMgr(FdManager::current()),
      writeEnd(ends.writeEnd), in(ends.readEnd, ChunkSize) {
    PLAT_ASSERT(fdMgr);
    in.setNonBlocking(true);
    fdMgr->add(this, true);
    fdMgr->setInterest(this, true, false);
}

FdKicker::~FdKicker() {
    if (fdMgr) {
        fdMgr->setInterest(this, false, false);
        fdMgr->add(this, false);
    }
}

void FdKicker::kick(unsigned char byte) {
    // Nothing can be done about a failure here, and a full pipe will wake the reader anyway.
    [[maybe_unused]] ssize_t written = ::write(writeEnd.get(), &byte, 1);
}

void FdKicker::drain() {
    in.skip(in.nUnread());
    in.setCheckpoint();
    unsigned char buffer[ChunkSize];
    while (true) {
        ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got > 0 || (got < 0 && errno == EINTR))
            continue;
        return;
    }
}

void FdKicker::handleRead() {
    if (!callback) {
        drain();
        return;
    }
    try {
        callback->handleKick(this, in);
    } catch (rdr::BlockException&) {
    }
    in.setCheckpoint();
}

} // namespace io

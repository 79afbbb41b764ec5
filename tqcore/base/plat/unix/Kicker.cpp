// The kick pipe's write end is shared by the kickers and guarded by a mutex, which the kickee
// takes to close it.
#include <plat/Kicker.h>

#include <plat/Exception.h>
#include <plat/Mutex.h>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace plat {

struct KickPipe {
    Mutex mutex;
    UniqueFd writeEnd;
};

void Kicker::kick() const {
    if (!pipe)
        return;
    MutexLock lock(pipe->mutex);
    if (!pipe->writeEnd.valid())
        return;
    char byte = 0;
    [[maybe_unused]] ssize_t written = ::write(pipe->writeEnd.get(), &byte, 1);
}

Kickee::Kickee() : pipe(std::make_shared<KickPipe>()) {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0)
        throw SystemException("pipe2", errno);
    readEnd.reset(ends[0]);
    pipe->writeEnd.reset(ends[1]);
}

Kickee::~Kickee() {
    MutexLock lock(pipe->mutex);
    pipe->writeEnd.reset();
}

bool Kickee::drain() {
    bool kicked = false;
    char buffer[256];
    ssize_t got;
    while ((got = ::read(readEnd.get(), buffer, sizeof buffer)) > 0 || (got < 0 && errno == EINTR))
        kicked = kicked || got > 0;
    return kicked;
}

} // namespace plat

// select-based readiness waits with a deadline that survives interruptions.
#include <rdr/waitForDescriptor.h>

#include <plat/Exception.h>
#include <plat/Time.h>

#include <algorithm>
#include <cerrno>
#include <sys/select.h>

namespace rdr {

namespace {

timeval toTimeval(plat::Ticks ticks) {
    ticks = std::max<plat::Ticks>(ticks, 0);
    timeval result;
    result.tv_sec = time_t(ticks / plat::TicksPerSecond);
    result.tv_usec = suseconds_t(ticks % plat::TicksPerSecond / 10);
    return result;
}

} // namespace

bool waitForDescriptor(int fd, bool forWriting, int timeoutMs) {
    // FD_SET beyond the set's size would write past it.
    if (fd < 0 || fd >= FD_SETSIZE)
        throw plat::SystemException("select", EMFILE);
    plat::Ticks deadline =
        plat::monotonicNow() + plat::Ticks(timeoutMs) * plat::TicksPerMillisecond;
    for (;;) {
        fd_set descriptors;
        FD_ZERO(&descriptors);
        FD_SET(fd, &descriptors);
        timeval remaining = toTimeval(deadline - plat::monotonicNow());
        int result = ::select(fd + 1, forWriting ? nullptr : &descriptors,
                              forWriting ? &descriptors : nullptr, nullptr,
                              timeoutMs < 0 ? nullptr : &remaining);
        if (result > 0)
            return true;
        if (result == 0)
            return false;
        if (errno != EINTR)
            throw plat::SystemException("select", errno);
    }
}

} // namespace rdr

// Descriptor duplication, inheritance, pipes, socket pairs and bulk closing. The functions marked
// async-signal-safe in the header run between fork and exec and must stay free of allocation.
#include <os/unix/descriptors.h>

#include <io/socketLayerState.h>
#include <plat/Exception.h>
#include <plat/file.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace os {

namespace {

// Set once an old kernel has refused F_DUPFD_CLOEXEC.
std::atomic<bool> dupfdCloexecUnsupported{false};

constexpr int FallbackMinimumCeiling = 1024;
constexpr int FallbackMaximumCeiling = 100000;

int plainDupCloseOnExec(int fd) {
    int copy = ::dup(fd);
    if (copy < 0)
        throw plat::SystemException("dup", errno);
    if (!setInheritable(copy, false, true))
        throw plat::SystemException("setInheritable", errno);
    return copy;
}

using Pipe2Function = int (*)(int*, int);

// Looked up at run time so that the program still starts on a C library without pipe2.
Pipe2Function lookupPipe2() {
    static const Pipe2Function pipe2Function =
        reinterpret_cast<Pipe2Function>(dlsym(RTLD_DEFAULT, "pipe2"));
    return pipe2Function;
}

PipeEnds pipeWithoutCloexecFlag() {
    int ends[2];
    if (::pipe(ends) != 0)
        throw plat::SystemException("pipe", errno);
    PipeEnds pipe{plat::UniqueFd(ends[0]), plat::UniqueFd(ends[1])};
    if (!setInheritable(ends[0], false, false) || !setInheritable(ends[1], false, false))
        throw plat::SystemException("setInheritable", errno);
    return pipe;
}

// A decimal entry name of "/proc/self/fd", or -1 for anything else ("." and "..").
int parseDescriptorNumber(const char* name) {
    if (*name == '\0')
        return -1;
    int number = 0;
    for (; *name; ++name) {
        if (*name < '0' || *name > '9' || number > (INT_MAX - 9) / 10)
            return -1;
        number = number * 10 + (*name - '0');
    }
    return number;
}

// One pass over the listing; returns false when it cannot be read.
bool closeListedOnce(int listing, int lowest, bool& closedAny) {
    alignas(dirent64) char buffer[4096];
    if (::lseek(listing, 0, SEEK_SET) < 0)
        return false;
    while (true) {
        ssize_t length = ::getdents64(listing, buffer, sizeof buffer);
        if (length < 0)
            return false;
        if (length == 0)
            return true;
        for (ssize_t offset = 0; offset < length;) {
            const auto* entry = reinterpret_cast<const dirent64*>(buffer + offset);
            int number = parseDescriptorNumber(entry->d_name);
            if (number >= lowest && number != listing) {
                ::close(number);
                closedAny = true;
            }
            offset += entry->d_reclen;
        }
    }
}

// Closing entries while the listing is being read may make the kernel skip some, so passes are
// repeated until one finds nothing left to close.
bool closeListedDescriptors(int lowest) {
    int listing = ::open("/proc/self/fd", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listing < 0)
        return false;
    bool closedAny = true;
    bool readable = true;
    while (readable && closedAny) {
        closedAny = false;
        readable = closeListedOnce(listing, lowest, closedAny);
    }
    ::close(listing);
    return readable;
}

void closeUpToLimit(int lowest) {
    long ceiling = FallbackMinimumCeiling;
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0) {
        if (limit.rlim_cur == RLIM_INFINITY || limit.rlim_cur > rlim_t(FallbackMaximumCeiling))
            ceiling = FallbackMaximumCeiling;
        else
            ceiling = std::max(ceiling, long(limit.rlim_cur));
    }
    for (long fd = lowest; fd < ceiling; ++fd)
        ::close(int(fd));
}

} // namespace

int dupCloseOnExec(int fd) {
    if (!dupfdCloexecUnsupported.load()) {
        int copy = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
        if (copy >= 0)
            return copy;
        if (errno == EINVAL) {
            dupfdCloexecUnsupported.store(true);
        } else if (errno == EBADF) {
            // Some kernels report an unknown command as EBADF; a working dup proves it.
            copy = plainDupCloseOnExec(fd);
            dupfdCloexecUnsupported.store(true);
            return copy;
        } else {
            throw plat::SystemException("fcntl(F_DUPFD_CLOEXEC)", errno);
        }
    }
    return plainDupCloseOnExec(fd);
}

bool dup2CloseOnExec(int fd, int target) {
    if (fd == target) {
        errno = EINVAL;
        return false;
    }
    if (::dup3(fd, target, O_CLOEXEC) >= 0)
        return true;
    if (errno != ENOSYS)
        return false;
    if (::dup2(fd, target) < 0)
        return false;
    return setInheritable(target, false, true);
}

bool setInheritable(int fd, bool inheritable, bool closeOnFailure) {
    int flags = ::fcntl(fd, F_GETFD);
    if (flags >= 0) {
        int wanted = inheritable ? (flags & ~FD_CLOEXEC) : (flags | FD_CLOEXEC);
        if (wanted == flags || ::fcntl(fd, F_SETFD, wanted) == 0)
            return true;
    }
    if (closeOnFailure) {
        int savedErrno = errno;
        ::close(fd);
        errno = savedErrno;
    }
    return false;
}

// Only O_NONBLOCK changes: replacing all status flags would silently drop O_APPEND.
void setBlocking(int fd, bool blocking) {
    int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0)
        throw plat::SystemException("setBlocking", errno);
    int wanted = blocking ? (flags & ~O_NONBLOCK) : (flags | O_NONBLOCK);
    if (wanted != flags && ::fcntl(fd, F_SETFL, wanted) != 0)
        throw plat::SystemException("setBlocking", errno);
}

PipeEnds makePipe() {
    Pipe2Function pipe2Function = lookupPipe2();
    if (!pipe2Function)
        return pipeWithoutCloexecFlag();
    int ends[2];
    if (pipe2Function(ends, O_CLOEXEC) != 0)
        throw plat::SystemException("pipe2", errno);
    return PipeEnds{plat::UniqueFd(ends[0]), plat::UniqueFd(ends[1])};
}

SocketPairEnds makeSocketPair() {
    int ends[2];
    if (!io::socketCloexecUnsupported()) {
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) == 0)
            return SocketPairEnds{plat::UniqueFd(ends[0]), plat::UniqueFd(ends[1])};
        if (errno != EPROTONOSUPPORT && errno != EINVAL)
            throw plat::SystemException("socketpair", errno);
        // EINVAL also answers bad arguments: only a working retry proves the flag unknown.
        if (::socketpair(AF_UNIX, SOCK_STREAM, 0, ends) != 0)
            throw plat::SystemException("socketpair", errno);
        io::setSocketCloexecUnsupported();
    } else if (::socketpair(AF_UNIX, SOCK_STREAM, 0, ends) != 0) {
        throw plat::SystemException("socketpair", errno);
    }
    SocketPairEnds pair{plat::UniqueFd(ends[0]), plat::UniqueFd(ends[1])};
    if (!setInheritable(ends[0], false, false) || !setInheritable(ends[1], false, false))
        throw plat::SystemException("setInheritable", errno);
    return pair;
}

void closeFrom(int fd) {
    if (fd >= 0)
        ::close(fd);
    int lowest = std::max(fd, 1);
    if (!closeListedDescriptors(lowest))
        closeUpToLimit(lowest);
}

void closeFromExcept(int fd, const int* keep, std::size_t keepCount) {
    int next = fd;
    for (std::size_t i = 0; i < keepCount; ++i) {
        if (keep[i] < next)
            continue;
        for (int number = next; number < keep[i]; ++number)
            ::close(number);
        next = keep[i] + 1;
    }
    closeFrom(next);
}

void closeFromExcept(int fd, const std::set<int>& keep) {
    std::vector<int> sorted(keep.begin(), keep.end());
    closeFromExcept(fd, sorted.data(), sorted.size());
}

void ensureStdDescriptors() {
    plat::UniqueFd devNull;
    for (int fd = 0; fd <= 2; ++fd) {
        struct stat info;
        if (::fstat(fd, &info) == 0 || errno != EBADF)
            continue;
        if (!devNull.valid())
            devNull.reset(plat::fileOpenFd("/dev/null", O_RDWR));
        if (devNull.get() != fd && !dup2CloseOnExec(devNull.get(), fd))
            throw plat::SystemException("dup2", errno);
        if (!setInheritable(fd, true, false))
            throw plat::SystemException("setInheritable", errno);
    }
    // A /dev/null that landed on a standard number is that descriptor now; keep it.
    if (devNull.get() <= 2)
        devNull.release();
}

} // namespace os

// Whole-buffer writes with only write(2), so that a forked child and a signal handler may use them.
#include <plat/writeAll.h>

#include <cerrno>
#include <unistd.h>

namespace plat {

int writeAll(int fd, const void* bytes, std::size_t count) {
    const char* next = static_cast<const char*>(bytes);
    while (count > 0) {
        ssize_t written = ::write(fd, next, count);
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return errno;
        if (written == 0) // a regular file that takes nothing has no room left
            return ENOSPC;
        next += written;
        count -= std::size_t(written);
    }
    return 0;
}

int writeAll(int fd, iovec* parts, int count) {
    while (count > 0) {
        ssize_t written = ::writev(fd, parts, count);
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return errno;
        if (written == 0 && parts->iov_len > 0)
            return ENOSPC;
        std::size_t left = std::size_t(written);
        while (count > 0 && left >= parts->iov_len) {
            left -= parts->iov_len;
            ++parts;
            --count;
        }
        if (count > 0) {
            parts->iov_base = static_cast<char*>(parts->iov_base) + left;
            parts->iov_len -= left;
        }
    }
    return 0;
}

} // namespace plat

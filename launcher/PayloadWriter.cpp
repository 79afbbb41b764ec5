// Writing the payload image: copied inside the kernel from the launcher's own file where the file
// systems allow it, otherwise written from memory in chunks whose pages are then released.
#include <PayloadWriter.h>

#include <PayloadSource.h>

#include <plat/Exception.h>
#include <plat/writeAll.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <sys/mman.h>
#include <unistd.h>

namespace launcher {

namespace {

constexpr std::size_t ChunkSize = 1 << 20;

// How a kernel or file system without the copy says no. EPERM also comes from sandboxes whose
// system-call filters do not know copy_file_range.
bool refusesCopy(int error) {
    return error == ENOSYS || error == EXDEV || error == EOPNOTSUPP || error == EINVAL ||
           error == EPERM;
}

// Returns the number of bytes copied: 0 when the kernel road is refused before the first byte,
// fewer than all when the file ends early (the rest is then written from memory).
std::size_t copyFromExecutable(int fd, std::span<const unsigned char> image) {
    PayloadSource source = locatePayloadSource(image);
    if (!source.file.valid())
        return 0;
    std::size_t copied = 0;
    while (copied < image.size()) {
        ssize_t count = ::copy_file_range(source.file.get(), &source.offset, fd, nullptr,
                                          image.size() - copied, 0);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0 && copied == 0 && refusesCopy(errno))
            return 0;
        if (count < 0)
            throw plat::SystemException("write failed", errno);
        if (count == 0)
            break;
        copied += std::size_t(count);
    }
    return copied;
}

// The image is read-only data mapped from the launcher's own file: dropping its pages loses
// nothing, since the kernel reads them back from the file if they are ever touched again.
void releasePages(std::span<const unsigned char> bytes) {
    static const std::uintptr_t pageSize = std::uintptr_t(sysconf(_SC_PAGESIZE));
    std::uintptr_t begin = (std::uintptr_t(bytes.data()) + pageSize - 1) & ~(pageSize - 1);
    std::uintptr_t end = std::uintptr_t(bytes.data() + bytes.size()) & ~(pageSize - 1);
    if (begin < end)
        madvise(reinterpret_cast<void*>(begin), end - begin, MADV_DONTNEED);
}

void writeFromMemory(int fd, std::span<const unsigned char> image) {
    while (!image.empty()) {
        std::span<const unsigned char> chunk = image.first(std::min(ChunkSize, image.size()));
        if (int error = plat::writeAll(fd, chunk.data(), chunk.size()))
            throw plat::SystemException("write failed", error);
        releasePages(chunk);
        image = image.subspan(chunk.size());
    }
}

} // namespace

void writePayload(int fd, std::span<const unsigned char> image) {
    std::size_t copied = copyFromExecutable(fd, image);
    writeFromMemory(fd, image.subspan(copied));
}

} // namespace launcher

// Chunked writing of the payload image, releasing each written chunk's pages.
#include <PayloadWriter.h>

#include <plat/Exception.h>
#include <plat/writeAll.h>

#include <algorithm>
#include <cstdint>
#include <sys/mman.h>
#include <unistd.h>

namespace launcher {

namespace {

constexpr std::size_t ChunkSize = 1 << 20;

// The image is read-only data mapped from the launcher's own file: dropping its pages loses
// nothing, since the kernel reads them back from the file if they are ever touched again.
void releasePages(std::span<const unsigned char> bytes) {
    static const std::uintptr_t pageSize = std::uintptr_t(sysconf(_SC_PAGESIZE));
    std::uintptr_t begin = (std::uintptr_t(bytes.data()) + pageSize - 1) & ~(pageSize - 1);
    std::uintptr_t end = std::uintptr_t(bytes.data() + bytes.size()) & ~(pageSize - 1);
    if (begin < end)
        madvise(reinterpret_cast<void*>(begin), end - begin, MADV_DONTNEED);
}

} // namespace

void writePayload(int fd, std::span<const unsigned char> image) {
    while (!image.empty()) {
        std::span<const unsigned char> chunk = image.first(std::min(ChunkSize, image.size()));
        if (int error = plat::writeAll(fd, chunk.data(), chunk.size()))
            throw plat::SystemException("write failed", error);
        releasePages(chunk);
        image = image.subspan(chunk.size());
    }
}

} // namespace launcher

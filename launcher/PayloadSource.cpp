// Locating the payload image in the launcher's executable file through its loaded segments.
#include <PayloadSource.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <link.h>
#include <optional>
#include <unistd.h>

namespace launcher {

namespace {

constexpr std::size_t CheckedBytes = 4096;

struct SegmentSearch {
    std::uintptr_t address;
    std::size_t size;
    std::optional<off_t> offset;
};

// The first object reported is the program itself, the one /proc/self/exe names.
int findInProgramSegments(dl_phdr_info* info, std::size_t, void* data) {
    SegmentSearch& search = *static_cast<SegmentSearch*>(data);
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)& segment = info->dlpi_phdr[i];
        std::uintptr_t start = info->dlpi_addr + segment.p_vaddr;
        if (segment.p_type == PT_LOAD && search.address >= start &&
            search.address - start + search.size <= segment.p_filesz) {
            search.offset = off_t(segment.p_offset + (search.address - start));
            break;
        }
    }
    return 1;
}

std::optional<off_t> fileOffsetOf(std::span<const unsigned char> image) {
    SegmentSearch search{std::uintptr_t(image.data()), image.size(), std::nullopt};
    dl_iterate_phdr(findInProgramSegments, &search);
    return search.offset;
}

bool fileHoldsImageAt(int fd, off_t offset, std::span<const unsigned char> image) {
    unsigned char bytes[CheckedBytes];
    std::size_t count = std::min(image.size(), CheckedBytes);
    return ::pread(fd, bytes, count, offset) == ssize_t(count) &&
           std::memcmp(bytes, image.data(), count) == 0;
}

} // namespace

PayloadSource locatePayloadSource(std::span<const unsigned char> image) {
    PayloadSource source;
    std::optional<off_t> offset = fileOffsetOf(image);
    if (!offset)
        return source;
    plat::UniqueFd file(::open("/proc/self/exe", O_RDONLY | O_CLOEXEC));
    if (file.valid() && fileHoldsImageAt(file.get(), *offset, image)) {
        source.file = std::move(file);
        source.offset = *offset;
    }
    return source;
}

} // namespace launcher

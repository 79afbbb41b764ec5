// Writing the payload image: every byte arrives, across chunks and short writes. The launcher's
// end-to-end tests show the failure on a full file system.
#include <PayloadWriter.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <sys/mman.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

std::vector<unsigned char> patternOfSize(std::size_t size) {
    std::vector<unsigned char> bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<unsigned char>(i * 7 + i / 4093);
    return bytes;
}

// An image in a page-aligned, read-only mapping, like the one linked into the launcher. The
// writer releases its pages, so the image itself cannot serve as the expected content.
class MappedImage {
public:
    explicit MappedImage(const std::vector<unsigned char>& content) : size(content.size()) {
        void* memory =
            mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        bytes = static_cast<unsigned char*>(memory);
        std::copy(content.begin(), content.end(), bytes);
        mprotect(memory, size, PROT_READ);
    }
    ~MappedImage() { munmap(bytes, size); }

    std::span<const unsigned char> span() const { return {bytes, size}; }

private:
    unsigned char* bytes;
    std::size_t size;
};

std::vector<unsigned char> readAll(int fd) {
    std::vector<unsigned char> data;
    unsigned char buffer[65536];
    ssize_t got;
    while ((got = read(fd, buffer, sizeof buffer)) > 0)
        data.insert(data.end(), buffer, buffer + got);
    return data;
}

TEST(PayloadWriter, WritesEveryByteThroughShortPipeWrites) {
    // A pipe takes at most its capacity per write, so several chunks end in short writes.
    std::vector<unsigned char> expected = patternOfSize(3 * 1024 * 1024 + 12345);
    MappedImage image(expected);
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    std::vector<unsigned char> received;
    std::thread reader([&] { received = readAll(ends[0]); });

    launcher::writePayload(ends[1], image.span());
    close(ends[1]);
    reader.join();
    close(ends[0]);

    EXPECT_TRUE(received == expected);
}

} // namespace

// The file object under the file streams: sole ownership of one C standard-library file, opened
// close-on-exec through the file services, with the open flags the streams understand.
#pragma once

#include <cstdio>
#include <sys/types.h>
#include <utility>

namespace rdr {

// Open flags of output files.
enum FileFlags : int {
    // Write at the end, keeping the contents.
    FileAppend = 1,
    // Fail when the file exists.
    FileExclusive = 2,
    // Create the file with mode 0600 instead of 0666 (before the umask).
    FilePrivate = 4,
    // A transacted file starts with the target's current contents.
    FileKeepContents = 16,
};

class FileHandle {
public:
    FileHandle() = default;
    explicit FileHandle(FILE* file) : file(file) {}
    FileHandle(FileHandle&& other) noexcept : file(other.release()) {}
    FileHandle& operator=(FileHandle&& other) noexcept;
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    // Closes without reporting: use close() where a failure matters.
    ~FileHandle();

    // Raise plat::SystemException "fileOpen(%s)" on failure.
    static FileHandle openForReading(const char* path);
    static FileHandle openForWriting(const char* path, int fileFlags);

    FILE* get() const { return file; }
    bool isOpen() const { return file != nullptr; }
    FILE* release() { return std::exchange(file, nullptr); }

    // Closes the file; delayed write errors surface here as plat::StdlibException.
    void close();
    // Forces written data to the storage device (before a rename publishes it).
    void sync();

private:
    static FileHandle open(const char* path, int openFlags, const char* stdioMode, mode_t mode);

    FILE* file = nullptr;
};

} // namespace rdr

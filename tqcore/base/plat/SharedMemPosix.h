// POSIX shared memory objects (and ordinary files) mapped read-write and shared, with marker
// files in the profile directory for the objects created here.
#pragma once

#include <plat/SharedMem.h>

namespace plat {

class SharedMemPosix : public SharedMem {
public:
    // A new object "/<program>-<pid>-<counter>" of size bytes, mode 0600, with its marker, mapped.
    // Before the first one the process removes stale objects. Every failure after the object
    // exists unlinks it again.
    static std::unique_ptr<SharedMemPosix> create(std::uint32_t size);
    // Maps size bytes at position of an existing object or, with isFile, an ordinary file. The
    // position must be page-aligned and the object must hold position + size bytes, else
    // plat::Exception "invalid shared memory size": touching pages past its end would be SIGBUS.
    static std::unique_ptr<SharedMemPosix> open(const char* name, std::uint32_t size,
                                                std::uint64_t position, bool isFile);
    static std::unique_ptr<SharedMemPosix> receive(const SharedMemDescription& description);
    ~SharedMemPosix() override;

    SharedMemDescription describe() const override;
    const char* name() const { return objectName.c_str(); }

    // Unlinks the objects whose markers name a process that no longer runs.
    static void cleanStale();
    // "<profile directory>/shm/Posix".
    static DString markerDirectory();

private:
    SharedMemPosix(const char* name, std::uint32_t size, std::uint64_t position, bool isFile,
                   bool create);
    void writeMarker();
    void map(int fd);

    DString objectName;
    std::uint64_t offset;
    bool fileBacked;
    bool markerWritten = false;
};

} // namespace plat

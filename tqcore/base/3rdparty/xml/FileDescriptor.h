// An owned file descriptor for reading and writing XML files, closed when it goes out of scope.
#pragma once

#include <unistd.h>

namespace xml {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd(fd) {}
    ~FileDescriptor() {
        if (fd >= 0)
            ::close(fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return fd; }
    bool valid() const { return fd >= 0; }
    // Closes now, so that the caller can see a failure of the final write-back; false on error.
    bool close() {
        int closing = fd;
        fd = -1;
        return ::close(closing) == 0;
    }

private:
    int fd;
};

} // namespace xml

// Opening, syncing and closing the standard-library files of the file streams.
#include <rdr/FileHandle.h>

#include <plat/Exception.h>
#include <plat/file.h>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace rdr {

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
    if (this != &other) {
        if (file)
            std::fclose(file);
        file = other.release();
    }
    return *this;
}

FileHandle::~FileHandle() {
    if (file)
        std::fclose(file);
}

FileHandle FileHandle::open(const char* path, int openFlags, const char* stdioMode, mode_t mode) {
    FILE* opened = plat::fileOpen(path, openFlags, stdioMode, mode);
    if (!opened)
        throw plat::SystemExceptionFmt("fileOpen(%s)", errno, path);
    return FileHandle(opened);
}

FileHandle FileHandle::openForReading(const char* path) {
    return open(path, O_RDONLY, "rb", 0);
}

FileHandle FileHandle::openForWriting(const char* path, int fileFlags) {
    int openFlags = O_WRONLY | O_CREAT;
    openFlags |= (fileFlags & FileAppend) ? O_APPEND : O_TRUNC;
    if (fileFlags & FileExclusive)
        openFlags |= O_EXCL;
    mode_t mode = (fileFlags & FilePrivate) ? 0600 : 0666;
    return open(path, openFlags, (fileFlags & FileAppend) ? "ab" : "wb", mode);
}

void FileHandle::close() {
    FILE* closing = release();
    if (closing && std::fclose(closing) != 0)
        throw plat::StdlibException("closing file failed");
}

void FileHandle::sync() {
    PLAT_ASSERT(file);
    if (std::fflush(file) != 0 || ::fsync(::fileno(file)) != 0)
        throw plat::StdlibException("writing to file failed");
}

} // namespace rdr

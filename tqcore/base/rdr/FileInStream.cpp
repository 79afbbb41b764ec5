// Reading files into the buffered input stream.
#include <rdr/FileInStream.h>

#include <rdr/Exception.h>

#include <plat/file.h>

namespace rdr {

FileInStream::FileInStream(const char* path, int bufferSize)
    : FileInStream(FileHandle::openForReading(path), bufferSize) {}

FileInStream::FileInStream(FileHandle file, int bufferSize)
    : BufferedInStream(bufferSize), file(std::move(file)) {
    rewindable = false;
}

int FileInStream::readData(std::uint8_t* destination, int length) {
    std::size_t got = plat::fileRead(file.get(), destination, std::size_t(length));
    if (got == 0)
        throw EndOfStream("End of file");
    return int(got);
}

} // namespace rdr

// Reading files into the buffered input stream.
#include <rdr/FileInStream.h>

#include <plat/file.h>

namespace rdr {

FileInStream::FileInStream(const char* path, int bufferSize)
    : FileInStream(FileHandle::openForReading(path), bufferSize) {}

FileInStream::FileInStream(FileHandle file, int bufferSize)
    : BufferedInStream(bufferSize), file(std::move(file)) {
    rewindable = false;
}

int FileInStream::readData(std::uint8_t* destination, int length) {
    return int(plat::fileRead(file.get(), destination, std::size_t(length)));
}

} // namespace rdr

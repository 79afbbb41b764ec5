// An input stream reading a file through the C standard library.
#pragma once

#include <rdr/BufferedInStream.h>
#include <rdr/FileHandle.h>

namespace rdr {

class FileInStream : public BufferedInStream {
public:
    explicit FileInStream(const char* path, int bufferSize = -1);
    // Takes over an open file.
    explicit FileInStream(FileHandle file, int bufferSize = -1);

protected:
    // Raises EndOfStream "End of file" at the end.
    int readData(std::uint8_t* destination, int length) override;

private:
    FileHandle file;
};

} // namespace rdr

// Reading past the end of a memory stream.
#include <rdr/MemInStream.h>

#include <rdr/Exception.h>

namespace rdr {

MemInStream::MemInStream(const void* data, int length)
    : start(static_cast<const std::uint8_t*>(data)) {
    ptr = start;
    checkpointPtr = start;
    end = start + (length > 0 ? length : 0);
}

bool MemInStream::overrun(int) {
    throw EndOfStream();
}

} // namespace rdr

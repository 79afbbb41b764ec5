// Fuzz target: inflating gzip (and zlib) data with rdr::ZlibInStream from memory.
//
// Input: byte 0 chooses the format (bit 0: gzip) and the buffer size; the rest is the data.
#include <rdr/Exception.h>
#include <rdr/MemInStream.h>
#include <rdr/ZlibInStream.h>

#include <plat/Exception.h>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1 || size > (1 << 20))
        return 0;
    bool gzip = data[0] & 1;
    int bufferSize = 16 + (data[0] >> 1) * 64;
    rdr::MemInStream source(data + 1, int(size - 1));
    try {
        rdr::ZlibInStream in(bufferSize, gzip);
        in.setUnderlying(&source);
        // Bounded: a small deflate stream may expand a thousandfold.
        for (int reads = 0; reads < 4096; ++reads) {
            if (reads % 3 == 0) {
                in.readU32();
                continue;
            }
            in.check(1, true);
            in.advance(in.nUnread());
        }
    } catch (plat::Exception&) {
    }
    return 0;
}

// Fuzz target: decoding PNG files from memory with tqutil::PngFile, loading images of up to 4 Mi
// pixels and premultiplying their alpha.
#include <rfb/ManagedPixelBuffer.h>
#include <tqutil/PngFile.h>

#include <plat/Exception.h>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        tqutil::PngFile png(size, data, true, "fuzz");
        rfb::Point imageSize = png.getSize();
        if (std::int64_t(imageSize.x) * imageSize.y > (std::int64_t(1) << 22))
            return 0;
        rfb::ManagedPixelBuffer pb(&png);
    } catch (const plat::Exception&) {
    }
    return 0;
}

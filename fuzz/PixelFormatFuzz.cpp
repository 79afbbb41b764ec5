// Fuzz target: any 16 bytes read as a pixel format, printed, parsed, rewritten and, when valid,
// used to translate pixels to and from the standard formats.
//
// Input: the 16-byte record, then pixel bytes for the translations (the first also chooses the
// standard format to translate to and from). The text form must stay
// within its buffer, parsing it must not fail badly, and every translation must give what the
// per-pixel rules give.
#include <rfb/ColorCube.h>
#include <rfb/FullFramePixelBuffer.h>
#include <rfb/PixelFormat.h>
#include <rfb/TransPixelBuffer.h>
#include <rfb/pixelConversion.h>

#include <rdr/MemInStream.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

void require(bool condition) {
    if (!condition)
        __builtin_trap();
}

std::uint32_t pixelAt(const std::uint8_t* memory, int index, int bytes) {
    std::uint32_t value = 0;
    for (int i = 0; i < bytes; ++i)
        value |= std::uint32_t(memory[index * bytes + i]) << (8 * i);
    return value;
}

// Translates width pixels of in into out and compares with the rules.
void checkTranslation(const rfb::PixelFormat& in, const rfb::PixelFormat& out,
                      const std::uint8_t* bytes, std::size_t available,
                      const rfb::PixelFormat* reduction) {
    constexpr int Width = 8;
    std::vector<std::uint8_t> source(std::size_t(Width * in.bytesPerPixel()));
    std::memcpy(source.data(), bytes, std::min(available, source.size()));
    rfb::ColorCubeOrth sourceMap(6, 6, 6);
    rfb::FullFramePixelBuffer pb(in, rfb::Rect(0, 0, Width, 1), &sourceMap, source.data());
    rfb::TransPixelBuffer trans(out);
    trans.setSource(&pb);
    trans.setReductionFormat(reduction);
    std::vector<std::uint8_t> result(std::size_t(Width * out.bytesPerPixel()));
    trans.getImage(result.data(), pb.getRect());
    bool reduce = reduction && reduction->depth < out.depth;
    for (int i = 0; i < Width; ++i) {
        std::uint32_t pixel = pixelAt(source.data(), i, in.bytesPerPixel());
        std::uint32_t expected = pixel;
        if (trans.translates()) {
            rfb::Rgb rgb;
            rfb::pixelToRgb(in, pixel, rgb, &sourceMap);
            if (reduce)
                rgb = rfb::quantise(*reduction, rgb);
            expected = rfb::rgbToPixel(out, rgb, trans.getColourMap());
        }
        require(pixelAt(result.data(), i, out.bytesPerPixel()) == expected);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 16)
        return 0;
    rdr::MemInStream in(data, 16);
    rfb::PixelFormat pf;
    pf.read(in);

    char text[rfb::PixelFormat::TextCapacity + 8];
    std::memset(text, 'x', sizeof text);
    text[0] = '\0';
    pf.print(text);
    require(std::memchr(text, '\0', rfb::PixelFormat::TextCapacity) != nullptr);
    require(text[rfb::PixelFormat::TextCapacity] == 'x');
    rfb::PixelFormat parsed = pf;
    if (parsed.parse(text + std::strlen(text) - std::min<std::size_t>(std::strlen(text), 6)))
        require(parsed.isValid());

    rfb::PixelFormat little = pf;
    if (little.toLittleEndian())
        require(!little.bigEndian && (!pf.isValid() || little.isValid()));
    else
        require(std::memcmp(&little, &pf, sizeof pf) == 0);
    rfb::PixelFormat updated = pf;
    updated.updateDepth();

    if (!pf.isValid())
        return 0;
    // One standard format per input, chosen by the first pixel byte, keeps runs short: 16-bit
    // formats build tables of 65536 entries.
    const std::uint8_t* pixels = data + 16;
    std::size_t available = size - 16;
    const char* const standard[] = {"rgb888", "rgb565", "pal8", "bgr233"};
    rfb::PixelFormat other, rgb222;
    other.parse(standard[available ? pixels[0] % 4 : 0]);
    rgb222.parse("rgb222");
    checkTranslation(pf, other, pixels, available, nullptr);
    checkTranslation(other, pf, pixels, available, &rgb222);
    if (little.isValid())
        checkTranslation(pf, little, pixels, available, nullptr);
    return 0;
}

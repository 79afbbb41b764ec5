// Fuzz target: parsing bitmap fonts with tqutil::FontKbxBm from raw or gzip-compressed bytes,
// then measuring, wrapping and drawing text with them.
//
// Input: byte 0 chooses gzip (bit 0), the pixel size of the target (bit 1: 16 bpp) and the
// alignments; bytes 1-2 the length of the font data that follows; the rest is UTF-8 text.
#include <rdr/MemInStream.h>
#include <rdr/ZlibInStream.h>
#include <rfb/ManagedPixelBuffer.h>
#include <tqutil/FontKbxBm.h>

#include <plat/Exception.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace {

std::unique_ptr<tqutil::FontKbxBm> parse(const std::uint8_t* font, int length, bool gzip) {
    rdr::MemInStream raw(font, length);
    if (!gzip)
        return std::make_unique<tqutil::FontKbxBm>(raw);
    rdr::ZlibInStream inflated(0, true);
    inflated.setUnderlying(&raw);
    return std::make_unique<tqutil::FontKbxBm>(inflated);
}

void useFont(const tqutil::Font& font, const std::string& text, std::uint8_t mode) {
    rfb::ManagedPixelBuffer pb;
    if (mode & 2)
        pb.setPF(rfb::PixelFormat(16, 16, false, true, 31, 63, 31, 11, 5, 0));
    else
        pb.setPF(rfb::PixelFormat(32, 24, false, true, 255, 255, 255, 16, 8, 0));
    pb.setSize(rfb::Point(64, 32));
    const char* begin = text.c_str();
    const char* end = begin + text.size();
    int hAlign = (mode >> 2) % 3, vAlign = (mode >> 4) % 3;
    font.drawText(&pb, begin, rfb::Point(-3, 2), 0xFFFF, end);
    font.drawTextInRect(&pb, begin, rfb::Rect(2, -4, 60, 40), 0xF0F0, hAlign, vAlign);
    font.drawTextTruncated(&pb, begin, rfb::Rect(-8, 5, 40, 20), 0x0F0F, hAlign, vAlign, end);
    font.textWidth(begin, end);
    font.fitText(begin, 30, end);
    font.charAtX(17, begin, end);
    font.wrapText(begin, 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3 || size > (1 << 20))
        return 0;
    std::uint8_t mode = data[0];
    std::size_t fontLength = std::size_t(data[1]) << 8 | data[2];
    fontLength = fontLength < size - 3 ? fontLength : size - 3;
    std::string text(reinterpret_cast<const char*>(data + 3 + fontLength), size - 3 - fontLength);
    try {
        auto font = parse(data + 3, int(fontLength), mode & 1);
        useFont(*font, text, mode);
    } catch (const plat::Exception&) {
    }
    return 0;
}

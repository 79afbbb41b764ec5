// Formatting of the stream traffic trace.
#include <rdr/traceDump.h>

namespace rdr {

namespace {

constexpr int BytesPerLine = 16;
constexpr int BytesPerGroup = 4;

void dumpLine(const char* label, int offset, const std::uint8_t* bytes, int count, FILE* out) {
    if (offset == 0)
        std::fputs(label, out);
    else
        std::fprintf(out, "%04x ", offset);
    for (int i = 0; i < BytesPerLine; ++i) {
        if (i < count)
            std::fprintf(out, "%02x ", bytes[i]);
        else
            std::fputs("   ", out);
        if (i % BytesPerGroup == BytesPerGroup - 1)
            std::fputc(' ', out);
    }
    for (int i = 0; i < count; ++i)
        std::fputc(bytes[i] >= 0x20 && bytes[i] <= 0x7E ? bytes[i] : '.', out);
    std::fputc('\n', out);
}

} // namespace

void traceDump(const char* label, const std::uint8_t* data, int length, FILE* out) {
    for (int offset = 0; offset < length; offset += BytesPerLine) {
        int count = length - offset < BytesPerLine ? length - offset : BytesPerLine;
        dumpLine(label, offset, data + offset, count, out);
    }
    std::fflush(out);
}

} // namespace rdr

// A PNG image in memory, decoded with libpng into 32-bit pixels: rgb888, or argb8888 when it has
// transparency, optionally with the alpha premultiplied.
#pragma once

#include <rfb/ImageLoader.h>
#include <rfb/PixelFormat.h>

#include <plat/NonCopyable.h>
#include <plat/String.h>

#include <cstddef>
#include <cstdint>

struct png_struct_def;
struct png_info_def;

namespace tqutil {

class PngFile : public rfb::ImageLoader, plat::NonCopyable {
public:
    // Sides above this are refused before anything is allocated for the pixels.
    static constexpr std::uint32_t MaxSide = 32767;
    // Deflate expands data at most about 1032-fold, so a file cannot hold an image whose pixels
    // need more bytes than that; such a header is refused before the caller allocates for it.
    static constexpr std::uint64_t MaxInflation = 1032;

    // Reads the header at once. The bytes are not copied and must outlive the object. Throws
    // PngException "<libpng's text>: <name>" ("Bad PNG data" when the data ends early or is too
    // short for the size the header states) or "PNG color type <n> not supported: <name>".
    PngFile(std::size_t byteCount, const void* bytes, bool premultiply, const char* name = nullptr);
    ~PngFile() override;

    rfb::Point getSize() const override { return {int(width), int(height)}; }
    rfb::PixelFormat getPf() const override { return pf; }
    // Decodes every row (all passes of an interlaced image) straight into pb's pixels at offset;
    // pb's format must be getPf(). Throws PngException for damaged image data, leaving the rows
    // decoded so far. May be called again.
    void load(rfb::WritablePixelBuffer* pb, rfb::Point offset) override;

    const char* name() const { return imageName.c_str(); }

private:
    // Creates the libpng reader, reads the header and sets up the transformations.
    void start();
    void finish();
    [[noreturn]] void raise();

    static void readData(png_struct_def* png, unsigned char* out, std::size_t length);
    static void onError(png_struct_def* png, const char* message);
    static void onWarning(png_struct_def* png, const char* message);
    // The libpng calls; each returns false after a libpng error, whose text is in errorText.
    bool readHeader();
    bool readRows(unsigned char* firstRow, int strideBytes);

    std::size_t byteCount;
    const unsigned char* bytes;
    std::size_t position = 0;
    rfb::PixelFormat pf;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int passes = 1;
    int colourType = 0;
    std::uint32_t fileBitsPerPixel = 0;
    char errorText[128] = {};
    plat::String imageName;
    bool premultiply;
    bool consumed = false;
    png_struct_def* png = nullptr;
    png_info_def* info = nullptr;
};

} // namespace tqutil

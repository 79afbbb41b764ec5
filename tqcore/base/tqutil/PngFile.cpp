// PNG decoding through libpng. libpng reports errors by longjmp to the frame that started the
// call, so the frames that call setjmp hold no object with a destructor and read no local
// variable after the jump; the error text waits in the object until the exception is thrown.
#include <tqutil/PngFile.h>

#include <plat/Exception.h>
#include <plat/fixedText.h>
#include <rfb/WritablePixelBuffer.h>
#include <tqutil/imageExceptions.h>

#include <png.h>

#include <csetjmp>
#include <cstring>

namespace tqutil {

namespace {

const rfb::PixelFormat Rgb888(32, 24, false, true, 255, 255, 255, 16, 8, 0);
const rfb::PixelFormat Argb8888(32, 32, false, true, 255, 255, 255, 16, 8, 0, 24, 255);

// Outside the setjmp frame, so that its loop variables cannot be clobbered by the jump.
void readAllRows(png_structp png, unsigned char* firstRow, std::size_t strideBytes,
                 std::uint32_t height, int passes) {
    for (int pass = 0; pass < passes; ++pass)
        for (std::uint32_t y = 0; y < height; ++y)
            png_read_row(png, firstRow + y * strideBytes, nullptr);
}

// Colour × alpha / 255, rounded to nearest, for the three colour bytes of each pixel.
void premultiplyRows(unsigned char* firstRow, std::size_t strideBytes, std::uint32_t width,
                     std::uint32_t height) {
    for (std::uint32_t y = 0; y < height; ++y) {
        unsigned char* pixel = firstRow + y * strideBytes;
        for (std::uint32_t x = 0; x < width; ++x, pixel += 4) {
            unsigned alpha = pixel[3];
            if (alpha == 255)
                continue;
            for (int channel = 0; channel < 3; ++channel)
                pixel[channel] = static_cast<unsigned char>((pixel[channel] * alpha + 127) / 255);
        }
    }
}

} // namespace

PngFile::PngFile(std::size_t byteCount, const void* bytes, bool premultiply, const char* name)
    : byteCount(byteCount), bytes(static_cast<const unsigned char*>(bytes)),
      imageName(name ? name : "<unknown>"), premultiply(premultiply) {
    start();
}

PngFile::~PngFile() {
    finish();
}

void PngFile::start() {
    png_structp pp = png_create_read_struct(PNG_LIBPNG_VER_STRING, this, onError, onWarning);
    PLAT_ASSERT(pp);
    png = pp;
    png_infop ip = png_create_info_struct(png);
    PLAT_ASSERT(ip);
    info = ip;
    position = 0;
    consumed = false;
    if (!readHeader()) {
        finish();
        raise();
    }
    std::uint64_t leastPixelBytes = (std::uint64_t(width) * height * fileBitsPerPixel + 7) / 8;
    if (leastPixelBytes > std::uint64_t(byteCount) * MaxInflation + 4096) {
        finish();
        throw PngException("Bad PNG data: %s", imageName.c_str());
    }
    if (colourType != PNG_COLOR_TYPE_RGB && colourType != PNG_COLOR_TYPE_RGB_ALPHA) {
        finish();
        throw PngException("PNG color type %d not supported: %s", colourType, imageName.c_str());
    }
    pf = colourType == PNG_COLOR_TYPE_RGB ? Rgb888 : Argb8888;
}

void PngFile::finish() {
    if (png)
        png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    png = nullptr;
    info = nullptr;
}

void PngFile::raise() {
    throw PngException("%s: %s", errorText, imageName.c_str());
}

bool PngFile::readHeader() {
    if (setjmp(png_jmpbuf(png)))
        return false;
    // Refused in the header, before the caller sizes a buffer for the pixels.
    png_set_user_limits(png, MaxSide, MaxSide);
    png_set_read_fn(png, this, readData);
    png_read_info(png, info);
    fileBitsPerPixel = std::uint32_t(png_get_bit_depth(png, info)) * png_get_channels(png, info);
    png_set_bgr(png);
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_filler(png, 0, PNG_FILLER_AFTER);
    passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    width = png_get_image_width(png, info);
    height = png_get_image_height(png, info);
    colourType = png_get_color_type(png, info);
    return true;
}

bool PngFile::readRows(unsigned char* firstRow, int strideBytes) {
    if (setjmp(png_jmpbuf(png)))
        return false;
    readAllRows(png, firstRow, std::size_t(strideBytes), height, passes);
    return true;
}

void PngFile::load(rfb::WritablePixelBuffer* pb, rfb::Point offset) {
    PLAT_ASSERT(pb->getPf().equal(pf));
    if (consumed) {
        finish();
        start();
    }
    consumed = true;
    int stride = 0;
    auto* firstRow =
        pb->getPixelsRW(rfb::Rect::fromXYWH(offset.x, offset.y, int(width), int(height)), &stride);
    if (!firstRow)
        return;
    if (!readRows(firstRow, stride * 4))
        raise();
    if (premultiply && pf.alphaMax != 0)
        premultiplyRows(firstRow, std::size_t(stride) * 4, width, height);
}

void PngFile::readData(png_structp png, png_bytep out, std::size_t length) {
    auto* self = static_cast<PngFile*>(png_get_io_ptr(png));
    if (length > self->byteCount - self->position)
        png_error(png, "Bad PNG data");
    std::memcpy(out, self->bytes + self->position, length);
    self->position += length;
}

void PngFile::onError(png_structp png, png_const_charp message) {
    auto* self = static_cast<PngFile*>(png_get_error_ptr(png));
    self->errorText[0] = '\0';
    plat::boundedAppend(self->errorText, sizeof self->errorText, message);
    png_longjmp(png, 1);
}

// Warnings (unknown chunks, gamma details) do not concern the user; libpng's default would print
// them on standard error.
void PngFile::onWarning(png_structp, png_const_charp) {}

} // namespace tqutil

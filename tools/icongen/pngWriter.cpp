// libpng's writer. Nothing varies between runs: no time chunk, fixed compression settings.
#include "pngWriter.h"

#include <png.h>

#include <csetjmp>

#include <array>
#include <cstdio>
#include <map>
#include <memory>
#include <stdexcept>

namespace icongen {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

struct Image {
    int width;
    int height;
    int colourType;
    png_bytep const* rows;
    const png_color* palette;
    int paletteSize;
    const png_byte* transparency;
    int transparencySize;
};

// libpng reports errors by longjmp back here (after printing them), so this frame holds no object
// with a destructor. False on a libpng error.
bool encode(png_structp png, png_infop info, std::FILE* file, const Image& image) {
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_init_io(png, file);
    png_set_compression_level(png, 9);
    png_set_IHDR(png, info, png_uint_32(image.width), png_uint_32(image.height), 8,
                 image.colourType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (image.paletteSize > 0)
        png_set_PLTE(png, info, image.palette, image.paletteSize);
    if (image.transparencySize > 0)
        png_set_tRNS(png, info, image.transparency, image.transparencySize, nullptr);
    png_write_info(png, info);
    png_write_image(png, const_cast<png_bytepp>(image.rows));
    png_write_end(png, nullptr);
    return true;
}

// Writes one image; palette and transparency empty for RGBA.
void writePng(const std::string& path, int width, int height, int colourType,
              const std::vector<png_bytep>& rows, const std::vector<png_color>& palette,
              const std::vector<png_byte>& transparency) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file)
        throw std::runtime_error("cannot create " + path);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    Image image{width,
                height,
                colourType,
                rows.data(),
                palette.data(),
                int(palette.size()),
                transparency.data(),
                int(transparency.size())};
    bool written = info && encode(png, info, file.get(), image);
    png_destroy_write_struct(&png, &info);
    if (!written || std::fflush(file.get()) != 0)
        throw std::runtime_error("cannot write " + path);
}

} // namespace

void writeRgbaPng(const std::string& path, int width, int height,
                  const std::vector<std::uint8_t>& rgba) {
    std::vector<std::uint8_t> pixels = rgba;
    std::vector<png_bytep> rows;
    for (int y = 0; y < height; ++y)
        rows.push_back(pixels.data() + std::size_t(y) * std::size_t(width) * 4);
    writePng(path, width, height, PNG_COLOR_TYPE_RGB_ALPHA, rows, {}, {});
}

void writePalettePng(const std::string& path, int width, int height,
                     const std::vector<std::uint8_t>& rgba) {
    // Translucent entries first, so that the tRNS chunk covers only them; otherwise in the
    // colours' own order, so that the file does not depend on the pixels' order.
    using Entry = std::array<std::uint8_t, 4>;
    auto order = [](const Entry& a, const Entry& b) {
        bool aOpaque = a[3] == 255, bOpaque = b[3] == 255;
        return aOpaque != bOpaque ? bOpaque : a < b;
    };
    std::map<Entry, int, decltype(order)> indexOf(order);
    std::size_t pixelCount = std::size_t(width) * std::size_t(height);
    for (std::size_t i = 0; i < pixelCount; ++i) {
        Entry entry{rgba[i * 4], rgba[i * 4 + 1], rgba[i * 4 + 2], rgba[i * 4 + 3]};
        if (entry[3] == 0)
            entry = {0, 0, 0, 0};
        indexOf.emplace(entry, 0);
    }
    if (indexOf.size() > 256)
        throw std::runtime_error(path + " needs " + std::to_string(indexOf.size()) + " colours");
    std::vector<png_color> palette;
    std::vector<png_byte> transparency;
    for (auto& [entry, index] : indexOf) {
        index = int(palette.size());
        palette.push_back(png_color{entry[0], entry[1], entry[2]});
        if (entry[3] != 255)
            transparency.push_back(entry[3]);
    }
    std::vector<std::uint8_t> indices(pixelCount);
    for (std::size_t i = 0; i < pixelCount; ++i) {
        Entry entry{rgba[i * 4], rgba[i * 4 + 1], rgba[i * 4 + 2], rgba[i * 4 + 3]};
        if (entry[3] == 0)
            entry = {0, 0, 0, 0};
        indices[i] = std::uint8_t(indexOf.at(entry));
    }
    std::vector<png_bytep> rows;
    for (int y = 0; y < height; ++y)
        rows.push_back(indices.data() + std::size_t(y) * std::size_t(width));
    writePng(path, width, height, PNG_COLOR_TYPE_PALETTE, rows, palette, transparency);
}

} // namespace icongen

// Colour conversion, views, outlines and compositing over any pixel format of the back buffers.
#include <wvw/painting.h>

#include <rfb/ColourMap.h>

#include <algorithm>

namespace wvw {

namespace {

std::uint32_t scaleChannel(std::uint8_t value, int max) {
    return (std::uint32_t(value) * max + 127) / 255;
}

std::uint8_t unscaleChannel(std::uint32_t pixel, int max, int shift) {
    if (max == 0 || shift >= 32)
        return 0;
    std::uint32_t value = (pixel >> shift) & max;
    return std::uint8_t((value * 255 + max / 2) / max);
}

struct Rgba {
    std::uint32_t red, green, blue, alpha;
};

Rgba readImagePixel(const rfb::PixelFormat& pf, const std::uint8_t* p, const rfb::PixelBuffer& pb) {
    std::uint32_t value = 0;
    switch (pf.bpp) {
    case 8:
        value = p[0];
        break;
    case 16:
        value = pf.bigEndian ? (p[0] << 8 | p[1]) : (p[1] << 8 | p[0]);
        break;
    case 32:
        value = pf.bigEndian ? (std::uint32_t(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3])
                             : (std::uint32_t(p[3]) << 24 | p[2] << 16 | p[1] << 8 | p[0]);
        break;
    default:
        return {0, 0, 0, 0};
    }
    plat::Rgb rgb = colourOf(pb, value);
    std::uint32_t alpha = pf.hasAlpha() ? unscaleChannel(value, pf.alphaMax, pf.alphaShift) : 255;
    return {rgb.red, rgb.green, rgb.blue, alpha};
}

} // namespace

std::uint32_t pixelOf(const rfb::PixelBuffer& pb, const plat::Rgb& colour) {
    const rfb::PixelFormat& pf = pb.getPf();
    if (!pf.trueColour) {
        rfb::ColourMap* map = pb.getColourMap();
        if (!map)
            return 0;
        return std::uint32_t(map->findNearest({colour.red, colour.green, colour.blue}));
    }
    std::uint32_t pixel =
        rfb::PixelFormat::channelMask(scaleChannel(colour.red, pf.redMax), pf.redShift) |
        rfb::PixelFormat::channelMask(scaleChannel(colour.green, pf.greenMax), pf.greenShift) |
        rfb::PixelFormat::channelMask(scaleChannel(colour.blue, pf.blueMax), pf.blueShift);
    if (pf.hasAlpha())
        pixel |= rfb::PixelFormat::channelMask(pf.alphaMax, pf.alphaShift);
    return pixel;
}

plat::Rgb colourOf(const rfb::PixelBuffer& pb, std::uint32_t pixel) {
    const rfb::PixelFormat& pf = pb.getPf();
    if (!pf.trueColour) {
        rfb::ColourMap* map = pb.getColourMap();
        if (!map || pixel >= std::uint32_t(map->size()))
            return {};
        rfb::Rgb entry;
        map->lookup(int(pixel), entry);
        return {std::uint8_t(entry.r), std::uint8_t(entry.g), std::uint8_t(entry.b)};
    }
    return {unscaleChannel(pixel, pf.redMax, pf.redShift),
            unscaleChannel(pixel, pf.greenMax, pf.greenShift),
            unscaleChannel(pixel, pf.blueMax, pf.blueShift)};
}

rfb::FullFramePixelBuffer viewOf(rfb::FullFramePixelBuffer& pb, const rfb::Rect& area,
                                 const rfb::Point& origin) {
    rfb::Rect clipped = area.intersect(pb.getRect());
    if (clipped.isEmpty())
        return rfb::FullFramePixelBuffer(pb.getPf(), rfb::Rect(), pb.getColourMap(), nullptr, 1);
    int stride = 0;
    std::uint8_t* data = pb.getPixelsRW(clipped, &stride);
    rfb::Point back(-origin.x, -origin.y);
    return rfb::FullFramePixelBuffer(pb.getPf(), clipped.translate(back), pb.getColourMap(), data,
                                     stride);
}

void drawRoundedOutline(rfb::WritablePixelBuffer& pb, const rfb::Rect& r, int radius,
                        std::uint32_t pixel) {
    if (r.isEmpty())
        return;
    radius = std::clamp(radius, 0, std::min(r.width(), r.height()) / 2);
    const int left = r.tl.x, top = r.tl.y, right = r.br.x - 1, bottom = r.br.y - 1;
    pb.fillRect({left + radius, top, right - radius + 1, top + 1}, pixel);
    pb.fillRect({left + radius, bottom, right - radius + 1, bottom + 1}, pixel);
    pb.fillRect({left, top + radius, left + 1, bottom - radius + 1}, pixel);
    pb.fillRect({right, top + radius, right + 1, bottom - radius + 1}, pixel);
    // The arc between the edges' ends: the pixels i, radius - i in from each corner.
    for (int i = 1; i < radius; ++i) {
        int j = radius - i;
        for (auto [x, y] : {std::pair{left + i, top + j},
                            {right - i, top + j},
                            {left + i, bottom - j},
                            {right - i, bottom - j}})
            pb.fillRect({x, y, x + 1, y + 1}, pixel);
    }
}

void compositeImage(rfb::FullFramePixelBuffer& pb, rfb::PixelBuffer& image,
                    const rfb::Point& position, bool greyed) {
    rfb::Rect target = image.getRect().translate(position).intersect(pb.getRect());
    if (target.isEmpty())
        return;
    const rfb::PixelFormat& pf = image.getPf();
    int stride = 0;
    rfb::Rect source = target.translate({-position.x, -position.y});
    const std::uint8_t* pixels = image.getPixelsR(source, &stride);
    const int bytes = pf.bytesPerPixel();
    for (int y = 0; y < target.height(); ++y) {
        for (int x = 0; x < target.width(); ++x) {
            Rgba src = readImagePixel(pf, pixels + (std::size_t(y) * stride + x) * bytes, image);
            if (greyed) {
                std::uint32_t grey = (src.red * 30 + src.green * 59 + src.blue * 11) / 100;
                src = {(src.red + grey) / 2, (src.green + grey) / 2, (src.blue + grey) / 2,
                       src.alpha};
            }
            rfb::Point p(target.tl.x + x, target.tl.y + y);
            plat::Rgb dst = colourOf(pb, pb.getPixel(p));
            // Premultiplied: the source already carries its share of the colour.
            auto blend = [&](std::uint32_t s, std::uint8_t d) {
                return std::uint8_t(
                    std::min<std::uint32_t>(255, s + (d * (255 - src.alpha) + 127) / 255));
            };
            pb.setPixel(p, pixelOf(pb, {blend(src.red, dst.red), blend(src.green, dst.green),
                                        blend(src.blue, dst.blue)}));
        }
    }
}

} // namespace wvw

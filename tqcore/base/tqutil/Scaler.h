// Area-averaging image scaling: every destination pixel is the average of the source pixels it
// covers, weighted by how much of each it covers, in integer arithmetic only.
#pragma once

#include <rfb/ImageGetter.h>
#include <rfb/PixelFormat.h>

#include <cstdint>
#include <vector>

namespace rfb {
class ColourMap;
class PixelBuffer;
} // namespace rfb

namespace tqutil {

class Scaler : public rfb::ImageGetter {
public:
    // The source's whole rectangle is scaled; it is not owned.
    void setSource(rfb::PixelBuffer* pb);
    void setDestinationSize(rfb::Point size);
    // What getImage writes; the source's format and colour map until set. The colour map (not
    // owned) serves colour-map formats.
    void setDestinationFormat(const rfb::PixelFormat& pf, rfb::ColourMap* colourMap = nullptr);

    // The scaled pixels of rect (in destination coordinates, within the destination size), rows
    // destStride pixels apart (0: rect's width). Throws plat::Exception "Scaler error: no source"
    // or "Scaler error: <source format> to <destination format>" when it cannot convert between
    // the formats (alpha into a format that cannot hold it, or between byte orders with alpha).
    void getImage(void* dest, const rfb::Rect& rect, int destStride = 0) override;

    // How the pixels are converted; chosen when a format changes.
    enum class Kernel {
        None,        // no source, or formats it cannot convert
        RawChannels, // equal true-colour formats in host order: channel values averaged as they are
        ToAlpha,     // into a 32 bpp host-order format with alpha, from any format
        Converted,   // neither has alpha: through 0..255 colours (colour maps included)
    };
    Kernel kernel() const { return kernel_; }

    // One axis: for destination position d, the source positions first .. first + count - 1
    // with weights (2^23 in all) at weights[offset ...].
    struct Span {
        int first;
        int count;
        std::size_t offset;
    };
    struct Axis {
        std::vector<Span> spans;
        std::vector<std::uint32_t> weights;
    };
    static constexpr int WeightBits = 23;
    static Axis weightsFor(int sourceSize, int destinationSize);

private:
    void chooseKernel();

    struct {
        rfb::Point srcSz;
        rfb::Point dstSz;
    } coords_;
    // Four channel sums per destination pixel of the row being built.
    std::vector<std::uint64_t> rowSums;
    rfb::PixelBuffer* source = nullptr;
    rfb::PixelFormat destinationPf;
    rfb::ColourMap* destinationColourMap = nullptr;
    bool destinationFormatSet = false;
    Kernel kernel_ = Kernel::None;
};

} // namespace tqutil

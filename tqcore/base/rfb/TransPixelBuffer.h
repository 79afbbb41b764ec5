// A read-only view of another pixel buffer in a different pixel format, translating pixels on
// the fly through tables built once per change of formats, colour map or reduction format.
#pragma once

#include <rfb/ColorCube.h>
#include <rfb/ManagedPixelBuffer.h>
#include <rfb/PixelBuffer.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace rfb {

class TransPixelBuffer : public PixelBuffer {
public:
    explicit TransPixelBuffer(const PixelFormat& pf = PixelFormat());
    ~TransPixelBuffer() override;

    // The source is not owned; its format, rectangle and colour map are taken now.
    void setSource(PixelBuffer* pb);
    void setPF(const PixelFormat& pf);
    // The output colour map for colour-map output; not owned.
    void setColourMap(ColourMap* map);
    // Colours pass through this format's channel ranges first, when it is true colour and of
    // lower depth than the output; null removes it.
    void setReductionFormat(const PixelFormat* pf);

    // The explicit map, else the colour cube made for colour-map output, else the source's.
    ColourMap* getColourMap() const override;
    void getImage(void* dest, const Rect& r, int destStride = 0) override;
    // Without translation the source's pixels; otherwise translated ones in a buffer of this
    // object's, valid until the next call.
    const std::uint8_t* getPixelsR(const Rect& r, int* stride) override;
    void commit(const Region& region) override;

    // Whether pixels are translated at all (false: the source's pass through untouched).
    bool translates() const { return translate != nullptr; }

    // What a translation function works from; built by prepare().
    struct Tables {
        // Simple tables: one entry per input pixel value. Channel tables: red, green and blue
        // entries one after the other, then the index-to-pixel table of cube output, if any.
        std::vector<std::uint32_t> entries;
        std::uint32_t simpleLimit = 0;
        int greenOffset = 0;
        int blueOffset = 0;
        int finalOffset = -1;
        int redShift = 0, greenShift = 0, blueShift = 0;
        std::uint32_t redMask = 0, greenMask = 0, blueMask = 0;
        bool swapInput = false;
        // Byte shuffles: the input byte each output byte comes from, -1 for zero.
        std::int8_t byteSource[4] = {-1, -1, -1, -1};
    };
    using TranslateFunction = void (*)(const Tables& tables, const std::uint8_t* in,
                                       std::ptrdiff_t inStride, std::uint8_t* out,
                                       std::ptrdiff_t outStride, int width, int height);

private:
    void prepare();
    std::uint32_t convert(std::uint32_t pixel, const ColourMap* inMap, const ColourMap* outMap,
                          bool reduce) const;
    void buildSimpleTable(const ColourMap* inMap, const ColourMap* outMap, bool reduce);
    void buildChannelTables(bool reduce);
    // Fills one table per input channel, an entry per channel value: entryOf(channel, colour)
    // from the value's colour on its own, reduced when asked.
    template <typename EntryOf>
    void buildPerChannelEntries(bool reduce, EntryOf entryOf);
    void buildCubeTables(const ColourMap* outMap, bool reduce);
    bool buildByteShuffle();
    std::uint32_t channelValue255(std::uint32_t value, std::uint32_t max) const;

    PixelBuffer* source = nullptr;
    PixelFormat inPF;
    Tables tables;
    TranslateFunction translate = nullptr;
    std::unique_ptr<ColorCubeOrth> cube;
    ColourMap* explicitMap = nullptr;
    std::unique_ptr<ManagedPixelBuffer> scratch;
    std::optional<PixelFormat> reduction;
};

} // namespace rfb

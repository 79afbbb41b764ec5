// Fonts, each measured against a plain reference in the same run: gunzip and parse of the five
// built-in fonts against raw zlib inflation of the same bytes, glyph lookups over the fonts'
// pages against a flat array, and measuring and wrapping a 10,000-character paragraph against a
// loop that sums advances from a flat table. The ratios (reference time / our time) are printed
// after the run.
#include <rdr/MemInStream.h>
#include <rdr/ZlibInStream.h>
#include <tqutil/FontKbxBm.h>
#include <tqutil/builtinResources.h>
#include <tqutil/fonts.h>

#include "RatioReporter.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>
#include <zlib.h>

namespace {

const char* const FontNames[] = {"helv15", "helvB15", "helv16", "helvB16", "helv21"};

tqutil::Resource fontResource(const char* name) {
    return *tqutil::getResource(std::string(name) + ".gz");
}

void BM_FontGunzipParse(benchmark::State& state) {
    for (auto _ : state) {
        for (const char* name : FontNames) {
            tqutil::Resource resource = fontResource(name);
            rdr::MemInStream compressed(resource.bytes, int(resource.size));
            rdr::ZlibInStream in(0, true);
            in.setUnderlying(&compressed);
            tqutil::FontKbxBm font(in);
            benchmark::DoNotOptimize(font.glyphCount());
        }
    }
}

void BM_FontGunzipParse_Reference(benchmark::State& state) {
    std::vector<std::uint8_t> output(1 << 22);
    for (auto _ : state) {
        for (const char* name : FontNames) {
            tqutil::Resource resource = fontResource(name);
            z_stream zs{};
            inflateInit2(&zs, 15 + 16);
            zs.next_in = const_cast<Bytef*>(resource.bytes);
            zs.avail_in = uInt(resource.size);
            zs.next_out = output.data();
            zs.avail_out = uInt(output.size());
            if (inflate(&zs, Z_FINISH) != Z_STREAM_END)
                state.SkipWithError("reference inflate failed");
            inflateEnd(&zs);
            benchmark::DoNotOptimize(output.data());
        }
    }
}

// Every code point of every page the font has, in page order.
std::vector<std::uint32_t> codePointsOfPages() {
    std::string raw;
    tqutil::Resource resource = fontResource("helv15");
    rdr::MemInStream compressed(resource.bytes, int(resource.size));
    rdr::ZlibInStream in(0, true);
    in.setUnderlying(&compressed);
    in.readU32();
    in.readU32();
    int pages = in.readU16();
    std::vector<std::uint32_t> codePoints;
    for (std::uint32_t c = 0; c < 128; ++c)
        codePoints.push_back(c);
    for (int i = 0; i < pages; ++i) {
        std::uint32_t key = in.readU32();
        for (std::uint32_t c = key; c < key + 128; ++c)
            codePoints.push_back(c);
    }
    return codePoints;
}

const tqutil::FontKbxBm& helv15() {
    static auto font = tqutil::getFont("helv15");
    return dynamic_cast<const tqutil::FontKbxBm&>(*font);
}

void BM_GlyphLookup(benchmark::State& state) {
    const tqutil::FontKbxBm& font = helv15();
    std::vector<std::uint32_t> codePoints = codePointsOfPages();
    for (auto _ : state) {
        unsigned sum = 0;
        for (std::uint32_t c : codePoints)
            sum += font.glyph(c).advance;
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(codePoints.size()));
}

void BM_GlyphLookup_Reference(benchmark::State& state) {
    const tqutil::FontKbxBm& font = helv15();
    std::vector<std::uint32_t> codePoints = codePointsOfPages();
    std::vector<tqutil::FontKbxBm::Glyph> flat(0x10000, font.glyph(0));
    for (std::uint32_t c : codePoints)
        flat[c] = font.glyph(c);
    for (auto _ : state) {
        unsigned sum = 0;
        for (std::uint32_t c : codePoints)
            sum += flat[c].advance;
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(codePoints.size()));
}

const std::string& paragraph() {
    static const std::string text = [] {
        std::string words[] = {"The",   "launcher", "writes", "its",     "payload", "beside",
                               "the",   "program,", "starts", "it",      "and",     "waits;",
                               "fonts", "and",      "icons",  "travel",  "inside",  "its",
                               "data.", "Errors",   "appear", "clearly", "in",      "a box."};
        std::string out;
        for (std::size_t i = 0; out.size() < 10000; ++i)
            out += words[i % std::size(words)] + " ";
        out.resize(10000);
        return out;
    }();
    return text;
}

void BM_TextWidth(benchmark::State& state) {
    const tqutil::Font& font = helv15();
    for (auto _ : state)
        benchmark::DoNotOptimize(font.textWidth(paragraph().c_str()));
    state.SetBytesProcessed(state.iterations() * std::int64_t(paragraph().size()));
}

void referenceWidthLoop(benchmark::State& state) {
    std::vector<int> advances(256);
    for (int c = 0; c < 256; ++c)
        advances[std::size_t(c)] = helv15().charAdvance(std::uint32_t(c));
    for (auto _ : state) {
        int width = 0;
        for (unsigned char c : paragraph())
            width += advances[c];
        benchmark::DoNotOptimize(width);
    }
    state.SetBytesProcessed(state.iterations() * std::int64_t(paragraph().size()));
}

void BM_TextWidth_Reference(benchmark::State& state) {
    referenceWidthLoop(state);
}

void BM_WrapText(benchmark::State& state) {
    const tqutil::Font& font = helv15();
    for (auto _ : state)
        benchmark::DoNotOptimize(font.wrapText(paragraph().c_str(), 300).lines.size());
    state.SetBytesProcessed(state.iterations() * std::int64_t(paragraph().size()));
}

void BM_WrapText_Reference(benchmark::State& state) {
    referenceWidthLoop(state);
}

BENCHMARK(BM_FontGunzipParse)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FontGunzipParse_Reference)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GlyphLookup);
BENCHMARK(BM_GlyphLookup_Reference);
BENCHMARK(BM_TextWidth);
BENCHMARK(BM_TextWidth_Reference);
BENCHMARK(BM_WrapText);
BENCHMARK(BM_WrapText_Reference);

} // namespace

int main(int argc, char** argv) {
    // At most 1.5 times the reference's time, at most twice, at least half its throughput.
    return bench::runAndPrintRatios(argc, argv,
                                    {{"BM_FontGunzipParse", 1 / 1.5},
                                     {"BM_GlyphLookup", 0.5},
                                     {"BM_TextWidth", 0.5},
                                     {"BM_WrapText", 0.5}});
}

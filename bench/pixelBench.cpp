// Pixel buffers and translation against plain loops in the same run: fillRect against
// std::fill_n rows, imageRect against memcpy rows (32 bpp, 1920 x 1080 and 16 x 16), and
// TransPixelBuffer rgb888 -> rgb565 against converting each pixel by the rules.
#include <rfb/FullFramePixelBuffer.h>
#include <rfb/TransPixelBuffer.h>
#include <rfb/pixelConversion.h>

#include "RatioReporter.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

const rfb::PixelFormat Rgb888(32, 24, false, true, 255, 255, 255, 16, 8, 0);
const rfb::PixelFormat Rgb565(16, 16, false, true, 31, 63, 31, 11, 5, 0);

// A destination buffer with a stride wider than the rectangle, as a window's back buffer has.
struct Target {
    explicit Target(int side)
        : width(side == 16 ? 16 : 1920), height(side == 16 ? 16 : 1080), stride(width + 64),
          memory(std::size_t(stride) * std::size_t(height)),
          pb(Rgb888, rfb::Rect(0, 0, width, height), nullptr,
             reinterpret_cast<std::uint8_t*>(memory.data()), stride) {}
    int width, height, stride;
    std::vector<std::uint32_t> memory;
    rfb::FullFramePixelBuffer pb;
};

void BM_FillRect(benchmark::State& state) {
    Target t(int(state.range(0)));
    std::uint32_t colour = 0;
    for (auto _ : state) {
        t.pb.fillRect(t.pb.getRect(), ++colour);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * t.width * t.height * 4);
}

void BM_FillRect_Reference(benchmark::State& state) {
    Target t(int(state.range(0)));
    std::uint32_t colour = 0;
    for (auto _ : state) {
        ++colour;
        for (int y = 0; y < t.height; ++y)
            std::fill_n(t.memory.data() + std::size_t(y) * std::size_t(t.stride), t.width, colour);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * t.width * t.height * 4);
}

void BM_ImageRect(benchmark::State& state) {
    Target t(int(state.range(0)));
    std::vector<std::uint32_t> image(std::size_t(t.width) * std::size_t(t.height), 0x123456);
    for (auto _ : state) {
        t.pb.imageRect(t.pb.getRect(), image.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * t.width * t.height * 4);
}

void BM_ImageRect_Reference(benchmark::State& state) {
    Target t(int(state.range(0)));
    std::vector<std::uint32_t> image(std::size_t(t.width) * std::size_t(t.height), 0x123456);
    for (auto _ : state) {
        for (int y = 0; y < t.height; ++y)
            std::memcpy(t.memory.data() + std::size_t(y) * std::size_t(t.stride),
                        image.data() + std::size_t(y) * std::size_t(t.width),
                        std::size_t(t.width) * 4);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * t.width * t.height * 4);
}

struct Screen {
    Screen() : source(std::size_t(Width) * Height), output(std::size_t(Width) * Height) {
        std::uint32_t seed = 1;
        for (std::uint32_t& pixel : source) {
            seed = seed * 1103515245u + 12345u;
            pixel = seed >> 8;
        }
    }
    static constexpr int Width = 1920, Height = 1080;
    std::vector<std::uint32_t> source;
    std::vector<std::uint16_t> output;
};

void BM_TranslateRgb888ToRgb565(benchmark::State& state) {
    Screen s;
    rfb::FullFramePixelBuffer pb(Rgb888, rfb::Rect(0, 0, Screen::Width, Screen::Height), nullptr,
                                 reinterpret_cast<std::uint8_t*>(s.source.data()));
    rfb::TransPixelBuffer trans(Rgb565);
    trans.setSource(&pb);
    for (auto _ : state) {
        trans.getImage(s.output.data(), pb.getRect());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * Screen::Width * Screen::Height);
}

void BM_TranslateRgb888ToRgb565_Reference(benchmark::State& state) {
    Screen s;
    for (auto _ : state) {
        for (std::size_t i = 0; i < s.source.size(); ++i) {
            rfb::Rgb rgb;
            rfb::pixelToRgb(Rgb888, s.source[i], rgb);
            s.output[i] = std::uint16_t(rfb::rgbToPixel(Rgb565, rgb));
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * Screen::Width * Screen::Height);
}

// The reporter pairs benchmarks by name, so each size has names of its own.
BENCHMARK(BM_FillRect)->Name("BM_FillRectLarge")->Arg(1920);
BENCHMARK(BM_FillRect_Reference)->Name("BM_FillRectLarge_Reference")->Arg(1920);
BENCHMARK(BM_FillRect)->Name("BM_FillRectSmall")->Arg(16);
BENCHMARK(BM_FillRect_Reference)->Name("BM_FillRectSmall_Reference")->Arg(16);
BENCHMARK(BM_ImageRect)->Name("BM_ImageRectLarge")->Arg(1920);
BENCHMARK(BM_ImageRect_Reference)->Name("BM_ImageRectLarge_Reference")->Arg(1920);
BENCHMARK(BM_ImageRect)->Name("BM_ImageRectSmall")->Arg(16);
BENCHMARK(BM_ImageRect_Reference)->Name("BM_ImageRectSmall_Reference")->Arg(16);
BENCHMARK(BM_TranslateRgb888ToRgb565)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TranslateRgb888ToRgb565_Reference)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nTargets:\n");
    reporter.printRatio("BM_FillRectLarge", 0.9);
    reporter.printRatio("BM_FillRectSmall", 0.5);
    reporter.printRatio("BM_ImageRectLarge", 0.9);
    reporter.printRatio("BM_ImageRectSmall", 0.5);
    reporter.printRatio("BM_TranslateRgb888ToRgb565", 2.0);
    benchmark::Shutdown();
    return 0;
}

// Region algebra on regions of 1000 rectangles each, against libX11's and pixman's regions in
// the same run: union, intersection and subtraction.
#include <rfb/Region.h>

#include "RatioReporter.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <pixman.h>
#include <vector>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

// 25 rows of 40 squares: 1000 rectangles in 25 bands. The second operand's squares are larger
// and shifted, so that each overlaps four of the first's partly and every operation splits bands.
std::vector<rfb::Rect> gridOfSquares(int offset, int side) {
    std::vector<rfb::Rect> rects;
    for (int row = 0; row < 25; ++row)
        for (int column = 0; column < 40; ++column)
            rects.push_back(
                rfb::Rect::fromXYWH(offset + column * 12, offset + row * 12, side, side));
    return rects;
}

struct Operands {
    Operands() {
        for (int i = 0; i < 2; ++i) {
            std::vector<rfb::Rect> rects = gridOfSquares(i * 5, 8 + i * 2);
            ours[i].addRects(int(rects.size()), rects.data());
            x[i] = XCreateRegion();
            pixman_region32_init(&pixman[i]);
            for (const rfb::Rect& r : rects) {
                XRectangle xr{short(r.tl.x), short(r.tl.y), (unsigned short)r.width(),
                              (unsigned short)r.height()};
                XUnionRectWithRegion(&xr, x[i], x[i]);
                pixman_region32_union_rect(&pixman[i], &pixman[i], r.tl.x, r.tl.y,
                                           unsigned(r.width()), unsigned(r.height()));
            }
        }
    }
    rfb::Region ours[2];
    ::Region x[2];
    pixman_region32_t pixman[2];
};

const Operands& operands() {
    static const Operands* shared = new Operands;
    return *shared;
}

enum Operation { Union, Intersect, Subtract };

template <Operation op>
void ours(benchmark::State& state) {
    const Operands& o = operands();
    rfb::Region result;
    for (auto _ : state) {
        if (op == Union)
            result = o.ours[0].unionOf(o.ours[1]);
        else if (op == Intersect)
            result = o.ours[0].intersect(o.ours[1]);
        else
            result = o.ours[0].subtract(o.ours[1]);
        benchmark::DoNotOptimize(result.numRects());
    }
    state.counters["rects"] = result.numRects();
}

template <Operation op>
void libX11(benchmark::State& state) {
    const Operands& o = operands();
    ::Region result = XCreateRegion();
    for (auto _ : state) {
        if (op == Union)
            XUnionRegion(o.x[0], o.x[1], result);
        else if (op == Intersect)
            XIntersectRegion(o.x[0], o.x[1], result);
        else
            XSubtractRegion(o.x[0], o.x[1], result);
        benchmark::DoNotOptimize(result);
    }
    XDestroyRegion(result);
}

template <Operation op>
void pixman(benchmark::State& state) {
    Operands& o = const_cast<Operands&>(operands());
    pixman_region32_t result;
    pixman_region32_init(&result);
    for (auto _ : state) {
        if (op == Union)
            pixman_region32_union(&result, &o.pixman[0], &o.pixman[1]);
        else if (op == Intersect)
            pixman_region32_intersect(&result, &o.pixman[0], &o.pixman[1]);
        else
            pixman_region32_subtract(&result, &o.pixman[0], &o.pixman[1]);
        benchmark::DoNotOptimize(pixman_region32_n_rects(&result));
    }
    state.counters["rects"] = pixman_region32_n_rects(&result);
    pixman_region32_fini(&result);
}

// Each comparison pairs our run with its reference; ours is measured once per pairing.
BENCHMARK(ours<Union>)->Name("BM_UnionVsX11");
BENCHMARK(libX11<Union>)->Name("BM_UnionVsX11_Reference");
BENCHMARK(ours<Union>)->Name("BM_UnionVsPixman");
BENCHMARK(pixman<Union>)->Name("BM_UnionVsPixman_Reference");
BENCHMARK(ours<Intersect>)->Name("BM_IntersectVsX11");
BENCHMARK(libX11<Intersect>)->Name("BM_IntersectVsX11_Reference");
BENCHMARK(ours<Intersect>)->Name("BM_IntersectVsPixman");
BENCHMARK(pixman<Intersect>)->Name("BM_IntersectVsPixman_Reference");
BENCHMARK(ours<Subtract>)->Name("BM_SubtractVsX11");
BENCHMARK(libX11<Subtract>)->Name("BM_SubtractVsX11_Reference");
BENCHMARK(ours<Subtract>)->Name("BM_SubtractVsPixman");
BENCHMARK(pixman<Subtract>)->Name("BM_SubtractVsPixman_Reference");

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    // Targets: at most 1.0 times libX11's time and at most 1.2 times pixman's.
    std::printf("\nTargets:\n");
    for (const char* op : {"Union", "Intersect", "Subtract"}) {
        reporter.printRatio(std::string("BM_") + op + "VsX11", 1.0);
        reporter.printRatio(std::string("BM_") + op + "VsPixman", 1.0 / 1.2);
    }
    benchmark::Shutdown();
    return 0;
}

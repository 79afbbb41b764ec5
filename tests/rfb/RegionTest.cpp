// Regions: the algebra against libX11's and pixman's regions on seeded random lists, building,
// alignment, translation at the range's edges, the wire form, the dump and tiled iteration.
#include <rfb/Region.h>

#include <rdr/Exception.h>
#include <rdr/InStream.h>
#include <rdr/MemInStream.h>
#include <rdr/MemOutStream.h>

#include <gtest/gtest.h>

#include <pixman.h>
#include <random>
#include <string>
#include <vector>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

using rfb::Point;
using rfb::Rect;

std::vector<Rect> randomRects(std::mt19937& random, int count) {
    std::uniform_int_distribution<int> coordinate(-60, 200), side(1, 70);
    std::vector<Rect> rects;
    for (int i = 0; i < count; ++i)
        rects.push_back(Rect::fromXYWH(coordinate(random), coordinate(random), side(random),
                                       side(random) / (i % 7 == 0 ? 8 : 1)));
    return rects;
}

rfb::Region regionOf(const std::vector<Rect>& rects) {
    rfb::Region region;
    region.addRects(int(rects.size()), rects.data());
    return region;
}

// An X region built rectangle by rectangle; owned.
struct XRegion {
    explicit XRegion(const std::vector<Rect>& rects) : region(XCreateRegion()) {
        for (const Rect& r : rects) {
            XRectangle x{short(r.tl.x), short(r.tl.y), (unsigned short)r.width(),
                         (unsigned short)r.height()};
            XUnionRectWithRegion(&x, region, region);
        }
    }
    XRegion() : region(XCreateRegion()) {}
    ~XRegion() { XDestroyRegion(region); }
    XRegion(const XRegion&) = delete;
    XRegion& operator=(const XRegion&) = delete;
    ::Region region;
};

std::vector<Rect> pixmanUnion(const std::vector<Rect>& rects) {
    pixman_region32_t region;
    pixman_region32_init(&region);
    for (const Rect& r : rects)
        pixman_region32_union_rect(&region, &region, r.tl.x, r.tl.y, unsigned(r.width()),
                                   unsigned(r.height()));
    int count = 0;
    const pixman_box32_t* boxes = pixman_region32_rectangles(&region, &count);
    std::vector<Rect> list;
    for (int i = 0; i < count; ++i)
        list.emplace_back(boxes[i].x1, boxes[i].y1, boxes[i].x2, boxes[i].y2);
    pixman_region32_fini(&region);
    return list;
}

void expectSameAsX(const rfb::Region& ours, ::Region expected, const char* what) {
    ASSERT_TRUE(xregion::isValid(ours.raw())) << what;
    XRegion rebuilt(ours.rects());
    EXPECT_TRUE(XEqualRegion(rebuilt.region, expected)) << what << "\n" << ours.dump().c_str();
}

TEST(RegionAlgebra, RandomListsGiveTheRegionsOfLibX11AndTheListsOfPixman) {
    std::mt19937 random(20240501);
    std::uniform_int_distribution<int> count(0, 40), coordinate(-70, 280);
    for (int round = 0; round < 300; ++round) {
        std::vector<Rect> listA = randomRects(random, count(random));
        std::vector<Rect> listB = randomRects(random, count(random) / (round % 5 == 0 ? 20 : 1));
        rfb::Region a = regionOf(listA), b = regionOf(listB);
        XRegion xa(listA), xb(listB), result;
        ASSERT_EQ(a.rects(), pixmanUnion(listA)) << "round " << round;

        XUnionRegion(xa.region, xb.region, result.region);
        expectSameAsX(a.unionOf(b), result.region, "union");
        XIntersectRegion(xa.region, xb.region, result.region);
        expectSameAsX(a.intersect(b), result.region, "intersection");
        XSubtractRegion(xa.region, xb.region, result.region);
        expectSameAsX(a.subtract(b), result.region, "difference");
        XXorRegion(xa.region, xb.region, result.region);
        expectSameAsX(a.subtract(b).unionOf(b.subtract(a)), result.region, "symmetric difference");

        for (int probe = 0; probe < 20; ++probe) {
            Point p(coordinate(random), coordinate(random));
            ASSERT_EQ(a.contains(p), bool(XPointInRegion(xa.region, p.x, p.y)));
            Rect r = Rect::fromXYWH(p.x, p.y, 1 + probe * 3, 1 + probe);
            rfb::Region part(r);
            int expected = part.intersect(a).isEmpty()  ? RectangleOut
                           : part.subtract(a).isEmpty() ? RectangleIn
                                                        : RectanglePart;
            ASSERT_EQ(
                XRectInRegion(xa.region, r.tl.x, r.tl.y, unsigned(r.width()), unsigned(r.height())),
                expected);
        }
    }
}

TEST(RegionAlgebra, TouchingRectanglesOfOneBandBecomeOne) {
    const Rect pair[] = {{0, 0, 10, 5}, {10, 0, 20, 5}};
    rfb::Region region;
    region.addRects(2, pair);
    EXPECT_EQ(region.rects(), std::vector<Rect>{Rect(0, 0, 20, 5)});
}

TEST(RegionAlgebra, AllEmptyRegionsAreEqual) {
    rfb::Region moved(Rect(100, 100, 120, 120)), cut(Rect(5, 5, 10, 10));
    moved.assignSubtract(rfb::Region(Rect(0, 0, 200, 200)));
    cut.assignIntersect(rfb::Region(Rect(50, 50, 60, 60)));
    EXPECT_TRUE(moved.isEmpty());
    EXPECT_EQ(moved, cut);
    EXPECT_EQ(moved, rfb::Region());
}

TEST(RegionBuilding, CoordinatesAreClampedAndEmptyRectanglesAddNothing) {
    const Rect rects[] = {{-50000, 10, 50000, 20}, {5, 5, 5, 100}, {3, 40, 1, 50}};
    rfb::Region region;
    region.addRects(3, rects);
    EXPECT_EQ(region.rects(), std::vector<Rect>{Rect(-32768, 10, 32767, 20)});
}

TEST(RegionBuilding, AlignmentWidensOutwardToTheGridAlsoBelowTheOrigin) {
    EXPECT_EQ(rfb::Region(Rect(3, 5, 20, 17)).alignedTo(Point(16, 16), Point(0, 0)).rects(),
              std::vector<Rect>{Rect(0, 0, 32, 32)});
    EXPECT_EQ(rfb::Region(Rect(-3, -5, 1, 1)).alignedTo(Point(16, 16), Point(0, 0)).rects(),
              std::vector<Rect>{Rect(-16, -16, 16, 16)});
    EXPECT_EQ(rfb::Region(Rect(4, 4, 6, 6)).alignedTo(Point(8, 4), Point(1, 2)).rects(),
              std::vector<Rect>{Rect(1, 2, 9, 6)});
    EXPECT_DEATH(rfb::Region(Rect(0, 0, 1, 1)).alignedTo(Point(0, 16), Point(0, 0)),
                 "Assertion 'multiple.x > 0 && multiple.y > 0' failed");
}

TEST(RegionTranslation, CutsAtTheRangeEdgesMergeEqualBandsAndDropEmptiedRectangles) {
    rfb::Region region(Rect(0, 0, 10, 10));
    region.translate(Point(40000, 0));
    EXPECT_TRUE(region.isEmpty());

    // The lower band differs from the upper one only beyond the right edge of the range.
    const Rect rects[] = {{0, 0, 10, 10}, {0, 10, 10, 20}, {30000, 10, 30010, 20}};
    rfb::Region bands;
    bands.addRects(3, rects);
    ASSERT_EQ(bands.numRects(), 3);
    bands.translate(Point(2000, 0));
    EXPECT_EQ(bands.numRects(), 3);
    bands.translate(Point(1000, 0));
    EXPECT_EQ(bands.rects(), std::vector<Rect>{Rect(3000, 0, 3010, 20)});
    EXPECT_TRUE(xregion::isValid(bands.raw()));

    rfb::Region edge(Rect(32000, -32768, 32767, -32000));
    edge.translate(Point(INT32_MAX, INT32_MIN));
    EXPECT_TRUE(edge.isEmpty()) << "sums beyond 32 bits";
}

std::string wireOf(const rfb::Region& region) {
    rdr::MemOutStream out;
    region.write(out);
    return std::string(reinterpret_cast<const char*>(out.data()), std::size_t(out.length()));
}

std::string wireWords(std::initializer_list<int> words) {
    std::string bytes;
    for (int word : words) {
        bytes += char(word >> 8);
        bytes += char(word);
    }
    return bytes;
}

// A stream that offers its bytes only as far as they have been let through.
class TrickleInStream : public rdr::InStream {
public:
    explicit TrickleInStream(std::string bytes) : bytes(std::move(bytes)) {
        ptr = end = start();
        setCheckpoint();
    }
    void let(std::size_t n) {
        end = start() + std::min(bytes.size(), std::size_t(end - start()) + n);
    }
    int pos() const override { return int(ptr - start()); }

protected:
    bool overrun(int) override { return false; }

private:
    const std::uint8_t* start() const {
        return reinterpret_cast<const std::uint8_t*>(bytes.data());
    }
    std::string bytes;
};

rfb::Region readWire(const std::string& bytes) {
    rdr::MemInStream in(bytes.data(), int(bytes.size()));
    rfb::Region region;
    int state = -1;
    region.read(in, state);
    return region;
}

TEST(RegionWire, RegionsSurviveTheRoundTripAndBlockedReadsResume) {
    const Rect rects[] = {{0, 0, 10, 10}, {20, 0, 30, 10}, {-5, 10, 40, 12}};
    rfb::Region region;
    region.addRects(3, rects);
    std::string wire = wireOf(region);
    EXPECT_EQ(wire.substr(0, 10), wireWords({3, -5 & 0xFFFF, 0, 40, 12}));
    EXPECT_EQ(wire.size(), 10u + 3 * 8);

    TrickleInStream in(wire);
    rfb::Region read;
    int state = -1, blocked = 0;
    for (;;) {
        try {
            read.read(in, state);
            break;
        } catch (const rdr::BlockException&) {
            ++blocked;
            in.let(5);
        }
    }
    EXPECT_GT(blocked, 4);
    EXPECT_EQ(read, region);
    EXPECT_EQ(state, -1);

    EXPECT_TRUE(readWire(wireWords({1, 0, 0, 0, 0})).isEmpty());
    EXPECT_EQ(readWire(wireWords({0, 1, 2, 3, 4})).rects(), std::vector<Rect>{Rect(1, 2, 3, 4)});
    EXPECT_EQ(wireOf(rfb::Region()).size(), 10u);
}

TEST(RegionWire, ListsBreakingTheBandingAreRebuiltAsTheUnionOfTheirRectangles) {
    // Unsorted, overlapping, with an empty rectangle and wrong extents.
    rfb::Region read =
        readWire(wireWords({4,      0, 0, 1, 1,      /**/ 10, 10, 20, 20, /**/ 0, 0, 15, 15,
                            /**/ 5, 5, 5, 9, /**/ 0, 0,       8,  8}));
    EXPECT_TRUE(xregion::isValid(read.raw()));
    const Rect list[] = {{10, 10, 20, 20}, {0, 0, 15, 15}, {0, 0, 8, 8}};
    rfb::Region expected;
    expected.addRects(3, list);
    EXPECT_EQ(read, expected);
}

TEST(RegionDump, ListsTheCountExtentsAndRectangles) {
    const Rect rects[] = {{0, 0, 10, 10}, {20, 0, 30, 10}};
    rfb::Region region;
    region.addRects(2, rects);
    EXPECT_STREQ(region.dump().c_str(), "num rects   2 extents 0,0 to 30,10\n"
                                        "    rect 0,0 to 10,10\n"
                                        "    rect 20,0 to 30,10\n");
    EXPECT_STREQ(rfb::Region(Rect(1, 2, 3, 4)).dump().c_str(),
                 "num rects   1 extents 1,2 to 3,4\n    rect 1,2 to 3,4\n");
}

std::vector<Rect> tilesOf(const rfb::Region& region, std::int64_t area, int step) {
    rfb::TiledIterator tiles(region, area, step);
    std::vector<Rect> list;
    Rect tile;
    while (tiles.next(tile) && list.size() < 100000)
        list.push_back(tile);
    return list;
}

TEST(RegionTiles, TilesHaveSidesInStepsAndCoverEachRectangleOnce) {
    std::vector<Rect> tiles = tilesOf(rfb::Region(Rect(0, 0, 100, 100)), 1000, 16);
    ASSERT_EQ(tiles.size(), 3u * 7);
    EXPECT_EQ(tiles[0], Rect(0, 0, 48, 16));
    EXPECT_EQ(tiles[2], Rect(96, 0, 100, 16));
    EXPECT_EQ(tiles.back(), Rect(96, 96, 100, 100));

    EXPECT_EQ(tilesOf(rfb::Region(Rect(0, 0, 10, 500)), 1000, 16).front(), Rect(0, 0, 10, 96));
    EXPECT_EQ(tilesOf(rfb::Region(Rect(0, 0, 5, 5)), 1000, 16),
              std::vector<Rect>{Rect(0, 0, 5, 5)});
    // An area below step² still moves on, a step at a time; a whole-range area does not overflow.
    EXPECT_EQ(tilesOf(rfb::Region(Rect(0, 0, 64, 32)), 100, 16).size(), 8u);
    EXPECT_EQ(tilesOf(rfb::Region(Rect(-32768, -32768, 32767, 32767)), INT64_MAX, 1).size(), 1u);
    EXPECT_DEATH(tilesOf(rfb::Region(Rect(0, 0, 1, 1)), 10, 0), "Assertion 'step > 0' failed");
}

} // namespace

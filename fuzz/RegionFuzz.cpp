// Fuzz target: regions built from rectangle lists through every operation and the wire form,
// checked against a model and the banding invariants.
//
// Input: byte 0 chooses a translation, byte 1 the alignment step and origin, byte 2 the tile
// area and step; then 4-byte rectangles, each byte choosing a coordinate from a table that
// reaches beyond the 16-bit range, into list A until a 0xFF byte, then list B. The whole input is
// also read as a region's wire form. Every edge of every result lies on a table value, so testing
// one point per cell of the table's grid compares whole regions.
#include <rfb/Region.h>

#include <rdr/Exception.h>
#include <rdr/MemInStream.h>
#include <rdr/MemOutStream.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

const int Coordinates[] = {-40000, -32768, -32767, -100, -7,   -1,    0,     1,
                           5,      16,     17,     100,  1000, 32766, 32767, 40000};
const std::int64_t Moves[] = {0,     1,      -1,    5,      -17,   1000,
                              32767, -32768, 40000, -40000, 65535, INT32_MAX};

void require(bool condition) {
    if (!condition)
        __builtin_trap();
}

std::int64_t clamp16(std::int64_t value) {
    return std::clamp<std::int64_t>(value, INT16_MIN, INT16_MAX);
}

bool inList(const std::vector<rfb::Rect>& list, std::int64_t x, std::int64_t y) {
    for (const rfb::Rect& r : list)
        if (clamp16(r.tl.x) <= x && x < clamp16(r.br.x) && clamp16(r.tl.y) <= y &&
            y < clamp16(r.br.y))
            return true;
    return false;
}

bool contains(const rfb::Region& region, std::int64_t x, std::int64_t y) {
    return x >= INT16_MIN && x <= INT16_MAX && y >= INT16_MIN && y <= INT16_MAX &&
           region.contains(rfb::Point(int(x), int(y)));
}

// The probe values of one axis: every clamped table value, one below each, moved by delta.
std::vector<std::int64_t> probes(std::int64_t delta) {
    std::vector<std::int64_t> values;
    for (int c : Coordinates)
        for (std::int64_t v : {clamp16(c), clamp16(c) - 1})
            values.push_back(clamp16(v + delta));
    return values;
}

template <typename Model>
void expectModel(const rfb::Region& region, std::int64_t dx, std::int64_t dy, Model model) {
    require(xregion::isValid(region.raw()));
    for (std::int64_t y : probes(dy))
        for (std::int64_t x : probes(dx))
            require(contains(region, x, y) == (x < INT16_MAX && y < INT16_MAX && model(x, y)));
}

void checkWire(const rfb::Region& region) {
    rdr::MemOutStream out;
    region.write(out);
    rdr::MemInStream in(out.data(), out.length());
    rfb::Region read;
    int state = -1;
    read.read(in, state);
    require(read == region && state == -1);
}

void checkTiles(const rfb::Region& region, std::int64_t area, int step) {
    rfb::TiledIterator tiles(region, area, step);
    rfb::Region covered;
    rfb::Rect tile;
    for (int count = 0; tiles.next(tile); ++count) {
        if (count == 2000)
            return;
        require(!tile.isEmpty() && rfb::Region(tile).subtract(region).isEmpty());
        covered.assignUnion(rfb::Region(tile));
    }
    require(covered == region);
}

void readRawWire(const std::uint8_t* data, std::size_t size) {
    rdr::MemInStream in(data, int(std::min<std::size_t>(size, 1 << 20)));
    rfb::Region region;
    int state = -1;
    try {
        region.read(in, state);
    } catch (const rdr::EndOfStream&) {
        return;
    }
    require(xregion::isValid(region.raw()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3)
        return 0;
    readRawWire(data, size);
    std::int64_t dx = Moves[data[0] % 12], dy = Moves[(data[0] / 12) % 12];
    rfb::Point step(1 + (data[1] & 15), 1 + (data[1] >> 4)), origin(data[1] % 7 - 3, data[1] % 5);
    std::int64_t area = std::int64_t(1) << (data[2] % 40);
    int tileStep = 1 << (data[2] % 9);
    std::vector<rfb::Rect> lists[2];
    int list = 0;
    for (std::size_t i = 3; i + 4 <= size && lists[1].size() < 64; i += 4) {
        if (data[i] == 0xFF) {
            list = 1;
            ++i;
            if (i + 4 > size)
                break;
        }
        lists[list].emplace_back(Coordinates[data[i] & 15], Coordinates[data[i + 1] & 15],
                                 Coordinates[data[i + 2] & 15], Coordinates[data[i + 3] & 15]);
    }
    rfb::Region a, b;
    a.addRects(int(lists[0].size()), lists[0].data());
    b.addRects(int(lists[1].size()), lists[1].data());
    auto inA = [&](std::int64_t x, std::int64_t y) { return inList(lists[0], x, y); };
    auto inB = [&](std::int64_t x, std::int64_t y) { return inList(lists[1], x, y); };

    expectModel(a, 0, 0, inA);
    expectModel(a.unionOf(b), 0, 0, [&](auto x, auto y) { return inA(x, y) || inB(x, y); });
    expectModel(a.intersect(b), 0, 0, [&](auto x, auto y) { return inA(x, y) && inB(x, y); });
    expectModel(a.subtract(b), 0, 0, [&](auto x, auto y) { return inA(x, y) && !inB(x, y); });
    require(a.subtract(b).unionOf(b.subtract(a)).intersect(a.intersect(b)).isEmpty());

    rfb::Region moved = a;
    moved.translate(rfb::Point(int(dx), int(dy)));
    expectModel(moved, dx, dy, [&](auto x, auto y) { return inA(x - dx, y - dy); });

    rfb::Region aligned = a.alignedTo(step, origin);
    require(xregion::isValid(aligned.raw()) && a.subtract(aligned).isEmpty());

    rfb::Region copy;
    copy.setRects(a.getBoundingRect(), a.numRects(), a.begin());
    require(copy == a);
    checkWire(a);
    checkWire(a.subtract(b));
    checkTiles(a.unionOf(b), area, tileStep);
    return 0;
}

// Colour maps: nearest-colour search and copying between maps of different sizes.
#include <rfb/ColourMap.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

using rfb::Rgb;

class VectorMap : public rfb::ColourMapRW {
public:
    explicit VectorMap(std::vector<Rgb> entries) : entries(std::move(entries)) {}
    void lookup(int index, Rgb& rgb) const override { rgb = entries.at(std::size_t(index)); }
    int size() const override { return int(entries.size()); }
    void set(int index, const Rgb& rgb) override { entries.at(std::size_t(index)) = rgb; }

    std::vector<Rgb> entries;
};

TEST(ColourMapSearch, NearestEntryWinsAndTiesGoToTheLowestIndex) {
    VectorMap map({{0, 0, 255}, {250, 0, 0}, {0, 250, 0}, {250, 0, 0}});
    EXPECT_EQ(map.findNearest({255, 10, 10}), 1);
    EXPECT_EQ(map.findNearest({125, 125, 0}), 1) << "equally far from 1 and 2";
    EXPECT_EQ(VectorMap({}).findNearest({1, 2, 3}), 0);
}

TEST(ColourMapCopy, OnlyEntriesBothMapsHaveAreCopied) {
    VectorMap small({{1, 1, 1}, {2, 2, 2}});
    VectorMap large({{9, 9, 9}, {8, 8, 8}, {7, 7, 7}});
    small.copyFrom(large);
    EXPECT_EQ(small.entries, (std::vector<Rgb>{{9, 9, 9}, {8, 8, 8}}));
    large.copyFrom(VectorMap({{5, 5, 5}}));
    EXPECT_EQ(large.entries, (std::vector<Rgb>{{5, 5, 5}, {8, 8, 8}, {7, 7, 7}}));
}

} // namespace

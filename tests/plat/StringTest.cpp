// Owned fixed texts.
#include <plat/String.h>

#include <gtest/gtest.h>

#include <memory>
#include <utility>

namespace {

TEST(String, NullStaysNullAndDiffersFromEmpty) {
    plat::String none(nullptr);
    EXPECT_TRUE(none.isNull());
    EXPECT_STREQ(none.c_str(), "");
    EXPECT_FALSE(none == plat::String(""));
    EXPECT_TRUE(plat::String(none) == none);
}

TEST(String, DuplicatesUpToMaxLengthAndCopiesOwnTheirText) {
    EXPECT_STREQ(plat::String("parameter", 5).get(), "param");
    EXPECT_STREQ(plat::String("parameter", 50).get(), "parameter");
    plat::String original("value");
    plat::String copy = original;
    EXPECT_NE(copy.get(), original.get());
    const char* text = original.get();
    plat::String moved = std::move(original);
    EXPECT_EQ(moved.get(), text);
    copy = moved;
    moved.assign("other");
    EXPECT_STREQ(copy.get(), "value");
    std::unique_ptr<char[]> released(moved.release());
    EXPECT_STREQ(released.get(), "other");
    EXPECT_TRUE(moved.isNull());
}

} // namespace

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
    plat::String empty("");
    EXPECT_FALSE(empty.isNull());
    EXPECT_FALSE(none == empty);
    EXPECT_TRUE(plat::String(none) == none);
}

TEST(String, DuplicatesUpToMaxLength) {
    const char* source = "parameter";
    plat::String shortened(source, 5);
    EXPECT_STREQ(shortened.get(), "param");
    EXPECT_NE(shortened.get(), source);
    EXPECT_STREQ(plat::String(source, 50).get(), "parameter");
}

TEST(String, CopiesOwnTheirTextAndMovesTakeIt) {
    plat::String original("value");
    plat::String copy = original;
    EXPECT_NE(copy.get(), original.get());
    EXPECT_TRUE(copy == original);
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

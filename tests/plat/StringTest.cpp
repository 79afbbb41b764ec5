// Owned fixed texts.
#include <plat/String.h>

#include <gtest/gtest.h>

namespace {

TEST(String, NullDiffersFromEmptyAndCopiesOwnTheirText) {
    plat::String none(nullptr);
    EXPECT_TRUE(none.isNull());
    EXPECT_STREQ(none.c_str(), "");
    EXPECT_FALSE(none == plat::String(""));
    EXPECT_TRUE(plat::String(none) == none);
    plat::String original("parameter", 5);
    plat::String copy = original;
    original.assign("other");
    EXPECT_STREQ(copy.get(), "param");
}

} // namespace

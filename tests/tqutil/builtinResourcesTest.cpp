// The built-in resource table: registration, lookup, and absent names.
#include <tqutil/builtinResources.h>

#include <gtest/gtest.h>

namespace {

const unsigned char FirstBytes[] = {1, 2, 3};
const unsigned char SecondBytes[] = {4, 5};

TEST(BuiltinResources, RegisteredBytesAreFoundByTheirWholeName) {
    tqutil::registerResource("test/first.bin", sizeof FirstBytes, FirstBytes);
    auto found = tqutil::getResource("test/first.bin");
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->bytes, FirstBytes);
    EXPECT_EQ(found->size, sizeof FirstBytes);
    EXPECT_FALSE(tqutil::getResource("test/first").has_value());
    EXPECT_FALSE(tqutil::getResource("").has_value());
}

TEST(BuiltinResources, ANameRegisteredAgainKeepsTheLaterBytesEvenNone) {
    tqutil::registerResource("test/again.bin", sizeof FirstBytes, FirstBytes);
    tqutil::registerResource("test/again.bin", sizeof SecondBytes, SecondBytes);
    auto found = tqutil::getResource("test/again.bin");
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->bytes, SecondBytes);
    EXPECT_EQ(found->size, sizeof SecondBytes);
    tqutil::registerResource("test/again.bin", 0, FirstBytes);
    EXPECT_EQ(tqutil::getResource("test/again.bin")->size, 0u) << "an empty resource is found";
}

} // namespace

// The built-in resource table: registration, lookup, and absent names.
#include <tqutil/builtinResources.h>

#include <gtest/gtest.h>

namespace {

const unsigned char FirstBytes[] = {1, 2, 3};
const unsigned char SecondBytes[] = {4, 5};

TEST(BuiltinResources, RegisteredBytesAreFoundByName) {
    tqutil::registerResource("test/first.bin", sizeof FirstBytes, FirstBytes);
    auto found = tqutil::getResource("test/first.bin");
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->bytes, FirstBytes);
    EXPECT_EQ(found->size, sizeof FirstBytes);
}

TEST(BuiltinResources, AnAbsentNameYieldsNothing) {
    EXPECT_FALSE(tqutil::getResource("test/absent.bin").has_value());
    tqutil::registerResource("test/prefix.bin", sizeof FirstBytes, FirstBytes);
    EXPECT_FALSE(tqutil::getResource("test/prefix").has_value()) << "names match whole";
    EXPECT_FALSE(tqutil::getResource("").has_value());
}

TEST(BuiltinResources, ANameRegisteredAgainKeepsTheLaterBytes) {
    tqutil::registerResource("test/again.bin", sizeof FirstBytes, FirstBytes);
    tqutil::registerResource("test/again.bin", sizeof SecondBytes, SecondBytes);
    auto found = tqutil::getResource("test/again.bin");
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->bytes, SecondBytes);
    EXPECT_EQ(found->size, sizeof SecondBytes);
}

TEST(BuiltinResources, AnEmptyResourceIsStillFound) {
    tqutil::registerResource("test/empty.bin", 0, FirstBytes);
    auto found = tqutil::getResource("test/empty.bin");
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->size, 0u);
}

} // namespace

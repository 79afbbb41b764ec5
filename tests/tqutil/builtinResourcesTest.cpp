// The built-in resource table: registration, lookup, absent names, and the fonts and icons that
// the build embeds.
#include <tqutil/builtinResources.h>

#include "support/fileContents.h"

#include <gtest/gtest.h>

#include <string>

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

TEST(BuiltinResources, TheEmbeddedFontsAndIconsAreTheCommittedFilesByteForByte) {
    for (const char* name :
         {"statusError@2x.png", "statusWarning@2x.png", "statusInfo@2x.png",
          "statusQuestion@2x.png", "statusPrivate@2x.png", "qvserverLauncher@2x.png", "helv15.gz",
          "helvB15.gz", "helv16.gz", "helvB16.gz", "helv21.gz"}) {
        std::string file = testsupport::readFile(std::string(QV_RESOURCE_DIR "/") + name);
        auto found = tqutil::getResource(name);
        ASSERT_TRUE(found.has_value()) << name;
        ASSERT_FALSE(file.empty()) << name;
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(found->bytes), found->size), file)
            << name;
    }
}

} // namespace

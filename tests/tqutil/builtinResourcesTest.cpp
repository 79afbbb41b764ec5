// The fonts and icons that the build embeds in the built-in resource table.
#include <tqutil/builtinResources.h>

#include <plat/keepLinked.h>
#include <tqutil/embeddedResources.h>

#include "support/fileContents.h"

#include <gtest/gtest.h>

#include <string>

namespace {

PLAT_KEEP_LINKED(tqutil::embeddedResources);

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

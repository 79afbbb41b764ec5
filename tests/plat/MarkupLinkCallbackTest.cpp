// The process-wide link callback that hands targets to the installed URL opener.
#include <plat/MarkupLinkCallback.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::string openedUrl;

bool recordingOpener(const char* url) {
    openedUrl = url;
    return url[0] != '\0';
}

TEST(LinkCbOpenUrl, HandsTheTargetToTheOpenerIfAnyAndReportsItsAnswer) {
    plat::Markup::LinkCallback& callback = plat::LinkCbOpenUrl::instance();
    plat::LinkCbOpenUrl::setOpener(nullptr);
    EXPECT_FALSE(callback.linkActivated("https://example.com"));
    plat::LinkCbOpenUrl::setOpener(recordingOpener);
    EXPECT_TRUE(callback.linkActivated("https://example.com/a"));
    EXPECT_EQ(openedUrl, "https://example.com/a");
    EXPECT_FALSE(callback.linkActivated(""));
    EXPECT_FALSE(callback.linkActivated(nullptr));
    plat::LinkCbOpenUrl::setOpener(nullptr);
}

} // namespace

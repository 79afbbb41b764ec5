// Functions found at run time in the real zlib and libX11, library lists and their expansion.
#include <plat/DynamicFn.h>

#include <support/RecordingLogDest.h>

#include <gtest/gtest.h>

#include <cstring>
#include <dlfcn.h>

namespace {

std::vector<std::string> files(const char* libraries, bool plainNames = false) {
    std::vector<std::string> expanded;
    if (!plat::DynamicFn::candidateFiles(libraries, plainNames, expanded))
        return {"<unbalanced>"};
    return expanded;
}

TEST(DynamicFn, LibraryListsExpandToVersionedFileNames) {
    EXPECT_EQ(files("z[1,2],/opt/lib/a.so,X11,,m[]"),
              (std::vector<std::string>{"libz.so.1", "libz.so.2", "/opt/lib/a.so", "libX11.so",
                                        "libm.so"}));
    EXPECT_EQ(files("libz.so.1,z[1]", true), (std::vector<std::string>{"libz.so.1", "z[1]"}));
    for (const char* unbalanced : {"z[1", "z]", "z[1]x", "z[[1]]", "z[1],X11[6"})
        EXPECT_EQ(files(unbalanced), std::vector<std::string>{"<unbalanced>"}) << unbalanced;
}

TEST(DynamicFn, FindsTheFirstSymbolOfTheFirstLibraryThatHasOne) {
    testsupport::LogRecording log("DynamicFn");
    plat::DynamicFn zlibVersion("qvnosuch[1],z[9,1]", "qvNoSuchSymbol,zlibVersion");
    ASSERT_NE(zlibVersion.get(), nullptr);
    EXPECT_STREQ(zlibVersion.libraryFile(), "libz.so.1");
    EXPECT_EQ(std::strncmp(zlibVersion.as<const char* (*)()>()(), "1.", 2), 0);
    EXPECT_TRUE(log.contains(" [DynFnOpen(libqvnosuch.so.1) failed]")) << log.dump();
    EXPECT_TRUE(log.contains(" [DynFnOpen(libz.so.9) failed]"));
    EXPECT_TRUE(log.contains("  [DynFnFind(qvNoSuchSymbol) failed]"));
    EXPECT_TRUE(log.contains("found 'zlibVersion' in 'libz.so.1'"));
}

TEST(DynamicFn, KeepsTheLibraryLoadedWhileItLives) {
    auto x11Loaded = [] {
        void* handle = ::dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
        if (handle)
            ::dlclose(handle);
        return handle != nullptr;
    };
    ASSERT_FALSE(x11Loaded());
    {
        plat::DynamicFn openDisplay("/usr/lib/qvnosuch.so,libX11.so.6", "XOpenDisplay", true);
        EXPECT_NE(openDisplay.get(), nullptr);
        EXPECT_TRUE(x11Loaded());
    }
    EXPECT_FALSE(x11Loaded());
}

TEST(DynamicFn, NoCandidateGivesNullAndUnbalancedListsAreReported) {
    plat::DynamicFn missing("X11[6],z[1]", "qvNoSuchSymbol");
    EXPECT_EQ(missing.get(), nullptr);
    EXPECT_EQ(missing.libraryFile(), nullptr);
    testsupport::LogRecording log("DynamicFn");
    plat::DynamicFn unbalanced("z[1", "zlibVersion");
    EXPECT_EQ(unbalanced.get(), nullptr);
    EXPECT_EQ(log.levelOf("Unbalanced brackets in library list 'z[1'"), 0) << log.dump();
}

} // namespace

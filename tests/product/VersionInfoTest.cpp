// The version texts: the acknowledgements address, the marked-up product information, the plain
// version information with its spelled-out signs, and the rebuild when the language changes. The
// launcher's log header shows the version line.
#include <product/VersionInfo.h>

#include <loc/Localize.h>
#include <loc/localeParameter.h>
#include <os/AppInfo.h>
#include <plat/Configuration.h>
#include <plat/configurationHelp.h>
#include <plat/parseArgs.h>

#include <support/printedText.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>

namespace {

class VersionInfoTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Translations first: the Locale parameter must refresh them before the updater runs.
        loc::Localize::instance().setSearchDirs({});
        os::AppInfo::init("Tool", "Maker", "kbx", nullptr, nullptr);
        product::setVersion("12.3.4");
        product::setShortVersion("12.3");
        product::VersionInfoUpdater::start();
    }
    void TearDown() override { loc::localeParameter().unset(plat::PreferencePriority, true); }
};

TEST_F(VersionInfoTest, MarkupHasThreeLeftAlignedLegalBlocksThenTheAcknowledgementsLink) {
    std::string markup = product::getProductInfoMarkup().c_str();

    EXPECT_EQ(markup.rfind("<div style=\"text-align:left\">Copyright \xc2\xa9 ", 0), 0u) << markup;
    std::size_t blocks = 0;
    for (std::size_t at = markup.find("<div style=\"text-align:left\">"); at != std::string::npos;
         at = markup.find("<div style=\"text-align:left\">", at + 1))
        ++blocks;
    EXPECT_EQ(blocks, 3u);
    // The address takes the first component of the short version.
    EXPECT_NE(markup.find("<a href=\"https://www.quorvel.example/docs/12/acknowledgements\">"),
              std::string::npos)
        << markup;
    EXPECT_EQ(markup.find("%S"), std::string::npos);
}

TEST_F(VersionInfoTest, PlainInformationSpellsOutSignsAndFitsInSeventyNineColumns) {
    std::string plain = product::getPlainVersionInfo().c_str();

    EXPECT_EQ(plain.rfind(product::getVersionLine().c_str() + std::string("\nCopyright (C) "), 0),
              0u)
        << plain;
    EXPECT_EQ(plain.find("\xc2\xa9"), std::string::npos);
    EXPECT_NE(plain.find("\nhttps://www.quorvel.example/docs/12/acknowledgements\nOS: "),
              std::string::npos);
    std::istringstream lines(plain);
    for (std::string line; std::getline(lines, line);)
        EXPECT_LE(line.size(), 79u) << line;
    EXPECT_EQ(plain.substr(plain.rfind('\n') + 1), product::getOsLine().c_str());
}

TEST_F(VersionInfoTest, HelpStartsWithThePlainInformation) {
    plat::Configuration config("Empty");
    std::string printed = testsupport::printedText(
        [&config](FILE* out) { plat::printHelp(plat::HelpUsage, config, out); });
    EXPECT_EQ(printed.rfind(product::getPlainVersionInfo().c_str() + std::string("\n\n"), 0), 0u);
}

TEST_F(VersionInfoTest, ChangingTheLanguageRebuildsTheTexts) {
    loc::localeParameter().setParam("de_DE", plat::PreferencePriority);

    EXPECT_NE(std::string(product::getPlainVersionInfo().c_str()).find("Weitere Informationen"),
              std::string::npos)
        << product::getPlainVersionInfo().c_str();
}

} // namespace

// Usage output at 79 columns (exact layout, ordering, what is left out) and the help handler's XML
// hook and exit status.
#include <plat/BinaryParameter.h>
#include <plat/BoolParameter.h>
#include <plat/Configuration.h>
#include <plat/IntParameter.h>
#include <plat/StringParameter.h>
#include <plat/configXml.h>
#include <plat/configurationHelp.h>
#include <plat/parseArgs.h>

#include <support/printedText.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

const char* const Syntax =
    "Parameters can be turned on with -<param> or off with -<param>=0\n"
    "Values can be specified as -<param> <value>\n"
    "Other valid forms are <param>=<value> -<param>=<value> --<param>=<value>\n"
    "Names are case-insensitive.  Valid parameters are listed below.\n"
    "\n";

class Usage : public ::testing::Test {
protected:
    plat::Configuration config{"Usage", "plat_configuration_global_params"};
    plat::Configuration child{"Child"};
    // A description given by its key is translated.
    plat::BoolParameter verbose{"verbose", plat::DescriptionKey("plat_usage_help"), false, false,
                                &config};
    plat::IntParameter depth{
        "Depth",
        "How far the search goes before it gives up and reports the best result that it has "
        "found so far.",
        3, false, &config};
    plat::StringParameter alpha{
        "alpha", "A description long enough that the default note cannot follow on its line.",
        "some-rather-long-default", false, &config};
    // The notes of these two end at column 78 and 79 when they follow the description.
    plat::StringParameter path{"Path", "Where it goes.", "/srv/data/archive/year/month/abc/35",
                               false, &config};
    plat::StringParameter place{"Place", "Where it goes.", "/srv/data/archive/year/month/abcd/36",
                                false, &config};
    plat::IntParameter longName{"AVeryLongParameterName", "Long name.", 1, false, &config};
    plat::BoolParameter expert{"Expert", "Expert mode.", false, true, &config};
    plat::BinaryParameter key{"Key", "Secret key.", "\x01", 1, false, &config};
    plat::BoolParameter hidden{"_Hidden", "Hidden.", false, false, &config};
    plat::StringParameter colour{"Colour", "Colour.", "red", false, &child};

    void SetUp() override { config.addChild(child); }

    std::string usage(bool advanced) {
        return testsupport::printedText(
            [&](FILE* out) { plat::printUsage(config, advanced, out); });
    }
    std::string help(int mode) {
        return testsupport::printedText([&](FILE* out) { plat::printHelp(mode, config, out); });
    }
};

TEST_F(Usage, LaysOutEntriesAtSeventyNineColumnsWithTheCurrentValues) {
    depth.setParam(12, plat::PreferencePriority);
    std::string text = usage(false);
    EXPECT_EQ(text, std::string(Syntax) +
                        "Global parameters:\n"
                        "  alpha          - A description long enough that the default note "
                        "cannot\n"
                        "                   follow on its line. "
                        "(default=some-rather-long-default)\n"
                        "  AVeryLongParameterName - Long name. (default=1)\n"
                        "  Depth          - How far the search goes before it gives up and "
                        "reports the\n"
                        "                   best result that it has found so far. (default=12)\n"
                        "  Path           - Where it goes. "
                        "(default=/srv/data/archive/year/month/abc/35)\n"
                        "  Place          - Where it goes.\n"
                        "                   (default=/srv/data/archive/year/month/abcd/36)\n"
                        "  verbose        - Provide [advanced] usage information. (default=0)\n"
                        "Child Parameters:\n"
                        "  Colour         - Colour. (default=red)\n");
}

class Help : public Usage {
protected:
    void TearDown() override {
        plat::setHelpProductInformation(nullptr);
        plat::setXmlHelpWriter(plat::writeXmlHelp);
    }
};

TEST_F(Help, XmlModeUsesTheInstalledWriterOrElseGivesTheAdvancedUsage) {
    EXPECT_EQ(help(plat::HelpXml), plat::toXml(config).c_str()) << "the document by default";
    plat::setXmlHelpWriter([](plat::Configuration& written, FILE* out) {
        std::fprintf(out, "<config name=\"%s\"/>\n", written.getName());
    });
    EXPECT_EQ(help(plat::HelpXml), "<config name=\"Usage\"/>\n");
    plat::setXmlHelpWriter(nullptr);
    EXPECT_EQ(help(plat::HelpXml), usage(true));
}

TEST_F(Help, StandardHandlerEndsTheProcessWithStatusOne) {
    EXPECT_EXIT(plat::standardHelpHandler(plat::HelpAdvanced, config), ::testing::ExitedWithCode(1),
                "");
}

} // namespace

// The XML form of a configuration: the exact layout, round trips and the reader's refusals of
// documents it cannot honour.
#include <plat/BinaryParameter.h>
#include <plat/BoolParameter.h>
#include <plat/Configuration.h>
#include <plat/EnumParameter.h>
#include <plat/Exception.h>
#include <plat/IntParameter.h>
#include <plat/S64Parameter.h>
#include <plat/StringParameter.h>
#include <plat/configXml.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

using plat::DefaultPriority;
using plat::PreferencePriority;

std::string xmlOf(const plat::Configuration& config, bool includeUnderscored = false,
                  const plat::XmlParameterFilter& filter = nullptr) {
    return plat::toXml(config, includeUnderscored, filter).c_str();
}

std::string failureOf(plat::Configuration& config, const std::string& document) {
    try {
        plat::fromXml(config, document.c_str());
    } catch (const plat::Exception& e) {
        return e.message();
    }
    return "no exception";
}

std::string document(const std::string& elements) {
    return "<?xml version=\"1.0\"?>\n<config>\n" + elements + "</config>\n";
}

const char* const SpeedNames[] = {"slow", "fast", nullptr};

TEST(ConfigXmlWriting, WritesTheExactLayoutWithEscapedAttributes) {
    plat::Configuration config("Layout");
    plat::EnumParameter speed("Speed", "Speed.", "fast", SpeedNames, false, &config);
    plat::IntParameter depth("Depth", plat::DescriptionKey("plat_test_depth"), 3, true, &config, 1,
                             32, "x,noPolicy");
    plat::BoolParameter verbose("Verbose", "Say \"more\" & <less> 'now'", false, false, &config);
    depth.setParam("16", PreferencePriority);
    speed.setParam("SLOW", PreferencePriority);

    EXPECT_EQ(xmlOf(config), document("<bool   name=\"Verbose\"\n"
                                      "        description=\"Say &quot;more&quot; &amp; "
                                      "&lt;less&gt; &apos;now&apos;\"\n"
                                      "        advanced=\"false\">\n"
                                      "    <value data=\"0\" priority=\"0\"/>\n"
                                      "</bool>\n"
                                      "<int    name=\"Depth\"\n"
                                      "        locDesc=\"plat_test_depth\"\n"
                                      "        advanced=\"true\"\n"
                                      "        flags=\"noPolicy,x\"\n"
                                      "        min=\"1\"\n"
                                      "        max=\"32\">\n"
                                      "    <value data=\"3\" priority=\"0\"/>\n"
                                      "    <value data=\"16\" priority=\"10\"/>\n"
                                      "</int>\n"
                                      "<enum   name=\"Speed\"\n"
                                      "        description=\"Speed.\"\n"
                                      "        advanced=\"false\"\n"
                                      "        min=\"0\"\n"
                                      "        max=\"1\">\n"
                                      "    <value data=\"fast\" priority=\"0\"/>\n"
                                      "    <value data=\"slow\" priority=\"10\"/>\n"
                                      "    <opt data=\"slow\"/>\n"
                                      "    <opt data=\"fast\"/>\n"
                                      "</enum>\n"));
}

TEST(ConfigXmlRoundTrip, EveryClassComesBackWithItsIdentityAndValues) {
    plat::Configuration original("Original");
    plat::BoolParameter flag("Flag", "Flag.", true, true, &original, "noPolicy");
    plat::IntParameter count("Count", "Count.", -5, false, &original, -10, 10);
    plat::StringParameter text("Text", "A <text> & more", "d\xc3\xa9j\xc3\xa0", false, &original);
    plat::S64Parameter big("Big", "Big.", 0x123456789LL, false, &original);
    plat::EnumParameter speed("Speed", "Speed.", "fast", SpeedNames, false, &original);
    count.setParam("7", 40);
    text.setParam("line\nbreak \"quoted\"", PreferencePriority);
    speed.setParam("slow", PreferencePriority);
    plat::Configuration copy("Copy"), copyOfCopy("CopyOfCopy");

    // Reading adds each parameter in front of the ones before, so a second reading restores the
    // order of the original.
    plat::fromXml(copy, plat::toXml(original).c_str());
    plat::fromXml(copyOfCopy, plat::toXml(copy).c_str());

    EXPECT_EQ(xmlOf(copyOfCopy), xmlOf(original));
}

TEST(ConfigXmlRoundTrip, BinaryBytesNeverReachTheDocument) {
    plat::Configuration original("Original");
    plat::BinaryParameter key("Key", "Key.", "\x01\x02", 2, false, &original);
    key.setParam("ff00", PreferencePriority);
    plat::Configuration copy("Copy");

    std::string text = xmlOf(original);
    plat::fromXml(copy, text.c_str());

    EXPECT_NE(text.find("advanced=\"true\">\n"
                        "    <value data=\"&lt;binary&gt;\" priority=\"0\"/>\n"
                        "    <value data=\"&lt;binary&gt;\" priority=\"10\"/>\n"
                        "</binary>\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find("0102"), std::string::npos);
    plat::BinaryParameter& read = copy.getBinaryParam("Key");
    EXPECT_TRUE(read.getValueBuffer().length() == 0 && read.getPriority() == DefaultPriority);
}

TEST(ConfigXmlReading, RefusesWhatItCannotHonourKeepingWhatCameBefore) {
    plat::Configuration config("Config");
    plat::BoolParameter verbose("Verbose", "Verbose.", false, false, &config);
    const char* const incompatible = "Incompatible XML config";
    using Case = std::pair<std::string, const char*>;
    for (const auto& [text, message] : {
             Case{document("<float name=\"Ratio\" description=\"Ratio.\"/>\n"), incompatible},
             Case{document("<bool description=\"Nameless.\"/>\n"), incompatible},
             Case{document("<enum name=\"Empty\" description=\"No names.\">"
                           "<value data=\"a\" priority=\"0\"/></enum>\n"),
                  incompatible},
             Case{document("<int name=\"Backwards\" description=\"d\" min=\"5\" max=\"1\"/>\n"),
                  incompatible},
             Case{"<?xml version=\"1.0\"?>\n<other/>\n",
                  "XML error 2:1 First Tag should be 'config'"},
             Case{"<config>\n<bool name=\"A\"/>\n<int name=\"B\" <\n</config>",
                  "XML error 3:15 Error: Unexpected token found"},
             Case{document("<bool name=\"Early\" description=\"Early.\"/>\n"
                           "<int name=\"Verbose\" description=\"Another class.\"/>\n"
                           "<bool name=\"Late\" description=\"Late.\"/>\n"),
                  incompatible},
         })
        EXPECT_EQ(failureOf(config, text), message) << text;
    EXPECT_NE(config.findParam("Early"), nullptr);
    EXPECT_EQ(config.findParam("Late"), nullptr);
}

TEST(ConfigXmlReading, MakesTheBestOfIncompleteElements) {
    plat::Configuration config("Config");

    plat::fromXml(config,
                  document("<string name=\"Bare\"><value data=\"kept\" priority=\"10\"/>"
                           "<value data=\"no priority\"/><value priority=\"20\"/></string>\n"
                           "<string name=\"Keyed\" locDesc=\"plat_test_no_such_key\"/>\n"
                           "<int name=\"Bounded\" description=\"d\" min=\"10\" max=\"20\">"
                           "<value data=\"99\" priority=\"0\"/></int>\n"
                           "<enum name=\"Pick\" description=\"d\"><opt data=\"one\"/><opt/>"
                           "<opt data=\"two\"/><value data=\"TWO\" priority=\"0\"/></enum>\n")
                      .c_str());

    plat::StringParameter& bare = config.getStringParam("Bare");
    EXPECT_STREQ(bare.getDescription(), "");
    EXPECT_STREQ(bare.getValueStr().c_str(), "kept");
    EXPECT_EQ(bare.getPriority(), PreferencePriority);
    EXPECT_STREQ(config.getParam("Keyed").getDescription(), "plat_test_no_such_key");
    EXPECT_EQ(config.getIntParam("Bounded").getValue(), 10);
    plat::EnumParameter& pick = config.getEnumParam("Pick");
    EXPECT_STREQ(pick.getNames()[1], "two");
    EXPECT_EQ(pick.getNames()[2], nullptr);
    EXPECT_STREQ(pick.getValueName(), "two");
}

} // namespace

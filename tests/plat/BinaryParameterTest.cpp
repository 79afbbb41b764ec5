// Binary parameters: hexadecimal input, texts and log lines that never show the bytes, and copies
// that keep them.
#include <plat/BinaryParameter.h>
#include <plat/Configuration.h>

#include <support/LogCapture.h>

#include <gtest/gtest.h>

namespace {

using plat::PreferencePriority;

class BinaryParameterTest : public ::testing::Test {
protected:
    plat::Configuration config{"Test"};
    plat::BinaryParameter key{"Key", "Key.", "\xDE\xAD", 2, false, &config};
};

TEST_F(BinaryParameterTest, OnlyTheCurrentValueTextShowsTheBytes) {
    testsupport::LogCapture log;
    ASSERT_TRUE(key.setParam("00ff1A", PreferencePriority));
    key.setParam("beef", 40);
    key.unset(40, false);
    EXPECT_STREQ(key.getValueStr().get(), "00ff1a");
    EXPECT_TRUE(key.getValueStrAt(40).isNull());
    for (const auto& [priority, text] : key.getValues())
        EXPECT_STREQ(text.get(), "<binary>") << priority;
    EXPECT_EQ(log.count("set Key(binary) to <binary>, priority 10"), 1) << log.text();
    EXPECT_EQ(log.count("unset Key(binary) priority 40, now <binary>, priority 10"), 1);
    EXPECT_EQ(log.count("00ff") + log.count("beef"), 0);
}

TEST_F(BinaryParameterTest, BadHexadecimalIsRefused) {
    for (const char* text : {"abc", "zz", "0x12"})
        EXPECT_FALSE(key.setParam(text, PreferencePriority)) << text;
    EXPECT_FALSE(key.setParam(static_cast<const char*>(nullptr), PreferencePriority));
    EXPECT_STREQ(key.getValueStr().get(), "dead");
    EXPECT_TRUE(key.setParam("", PreferencePriority)) << "no bytes is a value";
    EXPECT_EQ(key.getValue().length(), 0u);
}

TEST_F(BinaryParameterTest, CopyFromTakesTheBytesNotTheMaskedTexts) {
    plat::BinaryParameter source("Key", "Key.", "", 0, false, &config);
    source.setParam("0102", PreferencePriority);
    source.setParam("0304", 40);
    key.copyFrom(source);
    EXPECT_STREQ(key.getValueStr().get(), "0304");
    key.unset(40, false);
    EXPECT_STREQ(key.getValueStr().get(), "0102");
}

} // namespace

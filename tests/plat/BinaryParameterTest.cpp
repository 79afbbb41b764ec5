// Binary parameters: hexadecimal input, masked value texts, and copies that keep the bytes.
#include <plat/BinaryParameter.h>
#include <plat/Configuration.h>

#include <support/LogCapture.h>

#include <gtest/gtest.h>

#include <cstring>

namespace {

using plat::PreferencePriority;

const unsigned char DefaultKey[] = {0xDE, 0xAD};

TEST(BinaryParameterTexts, ValueTextsAreMaskedButTheCurrentValueIsNot) {
    plat::Configuration config("Test");
    plat::BinaryParameter key("Key", "Key.", DefaultKey, sizeof DefaultKey, false, &config);
    ASSERT_TRUE(key.setParam("00ff1A", PreferencePriority));
    EXPECT_STREQ(key.getValueStr().get(), "00ff1a");
    EXPECT_STREQ(key.getValueStrAt(PreferencePriority).get(), "<binary>");
    EXPECT_STREQ(key.getValueStrAt(0).get(), "<binary>");
    EXPECT_TRUE(key.getValueStrAt(40).isNull());
    for (const auto& [priority, text] : key.getValues())
        EXPECT_STREQ(text.get(), "<binary>") << priority;
}

TEST(BinaryParameterTexts, LogLinesNeverShowTheBytes) {
    plat::Configuration config("Test");
    plat::BinaryParameter key("Key", "Key.", DefaultKey, sizeof DefaultKey, false, &config);
    testsupport::LogCapture log;
    key.setParam("c0ffee", PreferencePriority);
    key.setParam("beef", 40);
    key.unset(40, false);
    EXPECT_EQ(log.count("set Key(binary) to <binary>, priority 10"), 1) << log.text();
    EXPECT_EQ(log.count("unset Key(binary) priority 40, now <binary>, priority 10"), 1)
        << log.text();
    EXPECT_EQ(log.count("c0ffee"), 0);
}

TEST(BinaryParameterTexts, BadHexadecimalIsRefused) {
    plat::Configuration config("Test");
    plat::BinaryParameter key("Key", "Key.", DefaultKey, sizeof DefaultKey, false, &config);
    for (const char* text : {"abc", "zz", "0x12"})
        EXPECT_FALSE(key.setParam(text, PreferencePriority)) << text;
    EXPECT_FALSE(key.setParam(static_cast<const char*>(nullptr), PreferencePriority));
    EXPECT_STREQ(key.getValueStr().get(), "dead");
    EXPECT_TRUE(key.setParam("", PreferencePriority)) << "no bytes is a value";
    EXPECT_EQ(key.getValue().length(), 0u);
}

TEST(BinaryParameterValues, AlwaysAdvancedAndWiped) {
    plat::Configuration config("Test");
    plat::BinaryParameter key("Key", "Key.", DefaultKey, sizeof DefaultKey, false, &config);
    EXPECT_TRUE(key.isAdvanced());
    key.setValue("\x01\x02", 2, PreferencePriority);
    plat::MBuf<unsigned char> value = key.getValueBuffer();
    EXPECT_TRUE(value.wipe());
    ASSERT_EQ(value.length(), 2u);
    EXPECT_EQ(value[1], 2);
}

TEST(BinaryParameterValues, CopyFromTakesTheBytesNotTheMaskedTexts) {
    plat::Configuration config("Test");
    plat::BinaryParameter target("Key", "Key.", DefaultKey, sizeof DefaultKey, false, &config);
    plat::BinaryParameter source("Key", "Key.", DefaultKey, sizeof DefaultKey, false, &config);
    source.setParam("0102", PreferencePriority);
    source.setParam("0304", 40);
    target.copyFrom(source);
    EXPECT_STREQ(target.getValueStr().get(), "0304");
    target.unset(40, false);
    EXPECT_STREQ(target.getValueStr().get(), "0102");
}

} // namespace

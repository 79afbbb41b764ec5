// Base64 encoding and decoding, with the warnings for unpadded and cut-off texts and the errors
// for foreign characters and short output buffers.
#include <xml/Base64.h>

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace {

using xml::Code;

std::vector<unsigned char> bytesOf(const std::string& text) {
    return std::vector<unsigned char>(text.begin(), text.end());
}

std::string encode(const std::string& text) {
    return xml::encodeBase64(reinterpret_cast<const unsigned char*>(text.data()), text.size());
}

TEST(Base64, EncodesWithTheStandardAlphabetAndPadding) {
    EXPECT_EQ(encode("f"), "Zg==");
    EXPECT_EQ(encode("fo"), "Zm8=");
    EXPECT_EQ(encode("foo"), "Zm9v");
    EXPECT_EQ(encode("\xFB\xFF\xBF"), "+/+/");
}

TEST(Base64, RoundTripsEveryLengthAndByte) {
    std::vector<unsigned char> all;
    for (int i = 0; i < 256; ++i)
        all.push_back(static_cast<unsigned char>(255 - i));
    for (std::size_t length = 0; length <= all.size(); length += (length < 8 ? 1 : 37)) {
        std::string text = xml::encodeBase64(all.data(), length);
        EXPECT_EQ(text.size() % 4, 0u);
        std::vector<unsigned char> decoded;
        EXPECT_EQ(xml::decodeBase64(text, decoded), Code::None);
        EXPECT_EQ(decoded, std::vector<unsigned char>(all.begin(), all.begin() + long(length)));
    }
}

TEST(Base64, UnpaddedOrCutOffTextDecodesWithWarning) {
    using Case = std::tuple<const char*, Code, const char*>;
    for (auto [text, code, bytes] :
         {Case{"Zm9vYg", Code::Base64LengthNotMultipleOf4, "foob"},
          Case{"Zm8", Code::Base64LengthNotMultipleOf4, "fo"},
          Case{"Zm9vY", Code::Base64Truncated, "foo"}, Case{"Z", Code::Base64Truncated, ""}}) {
        std::vector<unsigned char> decoded;
        EXPECT_EQ(xml::decodeBase64(text, decoded), code) << text;
        EXPECT_EQ(decoded, bytesOf(bytes)) << text;
    }
}

TEST(Base64, ForeignCharactersAndMisplacedPaddingFail) {
    for (const char* text :
         {"Zm9v!", "Zm-_", "Zm=v", "Z===", "Zg===", "=Zg=", "Zg==Zg==", "Zm9v="}) {
        std::vector<unsigned char> decoded = bytesOf("stale");
        EXPECT_EQ(xml::decodeBase64(text, decoded), Code::Base64IllegalCharacter) << text;
        EXPECT_TRUE(decoded.empty()) << text;
        EXPECT_EQ(xml::decodedBase64Length(text), 0u) << text;
    }
}

TEST(Base64, BufferFormChecksTheCapacity) {
    unsigned char buffer[6] = {};
    std::size_t written = 99;
    EXPECT_EQ(xml::decodedBase64Length("Zm9vYmFy"), 6u);
    EXPECT_EQ(xml::decodeBase64("Zm9vYmFy", buffer, 5, written), Code::Base64OutputTooSmall);
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(buffer[0], 0);
    EXPECT_EQ(xml::decodeBase64("Zm9vYmFy", buffer, 6, written), Code::None);
    EXPECT_EQ(written, 6u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 6), "foobar");
    EXPECT_EQ(xml::decodeBase64("Zm9vYmF", buffer, 6, written), Code::Base64LengthNotMultipleOf4);
    EXPECT_EQ(written, 5u);
    EXPECT_EQ(xml::decodeBase64("Zm9v#", buffer, 6, written), Code::Base64IllegalCharacter);
    EXPECT_EQ(written, 0u);
}

} // namespace

// Both percent codings: what each keeps, and the escapes each refuses.
#include <io/percentEncoding.h>

#include <io/EndpointInvalid.h>

#include <support/raisedBy.h>

#include <gtest/gtest.h>

#include <string>

namespace {

using testsupport::raisedBy;

TEST(PercentEncodeEndpoint, KeepsItsSetAndEscapesEveryOtherByteInUpperCase) {
    EXPECT_STREQ(io::percentEncodeEndpoint("a/b c:[x]%").c_str(), "a%2Fb c%3A%5Bx%5D%25");
    EXPECT_STREQ(io::percentEncodeEndpoint("&'()*+,-.!$;=_~Z9").c_str(), "&'()*+,-.!$;=_~Z9");
    EXPECT_STREQ(io::percentEncodeEndpoint("\xc3\xa4\x7f").c_str(), "%C3%A4%7F");
}

TEST(PercentDecodeEndpoint, ReversesTheEncodingAndRepairsTheUtf8) {
    const char* text = "h\xc3\xa4st/[::1]:5 %";
    EXPECT_STREQ(io::percentDecodeEndpoint(io::percentEncodeEndpoint(text).c_str()).c_str(), text);
    EXPECT_STREQ(io::percentDecodeEndpoint("a%2fb%FF").c_str(), "a/b\xef\xbf\xbd");
}

TEST(PercentDecodeEndpoint, ShortNonHexadecimalAndNulEscapesAreBadEscapes) {
    for (const char* bad : {"%", "a%2", "%g0", "%0g", "%%41", "a%00b"}) {
        try {
            io::percentDecodeEndpoint(bad);
            ADD_FAILURE() << bad;
        } catch (const io::EndpointInvalid& e) {
            EXPECT_STREQ(e.key(), "io_error_endpoint_badescape") << bad;
            EXPECT_STREQ(e.message(), "Invalid endpoint: incorrect % escape");
        }
    }
}

TEST(PercentEncode, KeepsOnlyUnreservedCharactersAndOptionallyNonAscii) {
    EXPECT_STREQ(io::percentEncode("a b*-._~+", false).c_str(), "a%20b*-._%7E%2B");
    EXPECT_STREQ(io::percentEncode("\xc3\xa4", false).c_str(), "%C3%A4");
    EXPECT_STREQ(io::percentEncode("\xc3\xa4", true).c_str(), "\xc3\xa4");
}

TEST(PercentDecode, PlusIsABlankOnlyWhenAskedAndBadEscapesRaise) {
    EXPECT_STREQ(io::percentDecode("a+b%20c", true).c_str(), "a b c");
    EXPECT_STREQ(io::percentDecode("a+b%2b", false).c_str(), "a+b+");
    for (const char* bad : {"%", "%4", "%x1", "%00"})
        EXPECT_EQ(raisedBy([&] { io::percentDecode(bad, false); }).message, "Bad percent encoding")
            << bad;
}

} // namespace

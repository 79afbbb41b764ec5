// Endpoint names: hosts, displays and literal ports in a base-port context, and their errors.
#include <io/Endpoint.h>

#include <io/EndpointInvalid.h>

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr int Base = 7100;
constexpr int Range = 100;

// "host port", or the key of the error.
std::string parsed(const char* text, int basePort = Base, int range = Range, bool wantPort = true) {
    plat::DString host("stale");
    int port = -1;
    try {
        io::parseEndpoint(text, host, wantPort ? &port : nullptr, basePort, range);
    } catch (const io::EndpointInvalid& e) {
        return e.key();
    }
    return std::string(host.c_str()) + " " + std::to_string(port);
}

TEST(ParseEndpoint, DisplaysCountFromTheBasePortAndDoubleColonsNameThePortItself) {
    EXPECT_EQ(parsed("host:1"), "host 7101");
    EXPECT_EQ(parsed("host::1"), "host 1");
    EXPECT_EQ(parsed("host"), "host 7100");
    EXPECT_EQ(parsed(":7"), "localhost 7107");
    EXPECT_EQ(parsed("host:100"), "host 100");
    EXPECT_EQ(parsed("host:"), "host 7100");
    EXPECT_EQ(parsed("[::1]:2"), "[::1] 7102");
    EXPECT_EQ(parsed(""), "localhost 7100");
    EXPECT_EQ(parsed("host::00080", -1, 0), "host 80");
}

TEST(ParseEndpoint, EachMalformedTextNamesItsFault) {
    EXPECT_EQ(parsed("", -1), "io_error_endpoint_empty");
    EXPECT_EQ(parsed("[::1"), "io_error_endpoint_bracket");
    EXPECT_EQ(parsed("[]:1"), "io_error_endpoint_empty");
    EXPECT_EQ(parsed("ho]st"), "io_error_endpoint_general");
    EXPECT_EQ(parsed("[::1]x"), "io_error_endpoint_general");
    EXPECT_EQ(parsed("host:x"), "io_error_endpoint_badport");
    EXPECT_EQ(parsed("host::70000"), "io_error_endpoint_badport");
    EXPECT_EQ(parsed("host::0"), "io_error_endpoint_badport");
    EXPECT_EQ(parsed("host", -1), "io_error_endpoint_badport");
    EXPECT_EQ(parsed("host:99", 65500), "io_error_endpoint_badport");
    EXPECT_EQ(parsed("host::80", Base, Range, false), "io_error_endpoint_badport");
}

TEST(ParseEndpoint, PortDigitsThatWouldWrapAroundAreRefused) {
    EXPECT_EQ(parsed("h:4294967297", -1, 0), "io_error_endpoint_badport");
    EXPECT_EQ(parsed("h::18446744073709551617"), "io_error_endpoint_badport");
}

TEST(ParseEndpoint, WithoutAPortWantedTheHostAloneIsRead) {
    EXPECT_EQ(parsed("[fe80::1]:", -1, 0, false), "[fe80::1] -1");
}

TEST(FormatEndpoint, WritesTheShortestFormThatParsesBack) {
    EXPECT_STREQ(io::formatEndpoint("::1", Base + 3, Base, Range).c_str(), "[::1]:3");
    EXPECT_STREQ(io::formatEndpoint("::1", 80, Base, Range).c_str(), "[::1]::80");
    EXPECT_STREQ(io::formatEndpoint("host", 80, -1, Range).c_str(), "host:80");
    for (int port : {1, 80, Base, Base + 99, Base + 100, 65535}) {
        plat::DString text = io::formatEndpoint("::1", port, Base, Range);
        EXPECT_EQ(parsed(text.c_str()), "[::1] " + std::to_string(port)) << text.c_str();
    }
}

TEST(BracketHost, BracketsOnlyUnbracketedHostsWithColons) {
    EXPECT_STREQ(io::bracketHost("::1").c_str(), "[::1]");
    EXPECT_STREQ(io::bracketHost("[::1]").c_str(), "[::1]");
    EXPECT_STREQ(io::bracketHost("host").c_str(), "host");
    EXPECT_STREQ(io::unbracketHost("[::1]").c_str(), "::1");
    EXPECT_STREQ(io::unbracketHost("host").c_str(), "host");
    EXPECT_STREQ(io::unbracketHost("[]").c_str(), "");
    for (const char* bad : {"[::1", "["}) {
        try {
            io::unbracketHost(bad);
            ADD_FAILURE() << bad;
        } catch (const io::EndpointInvalid& e) {
            EXPECT_STREQ(e.key(), "io_error_endpoint_bracket");
        }
    }
}

} // namespace

// The fixed messages of the result codes and the report of a failure inside a file.
#include <xml/Status.h>

#include <gtest/gtest.h>

namespace {

using xml::Code;

TEST(StatusMessages, EveryCodeHasItsFixedText) {
    const char* expected[] = {
        "No error",
        "Warning: Unmatched end tag",
        "Warning: No XML tag found",
        "Error: No XML data",
        "Error: Missing start tag name",
        "Error: Missing end tag name",
        "Error: Unmatched end tag",
        "Error: Unmatched clear tag end",
        "Error: Unexpected token found",
        "Error: No elements found",
        "Error: File not found",
        "Error: First Tag not found",
        "Error: Unknown character entity",
        "Error: Character code above 255 is forbidden in MultiByte char mode.",
        "Error: unable to convert between WideChar and MultiByte chars",
        "Error: unable to open file for writing",
        "Error: cannot write into file",
        "Warning: Base64-string length is not a multiple of 4",
        "Warning: Base64-string is truncated",
        "Error: Base64-string contains an illegal character",
        "Error: Base64 decode output buffer is too small",
        "Error: Elements nested too deeply",
    };
    for (int code = 0; code < int(std::size(expected)); ++code)
        EXPECT_STREQ(xml::codeMessage(code), expected[code]) << code;
    EXPECT_STREQ(xml::codeMessage(Code::UnexpectedToken), "Error: Unexpected token found");
}

TEST(StatusMessages, OtherValuesAreUnknown) {
    EXPECT_STREQ(xml::codeMessage(-1), "Unknown");
    EXPECT_STREQ(xml::codeMessage(22), "Unknown");
    EXPECT_STREQ(xml::codeMessage(1000), "Unknown");
}

TEST(StatusFileReport, GivesPathMessageAndPlace) {
    xml::Status status;
    status.code = Code::UnknownCharacterEntity;
    status.message = xml::codeMessage(status.code);
    status.line = 12;
    status.column = 7;
    EXPECT_EQ(xml::fileErrorText("/etc/app/config.xml", status),
              "XML Parsing error inside file '/etc/app/config.xml'.\n"
              "Error: Unknown character entity\n"
              "At line 12, column 7.\n");
}

TEST(StatusFileReport, NamesTheTagAFailureConcerns) {
    xml::Status status;
    status.code = Code::FirstTagNotFound;
    status.message = "First Tag should be 'config'";
    status.line = 1;
    status.column = 22;
    status.tagName = "other";
    EXPECT_EQ(xml::fileErrorText("a.xml", status), "XML Parsing error inside file 'a.xml'.\n"
                                                   "First Tag should be 'config'\n"
                                                   "At line 1, column 22.\n"
                                                   "Tag is 'other'.");
}

} // namespace

// The fixed messages of the result codes and the report of a failure inside a file.
#include <xml/Status.h>

#include <gtest/gtest.h>

namespace {

using xml::Code;

TEST(StatusMessages, ValuesOutsideTheCodesAreUnknown) {
    EXPECT_STREQ(xml::codeMessage(Code::None), "No error");
    EXPECT_STREQ(xml::codeMessage(-1), "Unknown");
    EXPECT_STREQ(xml::codeMessage(int(Code::NestedTooDeeply) + 1), "Unknown");
}

TEST(StatusFileReport, GivesPathMessagePlaceAndTheTagAFailureConcerns) {
    xml::Status status;
    status.code = Code::UnknownCharacterEntity;
    status.message = xml::codeMessage(status.code);
    status.line = 12;
    status.column = 7;
    EXPECT_EQ(xml::fileErrorText("/etc/app/config.xml", status),
              "XML Parsing error inside file '/etc/app/config.xml'.\n"
              "Error: Unknown character entity\n"
              "At line 12, column 7.\n");
    status.tagName = "other";
    EXPECT_EQ(xml::fileErrorText("a.xml", status), "XML Parsing error inside file 'a.xml'.\n"
                                                   "Error: Unknown character entity\n"
                                                   "At line 12, column 7.\n"
                                                   "Tag is 'other'.");
}

} // namespace

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
    xml::Status status{Code::UnknownCharacterEntity, 12, 7, "Error: Unknown character entity", ""};
    const std::string report = "XML Parsing error inside file 'a.xml'.\n"
                               "Error: Unknown character entity\nAt line 12, column 7.\n";
    EXPECT_EQ(xml::fileErrorText("a.xml", status), report);
    status.tagName = "other";
    EXPECT_EQ(xml::fileErrorText("a.xml", status), report + "Tag is 'other'.");
}

} // namespace

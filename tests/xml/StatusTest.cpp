// The report of a failure inside a file.
#include <xml/Status.h>

#include <gtest/gtest.h>

namespace {

using xml::Code;

TEST(StatusFileReport, GivesPathMessagePlaceAndTheTagAFailureConcerns) {
    xml::Status status{Code::UnknownCharacterEntity, 12, 7, "Error: Unknown character entity", ""};
    const std::string report = "XML Parsing error inside file 'a.xml'.\n"
                               "Error: Unknown character entity\nAt line 12, column 7.\n";
    EXPECT_EQ(xml::fileErrorText("a.xml", status), report);
    status.tagName = "other";
    EXPECT_EQ(xml::fileErrorText("a.xml", status), report + "Tag is 'other'.");
}

} // namespace

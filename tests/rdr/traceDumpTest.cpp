// The layout of the stream traffic trace.
#include <rdr/traceDump.h>

#include <support/printedText.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

std::string dump(const char* label, const std::string& bytes) {
    return testsupport::printedText([&](FILE* out) {
        rdr::traceDump(label, reinterpret_cast<const std::uint8_t*>(bytes.data()),
                       int(bytes.size()), out);
    });
}

TEST(TraceDumpLayout, FullLineThenShortLineWithOffset) {
    EXPECT_EQ(dump(rdr::TraceLabelIn, "ABCDEFGHIJKLMNOP\x01Q"),
              " <-- 41 42 43 44  45 46 47 48  49 4a 4b 4c  4d 4e 4f 50  ABCDEFGHIJKLMNOP\n"
              "0010 01 51                                               .Q\n");
    EXPECT_EQ(dump(rdr::TraceLabelOut, "~\x7f"),
              " --> 7e 7f                                               ~.\n");
}

} // namespace

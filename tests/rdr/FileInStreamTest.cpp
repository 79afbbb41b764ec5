// File input: reading through the buffer, the end of the file, and open failures.
#include <rdr/Exception.h>
#include <rdr/FileInStream.h>

#include <support/TemporaryDirectory.h>
#include <support/raisedBy.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

using testsupport::Raised;
using testsupport::raisedBy;
using testsupport::TemporaryDirectory;

namespace {

TEST(FileInStreamReading, ReadsAFileLargerThanItsBufferThenEndOfFile) {
    TemporaryDirectory dir;
    std::string data;
    for (int i = 0; i < 100000; ++i)
        data.push_back(char(i % 253));
    rdr::FileInStream in(dir.write("data", data).c_str(), 1000);
    for (std::size_t i = 0; i < data.size(); ++i)
        ASSERT_EQ(in.readU8(), std::uint8_t(data[i])) << "at " << i;
    EXPECT_EQ(raisedBy<rdr::EndOfStream>([&] { in.readU8(); }).message, "End of file");
}

TEST(FileInStreamReading, LinesOfATextFile) {
    TemporaryDirectory dir;
    rdr::FileInStream in(dir.write("lines", "first\r\nsecond\nthird").c_str());
    plat::DString line;
    in.readLine(line);
    EXPECT_STREQ(line.get(), "first");
    in.readLine(line);
    EXPECT_STREQ(line.get(), "second");
    in.readLine(line);
    EXPECT_STREQ(line.get(), "third");
    EXPECT_THROW(in.readLine(line), rdr::EndOfStream);
}

TEST(FileInStreamOpening, MissingFileNamesThePath) {
    TemporaryDirectory dir;
    std::string path = dir.file("missing");
    Raised raised = raisedBy([&] { rdr::FileInStream in(path.c_str()); });
    EXPECT_EQ(raised.error, ENOENT);
    EXPECT_TRUE(raised.startsWith("fileOpen(" + path + "): ")) << raised.message;
}

} // namespace

// File input: reading through the buffer, the end of the file, and open failures.
#include <rdr/Exception.h>
#include <rdr/FileInStream.h>

#include <support/TemporaryDirectory.h>
#include <support/raisedBy.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

namespace {

using testsupport::Raised;
using testsupport::raisedBy;

TEST(FileInStream, ReadsAFileLargerThanItsBufferThenEndOfFile) {
    testsupport::TemporaryDirectory dir;
    std::string data;
    for (int i = 0; i < 100000; ++i)
        data.push_back(char(i % 253));
    rdr::FileInStream in(dir.write("data", data).c_str(), 1000);
    std::string read(data.size(), '\0');
    in.readBytesInto(read.data(), int(read.size()));
    EXPECT_EQ(read, data);
    EXPECT_EQ(raisedBy<rdr::EndOfStream>([&] { in.readU8(); }).message, "End of file");
}

TEST(FileInStream, MissingFileNamesThePath) {
    testsupport::TemporaryDirectory dir;
    std::string path = dir.file("missing");
    Raised raised = raisedBy([&] { rdr::FileInStream in(path.c_str()); });
    EXPECT_EQ(raised.error, ENOENT);
    EXPECT_TRUE(raised.startsWith("fileOpen(" + path + "): ")) << raised.message;
}

} // namespace

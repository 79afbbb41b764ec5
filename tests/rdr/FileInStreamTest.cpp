// File input: reading through the buffer, the end of the file, and open failures.
#include "support/TempDir.h"

#include <rdr/Exception.h>
#include <rdr/FileInStream.h>

#include <plat/Exception.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

using rdrtest::TempDir;

namespace {

TEST(FileInStreamReading, ReadsAFileLargerThanItsBufferThenEndOfFile) {
    TempDir dir;
    std::string data;
    for (int i = 0; i < 100000; ++i)
        data.push_back(char(i % 253));
    rdrtest::writeWholeFile(dir.file("data"), data);
    rdr::FileInStream in(dir.file("data").c_str(), 1000);
    for (std::size_t i = 0; i < data.size(); ++i)
        ASSERT_EQ(in.readU8(), std::uint8_t(data[i])) << "at " << i;
    try {
        in.readU8();
        FAIL();
    } catch (rdr::EndOfStream& e) {
        EXPECT_STREQ(e.message(), "End of file");
    }
}

TEST(FileInStreamReading, LinesOfATextFile) {
    TempDir dir;
    rdrtest::writeWholeFile(dir.file("lines"), "first\r\nsecond\nthird");
    rdr::FileInStream in(dir.file("lines").c_str());
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
    TempDir dir;
    std::string path = dir.file("missing");
    try {
        rdr::FileInStream in(path.c_str());
        FAIL();
    } catch (plat::SystemException& e) {
        EXPECT_EQ(e.error(), ENOENT);
        EXPECT_EQ(std::string(e.message()).rfind("fileOpen(" + path + "): ", 0), 0u) << e.message();
    }
}

} // namespace

// File output: truncating, appending, write errors, permissions, and transactions that replace
// the target only on commit.
#include <rdr/FileOutStream.h>

#include <plat/Exception.h>

#include <support/TemporaryDirectory.h>
#include <support/fileContents.h>
#include <support/forkedChild.h>
#include <support/raisedBy.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

namespace {

using testsupport::exists;
using testsupport::modeOf;
using testsupport::Raised;
using testsupport::raisedBy;
using testsupport::readFile;
using testsupport::writeFile;

class FileOutStreamTest : public ::testing::Test {
protected:
    testsupport::TemporaryDirectory dir;
    const std::string target = dir.file("target");
};

TEST_F(FileOutStreamTest, TruncatesOrAppends) {
    writeFile(target, "old");
    rdr::FileOutStream(target.c_str(), rdr::FileAppend).writeBytes("+new", 4);
    EXPECT_EQ(readFile(target), "old+new");
    rdr::FileOutStream(target.c_str(), 0).writeBytes("fresh", 5);
    EXPECT_EQ(readFile(target), "fresh");
}

TEST_F(FileOutStreamTest, ExclusiveRefusesAnExistingFileAndPrivateIsOwnerOnly) {
    writeFile(target, "keep");
    EXPECT_THROW(rdr::FileOutStream(target.c_str(), rdr::FileExclusive), plat::SystemException);
    EXPECT_EQ(readFile(target), "keep");
    rdr::FileOutStream(dir.file("secret").c_str(), rdr::FilePrivate).writeU8(1);
    EXPECT_EQ(modeOf(dir.file("secret")) & 077, 0);
}

TEST_F(FileOutStreamTest, FullDeviceRaisesWriteFailure) {
    if (!exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    rdr::FileOutStream out("/dev/full", 0);
    std::string data(100000, 'f');
    Raised raised = raisedBy([&] {
        out.writeBytes(data.data(), int(data.size()));
        out.flush();
    });
    EXPECT_EQ(raised.error, ENOSPC);
    EXPECT_TRUE(raised.startsWith("writing to file failed")) << raised.message;
}

TEST_F(FileOutStreamTest, UnprivilegedWriterGetsPermissionDenied) {
    int status = testsupport::exitStatusOfForkedChild([&] {
        if (!testsupport::becomeNobody())
            return 3;
        Raised raised = raisedBy([&] { rdr::FileOutStream out(target.c_str(), 0); });
        return raised.error == EACCES && raised.startsWith("fileOpen(" + target + "): ") ? 0 : 2;
    });
    EXPECT_EQ(status, 0);
    EXPECT_FALSE(exists(target));
}

TEST_F(FileOutStreamTest, TransactionReplacesTheTargetKeepingItsModeOnlyOnCommit) {
    writeFile(target, "old contents", 0640);
    {
        rdr::TransactedFileOutStream out(target.c_str(), 0);
        std::string data(100000, 'x');
        out.writeBytes(data.data(), int(data.size()));
    }
    EXPECT_EQ(readFile(target), "old contents") << "untouched without commit";
    EXPECT_FALSE(exists(target + ".tmp"));
    {
        rdr::TransactedFileOutStream out(target.c_str(), 0);
        out.writeBytes("new", 3);
        EXPECT_EQ(readFile(target), "old contents") << "untouched before commit";
        out.commit();
    }
    EXPECT_EQ(readFile(target), "new");
    EXPECT_EQ(modeOf(target), 0640);
    EXPECT_FALSE(exists(target + ".tmp"));
}

TEST_F(FileOutStreamTest, TransactionKeepingContentsStartsWithTheTargetIfAny) {
    std::string created = dir.file("new");
    rdr::TransactedFileOutStream fresh(created.c_str(), rdr::FileKeepContents);
    fresh.writeBytes("made", 4);
    EXPECT_FALSE(exists(created));
    fresh.commit();
    EXPECT_EQ(readFile(created), "made");

    std::string old(70000, 'o');
    writeFile(target, old);
    rdr::TransactedFileOutStream out(target.c_str(), rdr::FileKeepContents);
    out.writeBytes("+tail", 5);
    out.commit();
    EXPECT_EQ(readFile(target), old + "+tail");
}

TEST_F(FileOutStreamTest, StaleTemporaryFileDoesNotLeakIn) {
    writeFile(target + ".tmp", "stale bytes from a crash");
    rdr::TransactedFileOutStream out(target.c_str(), rdr::FileAppend);
    out.writeBytes("clean", 5);
    out.commit();
    EXPECT_EQ(readFile(target), "clean");
}

} // namespace

// File output: writing, appending, write errors, permissions, and transactions that replace the
// target only on commit.
#include "support/TempDir.h"

#include <rdr/FileOutStream.h>

#include <plat/Exception.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using rdrtest::readWholeFile;
using rdrtest::TempDir;
using rdrtest::writeWholeFile;

namespace {

bool exists(const std::string& path) {
    return access(path.c_str(), F_OK) == 0;
}

mode_t modeOf(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

// Writing files ---------------------------------------------------------------------------------

TEST(FileOutStreamWriting, DestructionWritesPendingBytes) {
    TempDir dir;
    std::string data(50000, 'd');
    {
        rdr::FileOutStream out(dir.file("out").c_str(), 0);
        out.writeBytes(data.data(), int(data.size()));
        out.writeU32(0x31323334);
    }
    EXPECT_EQ(readWholeFile(dir.file("out")), data + "1234");
}

TEST(FileOutStreamWriting, FlushReachesTheFileWhileOpen) {
    TempDir dir;
    rdr::FileOutStream out(dir.file("out").c_str(), 0);
    out.writeBytes("now", 3);
    out.flush();
    EXPECT_EQ(readWholeFile(dir.file("out")), "now");
}

TEST(FileOutStreamWriting, TruncatesOrAppends) {
    TempDir dir;
    writeWholeFile(dir.file("out"), "old");
    { rdr::FileOutStream(dir.file("out").c_str(), rdr::FileAppend).writeBytes("+new", 4); }
    EXPECT_EQ(readWholeFile(dir.file("out")), "old+new");
    { rdr::FileOutStream(dir.file("out").c_str(), 0).writeBytes("fresh", 5); }
    EXPECT_EQ(readWholeFile(dir.file("out")), "fresh");
}

TEST(FileOutStreamWriting, ExclusiveRefusesAnExistingFile) {
    TempDir dir;
    writeWholeFile(dir.file("out"), "keep");
    EXPECT_THROW(rdr::FileOutStream(dir.file("out").c_str(), rdr::FileExclusive),
                 plat::SystemException);
    EXPECT_EQ(readWholeFile(dir.file("out")), "keep");
}

TEST(FileOutStreamWriting, PrivateFileHasOwnerOnlyMode) {
    TempDir dir;
    { rdr::FileOutStream(dir.file("secret").c_str(), rdr::FilePrivate).writeU8(1); }
    EXPECT_EQ(modeOf(dir.file("secret")) & 077, 0u);
}

TEST(FileOutStreamWriting, FullDeviceRaisesWriteFailure) {
    if (!exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    rdr::FileOutStream out("/dev/full", 0);
    std::string data(100000, 'f');
    try {
        out.writeBytes(data.data(), int(data.size()));
        out.flush();
        FAIL() << "a full device took the data";
    } catch (plat::SystemException& e) {
        EXPECT_EQ(e.error(), ENOSPC);
        EXPECT_EQ(std::string(e.message()).rfind("writing to file failed", 0), 0u);
    }
}

TEST(FileOutStreamWriting, UnprivilegedWriterGetsPermissionDenied) {
    TempDir dir;
    ASSERT_EQ(chmod(dir.path().c_str(), 0755), 0);
    std::string path = dir.file("denied");
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Root ignores mode bits: the attempt must run as an ordinary user.
        if (setresgid(65534, 65534, 65534) != 0 || setresuid(65534, 65534, 65534) != 0)
            _exit(3);
        try {
            rdr::FileOutStream out(path.c_str(), 0);
            _exit(1);
        } catch (plat::SystemException& e) {
            bool expected = e.error() == EACCES &&
                            std::string(e.message()).rfind("fileOpen(" + path + "): ", 0) == 0;
            _exit(expected ? 0 : 2);
        }
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_FALSE(exists(path));
}

// Transactions ------------------------------------------------------------------------------------

TEST(TransactedFileOutStream, CommitReplacesTheTargetAndKeepsItsMode) {
    TempDir dir;
    std::string target = dir.file("config");
    writeWholeFile(target, "old contents");
    ASSERT_EQ(chmod(target.c_str(), 0640), 0);
    {
        rdr::TransactedFileOutStream out(target.c_str(), 0);
        out.writeBytes("new", 3);
        EXPECT_EQ(readWholeFile(target), "old contents") << "untouched before commit";
        out.commit();
    }
    EXPECT_EQ(readWholeFile(target), "new");
    EXPECT_EQ(modeOf(target), 0640u);
    EXPECT_FALSE(exists(target + ".tmp"));
}

TEST(TransactedFileOutStream, DestructionWithoutCommitLeavesTargetAndNoTemporary) {
    TempDir dir;
    std::string target = dir.file("config");
    writeWholeFile(target, "precious");
    {
        rdr::TransactedFileOutStream out(target.c_str(), 0);
        std::string data(100000, 'x');
        out.writeBytes(data.data(), int(data.size()));
        EXPECT_TRUE(exists(target + ".tmp"));
    }
    EXPECT_EQ(readWholeFile(target), "precious");
    EXPECT_FALSE(exists(target + ".tmp"));
}

TEST(TransactedFileOutStream, KeepContentsStartsWithTheTarget) {
    TempDir dir;
    std::string target = dir.file("log");
    std::string old(70000, 'o');
    writeWholeFile(target, old);
    rdr::TransactedFileOutStream out(target.c_str(), rdr::FileKeepContents);
    out.writeBytes("+tail", 5);
    out.commit();
    EXPECT_EQ(readWholeFile(target), old + "+tail");
}

TEST(TransactedFileOutStream, NewTargetIsCreatedOnCommit) {
    TempDir dir;
    std::string target = dir.file("new");
    rdr::TransactedFileOutStream out(target.c_str(), rdr::FileKeepContents);
    out.writeBytes("made", 4);
    EXPECT_FALSE(exists(target));
    out.commit();
    EXPECT_EQ(readWholeFile(target), "made");
}

TEST(TransactedFileOutStream, StaleTemporaryFileDoesNotLeakIn) {
    TempDir dir;
    std::string target = dir.file("config");
    writeWholeFile(target + ".tmp", "stale bytes from a crash");
    rdr::TransactedFileOutStream out(target.c_str(), rdr::FileAppend);
    out.writeBytes("clean", 5);
    out.commit();
    EXPECT_EQ(readWholeFile(target), "clean");
}

} // namespace

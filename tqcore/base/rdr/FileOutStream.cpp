// Writing files through the buffered output stream, directly or as a transaction.
#include <rdr/FileOutStream.h>

#include <rdr/Exception.h>
#include <rdr/FileInStream.h>

#include <plat/Exception.h>
#include <plat/Log.h>
#include <plat/file.h>

#include <new>

namespace rdr {

namespace {

plat::LogSrc transactedFileLog("TransactedFile");

constexpr const char* TemporarySuffix = ".tmp";

} // namespace

FileOutStream::FileOutStream(const char* path, int fileFlags)
    : FileOutStream(FileHandle::openForWriting(path, fileFlags)) {}

FileOutStream::FileOutStream(FileHandle file) : BufferedNBOutStream(-1), file(std::move(file)) {}

FileOutStream::~FileOutStream() {
    if (!file.isOpen())
        return;
    try {
        setBlocking(true);
        BufferedNBOutStream::flush();
    } catch (plat::Exception&) {
    }
}

int FileOutStream::writeData(const std::uint8_t* data, int length, bool) {
    if (!file.isOpen() ||
        std::fwrite(data, 1, std::size_t(length), file.get()) != std::size_t(length))
        throw plat::StdlibException("writing to file failed");
    return length;
}

bool FileOutStream::flush() {
    bool done = BufferedNBOutStream::flush();
    if (file.isOpen() && std::fflush(file.get()) != 0)
        throw plat::StdlibException("writing to file failed");
    return done;
}

TransactedFileOutStream::TransactedFileOutStream(const char* path, int fileFlags)
    : targetPath(path), temporaryPath(path) {
    temporaryPath.append(TemporarySuffix);
    // The temporary file always starts empty: a stale one from an earlier run must not leak in.
    int temporaryFlags = fileFlags & ~(FileAppend | FileExclusive);
    attach(FileHandle::openForWriting(temporaryPath.get(), temporaryFlags));
    try {
        plat::fileCopyPerms(path, openFile());
    } catch (plat::Exception& e) {
        transactedFileLog.error("%s", e.message());
    }
    if (fileFlags & (FileKeepContents | FileAppend)) {
        try {
            copyTargetContents();
        } catch (...) {
            // Going on would replace the target with part of its contents on commit.
            abandon();
            throw;
        }
    }
}

TransactedFileOutStream::~TransactedFileOutStream() {
    if (!committed)
        abandon();
}

void TransactedFileOutStream::copyTargetContents() {
    if (!plat::fileExists(targetPath.get()))
        return;
    FileInStream target(targetPath.get());
    try {
        for (;;) {
            target.check(1, true);
            writeBytes(target.getPtr(), target.nUnread());
            target.advance(target.nUnread());
        }
    } catch (EndOfStream&) {
    }
}

void TransactedFileOutStream::abandon() {
    // Pending bytes go nowhere: the temporary file is about to disappear.
    detach();
    plat::fileRemove(temporaryPath.get(), std::nothrow);
}

void TransactedFileOutStream::commit() {
    PLAT_ASSERT(openFile());
    flush();
    FileHandle temporary = detach();
    // Synced before the rename, so that a crash cannot leave the target empty or partial.
    temporary.sync();
    temporary.close();
    plat::fileRename(temporaryPath.get(), targetPath.get());
    committed = true;
}

} // namespace rdr

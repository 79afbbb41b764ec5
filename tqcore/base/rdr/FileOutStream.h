// An output stream writing a file through the C standard library; TransactedFileOutStream
// writes under a temporary name and replaces the target in one step on commit.
#pragma once

#include <rdr/BufferedOutStream.h>
#include <rdr/FileHandle.h>

#include <plat/DString.h>

namespace rdr {

class FileOutStream : public BufferedNBOutStream {
public:
    // fileFlags: FileFlags.
    FileOutStream(const char* path, int fileFlags);
    // Takes over an open file.
    explicit FileOutStream(FileHandle file);
    // Flushes pending bytes while the file is open (a failure cannot be reported here), then
    // closes it.
    ~FileOutStream() override;

    // Hands pending bytes and the library's buffer to the file.
    bool flush() override;

protected:
    FileOutStream() : BufferedNBOutStream(-1) {}

    // Writes the whole block or raises plat::StdlibException "writing to file failed".
    int writeData(const std::uint8_t* data, int length, bool wait) override;

    void attach(FileHandle opened) { file = std::move(opened); }
    FileHandle detach() { return std::move(file); }
    FILE* openFile() const { return file.get(); }

private:
    FileHandle file;
};

class TransactedFileOutStream : public FileOutStream {
public:
    // Opens path + ".tmp" for writing; with FileKeepContents or FileAppend it starts with the
    // target's current contents. The temporary file takes the target's permissions.
    // FileExclusive is ignored: the rename replaces the target in any case.
    TransactedFileOutStream(const char* path, int fileFlags);
    // Without commit(), removes the temporary file and leaves the target untouched.
    ~TransactedFileOutStream() override;

    // Writes everything out and renames the temporary file over the target.
    void commit();

private:
    void copyTargetContents();
    void abandon();

    plat::DString targetPath;
    plat::DString temporaryPath;
    bool committed = false;
};

} // namespace rdr

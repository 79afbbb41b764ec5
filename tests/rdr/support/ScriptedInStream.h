// Test sources and sinks: a buffered input stream that hands out scripted chunks (an empty chunk
// means "no data now"), a buffered output stream whose destination takes a set number of bytes per
// write, memory streams over test bytes, and test data.
#pragma once

#include <rdr/BufferedInStream.h>
#include <rdr/BufferedOutStream.h>
#include <rdr/MemInStream.h>
#include <rdr/MemOutStream.h>

#include <deque>
#include <initializer_list>
#include <string>

namespace rdrtest {

class ScriptedInStream : public rdr::BufferedNonBlockableInStream {
public:
    explicit ScriptedInStream(std::initializer_list<std::string> script = {}, int bufferSize = -1)
        : BufferedNonBlockableInStream(bufferSize), chunks(script) {}

    void makeRewindable(bool enabled) { rewindable = enabled; }

protected:
    // Raises EndOfStream when the script is exhausted.
    int readData(std::uint8_t* destination, int length) override;

private:
    std::deque<std::string> chunks;
};

class ScriptedOutStream : public rdr::BufferedOutStream {
public:
    ScriptedOutStream(int bufferSize, int maxBufferSize)
        : BufferedOutStream(bufferSize, maxBufferSize) {}

    // Bytes the destination takes per write; 0 refuses everything.
    void setAcceptPerWrite(int bytes) { acceptPerWrite = bytes; }
    const std::string& received() const { return bytes; }
    int waitingWrites() const { return waitedCalls; }
    using BufferedOutStream::setBlocking;

protected:
    int writeData(const std::uint8_t* data, int length, bool wait) override;

private:
    int acceptPerWrite = 1 << 30;
    int waitedCalls = 0;
    std::string bytes;
};

// A memory input stream that owns the bytes it reads.
struct MemoryInput {
    explicit MemoryInput(std::string bytes)
        : bytes(std::move(bytes)), in(this->bytes.data(), int(this->bytes.size())) {}
    std::string bytes;
    rdr::MemInStream in;
};

// The bytes as a string, for building test input from byte lists.
std::string bytesOf(std::initializer_list<int> values);

// Bytes that repeat only every 256 * 251, so that misplaced or lost bytes show.
std::string patterned(int size, int seed = 0);

// Everything written to a memory stream.
std::string contentsOf(rdr::MemOutStream& out);

} // namespace rdrtest

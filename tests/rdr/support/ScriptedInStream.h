// Test sources and sinks: a buffered input stream that hands out scripted chunks (an empty chunk
// means "no data now"), and a buffered output stream whose destination takes a set number of
// bytes per write.
#pragma once

#include <rdr/BufferedInStream.h>
#include <rdr/BufferedOutStream.h>

#include <deque>
#include <string>

namespace rdrtest {

class ScriptedInStream : public rdr::BufferedNonBlockableInStream {
public:
    explicit ScriptedInStream(int bufferSize = -1) : BufferedNonBlockableInStream(bufferSize) {}

    void addChunk(const std::string& bytes) { chunks.push_back(bytes); }
    void addBlock() { chunks.push_back(std::string()); }
    void makeRewindable(bool enabled) { rewindable = enabled; }
    int readCalls() const { return calls; }

protected:
    // Raises EndOfStream when the script is exhausted.
    int readData(std::uint8_t* destination, int length) override;

private:
    std::deque<std::string> chunks;
    int calls = 0;
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

// The bytes as a string, for building test input from byte lists.
std::string bytesOf(std::initializer_list<int> values);

} // namespace rdrtest

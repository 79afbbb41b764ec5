// Scripted test sources and sinks.
#include "ScriptedInStream.h"

#include <rdr/Exception.h>

#include <algorithm>
#include <cstring>

namespace rdrtest {

int ScriptedInStream::readData(std::uint8_t* destination, int length) {
    if (chunks.empty())
        throw rdr::EndOfStream();
    std::string& chunk = chunks.front();
    int count = std::min(length, int(chunk.size()));
    std::memcpy(destination, chunk.data(), std::size_t(count));
    chunk.erase(0, std::size_t(count));
    if (chunk.empty())
        chunks.pop_front();
    return count;
}

int ScriptedOutStream::writeData(const std::uint8_t* data, int length, bool wait) {
    if (wait)
        ++waitedCalls;
    int count = std::min(length, acceptPerWrite);
    bytes.append(reinterpret_cast<const char*>(data), std::size_t(count));
    return count;
}

std::string bytesOf(std::initializer_list<int> values) {
    std::string result;
    for (int value : values)
        result.push_back(char(value));
    return result;
}

std::string patterned(int size, int seed) {
    std::string data;
    for (int i = 0; i < size; ++i)
        data.push_back(char(i * 31 + i / 251 + seed));
    return data;
}

std::string contentsOf(rdr::MemOutStream& out) {
    return std::string(reinterpret_cast<const char*>(out.data()), std::size_t(out.length()));
}

} // namespace rdrtest

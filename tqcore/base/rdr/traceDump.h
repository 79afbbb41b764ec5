// The hexadecimal trace of stream traffic written to standard error by buffered streams.
#pragma once

#include <cstdint>
#include <cstdio>

namespace rdr {

// Labels of the two directions.
constexpr const char* TraceLabelIn = " <-- ";
constexpr const char* TraceLabelOut = " --> ";

// 16 bytes per line: the label (first line) or the offset, the bytes in hexadecimal grouped by
// four, then the printable characters. The stream is flushed after the chunk.
void traceDump(const char* label, const std::uint8_t* data, int length, FILE* out = stderr);

} // namespace rdr

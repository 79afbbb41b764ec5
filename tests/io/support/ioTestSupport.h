// Helpers of the io tests: socket pairs, serving a manager until something happened, and looking
// at a socket's peer without reading from it.
#pragma once

#include <plat/UniqueFd.h>

#include <cstdint>
#include <functional>
#include <string>

namespace io {
class FdManager;
}

namespace iotest {

struct SocketPair {
    plat::UniqueFd near;
    plat::UniqueFd far;
};

// A close-on-exec Unix stream pair; both ends non-blocking when asked.
SocketPair makeSocketPair(bool nonBlocking = false);

// Serves the manager until condition holds or 30 seconds have passed.
bool serveUntil(io::FdManager& manager, const std::function<bool()>& condition);

// Whether the other end of the socket has been closed (seen without reading).
bool peerClosed(int fd);

// Writes to a non-blocking descriptor until it takes no more; returns the bytes written.
int fill(int fd);

// Everything readable now from a non-blocking descriptor.
std::string readAvailable(int fd);

// Wire encodings: a big-endian 32-bit word, a string with such a length, and a whole message
// (name and payload) in one last frame.
std::string u32(std::uint32_t value);
std::string string32(const std::string& text);
std::string message(const std::string& name, const std::string& payload);

// Writes all of data to a blocking descriptor.
void writeAll(int fd, const std::string& data);

} // namespace iotest

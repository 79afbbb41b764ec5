// Implementation of the io test helpers.
#include "ioTestSupport.h"

#include <io/FdManager.h>

#include <chrono>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace iotest {

SocketPair makeSocketPair(bool nonBlocking) {
    int ends[2];
    int type = SOCK_STREAM | SOCK_CLOEXEC | (nonBlocking ? SOCK_NONBLOCK : 0);
    if (::socketpair(AF_UNIX, type, 0, ends) != 0)
        throw std::runtime_error("socketpair failed");
    return {plat::UniqueFd(ends[0]), plat::UniqueFd(ends[1])};
}

bool serveUntil(io::FdManager& manager, const std::function<bool()>& condition) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        manager.wait(100);
    }
    return true;
}

bool peerClosed(int fd) {
    pollfd watch{fd, POLLRDHUP, 0};
    return ::poll(&watch, 1, 0) == 1 && (watch.revents & (POLLRDHUP | POLLHUP));
}

int fill(int fd) {
    static const char chunk[4096] = {};
    int total = 0;
    while (true) {
        ssize_t written = ::write(fd, chunk, sizeof chunk);
        if (written <= 0)
            return total;
        total += int(written);
    }
}

std::string readAvailable(int fd) {
    std::string data;
    char buffer[4096];
    ssize_t got;
    while ((got = ::read(fd, buffer, sizeof buffer)) > 0)
        data.append(buffer, std::size_t(got));
    return data;
}

std::string u32(std::uint32_t value) {
    return {char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
}

std::string string32(const std::string& text) {
    return u32(std::uint32_t(text.size())) + text;
}

std::string message(const std::string& name, const std::string& payload) {
    std::string body = char(name.size()) + name + payload;
    if (body.size() > 0x7FFF)
        throw std::runtime_error("message too long for one frame");
    return std::string{char(0x80 | body.size() >> 8), char(body.size())} + body;
}

void writeAll(int fd, const std::string& data) {
    std::size_t done = 0;
    while (done < data.size()) {
        ssize_t written = ::write(fd, data.data() + done, data.size() - done);
        if (written <= 0)
            throw std::runtime_error("write failed");
        done += std::size_t(written);
    }
}

} // namespace iotest

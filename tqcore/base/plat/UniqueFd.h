// Sole ownership of one file descriptor: the descriptor is closed when its owner goes away, unless
// ownership has been handed on with release().
#pragma once

#include <unistd.h>
#include <utility>

namespace plat {

class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : descriptor(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : descriptor(other.release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd() { reset(); }

    int get() const { return descriptor; }
    bool valid() const { return descriptor >= 0; }

    // Gives up ownership without closing.
    int release() { return std::exchange(descriptor, -1); }

    // Closes the held descriptor (its close failure has nowhere to go) and takes fd instead.
    void reset(int fd = -1) {
        int old = std::exchange(descriptor, fd);
        if (old >= 0)
            ::close(old);
    }

private:
    int descriptor = -1;
};

} // namespace plat

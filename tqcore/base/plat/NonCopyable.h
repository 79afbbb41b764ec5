// Base class for objects with identity (parameters, log sources, timers) that must not be copied.
#pragma once

namespace plat {

class NonCopyable {
public:
    NonCopyable(const NonCopyable&) = delete;
    NonCopyable& operator=(const NonCopyable&) = delete;

protected:
    NonCopyable() = default;
    ~NonCopyable() = default;
};

} // namespace plat

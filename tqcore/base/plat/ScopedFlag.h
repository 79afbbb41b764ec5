// Holds a flag set for the length of a scope, and clears it however the scope is left.
#pragma once

#include <plat/NonCopyable.h>

namespace plat {

class ScopedFlag : NonCopyable {
public:
    explicit ScopedFlag(bool& flag) : flag(flag) { flag = true; }
    ~ScopedFlag() { flag = false; }

private:
    bool& flag;
};

} // namespace plat

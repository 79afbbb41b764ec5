// Stack listing through the C library's backtrace facility.
#include <os/unix/backtrace.h>

#include <cstdlib>
#include <execinfo.h>
#include <memory>
#include <utility>

namespace os {

namespace {

constexpr int MaxFrames = 62;

struct SymbolsFree {
    void operator()(char** symbols) const { std::free(symbols); }
};

} // namespace

// Not inlined, so that frame 0 is this function and the caller's frames follow.
__attribute__((noinline)) void getBacktrace(std::vector<plat::DString>& lines) {
    void* frames[MaxFrames];
    int count = ::backtrace(frames, MaxFrames);
    if (count < 2)
        return;
    std::unique_ptr<char*, SymbolsFree> symbols(::backtrace_symbols(frames, count));
    for (int frame = 1; frame < count; ++frame) {
        plat::DString line;
        line.format("%2d %s", frame, symbols ? symbols.get()[frame] : "?");
        lines.push_back(std::move(line));
    }
}

} // namespace os

// Stack listings: numbering, the caller's frames, the frame limit.
#include <os/unix/backtrace.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// Each level keeps its own frame: the call is not in tail position.
__attribute__((noinline)) int listAtDepth(int depth, std::vector<plat::DString>& lines) {
    if (depth == 0) {
        os::getBacktrace(lines);
        return 0;
    }
    int result = listAtDepth(depth - 1, lines);
    asm volatile("" ::: "memory");
    return result + 1;
}

TEST(StackListing, LinesAreNumberedFromOneAndADeepStackIsCutAtSixtyOne) {
    std::vector<plat::DString> lines;
    listAtDepth(100, lines);
    ASSERT_EQ(lines.size(), 61u);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        char number[8];
        std::snprintf(number, sizeof number, "%2d ", int(i + 1));
        EXPECT_EQ(std::string(lines[i].get()).rfind(number, 0), 0u) << lines[i].get();
    }
}

} // namespace

// The ring-buffer queue behind the timers' due queue, whose tests walk the rest of it: order
// across growth while the contents wrap around.
#include <plat/CircularVector.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int> drain(plat::CircularVector<int>& queue) {
    std::vector<int> items;
    while (!queue.empty())
        items.push_back(queue.popFront());
    return items;
}

TEST(CircularVector, GrowthWhileWrappedKeepsOrder) {
    plat::CircularVector<int> queue;
    for (int i = 0; i < 6; ++i)
        queue.pushBack(i);
    for (int i = 0; i < 4; ++i)
        queue.popFront();
    std::vector<int> expected{4, 5};
    for (int i = 6; i < 40; ++i) {
        queue.pushBack(i);
        expected.push_back(i);
    }
    queue.reserve(100);
    EXPECT_EQ(drain(queue), expected);
}

} // namespace

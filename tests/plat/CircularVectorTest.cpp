// The ring-buffer queue behind the timers' due queue: order across wrap-around and growth,
// and removal from the middle.
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

TEST(CircularVector, KeepsOrderAcrossWrapAround) {
    plat::CircularVector<int> queue;
    int next = 0;
    for (int round = 0; round < 20; ++round) {
        for (int i = 0; i < 5; ++i)
            queue.pushBack(next++);
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(queue.popFront(), next - 5 + i);
    }
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

TEST(CircularVector, RemoveKeepsTheOrderOfTheOthers) {
    plat::CircularVector<int> queue;
    for (int i = 0; i < 7; ++i)
        queue.pushBack(i);
    queue.popFront(), queue.popFront();
    for (int i = 7; i < 10; ++i)
        queue.pushBack(i);
    EXPECT_TRUE(queue.remove(6) && queue.remove(2) && queue.remove(9));
    EXPECT_FALSE(queue.remove(42));
    EXPECT_EQ(drain(queue), (std::vector<int>{3, 4, 5, 7, 8}));
}

} // namespace

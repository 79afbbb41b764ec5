// Thread-specific storage: one value per thread, and the destructor at thread exit.
#include <plat/ThreadSpecific.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

std::atomic<int> destroyedValues{0};
std::atomic<void*> lastDestroyed{nullptr};

void countDestruction(void* value) {
    ++destroyedValues;
    lastDestroyed = value;
}

TEST(ThreadSpecific, EachThreadHasItsOwnValue) {
    plat::ThreadSpecificPtr<int> slot;
    int mine = 1, theirs = 2;
    EXPECT_EQ(slot.get(), nullptr);
    slot.set(&mine);
    int* seenByOther = &mine;
    int* otherAfterSet = nullptr;
    std::thread other([&] {
        seenByOther = slot.get();
        slot.set(&theirs);
        otherAfterSet = slot.get();
    });
    other.join();
    EXPECT_EQ(seenByOther, nullptr);
    EXPECT_EQ(otherAfterSet, &theirs);
    EXPECT_EQ(slot.get(), &mine);
}

TEST(ThreadSpecific, DestructorReceivesTheValueAtThreadExit) {
    plat::ThreadSpecific slot(countDestruction);
    int value = 0;
    destroyedValues = 0;
    std::thread withValue([&] { slot.set(&value); });
    withValue.join();
    EXPECT_EQ(destroyedValues.load(), 1);
    EXPECT_EQ(lastDestroyed.load(), &value);
    std::thread withoutValue([] {});
    withoutValue.join();
    std::thread cleared([&] {
        slot.set(&value);
        slot.set(nullptr);
    });
    cleared.join();
    EXPECT_EQ(destroyedValues.load(), 1);
}

} // namespace

// A first-in first-out vector over a ring buffer whose capacity is a power of two: the front and
// back are free-running counters masked by capacity - 1, so that wrapping needs no branch.
#pragma once

#include <plat/Exception.h>
#include <plat/NonCopyable.h>

#include <cstdint>
#include <memory>

namespace plat {

template <class T>
class CircularVector : NonCopyable {
public:
    static constexpr std::uint32_t MinCapacity = 8;

    CircularVector() = default;

    bool empty() const { return head == tail; }
    std::uint32_t size() const { return tail - head; }
    std::uint32_t capacity() const { return slots; }

    // The element at position index from the front.
    T& operator[](std::uint32_t index) { return items[(head + index) & (slots - 1)]; }
    const T& operator[](std::uint32_t index) const { return items[(head + index) & (slots - 1)]; }
    T& front() { return (*this)[0]; }

    void pushBack(T item) {
        if (size() == slots)
            grow(slots ? slots * 2 : MinCapacity);
        items[tail++ & (slots - 1)] = std::move(item);
    }

    T popFront() {
        PLAT_ASSERT(!empty());
        return std::move(items[head++ & (slots - 1)]);
    }

    // Removes the first element equal to item, keeping the order of the others.
    bool remove(const T& item) {
        for (std::uint32_t index = 0; index < size(); ++index) {
            if ((*this)[index] == item) {
                for (std::uint32_t later = index + 1; later < size(); ++later)
                    (*this)[later - 1] = std::move((*this)[later]);
                --tail;
                return true;
            }
        }
        return false;
    }

    // Makes room for at least count elements.
    void reserve(std::uint32_t count) {
        if (slots != 0 && count <= slots)
            return;
        std::uint32_t newCapacity = slots ? slots : MinCapacity;
        while (newCapacity != 0 && newCapacity < count)
            newCapacity *= 2;
        grow(newCapacity);
    }

private:
    // Doubling a capacity of 2^31 wraps to 0, which the check also refuses.
    void grow(std::uint32_t newCapacity) {
        PLAT_ASSERT(0 < newCapacity && newCapacity <= 0x3fffffffu);
        std::unique_ptr<T[]> newItems(new T[newCapacity]);
        std::uint32_t count = size();
        for (std::uint32_t index = 0; index < count; ++index)
            newItems[index] = std::move((*this)[index]);
        items = std::move(newItems);
        slots = newCapacity;
        head = 0;
        tail = count;
    }

    std::unique_ptr<T[]> items;
    std::uint32_t slots = 0;
    std::uint32_t head = 0;
    std::uint32_t tail = 0;
};

} // namespace plat

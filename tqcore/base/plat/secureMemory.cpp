// Wiping, copying and comparing secrets without the optimiser's help.
#include <plat/secureMemory.h>

#include <cstring>

namespace plat {

namespace {

// The empty assembly statement claims to read the memory, so stores before it must be kept.
void keepStores(void* data) {
    asm volatile("" : : "r"(data) : "memory");
}

} // namespace

void secureWipe(void* data, std::size_t length) {
    if (data == nullptr || length == 0)
        return;
    std::memset(data, 0, length);
    keepStores(data);
}

void secureCopy(void* destination, const void* source, std::size_t length) {
    if (length == 0)
        return;
    std::memcpy(destination, source, length);
    keepStores(destination);
}

bool secureEquals(const void* first, const void* second, std::size_t length) {
    auto a = static_cast<const volatile unsigned char*>(first);
    auto b = static_cast<const volatile unsigned char*>(second);
    unsigned char difference = 0;
    for (std::size_t i = 0; i < length; ++i)
        difference |= a[i] ^ b[i];
    return difference == 0;
}

} // namespace plat

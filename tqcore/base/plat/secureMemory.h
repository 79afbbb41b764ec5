// Memory operations for secrets: wiping and copying that the optimiser may not drop, and a
// comparison whose running time does not reveal where two buffers first differ.
#pragma once

#include <cstddef>

namespace plat {

// Overwrites the bytes with zeros even when they are never read again.
void secureWipe(void* data, std::size_t length);
// Copies the bytes even when the destination is never read again.
void secureCopy(void* destination, const void* source, std::size_t length);
// Whether the buffers are equal, looking at every byte whatever the outcome.
bool secureEquals(const void* first, const void* second, std::size_t length);

} // namespace plat

// Reports that must reach a person even when logging itself is what failed: written straight to
// the standard error descriptor, bypassing stdio buffers and the log routing.
#pragma once

#include <cstddef>

namespace plat {

// Writes all bytes, retrying after interruptions; failures have nowhere to go and are ignored.
void writeStandardError(const char* text, std::size_t length);

void reportOnStandardError(const char* format, ...) __attribute__((format(printf, 1, 2)));

} // namespace plat

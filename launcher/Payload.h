// The embedded payload executable: one contiguous read-only byte array linked into the launcher.
#pragma once

#include <span>

extern "C" const unsigned char qvPayloadBegin[];
extern "C" const unsigned char qvPayloadEnd[];

namespace launcher {

inline std::span<const unsigned char> payloadImage() {
    return {qvPayloadBegin, qvPayloadEnd};
}

} // namespace launcher

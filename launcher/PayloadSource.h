// Where the payload image lies in the launcher's own executable file, so that the kernel can copy
// it from there without the image ever being read into memory.
#pragma once

#include <plat/UniqueFd.h>

#include <span>
#include <sys/types.h>

namespace launcher {

struct PayloadSource {
    plat::UniqueFd file; // invalid when the image cannot be taken from the file
    off_t offset = 0;
};

// Opens the running executable through /proc/self/exe, which names the running file even when its
// path has been replaced since, and finds the image in it from the program headers. The source is
// invalid when the image is not found there, or when the file's bytes at that place are not the
// image's.
PayloadSource locatePayloadSource(std::span<const unsigned char> image);

} // namespace launcher

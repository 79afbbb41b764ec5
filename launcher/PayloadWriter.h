// Writing the embedded payload image to the extracted file.
#pragma once

#include <span>

namespace launcher {

// Writes all bytes to fd, continuing after short writes and interruptions; raises
// plat::SystemException "write failed" when a write fails. Pages of the image that have been
// written are released from memory: the launcher stays alive as long as the payload runs, and
// there is no reason for it to keep a second copy of the program resident.
void writePayload(int fd, std::span<const unsigned char> image);

} // namespace launcher

// Writing the embedded payload image to the extracted file.
#pragma once

#include <span>

namespace launcher {

// Writes all bytes to fd, which must be open for writing at offset 0 and not for appending. The
// kernel copies them from the launcher's own executable file (nothing of the image is read into
// the launcher's memory); where the kernel or the file systems cannot, they are written from the
// image in chunks, continuing after short writes and interruptions, and the written pages are
// released: the launcher stays alive as long as the payload runs, and there is no reason for it
// to keep a second copy of the program resident. Raises plat::SystemException "write failed".
void writePayload(int fd, std::span<const unsigned char> image);

} // namespace launcher

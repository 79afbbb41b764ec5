// Descriptor ownership of descriptor handlers.
#include <io/FdHandler.h>

#include <unistd.h>

namespace io {

FdHandler::~FdHandler() {
    if (ownFd && fd >= 0)
        ::close(fd);
}

} // namespace io

// Descriptor ownership of descriptor handlers.
#include <io/FdHandler.h>

#include <io/FdManager.h>

#include <unistd.h>

namespace io {

FdHandler::~FdHandler() {
    FdManager::forgetEverywhere(this);
    if (ownFd && fd >= 0)
        ::close(fd);
}

void FdHandler::closeDescriptor() {
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

} // namespace io

// The interface through which a thread's descriptor manager tells an object that its descriptor
// is ready.
#pragma once

#include <plat/NonCopyable.h>

namespace io {

class FdHandler : plat::NonCopyable {
public:
    // With ownDescriptor the handler closes the descriptor when it is destroyed.
    explicit FdHandler(int descriptor = -1, bool ownDescriptor = true)
        : fd(descriptor), ownFd(ownDescriptor) {}
    virtual ~FdHandler();

    int getFd() const { return fd; }

    virtual void handleRead() = 0;
    virtual void handleWrite() {}
    virtual void handleExcept() {}
    virtual void handlePending() {}
    // The manager is being destroyed; the handler must forget it.
    virtual void managerGone() {}

protected:
    int fd;
    bool ownFd;
};

} // namespace io

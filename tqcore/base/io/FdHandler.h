// The interface through which a thread's descriptor manager tells an object that its descriptor
// is ready or that queued work is due.
#pragma once

#include <plat/NonCopyable.h>

namespace io {

class FdManager;

class FdHandler : plat::NonCopyable {
public:
    // With ownDescriptor the handler closes the descriptor when it is destroyed.
    explicit FdHandler(int descriptor = -1, bool ownDescriptor = true)
        : fd(descriptor), ownFd(ownDescriptor) {}
    // A handler destroyed while still registered (for example by another handler's callback)
    // leaves every manager of the thread first, so that it is never called afterwards.
    virtual ~FdHandler();

    int getFd() const { return fd; }

    virtual void handleRead() = 0;
    virtual void handleWrite() {}
    virtual void handleExcept() {}
    // Called for a handler queued on the manager's other-pending set.
    virtual void handlePending() {}
    // The manager is being destroyed and has already forgotten the handler.
    virtual void managerGone() {}

protected:
    int fd;
    bool ownFd;

private:
    friend class FdManager;
    // Closes the descriptor and forgets its number, so that no later close hits a reused one.
    void closeDescriptor();
};

} // namespace io

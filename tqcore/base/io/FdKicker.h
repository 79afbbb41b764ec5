// A pipe through which any thread, or a signal handler, wakes the thread that created it and
// hands it bytes.
#pragma once

#include <io/FdHandler.h>
#include <plat/UniqueFd.h>

#include <cstddef>

namespace io {

class FdManager;
class FdKicker;

class FdKickerCallback {
public:
    virtual ~FdKickerCallback() = default;
    // Called on the creating thread with the bytes that arrived through the pipe.
    virtual void handleKick(FdKicker* kicker, const unsigned char* bytes, std::size_t count) = 0;
};

class FdKicker : private FdHandler {
public:
    // Registers with the calling thread's descriptor manager, which must exist.
    explicit FdKicker(FdKickerCallback* callback);
    ~FdKicker() override;

    // Safe from any thread and from signal handlers; a full pipe drops the byte.
    void kick(unsigned char byte = 0);
    // The descriptor kick() writes to, for code that must write without touching this object.
    int kickFd() const { return writeEnd.get(); }
    // Null once the manager has been destroyed.
    FdManager* manager() const { return fdMgr; }
    // Discards everything readable.
    void drain();

private:
    void handleRead() override;
    void managerGone() override { fdMgr = nullptr; }

    FdKickerCallback* callback;
    FdManager* fdMgr;
    plat::UniqueFd writeEnd;
};

} // namespace io

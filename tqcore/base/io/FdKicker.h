// A pipe through which any thread, or a signal handler, wakes the thread that created it. The
// creating thread's callback reads what arrived from an input stream over the pipe.
#pragma once

#include <io/FdHandler.h>
#include <plat/UniqueFd.h>
#include <rdr/FdInStream.h>

namespace io {

class FdManager;
class FdKicker;

class FdKickerCallback {
public:
    virtual ~FdKickerCallback() = default;
    // Called on the creating thread when the pipe is readable. The callback reads the bytes it
    // expects. The stream is rewindable: running out of bytes (rdr::BlockException, or a false
    // check()) returns it to its checkpoint, so that a record cut short is read whole next time.
    // A callback that reads several records sets a checkpoint after each; one is set for it when
    // it returns.
    virtual void handleKick(FdKicker* kicker, rdr::InStream& in) = 0;
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
    struct PipeEnds {
        int readEnd;
        int writeEnd;
    };
    static PipeEnds makePipe();
    FdKicker(FdKickerCallback* callback, PipeEnds ends);

    void handleRead() override;
    void managerGone() override { fdMgr = nullptr; }

    FdKickerCallback* callback;
    FdManager* fdMgr;
    plat::UniqueFd writeEnd;
    rdr::FdInStream in;
};

} // namespace io

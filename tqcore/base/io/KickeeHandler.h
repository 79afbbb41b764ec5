// Serves a plat::Kickee on the calling thread's descriptor manager: a kick from any thread ends
// the manager's wait, and the callback then runs on this thread.
#pragma once

#include <io/FdHandler.h>
#include <plat/Kicker.h>

#include <functional>

namespace io {

class FdManager;

class KickeeHandler : private FdHandler {
public:
    // The calling thread must have a descriptor manager; the kickee must outlive this object.
    KickeeHandler(plat::Kickee& kickee, std::function<void()> callback);
    ~KickeeHandler() override;

private:
    void handleRead() override;
    void managerGone() override { fdMgr = nullptr; }

    plat::Kickee& kickee;
    std::function<void()> callback;
    FdManager* fdMgr;
};

} // namespace io

// The kickee's read end, registered for reading with the creating thread's manager.
#include <io/KickeeHandler.h>

#include <io/FdManager.h>
#include <plat/Exception.h>

namespace io {

KickeeHandler::KickeeHandler(plat::Kickee& kickee, std::function<void()> callback)
    : FdHandler(kickee.fd(), false), kickee(kickee), callback(std::move(callback)),
      fdMgr(FdManager::current()) {
    PLAT_ASSERT(fdMgr);
    fdMgr->add(this, true);
    fdMgr->setInterest(this, true, false);
}

KickeeHandler::~KickeeHandler() {
    if (fdMgr)
        fdMgr->add(this, false);
}

void KickeeHandler::handleRead() {
    if (kickee.drain() && callback)
        callback();
}

} // namespace io

// The process-wide system colour provider.
#include <plat/SysColors.h>

#include <plat/Exception.h>

#include <atomic>

namespace plat {

namespace {

// Never deleted: static destructors may still ask for colours while the process exits.
std::atomic<SysColors*> sysColorsImpl{nullptr};

} // namespace

void SysColors::install(std::unique_ptr<SysColors> provider) {
    PLAT_ASSERT(!sysColorsImpl);
    sysColorsImpl.store(provider.release());
}

bool SysColors::darkBackground() {
    SysColors* provider = sysColorsImpl.load();
    return provider && provider->isDarkBackground();
}

} // namespace plat

// The LazyFlushTimeout parameter.
#include <io/LazyFlushTimeout.h>

#include <climits>

namespace io {

plat::IntParameter& lazyFlushTimeout() {
    // Never destroyed: connections may still shut down while static objects are destroyed.
    static plat::IntParameter* parameter = new plat::IntParameter(
        "LazyFlushTimeout",
        "Maximum number of seconds for which attempts should be made to flush data to an "
        "unresponsive client (maximum 49 days)",
        60, false, nullptr, 0, INT_MAX);
    return *parameter;
}

plat::Ticks lazyFlushTimeoutTicks() {
    return plat::Ticks(lazyFlushTimeout().getValue()) * plat::TicksPerSecond;
}

namespace {

// Registers the parameter at start-up, before anything asks for it.
[[maybe_unused]] plat::IntParameter& registeredLazyFlushTimeout = lazyFlushTimeout();

} // namespace

} // namespace io

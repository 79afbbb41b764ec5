// The LazyFlushTimeout parameter: how long a connection that is shutting down keeps trying to
// hand its output to a peer that takes none.
#pragma once

#include <plat/IntParameter.h>
#include <plat/Time.h>

namespace io {

// Created on first use, so that connections made during static construction find it.
plat::IntParameter& lazyFlushTimeout();

// The current value in ticks, computed in 64 bits.
plat::Ticks lazyFlushTimeoutTicks();

} // namespace io

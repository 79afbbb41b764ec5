// The MaxOutBufferSize parameter: how many bytes buffered output streams may hold when the far
// end reads slowly.
#pragma once

#include <plat/IntParameter.h>

namespace rdr {

// Created on first use, so that streams constructed during static construction find it.
plat::IntParameter& maxOutBufferSize();

} // namespace rdr

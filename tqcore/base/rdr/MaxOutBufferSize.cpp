// The stand-in for the MaxOutBufferSize parameter.
#include <rdr/MaxOutBufferSize.h>

#include <climits>

namespace rdr {

bool IntSettingStandIn::setParam(int newValue) {
    if (newValue < minValue || newValue > maxValue)
        return false;
    value.store(newValue, std::memory_order_relaxed);
    return true;
}

constinit IntSettingStandIn maxOutBufferSize(
    "MaxOutBufferSize",
    "The maximum number of bytes to buffer internally when writing to slow connections.  Larger "
    "values improve concurrency, smaller values reduce memory usage.  Changes to this setting "
    "affect new connections only.",
    0x8000000, 16384, INT_MAX);

} // namespace rdr

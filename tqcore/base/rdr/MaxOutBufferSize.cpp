// The MaxOutBufferSize parameter.
#include <rdr/MaxOutBufferSize.h>

#include <climits>

namespace rdr {

plat::IntParameter& maxOutBufferSize() {
    // Never destroyed: streams may still be flushed while static objects are destroyed.
    static plat::IntParameter* parameter = new plat::IntParameter(
        "MaxOutBufferSize",
        "The maximum number of bytes to buffer internally when writing to slow connections.  "
        "Larger values improve concurrency, smaller values reduce memory usage.  Changes to this "
        "setting affect new connections only.",
        0x8000000, false, nullptr, 16384, INT_MAX);
    return *parameter;
}

namespace {

// Registers the parameter at start-up, before anything asks for it.
[[maybe_unused]] plat::IntParameter& registeredMaxOutBufferSize = maxOutBufferSize();

} // namespace

} // namespace rdr

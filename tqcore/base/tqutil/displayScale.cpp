// The ppmm and TextSizeFactor parameters, registered at start-up.
#include <tqutil/displayScale.h>

namespace tqutil {

// Never destroyed: images and fonts may still be asked for while static objects are destroyed.
plat::IntParameter& ppmm() {
    static auto* parameter =
        new plat::IntParameter("ppmm", "Physical display units per mm.", 4, false, nullptr, 1, 32);
    return *parameter;
}

plat::IntParameter& textSizeFactor() {
    static auto* parameter = new plat::IntParameter(
        "TextSizeFactor", "Factor for text size on this system, normal being 100", 100, false,
        nullptr, 1, 1000);
    return *parameter;
}

namespace {

// Registers both parameters at start-up, before anything asks for them.
[[maybe_unused]] plat::IntParameter& registeredPpmm = ppmm();
[[maybe_unused]] plat::IntParameter& registeredTextSizeFactor = textSizeFactor();

} // namespace

} // namespace tqutil

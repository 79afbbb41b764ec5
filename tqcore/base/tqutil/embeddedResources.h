// The fonts and icons embedded in the program, registered in the built-in resource table during
// static construction. Code that looks them up names embeddedResources with PLAT_KEEP_LINKED,
// so that a static link keeps them.
#pragma once

namespace tqutil {

struct EmbeddedResources {
    EmbeddedResources();
};

extern const EmbeddedResources embeddedResources;

} // namespace tqutil

// The system colour provider: whether the desktop draws dark backgrounds. The user interface
// installs it once; the colour table and the image loader ask it.
#pragma once

#include <memory>

namespace plat {

class SysColors {
public:
    virtual ~SysColors() = default;
    virtual bool isDarkBackground() = 0;

    // Installing a second provider fails an assertion.
    static void install(std::unique_ptr<SysColors> provider);
    // The provider's answer; no without a provider.
    static bool darkBackground();
};

} // namespace plat

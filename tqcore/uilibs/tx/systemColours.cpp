// DarkMode and the provider that reports it to the colour table, the image loader and the styles.
#include <tx/systemColours.h>

#include <plat/SysColors.h>

#include <memory>

namespace tx {

plat::BoolParameter& darkMode() {
    // Never destroyed: colours may still be asked for while static objects are destroyed.
    static auto* parameter = new plat::BoolParameter(
        "DarkMode", "Show windows with light text on dark backgrounds", false);
    return *parameter;
}

namespace {

[[maybe_unused]] plat::BoolParameter& registeredDarkMode = darkMode();

class ParameterColours : public plat::SysColors {
public:
    bool isDarkBackground() override { return darkMode().getValue(); }
};

} // namespace

void installSystemColours() {
    static bool installed = false;
    if (installed)
        return;
    plat::SysColors::install(std::make_unique<ParameterColours>());
    installed = true;
}

} // namespace tx

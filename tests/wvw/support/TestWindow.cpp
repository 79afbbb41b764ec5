// The test window and the switchable colour provider.
#include "TestWindow.h"

#include <plat/SysColors.h>

namespace wvwtest {

TestWindow::TestWindow(wvw::Widget& content, rfb::Point size) : content(content) {
    content.setSize(size);
    content.setParent(this, this, nullptr);
}

TestWindow::~TestWindow() {
    content.clearParent();
}

void TestWindow::type(int keysym) {
    content.keyPress(keysym, true);
    content.keyPress(keysym, false);
}

rfb::ManagedPixelBuffer& TestWindow::paint() {
    buffer.setPF(rfb::PixelFormat(32, 24, false, true, 255, 255, 255, 16, 8, 0));
    buffer.setSize(content.getSize());
    content.paint(&buffer);
    return buffer;
}

namespace {

bool darkMode = false;

class SwitchableColours : public plat::SysColors {
public:
    bool isDarkBackground() override { return darkMode; }
};

} // namespace

void setDarkMode(bool dark) {
    static bool installed = false;
    if (!installed)
        plat::SysColors::install(std::make_unique<SwitchableColours>());
    installed = true;
    darkMode = dark;
}

} // namespace wvwtest

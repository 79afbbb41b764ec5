// Reactions to activated hyperlinks of rich text, and the one that opens them on the desktop.
#pragma once

#include <plat/Markup.h>

#include <atomic>

namespace plat {

class Markup::LinkCallback {
public:
    virtual ~LinkCallback() = default;
    // Returns whether the link was handled.
    virtual bool linkActivated(const char* href) = 0;
};

// Opens the target with the desktop's URL opener. The opener lives in the operating-system layer,
// which builds on this library, so that layer installs it here.
class LinkCbOpenUrl : public Markup::LinkCallback {
public:
    using Opener = bool (*)(const char* url);

    static LinkCbOpenUrl& instance();
    static void setOpener(Opener opener);

    // False when no opener is installed or it could not open the target.
    bool linkActivated(const char* href) override;

private:
    static std::atomic<Opener> opener;
};

} // namespace plat

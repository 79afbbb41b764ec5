// The process-wide link callback that opens targets on the desktop.
#include <plat/MarkupLinkCallback.h>

namespace plat {

std::atomic<LinkCbOpenUrl::Opener> LinkCbOpenUrl::opener{nullptr};

LinkCbOpenUrl& LinkCbOpenUrl::instance() {
    static LinkCbOpenUrl callback;
    return callback;
}

void LinkCbOpenUrl::setOpener(Opener newOpener) {
    opener.store(newOpener);
}

bool LinkCbOpenUrl::linkActivated(const char* href) {
    Opener open = opener.load();
    return open && href && open(href);
}

} // namespace plat

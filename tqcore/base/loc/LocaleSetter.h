// A scope in which the calling thread works in a locale of its own: its C library locale and
// its translations, whatever the process uses.
#pragma once

#include <loc/systemLocale.h>
#include <plat/NonCopyable.h>

#include <memory>
#include <optional>

namespace loc {

class TransMap;

class LocaleSetter : plat::NonCopyable {
public:
    // locale is a name or a ":"-separated list of names, read as the Locale parameter is.
    explicit LocaleSetter(const char* locale);
    // Must run on the thread that made the setter, and setters on one thread end in the reverse
    // order of their making (both assertions).
    ~LocaleSetter();

private:
    friend class Localize;

    // The map of the calling thread's innermost setter, or null.
    static TransMap* currentMap();

    LocaleSetter* outer;
    std::optional<ThreadLocale> threadLocale;
    std::unique_ptr<TransMap> map;
};

} // namespace loc

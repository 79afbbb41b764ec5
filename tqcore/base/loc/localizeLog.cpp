// The "Localize" log source.
#include <loc/localizeLog.h>

namespace loc {

plat::LogSrc& localizeLog() {
    static plat::LogSrc log("Localize");
    return log;
}

namespace {

// Lists the source from start-up on, before the first missing text.
[[maybe_unused]] plat::LogSrc& registeredLog = localizeLog();

} // namespace

} // namespace loc

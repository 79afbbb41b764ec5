// The extracted payload file: created beside the launcher as a new file of our own, and removed
// once: on SIGTERM, SIGINT, SIGHUP or SIGQUIT, on the failure road, or at process exit.
#pragma once

#include <plat/DString.h>

namespace launcher {

class ExtractedFile {
public:
    // Creates the first free name of "Quorvel.tmp", "Quorvel(1).tmp" ... "Quorvel(99).tmp" in
    // directory, mode 0755, and returns its descriptor, open for writing. From then on the file is
    // removed on the removal signals and at exit.
    static int create(const char* directory);

    // The absolute path of the file (also after its removal), or null before create().
    static const char* path();

    // Removes the file now, if it is still ours. Async-signal-safe.
    static void remove();

    // Installs removeOnSignal() for SIGTERM and SIGINT, and for SIGHUP and SIGQUIT unless the
    // launcher was started with them ignored.
    static void installSignalHandlers();

    // Removes the file and keeps the process going: the launcher waits for its child whatever
    // happens to the file. Async-signal-safe.
    static void removeOnSignal(int signal);
};

} // namespace launcher

// The extracted payload file: created beside the launcher as a new file of our own, and removed
// on SIGTERM, on SIGINT and at process exit.
#pragma once

#include <plat/DString.h>

namespace launcher {

class ExtractedFile {
public:
    // Creates the first free name of "Quorvel.tmp", "Quorvel(1).tmp" ... "Quorvel(99).tmp" in
    // directory, mode 0755, and returns its descriptor, open for writing. From then on the file is
    // removed on SIGTERM, SIGINT and at exit.
    static int create(const char* directory);

    // The absolute path of the file, or null before create().
    static const char* path();

    // Installs removeOnSignal() for SIGTERM and SIGINT.
    static void installSignalHandlers();

    // Removes the file and keeps the process going: the launcher waits for its child whatever
    // happens to the file. Async-signal-safe.
    static void removeOnSignal(int signal);
};

} // namespace launcher

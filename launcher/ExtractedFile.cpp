// Creation, publication and removal of the extracted payload file.
#include <ExtractedFile.h>

#include <plat/file.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace launcher {

namespace {

constexpr const char* FileName = "Quorvel.tmp";
constexpr int NameLimit = 99;
constexpr mode_t FileMode = 0755;

// The static owner of the extracted file's path. The signal handler reads the path through an
// atomic pointer that is set only once the file exists and the string no longer changes.
class ExtractedPath {
public:
    ~ExtractedPath() {
        const char* path = published.exchange(nullptr);
        if (path)
            plat::fileRemove(path, std::nothrow);
    }

    void publish(plat::DString&& path) {
        owned = std::move(path);
        published.store(owned.get());
    }

    const char* get() const { return published.load(); }

private:
    plat::DString owned;
    std::atomic<const char*> published{nullptr};
};

static_assert(std::atomic<const char*>::is_always_lock_free);

ExtractedPath extractedPath;

// Keeps SIGTERM and SIGINT pending while the file is created and published, so that a signal
// never finds a file of ours that it cannot see, nor a name that another process owns.
class TerminationSignalsBlocked {
public:
    TerminationSignalsBlocked() {
        sigset_t signals;
        sigemptyset(&signals);
        sigaddset(&signals, SIGTERM);
        sigaddset(&signals, SIGINT);
        sigprocmask(SIG_BLOCK, &signals, &previous);
    }
    ~TerminationSignalsBlocked() { sigprocmask(SIG_SETMASK, &previous, nullptr); }

private:
    sigset_t previous;
};

} // namespace

int ExtractedFile::create(const char* directory) {
    TerminationSignalsBlocked blocked;
    plat::DString path;
    int fd =
        plat::fileCreateUnique(directory, FileName, "(", ")", NameLimit, O_WRONLY, FileMode, path);
    extractedPath.publish(std::move(path));
    return fd;
}

const char* ExtractedFile::path() {
    return extractedPath.get();
}

void ExtractedFile::installSignalHandlers() {
    signal(SIGTERM, removeOnSignal);
    signal(SIGINT, removeOnSignal);
}

void ExtractedFile::removeOnSignal(int) {
    int savedErrno = errno;
    if (const char* path = extractedPath.get())
        unlink(path);
    errno = savedErrno;
}

} // namespace launcher

// Creation, publication and removal of the extracted payload file.
#include <ExtractedFile.h>

#include <os/unix/signalDispositions.h>
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

// The signals that remove the file. SIGHUP (the terminal closed) and SIGQUIT would end the
// launcher without clean-up, so they are caught as well, unless the launcher was started with
// them ignored (nohup, a background job of a script): then they stay ignored, for the launcher and
// for the payload.
constexpr int AlwaysCaught[] = {SIGTERM, SIGINT};
constexpr int CaughtUnlessIgnored[] = {SIGHUP, SIGQUIT};

// The static owner of the extracted file's path. The path is published through an atomic pointer
// once the file exists and the string no longer changes; whoever removes the file takes the
// pointer first, so that each file is removed once, and never a name that another process has
// taken since.
class ExtractedPath {
public:
    ~ExtractedPath() { remove(); }

    void publish(plat::DString&& path) {
        owned = std::move(path);
        published.store(owned.get());
    }

    // Stays valid after removal: the string lives until exit.
    const char* path() const { return owned.get(); }

    // Async-signal-safe.
    void remove() {
        int savedErrno = errno;
        if (const char* path = published.exchange(nullptr))
            ::unlink(path);
        errno = savedErrno;
    }

private:
    plat::DString owned;
    std::atomic<const char*> published{nullptr};
};

static_assert(std::atomic<const char*>::is_always_lock_free);

ExtractedPath extractedPath;

// Keeps the removal signals pending while the file is created and published, so that a signal
// never finds a file of ours that it cannot see, nor a name that another process owns.
class RemovalSignalsBlocked {
public:
    RemovalSignalsBlocked() {
        sigset_t signals;
        sigemptyset(&signals);
        for (int signal : AlwaysCaught)
            sigaddset(&signals, signal);
        for (int signal : CaughtUnlessIgnored)
            sigaddset(&signals, signal);
        sigprocmask(SIG_BLOCK, &signals, &previous);
    }
    ~RemovalSignalsBlocked() { sigprocmask(SIG_SETMASK, &previous, nullptr); }

private:
    sigset_t previous;
};

} // namespace

int ExtractedFile::create(const char* directory) {
    RemovalSignalsBlocked blocked;
    plat::DString path;
    int fd =
        plat::fileCreateUnique(directory, FileName, "(", ")", NameLimit, O_WRONLY, FileMode, path);
    extractedPath.publish(std::move(path));
    return fd;
}

const char* ExtractedFile::path() {
    return extractedPath.path();
}

void ExtractedFile::remove() {
    extractedPath.remove();
}

void ExtractedFile::installSignalHandlers() {
    for (int signal : AlwaysCaught)
        os::catchSignal(signal, removeOnSignal);
    for (int signal : CaughtUnlessIgnored)
        if (!os::isSignalIgnored(signal))
            os::catchSignal(signal, removeOnSignal);
}

void ExtractedFile::removeOnSignal(int) {
    extractedPath.remove();
}

} // namespace launcher

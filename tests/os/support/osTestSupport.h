// Helpers shared by the os tests: temporary directories, capturing log output on standard error,
// environment changes undone at the end of a test, and polling with generous deadlines.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace io {
class FdManager;
}

namespace ostest {

class TemporaryDirectory {
public:
    TemporaryDirectory();
    ~TemporaryDirectory();
    TemporaryDirectory(const TemporaryDirectory&) = delete;
    TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

    const std::string& path() const { return dir; }
    std::string file(const std::string& name) const { return dir + "/" + name; }

private:
    std::string dir;
};

// Routes every log source to standard error at level 100 and points descriptor 2 at a file until
// destroyed.
class StderrCapture {
public:
    StderrCapture();
    ~StderrCapture();
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    std::string text() const;

private:
    TemporaryDirectory dir;
    int savedStderr;
};

// Sets (or with no value, removes) an environment variable and puts the old state back.
class EnvironmentChange {
public:
    EnvironmentChange(const char* name, std::optional<std::string> value);
    ~EnvironmentChange();
    EnvironmentChange(const EnvironmentChange&) = delete;
    EnvironmentChange& operator=(const EnvironmentChange&) = delete;

private:
    std::string name;
    std::optional<std::string> previous;
};

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& content, int mode);

// Polls condition until it holds or 30 seconds have passed; when a descriptor manager is given,
// it is served between polls so that signal callbacks and timers run.
bool eventually(const std::function<bool()>& condition, io::FdManager* manager = nullptr);

// Runs body in a forked child and returns its exit status (0..255), or -1 when it did not exit
// normally. The child never returns into the test framework.
int exitStatusOfForkedChild(const std::function<int()>& body);

// Whether pid is no longer a child of this process (it has been waited for); never reaps it.
bool isReaped(int pid);

// Number of descriptors at or above lowest that this process has open.
int countOpenDescriptorsFrom(int lowest);

} // namespace ostest

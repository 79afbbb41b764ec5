// Implementation of the os test helpers.
#include "osTestSupport.h"

#include <io/FdManager.h>
#include <plat/Log.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <ftw.h>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace ostest {

namespace {

int removeEntry(const char* path, const struct stat*, int, struct FTW*) {
    return ::remove(path);
}

} // namespace

TemporaryDirectory::TemporaryDirectory() {
    char pattern[] = "/tmp/qv-os-test-XXXXXX";
    if (!::mkdtemp(pattern))
        throw std::runtime_error("mkdtemp failed");
    dir = pattern;
}

TemporaryDirectory::~TemporaryDirectory() {
    ::nftw(dir.c_str(), removeEntry, 16, FTW_DEPTH | FTW_PHYS);
}

StderrCapture::StderrCapture() : savedStderr(::dup(2)) {
    int file = ::open(dir.file("stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    ::dup2(file, 2);
    ::close(file);
    plat::setLogOverride("*:stderr:100");
}

StderrCapture::~StderrCapture() {
    plat::setLogOverride(nullptr);
    ::dup2(savedStderr, 2);
    ::close(savedStderr);
}

std::string StderrCapture::text() const {
    return readFile(dir.file("stderr"));
}

EnvironmentChange::EnvironmentChange(const char* variable, std::optional<std::string> value)
    : name(variable) {
    if (const char* old = std::getenv(variable))
        previous = old;
    if (value)
        ::setenv(variable, value->c_str(), 1);
    else
        ::unsetenv(variable);
}

EnvironmentChange::~EnvironmentChange() {
    if (previous)
        ::setenv(name.c_str(), previous->c_str(), 1);
    else
        ::unsetenv(name.c_str());
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void writeFile(const std::string& path, const std::string& content, int mode) {
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << content;
    }
    ::chmod(path.c_str(), mode_t(mode));
}

bool eventually(const std::function<bool()>& condition, io::FdManager* manager) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        if (manager)
            manager->wait(20);
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

int exitStatusOfForkedChild(const std::function<int()>& body) {
    pid_t pid = ::fork();
    if (pid == 0) {
        int status = 1;
        try {
            status = body();
        } catch (...) {
            status = 99;
        }
        ::_exit(status);
    }
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

bool isReaped(int pid) {
    siginfo_t info{};
    return ::waitid(P_PID, id_t(pid), &info, WEXITED | WNOHANG | WNOWAIT) == -1 && errno == ECHILD;
}

int countOpenDescriptorsFrom(int lowest) {
    DIR* listing = ::opendir("/proc/self/fd");
    if (!listing)
        return -1;
    int count = 0;
    while (dirent* entry = ::readdir(listing)) {
        if (entry->d_name[0] == '.')
            continue;
        int fd = std::atoi(entry->d_name);
        if (fd >= lowest && fd != ::dirfd(listing))
            ++count;
    }
    ::closedir(listing);
    return count;
}

} // namespace ostest

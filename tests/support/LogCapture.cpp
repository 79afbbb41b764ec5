// Standard-error capture of log output.
#include "LogCapture.h"

#include "fileContents.h"

#include <plat/Log.h>

#include <cstdio>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

namespace testsupport {

LogCapture::LogCapture(const char* routing) {
    int file =
        open(directory.file("stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (file < 0)
        throw std::runtime_error("cannot create the capture file");
    std::fflush(stderr);
    savedStderr = dup(STDERR_FILENO);
    dup2(file, STDERR_FILENO);
    close(file);
    plat::setLogOverride(routing);
}

LogCapture::~LogCapture() {
    plat::setLogOverride(nullptr);
    std::fflush(stderr);
    dup2(savedStderr, STDERR_FILENO);
    close(savedStderr);
}

std::string LogCapture::text() const {
    std::fflush(stderr);
    return readFile(directory.file("stderr"));
}

int LogCapture::count(const std::string& needle) const {
    std::string all = text();
    int found = 0;
    for (std::size_t at = all.find(needle); at != std::string::npos;
         at = all.find(needle, at + needle.size()))
        ++found;
    return found;
}

} // namespace testsupport

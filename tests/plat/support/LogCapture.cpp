// Log capture through a temporary file behind standard error.
#include "LogCapture.h"

#include <plat/Log.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace plattest {

LogCapture::LogCapture(const char* routing) {
    char name[] = "/tmp/logCapture.XXXXXX";
    int file = mkstemp(name);
    path = name;
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
    unlink(path.c_str());
}

std::string LogCapture::text() const {
    std::ifstream in(path);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

int LogCapture::count(const std::string& needle) const {
    std::string all = text();
    int found = 0;
    for (std::size_t at = all.find(needle); at != std::string::npos;
         at = all.find(needle, at + needle.size()))
        ++found;
    return found;
}

} // namespace plattest

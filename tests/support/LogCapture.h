// Captures log lines as the user would see them: routes log sources to standard error and points
// standard error at a private file until the capture ends.
#pragma once

#include "TemporaryDirectory.h"

#include <string>

namespace testsupport {

class LogCapture {
public:
    // The routing is a log-override text; empty routes nothing, so that only what is written to
    // standard error directly shows.
    explicit LogCapture(const char* routing = "*:stderr:110");
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    // Everything written to standard error so far.
    std::string text() const;
    // How many times needle occurs in the output.
    int count(const std::string& needle) const;
    bool contains(const std::string& needle) const { return count(needle) > 0; }

private:
    TemporaryDirectory directory;
    int savedStderr;
};

} // namespace testsupport

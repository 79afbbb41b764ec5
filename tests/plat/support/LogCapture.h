// Captures log output for tests: routes the log sources to standard error and points standard
// error at a temporary file until destroyed.
#pragma once

#include <string>

namespace plattest {

class LogCapture {
public:
    explicit LogCapture(const char* routing = "*:stderr:110");
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    // Everything written to standard error so far.
    std::string text() const;
    // How many times needle occurs in the output.
    int count(const std::string& needle) const;

private:
    std::string path;
    int savedStderr;
};

} // namespace plattest

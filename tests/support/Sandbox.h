// Runs a command as root in a mount namespace of its own, in which root's home directory,
// /var/log and the changes to /etc are scratch directories of the test: the program under test
// creates its directories and reads and writes its files there, and the real system stays
// untouched.
#pragma once

#include "TemporaryDirectory.h"

#include <string>
#include <vector>

namespace testsupport {

class Sandbox {
public:
    Sandbox();

    // Whether mount namespaces can be used here (checked once per process).
    static bool available();

    // The command, to be started as root, wrapped so that it runs in the sandbox.
    std::vector<std::string> wrap(const std::vector<std::string>& command) const;

    // What the command sees as root's home directory and as /var/log.
    const std::string& rootHome() const { return home; }
    const std::string& varLog() const { return log; }
    // Where a file the command sees as /etc/<relative> is put before the run.
    std::string etcFile(const std::string& relative) const;

private:
    testsupport::TemporaryDirectory directory;
    std::string home;
    std::string log;
    std::string etcUpper;
    std::string etcWork;
};

} // namespace testsupport

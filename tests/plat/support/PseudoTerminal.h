// A pseudo-terminal whose far end the test reads, for output that changes on terminals.
#pragma once

#include <string>

namespace plattest {

class PseudoTerminal {
public:
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    bool usable() const { return replica >= 0; }
    // The descriptor that the code under test writes to.
    int terminal() const { return replica; }
    // What arrived so far, waiting generously for the first bytes.
    std::string received();

private:
    int controller = -1;
    int replica = -1;
};

} // namespace plattest

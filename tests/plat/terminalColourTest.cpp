// Terminal colour detection.
#include <plat/terminalColour.h>

#include "support/PseudoTerminal.h"

#include <support/EnvironmentChange.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <tuple>
#include <unistd.h>

namespace {

TEST(TerminalColour, NeedsATerminalWithAColourTerm) {
    plattest::PseudoTerminal terminal;
    ASSERT_TRUE(terminal.usable());
    testsupport::EnvironmentChange unsetTerm("TERM", std::nullopt);
    EXPECT_FALSE(plat::terminalSupportsColour(terminal.terminal()));
    using Case = std::tuple<const char*, bool>;
    for (auto [term, colour] :
         {Case{"xterm-256color", true}, Case{"ansi", true}, Case{"screen.color", true},
          Case{"vt100", false}, Case{"dumb", false}}) {
        setenv("TERM", term, 1);
        EXPECT_EQ(plat::terminalSupportsColour(terminal.terminal()), colour) << term;
    }
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    setenv("TERM", "xterm", 1);
    EXPECT_FALSE(plat::terminalSupportsColour(pipeEnds[1]));
    close(pipeEnds[0]);
    close(pipeEnds[1]);
}

} // namespace

// Terminal colour detection and colour codes.
#include <plat/terminalColour.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

class TerminalColour : public ::testing::Test {
protected:
    void SetUp() override {
        const char* term = std::getenv("TERM");
        hadTerm = term != nullptr;
        savedTerm = term ? term : "";
        terminal = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (terminal < 0 || grantpt(terminal) != 0 || unlockpt(terminal) != 0)
            GTEST_SKIP() << "no pseudo-terminal";
        replica = open(ptsname(terminal), O_RDWR | O_NOCTTY | O_CLOEXEC);
        ASSERT_GE(replica, 0);
    }
    void TearDown() override {
        if (replica >= 0)
            close(replica);
        if (terminal >= 0)
            close(terminal);
        if (hadTerm)
            setenv("TERM", savedTerm.c_str(), 1);
        else
            unsetenv("TERM");
    }

    int terminal = -1;
    int replica = -1;
    bool hadTerm = false;
    std::string savedTerm;
};

TEST_F(TerminalColour, NeedsATerminalWithAColourTerm) {
    struct Case {
        const char* term;
        bool colour;
    };
    for (Case c : {Case{"xterm-256color", true}, Case{"ansi", true}, Case{"screen.color", true},
                   Case{"vt100", false}, Case{"dumb", false}}) {
        setenv("TERM", c.term, 1);
        EXPECT_EQ(plat::terminalSupportsColour(replica), c.colour) << c.term;
    }
    unsetenv("TERM");
    EXPECT_FALSE(plat::terminalSupportsColour(replica));
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    setenv("TERM", "xterm", 1);
    EXPECT_FALSE(plat::terminalSupportsColour(pipeEnds[1]));
    close(pipeEnds[0]);
    close(pipeEnds[1]);
}

TEST(ColourCode, WritesEscapeSequence) {
    plat::DString text("x");
    plat::appendColourCode(text, "31;1");
    plat::appendColourCode(text, nullptr);
    EXPECT_STREQ(text.get(), "x\033[31;1m\033[0m");
}

} // namespace

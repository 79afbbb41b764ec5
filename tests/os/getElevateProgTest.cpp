// Elevation and web addresses against fake pkexec, su, sudo, terminals and openers first on PATH,
// each recording the exact argv it was started with.
#include "support/osTestSupport.h"

#include <os/unix/getElevateProg.h>

#include <plat/ConfigParameter.h>
#include <plat/Configuration.h>

#include <support/EnvironmentChange.h>
#include <support/TemporaryDirectory.h>
#include <support/fileContents.h>
#include <support/forkedChild.h>
#include <support/raisedBy.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fcntl.h>
#include <linux/magic.h>
#include <sstream>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statfs.h>

namespace {

using os::LaunchProcess;
using testsupport::EnvironmentChange;
using testsupport::raisedBy;
using Argv = std::vector<std::string>;

Argv argvOf(const LaunchProcess::Config& cfg) {
    Argv argv;
    for (const plat::DString& arg : cfg.args)
        argv.emplace_back(arg.c_str());
    return argv;
}

LaunchProcess::Config configFor(const Argv& command) {
    LaunchProcess::Config cfg;
    for (const std::string& arg : command)
        cfg.args.emplace_back(arg.c_str());
    return cfg;
}

class Elevation : public ::testing::Test {
protected:
    Elevation() { ::chmod(records.path().c_str(), 0777); }

    ~Elevation() override {
        for (const char* name : {"ElevateCmd", "ElevateCmdSingleArg"})
            plat::Configuration::global().getParam(name).resetToDefault(false);
    }

    // A program that records its argv ($0 first), one argument a line, and does nothing else.
    std::string fake(const std::string& name) {
        std::string record = records.file("record");
        return bin.write(name,
                         "#!/bin/sh\nprintf '%s\\n' \"$0\" \"$@\" > " + record + ".$$ && /bin/mv " +
                             record + ".$$ " + record + "\n",
                         0755);
    }

    // What the last fake recorded, removing the record; empty when there is none.
    Argv recorded() {
        std::istringstream lines(testsupport::readFile(records.file("record")));
        ::unlink(records.file("record").c_str());
        Argv argv;
        for (std::string line; std::getline(lines, line);)
            argv.push_back(line);
        return argv;
    }

    Argv run(const LaunchProcess::Config& cfg) {
        LaunchProcess launch(cfg);
        launch.launch();
        EXPECT_TRUE(launch.wait(nullptr, -1));
        return recorded();
    }

    // Elevates the command and checks that running the result starts it exactly.
    Argv elevatedRun(const Argv& command, const char* title = nullptr) {
        LaunchProcess::Config cfg = configFor(command);
        os::elevate(cfg, title);
        EXPECT_EQ(run(cfg), argvOf(cfg));
        return argvOf(cfg);
    }

    static void configure(const char* name, const char* value) {
        ASSERT_TRUE(plat::Configuration::global().set(name, value, plat::PreferencePriority));
    }

    testsupport::TemporaryDirectory bin;
    testsupport::TemporaryDirectory records;
    EnvironmentChange path{"PATH", bin.path()};
    EnvironmentChange bus{"DBUS_SESSION_BUS_ADDRESS", std::nullopt};
};

TEST_F(Elevation, ConfiguredCommandGoesInFrontUnlessItIsRelativeOrBlank) {
    std::string terminal = fake("my term");
    configure("ElevateCmd", ("\"" + terminal + "\" -e sudo").c_str());
    EXPECT_EQ(elevatedRun({"/bin/echo", "a b"}),
              (Argv{terminal, "-e", "sudo", "/bin/echo", "a b"}));
    LaunchProcess::Config cfg = configFor({"/bin/echo"});
    configure("ElevateCmd", "sudo -E");
    EXPECT_EQ(raisedBy([&] { os::elevate(cfg, nullptr); }).message,
              "Elevation not supported: ElevateCmd is not an absolute path");
    configure("ElevateCmd", " \t ");
    EXPECT_EQ(raisedBy([&] { os::elevate(cfg, nullptr); }).message,
              "Elevation not supported: no su or sudo found");
    EXPECT_EQ(argvOf(cfg), Argv{"/bin/echo"});
}

TEST_F(Elevation, SingleArgumentFormSurvivesAShellWithQuotesAndMetacharacters) {
    std::string program = fake("program");
    configure("ElevateCmd", "/bin/sh -c");
    configure("ElevateCmdSingleArg", "1");
    Argv command{program, "it's", "a  b", "$(touch x)", "`y`;", ""};
    LaunchProcess::Config cfg = configFor(command);
    os::elevate(cfg, nullptr);
    EXPECT_EQ(argvOf(cfg), (Argv{"/bin/sh", "-c",
                                 "'" + program + "' 'it'\\''s' 'a  b' '$(touch x)' '`y`;' ''"}));
    EXPECT_EQ(run(cfg), command);
}

TEST_F(Elevation, EachTerminalGetsItsOwnOptionsAndTheTitleAndPkexecNeedsASessionBus) {
    fake("sudo");
    std::string pkexec = fake("pkexec");
    const std::vector<std::pair<std::string, Argv>> table{
        {"gnome-terminal", {"--title", "Install - sudo password required", "--"}},
        {"xfce4-terminal", {"-T", "Install - sudo password required", "-x"}},
        {"konsole", {"--title", "Install - sudo password required", "--nofork", "-e"}},
        {"lxterminal", {"-t", "Install - sudo password required", "-e"}},
        {"xterm", {"-T", "Install - sudo password required", "-e"}},
    };
    // Installed from the last to the first, so that each one shadows those before it.
    for (const auto& [terminal, options] : table) {
        Argv expected{fake(terminal)};
        expected.insert(expected.end(), options.begin(), options.end());
        expected.insert(expected.end(), {"sudo", "/bin/echo", "it's"});
        EXPECT_EQ(elevatedRun({"/bin/echo", "it's"}, "Install"), expected);
    }
    EnvironmentChange session("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent");
    EXPECT_EQ(elevatedRun({"/bin/echo", "x"}), (Argv{pkexec, "/bin/echo", "x"}));
}

TEST_F(Elevation, SuTakesTheCommandAsOneQuotedArgumentWhenSudoIsMissing) {
    LaunchProcess::Config cfg = configFor({"/bin/echo"});
    fake("su");
    EXPECT_EQ(raisedBy([&] { os::elevate(cfg, "x"); }).message,
              "Elevation not supported: no terminal found");
    std::string xterm = fake("xterm");
    EXPECT_EQ(elevatedRun({"/bin/echo", "it's"}),
              (Argv{xterm, "-T", "su", "-e", "su", "-", "root", "-c", "'/bin/echo' 'it'\\''s'"}));
}

// In a private mount namespace, a tmpfs overlay on /etc gets the files. They replace what is
// there and are never written through: /etc/os-release is usually a link out of the overlay.
bool etcWith(const std::string& scratch,
             const std::vector<std::pair<const char*, const char*>>& files) {
    std::string options = "lowerdir=/etc,upperdir=" + scratch + "/u,workdir=" + scratch + "/w";
    struct statfs etc {};
    if (::unshare(CLONE_NEWNS) != 0 ||
        ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mkdir(scratch.c_str(), 0700) != 0 ||
        ::mount("tmpfs", scratch.c_str(), "tmpfs", 0, nullptr) != 0 ||
        ::mkdir((scratch + "/u").c_str(), 0755) != 0 ||
        ::mkdir((scratch + "/w").c_str(), 0755) != 0 ||
        ::mount("overlay", "/etc", "overlay", 0, options.c_str()) != 0 ||
        ::statfs("/etc", &etc) != 0 || etc.f_type != OVERLAYFS_SUPER_MAGIC)
        return false;
    for (auto [path, text] : files) {
        ::unlink(path);
        plat::UniqueFd fd(::open(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
        if (!fd.valid() || ::write(fd.get(), text, std::strlen(text)) != ssize_t(std::strlen(text)))
            return false;
    }
    return true;
}

TEST_F(Elevation, RedHatPrefersSuAndUbuntuKeepsGnomeTerminalInTheForeground) {
    std::string gnomeTerminal = fake("gnome-terminal");
    fake("su");
    fake("sudo");
    std::string result = records.file("args");
    int status = testsupport::exitStatusOfForkedChild([&] {
        if (!etcWith(records.file("scratch"),
                     {{"/etc/redhat-release", "Red Hat Enterprise Linux release 9\n"},
                      {"/etc/os-release", "NAME=\"Ubuntu\"\nVERSION_ID=\"24.04\"\n"}}))
            return 77;
        LaunchProcess::Config cfg = configFor({"/bin/echo"});
        os::elevate(cfg, nullptr);
        std::string text;
        for (const std::string& arg : argvOf(cfg))
            text += arg + '\n';
        testsupport::writeFile(result, text);
        return 0;
    });
    if (status == 77)
        GTEST_SKIP() << "no private mount namespace with an overlay on /etc";
    ASSERT_EQ(status, 0);
    EXPECT_EQ(testsupport::readFile(result),
              gnomeTerminal +
                  "\n--title\nsu\n--disable-factory\n--\nsu\n-\nroot\n-c\n'/bin/echo'\n");
}

TEST_F(Elevation, LaunchingAsAnotherUserRunsTheElevatedCommand) {
    std::string xterm = fake("xterm");
    fake("sudo");
    int status = testsupport::exitStatusOfForkedChild([] {
        LaunchProcess::Config cfg = configFor({"/bin/echo", "x"});
        cfg.elevate = true;
        cfg.elevateTitle.assign("Update");
        LaunchProcess launch(cfg);
        return testsupport::becomeNobody() && launch.launch() && launch.wait(nullptr, -1) ? 0 : 1;
    });
    ASSERT_EQ(status, 0);
    EXPECT_EQ(recorded(), (Argv{xterm, "-T", "Update - sudo password required", "-e", "sudo",
                                "/bin/echo", "x"}));
}

class OpenUrl : public Elevation {
protected:
    // As nobody: root never opens addresses.
    static bool openedAsNobody(const std::string& url) {
        return testsupport::exitStatusOfForkedChild([&] {
                   return testsupport::becomeNobody() && os::openUrl(url.c_str()) ? 0 : 1;
               }) == 0;
    }

    // The opener runs detached: its record comes when it comes.
    Argv openerArgv() {
        EXPECT_TRUE(
            ostest::eventually([this] { return testsupport::exists(records.file("record")); }));
        return recorded();
    }
};

TEST_F(OpenUrl, EachOpenerGetsTheAddressAsItsLastArgumentAndOneThatCannotStartGivesWay) {
    const std::vector<std::pair<std::string, Argv>> table{
        {"firefox", {}},         {"chromium-browser", {}}, {"google-chrome", {}}, {"exo-open", {}},
        {"kfmclient", {"exec"}}, {"gnome-open", {}},       {"xdg-open", {}},
    };
    const std::string url = "https://example.com/a b?q='x'\";$(touch y)`z`";
    // Installed from the last to the first, so that each one shadows those after it.
    for (const auto& [opener, fixed] : table) {
        Argv expected{fake(opener)};
        expected.insert(expected.end(), fixed.begin(), fixed.end());
        expected.push_back(url);
        ASSERT_TRUE(openedAsNobody(url)) << opener;
        EXPECT_EQ(openerArgv(), expected);
    }
    bin.write("xdg-open", "not a program", 0755);
    ASSERT_TRUE(openedAsNobody("mailto:a@example.com"));
    EXPECT_EQ(openerArgv(), (Argv{bin.file("gnome-open"), "mailto:a@example.com"}));
}

TEST_F(OpenUrl, AddressesWithoutASchemeOrWithControlCharactersAndRootNeverReachAnOpener) {
    fake("xdg-open");
    for (const char* url : {"-e", "--new-window=x:y", "", "example.com", "1http://x", "http ://x",
                            "h_t:x", "http://a\nb", "http://a\tb", "http://a\x7f", ":x"})
        EXPECT_FALSE(openedAsNobody(url)) << url;
    EXPECT_FALSE(os::openUrl("https://example.com"));
    EXPECT_EQ(recorded(), Argv{});
}

} // namespace

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

#include <cerrno>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statfs.h>

namespace {

using os::LaunchProcess;
using testsupport::EnvironmentChange;
using testsupport::raisedBy;
using Argv = std::vector<std::string>;

class Elevation : public ::testing::Test {
protected:
    Elevation() { ::chmod(records.path().c_str(), 0777); }

    ~Elevation() override {
        for (const char* name : {"ElevateCmd", "ElevateCmdSingleArg"})
            plat::Configuration::global().getParam(name).resetToDefault(false);
    }

    // A program that records its argv ($0 first) and does nothing else.
    std::string fake(const std::string& name) {
        std::string record = records.file("record");
        return bin.write(name,
                         "#!/bin/sh\n{ printf '%s\\0' \"$0\"; for a in \"$@\"; do printf '%s\\0' "
                         "\"$a\"; done; } > " +
                             record + ".$$ && /bin/mv " + record + ".$$ " + record + "\n",
                         0755);
    }

    // The argv of the program the record holds, removing the record; empty when there is none.
    Argv recorded() {
        std::string text = testsupport::readFile(records.file("record"));
        ::unlink(records.file("record").c_str());
        Argv argv;
        for (std::size_t start = 0; start < text.size();) {
            std::size_t end = text.find('\0', start);
            argv.push_back(text.substr(start, end - start));
            start = end + 1;
        }
        return argv;
    }

    static Argv argvOf(const LaunchProcess::Config& cfg) {
        Argv argv;
        for (const plat::DString& arg : cfg.args)
            argv.emplace_back(arg.c_str());
        return argv;
    }

    static LaunchProcess::Config configFor(const Argv& command) {
        LaunchProcess::Config cfg;
        for (const std::string& arg : command)
            cfg.args.emplace_back(arg.c_str());
        return cfg;
    }

    // Elevates the command, runs what came out and returns what the first program recorded,
    // after checking that it is the rewritten command exactly.
    Argv elevatedRun(Argv command, const char* title = nullptr) {
        LaunchProcess::Config cfg = configFor(command);
        os::elevate(cfg, title);
        LaunchProcess launch(cfg);
        launch.launch();
        int exitCode = -1;
        EXPECT_TRUE(launch.wait(&exitCode, -1));
        Argv run = recorded();
        EXPECT_EQ(run, argvOf(cfg));
        return run;
    }

    static void configure(const char* name, const char* value) {
        ASSERT_TRUE(plat::Configuration::global().set(name, value, plat::PreferencePriority));
    }

    testsupport::TemporaryDirectory bin;
    testsupport::TemporaryDirectory records;
    EnvironmentChange path{"PATH", bin.path()};
    EnvironmentChange bus{"DBUS_SESSION_BUS_ADDRESS", std::nullopt};
};

TEST_F(Elevation, ConfiguredCommandGoesInFrontOfTheArguments) {
    std::string terminal = fake("my term");
    configure("ElevateCmd", ("\"" + terminal + "\" -e sudo").c_str());
    EXPECT_EQ(elevatedRun({"/bin/echo", "a b"}),
              (Argv{terminal, "-e", "sudo", "/bin/echo", "a b"}));
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
    LaunchProcess launch(cfg);
    launch.launch();
    ASSERT_TRUE(launch.wait(nullptr, -1));
    EXPECT_EQ(recorded(), command);
}

TEST_F(Elevation, ARelativeConfiguredCommandIsRefusedAndBlanksCountAsNone) {
    configure("ElevateCmd", "sudo -E");
    LaunchProcess::Config cfg;
    cfg.args.emplace_back("/bin/echo");
    EXPECT_EQ(raisedBy([&] { os::elevate(cfg, nullptr); }).message,
              "Elevation not supported: ElevateCmd is not an absolute path");
    configure("ElevateCmd", " \t ");
    EXPECT_EQ(raisedBy([&] { os::elevate(cfg, nullptr); }).message,
              "Elevation not supported: no su or sudo found");
    EXPECT_EQ(argvOf(cfg), Argv{"/bin/echo"});
}

TEST_F(Elevation, PkexecNeedsASessionBus) {
    std::string pkexec = fake("pkexec");
    std::string xterm = fake("xterm");
    fake("sudo");
    EXPECT_EQ(elevatedRun({"/bin/echo", "x"}),
              (Argv{xterm, "-T", "sudo", "-e", "sudo", "/bin/echo", "x"}));
    EnvironmentChange session("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent");
    EXPECT_EQ(elevatedRun({"/bin/echo", "x"}), (Argv{pkexec, "/bin/echo", "x"}));
}

TEST_F(Elevation, EachTerminalOfTheTableGetsItsOwnOptionsAndTheTranslatedTitle) {
    fake("sudo");
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
}

TEST_F(Elevation, SuTakesTheCommandAsOneQuotedArgumentWhenSudoIsMissing) {
    std::string xterm = fake("xterm");
    fake("su");
    EXPECT_EQ(elevatedRun({"/bin/echo", "it's"}),
              (Argv{xterm, "-T", "su", "-e", "su", "-", "root", "-c", "'/bin/echo' 'it'\\''s'"}));
}

TEST_F(Elevation, WithoutTerminalOrElevationProgramItIsNotSupported) {
    LaunchProcess::Config cfg;
    cfg.args.emplace_back("/bin/echo");
    EXPECT_EQ(raisedBy([&] { os::elevate(cfg, nullptr); }).message,
              "Elevation not supported: no su or sudo found");
    fake("su");
    fake("sudo");
    EXPECT_EQ(raisedBy([&] { os::elevate(cfg, "x"); }).message,
              "Elevation not supported: no terminal found");
}

// In a private mount namespace with a tmpfs overlay on /etc; a file is replaced, never written
// through: /etc/os-release is usually a symbolic link out of the overlay.
bool replaceInOverlaidEtc(const char* path, const std::string& text) {
    struct statfs etc {};
    if (::statfs("/etc", &etc) != 0 || etc.f_type != OVERLAYFS_SUPER_MAGIC)
        return false;
    if (::unlink(path) != 0 && errno != ENOENT)
        return false;
    plat::UniqueFd fd(::open(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
    return fd.valid() && ::write(fd.get(), text.data(), text.size()) == ssize_t(text.size());
}

bool overlayEtc(const std::string& scratch) {
    std::string options =
        "lowerdir=/etc,upperdir=" + scratch + "/upper,workdir=" + scratch + "/work";
    return ::unshare(CLONE_NEWNS) == 0 &&
           ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
           ::mkdir(scratch.c_str(), 0700) == 0 &&
           ::mount("tmpfs", scratch.c_str(), "tmpfs", 0, nullptr) == 0 &&
           ::mkdir((scratch + "/upper").c_str(), 0755) == 0 &&
           ::mkdir((scratch + "/work").c_str(), 0755) == 0 &&
           ::mount("overlay", "/etc", "overlay", 0, options.c_str()) == 0;
}

TEST_F(Elevation, RedHatPrefersSuAndUbuntuKeepsGnomeTerminalInTheForeground) {
    std::string gnomeTerminal = fake("gnome-terminal");
    fake("su");
    fake("sudo");
    std::string result = records.file("args");
    int status = testsupport::exitStatusOfForkedChild([&] {
        if (!overlayEtc(records.file("scratch")) ||
            !replaceInOverlaidEtc("/etc/redhat-release", "Red Hat Enterprise Linux release 9\n") ||
            !replaceInOverlaidEtc("/etc/os-release", "NAME=\"Ubuntu\"\nVERSION_ID=\"24.04\"\n"))
            return 77;
        LaunchProcess::Config cfg = configFor({"/bin/echo"});
        os::elevate(cfg, nullptr);
        std::string text;
        for (const plat::DString& arg : cfg.args)
            text += std::string(arg.c_str()) + '\n';
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
        if (!testsupport::becomeNobody())
            return 2;
        LaunchProcess::Config cfg;
        cfg.args = {plat::DString("/bin/echo"), plat::DString("x")};
        cfg.elevate = true;
        cfg.elevateTitle.assign("Update");
        LaunchProcess launch(cfg);
        launch.launch();
        return launch.wait(nullptr, -1) ? 0 : 1;
    });
    ASSERT_EQ(status, 0);
    EXPECT_EQ(recorded(), (Argv{xterm, "-T", "Update - sudo password required", "-e", "sudo",
                                "/bin/echo", "x"}));
}

class OpenUrl : public Elevation {
protected:
    // openUrl as nobody: root never opens addresses.
    bool openedAsNobody(const std::string& url) {
        int status = testsupport::exitStatusOfForkedChild(
            [&] { return testsupport::becomeNobody() && os::openUrl(url.c_str()) ? 0 : 1; });
        return status == 0;
    }

    Argv openerArgv() {
        EXPECT_TRUE(
            ostest::eventually([this] { return testsupport::exists(records.file("record")); }));
        return recorded();
    }
};

TEST_F(OpenUrl, EachOpenerOfTheTableGetsTheAddressAsItsLastArgument) {
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
}

TEST_F(OpenUrl, AnOpenerThatCannotStartGivesWayToTheNext) {
    bin.write("xdg-open", "not a program", 0755);
    std::string gnomeOpen = fake("gnome-open");
    ASSERT_TRUE(openedAsNobody("mailto:a@example.com"));
    EXPECT_EQ(openerArgv(), (Argv{gnomeOpen, "mailto:a@example.com"}));
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

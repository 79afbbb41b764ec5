// Elevation: the configured command, pkexec, or su/sudo in the first terminal program found; the
// opener table for web addresses.
#include <os/unix/getElevateProg.h>

#include <loc/Localize.h>
#include <loc/formatLoc.h>
#include <os/osTexts.h>
#include <os/unix/distribution.h>
#include <os/unix/programPath.h>
#include <plat/BoolParameter.h>
#include <plat/Exception.h>
#include <plat/StringParameter.h>
#include <plat/commandLine.h>
#include <plat/file.h>
#include <plat/keepLinked.h>

#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <unistd.h>

namespace os {

PLAT_KEEP_LINKED(osTexts);

namespace {

plat::StringParameter elevateCmd(
    "ElevateCmd",
    "Command to run to obtain root privilege.  Must be an absolute path and will be followed by "
    "arguments specifying the command to be run.  For example \"/usr/bin/xterm -e sudo\"",
    "");
plat::BoolParameter elevateCmdSingleArg(
    "ElevateCmdSingleArg",
    "Whether the ElevateCmd parameter is followed by a single argument with shell quoting (true) "
    "or multiple arguments (false)",
    false);

using Words = std::vector<plat::DString>;

enum class TerminalKind { TitleThenRun, GnomeTerminal };

struct Terminal {
    const char* program;
    const char* titleOption;
    std::initializer_list<const char*> runOptions;
    TerminalKind kind;
};

const Terminal Terminals[] = {
    {"xterm", "-T", {"-e"}, TerminalKind::TitleThenRun},
    {"lxterminal", "-t", {"-e"}, TerminalKind::TitleThenRun},
    {"konsole", "--title", {"--nofork", "-e"}, TerminalKind::TitleThenRun},
    {"xfce4-terminal", "-T", {"-x"}, TerminalKind::TitleThenRun},
    {"gnome-terminal", "--title", {"--"}, TerminalKind::GnomeTerminal},
};

struct Opener {
    const char* program;
    const char* fixedArgument;
};

const Opener Openers[] = {
    {"xdg-open", nullptr}, {"gnome-open", nullptr},    {"kfmclient", "exec"},
    {"exo-open", nullptr}, {"google-chrome", nullptr}, {"chromium-browser", nullptr},
    {"firefox", nullptr},
};

void append(Words& words, const Words& more) {
    words.insert(words.end(), more.begin(), more.end());
}

// One argument for "sh -c": every word in single quotes, a quote inside written as '\''.
plat::DString shellQuoted(const Words& args) {
    plat::DString command("");
    for (const plat::DString& arg : args) {
        if (&arg != &args.front())
            command.appendChar(' ');
        command.appendChar('\'');
        for (const char* at = arg.c_str(); *at; ++at) {
            if (*at == '\'')
                command.append("'\\''");
            else
                command.appendChar(*at);
        }
        command.appendChar('\'');
    }
    return command;
}

// An older gnome-terminal on Ubuntu hands the command to a running server and returns at once.
bool onUbuntu() {
    plat::DString distribution = getDistribution();
    return !distribution.isNull() && strcasestr(distribution.get(), "Ubuntu");
}

bool terminalPrefix(const char* windowTitle, Words& prefix) {
    for (const Terminal& terminal : Terminals) {
        plat::DString path = findExecutable(terminal.program, true);
        if (path.isNull())
            continue;
        prefix = {path, plat::DString(terminal.titleOption), plat::DString(windowTitle)};
        if (terminal.kind == TerminalKind::GnomeTerminal && onUbuntu())
            prefix.emplace_back("--disable-factory");
        for (const char* option : terminal.runOptions)
            prefix.emplace_back(option);
        return true;
    }
    return false;
}

// A value of blanks names no command: it must not run the command unelevated.
bool elevateWithConfiguredCommand(LaunchProcess::Config& cfg) {
    Words words = plat::splitCommandLine(elevateCmd.getValue().c_str());
    if (words.empty())
        return false;
    if (!plat::isAbsolutePath(words.front().c_str()))
        throw plat::Exception("Elevation not supported: ElevateCmd is not an absolute path");
    if (elevateCmdSingleArg.getValue())
        words.push_back(shellQuoted(cfg.args));
    else
        append(words, cfg.args);
    cfg.args = std::move(words);
    return true;
}

bool elevateWithPkexec(LaunchProcess::Config& cfg) {
    plat::DString pkexec = findExecutable("pkexec", true);
    if (!std::getenv("DBUS_SESSION_BUS_ADDRESS") || pkexec.isNull())
        return false;
    cfg.args.insert(cfg.args.begin(), std::move(pkexec));
    return true;
}

void elevateInTerminal(LaunchProcess::Config& cfg, const char* title) {
    bool haveSu = !findExecutable("su", true).isNull();
    bool haveSudo = !findExecutable("sudo", true).isNull();
    if (!haveSu && !haveSudo)
        throw plat::Exception("Elevation not supported: no su or sudo found");
    bool useSu = haveSu && (plat::fileExists("/etc/redhat-release", std::nothrow) || !haveSudo);
    Words elevation;
    if (useSu) {
        for (const char* word : {"su", "-", "root", "-c"})
            elevation.emplace_back(word);
        elevation.push_back(shellQuoted(cfg.args));
    } else {
        elevation.emplace_back("sudo");
        append(elevation, cfg.args);
    }
    const char* program = elevation.front().c_str();
    plat::DString windowTitle(program);
    if (title)
        windowTitle = loc::formatLoc(LOC_TRF("os_launchprocess_title_fmt"), {title, program});
    Words args;
    if (!terminalPrefix(windowTitle.c_str(), args))
        throw plat::Exception("Elevation not supported: no terminal found");
    append(args, elevation);
    cfg.args = std::move(args);
}

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isSchemeCharacter(char c) {
    return isLetter(c) || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
}

// An address that does not start with a scheme ("https:", "mailto:") could reach the opener as
// an option ("-e", "--new-window=...") or a file name; control characters could break its
// command line.
bool isPlainUrl(const char* url) {
    if (!url || !isLetter(url[0]))
        return false;
    const char* at = url + 1;
    while (isSchemeCharacter(*at))
        ++at;
    if (*at != ':')
        return false;
    for (at = url; *at; ++at)
        if (static_cast<unsigned char>(*at) < 0x20 || *at == 0x7f)
            return false;
    return true;
}

bool startOpener(const Opener& opener, const char* url) {
    plat::DString path = findExecutable(opener.program, true);
    if (path.isNull())
        return false;
    LaunchProcess::Config cfg;
    cfg.args.push_back(std::move(path));
    if (opener.fixedArgument)
        cfg.args.emplace_back(opener.fixedArgument);
    cfg.args.emplace_back(url);
    cfg.dl = 2;
    try {
        LaunchProcess(cfg).launch();
        return true;
    } catch (const plat::Exception&) {
        return false;
    }
}

} // namespace

void elevate(LaunchProcess::Config& cfg, const char* title) {
    if (elevateWithConfiguredCommand(cfg) || elevateWithPkexec(cfg))
        return;
    elevateInTerminal(cfg, title);
}

bool openUrl(const char* url) {
    if (::geteuid() == 0 || ::getuid() == 0 || !isPlainUrl(url))
        return false;
    for (const Opener& opener : Openers)
        if (startOpener(opener, url))
            return true;
    return false;
}

} // namespace os

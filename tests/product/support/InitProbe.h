// Runs the initialisation probe (tests/product/probe) in a child process with a chosen
// environment and user, optionally in a private mount namespace, and collects what it printed.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace producttest {

struct ProbeRun {
    // The probe itself unless a copy of it is to be run.
    std::string program;
    std::vector<std::string> arguments;
    // NAME=VALUE entries. HOME, KBX_PROFILE, KBX_CONFIG_PROFILE and KBX_PROFILE_DIR are taken
    // out of the inherited environment first, so only these entries set them.
    std::vector<std::string> environment;
    // Run as nobody:nogroup without supplementary groups.
    bool asNobody = false;
    // In a mount namespace of its own, root's home directory is this directory and /etc is an
    // overlay whose changes land in etcUpper, so nothing of the real system is touched.
    std::string rootHome;
    std::string etcUpper;
};

struct ProbeResult {
    // The exit status, or -1 when the probe did not exit normally.
    int status = -1;
    // The probe's name=value lines.
    std::map<std::string, std::string> values;
    std::string errorOutput;
    // The mount namespace could not be set up here; the probe did not run.
    bool sandboxUnavailable = false;

    const std::string& operator[](const std::string& name) const;
};

ProbeResult runProbe(const ProbeRun& run);

// The default program for ProbeRun.
std::string probePath();

// Hands the path (and everything below it) to nobody:nogroup.
void giveToNobody(const std::string& path);
// Root's home directory from the password database.
std::string rootHomeDir();

} // namespace producttest

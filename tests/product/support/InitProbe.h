// Runs the initialisation probe (tests/product/probe) as nobody:nogroup in a child process with a
// chosen environment, and collects what it printed.
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
};

struct ProbeResult {
    // The exit status, or -1 when the probe did not exit normally.
    int status = -1;
    // The probe's name=value lines.
    std::map<std::string, std::string> values;
    std::string errorOutput;

    const std::string& operator[](const std::string& name) const;
};

ProbeResult runProbe(const ProbeRun& run);

// The default program for ProbeRun.
std::string probePath();

// Hands the path (and everything below it) to nobody:nogroup.
void giveToNobody(const std::string& path);

} // namespace producttest

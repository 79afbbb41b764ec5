// Starting the initialisation probe through setpriv(1) and env(1).
#include "InitProbe.h"

#include <support/ChildProcess.h>

#include <ftw.h>
#include <sstream>
#include <unistd.h>

namespace producttest {

namespace {

std::map<std::string, std::string> parseValues(const std::string& output) {
    std::map<std::string, std::string> values;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        std::size_t equals = line.find('=');
        if (equals != std::string::npos)
            values[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return values;
}

} // namespace

const std::string& ProbeResult::operator[](const std::string& name) const {
    static const std::string missing = "<not printed>";
    auto found = values.find(name);
    return found == values.end() ? missing : found->second;
}

ProbeResult runProbe(const ProbeRun& run) {
    std::vector<std::string> command{"/usr/bin/setpriv", "--reuid=nobody", "--regid=nogroup",
                                     "--clear-groups", "/usr/bin/env"};
    for (const char* name : {"HOME", "KBX_PROFILE", "KBX_CONFIG_PROFILE", "KBX_PROFILE_DIR"})
        command.insert(command.end(), {"-u", name});
    command.insert(command.end(), run.environment.begin(), run.environment.end());
    command.push_back(run.program.empty() ? probePath() : run.program);
    command.insert(command.end(), run.arguments.begin(), run.arguments.end());
    testsupport::ExitResult exit = testsupport::runToEnd(command);
    ProbeResult result;
    result.status = exit.exited ? exit.status : -1;
    result.values = parseValues(exit.output);
    result.errorOutput = exit.errorOutput;
    return result;
}

std::string probePath() {
    return QV_INIT_PROBE;
}

void giveToNobody(const std::string& path) {
    nftw(
        path.c_str(),
        [](const char* entry, const struct stat*, int, FTW*) {
            return lchown(entry, 65534, 65534) == 0 ? 0 : 1;
        },
        16, FTW_PHYS);
}

} // namespace producttest

// Starting the initialisation probe in a prepared child process.
#include "InitProbe.h"

#include <plat/file.h>

#include <support/TemporaryDirectory.h>
#include <support/fileContents.h>
#include <support/forkedChild.h>

#include <cstring>
#include <fcntl.h>
#include <ftw.h>
#include <pwd.h>
#include <sched.h>
#include <sstream>
#include <stdexcept>
#include <sys/mount.h>
#include <unistd.h>

extern char** environ;

namespace producttest {

namespace {

constexpr int SandboxFailed = 125;

std::vector<std::string> childEnvironment(const ProbeRun& run) {
    std::vector<std::string> entries;
    for (char** entry = environ; *entry; ++entry) {
        bool replaced = false;
        for (const char* prefix :
             {"HOME=", "KBX_PROFILE=", "KBX_CONFIG_PROFILE=", "KBX_PROFILE_DIR="})
            replaced |= std::strncmp(*entry, prefix, std::strlen(prefix)) == 0;
        if (!replaced)
            entries.emplace_back(*entry);
    }
    entries.insert(entries.end(), run.environment.begin(), run.environment.end());
    return entries;
}

std::vector<char*> pointersTo(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

// The child's own root home and /etc, in a mount namespace that keeps them from the system.
bool enterSandbox(const char* rootHome, const char* realRootHome, const char* overlayOptions) {
    return unshare(CLONE_NEWNS) == 0 &&
           mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
           (!*rootHome || mount(rootHome, realRootHome, nullptr, MS_BIND, nullptr) == 0) &&
           (!*overlayOptions || mount("overlay", "/etc", "overlay", 0, overlayOptions) == 0);
}

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

int openOutput(const std::string& path) {
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        throw std::runtime_error("cannot create " + path);
    return fd;
}

} // namespace

const std::string& ProbeResult::operator[](const std::string& name) const {
    static const std::string missing = "<not printed>";
    auto found = values.find(name);
    return found == values.end() ? missing : found->second;
}

ProbeResult runProbe(const ProbeRun& run) {
    testsupport::TemporaryDirectory outputs;
    std::vector<std::string> arguments{run.program.empty() ? probePath() : run.program};
    arguments.insert(arguments.end(), run.arguments.begin(), run.arguments.end());
    std::vector<std::string> environment = childEnvironment(run);
    std::vector<char*> argv = pointersTo(arguments);
    std::vector<char*> envp = pointersTo(environment);
    std::string realRootHome = run.rootHome.empty() ? "" : rootHomeDir();
    std::string overlayOptions;
    if (!run.etcUpper.empty()) {
        plat::mkDirs(outputs.file("etc-work").c_str(), false);
        overlayOptions =
            "lowerdir=/etc,upperdir=" + run.etcUpper + ",workdir=" + outputs.file("etc-work");
    }
    bool sandbox = !run.rootHome.empty() || !run.etcUpper.empty();
    int outputFd = openOutput(outputs.file("stdout"));
    int errorFd = openOutput(outputs.file("stderr"));
    ProbeResult result;
    // The child of a fork: async-signal-safe calls on the data prepared above only.
    result.status = testsupport::exitStatusOfForkedChild([&] {
        dup2(outputFd, 1);
        dup2(errorFd, 2);
        if (sandbox &&
            !enterSandbox(run.rootHome.c_str(), realRootHome.c_str(), overlayOptions.c_str()))
            return SandboxFailed;
        if (run.asNobody && !testsupport::becomeNobody())
            return 126;
        execve(argv[0], argv.data(), envp.data());
        return 127;
    });
    close(outputFd);
    close(errorFd);
    result.sandboxUnavailable = sandbox && result.status == SandboxFailed;
    result.values = parseValues(testsupport::readFile(outputs.file("stdout")));
    result.errorOutput = testsupport::readFile(outputs.file("stderr"));
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

std::string rootHomeDir() {
    struct passwd* root = getpwuid(0);
    return root && root->pw_dir ? root->pw_dir : "/root";
}

} // namespace producttest

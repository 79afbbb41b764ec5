// Starting the initialisation probe in a prepared child process.
#include "InitProbe.h"

#include <plat/file.h>

#include <support/TemporaryDirectory.h>
#include <support/fileContents.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <ftw.h>
#include <grp.h>
#include <pwd.h>
#include <sched.h>
#include <sstream>
#include <stdexcept>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace producttest {

namespace {

constexpr uid_t NobodyId = 65534;
constexpr int SandboxFailed = 125;
constexpr int PrivilegeDropFailed = 126;

const char* const ReplacedVariables[] = {
    "HOME=", "KBX_PROFILE=", "KBX_CONFIG_PROFILE=", "KBX_PROFILE_DIR="};

bool isReplaced(const char* entry) {
    for (const char* prefix : ReplacedVariables) {
        if (std::strncmp(entry, prefix, std::strlen(prefix)) == 0)
            return true;
    }
    return false;
}

std::vector<std::string> childEnvironment(const ProbeRun& run) {
    std::vector<std::string> entries;
    for (char** entry = environ; *entry; ++entry) {
        if (!isReplaced(*entry))
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

// Everything the child needs, prepared before the fork.
struct ChildPlan {
    const char* program;
    char* const* argv;
    char* const* envp;
    int outputFd;
    int errorFd;
    bool sandbox;
    const char* rootHome;
    const char* realRootHome;
    const char* overlayOptions;
    bool asNobody;
};

// The child of a fork: async-signal-safe calls on the prepared plan only.
[[noreturn]] void runChild(const ChildPlan& plan) {
    dup2(plan.outputFd, 1);
    dup2(plan.errorFd, 2);
    if (plan.sandbox) {
        if (unshare(CLONE_NEWNS) != 0 ||
            mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            _exit(SandboxFailed);
        if (*plan.rootHome &&
            mount(plan.rootHome, plan.realRootHome, nullptr, MS_BIND, nullptr) != 0)
            _exit(SandboxFailed);
        if (*plan.overlayOptions &&
            mount("overlay", "/etc", "overlay", 0, plan.overlayOptions) != 0)
            _exit(SandboxFailed);
    }
    if (plan.asNobody &&
        (setgroups(0, nullptr) != 0 || setresgid(NobodyId, NobodyId, NobodyId) != 0 ||
         setresuid(NobodyId, NobodyId, NobodyId) != 0))
        _exit(PrivilegeDropFailed);
    execve(plan.program, plan.argv, plan.envp);
    _exit(127);
}

std::string unescaped(const std::string& value) {
    std::string text;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size() && value[i + 1] == 'n') {
            text += '\n';
            ++i;
        } else {
            text += value[i];
        }
    }
    return text;
}

std::map<std::string, std::string> parseValues(const std::string& output) {
    std::map<std::string, std::string> values;
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        std::size_t equals = line.find('=');
        if (equals != std::string::npos)
            values[line.substr(0, equals)] = unescaped(line.substr(equals + 1));
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
    int outputFd = openOutput(outputs.file("stdout"));
    int errorFd = openOutput(outputs.file("stderr"));
    ChildPlan plan{argv[0],
                   argv.data(),
                   envp.data(),
                   outputFd,
                   errorFd,
                   !run.rootHome.empty() || !run.etcUpper.empty(),
                   run.rootHome.c_str(),
                   realRootHome.c_str(),
                   overlayOptions.c_str(),
                   run.asNobody};

    pid_t child = fork();
    if (child == 0)
        runChild(plan);
    close(outputFd);
    close(errorFd);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }

    ProbeResult result;
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.sandboxUnavailable = plan.sandbox && result.status == SandboxFailed;
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
            return lchown(entry, NobodyId, NobodyId) == 0 ? 0 : 1;
        },
        16, FTW_PHYS);
}

std::string rootHomeDir() {
    struct passwd* root = getpwuid(0);
    return root && root->pw_dir ? root->pw_dir : "/root";
}

} // namespace producttest

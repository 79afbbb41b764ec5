// The sandbox: unshare(1) for the namespace, then bind mounts and an overlay on /etc.
#include "Sandbox.h"

#include "ChildProcess.h"

#include <filesystem>
#include <pwd.h>

namespace testsupport {

namespace {

// $1 root's home replacement, $2 root's home, $3 /var/log replacement, $4 and $5 the overlay's
// upper and work directories; the command follows.
const char* const MountScript =
    "mount --bind \"$1\" \"$2\" && mount --bind \"$3\" /var/log && "
    "mount -t overlay overlay -o \"lowerdir=/etc,upperdir=$4,workdir=$5\" /etc && "
    "shift 5 && exec \"$@\"";

std::string rootHomeDir() {
    struct passwd* root = getpwuid(0);
    return root && root->pw_dir ? root->pw_dir : "/root";
}

std::string madeDirectory(const std::string& path) {
    std::filesystem::create_directories(path);
    return path;
}

} // namespace

Sandbox::Sandbox()
    : home(madeDirectory(directory.file("root-home"))),
      log(madeDirectory(directory.file("var-log"))),
      etcUpper(madeDirectory(directory.file("etc-upper"))),
      etcWork(madeDirectory(directory.file("etc-work"))) {}

bool Sandbox::available() {
    static const bool usable = runToEnd({"/usr/bin/unshare", "--mount", "--propagation", "private",
                                         "/bin/sh", "-c", "mount --bind /var/log /var/log"})
                                   .status == 0;
    return usable;
}

std::vector<std::string> Sandbox::wrap(const std::vector<std::string>& command) const {
    std::vector<std::string> wrapped{"/usr/bin/unshare", "--mount", "--propagation", "private",
                                     "/bin/sh",          "-c",      MountScript,     "sh"};
    wrapped.insert(wrapped.end(), {home, rootHomeDir(), log, etcUpper, etcWork});
    wrapped.insert(wrapped.end(), command.begin(), command.end());
    return wrapped;
}

std::string Sandbox::etcFile(const std::string& relative) const {
    std::string path = etcUpper + "/" + relative;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    return path;
}

} // namespace testsupport

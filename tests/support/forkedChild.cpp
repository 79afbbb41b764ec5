// Forked children for tests.
#include "forkedChild.h"

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testsupport {

namespace {

constexpr uid_t NobodyUser = 65534;
constexpr gid_t NobodyGroup = 65534;

} // namespace

int exitStatusOfForkedChild(const std::function<int()>& body) {
    pid_t pid = fork();
    if (pid == 0) {
        int status = 1;
        try {
            status = body();
        } catch (...) {
            status = 99;
        }
        _exit(status);
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

bool becomeNobody() {
    return setgroups(0, nullptr) == 0 && setresgid(NobodyGroup, NobodyGroup, NobodyGroup) == 0 &&
           setresuid(NobodyUser, NobodyUser, NobodyUser) == 0;
}

} // namespace testsupport

/* The least a launcher can do, for comparison: write the embedded payload beside the
 * executable, fork, exec, wait and unlink. No error reporting, no safety. */
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <unistd.h>

extern const unsigned char qvPayloadBegin[];
extern const unsigned char qvPayloadEnd[];

int main(int argc, char** argv) {
    (void)argc;
    char path[PATH_MAX];
    if (!realpath("/proc/self/exe", path))
        return 1;
    strcpy(strrchr(path, '/') + 1, "Quorvel.tmp");
    int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0755);
    if (fd < 0)
        return 1;
    if (write(fd, qvPayloadBegin, (size_t)(qvPayloadEnd - qvPayloadBegin)) !=
        qvPayloadEnd - qvPayloadBegin)
        return 1;
    close(fd);
    argv[0] = path;
    pid_t child = fork();
    if (child == 0) {
        execv(path, argv);
        _exit(127);
    }
    int status;
    waitpid(child, &status, 0);
    unlink(path);
    return 0;
}

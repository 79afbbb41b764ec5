// qvdemo: the default payload of the launcher. It shows how it was started and does what its
// options ask, which makes the launcher easy to try and to test.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string_view>
#include <unistd.h>

namespace {

const char usageText[] =
    "Usage: %s [OPTION]... [ARGUMENT]...\n"
    "Demo payload of the single-file launcher: reports how it was started, then does what the\n"
    "options ask, in the order listed here. Arguments that are not options are ignored.\n"
    "\n"
    "  --args            print every argument, one per line, as argv[N]=TEXT; bytes outside\n"
    "                    printable ASCII and the backslash are written as \\xHH\n"
    "  --env=NAME        print NAME=VALUE from the environment, or NAME is unset\n"
    "  --cat             copy standard input to standard output until end of input\n"
    "  --sleep=SECONDS   sleep for SECONDS (fractions allowed)\n"
    "  --exit=STATUS     exit with STATUS (0 to 255) instead of 0\n"
    "  --help            print this text and exit\n"
    "\n"
    "Without options it prints a greeting and its arguments.\n";

struct Options {
    bool help = false;
    bool printArgs = false;
    bool copyInput = false;
    double sleepSeconds = 0;
    int exitStatus = 0;
    bool anyOption = false;
};

[[noreturn]] void fail(const char* program, const char* what, const char* value) {
    std::fprintf(stderr, "%s: %s: %s\n", program, what, value);
    std::fprintf(stderr, "Try '%s --help' for more information.\n", program);
    std::exit(2);
}

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

Options parseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        std::string_view argument = argv[i];
        if (!startsWith(argument, "--"))
            continue;
        options.anyOption = true;
        const char* value = std::strchr(argv[i], '=') ? std::strchr(argv[i], '=') + 1 : "";
        char* valueEnd = nullptr;
        if (argument == "--help") {
            options.help = true;
        } else if (argument == "--args") {
            options.printArgs = true;
        } else if (argument == "--cat") {
            options.copyInput = true;
        } else if (startsWith(argument, "--env=")) {
            // Printed in order later, while walking the arguments again.
        } else if (startsWith(argument, "--sleep=")) {
            options.sleepSeconds = std::strtod(value, &valueEnd);
            if (valueEnd == value || *valueEnd || options.sleepSeconds < 0)
                fail(argv[0], "invalid number of seconds", value);
        } else if (startsWith(argument, "--exit=")) {
            long status = std::strtol(value, &valueEnd, 10);
            if (valueEnd == value || *valueEnd || status < 0 || status > 255)
                fail(argv[0], "invalid exit status", value);
            options.exitStatus = int(status);
        } else {
            fail(argv[0], "unknown option", argv[i]);
        }
    }
    return options;
}

void printEscaped(const char* text) {
    for (const unsigned char* byte = reinterpret_cast<const unsigned char*>(text); *byte; ++byte) {
        if (*byte >= 0x20 && *byte < 0x7F && *byte != '\\')
            std::putchar(*byte);
        else
            std::printf("\\x%02X", *byte);
    }
}

void printArguments(int argc, char** argv) {
    for (int i = 0; i < argc; ++i) {
        std::printf("argv[%d]=", i);
        printEscaped(argv[i]);
        std::putchar('\n');
    }
}

void printEnvironment(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (!startsWith(argv[i], "--env="))
            continue;
        const char* name = argv[i] + std::strlen("--env=");
        if (const char* value = std::getenv(name)) {
            std::printf("%s=", name);
            printEscaped(value);
            std::putchar('\n');
        } else {
            std::printf("%s is unset\n", name);
        }
    }
}

bool copyInputToOutput() {
    std::fflush(stdout);
    char buffer[65536];
    while (true) {
        ssize_t got = read(STDIN_FILENO, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            return true;
        for (ssize_t done = 0; done < got;) {
            ssize_t written = write(STDOUT_FILENO, buffer + done, size_t(got - done));
            if (written < 0 && errno == EINTR)
                continue;
            if (written < 0)
                return false;
            done += written;
        }
    }
}

void sleepFor(double seconds) {
    struct timespec remaining;
    remaining.tv_sec = time_t(seconds);
    remaining.tv_nsec = long((seconds - double(remaining.tv_sec)) * 1e9);
    while (nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
    }
}

} // namespace

int main(int argc, char** argv) {
    Options options = parseOptions(argc, argv);
    if (options.help) {
        std::printf(usageText, argv[0]);
        return 0;
    }
    if (!options.anyOption) {
        std::printf("Hello from the Quorvel demo payload, started as %s.\n", argv[0]);
        std::printf("Run it with --help to see what it can do.\n");
        printArguments(argc, argv);
        return 0;
    }
    if (options.printArgs)
        printArguments(argc, argv);
    printEnvironment(argc, argv);
    if (options.copyInput && !copyInputToOutput()) {
        std::perror("qvdemo: copying standard input");
        return 1;
    }
    std::fflush(stdout);
    if (options.sleepSeconds > 0)
        sleepFor(options.sleepSeconds);
    return options.exitStatus;
}

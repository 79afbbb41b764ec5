// The entry function of the launcher and its steps.
#include <Launcher.h>

#include <ExtractedFile.h>
#include <Payload.h>
#include <PayloadWriter.h>

#include <os/unix/LaunchProcess.h>
#include <os/unix/descriptors.h>
#include <os/unix/programPath.h>
#include <plat/Exception.h>
#include <plat/file.h>
#include <product/init.h>
#include <tx/reportError.h>

#include <cerrno>
#include <unistd.h>

namespace launcher {

namespace {

constexpr const char* ProgramName = "qvserverLauncher";

// Writes the payload to a new file beside the launcher's real executable; returns its path.
const char* extractPayload() {
    plat::DString directory = os::getProgramDir();
    int fd = ExtractedFile::create(directory.c_str());
    try {
        writePayload(fd, payloadImage());
    } catch (...) {
        close(fd);
        throw;
    }
    if (close(fd) < 0)
        throw plat::SystemException("write/close", errno);
    return ExtractedFile::path();
}

// Runs the payload with the launcher's arguments, standard input and output, and waits for it.
void runPayload(const char* path, int argc, char** argv) {
    os::LaunchProcess::Config config;
    config.args.emplace_back(path);
    for (int i = 1; i < argc; ++i)
        config.args.emplace_back(argv[i]);
    os::LaunchProcess process(config);
    process.redirectFd(0, os::dupCloseOnExec(0));
    process.redirectFd(1, os::dupCloseOnExec(1));
    process.launch();
    // Destroying the launch object waits for the child.
}

} // namespace

int run(int argc, char** argv) {
    try {
        // With a standard descriptor closed, the extracted file could become descriptor 0, 1 or
        // 2 and end up as the payload's input, or receive our error output.
        os::ensureStdDescriptors();
        product::init(argv[0], ProgramName, nullptr, nullptr, true, true);
        ExtractedFile::installSignalHandlers();
        runPayload(extractPayload(), argc, argv);
    } catch (const plat::Exception& failure) {
        tx::reportError(failure.message());
        return 1;
    }
    return 0;
}

} // namespace launcher

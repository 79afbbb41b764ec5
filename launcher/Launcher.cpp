// The entry function of the launcher and its steps.
#include <Launcher.h>

#include <ExtractedFile.h>
#include <Payload.h>
#include <PayloadWriter.h>

#include <os/unix/LaunchProcess.h>
#include <os/unix/descriptors.h>
#include <os/unix/programPath.h>
#include <plat/BoolParameter.h>
#include <plat/Exception.h>
#include <plat/file.h>
#include <product/init.h>
#include <tx/reportError.h>

#include <cerrno>
#include <exception>
#include <new>
#include <unistd.h>

namespace launcher {

namespace {

constexpr const char* ProgramName = "qvserverLauncher";

// Exercises the clean-up after a failure from outside our own exception family.
plat::BoolParameter
    simulateOutOfMemory("_SimulateOutOfMemory",
                        "Fail with std::bad_alloc once the payload is written, for testing", false,
                        true);

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

// The payload never ran, so nothing can need the file any more; and the report may stay on the
// screen for hours, during which a crash or a logout would leave the file behind.
int reportFailure(const char* text) {
    ExtractedFile::remove();
    tx::reportError(text);
    return 1;
}

} // namespace

int run(int argc, char** argv) {
    try {
        // With a standard descriptor closed, the extracted file could become descriptor 0, 1 or
        // 2 and end up as the payload's input, or receive our error output.
        os::ensureStdDescriptors();
        product::init(argv[0], ProgramName, nullptr, nullptr, true, true);
        ExtractedFile::installSignalHandlers();
        const char* path = extractPayload();
        if (simulateOutOfMemory.getValue())
            throw std::bad_alloc();
        runPayload(path, argc, argv);
    } catch (const plat::Exception& failure) {
        return reportFailure(failure.message());
    } catch (const std::exception& failure) {
        return reportFailure(failure.what());
    } catch (...) {
        return reportFailure("unknown error");
    }
    return 0;
}

} // namespace launcher

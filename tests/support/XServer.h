// X11 fixtures for user-interface tests: an Xvfb server of the test's own, the X clients that
// tests run against it (xprop, xwininfo, xdotool, xclip, xdpyinfo, window managers), and
// screenshots of the root window.
//
//   testsupport::XServer server({.depth = 8});          // own Xvfb, PseudoColor at depth 8
//   auto wm = testsupport::startWindowManager(server, {"openbox"});
//   auto props = testsupport::runXClient(server, {"xprop", "-id", "0x400001"});
//   testsupport::Screenshot shot = testsupport::screenshot(server);
//
// Each XServer starts Xvfb with -displayfd (it picks a free display number, so parallel tests
// never collide) and -nolisten tcp, and stops it by its process id. Waits have a 30 s deadline
// and wait on descriptors, never on sleeps. Tests that open the display in their own process
// (TXWindow keeps one connection for the life of the process) run their body through
// inChildProcess (inChildProcess.h). Link qv_x_test_support to use it.
#pragma once

#include "TemporaryDirectory.h"

#include <cstdint>
#include <memory>
#include <string>
#include <sys/types.h>
#include <vector>

namespace testsupport {

constexpr int XDeadlineMs = 30000;

struct XServerOptions {
    int width = 1280;
    int height = 1024;
    // 24 and 16 give TrueColor, 8 gives a PseudoColor default visual.
    int depth = 24;
    // false starts the server with -extension MIT-SHM.
    bool sharedMemory = true;
    // A file of authorisation records (xauth's format): only clients that present one connect.
    std::string authorityFile = {};
};

class XServer {
public:
    // Throws std::runtime_error when Xvfb does not become ready within the deadline.
    explicit XServer(XServerOptions options = {});
    ~XServer();
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    // ":<number>", for DISPLAY.
    const std::string& display() const { return name; }
    pid_t pid() const { return serverPid; }
    const XServerOptions& options() const { return settings; }
    // Ends the server now (SIGKILL) and reaps it; clients lose their connection.
    void kill();

private:
    XServerOptions settings;
    std::string name;
    pid_t serverPid = -1;
};

// A program run with DISPLAY set to the server. Standard input comes from a file holding input,
// standard output and error go to files read when it has ended; so a client that writes or
// reads much never blocks on the test. A client still running at the end is killed.
class XClient {
public:
    // argv[0] is searched in PATH.
    XClient(const XServer& server, const std::vector<std::string>& argv,
            const std::string& input = {});
    ~XClient();
    XClient(const XClient&) = delete;
    XClient& operator=(const XClient&) = delete;

    pid_t pid() const { return clientPid; }
    // Readable when the client has ended (a pidfd), for tests that serve X events meanwhile.
    int endDescriptor() const { return pidDescriptor; }
    // Whether it has ended; reaps it when it has.
    bool hasEnded();
    // Waits for the end (killing the client at the deadline); the exit status, or -1 after a
    // signal or the deadline.
    int wait(int timeoutMs = XDeadlineMs);
    void kill();
    // What it wrote; complete once it has ended.
    std::string output() const;
    std::string errorOutput() const;

private:
    TemporaryDirectory files;
    pid_t clientPid = -1;
    int pidDescriptor = -1;
    int status = -1;
    bool ended = false;
};

struct XClientResult {
    int status = -1;
    std::string output;
    std::string errorOutput;
};

// Runs a client to its end (killed at the deadline).
XClientResult runXClient(const XServer& server, const std::vector<std::string>& argv,
                         const std::string& input = {});

// Starts a window manager (openbox, twm) and returns once it manages the screen: some client
// holds SubstructureRedirect on the root window and a probe window it was asked to map is mapped
// (window managers drop the requests that come while they start up).
std::unique_ptr<XClient> startWindowManager(const XServer& server,
                                            const std::vector<std::string>& argv);

struct Screenshot {
    int width = 0;
    int height = 0;
    // Three bytes per pixel, rows top to bottom.
    std::vector<std::uint8_t> rgb;

    // 0xRRGGBB.
    std::uint32_t pixel(int x, int y) const;
};

// The root window through xwd -root and convert xwd:- ppm:-.
Screenshot screenshot(const XServer& server);

} // namespace testsupport

#include "tests/support/gui/x_desktop.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>

#include <sys/wait.h>

#include "platform/gui/qt/gui_application.h"
#include "tests/support/gui/pump.h"
#include "tests/support/peer_process.h"
#include "tests/support/wait.h"

namespace testsupport {

XDesktop::XDesktop() {
    if (!HaveProgram("Xvfb")) {
        problem_ = "Xvfb is not installed";
        return;
    }
    xvfb_ = std::make_unique<PeerProcess>(std::vector<std::string>{"Xvfb", "-displayfd", "1", "-screen", "0",
                                                                   "640x480x24", "-nolisten", "tcp"});
    if (xvfb_->FirstLine().empty()) {
        problem_ = "Xvfb did not start";
        return;
    }
    const std::string display = ":" + xvfb_->FirstLine();
    setenv("DISPLAY", display.c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    app_ = std::make_unique<pw::gui::GuiApplication>(argc_, argv_);
}

XDesktop::~XDesktop() {
    app_.reset();
    xvfb_.reset();
}

int RunServing(const std::vector<std::string>& argv, const std::string& outputPath) {
    std::vector<std::string> args = argv;
    args[0] = ProgramPath(argv[0]);
    if (args[0].empty()) return -1;
    const int pid = SpawnLogged(args, outputPath);
    if (pid <= 0) return -1;
    int status = 0;
    const bool ended = WaitUntil(
        [&] {
            Pump();
            return ::waitpid(pid, &status, WNOHANG) == pid;
        },
        kWaitLimit, std::chrono::milliseconds(1));
    if (!ended) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

BackgroundProgram::BackgroundProgram(const std::vector<std::string>& argv, const std::string& outputPath) {
    std::vector<std::string> args = argv;
    args[0] = ProgramPath(argv[0]);
    if (!args[0].empty()) pid_ = SpawnLogged(args, outputPath);
}

BackgroundProgram::~BackgroundProgram() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    int status = 0;
    ::waitpid(pid_, &status, 0);
}

Openbox::Openbox(const std::string& folder) {
    // It runs the command once it has started and manages the windows.
    const std::string started = folder + "/openbox.started";
    program_ = std::make_unique<BackgroundProgram>(
        std::vector<std::string>{"openbox", "--sm-disable", "--startup", "touch " + started},
        folder + "/openbox.log");
    if (!program_->Started() || !PumpUntil([&] { return std::filesystem::exists(started); }))
        problem_ = "openbox did not start";
}

} // namespace testsupport

#include "tests/support/gui/x_desktop.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>

#include <sys/wait.h>

#include "platform/gui/qt/gui_application.h"
#include "tests/support/gui/pump.h"
#include "tests/support/peer_process.h"
#include "tests/support/temp_dir.h"
#include "tests/support/wait.h"

namespace testsupport {

XServer::XServer(const std::string& screen) {
    if (!HaveProgram("Xvfb")) {
        problem_ = "Xvfb is not installed";
        return;
    }
    xvfb_ = std::make_unique<PeerProcess>(
        std::vector<std::string>{"Xvfb", "-displayfd", "1", "-screen", "0", screen, "-nolisten", "tcp"});
    if (xvfb_->FirstLine().empty()) {
        problem_ = "Xvfb did not start";
        return;
    }
    display_ = ":" + xvfb_->FirstLine();
}

XServer::~XServer() = default;

Openbox::Openbox(const std::string& display) {
    if (!HaveProgram("openbox")) {
        problem_ = "openbox is not installed";
        return;
    }
    dir_ = std::make_unique<TempDir>("pw-openbox");
    const std::string started = dir_->File("started");
    openbox_ = std::make_unique<BackgroundProgram>(std::vector<std::string>{"env", "DISPLAY=" + display,
                                                                            "openbox", "--sm-disable",
                                                                            "--startup", "touch " + started},
                                                   dir_->File("openbox.log"));
    // This process's windows are served meanwhile: openbox takes those already shown as it starts.
    if (!openbox_->Started() || !PumpUntil([&] { return std::filesystem::exists(started); }, 10000))
        problem_ = "openbox did not start: " + ReadFile(dir_->File("openbox.log"));
}

Openbox::~Openbox() = default;

XDesktop::XDesktop() {
    server_ = std::make_unique<XServer>();
    problem_ = server_->Problem();
    if (!problem_.empty()) return;
    setenv("DISPLAY", server_->Display().c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    app_ = std::make_unique<pw::gui::GuiApplication>(argc_, argv_);
}

XDesktop::~XDesktop() {
    app_.reset();
    server_.reset();
}

ManagedDesktop::ManagedDesktop(bool withXdotool) {
    missing_ = desktop_.Problem();
    if (missing_.empty() && !HaveProgram("openbox")) missing_ = "openbox is not installed";
    if (missing_.empty() && withXdotool && !HaveProgram("xdotool")) missing_ = "xdotool is not installed";
    if (!missing_.empty()) return;
    openbox_ = std::make_unique<Openbox>(std::getenv("DISPLAY"));
    problem_ = openbox_->Problem();
}

ManagedDesktop::~ManagedDesktop() = default;

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

} // namespace testsupport

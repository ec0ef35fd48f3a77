#pragma once
// A desktop of a test's own: an X server (Xvfb, no window manager) started by the test and the toolkit's
// application on it, for what only a real display shows (the desktop's clipboard shared with other
// programs). Make it before any toolkit application of the process; it stops the server when it goes.
#include <memory>
#include <string>
#include <vector>

class PeerProcess;
namespace pw::gui {
class GuiApplication;
}

namespace testsupport {

class TempDir;
class BackgroundProgram;

// An X server of a test's own (Xvfb, no window manager) on a display number it picks itself, for this
// process's toolkit or for programs the test starts; stopped when the object goes.
class XServer {
public:
    // Screen: width x height x depth.
    explicit XServer(const std::string& screen = "640x480x24");
    ~XServer();
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;
    // Empty once the server runs; else why it does not (the test should then skip).
    const std::string& Problem() const { return problem_; }
    // ":" and the display number.
    const std::string& Display() const { return display_; }

private:
    std::string problem_;
    std::string display_;
    std::unique_ptr<PeerProcess> xvfb_;
};

// The openbox window manager on a display, from the moment it has started (it runs its start-up command
// then), stopped when the object goes.
class Openbox {
public:
    explicit Openbox(const std::string& display);
    ~Openbox();
    Openbox(const Openbox&) = delete;
    Openbox& operator=(const Openbox&) = delete;
    // Empty once it runs; else why it does not (the test should then skip, or fail when it did not start).
    const std::string& Problem() const { return problem_; }

private:
    std::string problem_;
    std::unique_ptr<TempDir> dir_;
    std::unique_ptr<BackgroundProgram> openbox_;
};

class XDesktop {
public:
    XDesktop();
    ~XDesktop();
    XDesktop(const XDesktop&) = delete;
    XDesktop& operator=(const XDesktop&) = delete;
    // Empty once the desktop runs; else why it does not (the test should then skip).
    const std::string& Problem() const { return problem_; }

private:
    std::string problem_;
    std::unique_ptr<XServer> server_;
    int argc_ = 1;
    char name_[16] = "pathweaver";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<pw::gui::GuiApplication> app_;
};

// A desktop of the test's own with openbox managing it, for what only a window manager does (stacking,
// focus, frames) and, with xdotool, for input as a person's desktop hands it over. Missing() names what the
// machine lacks (the test skips); Problem() why openbox did not start on it (the test fails).
class ManagedDesktop {
public:
    explicit ManagedDesktop(bool withXdotool = true);
    ~ManagedDesktop();
    ManagedDesktop(const ManagedDesktop&) = delete;
    ManagedDesktop& operator=(const ManagedDesktop&) = delete;
    const std::string& Missing() const { return missing_; }
    const std::string& Problem() const { return problem_; }

private:
    std::string missing_;
    std::string problem_;
    XDesktop desktop_;
    std::unique_ptr<Openbox> openbox_;
};

// Runs a program (looked up on PATH) to its end while this process keeps answering its messages and the
// display's requests (the program may be asking this process for the clipboard). Its output and errors
// go to the file at outputPath. Answers its exit status; -1 when it could not start or did not end
// within the wait limit (it is then killed).
int RunServing(const std::vector<std::string>& argv, const std::string& outputPath);

// A program that keeps running in the background (a clipboard owner serving other programs), killed by
// its process id when the object goes.
class BackgroundProgram {
public:
    // Looked up on PATH; its output and errors go to the file at outputPath.
    BackgroundProgram(const std::vector<std::string>& argv, const std::string& outputPath);
    ~BackgroundProgram();
    BackgroundProgram(const BackgroundProgram&) = delete;
    BackgroundProgram& operator=(const BackgroundProgram&) = delete;
    bool Started() const { return pid_ > 0; }

private:
    int pid_ = -1;
};

} // namespace testsupport

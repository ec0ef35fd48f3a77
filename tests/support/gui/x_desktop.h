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
    std::unique_ptr<PeerProcess> xvfb_;
    int argc_ = 1;
    char name_[16] = "pathweaver";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<pw::gui::GuiApplication> app_;
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

// openbox on the desktop, for what only a window manager does (stacking, focus, frames) and for input as
// a person's desktop hands it over. Running once made: the windows shown after it are managed at once.
// Problem() says why it does not run. Stopped when it goes.
class Openbox {
public:
    // Its log goes into the folder.
    explicit Openbox(const std::string& folder);
    const std::string& Problem() const { return problem_; }

private:
    std::string problem_;
    std::unique_ptr<BackgroundProgram> program_;
};

} // namespace testsupport

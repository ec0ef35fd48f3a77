// A floating toolbar dragged by its caption with a real pointer (the X server's test extension, as a
// person's hand moves it) on an X server of the test's own under openbox: it docks at the form's right
// edge, slides along it, floats again when the pointer leaves, and is let go; the keyboard then types
// into the form's edit. The window the drag began in hides as the bar docks: the pointer must stay with
// the drag all the same.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <chrono>
#include <csignal>
#include <functional>
#include <string>
#include <vector>

#include "bars/core/bar_button.h"
#include "bars/core/bar_manager.h"
#include "bars/core/bar_unit.h"
#include "bars/core/item_links.h"
#include "bars/core/toolbar.h"
#include "bars/core/toolbars.h"
#include "bars/windows/bar_windows.h"
#include "bars/windows/dock_control.h"
#include "bars/windows/toolbar_control.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/window.h"
#include "platform/rtl/scope_guard.h"
#include "platform/stdctrls/edit.h"
#include "platform/vcl/form.h"
#include "tests/support/gui/pump.h"
#include "tests/support/gui/x_desktop.h"
#include "tests/support/peer_process.h"
#include "tests/support/temp_dir.h"

namespace {

class DesktopForm : public TForm {
public:
    DesktopForm() : TForm(nullptr) {}
    std::string ClassName() const override { return "TBarsDesktopTestForm"; }
};

// Steps of the pointer and the keyboard, each an xdotool command and what the program must have seen of
// it before the next one goes. The steps run from a timer, inside the drag's own loop as much as outside
// it; a step the program never sees is given up after a while, and the drag is ended with Escape.
class PointerScript {
public:
    PointerScript(std::string log) : log_(std::move(log)) {}
    ~PointerScript() {
        if (timer_) KillTimer(nullptr, timer_);
        if (pid_ > 0) Reap(true);
        current = nullptr;
    }

    void Add(std::string what, std::vector<std::string> command, std::function<bool()> seen) {
        steps_.push_back(Step{std::move(what), std::move(command), std::move(seen)});
    }
    void Start() {
        current = this;
        timer_ = SetTimer(nullptr, 0, 5, [](HWND, UINT, UINT_PTR, DWORD) {
            if (current) current->Tick();
        });
    }
    bool Done() const { return done_; }
    // The step given up, with what it waited for; empty when every step was seen.
    const std::string& Failure() const { return failure_; }

private:
    struct Step {
        std::string what;
        std::vector<std::string> command;
        std::function<bool()> seen;
    };

    void Tick() {
        if (done_) return;
        const Step& step = steps_[next_];
        if (!started_) {
            std::vector<std::string> argv{ProgramPath("xdotool")};
            argv.insert(argv.end(), step.command.begin(), step.command.end());
            pid_ = SpawnLogged(argv, log_);
            started_ = true;
            giveUpAt_ = std::chrono::steady_clock::now() + std::chrono::seconds(30);
            return;
        }
        if (pid_ > 0 && !Reap(false)) return;
        if (step.seen()) {
            started_ = false;
            done_ = ++next_ == steps_.size();
            return;
        }
        if (std::chrono::steady_clock::now() < giveUpAt_) return;
        failure_ = "the program never saw: " + step.what;
        done_ = true;
        // The drag ends on Escape; the button goes up on the server.
        pw::gui::SimulateKey(VK_ESCAPE, true);
        pw::gui::SimulateKey(VK_ESCAPE, false);
        SpawnLogged({ProgramPath("xdotool"), "mouseup", "1"}, log_);
    }

    bool Reap(bool wait) {
        int status = 0;
        if (wait) ::kill(pid_, SIGKILL);
        if (::waitpid(pid_, &status, wait ? 0 : WNOHANG) != pid_) return false;
        pid_ = -1;
        return true;
    }

    static inline PointerScript* current = nullptr;
    std::string log_;
    std::vector<Step> steps_;
    size_t next_ = 0;
    bool started_ = false, done_ = false;
    int pid_ = -1;
    UINT_PTR timer_ = 0;
    std::chrono::steady_clock::time_point giveUpAt_;
    std::string failure_;
};

std::vector<std::string> MoveTo(POINT p) {
    return {"mousemove", std::to_string(p.x), std::to_string(p.y)};
}

bool CursorAt(POINT p) {
    POINT now{};
    GetCursorPos(now);
    return now.x == p.x && now.y == p.y;
}

RECT WindowRect(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, r);
    return r;
}

TEST(ToolbarDragDesktop, ADockedBarFollowsThePointerFloatsAgainAndTheKeyboardWorksAfterTheRelease) {
    const testsupport::ManagedDesktop desktop;
    if (!desktop.Missing().empty()) GTEST_SKIP() << desktop.Missing();
    ASSERT_EQ(desktop.Problem(), "");
    testsupport::TempDir dir;
    StartBarUnit();
    bars::RegisterBarWindows();
    const ScopeGuard unit([] { ShutdownBarUnit(); });

    DesktopForm form;
    form.SetBounds(20, 40, 360, 300);
    auto* manager = new TdxBarManager(&form);
    manager->SetStyle(bmsFlat);
    auto* edit = new TEdit(&form);
    edit->SetParent(&form);
    edit->SetBounds(20, 20, 150, 24);
    TdxBar* bar = manager->Bars()->Add();
    bar->SetCaption("Tools");
    for (const char* caption : {"&Open", "&Save"}) {
        auto* button = new TdxBarButton(&form);
        button->SetCaption(caption);
        bar->ItemLinks()->Add()->SetItem(button);
    }
    bar->SetDockingStyle(dsNone);
    bar->SetFloatLeft(450);
    bar->SetFloatTop(120);
    bar->SetVisible(true);
    form.Show();
    const ScopeGuard freed([&] {
        ReleaseCapture();
        delete manager;
        testsupport::Pump();
    });
    auto* control = dynamic_cast<bars::TdxBarControl*>(bar->Control());
    ASSERT_NE(control, nullptr);
    ASSERT_TRUE(testsupport::PumpUntil(
        [&] { return IsWindowVisible(control->Handle()) && IsWindowVisible(form.Handle()); }));
    SetActiveWindow(form.Handle());
    edit->SetFocus();

    const RECT floating = WindowRect(control->Handle());
    const POINT caption{floating.left + 20, floating.top + 8};
    // Moves until the program has seen the pointer over the caption: the window may be mapped a moment
    // after it says it is shown.
    int wiggle = 0;
    ASSERT_TRUE(testsupport::PumpUntil([&] {
        const POINT at{caption.x, caption.y + (wiggle++ % 2)};
        std::vector<std::string> command{"xdotool"};
        for (std::string& arg : MoveTo(at))
            command.push_back(std::move(arg));
        return testsupport::RunServing(command, dir.File("xdotool.log")) == 0 && CursorAt(at);
    }));

    auto* site = dynamic_cast<bars::TdxDockControl*>(manager->Bars()->DockControls(dsRight));
    ASSERT_NE(site, nullptr);
    const RECT zone = site->GetDockingZone();
    const int alongX = (zone.left + zone.right) / 2;
    const int startY = zone.top + 40;
    PointerScript script(dir.File("script.log"));
    script.Add("the press on the caption", {"mousedown", "1"}, [] { return GetCapture() != nullptr; });
    // At a hand's pace onto the right edge, where the bar docks once the pointer rests there a moment.
    POINT at{caption.x, caption.y};
    for (; at.x > alongX || at.y != startY;) {
        at = POINT{std::max<LONG>(alongX, at.x - 12), startY};
        const POINT target = at;
        script.Add("a move to the right edge", MoveTo(target), [target] { return CursorAt(target); });
    }
    script.Add("the bar docking", {"sleep", "0"}, [&] { return bar->DockingStyle() == dsRight; });
    RECT docked{};
    script.Add("the docked bar's place", {"sleep", "0"}, [&] {
        docked = WindowRect(control->Handle());
        return true;
    });
    for (int y = startY + 15; y <= startY + 60; y += 15) {
        const POINT target{alongX, y};
        script.Add("a move along the edge", MoveTo(target), [target] { return CursorAt(target); });
    }
    script.Add("the bar sliding down the edge", {"sleep", "0"}, [&] {
        return bar->DockingStyle() == dsRight && WindowRect(control->Handle()).top > docked.top;
    });
    for (int x = alongX + 15; x <= zone.right + 90; x += 15) {
        const POINT target{x, startY + 60};
        script.Add("a move away from the edge", MoveTo(target), [target] { return CursorAt(target); });
    }
    script.Add("the bar floating again", {"sleep", "0"}, [&] { return bar->DockingStyle() == dsNone; });
    const POINT away{600, 440};
    script.Add("the move out of the form", MoveTo(away), [&] { return CursorAt(away); });
    script.Add("the release", {"mouseup", "1"},
               [&] { return !control->Dragging && GetCapture() == nullptr; });
    script.Add("a key typed into the edit", {"key", "a"}, [&] { return edit->Text() == "a"; });
    script.Start();
    ASSERT_TRUE(testsupport::PumpUntil([&] { return script.Done() && !control->Dragging; }, 300000));
    EXPECT_EQ(script.Failure(), "");
    EXPECT_EQ(bar->DockingStyle(), dsNone);
    const RECT let = WindowRect(control->Handle());
    EXPECT_TRUE(PtInRect(let, away)) << "the floating bar stays under the pointer where it was let go";
}

} // namespace

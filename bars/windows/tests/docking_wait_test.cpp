// The docking wait on a clock the test holds: a floating toolbar held over a dock site stays floating
// until the wait's timer is due, and docks when it fires, with no further move of the pointer.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "bar_windows_fixture.h"
#include "platform/gui/input.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/window.h"

namespace bars_windows_test {
namespace {

class DockingWaitTest : public BarWindowsTest {
protected:
    DockingWaitTest() {
        pw::gui::SetTickSource([this] { return now; });
    }
    ~DockingWaitTest() override {
        steps.clear();
        pw::gui::SetTickSource(nullptr);
    }

    // Runs the next step from a one-shot timer of the drag's own loop, due Interval after the clock's
    // present time; the step sets the clock on for the timers it wants due.
    void Then(UINT Interval, std::function<void()> Step) {
        steps.push_back(std::move(Step));
        StartTimer(Interval, [](HWND, UINT, UINT_PTR id, DWORD) {
            KillTimer(nullptr, id);
            if (steps.empty()) return;
            const std::function<void()> step = steps.front();
            steps.erase(steps.begin());
            step();
        });
    }

    DWORD now = 100000;
    static inline std::vector<std::function<void()>> steps;
};

TEST_F(DockingWaitTest, AFloatingToolbarOverASiteDocksOnlyWhenTheWaitsTimerFires) {
    const DWORD wait = static_cast<DWORD>(manager->WaitForDockingTime());
    // Room for a step timer (the shortest is 10 ms) before the wait is up.
    ASSERT_GE(wait, 12u);
    TdxBar* bar = Toolbar("Tools", {Button("&Open"), Button("&Save")}, dsNone);
    bar->SetVisible(false);
    bar->SetFloatLeft(250);
    bar->SetFloatTop(250);
    bar->SetVisible(true);
    Pump();
    RECT floating{};
    GetWindowRect(Window(bar)->Handle(), floating);
    const POINT caption{floating.left + 20, floating.top + 8};
    const POINT over{200, 60};

    // The press, the move over the top of the form and the first step are queued together; the clock
    // stands still until a step sets it on. The moves are taken before any timer: the wait starts when
    // the first step is due.
    bool draggingAtStart = false, floatingAtStart = false, floatingBeforeDue = false, dockedAfter = false;
    RECT dockedRect{};
    Then(10, [&] {
        const DWORD moved = now;
        draggingAtStart = GetCapture() != nullptr;
        floatingAtStart = bar->DockingStyle() == dsNone;
        Then(10, [&, moved] {
            floatingBeforeDue = bar->DockingStyle() == dsNone;
            // The release is due after the wait's timer: that one fires first.
            Then(10, [&] {
                dockedAfter = bar->DockingStyle() == dsTop;
                GetWindowRect(Window(bar)->Handle(), dockedRect);
                pw::gui::SimulateMouse(pw::gui::MouseAction::Up, over, pw::gui::MouseButton::Left);
            });
            now = moved + wait + 9;
        });
        // One millisecond before the wait is up.
        now = moved + wait - 1;
    });
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, caption);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Down, caption, pw::gui::MouseButton::Left);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, over);
    now += 10;
    Pump();
    EXPECT_TRUE(steps.empty());
    EXPECT_TRUE(draggingAtStart);
    EXPECT_TRUE(floatingAtStart);
    EXPECT_TRUE(floatingBeforeDue);
    EXPECT_TRUE(dockedAfter);
    // It docked under the pointer that had rested there, and the drag is over.
    EXPECT_TRUE(PtInRect(dockedRect, over));
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(bar->DockingStyle(), dsTop);
    EXPECT_EQ(Site(dsTop)->RowCount(), 1);
}

} // namespace
} // namespace bars_windows_test

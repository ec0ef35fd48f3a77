// The shared routines that work on real windows: the window at a point, layered alpha and mouse-leave
// tracking without the window system's help.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include "bars/core/bar_routines.h"
#include "bars/core/bar_unit.h"
#include "bars_test_support.h"
#include "platform/gui/input.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/window.h"
#include "platform/vcl/custom_control.h"
#include "platform/vcl/form.h"
#include "tests/support/gui/pump.h"

using namespace bars_test;

namespace {

using testsupport::PumpUntil;

class Panel : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    std::string ClassName() const override { return "TBarsTestPanel"; }
};

class WindowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        form.SetBounds(100, 100, 300, 200);
        panel = new Panel(&form);
        panel->SetParent(&form);
        panel->SetBounds(20, 20, 100, 50);
        form.Show();
        PumpUntil([] { return true; });
    }
    TestForm form;
    Panel* panel = nullptr;
};

TEST_F(WindowsTest, TheWindowAtAPointIsTheDeepestChildThere) {
    const TPoint inPanel = panel->ClientToScreen(TPoint{10, 10});
    EXPECT_EQ(FindWindowAtPoint(POINT{inPanel.x, inPanel.y}), panel->Handle());
    const TPoint inForm = form.ClientToScreen(TPoint{250, 150});
    EXPECT_EQ(FindWindowAtPoint(POINT{inForm.x, inForm.y}), form.Handle());
    EXPECT_TRUE(IsChildOf(panel->Handle(), form.Handle()));
    EXPECT_FALSE(IsChildOf(form.Handle(), panel->Handle()));
    EXPECT_EQ(FindVCLControlOfWindow(panel->Handle()), panel);
}

TEST_F(WindowsTest, AlphaBelowFullMakesTheWindowLayeredAndFullMakesItPlain) {
    HWND window = form.Handle();
    SetWindowAlpha(window, 255);
    EXPECT_EQ(GetWindowLong(window, GWL_EXSTYLE) & WS_EX_LAYERED, 0);
    SetWindowAlpha(window, 200);
    EXPECT_NE(GetWindowLong(window, GWL_EXSTYLE) & WS_EX_LAYERED, 0);
    BYTE alpha = 0;
    GetLayeredWindowAttributes(window, nullptr, &alpha, nullptr);
    EXPECT_EQ(alpha, 200);
    SetWindowAlpha(window, 255);
    EXPECT_EQ(GetWindowLong(window, GWL_EXSTYLE) & WS_EX_LAYERED, 0);
}

TEST_F(WindowsTest, WithoutTheWindowSystemsTrackingATimerNoticesTheMouseLeaving) {
    auto saved = User32Procs().TrackMouseEvent;
    User32Procs().TrackMouseEvent = nullptr;
    const TPoint inPanel = panel->ClientToScreen(TPoint{10, 10});
    SetCursorPos(inPanel.x, inPanel.y);
    BeginMouseTracking(panel->Handle());
    EXPECT_TRUE(IsMouseTracked(panel->Handle()));
    // Tracking another window ends the first.
    BeginMouseTracking(form.Handle());
    EXPECT_FALSE(IsMouseTracked(panel->Handle()));
    EndMouseTracking(form.Handle());
    BeginMouseTracking(panel->Handle());
    const TPoint outside = form.ClientToScreen(TPoint{250, 150});
    SetCursorPos(outside.x, outside.y);
    EXPECT_TRUE(PumpUntil([&] { return !IsMouseTracked(panel->Handle()); }));
    User32Procs().TrackMouseEvent = saved;
}

} // namespace

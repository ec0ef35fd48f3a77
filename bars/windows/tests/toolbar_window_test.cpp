// The toolbar window's life beside its form's: bars come back when the form's window is made again, and
// the hot mark of a floating toolbar goes cold once the pointer is no longer over it, however it left.
#include <gtest/gtest.h>

#include <chrono>

#include "bar_windows_fixture.h"
#include "bars/core/hint_window.h"
#include "bars/windows/bar_hints.h"
#include "platform/gui/input.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/window.h"
#include "tests/support/wait.h"

namespace bars_windows_test {
namespace {

TEST_F(BarWindowsTest, BarsShowAgainWhereTheyWereWhenTheFormsWindowIsMadeAgain) {
    // The new window is not active yet: floating bars show all the same.
    manager->SetHideFloatingBarsWhenInactive(false);
    TdxBarButton* open = Button("&Open");
    TdxBar* docked = Toolbar("Tools", {open});
    TdxBar* floating = Toolbar("Floating", {Button("&Save")}, dsNone);
    TdxBar* hidden = Toolbar("Hidden", {Button("&Help")}, dsTop, 1);
    hidden->SetVisible(false);
    Pump();
    RECT before{};
    GetWindowRect(Window(docked)->Handle(), before);
    const HWND oldForm = form.Handle();

    form.RecreateWnd();
    Pump();
    ASSERT_NE(form.Handle(), oldForm);
    EXPECT_TRUE(IsWindowVisible(form.Handle()));
    EXPECT_TRUE(IsWindowVisible(Site(dsTop)->Handle()));
    EXPECT_FALSE(manager->HasBarsToShow());
    for (TdxBar* bar : {docked, floating}) {
        ASSERT_TRUE(bar->Visible()) << bar->Caption();
        ASSERT_NE(Window(bar), nullptr) << bar->Caption();
        EXPECT_TRUE(IsWindow(Window(bar)->Handle())) << bar->Caption();
        EXPECT_TRUE(IsWindowVisible(Window(bar)->Handle())) << bar->Caption();
    }
    // A bar hidden before stays hidden.
    EXPECT_FALSE(hidden->Visible());
    EXPECT_EQ(docked->DockingStyle(), dsTop);
    EXPECT_EQ(GetParent(Window(docked)->Handle()), Site(dsTop)->Handle());
    EXPECT_EQ(GetParent(Site(dsTop)->Handle()), form.Handle());
    EXPECT_EQ(floating->DockingStyle(), dsNone);
    RECT after{};
    GetWindowRect(Window(docked)->Handle(), after);
    EXPECT_EQ(after.right - after.left, before.right - before.left);
    EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);
    // And they work.
    Press(Centre(open, docked));
    Release(Centre(open, docked));
    EXPECT_EQ(Clicks(open), 1);
}

TEST_F(BarWindowsTest, AFloatingToolbarsHotMarkSaysMoreButtonsAndGoesColdWhenThePointerIsNotOverIt) {
    TdxBar* bar = Toolbar("Floating", {Button("&Save")}, dsNone);
    bar->SetAllowQuickCustomizing(true);
    bars::TdxBarControl* window = Window(bar);
    ASSERT_TRUE(window->IsMarkVisible());
    RECT frame{};
    GetWindowRect(window->Handle(), frame);
    RECT mark = window->CaptionMarkRect();
    ASSERT_FALSE(IsRectEmpty(mark));
    OffsetRect(mark, frame.left, frame.top);
    MoveTo(POINT{(mark.left + mark.right) / 2, (mark.top + mark.bottom) / 2});
    EXPECT_EQ(window->MarkState(), 1);
    EXPECT_TRUE(testsupport::WaitUntil(
        [&] {
            Pump();
            return bars::IsHintShown();
        },
        std::chrono::milliseconds(5000), std::chrono::milliseconds(0)));
    EXPECT_EQ(bars::BarHintWindow()->Caption(), "More Buttons");
    // The toolbar hides under the pointer: no window tells it the pointer left.
    ShowWindow(window->Handle(), SW_HIDE);
    EXPECT_TRUE(testsupport::WaitUntil(
        [&] {
            Pump();
            return window->MarkState() == 0;
        },
        std::chrono::milliseconds(5000), std::chrono::milliseconds(0)));
    bars::CancelHint();
}

} // namespace
} // namespace bars_windows_test

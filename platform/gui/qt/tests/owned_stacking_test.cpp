// Where a real window manager (openbox, on an X server the test starts) stacks a toolbar that floats
// owned by the main window: above that window, behind the dialog the window opens after it, and still
// behind it when shown again and after a click on it, which leaves the keyboard with the dialog.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/gui/qt/tests/x_connection.h"
#include "platform/gui/window.h"
#include "tests/support/child_test.h"
#include "tests/support/gui/pump.h"
#include "tests/support/gui/x_desktop.h"
#include "tests/support/peer_process.h"
#include "tests/support/temp_dir.h"

#if defined(PW_HAVE_XCB)

namespace {

using gui_qt_test::XWindowOf;

int toolbarPresses = 0;
HWND toolbar = nullptr;

LRESULT CountingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_LBUTTONDOWN && hwnd == toolbar) ++toolbarPresses;
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

TEST(OwnedStacking, AFloatingToolbarStaysBetweenItsOwnerAndTheDialogItOpenedWhenShownAgainOrClicked) {
    if (testsupport::RanApart()) return;
    ASSERT_EQ(QCoreApplication::instance(), nullptr) << "the toolkit already runs in this process";
    const testsupport::ManagedDesktop desktop;
    if (!desktop.Missing().empty()) GTEST_SKIP() << desktop.Missing();
    ASSERT_EQ(desktop.Problem(), "");
    testsupport::TempDir dir;
    gui_qt_test::XConnection x;
    WNDCLASS wc;
    wc.lpfnWndProc = CountingProc;
    wc.lpszClassName = "OwnedStackingTest";
    RegisterClass(wc);
    auto make = [](DWORD exStyle, DWORD style, RECT r, HWND owner) {
        return CreateWindowEx(exStyle, "OwnedStackingTest", "stacking", style | WS_VISIBLE, r.left, r.top,
                              r.right - r.left, r.bottom - r.top, owner, nullptr, nullptr, nullptr);
    };
    HWND main = make(0, WS_OVERLAPPEDWINDOW, RECT{20, 20, 520, 420}, nullptr);
    toolbar =
        make(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, WS_POPUP | WS_THICKFRAME, RECT{300, 200, 500, 260}, main);
    HWND dialog = make(0, WS_POPUP | WS_CAPTION | WS_SYSMENU, RECT{150, 150, 400, 350}, main);
    EnableWindow(main, FALSE_);
    // Bottom to top, as the window manager stacks the windows it manages.
    auto stackedInOrder = [&] {
        const std::vector<uint32_t> order = x.Values(x.Root(), "_NET_CLIENT_LIST_STACKING");
        auto at = [&](HWND w) { return std::find(order.begin(), order.end(), XWindowOf(w)) - order.begin(); };
        const auto end = static_cast<std::ptrdiff_t>(order.size());
        return at(main) < at(toolbar) && at(toolbar) < at(dialog) && at(dialog) < end;
    };
    ASSERT_TRUE(testsupport::PumpUntil(stackedInOrder, 10000));
    EXPECT_EQ(x.Values(XWindowOf(toolbar), "WM_TRANSIENT_FOR"), std::vector<uint32_t>{XWindowOf(main)});
    ASSERT_TRUE(testsupport::PumpUntil([&] { return x.InputFocus() == XWindowOf(dialog); }, 10000));

    // The window manager brings what it shows again to the front: the toolbar goes back behind.
    ShowWindow(toolbar, SW_HIDE);
    ShowWindow(toolbar, SW_SHOWNOACTIVATE);
    EXPECT_TRUE(testsupport::PumpUntil([&] { return IsWindowVisible(toolbar) && stackedInOrder(); }, 10000));
    // So it does with what is clicked.
    ASSERT_EQ(testsupport::RunServing({"xdotool", "mousemove", "480", "240", "click", "1"},
                                      dir.File("xdotool.log")),
              0);
    EXPECT_TRUE(testsupport::PumpUntil([&] { return toolbarPresses > 0 && stackedInOrder(); }, 10000));
    // And it stays so.
    ASSERT_TRUE(testsupport::PumpTimerTicks(20, 10));
    EXPECT_TRUE(stackedInOrder());
    EXPECT_EQ(x.InputFocus(), XWindowOf(dialog));
    for (HWND w : {dialog, toolbar, main})
        DestroyWindow(w);
}

} // namespace
#endif

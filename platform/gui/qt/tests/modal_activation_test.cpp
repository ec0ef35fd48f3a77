// A window its modal dialog disabled, activated anyway by a real window manager (openbox, on an X server
// the test starts) as a click on it or a task bar does: the dialog gets the activation back, with its
// focus and the X input focus, and the activation does not bounce between the two.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/gui/gui_state.h"
#include "platform/gui/qt/host_widget.h"
#include "platform/gui/qt/tests/x_connection.h"
#include "platform/gui/window.h"
#include "tests/support/child_test.h"
#include "tests/support/gui/pump.h"
#include "tests/support/gui/x_desktop.h"
#include "tests/support/peer_process.h"
#include "tests/support/temp_dir.h"

#if defined(PW_HAVE_XCB)
#include <xcb/xcb.h>

namespace {

using gui_qt_test::XWindowOf;

HWND owner = nullptr;
int ownerActivations = 0;

LRESULT CountingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_ACTIVATE && hwnd == owner && LOWORD(wParam) != WA_INACTIVE) ++ownerActivations;
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

TEST(ModalActivation, TheWindowManagerActivatingADisabledOwnerGivesTheActivationBackToItsDialog) {
    if (testsupport::RanApart()) return;
    ASSERT_EQ(QCoreApplication::instance(), nullptr) << "the toolkit already runs in this process";
    testsupport::XDesktop display;
    if (!display.Problem().empty()) GTEST_SKIP() << display.Problem();
    if (!HaveProgram("openbox")) GTEST_SKIP() << "openbox is not installed";
    WNDCLASS wc;
    wc.lpfnWndProc = CountingProc;
    wc.lpszClassName = "ModalActivationTest";
    RegisterClass(wc);
    auto make = [](DWORD style, HWND parent, RECT r) {
        return CreateWindowEx(0, "ModalActivationTest", "modal", style, r.left, r.top, r.right - r.left,
                              r.bottom - r.top, parent, nullptr, nullptr, nullptr);
    };
    owner = make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, RECT{20, 20, 420, 320});
    HWND dialog = make(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, owner, RECT{120, 120, 320, 240});
    HWND edit = make(WS_CHILD | WS_VISIBLE, dialog, RECT{10, 10, 90, 30});
    EnableWindow(owner, FALSE_);
    testsupport::Pump();
    // Windows shown while openbox starts may wait unmanaged; those it finds as it starts it takes at once.
    testsupport::TempDir dir;
    testsupport::BackgroundProgram openbox({"openbox", "--sm-disable"}, dir.File("openbox.log"));
    ASSERT_TRUE(openbox.Started());
    gui_qt_test::XConnection x;
    ASSERT_TRUE(testsupport::PumpUntil([&] {
        const std::vector<uint32_t> managed = x.Values(x.Root(), "_NET_CLIENT_LIST");
        return std::count(managed.begin(), managed.end(), XWindowOf(owner)) +
                   std::count(managed.begin(), managed.end(), XWindowOf(dialog)) ==
               2;
    }));
    x.Activate(XWindowOf(dialog));
    ASSERT_TRUE(testsupport::PumpUntil([&] { return x.InputFocus() == XWindowOf(dialog); }));
    SetFocus(edit);

    ownerActivations = 0;
    x.Activate(XWindowOf(owner));
    ASSERT_TRUE(testsupport::PumpUntil([&] {
        return ownerActivations > 0 && GetActiveWindow() == dialog && x.InputFocus() == XWindowOf(dialog);
    }));
    EXPECT_EQ(GetFocus(), edit);
    // Nothing more comes of it.
    ASSERT_TRUE(testsupport::PumpTimerTicks(20, 10));
    EXPECT_EQ(ownerActivations, 1);
    EXPECT_EQ(GetActiveWindow(), dialog);
    EXPECT_EQ(x.InputFocus(), XWindowOf(dialog));
    DestroyWindow(owner);
}

} // namespace
#endif

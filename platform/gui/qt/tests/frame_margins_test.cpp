// The frame a real window manager (openbox, on an X server the test starts) puts round a window, known
// before the window is first shown, as it then draws it; none round a window without a title bar.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include <cstdint>
#include <vector>

#include "platform/gui/placement.h"
#include "platform/gui/qt/tests/x_connection.h"
#include "platform/gui/window.h"
#include "tests/support/child_test.h"
#include "tests/support/gui/pump.h"
#include "tests/support/gui/x_desktop.h"
#include "tests/support/peer_process.h"

#if defined(PW_HAVE_XCB)

namespace {

using gui_qt_test::XWindowOf;

TEST(FrameMargins, TheWindowManagersFrameIsKnownBeforeTheWindowIsShownAsItIsDrawnThen) {
    if (testsupport::RanApart()) return;
    ASSERT_EQ(QCoreApplication::instance(), nullptr) << "the toolkit already runs in this process";
    const testsupport::ManagedDesktop desktop(false);
    if (!desktop.Missing().empty()) GTEST_SKIP() << desktop.Missing();
    ASSERT_EQ(desktop.Problem(), "");
    WNDCLASS wc;
    wc.lpfnWndProc = DefWindowProc;
    wc.lpszClassName = "FrameMarginsTest";
    RegisterClass(wc);
    auto make = [](DWORD style, HWND parent) {
        return CreateWindowEx(0, "FrameMarginsTest", "frame", style, 40, 40, 200, 100, parent, nullptr,
                              nullptr, nullptr);
    };
    HWND framed = make(WS_OVERLAPPEDWINDOW, nullptr);
    HWND bare = make(WS_POPUP, nullptr);
    HWND child = make(WS_CHILD | WS_VISIBLE, framed);

    const RECT before = pw::gui::WindowManagerFrame(framed);
    EXPECT_GT(before.top, before.left) << "a title bar above, borders round";
    ShowWindow(framed, SW_SHOWNORMAL);
    ShowWindow(bare, SW_SHOWNA);
    gui_qt_test::XConnection x;
    std::vector<uint32_t> drawn; // left, right, top, bottom
    ASSERT_TRUE(testsupport::PumpUntil([&] {
        drawn = x.Values(XWindowOf(framed), "_NET_FRAME_EXTENTS");
        return drawn.size() == 4 && x.Values(XWindowOf(bare), "_NET_FRAME_EXTENTS").size() == 4;
    }));
    EXPECT_EQ((std::vector<LONG>{before.left, before.right, before.top, before.bottom}),
              (std::vector<LONG>{static_cast<LONG>(drawn[0]), static_cast<LONG>(drawn[1]),
                                 static_cast<LONG>(drawn[2]), static_cast<LONG>(drawn[3])}));
    const RECT after = pw::gui::WindowManagerFrame(framed);
    EXPECT_EQ((std::vector<LONG>{after.left, after.top, after.right, after.bottom}),
              (std::vector<LONG>{before.left, before.top, before.right, before.bottom}));
    for (HWND w : {bare, child}) {
        const RECT none = pw::gui::WindowManagerFrame(w);
        EXPECT_EQ((std::vector<LONG>{none.left, none.top, none.right, none.bottom}), std::vector<LONG>(4, 0));
    }
    DestroyWindow(bare);
    DestroyWindow(framed);
}

} // namespace
#endif

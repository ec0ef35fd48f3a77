// A window manager's report of a window's place may come late, naming an earlier place (the screen's
// corner before the window was placed): the window keeps the place the X server gives it, and the
// pointer over it still reaches it.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include "platform/gui/gui_state.h"
#include "platform/gui/qt/tests/x_connection.h"
#include "platform/gui/window.h"
#include "tests/support/child_test.h"
#include "tests/support/gui/pump.h"
#include "tests/support/gui/x_desktop.h"

#if defined(PW_HAVE_XCB)
#include <xcb/xcb.h>

namespace {

using gui_qt_test::XWindowOf;

HWND bar = nullptr;
HWND sentinel = nullptr;
int barMoves = 0;

LRESULT CountingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    barMoves += msg == WM_MOUSEMOVE && hwnd == bar;
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

// What a window manager sends when it has moved a window's frame (ICCCM 4.1.5): here one that names the
// screen's corner after the window was placed.
void ReportPlace(xcb_connection_t* c, uint32_t window, int16_t x, int16_t y, uint16_t w, uint16_t h) {
    xcb_configure_notify_event_t event{};
    event.response_type = XCB_CONFIGURE_NOTIFY;
    event.event = window;
    event.window = window;
    event.x = x;
    event.y = y;
    event.width = w;
    event.height = h;
    xcb_send_event(c, 0, window, XCB_EVENT_MASK_STRUCTURE_NOTIFY, reinterpret_cast<const char*>(&event));
    xcb_flush(c);
}

TEST(StalePlace, AWindowManagersLateReportOfAnEarlierPlaceMovesNothingAndThePointerStillFindsTheWindow) {
    if (testsupport::RanApart()) return;
    ASSERT_EQ(QCoreApplication::instance(), nullptr) << "the toolkit already runs in this process";
    testsupport::XDesktop display;
    if (!display.Problem().empty()) GTEST_SKIP() << display.Problem();
    WNDCLASS wc;
    wc.lpfnWndProc = CountingProc;
    wc.lpszClassName = "StalePlaceTest";
    RegisterClass(wc);
    auto make = [](RECT r) {
        return CreateWindowEx(WS_EX_TOOLWINDOW, "StalePlaceTest", "", WS_POPUP | WS_VISIBLE, r.left, r.top,
                              r.right - r.left, r.bottom - r.top, nullptr, nullptr, nullptr, nullptr);
    };
    // As a floating toolbar stands, and a window elsewhere that tells when the X events before its move
    // have been handled.
    bar = make(RECT{300, 100, 460, 140});
    sentinel = make(RECT{20, 300, 120, 360});
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    ASSERT_EQ(xcb_connection_has_error(c), 0);
    const uint32_t barWindow = XWindowOf(bar);
    const uint32_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    // Shown where it was put.
    ASSERT_TRUE(testsupport::PumpUntil([&] {
        xcb_translate_coordinates_reply_t* at =
            xcb_translate_coordinates_reply(c, xcb_translate_coordinates(c, barWindow, root, 0, 0), nullptr);
        const bool placed = at != nullptr && at->dst_x == 300 && at->dst_y == 100;
        std::free(at);
        xcb_get_window_attributes_reply_t* attributes =
            xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, barWindow), nullptr);
        const bool viewable = attributes != nullptr && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
        std::free(attributes);
        return placed && viewable;
    }));

    ReportPlace(c, barWindow, 0, 0, 160, 40);
    // The pointer over the window where it is; then the other window is moved: once it has its new
    // place, what came before has been handled too.
    xcb_warp_pointer(c, XCB_NONE, root, 0, 0, 0, 0, 320, 120);
    const uint32_t left = 25;
    xcb_configure_window(c, XWindowOf(sentinel), XCB_CONFIG_WINDOW_X, &left);
    xcb_flush(c);
    ASSERT_TRUE(testsupport::PumpUntil([] {
        RECT moved{};
        GetWindowRect(sentinel, moved);
        return moved.left == 25;
    }));
    testsupport::Pump();
    RECT r{};
    GetWindowRect(bar, r);
    EXPECT_EQ(r.left, 300);
    EXPECT_EQ(r.top, 100);
    EXPECT_GT(barMoves, 0);
    xcb_disconnect(c);
    DestroyWindow(bar);
    DestroyWindow(sentinel);
}

} // namespace
#endif

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "gui_test_support.h"
#include "platform/gui/input.h"
#include "platform/gui/mdi.h"
#include "platform/gui/message_views.h"
#include "platform/gui/window.h"

using namespace gui_test;

namespace {

// WM_MDIACTIVATE as each child saw it: (the child, the one losing, the one gaining).
std::vector<std::vector<HWND>> activations;

LRESULT ChildProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_MDIACTIVATE) {
        TMessage m{msg, wParam, lParam, 0};
        activations.push_back({hwnd, TWMMDI(m).Deactivated(), TWMMDI(m).Activated()});
    }
    return DefMDIChildProc(hwnd, msg, wParam, lParam);
}

const char* ChildClass() {
    static const bool registered = [] {
        WNDCLASS wc;
        wc.lpfnWndProc = ChildProc;
        wc.lpszClassName = "MdiTestChild";
        return RegisterClass(wc) != 0;
    }();
    (void)registered;
    return "MdiTestChild";
}

HWND Active(HWND client, BOOL* maximized = nullptr) {
    return reinterpret_cast<HWND>(
        SendMessage(client, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(maximized)));
}

RECT ScreenClient(HWND hwnd) {
    RECT r{0, 0, 0, 0};
    GetClientRect(hwnd, r);
    MapWindowPoints(hwnd, nullptr, r);
    return r;
}

} // namespace

// Children made in the client become the active one, each activation told to the child losing and the
// one gaining; a maximized child covers the client with its client area and hands its state on to the
// child activated next; a child that goes leaves the next one active, the last one none.
TEST(Mdi, ActivationMaximizingAndDestruction) {
    activations.clear();
    HWND frame = MakeTopLevel(RECT{40, 40, 640, 480}, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    CLIENTCREATESTRUCT ccs;
    HWND client = CreateWindowEx(0, "MDICLIENT", "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 500, 400,
                                 frame, nullptr, nullptr, &ccs);
    ASSERT_NE(client, nullptr);
    EXPECT_EQ(Active(client), nullptr);

    MDICREATESTRUCT cs;
    cs.szClass = ChildClass();
    cs.szTitle = "One";
    cs.x = 10, cs.y = 10, cs.cx = 200, cs.cy = 150;
    HWND one = reinterpret_cast<HWND>(SendMessage(client, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&cs)));
    ASSERT_NE(one, nullptr);
    EXPECT_EQ(Active(client), one);
    // A child made as a window of its own is activated as it shows.
    HWND two = CreateWindowEx(WS_EX_MDICHILD, ChildClass(), "Two", WS_CHILD | WS_OVERLAPPEDWINDOW, 30, 30,
                              200, 150, client, nullptr, nullptr, nullptr);
    ShowWindow(two, SW_SHOW);
    EXPECT_EQ(Active(client), two);
    EXPECT_EQ(activations,
              (std::vector<std::vector<HWND>>{{one, nullptr, one}, {one, one, two}, {two, one, two}}));

    RECT normal{0, 0, 0, 0};
    GetWindowRect(two, normal);
    SendMessage(client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(two), 0);
    BOOL maximized = 0;
    EXPECT_EQ(Active(client, &maximized), two);
    EXPECT_TRUE(maximized);
    const RECT inside = ScreenClient(client), covered = ScreenClient(two);
    EXPECT_TRUE(EqualRect(inside, covered));
    // The client grows: the maximized child grows with it.
    MoveWindow(client, 0, 0, 560, 420, 1);
    EXPECT_EQ(ScreenClient(two).right - ScreenClient(two).left, 560);

    SendMessage(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(one), 0);
    EXPECT_EQ(Active(client, &maximized), one);
    EXPECT_TRUE(maximized);
    EXPECT_TRUE(IsZoomed(one));
    EXPECT_FALSE(IsZoomed(two));
    RECT back{0, 0, 0, 0};
    GetWindowRect(two, back);
    EXPECT_TRUE(EqualRect(back, normal));

    // A press on the other child activates it.
    SendMessage(client, WM_MDIRESTORE, reinterpret_cast<WPARAM>(one), 0);
    RECT r{0, 0, 0, 0};
    GetWindowRect(two, r);
    pw::gui::SimulateClick(POINT{r.right - 20, r.bottom - 20});
    Pump();
    EXPECT_EQ(Active(client), two);
    SendMessage(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(one), 0);

    activations.clear();
    SendMessage(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(one), 0);
    EXPECT_FALSE(IsWindow(one));
    EXPECT_EQ(Active(client), two);
    EXPECT_EQ(activations, (std::vector<std::vector<HWND>>{{one, one, two}, {two, one, two}}));
    DestroyWindow(two);
    EXPECT_EQ(Active(client), nullptr);
}

#include <gtest/gtest.h>

#include <string>

#include "platform/gdi/metrics.h"
#include "platform/gui/input.h"
#include "platform/gui/window.h"
#include "test_support.h"

using namespace commctrl_test;

namespace {

// A point on the vertical bar, in screen coordinates: `along` pixels from the bar's top.
POINT OnBar(HWND hwnd, int along) {
    RECT client;
    GetClientRect(hwnd, client);
    POINT p{client.right + GetSystemMetrics(SM_CXVSCROLL) / 2, along};
    ClientToScreen(hwnd, p);
    return p;
}

void Press(POINT p) {
    pw::gui::SimulateMouse(pw::gui::MouseAction::Down, p, pw::gui::MouseButton::Left);
    Pump();
}

void Release(POINT p) {
    pw::gui::SimulateMouse(pw::gui::MouseAction::Up, p, pw::gui::MouseButton::Left);
    Pump();
}

} // namespace

TEST(ScrollBar, ArrowsPagesAndThumbDragScrollAList) {
    Host host;
    HWND list =
        host.Add("LISTBOX", "", LBS_NOTIFY | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, RECT{10, 10, 150, 130});
    for (int i = 0; i < 60; ++i)
        Send(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::to_string(i).c_str()));
    RECT client;
    GetClientRect(list, client);
    EXPECT_EQ(client.right, 140 - GetSystemMetrics(SM_CXVSCROLL)); // the bar takes its room from the client
    const int arrow = GetSystemMetrics(SM_CXVSCROLL);
    const POINT down = OnBar(list, client.bottom - arrow / 2);
    Press(down);
    Release(down);
    EXPECT_EQ(Send(list, LB_GETTOPINDEX), 1);
    const POINT up = OnBar(list, arrow / 2);
    Press(up);
    Release(up);
    EXPECT_EQ(Send(list, LB_GETTOPINDEX), 0);
    const POINT page = OnBar(list, client.bottom - arrow - 3);
    Press(page);
    Release(page);
    const int visible = client.bottom / static_cast<int>(Send(list, LB_GETITEMHEIGHT));
    EXPECT_EQ(Send(list, LB_GETTOPINDEX), visible);
    // Drag the thumb from near the top to the bottom arrow: the list follows to its end.
    Send(list, LB_SETTOPINDEX, 0);
    Pump();
    const POINT thumb = OnBar(list, arrow + 3);
    Press(thumb);
    EXPECT_EQ(GetCapture(), list);
    const POINT end = OnBar(list, client.bottom + 40);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, end);
    Pump();
    EXPECT_EQ(Send(list, LB_GETTOPINDEX), 60 - visible);
    Release(end);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(GetScrollPos(list, SB_VERT), 60 - visible);
    // Few items: the bar goes away and the client area grows back.
    Send(list, LB_RESETCONTENT);
    GetClientRect(list, client);
    EXPECT_EQ(client.right, 140);
}

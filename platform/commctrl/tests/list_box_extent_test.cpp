// A list box whose rows are wider than it is: with a horizontal extent and WS_HSCROLL its rows take the
// extent's width, a horizontal scroll bar appears, and scrolling moves the rows across, never past the
// extent's end.
#include <gtest/gtest.h>

#include "platform/gui/window.h"
#include "test_support.h"

using namespace commctrl_test;

namespace {

RECT Row(HWND list, int i) {
    RECT r{0, 0, 0, 0};
    Send(list, LB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
    return r;
}

int ClientWidth(HWND list) {
    RECT c{0, 0, 0, 0};
    GetClientRect(list, c);
    return c.right - c.left;
}

int ClientHeight(HWND list) {
    RECT c{0, 0, 0, 0};
    GetClientRect(list, c);
    return c.bottom - c.top;
}

} // namespace

TEST(ListBoxExtent, RowsTakeTheExtentsWidthAndScrollAcrossWithinIt) {
    Host host;
    HWND list = host.Add("LISTBOX", "", LBS_NOTIFY | WS_VSCROLL | WS_HSCROLL, RECT{10, 10, 160, 110});
    Send(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("a rather long line of text that goes on"));
    const int width = ClientWidth(list), heightWithout = ClientHeight(list);
    EXPECT_EQ(Row(list, 0).right - Row(list, 0).left, width);
    EXPECT_EQ(Send(list, LB_GETHORIZONTALEXTENT), 0);

    Send(list, LB_SETHORIZONTALEXTENT, 400);
    EXPECT_EQ(Send(list, LB_GETHORIZONTALEXTENT), 400);
    EXPECT_EQ(Row(list, 0).left, 0);
    EXPECT_EQ(Row(list, 0).right, 400);
    // The horizontal bar takes its room at the bottom.
    EXPECT_LT(ClientHeight(list), heightWithout);
    SCROLLINFO si;
    si.fMask = SIF_ALL;
    GetScrollInfo(list, SB_HORZ, si);
    EXPECT_EQ(si.nMax, 399);
    EXPECT_EQ(static_cast<int>(si.nPage), ClientWidth(list));

    Send(list, WM_HSCROLL, SB_LINERIGHT);
    EXPECT_LT(Row(list, 0).left, 0);
    Send(list, WM_HSCROLL, SB_RIGHT);
    EXPECT_EQ(Row(list, 0).left, ClientWidth(list) - 400);
    EXPECT_EQ(Row(list, 0).right, ClientWidth(list));
    Send(list, WM_HSCROLL, SB_PAGERIGHT);
    EXPECT_EQ(Row(list, 0).left, ClientWidth(list) - 400);
    Send(list, WM_HSCROLL, SB_LEFT);
    EXPECT_EQ(Row(list, 0).left, 0);

    // An extent narrower than the list scrolls nothing and takes the bar away.
    Send(list, WM_HSCROLL, SB_RIGHT);
    Send(list, LB_SETHORIZONTALEXTENT, 50);
    EXPECT_EQ(Row(list, 0).left, 0);
    EXPECT_EQ(Row(list, 0).right, ClientWidth(list));
    EXPECT_EQ(ClientHeight(list), heightWithout);
}

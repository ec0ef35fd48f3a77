#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/gui/keys.h"
#include "platform/gui/paint.h"
#include "platform/gui/window.h"
#include "test_support.h"

using namespace commctrl_test;

namespace {

void AddTab(HWND tabs, int index, const char* text) {
    TCITEM item;
    item.mask = TCIF_TEXT | TCIF_PARAM;
    item.pszText = const_cast<char*>(text);
    item.lParam = index * 10;
    Send(tabs, TCM_INSERTITEM, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

} // namespace

TEST(TabControl, SelectionByClickAndKeysAsksFirstAndMessagesStayQuiet) {
    Host host;
    HWND tabs = host.Add(WC_TABCONTROL, "", WS_TABSTOP, RECT{10, 10, 390, 200});
    AddTab(tabs, 0, "General");
    AddTab(tabs, 1, "Filters");
    AddTab(tabs, 1, "Output");
    EXPECT_EQ(Send(tabs, TCM_GETITEMCOUNT), 3);
    EXPECT_EQ(Send(tabs, TCM_GETCURSEL), 0);
    char text[16] = {};
    TCITEM item;
    item.mask = TCIF_TEXT | TCIF_PARAM;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    Send(tabs, TCM_GETITEM, 2, reinterpret_cast<LPARAM>(&item));
    EXPECT_STREQ(text, "Filters");
    EXPECT_EQ(item.lParam, 10);
    RECT r{};
    ASSERT_TRUE(Send(tabs, TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r)));
    Click(tabs, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    EXPECT_EQ(Send(tabs, TCM_GETCURSEL), 1);
    EXPECT_EQ(host.Codes(tabs), (std::vector<UINT>{TCN_SELCHANGING, TCN_SELCHANGE}));
    host.Answer(TCN_SELCHANGING, TRUE_);
    Key(VK_RIGHT);
    EXPECT_EQ(Send(tabs, TCM_GETCURSEL), 1);
    host.Answer(TCN_SELCHANGING, FALSE_);
    Key(VK_RIGHT);
    EXPECT_EQ(Send(tabs, TCM_GETCURSEL), 2);
    host.Notices().clear();
    EXPECT_EQ(Send(tabs, TCM_SETCURSEL, 0), 2);
    EXPECT_TRUE(host.Codes(tabs).empty());
    // Hiding a page removes its tab; the selection follows the tabs that stay.
    Send(tabs, TCM_SETCURSEL, 2);
    Send(tabs, TCM_DELETEITEM, 0);
    EXPECT_EQ(Send(tabs, TCM_GETCURSEL), 1);
    Send(tabs, TCM_DELETEITEM, 1);
    EXPECT_EQ(Send(tabs, TCM_GETCURSEL), -1);
    // The display area and the window rectangle convert both ways.
    RECT area{0, 0, 380, 190};
    Send(tabs, TCM_ADJUSTRECT, FALSE_, reinterpret_cast<LPARAM>(&area));
    EXPECT_GT(area.top, 10);
    EXPECT_LT(area.right, 380);
    Send(tabs, TCM_ADJUSTRECT, TRUE_, reinterpret_cast<LPARAM>(&area));
    EXPECT_EQ(area.top, 0);
    EXPECT_EQ(area.right, 380);
}

TEST(ProgressBar, RangePositionStepsAndWrapping) {
    Host host;
    HWND bar = host.Add(PROGRESS_CLASS, "", 0, RECT{10, 10, 210, 30});
    EXPECT_EQ(Send(bar, PBM_GETRANGE, FALSE_), 100);
    EXPECT_EQ(Send(bar, PBM_SETPOS, 50), 0);
    EXPECT_EQ(Send(bar, PBM_SETPOS, 500), 50); // clamped
    EXPECT_EQ(Send(bar, PBM_GETPOS), 100);
    EXPECT_EQ(Send(bar, PBM_SETRANGE, 0, MAKELPARAM(10, 20)), MAKELPARAM(0, 100));
    EXPECT_EQ(Send(bar, PBM_GETPOS), 20);
    Send(bar, PBM_SETRANGE32, 0, 100000);
    PBRANGE range;
    Send(bar, PBM_GETRANGE, TRUE_, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(range.iHigh, 100000);
    Send(bar, PBM_SETPOS, 0);
    Send(bar, PBM_SETRANGE32, 0, 30);
    EXPECT_EQ(Send(bar, PBM_SETSTEP, 12), 10);
    Send(bar, PBM_STEPIT);
    Send(bar, PBM_STEPIT);
    EXPECT_EQ(Send(bar, PBM_GETPOS), 24);
    Send(bar, PBM_STEPIT); // past the end: starts over
    EXPECT_EQ(Send(bar, PBM_GETPOS), 6);
    EXPECT_EQ(Send(bar, PBM_DELTAPOS, 4), 6);
    EXPECT_EQ(Send(bar, PBM_GETPOS), 10);
}

TEST(StatusBar, PartsTextsSimpleModeAndPlacement) {
    Host host;
    HWND bar = host.Add(STATUSCLASSNAME, "", SBARS_SIZEGRIP, RECT{0, 0, 10, 10});
    RECT r, parent;
    GetWindowRect(bar, r);
    GetClientRect(host.Hwnd(), parent);
    POINT at{r.left, r.top};
    ScreenToClient(host.Hwnd(), at);
    EXPECT_EQ(at.y + (r.bottom - r.top), parent.bottom); // sits on the parent's bottom
    EXPECT_EQ(r.right - r.left, parent.right);
    const int rights[] = {100, 250, -1};
    EXPECT_TRUE(Send(bar, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(rights)));
    EXPECT_TRUE(Send(bar, SB_SETTEXT, 1, reinterpret_cast<LPARAM>("12 pages")));
    EXPECT_FALSE(Send(bar, SB_SETTEXT, 5, reinterpret_cast<LPARAM>("nowhere")));
    char text[32] = {};
    EXPECT_EQ(LOWORD(static_cast<uintptr_t>(Send(bar, SB_GETTEXT, 1, reinterpret_cast<LPARAM>(text)))), 8);
    EXPECT_STREQ(text, "12 pages");
    int out[3] = {};
    EXPECT_EQ(Send(bar, SB_GETPARTS, 3, reinterpret_cast<LPARAM>(out)), 3);
    EXPECT_EQ(out[1], 250);
    RECT part{};
    ASSERT_TRUE(Send(bar, SB_GETRECT, 2, reinterpret_cast<LPARAM>(&part)));
    EXPECT_EQ(part.right, parent.right);
    Send(bar, SB_SIMPLE, TRUE_);
    Send(bar, SB_SETTEXT, SB_SIMPLEID, reinterpret_cast<LPARAM>("Crawling..."));
    EXPECT_EQ(LOWORD(static_cast<uintptr_t>(Send(bar, SB_GETTEXTLENGTH, 0))), 11);
    Send(bar, SB_SIMPLE, FALSE_);
    EXPECT_EQ(LOWORD(static_cast<uintptr_t>(Send(bar, SB_GETTEXTLENGTH, 1))), 8);
    // The parent's new size reaches the bar through WM_SIZE.
    SetWindowPos(host.Hwnd(), nullptr, 0, 0, 500, 350, SWP_NOMOVE | SWP_NOZORDER);
    Send(bar, WM_SIZE, 0, 0);
    GetWindowRect(bar, r);
    EXPECT_EQ(r.right - r.left, 500);
}

// Indices whose low 32 bits name a tab or part, negative ones, and amounts near the int limits.
TEST(Bars, IndicesAndAmountsOutOfRangeAreRefusedOrKeptInRange) {
    Host host;
    const WPARAM wide = WPARAM{1} << 32;
    HWND tabs = host.Add(WC_TABCONTROL, "", 0, RECT{10, 10, 390, 100});
    AddTab(tabs, 0, "first");
    AddTab(tabs, 9, "second"); // past the end appends
    RECT r{};
    for (WPARAM bad : {static_cast<WPARAM>(-1), WPARAM{2}, wide}) {
        SCOPED_TRACE(static_cast<intptr_t>(bad));
        EXPECT_FALSE(Send(tabs, TCM_DELETEITEM, bad));
        EXPECT_FALSE(Send(tabs, TCM_GETITEMRECT, bad, reinterpret_cast<LPARAM>(&r)));
        EXPECT_EQ(Send(tabs, TCM_SETCURSEL, bad), -1);
    }
    EXPECT_EQ(Send(tabs, TCM_GETITEMCOUNT), 2);
    EXPECT_EQ(Send(tabs, TCM_GETCURSEL), 0);

    HWND status = host.Add(STATUSCLASSNAME, "", 0, RECT{0, 0, 10, 10});
    const int rights[] = {100, -1};
    EXPECT_FALSE(Send(status, SB_SETPARTS, 300, reinterpret_cast<LPARAM>(rights)));
    EXPECT_TRUE(Send(status, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(rights)));
    EXPECT_FALSE(Send(status, SB_GETRECT, wide, reinterpret_cast<LPARAM>(&r)));
    EXPECT_FALSE(Send(status, SB_GETRECT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&r)));
    EXPECT_TRUE(Send(status, SB_GETRECT, 1, reinterpret_cast<LPARAM>(&r)));

    HWND bar = host.Add(PROGRESS_CLASS, "", 0, RECT{10, 110, 210, 130});
    Send(bar, PBM_SETRANGE32, static_cast<WPARAM>(INT32_MIN), INT32_MAX);
    Send(bar, PBM_SETPOS, static_cast<WPARAM>(INT32_MAX - 5));
    Send(bar, PBM_DELTAPOS, 100); // past the top end, not around to the bottom
    EXPECT_EQ(Send(bar, PBM_GETPOS), INT32_MAX);
    Send(bar, PBM_SETPOS, wide + 7); // wider than an int: the top end, not 7
    EXPECT_EQ(Send(bar, PBM_GETPOS), INT32_MAX);
    Send(bar, PBM_SETSTEP, static_cast<WPARAM>(INT32_MAX));
    Send(bar, PBM_STEPIT);
    EXPECT_GE(Send(bar, PBM_GETPOS), INT32_MIN);
    UpdateWindow(host.Hwnd()); // painting a range as wide as an int

    HWND box = host.Add("BUTTON", "Check", BS_AUTOCHECKBOX, RECT{220, 110, 320, 130});
    Send(box, BM_SETCHECK, 7);
    EXPECT_EQ(Send(box, BM_GETCHECK), BST_UNCHECKED);
}

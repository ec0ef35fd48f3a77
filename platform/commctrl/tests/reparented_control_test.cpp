// A control moved out to the desktop (as a drop-down list is) keeps telling the window it was created
// under what happens to it, and an owner-drawn list keeps asking that window to draw its rows.
#include <gtest/gtest.h>

#include "platform/gui/message_loop.h"
#include "platform/gui/window.h"
#include "test_support.h"

using namespace commctrl_test;

TEST(ReparentedControl, NotifiesTheWindowItWasCreatedUnder) {
    Host host;
    HWND list =
        host.Add("LISTBOX", "", LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS, RECT{10, 10, 150, 110});
    for (const char* s : {"one", "two", "three"})
        SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    HWND edit = host.Add("EDIT", "", ES_AUTOHSCROLL, RECT{10, 120, 150, 140});
    SetParent(list, nullptr);
    SetParent(edit, nullptr);
    ASSERT_EQ(GetParent(list), nullptr);
    SetWindowPos(list, nullptr, 300, 300, 140, 100, SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    Pump();
    host.Notices().clear();
    Click(list, 20, 5);
    Pump();
    EXPECT_EQ(SendMessage(list, LB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(host.Codes(list, {LBN_SELCHANGE}), std::vector<UINT>{LBN_SELCHANGE});
    SetWindowText(edit, "typed");
    EXPECT_EQ(host.Codes(edit, {EN_CHANGE}), std::vector<UINT>{EN_CHANGE});
    DestroyWindow(list);
    DestroyWindow(edit);
}

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/gdi/bitmaps.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/syscolors.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/paint.h"
#include "platform/gui/window.h"
#include "test_support.h"

using namespace commctrl_test;

namespace {

HWND MakeCombo(Host& host, DWORD style) {
    HWND combo = host.Add("COMBOBOX", "", style, RECT{10, 10, 160, 32});
    for (const char* s : {"red", "green", "blue", "cyan"})
        Send(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    host.Notices().clear();
    return combo;
}

HWND DropListOf(HWND combo) {
    RECT r{};
    Send(combo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&r));
    return WindowFromPoint(POINT{r.left + 5, r.top + 5});
}

} // namespace

TEST(ComboBox, DropDownListByKeyboard) {
    Host host;
    HWND combo = MakeCombo(host, CBS_DROPDOWNLIST | WS_TABSTOP);
    SetFocus(combo);
    host.Notices().clear();
    Key(VK_DOWN); // closed: arrows change the selection at once
    EXPECT_EQ(Send(combo, CB_GETCURSEL), 0);
    EXPECT_EQ(Text(combo), "red");
    Key(VK_F4);
    EXPECT_TRUE(Send(combo, CB_GETDROPPEDSTATE));
    Key(VK_DOWN);
    Key(VK_DOWN);
    Key(VK_RETURN);
    EXPECT_FALSE(Send(combo, CB_GETDROPPEDSTATE));
    EXPECT_EQ(Send(combo, CB_GETCURSEL), 2);
    EXPECT_EQ(host.Codes(combo), (std::vector<UINT>{CBN_SELCHANGE, CBN_DROPDOWN, CBN_SELCHANGE, CBN_SELCHANGE,
                                                    CBN_SELENDOK, CBN_CLOSEUP}));
    host.Notices().clear();
    // Alt+Down opens, Escape closes without a choice.
    pw::gui::SetKeyDown(VK_MENU, true);
    Key(VK_DOWN);
    pw::gui::SetKeyDown(VK_MENU, false);
    EXPECT_TRUE(Send(combo, CB_GETDROPPEDSTATE));
    Key(VK_ESCAPE);
    EXPECT_EQ(host.Codes(combo), (std::vector<UINT>{CBN_DROPDOWN, CBN_SELENDCANCEL, CBN_CLOSEUP}));
    Type("c");
    EXPECT_EQ(Send(combo, CB_GETCURSEL), 3);
}

TEST(ComboBox, DropDownListByMouse) {
    Host host;
    HWND combo = MakeCombo(host, CBS_DROPDOWNLIST);
    Click(combo, 140, 10);
    ASSERT_TRUE(Send(combo, CB_GETDROPPEDSTATE));
    HWND list = DropListOf(combo);
    ASSERT_NE(list, nullptr);
    EXPECT_NE(list, host.Hwnd());
    EXPECT_EQ(GetActiveWindow(), host.Hwnd()); // the list never takes activation
    const int h = static_cast<int>(Send(combo, CB_GETITEMHEIGHT));
    POINT p{20, h + h / 2};
    ClientToScreen(list, p);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, p);
    Pump();
    pw::gui::SimulateMouse(pw::gui::MouseAction::Down, p, pw::gui::MouseButton::Left);
    Pump();
    pw::gui::SimulateMouse(pw::gui::MouseAction::Up, p, pw::gui::MouseButton::Left);
    Pump();
    EXPECT_FALSE(Send(combo, CB_GETDROPPEDSTATE));
    EXPECT_EQ(Send(combo, CB_GETCURSEL), 1);
    EXPECT_EQ(host.Codes(combo),
              (std::vector<UINT>{CBN_SETFOCUS, CBN_DROPDOWN, CBN_SELCHANGE, CBN_SELENDOK, CBN_CLOSEUP}));
    EXPECT_FALSE(IsWindowVisible(list));
    EXPECT_EQ(GetCapture(), nullptr);
    // A click elsewhere closes the list without a choice.
    host.Notices().clear();
    Click(combo, 140, 10);
    Click(host.Hwnd(), 300, 250);
    EXPECT_FALSE(Send(combo, CB_GETDROPPEDSTATE));
    EXPECT_EQ(Send(combo, CB_GETCURSEL), 1);
    EXPECT_EQ(host.Codes(combo), (std::vector<UINT>{CBN_DROPDOWN, CBN_SELENDCANCEL, CBN_CLOSEUP}));
}

TEST(ComboBox, DropDownWithEditTypesAndSelects) {
    Host host;
    HWND combo = MakeCombo(host, CBS_DROPDOWN | CBS_SORT);
    char item[16] = {};
    Send(combo, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(item));
    EXPECT_STREQ(item, "blue");
    SetFocus(combo);
    HWND edit = GetFocus();
    ASSERT_NE(edit, combo);
    EXPECT_EQ(GetParent(edit), combo);
    host.Notices().clear();
    Type("gr");
    EXPECT_EQ(Text(combo), "gr");
    EXPECT_EQ(Send(combo, CB_GETCURSEL), CB_ERR);
    EXPECT_EQ(host.Codes(combo),
              (std::vector<UINT>{CBN_EDITUPDATE, CBN_EDITCHANGE, CBN_EDITUPDATE, CBN_EDITCHANGE}));
    host.Notices().clear();
    Key(VK_DOWN); // the edit hands arrows to the combo box
    EXPECT_EQ(Send(combo, CB_GETCURSEL), 0);
    EXPECT_EQ(Text(combo), "blue");
    EXPECT_EQ(host.Codes(combo), std::vector<UINT>{CBN_SELCHANGE});
    Send(combo, CB_SETCURSEL, 2);
    EXPECT_EQ(Text(combo), "green");
    EXPECT_EQ(host.Codes(combo).size(), 1u); // messages do not notify
    EXPECT_EQ(Send(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("RED")),
              2 + 1);
    EXPECT_EQ(Send(combo, CB_DELETESTRING, 2), 3);
    EXPECT_EQ(Send(combo, CB_GETCURSEL), CB_ERR);
    Send(combo, CB_LIMITTEXT, 3);
    Send(combo, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
    Type("abcdef");
    EXPECT_EQ(Text(combo), "abc");
    Send(combo, CB_RESETCONTENT);
    EXPECT_EQ(Send(combo, CB_GETCOUNT), 0);
}

// Focused, a drop-down list highlights its choice; with no choice only the focus rectangle shows.
TEST(ComboBox, AFocusedDropDownListWithoutAChoiceIsNoSelectionBar) {
    Host host;
    HWND combo = host.Add("COMBOBOX", "", CBS_DROPDOWNLIST | WS_TABSTOP, RECT{10, 10, 160, 32});
    SetFocus(combo);
    Pump();
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 150, 22);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    auto highlighted = [&] {
        Send(combo, WM_PAINT, reinterpret_cast<WPARAM>(dc));
        int n = 0;
        for (int y = 0; y < 22; ++y)
            for (int x = 0; x < 150; ++x)
                if (GetPixel(dc, x, y) == GetSysColor(COLOR_HIGHLIGHT)) ++n;
        return n;
    };
    EXPECT_EQ(highlighted(), 0);
    Send(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("ftp.example"));
    EXPECT_EQ(highlighted(), 0) << "an entry, but none chosen";
    Send(combo, CB_SETCURSEL, 0);
    EXPECT_GT(highlighted(), 100);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

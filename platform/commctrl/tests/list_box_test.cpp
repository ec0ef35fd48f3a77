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

HWND Fill(HWND list, std::initializer_list<const char*> items) {
    for (const char* s : items)
        Send(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    return list;
}

std::vector<int> Selected(HWND list) {
    std::vector<int> out(static_cast<size_t>(Send(list, LB_GETSELCOUNT)));
    Send(list, LB_GETSELITEMS, out.size(), reinterpret_cast<LPARAM>(out.data()));
    return out;
}

std::string ItemText(HWND list, int i) {
    char buffer[256] = {};
    Send(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buffer));
    return buffer;
}

} // namespace

TEST(ListBox, SortedInsertionFindAndItemData) {
    Host host;
    HWND list = Fill(host.Add("LISTBOX", "", LBS_NOTIFY | LBS_SORT | WS_VSCROLL, RECT{10, 10, 150, 110}),
                     {"pear", "Apple", "banana", "apple"});
    EXPECT_EQ(Send(list, LB_GETCOUNT), 4);
    EXPECT_EQ(ItemText(list, 0), "Apple");
    EXPECT_EQ(ItemText(list, 1), "apple");
    EXPECT_EQ(ItemText(list, 3), "pear");
    EXPECT_EQ(Send(list, LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>("zzz")), 0); // no sorting on insert
    EXPECT_EQ(Send(list, LB_INSERTSTRING, 9, reinterpret_cast<LPARAM>("bad")), LB_ERR);
    EXPECT_EQ(Send(list, LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("BAN")), 3);
    EXPECT_EQ(Send(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("ban")),
              LB_ERR);
    // The search starts after the given item and wraps.
    EXPECT_EQ(Send(list, LB_FINDSTRINGEXACT, 1, reinterpret_cast<LPARAM>("APPLE")), 2);
    EXPECT_EQ(Send(list, LB_FINDSTRINGEXACT, 2, reinterpret_cast<LPARAM>("APPLE")), 1);
    Send(list, LB_SETITEMDATA, 4, 77);
    EXPECT_EQ(Send(list, LB_GETITEMDATA, 4), 77);
    EXPECT_EQ(Send(list, LB_GETITEMDATA, 5), LB_ERR);
    EXPECT_EQ(Send(list, LB_GETTEXTLEN, 5), LB_ERR);
    // Deleting the selected item leaves no selection; deleting one above moves it.
    Send(list, LB_SETCURSEL, 3);
    Send(list, LB_DELETESTRING, 0);
    EXPECT_EQ(Send(list, LB_GETCURSEL), 2);
    Send(list, LB_DELETESTRING, 2);
    EXPECT_EQ(Send(list, LB_GETCURSEL), LB_ERR);
    EXPECT_EQ(Send(list, LB_DELETESTRING, 7), LB_ERR);
    EXPECT_TRUE(host.Codes(list).empty()); // messages do not notify
}

// The list box and the combo box decode their item messages alike; an index whose low 32 bits name an
// item is no index of it.
TEST(ListBox, ItemIndicesOutOfRangeAreRefusedByListAndComboBoxes) {
    Host host;
    struct Family {
        const char* cls;
        DWORD style;
        UINT add, insert, remove, getText, getLength, getData, setData, setCurSel, getCount;
    };
    const Family families[] = {
        {"LISTBOX", LBS_NOTIFY, LB_ADDSTRING, LB_INSERTSTRING, LB_DELETESTRING, LB_GETTEXT, LB_GETTEXTLEN,
         LB_GETITEMDATA, LB_SETITEMDATA, LB_SETCURSEL, LB_GETCOUNT},
        {"COMBOBOX", CBS_DROPDOWNLIST, CB_ADDSTRING, CB_INSERTSTRING, CB_DELETESTRING, CB_GETLBTEXT,
         CB_GETLBTEXTLEN, CB_GETITEMDATA, CB_SETITEMDATA, CB_SETCURSEL, CB_GETCOUNT}};
    const WPARAM wide = WPARAM{1} << 32;
    int y = 10;
    for (const Family& f : families) {
        SCOPED_TRACE(f.cls);
        HWND list = host.Add(f.cls, "", f.style, RECT{10, y, 150, y + 60});
        y += 70;
        for (const char* s : {"one", "two"})
            Send(list, f.add, 0, reinterpret_cast<LPARAM>(s));
        char buffer[16] = "untouched";
        for (WPARAM bad : {static_cast<WPARAM>(-2), WPARAM{2}, wide}) {
            EXPECT_EQ(Send(list, f.getText, bad, reinterpret_cast<LPARAM>(buffer)), -1);
            EXPECT_EQ(Send(list, f.getLength, bad), -1);
            EXPECT_EQ(Send(list, f.getData, bad), -1);
            EXPECT_EQ(Send(list, f.setData, bad, 5), -1);
            EXPECT_EQ(Send(list, f.remove, bad), -1);
            EXPECT_EQ(Send(list, f.setCurSel, bad), -1);
        }
        EXPECT_STREQ(buffer, "untouched");
        EXPECT_EQ(Send(list, f.insert, wide, reinterpret_cast<LPARAM>("wide")), -1);
        EXPECT_EQ(Send(list, f.insert, static_cast<WPARAM>(-5), reinterpret_cast<LPARAM>("three")), 2);
        EXPECT_EQ(Send(list, f.getCount), 3);
        EXPECT_EQ(Send(list, f.getData, 0), 0);
    }
    HWND multi = host.Add("LISTBOX", "", LBS_MULTIPLESEL, RECT{200, 10, 300, 70});
    Fill(multi, {"a", "b"});
    EXPECT_EQ(Send(multi, LB_SETSEL, TRUE_, static_cast<LPARAM>(wide)), LB_ERR);
    EXPECT_EQ(Send(multi, LB_SETSEL, TRUE_, -2), LB_ERR);
    EXPECT_EQ(Send(multi, LB_GETSELCOUNT), 0);
}

TEST(ListBox, SingleSelectionByMouseAndKeyboardNotifies) {
    Host host;
    HWND list = Fill(host.Add("LISTBOX", "", LBS_NOTIFY, RECT{10, 10, 150, 110}), {"a", "b", "c", "d"});
    const int h = static_cast<int>(Send(list, LB_GETITEMHEIGHT));
    ASSERT_GT(h, 8);
    Click(list, 5, h + h / 2);
    EXPECT_EQ(Send(list, LB_GETCURSEL), 1);
    Key(VK_DOWN);
    EXPECT_EQ(Send(list, LB_GETCURSEL), 2);
    Key(VK_END);
    Key(VK_DOWN); // nothing changes at the end
    EXPECT_EQ(Send(list, LB_GETCURSEL), 3);
    Type("b");
    EXPECT_EQ(Send(list, LB_GETCURSEL), 1);
    EXPECT_EQ(host.Codes(list),
              (std::vector<UINT>{LBN_SETFOCUS, LBN_SELCHANGE, LBN_SELCHANGE, LBN_SELCHANGE, LBN_SELCHANGE}));
    host.Notices().clear();
    Click(list, 5, h + h / 2, true);
    EXPECT_EQ(host.Codes(list), std::vector<UINT>{LBN_DBLCLK});
    // Below the last item: nothing.
    Click(list, 5, 5 * h + 2);
    EXPECT_EQ(Send(list, LB_GETCURSEL), 1);
    const LRESULT hit = Send(list, LB_ITEMFROMPOINT, 0, MAKELPARAM(5, static_cast<WORD>(2 * h + 1)));
    EXPECT_EQ(LOWORD(static_cast<uintptr_t>(hit)), 2);
    EXPECT_EQ(HIWORD(static_cast<uintptr_t>(hit)), 0);
    EXPECT_EQ(HIWORD(static_cast<uintptr_t>(
                  Send(list, LB_ITEMFROMPOINT, 0, MAKELPARAM(5, static_cast<WORD>(6 * h))))),
              1);
}

TEST(ListBox, ExtendedSelectionWithShiftAndControl) {
    Host host;
    HWND list = Fill(host.Add("LISTBOX", "", LBS_NOTIFY | LBS_EXTENDEDSEL, RECT{10, 10, 150, 150}),
                     {"0", "1", "2", "3", "4", "5"});
    const int h = static_cast<int>(Send(list, LB_GETITEMHEIGHT));
    auto row = [&](int i) { return i * h + h / 2; };
    Click(list, 5, row(1));
    ClickWith(VK_SHIFT, list, 5, row(3));
    EXPECT_EQ(Selected(list), (std::vector<int>{1, 2, 3}));
    ClickWith(VK_CONTROL, list, 5, row(5));
    ClickWith(VK_CONTROL, list, 5, row(2));
    EXPECT_EQ(Selected(list), (std::vector<int>{1, 3, 5}));
    // Shift+arrows extend from the anchor (the last Ctrl-clicked item).
    KeyWhileHeld(VK_SHIFT, VK_UP, 2);
    EXPECT_EQ(Selected(list), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(Send(list, LB_GETCARETINDEX), 0);
    Key(VK_END);
    EXPECT_EQ(Selected(list), std::vector<int>{5});
    EXPECT_EQ(host.Codes(list).size(), 8u); // focus, then one per change
    // Messages: select all, and LB_SETCURSEL is refused in multi-selection lists.
    Send(list, LB_SETSEL, TRUE_, -1);
    EXPECT_EQ(Send(list, LB_GETSELCOUNT), 6);
    EXPECT_EQ(Send(list, LB_SETCURSEL, 1), LB_ERR);
    Send(list, LB_DELETESTRING, 0);
    EXPECT_EQ(Selected(list), (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST(ListBox, MultipleSelectionTogglesAndScrollsToTheCaret) {
    Host host;
    HWND list = host.Add("LISTBOX", "", LBS_NOTIFY | LBS_MULTIPLESEL | WS_VSCROLL, RECT{10, 10, 150, 80});
    for (int i = 0; i < 40; ++i)
        Send(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::to_string(i).c_str()));
    const int h = static_cast<int>(Send(list, LB_GETITEMHEIGHT));
    Click(list, 5, h / 2);
    Click(list, 5, h + h / 2);
    Click(list, 5, h / 2);
    EXPECT_EQ(Selected(list), std::vector<int>{1});
    Key(VK_END);
    EXPECT_EQ(Selected(list), std::vector<int>{1}); // arrows only move the caret
    Key(VK_SPACE);
    EXPECT_EQ(Selected(list), (std::vector<int>{1, 39}));
    const int visible = 70 / h;
    EXPECT_EQ(Send(list, LB_GETTOPINDEX), 40 - visible);
    const SCROLLINFO si = ScrollInfo(list, SB_VERT);
    EXPECT_EQ(si.nMax, 39);
    EXPECT_EQ(si.nPos, 40 - visible);
    Send(list, WM_VSCROLL, SB_TOP);
    EXPECT_EQ(Send(list, LB_GETTOPINDEX), 0);
    Send(list, LB_RESETCONTENT);
    EXPECT_EQ(Send(list, LB_GETCOUNT), 0);
    EXPECT_EQ(Send(list, LB_GETSELCOUNT), 0);
}

// Tab may land on an empty list: the focus rectangle shows where its first entry would be.
TEST(ListBox, AnEmptyListShowsItsFocus) {
    Host host;
    HWND list = host.Add("LISTBOX", "", LBS_NOTIFY | WS_TABSTOP, RECT{10, 10, 160, 90}, WS_EX_CLIENTEDGE);
    HWND other = host.Add("BUTTON", "Add", BS_PUSHBUTTON | WS_TABSTOP, RECT{170, 10, 250, 34});
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 160, 80);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    auto marked = [&] {
        Send(list, WM_PAINT, reinterpret_cast<WPARAM>(dc));
        RECT c;
        GetClientRect(list, c);
        int n = 0;
        for (int y = 0; y < c.bottom; ++y)
            for (int x = 0; x < c.right; ++x)
                if (GetPixel(dc, x, y) != GetSysColor(COLOR_WINDOW)) ++n;
        return n;
    };
    SetFocus(other);
    Pump();
    EXPECT_EQ(marked(), 0);
    SetFocus(list);
    Pump();
    EXPECT_GT(marked(), 100);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

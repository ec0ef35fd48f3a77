#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/gui/keys.h"
#include "platform/gui/system.h"
#include "platform/gui/window.h"
#include "platform/rtl/sync.h"
#include "test_support.h"

using namespace commctrl_test;

namespace {

HWND FileList(Host& host, DWORD extra = 0) {
    HWND list = host.Add(WC_LISTVIEW, "", LVS_REPORT | LVS_SHOWSELALWAYS | extra, RECT{10, 10, 390, 200});
    const char* names[] = {"Name", "Size"};
    for (int i = 0; i < 2; ++i) {
        LVCOLUMN col;
        col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        col.pszText = const_cast<char*>(names[i]);
        col.cx = i == 0 ? 200 : 80;
        col.fmt = i == 0 ? LVCFMT_LEFT : LVCFMT_RIGHT;
        Send(list, LVM_INSERTCOLUMN, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&col));
    }
    const char* files[] = {"index.html", "about.html", "logo.gif"};
    for (int i = 0; i < 3; ++i) {
        LVITEM item;
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = i;
        item.pszText = const_cast<char*>(files[i]);
        item.lParam = 100 + i;
        Send(list, LVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&item));
        LVITEM size;
        size.iSubItem = 1;
        const std::string text = std::to_string((i + 1) * 1024);
        size.pszText = const_cast<char*>(text.c_str());
        Send(list, LVM_SETITEMTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&size));
    }
    host.Notices().clear();
    return list;
}

std::string CellText(HWND list, int item, int sub) {
    char buffer[64] = {};
    LVITEM lv;
    lv.iSubItem = sub;
    lv.pszText = buffer;
    lv.cchTextMax = sizeof buffer;
    Send(list, LVM_GETITEMTEXT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lv));
    return buffer;
}

std::vector<int> SelectedItems(HWND list) {
    std::vector<int> out;
    for (int i = static_cast<int>(Send(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
         i >= 0; i = static_cast<int>(Send(list, LVM_GETNEXTITEM, static_cast<WPARAM>(i), LVNI_SELECTED)))
        out.push_back(i);
    return out;
}

int RowY(HWND list, int item) {
    RECT r{};
    Send(list, LVM_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&r));
    return (r.top + r.bottom) / 2;
}

} // namespace

TEST(ListView, ColumnsItemsAndTexts) {
    Host host;
    HWND list = FileList(host);
    EXPECT_EQ(Send(list, LVM_GETITEMCOUNT), 3);
    EXPECT_EQ(CellText(list, 1, 0), "about.html");
    EXPECT_EQ(CellText(list, 2, 1), "3072");
    EXPECT_EQ(CellText(list, 2, 5), "");
    EXPECT_EQ(Send(list, LVM_GETCOLUMNWIDTH, 1), 80);
    LVITEM item;
    item.mask = LVIF_PARAM;
    item.iItem = 2;
    ASSERT_TRUE(Send(list, LVM_GETITEM, 0, reinterpret_cast<LPARAM>(&item)));
    EXPECT_EQ(item.lParam, 102);
    EXPECT_TRUE(Send(list, LVM_DELETEITEM, 0));
    EXPECT_FALSE(Send(list, LVM_DELETEITEM, 7));
    EXPECT_EQ(CellText(list, 0, 0), "about.html");
    EXPECT_EQ(host.Codes(list), std::vector<UINT>{LVN_DELETEITEM});
    host.Notices().clear();
    Send(list, LVM_DELETEALLITEMS);
    EXPECT_EQ(Send(list, LVM_GETITEMCOUNT), 0);
    EXPECT_EQ(host.Codes(list), (std::vector<UINT>{LVN_DELETEALLITEMS, LVN_DELETEITEM, LVN_DELETEITEM}));
}

TEST(ListView, RowAndColumnIndicesOutOfRangeAreRefused) {
    Host host;
    HWND list = FileList(host);
    char buffer[16] = {};
    LVCOLUMN col;
    col.mask = LVCF_WIDTH;
    LVITEM item;
    item.pszText = buffer;
    item.cchTextMax = sizeof buffer;
    RECT r{};
    // Negative, one past the end, and wider than an int (whose low half is a valid index).
    const WPARAM columns[] = {static_cast<WPARAM>(-1), static_cast<WPARAM>(-2), 2, WPARAM{1} << 32};
    for (WPARAM bad : columns) {
        SCOPED_TRACE(static_cast<intptr_t>(bad));
        EXPECT_EQ(Send(list, LVM_GETCOLUMNWIDTH, bad), 0);
        EXPECT_FALSE(Send(list, LVM_SETCOLUMNWIDTH, bad, 50));
        EXPECT_FALSE(Send(list, LVM_GETCOLUMN, bad, reinterpret_cast<LPARAM>(&col)));
        EXPECT_FALSE(Send(list, LVM_SETCOLUMN, bad, reinterpret_cast<LPARAM>(&col)));
        EXPECT_FALSE(Send(list, LVM_DELETECOLUMN, bad));
    }
    const WPARAM rows[] = {static_cast<WPARAM>(-2), 3, WPARAM{1} << 32};
    for (WPARAM bad : rows) {
        SCOPED_TRACE(static_cast<intptr_t>(bad));
        EXPECT_FALSE(Send(list, LVM_DELETEITEM, bad));
        EXPECT_FALSE(Send(list, LVM_SETITEMTEXT, bad, reinterpret_cast<LPARAM>(&item)));
        EXPECT_EQ(Send(list, LVM_GETITEMTEXT, bad, reinterpret_cast<LPARAM>(&item)), 0);
        EXPECT_EQ(Send(list, LVM_GETITEMSTATE, bad, LVIS_SELECTED), 0);
        EXPECT_FALSE(Send(list, LVM_ENSUREVISIBLE, bad));
        EXPECT_FALSE(Send(list, LVM_GETITEMRECT, bad, reinterpret_cast<LPARAM>(&r)));
        EXPECT_FALSE(Send(list, LVM_SETITEMSTATE, bad, reinterpret_cast<LPARAM>(&item)));
    }
    for (int bad : {-1, 3}) {
        item.iItem = bad;
        EXPECT_FALSE(Send(list, LVM_GETITEM, 0, reinterpret_cast<LPARAM>(&item)));
        EXPECT_FALSE(Send(list, LVM_SETITEM, 0, reinterpret_cast<LPARAM>(&item)));
    }
    EXPECT_EQ(Send(list, LVM_GETITEMCOUNT), 3);
    EXPECT_EQ(Send(list, LVM_GETCOLUMNWIDTH, 0), 200);
    EXPECT_EQ(Send(list, LVM_GETCOLUMNWIDTH, 1), 80);
    EXPECT_EQ(CellText(list, 0, 0), "index.html");
}

TEST(ListView, SelectionByMouseKeysAndMessagesReportsEachChange) {
    Host host;
    HWND list = FileList(host);
    Click(list, 20, RowY(list, 1));
    EXPECT_EQ(SelectedItems(list), std::vector<int>{1});
    ClickWith(VK_CONTROL, list, 20, RowY(list, 2));
    EXPECT_EQ(SelectedItems(list), (std::vector<int>{1, 2}));
    Key(VK_HOME);
    EXPECT_EQ(SelectedItems(list), std::vector<int>{0});
    EXPECT_EQ(Send(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED), 0);
    EXPECT_GE(host.Codes(list, {LVN_ITEMCHANGED}).size(), 4u);
    host.Notices().clear();
    {
        ScopedDoubleClickTime quick(50);
        LetDoubleClickTimePass(); // the earlier click on this row must not pair with the next
        Click(list, 20, RowY(list, 2), true);
    }
    EXPECT_EQ(host.Codes(list).back(), NM_DBLCLK);
    // The parent may refuse a change.
    host.Answer(LVN_ITEMCHANGING, TRUE_);
    LVITEM state;
    state.state = LVIS_SELECTED;
    state.stateMask = LVIS_SELECTED;
    Send(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));
    EXPECT_EQ(SelectedItems(list), std::vector<int>{2});
    host.Answer(LVN_ITEMCHANGING, FALSE_);
    Send(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
    EXPECT_EQ(Send(list, LVM_GETSELECTEDCOUNT), 3);
}

TEST(ListView, SingleSelectionKeepsOneItem) {
    Host host;
    HWND list = FileList(host, LVS_SINGLESEL);
    LVITEM state;
    state.state = LVIS_SELECTED;
    state.stateMask = LVIS_SELECTED;
    Send(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));
    Send(list, LVM_SETITEMSTATE, 2, reinterpret_cast<LPARAM>(&state));
    EXPECT_EQ(SelectedItems(list), std::vector<int>{2});
    ClickWith(VK_CONTROL, list, 20, RowY(list, 1));
    EXPECT_EQ(SelectedItems(list), std::vector<int>{1});
    LVHITTESTINFO hit;
    hit.pt = POINT{20, RowY(list, 0)};
    EXPECT_EQ(Send(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)), 0);
    hit.pt = POINT{20, 2};
    EXPECT_EQ(Send(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)), -1); // the header
}

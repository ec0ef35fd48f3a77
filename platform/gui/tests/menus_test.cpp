#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "gui_test_support.h"
#include "platform/gui/menus.h"
#include "platform/gui/window.h"

using namespace gui_test;

namespace {

std::string TextOf(HMENU menu, UINT item, UINT flags = MF_BYPOSITION) {
    char buffer[64] = {};
    GetMenuString(menu, item, buffer, sizeof buffer, flags);
    return buffer;
}

} // namespace

// The entries AppendMenu makes read back through GetMenuItemInfo, GetMenuState and GetMenuString; by
// command the search reaches sub-menus, and a sub-menu entry reports its size in the high byte.
TEST(Menus, EntriesReadBackByPositionAndCommand) {
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    ASSERT_TRUE(AppendMenu(file, MF_STRING, 101, "&Open...\tCtrl+O"));
    ASSERT_TRUE(AppendMenu(file, MF_SEPARATOR, 0, nullptr));
    ASSERT_TRUE(AppendMenu(file, MF_STRING | MF_GRAYED | MF_CHECKED, 102, "&Save"));
    ASSERT_TRUE(AppendMenu(bar, MF_POPUP, reinterpret_cast<uintptr_t>(file), "&File"));
    ASSERT_TRUE(AppendMenu(bar, MF_STRING | MF_DISABLED, 200, "&Help"));
    EXPECT_EQ(GetMenuItemCount(bar), 2);
    EXPECT_EQ(GetMenuItemCount(file), 3);
    EXPECT_EQ(GetSubMenu(bar, 0), file);
    EXPECT_EQ(GetSubMenu(bar, 1), nullptr);
    EXPECT_EQ(GetMenuItemID(bar, 0), static_cast<UINT>(-1)); // a sub-menu has no command
    EXPECT_EQ(GetMenuItemID(bar, 1), 200u);
    EXPECT_EQ(GetMenuItemID(bar, 5), static_cast<UINT>(-1));

    // States: the flags of a plain entry, the popup bit and its count for a sub-menu.
    EXPECT_EQ(GetMenuState(bar, 0, MF_BYPOSITION), (3u << 8) | MF_POPUP);
    EXPECT_EQ(GetMenuState(bar, 200, MF_BYCOMMAND), MF_DISABLED);
    EXPECT_EQ(GetMenuState(bar, 102, MF_BYCOMMAND), MF_GRAYED | MF_CHECKED); // found inside File
    EXPECT_EQ(GetMenuState(file, 1, MF_BYPOSITION), MF_SEPARATOR);
    EXPECT_EQ(GetMenuState(bar, 999, MF_BYCOMMAND), static_cast<UINT>(-1));

    EXPECT_EQ(TextOf(bar, 101, MF_BYCOMMAND), "&Open...\tCtrl+O");
    EXPECT_EQ(GetMenuString(bar, 101, nullptr, 0, MF_BYCOMMAND), 15);
    char small[5];
    EXPECT_EQ(GetMenuString(file, 0, small, sizeof small, MF_BYPOSITION), 4);
    EXPECT_STREQ(small, "&Ope");

    MENUITEMINFO info;
    char text[1024];
    info.fMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_CHECKMARKS | MIIM_TYPE;
    info.dwTypeData = text;
    info.cch = sizeof text;
    ASSERT_TRUE(GetMenuItemInfo(bar, 102, FALSE_, info));
    EXPECT_EQ(info.fType, MFT_STRING);
    EXPECT_EQ(info.fState, MF_GRAYED | MF_CHECKED); // one of the two grayed bits, as it was given
    EXPECT_EQ(info.wID, 102u);
    EXPECT_EQ(info.hSubMenu, nullptr);
    EXPECT_STREQ(text, "&Save");
    EXPECT_EQ(info.cch, 5u);

    info.cch = sizeof text;
    ASSERT_TRUE(GetMenuItemInfo(file, 1, TRUE_, info));
    EXPECT_EQ(info.fType, MFT_SEPARATOR);
    EXPECT_EQ(info.cch, 0u);

    info.cch = sizeof text;
    ASSERT_TRUE(GetMenuItemInfo(bar, 0, TRUE_, info));
    EXPECT_EQ(info.hSubMenu, file);
    EXPECT_STREQ(text, "&File");

    // Without a buffer only the length comes back.
    MENUITEMINFO length;
    length.fMask = MIIM_STRING;
    ASSERT_TRUE(GetMenuItemInfo(file, 0, TRUE_, length));
    EXPECT_EQ(length.cch, 15u);

    EXPECT_TRUE(DestroyMenu(bar));
    EXPECT_FALSE(IsMenu(bar));
    EXPECT_FALSE(IsMenu(file)); // destroyed with its parent
    EXPECT_EQ(GetMenuItemCount(file), -1);
    EXPECT_FALSE(DestroyMenu(bar));
}

// The structure's two sizes: the older one reads and fills nothing past the check-mark bitmaps and takes
// none of the newer masks; any other size is refused.
TEST(Menus, ItemInfoSizesAndBitmaps) {
    HMENU menu = CreatePopupMenu();
    HBITMAP checkedMark = reinterpret_cast<HBITMAP>(uintptr_t{0x7770});
    MENUITEMINFO add;
    add.fMask = MIIM_FTYPE | MIIM_STRING | MIIM_ID | MIIM_BITMAP | MIIM_CHECKMARKS | MIIM_STATE | MIIM_DATA;
    add.fType = MFT_STRING | MFT_RADIOCHECK;
    add.fState = MFS_CHECKED | MFS_DEFAULT;
    add.wID = 7;
    add.dwTypeData = const_cast<char*>("Close");
    add.hbmpItem = HBMMENU_POPUP_CLOSE;
    add.hbmpChecked = checkedMark;
    add.dwItemData = 1234;
    ASSERT_TRUE(InsertMenuItem(menu, 0, TRUE_, add));

    MENUITEMINFO fresh;
    fresh.fMask = MIIM_FTYPE | MIIM_BITMAP | MIIM_CHECKMARKS | MIIM_DATA | MIIM_STATE;
    ASSERT_TRUE(GetMenuItemInfo(menu, 7, FALSE_, fresh));
    EXPECT_EQ(fresh.fType, MFT_STRING | MFT_RADIOCHECK);
    EXPECT_EQ(fresh.hbmpItem, HBMMENU_POPUP_CLOSE);
    EXPECT_EQ(fresh.hbmpChecked, checkedMark);
    EXPECT_EQ(fresh.hbmpUnchecked, nullptr);
    EXPECT_EQ(fresh.dwItemData, 1234u);
    EXPECT_EQ(fresh.fState, MFS_CHECKED | MFS_DEFAULT);
    EXPECT_EQ(GetMenuState(menu, 7, MF_BYCOMMAND), MF_CHECKED | MF_DEFAULT);

    MENUITEMINFO old;
    old.cbSize = kMenuItemInfoOldSize;
    old.fMask = MIIM_TYPE | MIIM_CHECKMARKS;
    old.hbmpItem = reinterpret_cast<HBITMAP>(uintptr_t{0x1111}); // past the older structure: untouched
    char text[16];
    old.dwTypeData = text;
    old.cch = sizeof text;
    ASSERT_TRUE(GetMenuItemInfo(menu, 0, TRUE_, old));
    EXPECT_STREQ(text, "Close");
    EXPECT_EQ(old.hbmpChecked, checkedMark);
    EXPECT_EQ(old.hbmpItem, reinterpret_cast<HBITMAP>(uintptr_t{0x1111}));
    old.fMask = MIIM_BITMAP;
    EXPECT_FALSE(GetMenuItemInfo(menu, 0, TRUE_, old));
    MENUITEMINFO wrong;
    wrong.cbSize = 12;
    wrong.fMask = MIIM_ID;
    EXPECT_FALSE(GetMenuItemInfo(menu, 0, TRUE_, wrong));
    EXPECT_FALSE(InsertMenuItem(menu, 0, TRUE_, wrong));

    // A bitmap entry under MIIM_TYPE hands its bitmap in dwTypeData; its text (none) through
    // GetMenuString.
    HBITMAP picture = reinterpret_cast<HBITMAP>(uintptr_t{0x8880});
    ASSERT_TRUE(AppendMenu(menu, MF_BITMAP, 8, reinterpret_cast<const char*>(picture)));
    MENUITEMINFO bitmap;
    bitmap.fMask = MIIM_TYPE;
    ASSERT_TRUE(GetMenuItemInfo(menu, 8, FALSE_, bitmap));
    EXPECT_EQ(bitmap.fType, MFT_BITMAP);
    EXPECT_EQ(reinterpret_cast<HBITMAP>(bitmap.dwTypeData), picture);
    EXPECT_EQ(TextOf(menu, 8, MF_BYCOMMAND), "");
    DestroyMenu(menu);
}

// Enabling, checking and the default entry change the state that GetMenuState and GetMenuItemInfo
// report, and answer the state they replaced.
TEST(Menus, StateChangesAndDefaultEntry) {
    HMENU menu = CreatePopupMenu();
    AppendMenu(menu, MF_STRING, 1, "One");
    AppendMenu(menu, MF_STRING, 2, "Two");
    EXPECT_EQ(EnableMenuItem(menu, 1, MF_BYCOMMAND | MF_GRAYED), MF_ENABLED);
    EXPECT_EQ(EnableMenuItem(menu, 1, MF_BYCOMMAND | MF_ENABLED), MF_GRAYED);
    EXPECT_EQ(EnableMenuItem(menu, 9, MF_BYCOMMAND | MF_GRAYED), static_cast<UINT>(-1));
    EXPECT_EQ(CheckMenuItem(menu, 1, MF_BYPOSITION | MF_CHECKED), MF_UNCHECKED);
    EXPECT_EQ(GetMenuState(menu, 2, MF_BYCOMMAND), MF_CHECKED);

    EXPECT_EQ(GetMenuDefaultItem(menu, FALSE_, 0), static_cast<UINT>(-1));
    ASSERT_TRUE(SetMenuDefaultItem(menu, 2, FALSE_));
    EXPECT_EQ(GetMenuDefaultItem(menu, FALSE_, 0), 2u);
    EXPECT_EQ(GetMenuDefaultItem(menu, TRUE_, 0), 1u);
    ASSERT_TRUE(SetMenuDefaultItem(menu, 0, TRUE_)); // only one default at a time
    EXPECT_EQ(GetMenuDefaultItem(menu, FALSE_, 0), 1u);
    EXPECT_EQ(GetMenuState(menu, 2, MF_BYCOMMAND) & MF_DEFAULT, 0u);
    // A disabled default counts only when asked for.
    EnableMenuItem(menu, 1, MF_BYCOMMAND | MF_GRAYED);
    EXPECT_EQ(GetMenuDefaultItem(menu, FALSE_, 0), static_cast<UINT>(-1));
    EXPECT_EQ(GetMenuDefaultItem(menu, FALSE_, GMDI_USEDISABLED), 1u);

    EXPECT_TRUE(DeleteMenu(menu, 0, MF_BYPOSITION));
    EXPECT_EQ(GetMenuItemCount(menu), 1);
    EXPECT_EQ(GetMenuItemID(menu, 0), 2u);
    DestroyMenu(menu);
}

// A window's system menu: made once per window, its entries enabled as the window's state allows, the
// close entry the default with its shortcut after a tab, dropped on revert and with the window.
TEST(Menus, SystemMenuFollowsTheWindow) {
    HWND plain = MakeTopLevel(RECT{10, 10, 200, 100}, WS_POPUP | WS_VISIBLE);
    EXPECT_EQ(GetSystemMenu(plain, FALSE_), nullptr);

    HWND hwnd = MakeTopLevel(RECT{10, 10, 300, 200}, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    HMENU menu = GetSystemMenu(hwnd, FALSE_);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(GetSystemMenu(hwnd, FALSE_), menu);
    ASSERT_EQ(GetMenuItemCount(menu), 7);
    EXPECT_EQ(GetMenuItemID(menu, 0), static_cast<UINT>(SC_RESTORE));
    EXPECT_EQ(GetMenuItemID(menu, 6), static_cast<UINT>(SC_CLOSE));
    EXPECT_EQ(GetMenuState(menu, 5, MF_BYPOSITION), MF_SEPARATOR);
    EXPECT_EQ(TextOf(menu, SC_CLOSE, MF_BYCOMMAND), "&Close\tAlt+F4");
    EXPECT_EQ(GetMenuDefaultItem(menu, FALSE_, 0), static_cast<UINT>(SC_CLOSE));
    MENUITEMINFO info;
    info.fMask = MIIM_BITMAP;
    ASSERT_TRUE(GetMenuItemInfo(menu, SC_MAXIMIZE, FALSE_, info));
    EXPECT_EQ(info.hbmpItem, HBMMENU_POPUP_MAXIMIZE);

    // Normal: no restore; maximized: restore, but neither move, size nor maximize.
    EXPECT_EQ(GetMenuState(menu, SC_RESTORE, MF_BYCOMMAND) & MF_GRAYED, MF_GRAYED);
    EXPECT_EQ(GetMenuState(menu, SC_SIZE, MF_BYCOMMAND) & MF_GRAYED, 0u);
    ShowWindow(hwnd, SW_MAXIMIZE);
    Pump();
    ASSERT_TRUE(IsZoomed(hwnd));
    ASSERT_EQ(GetSystemMenu(hwnd, FALSE_), menu);
    EXPECT_EQ(GetMenuState(menu, SC_RESTORE, MF_BYCOMMAND) & MF_GRAYED, 0u);
    EXPECT_EQ(GetMenuState(menu, SC_MOVE, MF_BYCOMMAND) & MF_GRAYED, MF_GRAYED);
    EXPECT_EQ(GetMenuState(menu, SC_SIZE, MF_BYCOMMAND) & MF_GRAYED, MF_GRAYED);
    EXPECT_EQ(GetMenuState(menu, SC_MAXIMIZE, MF_BYCOMMAND) & MF_GRAYED, MF_GRAYED);
    EXPECT_EQ(GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND) & MF_GRAYED, 0u);

    // Revert drops the copy; the next call makes a new one.
    EXPECT_EQ(GetSystemMenu(hwnd, TRUE_), nullptr);
    EXPECT_FALSE(IsMenu(menu));
    HMENU again = GetSystemMenu(hwnd, FALSE_);
    ASSERT_NE(again, nullptr);
    EXPECT_NE(again, menu);
    DestroyWindow(hwnd);
    EXPECT_FALSE(IsMenu(again));
    EXPECT_EQ(GetSystemMenu(hwnd, FALSE_), nullptr);
}

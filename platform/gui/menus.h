#pragma once
// Menus of the window system: menu objects with their entries (text, command, sub-menu, state,
// check-mark and entry bitmaps), the queries on them, and each window's own copy of the system menu.
// Handles are never reused, so a destroyed menu's handle is refused for good.
#include <cstddef>
#include <cstdint>

#include "platform/rtl/wintypes.h"

// Entry flags of AppendMenu, EnableMenuItem, CheckMenuItem and GetMenuState.
inline constexpr UINT MF_BYCOMMAND = 0x0000, MF_BYPOSITION = 0x0400;
inline constexpr UINT MF_STRING = 0x0000, MF_ENABLED = 0x0000, MF_UNCHECKED = 0x0000;
inline constexpr UINT MF_GRAYED = 0x0001, MF_DISABLED = 0x0002, MF_BITMAP = 0x0004, MF_CHECKED = 0x0008,
                      MF_POPUP = 0x0010, MF_MENUBARBREAK = 0x0020, MF_MENUBREAK = 0x0040, MF_HILITE = 0x0080,
                      MF_OWNERDRAW = 0x0100, MF_SEPARATOR = 0x0800, MF_DEFAULT = 0x1000,
                      MF_RIGHTJUSTIFY = 0x4000;

// MENUITEMINFO's fMask: which members a call reads or fills.
inline constexpr UINT MIIM_STATE = 0x0001, MIIM_ID = 0x0002, MIIM_SUBMENU = 0x0004, MIIM_CHECKMARKS = 0x0008,
                      MIIM_TYPE = 0x0010, MIIM_DATA = 0x0020, MIIM_STRING = 0x0040, MIIM_BITMAP = 0x0080,
                      MIIM_FTYPE = 0x0100;
// fType.
inline constexpr UINT MFT_STRING = 0x0000, MFT_BITMAP = 0x0004, MFT_MENUBARBREAK = 0x0020,
                      MFT_MENUBREAK = 0x0040, MFT_OWNERDRAW = 0x0100, MFT_RADIOCHECK = 0x0200,
                      MFT_SEPARATOR = 0x0800, MFT_RIGHTORDER = 0x2000, MFT_RIGHTJUSTIFY = 0x4000;
// fState. Grayed and disabled are one state (both bits).
inline constexpr UINT MFS_ENABLED = 0x0000, MFS_UNCHECKED = 0x0000, MFS_UNHILITE = 0x0000;
inline constexpr UINT MFS_GRAYED = 0x0003, MFS_DISABLED = 0x0003, MFS_CHECKED = 0x0008, MFS_HILITE = 0x0080,
                      MFS_DEFAULT = 0x1000;

// GetMenuDefaultItem flags.
inline constexpr UINT GMDI_USEDISABLED = 0x0001, GMDI_GOINTOPOPUPS = 0x0002;

// The predefined entry bitmaps (hbmpItem values that are no bitmap handle).
inline const HBITMAP HBMMENU_CALLBACK = reinterpret_cast<HBITMAP>(intptr_t{-1});
inline const HBITMAP HBMMENU_SYSTEM = reinterpret_cast<HBITMAP>(intptr_t{1});
inline const HBITMAP HBMMENU_MBAR_RESTORE = reinterpret_cast<HBITMAP>(intptr_t{2});
inline const HBITMAP HBMMENU_MBAR_MINIMIZE = reinterpret_cast<HBITMAP>(intptr_t{3});
inline const HBITMAP HBMMENU_MBAR_CLOSE = reinterpret_cast<HBITMAP>(intptr_t{5});
inline const HBITMAP HBMMENU_MBAR_CLOSE_D = reinterpret_cast<HBITMAP>(intptr_t{6});
inline const HBITMAP HBMMENU_MBAR_MINIMIZE_D = reinterpret_cast<HBITMAP>(intptr_t{7});
inline const HBITMAP HBMMENU_POPUP_CLOSE = reinterpret_cast<HBITMAP>(intptr_t{8});
inline const HBITMAP HBMMENU_POPUP_RESTORE = reinterpret_cast<HBITMAP>(intptr_t{9});
inline const HBITMAP HBMMENU_POPUP_MAXIMIZE = reinterpret_cast<HBITMAP>(intptr_t{10});
inline const HBITMAP HBMMENU_POPUP_MINIMIZE = reinterpret_cast<HBITMAP>(intptr_t{11});

struct MENUITEMINFO {
    UINT cbSize = sizeof(MENUITEMINFO);
    UINT fMask = 0;
    UINT fType = 0;
    UINT fState = 0;
    UINT wID = 0;
    HMENU hSubMenu = nullptr;
    HBITMAP hbmpChecked = nullptr;
    HBITMAP hbmpUnchecked = nullptr;
    uintptr_t dwItemData = 0;
    // A string entry's text (cch: the buffer's size in characters, answered with the text's length);
    // a bitmap entry's bitmap handle under MIIM_TYPE.
    char* dwTypeData = nullptr;
    UINT cch = 0;
    HBITMAP hbmpItem = nullptr;
};
// The size of the structure as older callers give it: without hbmpItem, which it neither reads nor
// fills (nor does it take MIIM_STRING, MIIM_BITMAP or MIIM_FTYPE).
inline constexpr UINT kMenuItemInfoOldSize = offsetof(MENUITEMINFO, hbmpItem);

HMENU CreateMenu();
HMENU CreatePopupMenu();
// Destroys the menu and every sub-menu it holds.
BOOL DestroyMenu(HMENU menu);
BOOL IsMenu(HMENU menu);

// With MF_POPUP, item is the sub-menu's handle, which the menu then owns; with MF_BITMAP, text is the
// bitmap handle.
BOOL AppendMenu(HMENU menu, UINT flags, uintptr_t item, const char* text);
BOOL InsertMenuItem(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFO& info);
BOOL SetMenuItemInfo(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFO& info);
// By command, the search goes into sub-menus. FALSE for a size other than the two known ones.
BOOL GetMenuItemInfo(HMENU menu, UINT item, BOOL byPosition, MENUITEMINFO& info);
BOOL DeleteMenu(HMENU menu, UINT position, UINT flags);
BOOL RemoveMenu(HMENU menu, UINT position, UINT flags);

// -1 for a handle that is no menu.
int GetMenuItemCount(HMENU menu);
// The command of the entry at pos; -1 for a sub-menu or a position outside the menu.
UINT GetMenuItemID(HMENU menu, int pos);
HMENU GetSubMenu(HMENU menu, int pos);
// An entry's MF_ flags; for a sub-menu entry the number of its entries in the high byte and MF_POPUP.
// (UINT)-1 when there is no such entry.
UINT GetMenuState(HMENU menu, UINT id, UINT flags);
// Copies the text (at most maxCount - 1 characters and a terminating zero) and answers the number of
// characters copied; with no buffer, the text's length. 0 when there is no such entry.
int GetMenuString(HMENU menu, UINT id, char* buffer, int maxCount, UINT flags);
// The previous MF_GRAYED/MF_DISABLED state, or (UINT)-1 when there is no such entry.
UINT EnableMenuItem(HMENU menu, UINT id, UINT enable);
// The previous MF_CHECKED state, or (UINT)-1 when there is no such entry.
DWORD CheckMenuItem(HMENU menu, UINT id, UINT check);
// The default entry's command (or position when byPos); (UINT)-1 when none, or when it is disabled and
// GMDI_USEDISABLED is not given.
UINT GetMenuDefaultItem(HMENU menu, UINT byPos, UINT flags);
// item (UINT)-1 removes the default.
BOOL SetMenuDefaultItem(HMENU menu, UINT item, UINT byPos);

// The window's copy of the system menu, made on first use, its entries enabled as the window's state
// allows (restore only when minimized or maximized, move and size not when maximized, the boxes only
// when the style has them); nullptr for a window without WS_SYSMENU. With revert the copy is dropped
// and nullptr answered. The copy goes with the window.
HMENU GetSystemMenu(HWND hwnd, BOOL revert);

// TrackPopupMenu flags: where the menu stands against the point, and how the choice is told.
inline constexpr UINT TPM_LEFTALIGN = 0x0000, TPM_CENTERALIGN = 0x0004, TPM_RIGHTALIGN = 0x0008,
                      TPM_TOPALIGN = 0x0000, TPM_VCENTERALIGN = 0x0010, TPM_BOTTOMALIGN = 0x0020,
                      TPM_LEFTBUTTON = 0x0000, TPM_RIGHTBUTTON = 0x0002, TPM_NONOTIFY = 0x0080,
                      TPM_RETURNCMD = 0x0100;

// Shows the popup menu at the screen point (kept on the screen) and runs its own loop until the user
// chooses an entry with the mouse, the arrows and Enter or an entry's letter, or leaves it (Escape, a
// click elsewhere). With TPM_RETURNCMD it answers the chosen command, 0 for none; otherwise it posts
// WM_COMMAND with the command to owner and answers whether anything was chosen. Sub-menus show
// disabled. One menu at a time: FALSE while another is tracked.
BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND owner, const RECT* notUsed);
// The entry's rectangle on the screen while TrackPopupMenu shows the menu (item by position).
BOOL GetMenuItemRect(HWND hwnd, HMENU menu, UINT item, RECT& rect);

namespace pw::gui {
// The window went: its system menu goes with it.
void DropSystemMenu(HWND hwnd);
} // namespace pw::gui

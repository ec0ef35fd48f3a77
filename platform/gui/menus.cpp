// Menu objects and the system menu of each window.
#include "platform/gui/menus.h"

#include <algorithm>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/gui/window.h"
#include "platform/gui/window_defs.h"

namespace {

struct MenuEntry {
    UINT type = MFT_STRING;
    UINT state = 0;
    UINT id = 0;
    HMENU subMenu = nullptr;
    HBITMAP checked = nullptr;
    HBITMAP unchecked = nullptr;
    HBITMAP item = nullptr;
    uintptr_t data = 0;
    std::string text;
};

struct Menu {
    bool popup = false;
    std::vector<MenuEntry> entries;
};

struct MenuTable {
    std::recursive_mutex lock;
    uintptr_t next = 0x20000;
    std::map<HMENU, Menu> menus;
    std::map<HWND, HMENU> systemMenus;
};

MenuTable& Table() {
    static MenuTable* table = new MenuTable; // outlives every window, which may drop its menu at exit
    return *table;
}
using MenuGuard = std::lock_guard<std::recursive_mutex>;

Menu* Find(HMENU menu) {
    auto it = Table().menus.find(menu);
    return it == Table().menus.end() ? nullptr : &it->second;
}

HMENU NewMenu(bool popup) {
    MenuGuard g(Table().lock);
    Table().next += 4;
    HMENU h = reinterpret_cast<HMENU>(Table().next);
    Table().menus[h].popup = popup;
    return h;
}

struct Located {
    Menu* menu = nullptr;
    size_t index = 0;
    MenuEntry* Entry() const { return menu ? &menu->entries[index] : nullptr; }
};

// By position in this menu, or by command here and then in the sub-menus, depth first.
Located Locate(HMENU handle, UINT item, bool byPosition, int depth = 0) {
    Menu* menu = Find(handle);
    if (!menu || depth > 32) return {};
    if (byPosition) return item < menu->entries.size() ? Located{menu, item} : Located{};
    for (size_t i = 0; i < menu->entries.size(); ++i) {
        MenuEntry& e = menu->entries[i];
        if (!e.subMenu && e.id == item && !(e.type & MFT_SEPARATOR)) return {menu, i};
        if (e.subMenu)
            if (Located inner = Locate(e.subMenu, item, false, depth + 1); inner.menu) return inner;
    }
    // A sub-menu entry answers to its own command (AppendMenu gives it the sub-menu's handle).
    for (size_t i = 0; i < menu->entries.size(); ++i)
        if (menu->entries[i].subMenu && menu->entries[i].id == item) return {menu, i};
    return {};
}

bool KnownSize(UINT size) {
    return size == sizeof(MENUITEMINFO) || size == kMenuItemInfoOldSize;
}

void DestroyTree(HMENU handle, int depth) {
    auto it = Table().menus.find(handle);
    if (it == Table().menus.end() || depth > 32) return;
    std::vector<HMENU> subs;
    for (const MenuEntry& e : it->second.entries)
        if (e.subMenu) subs.push_back(e.subMenu);
    Table().menus.erase(it);
    for (HMENU s : subs)
        DestroyTree(s, depth + 1);
}

// Writes the members fMask names; MIIM_TYPE sets the whole type and, for a text, the text.
bool Apply(MenuEntry& e, const MENUITEMINFO& info) {
    if (!KnownSize(info.cbSize)) return false;
    const bool fresh = info.cbSize == sizeof(MENUITEMINFO);
    if (!fresh && (info.fMask & (MIIM_STRING | MIIM_BITMAP | MIIM_FTYPE))) return false;
    if (info.fMask & MIIM_TYPE) {
        e.type = info.fType;
        if (e.type & MFT_BITMAP)
            e.item = reinterpret_cast<HBITMAP>(info.dwTypeData);
        else if (!(e.type & MFT_SEPARATOR))
            e.text = info.dwTypeData ? info.dwTypeData : "";
    }
    if (info.fMask & MIIM_FTYPE) e.type = (e.type & MFT_BITMAP) | (info.fType & ~MFT_BITMAP);
    if (info.fMask & MIIM_STRING) e.text = info.dwTypeData ? info.dwTypeData : "";
    if (info.fMask & MIIM_BITMAP) e.item = info.hbmpItem;
    if (info.fMask & MIIM_STATE) e.state = info.fState;
    if (info.fMask & MIIM_ID) e.id = info.wID;
    if (info.fMask & MIIM_SUBMENU) e.subMenu = info.hSubMenu;
    if (info.fMask & MIIM_CHECKMARKS) {
        e.checked = info.hbmpChecked;
        e.unchecked = info.hbmpUnchecked;
    }
    if (info.fMask & MIIM_DATA) e.data = info.dwItemData;
    return true;
}

// Copies text into the caller's buffer of cch characters; cch comes back as the length copied, or the
// text's whole length when there is no buffer.
void CopyText(const std::string& text, MENUITEMINFO& info) {
    if (!info.dwTypeData || info.cch == 0) {
        info.cch = static_cast<UINT>(text.size());
        return;
    }
    const size_t n = std::min<size_t>(text.size(), info.cch - 1);
    std::copy_n(text.data(), n, info.dwTypeData);
    info.dwTypeData[n] = '\0';
    info.cch = static_cast<UINT>(n);
}

UINT FlagsOf(const MenuEntry& e) {
    return (e.type & ~MFT_RADIOCHECK) | e.state | (e.subMenu ? MF_POPUP : 0);
}

// Sets the state bits in mask to value; answers the old ones, or (UINT)-1 without such an entry.
UINT ChangeState(HMENU menu, UINT id, UINT flags, UINT mask, UINT value) {
    MenuGuard g(Table().lock);
    Located at = Locate(menu, id, (flags & MF_BYPOSITION) != 0);
    MenuEntry* e = at.Entry();
    if (!e) return static_cast<UINT>(-1);
    const UINT old = e->state & mask;
    e->state = (e->state & ~mask) | (value & mask);
    return old;
}

} // namespace

HMENU CreateMenu() {
    return NewMenu(false);
}

HMENU CreatePopupMenu() {
    return NewMenu(true);
}

BOOL DestroyMenu(HMENU menu) {
    MenuGuard g(Table().lock);
    if (!Find(menu)) return FALSE_;
    for (auto it = Table().systemMenus.begin(); it != Table().systemMenus.end(); ++it)
        if (it->second == menu) {
            Table().systemMenus.erase(it);
            break;
        }
    DestroyTree(menu, 0);
    return TRUE_;
}

BOOL IsMenu(HMENU menu) {
    MenuGuard g(Table().lock);
    return Find(menu) ? TRUE_ : FALSE_;
}

BOOL AppendMenu(HMENU menu, UINT flags, uintptr_t item, const char* text) {
    MENUITEMINFO info;
    info.fMask = MIIM_TYPE | MIIM_STATE | MIIM_ID;
    info.fType =
        flags & (MF_BITMAP | MF_SEPARATOR | MF_OWNERDRAW | MF_MENUBARBREAK | MF_MENUBREAK | MF_RIGHTJUSTIFY);
    info.fState = flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_HILITE | MF_DEFAULT);
    info.dwTypeData = const_cast<char*>(text);
    info.wID = static_cast<UINT>(item);
    if (flags & MF_POPUP) {
        info.fMask |= MIIM_SUBMENU;
        info.hSubMenu = reinterpret_cast<HMENU>(item);
    }
    MenuGuard g(Table().lock);
    Menu* m = Find(menu);
    return m ? InsertMenuItem(menu, static_cast<UINT>(m->entries.size()), TRUE_, info) : FALSE_;
}

BOOL InsertMenuItem(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFO& info) {
    MenuGuard g(Table().lock);
    Menu* m = Find(menu);
    if (!m) return FALSE_;
    MenuEntry entry;
    if (!Apply(entry, info)) return FALSE_;
    if (entry.subMenu && (entry.subMenu == menu || !Find(entry.subMenu))) return FALSE_;
    // Before the entry it names; past the end (or a command not found), at the end.
    size_t at = m->entries.size();
    if (byPosition) {
        at = std::min<size_t>(item, m->entries.size());
    } else {
        for (size_t i = 0; i < m->entries.size(); ++i)
            if (!m->entries[i].subMenu && m->entries[i].id == item) {
                at = i;
                break;
            }
    }
    m->entries.insert(m->entries.begin() + static_cast<std::ptrdiff_t>(at), std::move(entry));
    return TRUE_;
}

BOOL SetMenuItemInfo(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFO& info) {
    MenuGuard g(Table().lock);
    MenuEntry* e = Locate(menu, item, byPosition != 0).Entry();
    if (!e) return FALSE_;
    MenuEntry changed = *e;
    if (!Apply(changed, info)) return FALSE_;
    if (changed.subMenu && changed.subMenu != e->subMenu &&
        (changed.subMenu == menu || !Find(changed.subMenu)))
        return FALSE_;
    *e = std::move(changed);
    return TRUE_;
}

BOOL GetMenuItemInfo(HMENU menu, UINT item, BOOL byPosition, MENUITEMINFO& info) {
    if (!KnownSize(info.cbSize)) return FALSE_;
    const bool fresh = info.cbSize == sizeof(MENUITEMINFO);
    if (!fresh && (info.fMask & (MIIM_STRING | MIIM_BITMAP | MIIM_FTYPE))) return FALSE_;
    MenuGuard g(Table().lock);
    const MenuEntry* e = Locate(menu, item, byPosition != 0).Entry();
    if (!e) return FALSE_;
    if (info.fMask & (MIIM_TYPE | MIIM_FTYPE)) info.fType = e->type;
    if (info.fMask & MIIM_TYPE) {
        if (e->type & MFT_BITMAP) {
            info.dwTypeData = reinterpret_cast<char*>(e->item);
            info.cch = 0;
        } else if (e->type & (MFT_SEPARATOR | MFT_OWNERDRAW)) {
            info.cch = 0;
        } else {
            CopyText(e->text, info);
        }
    }
    if (info.fMask & MIIM_STRING) {
        if (e->type & (MFT_BITMAP | MFT_SEPARATOR | MFT_OWNERDRAW) && e->text.empty())
            info.cch = 0;
        else
            CopyText(e->text, info);
    }
    if ((info.fMask & MIIM_BITMAP) && fresh) info.hbmpItem = e->item;
    if (info.fMask & MIIM_STATE) info.fState = e->state;
    if (info.fMask & MIIM_ID) info.wID = e->id;
    if (info.fMask & MIIM_SUBMENU) info.hSubMenu = e->subMenu;
    if (info.fMask & MIIM_CHECKMARKS) {
        info.hbmpChecked = e->checked;
        info.hbmpUnchecked = e->unchecked;
    }
    if (info.fMask & MIIM_DATA) info.dwItemData = e->data;
    return TRUE_;
}

BOOL RemoveMenu(HMENU menu, UINT position, UINT flags) {
    MenuGuard g(Table().lock);
    Located at = Locate(menu, position, (flags & MF_BYPOSITION) != 0);
    if (!at.menu) return FALSE_;
    at.menu->entries.erase(at.menu->entries.begin() + static_cast<std::ptrdiff_t>(at.index));
    return TRUE_;
}

BOOL DeleteMenu(HMENU menu, UINT position, UINT flags) {
    MenuGuard g(Table().lock);
    Located at = Locate(menu, position, (flags & MF_BYPOSITION) != 0);
    if (!at.menu) return FALSE_;
    const HMENU sub = at.Entry()->subMenu;
    at.menu->entries.erase(at.menu->entries.begin() + static_cast<std::ptrdiff_t>(at.index));
    if (sub) DestroyTree(sub, 0);
    return TRUE_;
}

int GetMenuItemCount(HMENU menu) {
    MenuGuard g(Table().lock);
    const Menu* m = Find(menu);
    return m ? static_cast<int>(m->entries.size()) : -1;
}

UINT GetMenuItemID(HMENU menu, int pos) {
    MenuGuard g(Table().lock);
    const MenuEntry* e = pos < 0 ? nullptr : Locate(menu, static_cast<UINT>(pos), true).Entry();
    return e && !e->subMenu ? e->id : static_cast<UINT>(-1);
}

HMENU GetSubMenu(HMENU menu, int pos) {
    MenuGuard g(Table().lock);
    const MenuEntry* e = pos < 0 ? nullptr : Locate(menu, static_cast<UINT>(pos), true).Entry();
    return e ? e->subMenu : nullptr;
}

UINT GetMenuState(HMENU menu, UINT id, UINT flags) {
    MenuGuard g(Table().lock);
    const MenuEntry* e = Locate(menu, id, (flags & MF_BYPOSITION) != 0).Entry();
    if (!e) return static_cast<UINT>(-1);
    if (!e->subMenu) return FlagsOf(*e);
    const Menu* sub = Find(e->subMenu);
    const UINT count = sub ? static_cast<UINT>(std::min<size_t>(sub->entries.size(), 0xFF)) : 0;
    return (count << 8) | (FlagsOf(*e) & 0xFF);
}

int GetMenuString(HMENU menu, UINT id, char* buffer, int maxCount, UINT flags) {
    MenuGuard g(Table().lock);
    const MenuEntry* e = Locate(menu, id, (flags & MF_BYPOSITION) != 0).Entry();
    if (!e) return 0;
    if (!buffer || maxCount <= 0) return static_cast<int>(e->text.size());
    const size_t n = std::min<size_t>(e->text.size(), static_cast<size_t>(maxCount - 1));
    std::copy_n(e->text.data(), n, buffer);
    buffer[n] = '\0';
    return static_cast<int>(n);
}

UINT EnableMenuItem(HMENU menu, UINT id, UINT enable) {
    return ChangeState(menu, id, enable, MF_GRAYED | MF_DISABLED, enable & (MF_GRAYED | MF_DISABLED));
}

DWORD CheckMenuItem(HMENU menu, UINT id, UINT check) {
    return ChangeState(menu, id, check, MF_CHECKED, check & MF_CHECKED);
}

UINT GetMenuDefaultItem(HMENU menu, UINT byPos, UINT flags) {
    MenuGuard g(Table().lock);
    const Menu* m = Find(menu);
    if (!m) return static_cast<UINT>(-1);
    for (size_t i = 0; i < m->entries.size(); ++i) {
        const MenuEntry& e = m->entries[i];
        if (!(e.state & MFS_DEFAULT)) continue;
        if ((e.state & MFS_DISABLED) && !(flags & GMDI_USEDISABLED)) return static_cast<UINT>(-1);
        if (e.subMenu && (flags & GMDI_GOINTOPOPUPS)) {
            const UINT inner = GetMenuDefaultItem(e.subMenu, byPos, flags);
            if (inner != static_cast<UINT>(-1)) return inner;
        }
        return byPos ? static_cast<UINT>(i) : e.id;
    }
    return static_cast<UINT>(-1);
}

BOOL SetMenuDefaultItem(HMENU menu, UINT item, UINT byPos) {
    MenuGuard g(Table().lock);
    Menu* m = Find(menu);
    if (!m) return FALSE_;
    MenuEntry* target = nullptr;
    if (item != static_cast<UINT>(-1)) {
        Located at = Locate(menu, item, byPos != 0);
        if (at.menu != m) return FALSE_; // only an entry of this menu, not of a sub-menu
        target = at.Entry();
    }
    for (MenuEntry& e : m->entries)
        e.state &= ~MFS_DEFAULT;
    if (target) target->state |= MFS_DEFAULT;
    return TRUE_;
}

namespace {

HMENU MakeSystemMenu() {
    HMENU menu = CreatePopupMenu();
    struct Line {
        const char* text;
        UINT id;
        HBITMAP bitmap;
    };
    const Line lines[] = {{"&Restore", SC_RESTORE, HBMMENU_POPUP_RESTORE},
                          {"&Move", SC_MOVE, nullptr},
                          {"&Size", SC_SIZE, nullptr},
                          {"Mi&nimize", SC_MINIMIZE, HBMMENU_POPUP_MINIMIZE},
                          {"Ma&ximize", SC_MAXIMIZE, HBMMENU_POPUP_MAXIMIZE},
                          {nullptr, 0, nullptr},
                          {"&Close\tAlt+F4", SC_CLOSE, HBMMENU_POPUP_CLOSE}};
    for (const Line& l : lines) {
        MENUITEMINFO info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING | MIIM_BITMAP;
        info.fType = l.text ? MFT_STRING : MFT_SEPARATOR;
        info.wID = l.id;
        info.dwTypeData = const_cast<char*>(l.text);
        info.hbmpItem = l.bitmap;
        InsertMenuItem(menu, static_cast<UINT>(GetMenuItemCount(menu)), TRUE_, info);
    }
    SetMenuDefaultItem(menu, SC_CLOSE, FALSE_);
    return menu;
}

void UpdateSystemMenu(HWND hwnd, HMENU menu) {
    const DWORD style = static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE));
    const bool zoomed = IsZoomed(hwnd) != 0, iconic = IsIconic(hwnd) != 0;
    auto enable = [menu](UINT id, bool on) { EnableMenuItem(menu, id, on ? MF_ENABLED : MF_GRAYED); };
    enable(SC_RESTORE, zoomed || iconic);
    enable(SC_MOVE, !zoomed);
    enable(SC_SIZE, (style & WS_THICKFRAME) && !zoomed && !iconic);
    enable(SC_MINIMIZE, (style & WS_MINIMIZEBOX) && !iconic);
    enable(SC_MAXIMIZE, (style & WS_MAXIMIZEBOX) && !zoomed);
    enable(SC_CLOSE, true);
}

} // namespace

HMENU GetSystemMenu(HWND hwnd, BOOL revert) {
    if (!IsWindow(hwnd)) return nullptr;
    MenuGuard g(Table().lock);
    auto it = Table().systemMenus.find(hwnd);
    if (revert) {
        if (it != Table().systemMenus.end()) {
            const HMENU old = it->second;
            Table().systemMenus.erase(it);
            DestroyTree(old, 0);
        }
        return nullptr;
    }
    if (!(static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE)) & WS_SYSMENU)) return nullptr;
    HMENU menu = it != Table().systemMenus.end() ? it->second : nullptr;
    if (!menu) menu = Table().systemMenus[hwnd] = MakeSystemMenu();
    UpdateSystemMenu(hwnd, menu);
    return menu;
}

namespace pw::gui {
void DropSystemMenu(HWND hwnd) {
    MenuGuard g(Table().lock);
    auto it = Table().systemMenus.find(hwnd);
    if (it == Table().systemMenus.end()) return;
    const HMENU menu = it->second;
    Table().systemMenus.erase(it);
    DestroyTree(menu, 0);
}
} // namespace pw::gui

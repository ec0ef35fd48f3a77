// TrackPopupMenu: a popup menu of the window system's own, drawn in the classic style, that the user
// chooses from with the mouse or the keyboard while the call runs its own loop. Sub-menus are shown
// as disabled entries: no caller here needs a cascade.
#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "platform/gdi/dc.h"
#include "platform/gdi/edges.h"
#include "platform/gdi/fonts.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/metrics.h"
#include "platform/gdi/scoped.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/syscolors.h"
#include "platform/gdi/text.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/menus.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/message_views.h"
#include "platform/gui/paint.h"
#include "platform/gui/system.h"
#include "platform/gui/window.h"
#include "platform/gui/window_dc.h"

namespace {

constexpr const char* kMenuClass = "#32768";
constexpr int kBorder = 3;
// Room for a check mark left of the text, and beyond the accelerator on the right.
constexpr int kTextLeft = 20;
constexpr int kTextRight = 20;
constexpr int kSeparatorHeight = 9;

struct Entry {
    std::string text;
    std::string accel; // after a tab
    UINT id = 0;
    bool separator = false;
    bool enabled = true;
    bool checked = false;
    bool isDefault = false;
    RECT rect{}; // client coordinates
};

struct Tracking {
    HMENU menu = nullptr;
    HWND window = nullptr;
    std::vector<Entry> entries;
    int hot = -1;
    HFONT font = nullptr;
    HFONT bold = nullptr;
};

// The one menu being tracked; GetMenuItemRect reads it.
Tracking* current = nullptr;

HFONT MenuFont(bool bold) {
    NONCLIENTMETRICS metrics;
    if (!SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    if (bold) metrics.lfMenuFont.lfWeight = FW_BOLD;
    return CreateFontIndirect(&metrics.lfMenuFont);
}

std::vector<Entry> ReadEntries(HMENU menu) {
    std::vector<Entry> entries;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        char buffer[256] = {};
        MENUITEMINFO info;
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING | MIIM_SUBMENU;
        info.dwTypeData = buffer;
        info.cch = sizeof buffer;
        if (!GetMenuItemInfo(menu, static_cast<UINT>(i), TRUE_, info)) continue;
        Entry e;
        e.separator = (info.fType & MFT_SEPARATOR) != 0;
        e.id = info.wID;
        e.enabled = !(info.fState & MFS_DISABLED) && info.hSubMenu == nullptr && !e.separator;
        e.checked = (info.fState & MFS_CHECKED) != 0;
        e.isDefault = (info.fState & MFS_DEFAULT) != 0;
        const std::string text = buffer;
        const size_t tab = text.find('\t');
        e.text = text.substr(0, tab);
        if (tab != std::string::npos) e.accel = text.substr(tab + 1);
        entries.push_back(e);
    }
    return entries;
}

int TextWidthOf(HDC dc, const std::string& text) {
    RECT r{0, 0, 0, 0};
    DrawText(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_SINGLELINE | DT_CALCRECT);
    return r.right - r.left;
}

// Lays the entries out from the top; answers the window's size.
SIZE Layout(Tracking& t) {
    pw::gui::WindowDC screen(nullptr);
    HDC dc = screen.Get();
    const pw::gdi::SelectedObject selected(dc, t.bold);
    TEXTMETRIC tm;
    GetTextMetrics(dc, &tm);
    const int rowHeight = std::max<int>(tm.tmHeight + 6, GetSystemMetrics(SM_CYMENU));
    int textWidth = 0, accelWidth = 0;
    for (const Entry& e : t.entries) {
        textWidth = std::max(textWidth, TextWidthOf(dc, e.text));
        accelWidth = std::max(accelWidth, TextWidthOf(dc, e.accel));
    }
    const int width = kTextLeft + textWidth + (accelWidth > 0 ? accelWidth + 16 : 0) + kTextRight;
    int y = kBorder;
    for (Entry& e : t.entries) {
        const int h = e.separator ? kSeparatorHeight : rowHeight;
        e.rect = RECT{kBorder, y, kBorder + width, y + h};
        y += h;
    }
    return SIZE{width + 2 * kBorder, y + kBorder};
}

int EntryAt(const Tracking& t, POINT screen) {
    POINT p = screen;
    ScreenToClient(t.window, p);
    for (size_t i = 0; i < t.entries.size(); ++i)
        if (PtInRect(t.entries[i].rect, p)) return static_cast<int>(i);
    return -1;
}

bool InsideMenu(const Tracking& t, POINT screen) {
    RECT r;
    return GetWindowRect(t.window, r) && PtInRect(r, screen);
}

void SetHot(Tracking& t, int hot) {
    if (hot == t.hot) return;
    for (int i : {t.hot, hot})
        if (i >= 0) InvalidateRect(t.window, &t.entries[static_cast<size_t>(i)].rect, FALSE_);
    t.hot = hot;
}

// The next entry that can be highlighted from the hot one, going by step (+1 or -1) and around.
int Step(const Tracking& t, int step) {
    const int n = static_cast<int>(t.entries.size());
    int i = t.hot;
    for (int tries = 0; tries < n; ++tries) {
        i = i < 0 ? (step > 0 ? 0 : n - 1) : (i + step + n) % n;
        if (!t.entries[static_cast<size_t>(i)].separator) return i;
    }
    return -1;
}

wchar_t MnemonicOf(const std::string& text) {
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&') continue;
        if (text[i + 1] == '&') {
            ++i;
            continue;
        }
        const unsigned char c = static_cast<unsigned char>(text[i + 1]);
        return static_cast<wchar_t>(c < 0x80 ? std::toupper(c) : c);
    }
    return 0;
}

void PaintEntry(HDC dc, const Tracking& t, const Entry& e, bool hot) {
    RECT r = e.rect;
    if (e.separator) {
        FillRect(dc, &r, GetSysColorBrush(COLOR_MENU));
        RECT line{r.left + 1, (r.top + r.bottom) / 2 - 1, r.right - 1, (r.top + r.bottom) / 2 + 1};
        DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
        return;
    }
    FillRect(dc, &r, GetSysColorBrush(hot ? COLOR_HIGHLIGHT : COLOR_MENU));
    const pw::gdi::SelectedObject font(dc, e.isDefault ? t.bold : t.font);
    SetBkMode(dc, TRANSPARENT);
    RECT text{r.left + kTextLeft, r.top, r.right - kTextRight, r.bottom};
    const UINT format = DT_SINGLELINE | DT_VCENTER;
    auto draw = [&](COLORREF colour, int offset) {
        SetTextColor(dc, colour);
        RECT at = text;
        OffsetRect(at, offset, offset);
        DrawText(dc, e.text.c_str(), static_cast<int>(e.text.size()), &at, format);
        DrawText(dc, e.accel.c_str(), static_cast<int>(e.accel.size()), &at, format | DT_RIGHT);
        if (e.checked) {
            RECT mark{r.left, r.top, r.left + kTextLeft, r.bottom};
            OffsetRect(mark, offset, offset);
            DrawText(dc, "\xE2\x9C\x93", 3, &mark, format | DT_CENTER | DT_NOPREFIX);
        }
    };
    if (!e.enabled && !hot) draw(GetSysColor(COLOR_3DHILIGHT), 1);
    draw(GetSysColor(!e.enabled ? COLOR_GRAYTEXT : hot ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT), 0);
}

LRESULT Paint(HWND hwnd, TWMPaint) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, ps);
    RECT c;
    GetClientRect(hwnd, c);
    if (current && current->window == hwnd) {
        RECT frame = c;
        FillRect(dc, &frame, GetSysColorBrush(COLOR_MENU));
        DrawEdge(dc, &frame, EDGE_RAISED, BF_RECT);
        for (size_t i = 0; i < current->entries.size(); ++i)
            PaintEntry(dc, *current, current->entries[i], static_cast<int>(i) == current->hot);
    }
    EndPaint(hwnd, ps);
    return 0;
}

LRESULT MenuProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    TMessage m{msg, wParam, lParam, 0};
    switch (msg) {
    case WM_PAINT:
        return Paint(hwnd, TWMPaint(m));
    case WM_ERASEBKGND:
        return 1;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    default:
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

void RegisterMenuClass() {
    static bool registered = false;
    if (registered) return;
    WNDCLASS wc;
    wc.style = CS_SAVEBITS;
    wc.lpfnWndProc = MenuProc;
    wc.lpszClassName = kMenuClass;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    registered = RegisterClass(wc) != 0;
}

// Places the menu at the point, flipped to the other side of it where the screen ends.
POINT Place(POINT at, SIZE size, UINT flags) {
    MONITORINFO info;
    GetMonitorInfo(MonitorFromPoint(at, MONITOR_DEFAULTTONEAREST), info);
    const RECT& work = info.rcWork;
    POINT p = at;
    if (flags & TPM_RIGHTALIGN)
        p.x -= size.cx;
    else if (flags & TPM_CENTERALIGN)
        p.x -= size.cx / 2;
    if (flags & TPM_BOTTOMALIGN)
        p.y -= size.cy;
    else if (flags & TPM_VCENTERALIGN)
        p.y -= size.cy / 2;
    if (p.x + size.cx > work.right) p.x = std::max<LONG>(work.left, at.x - size.cx);
    if (p.y + size.cy > work.bottom) p.y = std::max<LONG>(work.top, at.y - size.cy);
    p.x = std::max<LONG>(p.x, work.left);
    p.y = std::max<LONG>(p.y, work.top);
    return p;
}

bool IsMouse(UINT msg) {
    return (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) ||
           (msg >= WM_NCMOUSEMOVE && msg <= WM_NCMBUTTONDBLCLK);
}

bool IsButtonDown(UINT msg) {
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
        return true;
    default:
        return false;
    }
}

bool IsButtonUp(UINT msg) {
    return msg == WM_LBUTTONUP || msg == WM_RBUTTONUP || msg == WM_NCLBUTTONUP || msg == WM_NCRBUTTONUP;
}

// Runs the menu until a choice or a cancel: the entry's command, or 0.
UINT Track(Tracking& t) {
    SetCapture(t.window);
    // A button released before the pointer has been in the menu (the end of the click that opened it)
    // chooses nothing.
    bool armed = false;
    UINT chosen = 0;
    bool done = false;
    MSG msg;
    while (!done) {
        if (!GetMessage(msg, nullptr, 0, 0)) {
            PostQuitMessage(QuitExitCode(msg));
            break;
        }
        const UINT kind = msg.message;
        if (kind == WM_KEYDOWN || kind == WM_SYSKEYDOWN) {
            switch (KeyCode(msg)) {
            case VK_ESCAPE:
            case VK_MENU:
            case VK_F10:
                done = true;
                break;
            case VK_UP:
                SetHot(t, Step(t, -1));
                break;
            case VK_DOWN:
                SetHot(t, Step(t, +1));
                break;
            case VK_HOME:
                t.hot = -1;
                SetHot(t, Step(t, +1));
                break;
            case VK_END:
                t.hot = -1;
                SetHot(t, Step(t, -1));
                break;
            case VK_RETURN:
                if (t.hot >= 0 && t.entries[static_cast<size_t>(t.hot)].enabled) {
                    chosen = t.entries[static_cast<size_t>(t.hot)].id;
                    done = true;
                }
                break;
            default:
                break;
            }
            TranslateMessage(msg);
            continue;
        }
        if (kind == WM_CHAR || kind == WM_SYSCHAR) {
            const WORD typed = KeyCode(msg);
            const wchar_t key = static_cast<wchar_t>(typed < 0x80 ? std::toupper(typed) : typed);
            std::vector<int> matches;
            for (size_t i = 0; i < t.entries.size(); ++i)
                if (t.entries[i].enabled && MnemonicOf(t.entries[i].text) == key)
                    matches.push_back(static_cast<int>(i));
            if (matches.size() == 1) {
                chosen = t.entries[static_cast<size_t>(matches[0])].id;
                done = true;
            } else if (!matches.empty()) {
                auto next = std::upper_bound(matches.begin(), matches.end(), t.hot);
                SetHot(t, next == matches.end() ? matches.front() : *next);
            }
            continue;
        }
        if (kind == WM_KEYUP || kind == WM_SYSKEYUP) continue;
        if (IsMouse(kind)) {
            const bool inside = InsideMenu(t, msg.pt);
            const int at = inside ? EntryAt(t, msg.pt) : -1;
            if (kind == WM_MOUSEMOVE || kind == WM_NCMOUSEMOVE) {
                if (inside) {
                    armed = true;
                    SetHot(t, at >= 0 && !t.entries[static_cast<size_t>(at)].separator ? at : -1);
                } else {
                    SetHot(t, -1);
                }
            } else if (IsButtonDown(kind)) {
                if (!inside) done = true;
                armed = true;
            } else if (IsButtonUp(kind) && armed && at >= 0 && t.entries[static_cast<size_t>(at)].enabled) {
                chosen = t.entries[static_cast<size_t>(at)].id;
                done = true;
            }
            continue;
        }
        TranslateMessage(msg);
        DispatchMessage(msg);
        // Someone else took the mouse (a window came up, the program lost the screen): the menu goes.
        if (GetCapture() != t.window) done = true;
    }
    if (GetCapture() == t.window) ReleaseCapture();
    return chosen;
}

} // namespace

BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND owner, const RECT* notUsed) {
    (void)reserved;
    (void)notUsed;
    if (!IsMenu(menu) || current != nullptr) return FALSE_;
    RegisterMenuClass();
    Tracking t;
    t.menu = menu;
    t.entries = ReadEntries(menu);
    if (t.entries.empty()) return FALSE_;
    t.font = MenuFont(false);
    t.bold = MenuFont(true);
    const SIZE size = Layout(t);
    const POINT at = Place(POINT{x, y}, size, flags);
    t.window = CreateWindowEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kMenuClass, "", WS_POPUP,
                              at.x, at.y, size.cx, size.cy, owner, nullptr, nullptr, nullptr);
    current = &t;
    UINT chosen = 0;
    if (t.window) {
        ShowWindow(t.window, SW_SHOWNOACTIVATE);
        UpdateWindow(t.window);
        chosen = Track(t);
        DestroyWindow(t.window);
    }
    current = nullptr;
    DeleteObject(t.font);
    DeleteObject(t.bold);
    if (flags & TPM_RETURNCMD) return static_cast<BOOL>(chosen);
    if (chosen != 0 && owner && !(flags & TPM_NONOTIFY)) PostMessage(owner, WM_COMMAND, chosen, 0);
    return chosen != 0 ? TRUE_ : FALSE_;
}

BOOL GetMenuItemRect(HWND hwnd, HMENU menu, UINT item, RECT& rect) {
    (void)hwnd;
    if (!current || current->menu != menu || item >= current->entries.size()) return FALSE_;
    rect = current->entries[item].rect;
    MapWindowPoints(current->window, nullptr, rect);
    return TRUE_;
}

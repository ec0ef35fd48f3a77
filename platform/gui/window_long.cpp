// What a window holds besides its place: enabled state, window longs (styles, procedure, user data,
// identifier, owner), text, window region and layered attributes.
#include <algorithm>
#include <string>

#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/region.h"
#include "platform/gdi/regions.h"
#include "platform/gui/backend.h"
#include "platform/gui/gui_state.h"
#include "platform/gui/input.h"
#include "platform/gui/window.h"

using namespace pw::gui;

BOOL IsWindowEnabled(HWND hwnd) {
    auto w = FindLiveWindow(hwnd);
    if (!w) return FALSE_;
    Guard g(Lock());
    return (w->style & WS_DISABLED) ? FALSE_ : TRUE_;
}

BOOL EnableWindow(HWND hwnd, BOOL enable) {
    auto w = FindLiveWindow(hwnd);
    if (!w) return FALSE_;
    bool wasDisabled;
    {
        Guard g(Lock());
        wasDisabled = (w->style & WS_DISABLED) != 0;
        if (wasDisabled == !enable) return wasDisabled ? TRUE_ : FALSE_;
        if (enable)
            w->style &= ~WS_DISABLED;
        else
            w->style |= WS_DISABLED;
    }
    if (!enable) {
        HWND focus = GetFocus();
        if (focus == hwnd || IsChild(hwnd, focus)) SetFocus(nullptr);
        if (GetCapture() == hwnd) ReleaseCapture();
    }
    SendMessage(hwnd, WM_ENABLE, enable ? 1 : 0, 0);
    return wasDisabled ? TRUE_ : FALSE_;
}

LONG GetWindowLong(HWND hwnd, int index) {
    return static_cast<LONG>(GetWindowLongPtr(hwnd, index));
}

LONG SetWindowLong(HWND hwnd, int index, LONG value) {
    return static_cast<LONG>(SetWindowLongPtr(hwnd, index, value));
}

LONG_PTR GetWindowLongPtr(HWND hwnd, int index) {
    Guard g(Lock());
    auto w = FindLiveWindow(hwnd);
    if (!w) return 0;
    switch (index) {
    case GWL_STYLE:
        return static_cast<LONG_PTR>(static_cast<LONG>(w->style));
    case GWL_EXSTYLE:
        return static_cast<LONG_PTR>(w->exStyle);
    case GWL_WNDPROC:
        return reinterpret_cast<LONG_PTR>(w->proc);
    case GWL_USERDATA:
        return w->userData;
    case GWL_ID:
        return w->id;
    case GWL_HWNDPARENT:
        return reinterpret_cast<LONG_PTR>(w->IsChild() ? w->parent : w->owner);
    default:
        return 0;
    }
}

LONG_PTR SetWindowLongPtr(HWND hwnd, int index, LONG_PTR value) {
    auto w = FindLiveWindow(hwnd);
    if (!w) return 0;
    LONG_PTR old = GetWindowLongPtr(hwnd, index);
    switch (index) {
    case GWL_STYLE:
    case GWL_EXSTYLE: {
        STYLESTRUCT change{static_cast<DWORD>(old), static_cast<DWORD>(value)};
        SendMessage(hwnd, WM_STYLECHANGING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&change));
        if (!FindLiveWindow(hwnd)) return 0;
        DWORD oldStyle = change.styleOld, newStyle = change.styleNew;
        bool visibilityChanged = false;
        {
            Guard g(Lock());
            if (index == GWL_STYLE) {
                visibilityChanged = ((oldStyle ^ newStyle) & WS_VISIBLE) != 0;
                w->style = newStyle;
                // Damage it took while hidden woke nobody.
                if (visibilityChanged && (newStyle & WS_VISIBLE)) Signal(*w->queue);
            } else {
                w->exStyle = newStyle;
            }
        }
        if (visibilityChanged && w->host) w->host->SetVisible((newStyle & WS_VISIBLE) != 0, false);
        if (visibilityChanged && w->IsChild()) {
            RECT r;
            {
                Guard g(Lock());
                r = w->rect;
            }
            InvalidateUncovered(w->parent, Region(r));
        }
        SendMessage(hwnd, WM_STYLECHANGED, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&change));
        break;
    }
    case GWL_WNDPROC: {
        Guard g(Lock());
        w->proc = reinterpret_cast<WNDPROC>(value);
        break;
    }
    case GWL_USERDATA: {
        Guard g(Lock());
        w->userData = value;
        break;
    }
    case GWL_ID: {
        Guard g(Lock());
        w->id = value;
        break;
    }
    case GWL_HWNDPARENT: {
        Guard g(Lock());
        if (!w->IsChild()) w->owner = reinterpret_cast<HWND>(value);
        break;
    }
    default:
        return 0;
    }
    return old;
}

LRESULT CallWindowProc(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!proc) return 0;
    return proc(hwnd, msg, wParam, lParam);
}

BOOL SetWindowText(HWND hwnd, const std::string& text) {
    if (!FindLiveWindow(hwnd)) return FALSE_;
    return SendMessage(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())) ? TRUE_ : FALSE_;
}

int GetWindowText(HWND hwnd, char* buffer, int maxCount) {
    if (!buffer || maxCount <= 0) return 0;
    buffer[0] = 0;
    if (!FindLiveWindow(hwnd)) return 0;
    return static_cast<int>(
        SendMessage(hwnd, WM_GETTEXT, static_cast<WPARAM>(maxCount), reinterpret_cast<LPARAM>(buffer)));
}

std::string GetWindowText(HWND hwnd) {
    int n = GetWindowTextLength(hwnd);
    std::string s(static_cast<size_t>(n) + 1, '\0');
    int got = GetWindowText(hwnd, s.data(), n + 1);
    s.resize(static_cast<size_t>(std::max(got, 0)));
    return s;
}

int GetWindowTextLength(HWND hwnd) {
    if (!FindLiveWindow(hwnd)) return 0;
    return static_cast<int>(SendMessage(hwnd, WM_GETTEXTLENGTH, 0, 0));
}

int SetWindowRgn(HWND hwnd, HRGN region, BOOL redraw) {
    auto w = FindLiveWindow(hwnd);
    if (!w) return 0;
    HRGN old;
    {
        Guard g(Lock());
        old = w->windowRgn;
        w->windowRgn = region;
    }
    if (old && old != region) ::DeleteObject(old);
    if (w->host) {
        Region shape;
        bool shaped = region && GetRegion(region, shape);
        w->host->SetShape(shaped ? &shape.Rects() : nullptr);
    } else if (redraw && w->IsChild()) {
        RECT r;
        {
            Guard g(Lock());
            r = w->rect;
        }
        InvalidateUncovered(w->parent, Region(r));
    }
    return 1;
}

BOOL SetLayeredWindowAttributes(HWND hwnd, COLORREF, BYTE alpha, DWORD flags) {
    auto w = FindLiveWindow(hwnd);
    if (!w) return FALSE_;
    {
        Guard g(Lock());
        if (!(w->exStyle & WS_EX_LAYERED)) return FALSE_;
        if (flags & LWA_ALPHA) w->alpha = alpha;
    }
    if (w->host) w->host->SetOpacity(w->Opacity() / 255.0);
    return TRUE_;
}

BOOL GetLayeredWindowAttributes(HWND hwnd, COLORREF* key, BYTE* alpha, DWORD* flags) {
    auto w = FindLiveWindow(hwnd);
    if (!w || !(w->exStyle & WS_EX_LAYERED)) return FALSE_;
    if (key) *key = 0;
    if (alpha) *alpha = w->alpha;
    if (flags) *flags = LWA_ALPHA;
    return TRUE_;
}

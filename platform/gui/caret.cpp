#include "platform/gui/caret.h"

#include "platform/gdi/metrics.h"
#include "platform/gui/paint.h"
#include "platform/gui/window.h"

namespace {

struct Caret {
    HWND owner = nullptr;
    POINT pos{0, 0};
    SIZE size{0, 0};
    int hidden = 0;
};

// GUI thread only, as the windows that own it.
Caret& TheCaret() {
    static Caret caret;
    return caret;
}

// The caret of a window that is gone went with it.
bool Exists() {
    Caret& c = TheCaret();
    if (c.owner != nullptr && !IsWindow(c.owner)) c = Caret{};
    return c.owner != nullptr;
}

// The owner draws the caret: the place it covers is drawn again whenever it appears or goes.
void RedrawCaret() {
    const Caret& c = TheCaret();
    const RECT r{c.pos.x, c.pos.y, c.pos.x + c.size.cx, c.pos.y + c.size.cy};
    InvalidateRect(c.owner, &r, FALSE_);
}

bool Owns(HWND hwnd) {
    return Exists() && (hwnd == nullptr || hwnd == TheCaret().owner);
}

} // namespace

BOOL CreateCaret(HWND hwnd, HBITMAP, int width, int height) {
    if (!IsWindow(hwnd)) return FALSE_;
    DestroyCaret();
    Caret& c = TheCaret();
    c.owner = hwnd;
    c.size = SIZE{width > 0 ? width : GetSystemMetrics(SM_CXBORDER), height > 0 ? height : 1};
    c.hidden = 1;
    return TRUE_;
}

BOOL DestroyCaret() {
    if (!Exists()) return FALSE_;
    if (TheCaret().hidden == 0) RedrawCaret();
    TheCaret() = Caret{};
    return TRUE_;
}

BOOL SetCaretPos(int x, int y) {
    if (!Exists()) return FALSE_;
    Caret& c = TheCaret();
    if (c.pos.x == x && c.pos.y == y) return TRUE_;
    if (c.hidden == 0) RedrawCaret();
    c.pos = POINT{x, y};
    if (c.hidden == 0) RedrawCaret();
    return TRUE_;
}

BOOL GetCaretPos(POINT& point) {
    if (!Exists()) return FALSE_;
    point = TheCaret().pos;
    return TRUE_;
}

BOOL HideCaret(HWND hwnd) {
    if (!Owns(hwnd)) return FALSE_;
    if (TheCaret().hidden++ == 0) RedrawCaret();
    return TRUE_;
}

BOOL ShowCaret(HWND hwnd) {
    if (!Owns(hwnd)) return FALSE_;
    // Shown already: showing it again changes nothing.
    if (TheCaret().hidden > 0 && --TheCaret().hidden == 0) RedrawCaret();
    return TRUE_;
}

namespace pw::gui {

bool CaretShown(HWND hwnd) {
    return hwnd != nullptr && Owns(hwnd) && TheCaret().hidden == 0;
}

} // namespace pw::gui

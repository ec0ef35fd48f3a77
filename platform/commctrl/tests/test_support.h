#pragma once
// Shared pieces of the control tests: the application object, a parent window that records the
// notifications its controls send, and helpers that drive input.
#include <functional>
#include <string>
#include <vector>

#include "platform/commctrl/common_controls.h"
#include "platform/commctrl/std_controls.h"
#include "platform/gui/window_defs.h"
#include "tests/support/gui/pump.h"

namespace commctrl_test {

struct Notice {
    HWND from = nullptr;
    UINT msg = 0; // WM_COMMAND or WM_NOTIFY
    UINT code = 0;
    // For tree notifications: the items and action they carried.
    void* itemNew = nullptr;
    void* itemOld = nullptr;
    UINT action = 0;
    std::string text;
};

// A visible top-level window at (100, 100) on the screen, whose notifications are recorded.
class Host {
public:
    explicit Host(int width = 400, int height = 300);
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;
    HWND Hwnd() const { return hwnd_; }
    HWND Add(const char* cls, const char* text, DWORD style, RECT r, DWORD exStyle = 0, int id = 1);
    std::vector<Notice>& Notices();
    std::vector<UINT> Codes(HWND from) const;
    // Only the codes among `only`.
    std::vector<UINT> Codes(HWND from, std::initializer_list<UINT> only) const;
    // An answer the parent gives to one WM_NOTIFY code.
    void Answer(UINT code, LRESULT result);

private:
    HWND hwnd_;
};

using testsupport::Pump;
using testsupport::PumpUntil;

// A double-click time for one test, so that it waits milliseconds instead of the default half second;
// the previous time comes back when the object goes.
class ScopedDoubleClickTime {
public:
    explicit ScopedDoubleClickTime(UINT milliseconds);
    ~ScopedDoubleClickTime();
    ScopedDoubleClickTime(const ScopedDoubleClickTime&) = delete;
    ScopedDoubleClickTime& operator=(const ScopedDoubleClickTime&) = delete;

private:
    UINT old_;
};
// The same for the caret's blink time.
class ScopedCaretBlinkTime {
public:
    explicit ScopedCaretBlinkTime(UINT milliseconds);
    ~ScopedCaretBlinkTime();
    ScopedCaretBlinkTime(const ScopedCaretBlinkTime&) = delete;
    ScopedCaretBlinkTime& operator=(const ScopedCaretBlinkTime&) = delete;

private:
    UINT old_;
};
// Waits out the double-click time (a short one, set by the test), so that the last click does not pair
// with the next one into a double click.
void LetDoubleClickTimePass();
// Client coordinates of a control to the screen, then a click there.
void Click(HWND hwnd, int x, int y, bool doubleClick = false);
void RightClick(HWND hwnd, int x, int y);
// A click with a modifier key held down.
void ClickWith(BYTE modifier, HWND hwnd, int x, int y);
// Left button pressed at one client point, moved to another and released there.
void Drag(HWND hwnd, POINT from, POINT to);
// Types UTF-8 text as key strokes with characters.
void Type(const std::string& text);
void Key(BYTE vk);
void KeyWith(BYTE modifier, BYTE vk);
// Key strokes while a modifier counts as held, without its own key events.
void KeyWhileHeld(BYTE modifier, BYTE vk, int times = 1);
std::string Text(HWND hwnd);
LRESULT Send(HWND hwnd, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
SCROLLINFO ScrollInfo(HWND hwnd, int bar);
// A tree item with text, data and images (0 normally, selectedImage when selected).
HTREEITEM Insert(HWND tree, HTREEITEM parent, const char* text, HTREEITEM after = TVI_LAST, LPARAM data = 0,
                 int image = 0, int selectedImage = 1);

} // namespace commctrl_test

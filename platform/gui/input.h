#pragma once
// Keyboard and mouse state, capture, focus, activation, mouse tracking and hooks; and the input entry
// points that both the toolkit and the tests feed.
#include <string>

#include "platform/gui/messages.h"
#include "platform/gui/window_defs.h"

HWND SetCapture(HWND hwnd);
BOOL ReleaseCapture();
HWND GetCapture();

HWND SetFocus(HWND hwnd);
HWND GetFocus();
HWND SetActiveWindow(HWND hwnd);
HWND GetActiveWindow();
// The window of the family the unowned hwnd heads that was last active; hwnd itself for any other.
HWND GetLastActivePopup(HWND hwnd);
HWND GetForegroundWindow();
BOOL SetForegroundWindow(HWND hwnd);

SHORT GetKeyState(int vk);
SHORT GetAsyncKeyState(int vk);
BOOL GetKeyboardState(BYTE* keys256);

BOOL GetCursorPos(POINT& point);
BOOL SetCursorPos(int x, int y);

inline constexpr DWORD TME_HOVER = 0x00000001;
inline constexpr DWORD TME_LEAVE = 0x00000002;
inline constexpr DWORD TME_NONCLIENT = 0x00000010;
inline constexpr DWORD TME_QUERY = 0x40000000;
inline constexpr DWORD TME_CANCEL = 0x80000000;
inline constexpr DWORD HOVER_DEFAULT = 0xFFFFFFFF;

struct TRACKMOUSEEVENT {
    DWORD cbSize = sizeof(TRACKMOUSEEVENT);
    DWORD dwFlags = 0;
    HWND hwndTrack = nullptr;
    DWORD dwHoverTime = HOVER_DEFAULT;
};
BOOL TrackMouseEvent(TRACKMOUSEEVENT& event);

inline constexpr int WH_CALLWNDPROC = 4;
inline constexpr int WH_KEYBOARD = 2;
inline constexpr int WH_MOUSE = 7;
inline constexpr int HC_ACTION = 0;
inline constexpr int HC_NOREMOVE = 3;

using HOOKPROC = LRESULT (*)(int code, WPARAM wParam, LPARAM lParam);

struct MOUSEHOOKSTRUCT {
    POINT pt;
    HWND hwnd = nullptr;
    UINT wHitTestCode = 0;
    uintptr_t dwExtraInfo = 0;
};

struct CWPSTRUCT {
    LPARAM lParam = 0;
    WPARAM wParam = 0;
    UINT message = 0;
    HWND hwnd = nullptr;
};

// Thread hooks on the calling thread (keyboard, mouse and call-window-procedure); module and thread
// arguments are accepted for the Win32 shape.
HHOOK SetWindowsHookEx(int idHook, HOOKPROC proc, HINSTANCE module, DWORD threadId);
BOOL UnhookWindowsHookEx(HHOOK hook);
LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam);

namespace pw::gui {

enum class MouseButton { None, Left, Right, Middle };
enum class MouseAction { Move, Down, Up, Wheel };

// One input event of the pointer in screen coordinates, as the toolkit reports it. `host` names the
// top-level window the toolkit delivered it to (nullptr: find it by position).
struct MouseInput {
    MouseAction action = MouseAction::Move;
    MouseButton button = MouseButton::None;
    POINT screen;
    int wheelDelta = 0;
    HWND host = nullptr;
};

// Modifier keys as the toolkit reports them held with a key.
inline constexpr int kModifierShift = 1;
inline constexpr int kModifierCtrl = 2;
inline constexpr int kModifierAlt = 4;

struct KeyInput {
    BYTE vk = 0;
    bool down = true;
    bool autoRepeat = false;
    // What the key types, UTF-32; 0 for none.
    char32_t text = 0;
    HWND host = nullptr;
    // The kModifier* bits the toolkit saw held with this key; -1 when it does not say.
    int modifiers = -1;
};

// The single entry for pointer and key input: hooks first, then the queue of the window it is for.
void InjectMouse(const MouseInput& input);
void InjectKey(const KeyInput& input);
// Text an input method committed (any script): one WM_CHAR per character, UTF-32, to the focused
// window. The composition before the commit is the input method's own business.
void InjectText(const std::u32string& text);
// The pointer left every window of the program.
void InjectMouseExit();
// The same, with where the pointer is now: a jump out of the window brings no move of its own, and
// the place it left from would be taken for where it still is.
void InjectMouseExit(POINT screen);
// The window system took the pointer from the program while a window held the capture: the capture
// ends as on Win32 when the system takes it, with WM_CAPTURECHANGED.
void InjectCaptureLost();
// The toolkit asked to close a top-level window (its close button).
void InjectClose(HWND hwnd);
// The toolkit activated or deactivated a top-level window, or the application.
void InjectActivation(HWND hwnd, bool active);
void InjectAppActivation(bool active);

// Test conveniences that go through the entries above.
void SimulateMouse(MouseAction action, POINT screen, MouseButton button = MouseButton::None, int wheel = 0);
void SimulateClick(POINT screen, MouseButton button = MouseButton::Left);
void SimulateKey(BYTE vk, bool down, char32_t text = 0);
void SimulateText(const std::u32string& text);
// Presses and releases a key, with the character it types on a US layout.
void SimulateKeyStroke(BYTE vk);

// Tests may set any key state; it counts for GetKeyState and GetAsyncKeyState alike.
void SetKeyDown(BYTE vk, bool down);
void ClearKeyState();
} // namespace pw::gui

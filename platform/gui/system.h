#pragma once
// Monitors, cursors, sounds and the timings of the user interface.
#include <functional>
#include <string>
#include <vector>

#include "platform/gui/window_defs.h"

struct NONCLIENTMETRICS;

inline constexpr DWORD MONITOR_DEFAULTTONULL = 0;
inline constexpr DWORD MONITOR_DEFAULTTOPRIMARY = 1;
inline constexpr DWORD MONITOR_DEFAULTTONEAREST = 2;
inline constexpr DWORD MONITORINFOF_PRIMARY = 1;

struct MONITORINFO {
    DWORD cbSize = sizeof(MONITORINFO);
    RECT rcMonitor;
    RECT rcWork;
    DWORD dwFlags = 0;
};

HMONITOR MonitorFromPoint(POINT point, DWORD flags);
HMONITOR MonitorFromRect(const RECT& rect, DWORD flags);
HMONITOR MonitorFromWindow(HWND hwnd, DWORD flags);
BOOL GetMonitorInfo(HMONITOR monitor, MONITORINFO& info);

// Standard cursor identifiers (passed as the name with a null instance).
inline constexpr uintptr_t IDC_ARROW = 32512;
inline constexpr uintptr_t IDC_IBEAM = 32513;
inline constexpr uintptr_t IDC_WAIT = 32514;
inline constexpr uintptr_t IDC_CROSS = 32515;
inline constexpr uintptr_t IDC_UPARROW = 32516;
inline constexpr uintptr_t IDC_SIZENWSE = 32642;
inline constexpr uintptr_t IDC_SIZENESW = 32643;
inline constexpr uintptr_t IDC_SIZEWE = 32644;
inline constexpr uintptr_t IDC_SIZENS = 32645;
inline constexpr uintptr_t IDC_SIZEALL = 32646;
inline constexpr uintptr_t IDC_NO = 32648;
inline constexpr uintptr_t IDC_HAND = 32649;
inline constexpr uintptr_t IDC_APPSTARTING = 32650;
inline constexpr uintptr_t IDC_HELP = 32651;

HCURSOR LoadCursor(HINSTANCE instance, uintptr_t id);
// A cursor made from a 32-bit image (its hot spot in image coordinates); freed with DestroyCursor.
HCURSOR CreateCursorFromBitmap(HBITMAP image, int hotX, int hotY);
BOOL DestroyCursor(HCURSOR cursor);
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();

inline constexpr UINT MB_OK = 0x00000000;
inline constexpr UINT MB_ICONHAND = 0x00000010;
inline constexpr UINT MB_ICONQUESTION = 0x00000020;
inline constexpr UINT MB_ICONEXCLAMATION = 0x00000030;
inline constexpr UINT MB_ICONASTERISK = 0x00000040;
BOOL MessageBeep(UINT type);

// What a message box answers.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

inline constexpr DWORD SND_SYNC = 0x0000;
inline constexpr DWORD SND_ASYNC = 0x0001;
inline constexpr DWORD SND_NODEFAULT = 0x0002;
inline constexpr DWORD SND_NOSTOP = 0x0010;
inline constexpr DWORD SND_ALIAS = 0x00010000;
inline constexpr DWORD SND_NOWAIT = 0x00002000;
// Sounds are silent on Linux; a test can watch them through SetSoundSink.
BOOL PlaySound(const char* sound, HINSTANCE module, DWORD flags);

UINT GetDoubleClickTime();
UINT GetCaretBlinkTime();
// Process-wide, as the user's settings are; 0 restores the default double-click time (500 ms).
BOOL SetDoubleClickTime(UINT milliseconds);
BOOL SetCaretBlinkTime(UINT milliseconds);

namespace pw::gui {
// Screens in screen coordinates; the first is the primary one. Tests replace them.
struct ScreenInfo {
    RECT bounds;
    RECT workArea;
};
void SetScreens(const std::vector<ScreenInfo>& screens);
std::vector<ScreenInfo> Screens();
// The desktop changed under the program, told to every top-level window of this thread as the window
// system tells it: new screens send WM_DISPLAYCHANGE (the primary screen's depth and size) when a
// screen's size or their number changed, then WM_SETTINGCHANGE with SPI_SETWORKAREA when a work area
// changed; new non-client metrics (their fonts among them) send WM_SETTINGCHANGE with
// SPI_SETNONCLIENTMETRICS. Nothing is sent for what stayed the same.
void ChangeScreens(const std::vector<ScreenInfo>& screens);
void ChangeNonClientMetrics(const NONCLIENTMETRICS& metrics);
// The standard cursor id a cursor handle stands for (IDC_ARROW for custom ones without an image).
uintptr_t CursorId(HCURSOR cursor);
void SetSoundSink(std::function<void(const std::string& sound)> sink);
} // namespace pw::gui

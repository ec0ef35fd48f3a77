#pragma once
// Window classes and window objects: creation, destruction, hierarchy, geometry, visibility, window
// longs, text, regions and hidden message windows.
#include <functional>
#include <string>

#include "platform/gui/messages.h"
#include "platform/gui/window_defs.h"

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);
using ATOM = WORD;

struct WNDCLASS {
    UINT style = 0;
    WNDPROC lpfnWndProc = nullptr;
    int cbClsExtra = 0;
    int cbWndExtra = 0;
    HINSTANCE hInstance = nullptr;
    HICON hIcon = nullptr;
    HCURSOR hCursor = nullptr;
    HBRUSH hbrBackground = nullptr;
    const char* lpszMenuName = nullptr;
    const char* lpszClassName = nullptr;
};

struct WNDCLASSEX {
    UINT cbSize = sizeof(WNDCLASSEX);
    UINT style = 0;
    WNDPROC lpfnWndProc = nullptr;
    int cbClsExtra = 0;
    int cbWndExtra = 0;
    HINSTANCE hInstance = nullptr;
    HICON hIcon = nullptr;
    HCURSOR hCursor = nullptr;
    HBRUSH hbrBackground = nullptr;
    const char* lpszMenuName = nullptr;
    const char* lpszClassName = nullptr;
    HICON hIconSm = nullptr;
};

struct CREATESTRUCT {
    void* lpCreateParams = nullptr;
    HINSTANCE hInstance = nullptr;
    HMENU hMenu = nullptr;
    HWND hwndParent = nullptr;
    int cy = 0;
    int cx = 0;
    int y = 0;
    int x = 0;
    LONG style = 0;
    const char* lpszName = nullptr;
    const char* lpszClass = nullptr;
    DWORD dwExStyle = 0;
};

struct STYLESTRUCT {
    DWORD styleOld = 0;
    DWORD styleNew = 0;
};

ATOM RegisterClass(const WNDCLASS& wc);
ATOM RegisterClassEx(const WNDCLASSEX& wc);
BOOL UnregisterClass(const char* className, HINSTANCE instance);
BOOL GetClassInfo(HINSTANCE instance, const char* className, WNDCLASS& wc);
int GetClassName(HWND hwnd, char* buffer, int maxCount);
DWORD GetClassLong(HWND hwnd, int index);
DWORD SetClassLong(HWND hwnd, int index, LONG value);

// hWndParent is the parent of a WS_CHILD window and the owner of any other.
HWND CreateWindowEx(DWORD exStyle, const char* className, const char* windowName, DWORD style, int x, int y,
                    int width, int height, HWND hWndParent, HMENU menu, HINSTANCE instance, void* param);
BOOL DestroyWindow(HWND hwnd);
BOOL IsWindow(HWND hwnd);
BOOL IsWindowVisible(HWND hwnd);
BOOL IsWindowEnabled(HWND hwnd);
BOOL EnableWindow(HWND hwnd, BOOL enable);
BOOL IsIconic(HWND hwnd);
BOOL IsZoomed(HWND hwnd);
BOOL ShowWindow(HWND hwnd, int cmd);
BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint);
BOOL BringWindowToTop(HWND hwnd);

BOOL GetWindowRect(HWND hwnd, RECT& rect);
BOOL GetClientRect(HWND hwnd, RECT& rect);
BOOL ClientToScreen(HWND hwnd, POINT& point);
BOOL ScreenToClient(HWND hwnd, POINT& point);
int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count);
int MapWindowPoints(HWND from, HWND to, RECT& rect);

HWND WindowFromPoint(POINT screenPoint);
HWND ChildWindowFromPointEx(HWND parent, POINT clientPoint, UINT flags);
namespace pw::gui {
// The top-level window WindowFromPoint finds the point in, without looking for the child under it: the
// frontmost shown one, passing by those the pointer goes through (shadows, hints) and Skipped (a window
// being dragged over the others).
HWND TopLevelAt(POINT screen, HWND skipped = nullptr);
} // namespace pw::gui

HWND GetParent(HWND hwnd);
HWND SetParent(HWND child, HWND newParent);
BOOL IsChild(HWND parent, HWND hwnd);
HWND GetAncestor(HWND hwnd, UINT flags);
HWND GetWindow(HWND hwnd, UINT cmd);
HWND GetTopWindow(HWND hwnd);
HWND GetDesktopWindow();
DWORD GetWindowThreadProcessId(HWND hwnd, DWORD* processId);

LONG GetWindowLong(HWND hwnd, int index);
LONG SetWindowLong(HWND hwnd, int index, LONG value);
LONG_PTR GetWindowLongPtr(HWND hwnd, int index);
LONG_PTR SetWindowLongPtr(HWND hwnd, int index, LONG_PTR value);
LRESULT CallWindowProc(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
inline LRESULT CallWindowProc(WNDPROC proc, HWND hwnd, const TMessage& m) {
    return CallWindowProc(proc, hwnd, m.Msg, m.WParam, m.LParam);
}

BOOL SetWindowText(HWND hwnd, const std::string& text);
int GetWindowText(HWND hwnd, char* buffer, int maxCount);
std::string GetWindowText(HWND hwnd);
int GetWindowTextLength(HWND hwnd);

// The region is in window coordinates; the window owns it afterwards (and deletes it).
int SetWindowRgn(HWND hwnd, HRGN region, BOOL redraw);
BOOL SetLayeredWindowAttributes(HWND hwnd, COLORREF key, BYTE alpha, DWORD flags);
BOOL GetLayeredWindowAttributes(HWND hwnd, COLORREF* key, BYTE* alpha, DWORD* flags);

// Hidden message-only windows for worker-thread calls and socket events; they belong to the calling
// thread.
using TWndMethod = std::function<void(TMessage& message)>;
HWND AllocateHWnd(TWndMethod method);
void DeallocateHWnd(HWND hwnd);

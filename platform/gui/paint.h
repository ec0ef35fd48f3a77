#pragma once
// Invalidation and painting: update regions, WM_PAINT, device contexts on a window's backing image.
#include "platform/gui/window_defs.h"

class Surface;

struct PAINTSTRUCT {
    HDC hdc = nullptr;
    BOOL fErase = 0;
    RECT rcPaint;
    BOOL fRestore = 0;
    BOOL fIncUpdate = 0;
    BYTE rgbReserved[32] = {};
};

inline constexpr UINT RDW_INVALIDATE = 0x0001;
inline constexpr UINT RDW_INTERNALPAINT = 0x0002;
inline constexpr UINT RDW_ERASE = 0x0004;
inline constexpr UINT RDW_VALIDATE = 0x0008;
inline constexpr UINT RDW_NOINTERNALPAINT = 0x0010;
inline constexpr UINT RDW_NOERASE = 0x0020;
inline constexpr UINT RDW_NOCHILDREN = 0x0040;
inline constexpr UINT RDW_ALLCHILDREN = 0x0080;
inline constexpr UINT RDW_UPDATENOW = 0x0100;
inline constexpr UINT RDW_ERASENOW = 0x0200;
inline constexpr UINT RDW_FRAME = 0x0400;
inline constexpr UINT RDW_NOFRAME = 0x0800;

inline constexpr DWORD DCX_WINDOW = 0x00000001;
inline constexpr DWORD DCX_CACHE = 0x00000002;
inline constexpr DWORD DCX_PARENTCLIP = 0x00000020;
inline constexpr DWORD DCX_CLIPSIBLINGS = 0x00000010;
inline constexpr DWORD DCX_CLIPCHILDREN = 0x00000008;
inline constexpr DWORD DCX_EXCLUDERGN = 0x00000040;
inline constexpr DWORD DCX_INTERSECTRGN = 0x00000080;

// The rectangle and region are in client coordinates; nullptr means the whole client area.
BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase);
BOOL InvalidateRgn(HWND hwnd, HRGN region, BOOL erase);
BOOL ValidateRect(HWND hwnd, const RECT* rect);
BOOL ValidateRgn(HWND hwnd, HRGN region);
BOOL GetUpdateRect(HWND hwnd, RECT* rect, BOOL erase);
int GetUpdateRgn(HWND hwnd, HRGN region, BOOL erase);
BOOL UpdateWindow(HWND hwnd);
// rect and region are in client coordinates (the frame is included with RDW_FRAME).
BOOL RedrawWindow(HWND hwnd, const RECT* rect, HRGN region, UINT flags);

inline constexpr UINT SW_SCROLLCHILDREN = 0x0001;
inline constexpr UINT SW_INVALIDATE = 0x0002;
inline constexpr UINT SW_ERASE = 0x0004;

// Moves the pixels of the client area (or of scroll, client coordinates) by dx, dy inside what the
// window shows, limited to clip; what was laid bare or could not be copied is the update region
// (invalidated with SW_INVALIDATE); SW_SCROLLCHILDREN moves the children under scroll along.
// Answers the update region's kind (NULLREGION, SIMPLEREGION, COMPLEXREGION) or ERROR.
int ScrollWindowEx(HWND hwnd, int dx, int dy, const RECT* scroll, const RECT* clip, HRGN update,
                   RECT* updateRect, UINT flags);
BOOL ScrollWindow(HWND hwnd, int dx, int dy, const RECT* scroll, const RECT* clip);

HDC BeginPaint(HWND hwnd, PAINTSTRUCT& ps);
BOOL EndPaint(HWND hwnd, const PAINTSTRUCT& ps);

// GetDC(nullptr) is the screen: a DC on an image of the screen's size that shows nothing.
HDC GetDC(HWND hwnd);
HDC GetDCEx(HWND hwnd, HRGN clip, DWORD flags);
HDC GetWindowDC(HWND hwnd);
int ReleaseDC(HWND hwnd, HDC dc);

namespace pw::gui {
// The window's image as the screen shows it (the whole window, frame and children included): a
// top-level window's backing store, or a copy of a child's area in it; nullptr for a stale handle.
const Surface* WindowSurface(HWND hwnd);
// A copy of the window's area in its top-level window's backing store.
Surface ComposeWindow(HWND hwnd);
// Every visible top-level window composed back to front over the desktop colour: what the screen shows
// of the program inside area (screen coordinates).
Surface ComposeScreen(const RECT& area);
// Pixels of the backing stores handed to the screen so far (shown top-level windows): what changed.
// The host copies them when anyone can see the windows, offscreen nothing.
long long PixelsCopiedToScreen();
// Pixels moved inside the backing stores by scrolling windows so far.
long long PixelsScrolled();
// Delivers WM_NCPAINT and WM_PAINT to every window of this thread that needs it.
void PaintPendingWindows();
} // namespace pw::gui

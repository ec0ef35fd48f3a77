#pragma once
// Windows whose whole image comes from a bitmap with per-pixel alpha, and shown with an animation.
#include "platform/gdi/gdi_structs.h"
#include "platform/gui/window_defs.h"

inline constexpr DWORD ULW_COLORKEY = 0x1;
inline constexpr DWORD ULW_ALPHA = 0x2;
inline constexpr DWORD ULW_OPAQUE = 0x4;

inline constexpr DWORD AW_HOR_POSITIVE = 0x1;
inline constexpr DWORD AW_HOR_NEGATIVE = 0x2;
inline constexpr DWORD AW_VER_POSITIVE = 0x4;
inline constexpr DWORD AW_VER_NEGATIVE = 0x8;
inline constexpr DWORD AW_CENTER = 0x10;
inline constexpr DWORD AW_HIDE = 0x10000;
inline constexpr DWORD AW_ACTIVATE = 0x20000;
inline constexpr DWORD AW_SLIDE = 0x40000;
inline constexpr DWORD AW_BLEND = 0x80000;

// The window must have WS_EX_LAYERED. The source pixels are premultiplied with ULW_ALPHA and
// AC_SRC_ALPHA; the window takes them as its whole image.
BOOL UpdateLayeredWindow(HWND hwnd, HDC dstDC, const POINT* dstPos, const SIZE* size, HDC srcDC,
                         const POINT* srcPos, COLORREF key, const BLENDFUNCTION* blend, DWORD flags);
// Shows (or with AW_HIDE hides) the window with an animation lasting timeMs, and returns when it is
// over. AW_BLEND fades a top-level window in or out; the other effects, rolling and sliding, show or
// hide it at once. Fails when the window is already as asked, for a blend of a child window, for a
// roll or slide without a direction, and on a thread that does not own the window. Nobody sees a fade
// of a window without a toolkit window, offscreen or on a desktop that does not blend windows: it
// then ends at once, in the same state.
BOOL AnimateWindow(HWND hwnd, DWORD timeMs, DWORD flags);
namespace pw::gui {
// Whether the desktop composes windows, so that a layered window's per-pixel alpha shows over what lies
// below it; false on a desktop without a compositing manager, where that alpha would show as black.
bool DesktopComposesTranslucency();
} // namespace pw::gui

#pragma once
// Where a window is shown and where it returns to when it is restored.
#include "platform/gui/window_defs.h"

struct WINDOWPLACEMENT {
    UINT length = sizeof(WINDOWPLACEMENT);
    UINT flags = 0;
    UINT showCmd = 0;
    POINT ptMinPosition{-1, -1};
    POINT ptMaxPosition{-1, -1};
    RECT rcNormalPosition{0, 0, 0, 0};
};

// showCmd is SW_SHOWMINIMIZED, SW_SHOWMAXIMIZED or SW_SHOWNORMAL (SW_HIDE for a hidden window);
// rcNormalPosition is the restored rectangle, in screen coordinates for a top-level window and in its
// parent's client coordinates for a child.
BOOL GetWindowPlacement(HWND hwnd, WINDOWPLACEMENT& placement);

namespace pw::gui {
// The widths of the frame the desktop's window manager puts round a top-level window (title bar,
// borders) outside its rectangle: left, top, right and bottom, also before the window is first shown.
// Zero for a child, a window the desktop frames not, or where it cannot say.
RECT WindowManagerFrame(HWND hwnd);
} // namespace pw::gui

#pragma once
// The default non-client area of windows that draw their own frame: its size, hit testing and painting.
#include "platform/gui/messages.h"
#include "platform/gui/window_defs.h"

namespace pw::gui {

struct Window;

struct FrameMetrics {
    int border = 0;  // on every side
    int caption = 0; // below the top border
    bool native = false;
};

FrameMetrics DefaultFrame(const Window& w);
// Shrinks the window rectangle a WM_NCCALCSIZE brings to the client area (nothing when it brings none).
void DefNcCalcSize(HWND hwnd, RECT* rect);
LRESULT DefNcHitTest(HWND hwnd, POINT screen);
// Draws into target when given (WM_PRINT hands its DC over), else into the window.
void DefNcPaint(HWND hwnd, bool active, HDC target = nullptr);
// The close button of our own caption, in window coordinates.
RECT CaptionCloseButton(const Window& w);
// The resize loop DefWindowProc runs for a press on a sizing border.
void RunSizeLoop(HWND hwnd, LRESULT hit, POINT start);
// The system's track sizes, as the window changed them in WM_GETMINMAXINFO.
MINMAXINFO QueryMinMaxInfo(HWND hwnd);
// Hands the track sizes of a top-level window with a sizing frame to its host, so that resizing by the
// desktop's frame keeps to them too.
void ApplySizeLimits(HWND hwnd);

} // namespace pw::gui

// The sizeable pop-up frame and its close button.
#include "bars/painters/window_frame.h"

#include <algorithm>

#include "bars/core/bar_drawing.h"
#include "lookandfeel/size_grip.h"
#include "platform/gdi/edges.h"
#include "platform/gdi/metrics.h"
#include "platform/gdi/regions.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/syscolors.h"
#include "platform/gui/window.h"
#include "platform/gui/window_dc.h"
#include "platform/rtl/wintypes.h"

namespace bars {

namespace {

RECT Moved(RECT r, int dx, int dy) {
    OffsetRect(r, dx, dy);
    return r;
}

void Exclude(HDC dc, const RECT& r) {
    ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
}

} // namespace

void DrawWindowCloseButton(HDC DC, RECT& Rect, bool Active, int Corner, bool Flat, bool Pressed) {
    const int w = GetSystemMetrics(SM_CXSIZE);
    RECT r = Rect;
    if (Corner == 1 || Corner == 3)
        r.right = r.left + w;
    else
        r.left = r.right - w;
    r.top = (r.top + r.bottom - (w + 1)) / 2 + (Corner >= 2 ? 1 : 0);
    r.bottom = r.top + w + 1;
    Rect = r;

    const HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
    r = Inflated(r, -1, -2);
    if (!Active || Flat)
        FrameRect(DC, &r, face);
    else
        DrawEdge(DC, &r, Pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    r = Inflated(r, -1, -1);
    FrameRect(DC, &r, face);
    HRGN saved = nullptr;
    bool hadRegion = false;
    SaveClipRegion(DC, saved, hadRegion);
    const RECT clip = Inflated(r, -1, -1);
    IntersectClipRect(DC, clip.left, clip.top, clip.right, clip.bottom);
    // The glyph is drawn in the button's full face, of which only the inside shows.
    if (w != 22) ++r.top;
    DrawFrameControl(DC, &r, DFC_CAPTION,
                     DFCS_CAPTIONCLOSE | DFCS_FLAT | (Pressed && !Flat ? DFCS_PUSHED : 0));
    RestoreClipRegion(DC, saved, hadRegion);
}

void DrawSizeableWindowFrame(HWND Wnd, bool Sizeable, bool Flat, int Corner, RECT& GripRect,
                             RECT& CloseButtonRect, bool CloseButtonHot, bool CloseButtonPressed) {
    const pw::gui::WindowDC dc(Wnd, pw::gui::WindowDC::Area::Window);
    RECT window{0, 0, 0, 0};
    GetWindowRect(Wnd, window);
    GripRect = CloseButtonRect = window;
    POINT origin{0, 0};
    ClientToScreen(Wnd, origin);
    const int border = origin.x - window.left;
    RECT r{0, 0, window.right - window.left, window.bottom - window.top};

    const HBRUSH frame = GetSysColorBrush(Flat ? COLOR_BTNSHADOW : COLOR_WINDOWFRAME);
    FrameRect(dc.Get(), &r, frame);
    if (!Sizeable) {
        GripRect = CloseButtonRect = RECT{0, 0, 0, 0};
        return;
    }
    r = Inflated(r, -border, -border);
    const int height = GetSizeGripAreaHeight();
    const bool bottom = Corner >= 2;
    RECT strip = r;
    RECT separator{};
    if (bottom) {
        strip.top = r.bottom - height + 1;
        separator = RECT{r.left, strip.top - 1, r.right, strip.top};
    } else {
        strip.bottom = r.top + height - 1;
        separator = RECT{r.left, strip.bottom, r.right, strip.bottom + 1};
    }
    FillRect(dc.Get(), &separator, frame);

    RECT grip = strip;
    DrawSizeGrip(dc.Get(), grip, Corner);
    Exclude(dc.Get(), grip);
    grip = Inflated(grip, 2, 2);
    grip.top = std::max(grip.top, strip.top);
    grip.bottom = std::min(grip.bottom, strip.bottom);
    GripRect = Moved(grip, window.left, window.top);

    RECT button = strip;
    DrawWindowCloseButton(dc.Get(), button, CloseButtonHot || CloseButtonPressed, Corner, Flat,
                          CloseButtonHot && CloseButtonPressed);
    Exclude(dc.Get(), button);
    CloseButtonRect = Moved(button, window.left, window.top);

    FillRect(dc.Get(), &strip, GetSysColorBrush(COLOR_BTNFACE));
    const LONG style = GetWindowLong(Wnd, GWL_STYLE);
    if (bottom && (style & WS_HSCROLL) && (style & WS_VSCROLL)) {
        // The corner where the two scroll bars meet.
        const RECT corner{r.right - GetSystemMetrics(SM_CXVSCROLL),
                          separator.top - GetSystemMetrics(SM_CYHSCROLL), r.right, separator.top};
        FillRect(dc.Get(), &corner, GetSysColorBrush(COLOR_BTNFACE));
    }
}

} // namespace bars

#include "lookandfeel/size_grip.h"

#include <algorithm>

#include "platform/gdi/bitmaps.h"
#include "platform/gdi/blit.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/edges.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/metrics.h"
#include "platform/gdi/scoped.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/syscolors.h"

int GetSizeGripAreaHeight() {
    return std::max(GetSystemMetrics(SM_CYHSCROLL) + 2, GetSystemMetrics(SM_CYSIZE)) + 1;
}

int GetSizeGripCorner(const RECT& Window, const RECT& Owner) {
    static constexpr int corners[4] = {0, 2, 1, 3};
    return corners[(Window.left < Owner.right ? 2 : 0) + (Window.bottom < Owner.bottom ? 1 : 0)];
}

void DrawSizeGrip(HDC DC, RECT& Rect, int Corner) {
    const int w = GetSystemMetrics(SM_CXVSCROLL);
    const int h = GetSystemMetrics(SM_CYHSCROLL);
    const bool right = Corner == 1 || Corner == 3;
    const bool bottom = Corner == 2 || Corner == 3;
    const int left = right ? Rect.right - w : Rect.left;
    const int top = bottom ? Rect.bottom - h : Rect.top;
    Rect = RECT{left, top, left + w, top + h};

    // The frame control draws the bottom-right grip; other corners take it mirrored.
    const pw::gdi::MemoryDC grip(DC, w, h);
    HDC memory = grip.Get();
    RECT cell{0, 0, w, h};
    FillRect(memory, &cell, GetSysColorBrush(COLOR_BTNFACE));
    DrawFrameControl(memory, &cell, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            BitBlt(DC, left + (right ? x : w - 1 - x), top + (bottom ? y : h - 1 - y), 1, 1, memory, x, y,
                   SRCCOPY);
}

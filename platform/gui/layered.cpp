#include "platform/gui/layered.h"

#include "platform/gdi/dc.h"
#include "platform/gdi/surface.h"
#include "platform/gui/backend.h"
#include "platform/gui/gui_state.h"

using namespace pw::gui;

BOOL UpdateLayeredWindow(HWND hwnd, HDC, const POINT* dstPos, const SIZE* size, HDC srcDC,
                         const POINT* srcPos, COLORREF, const BLENDFUNCTION* blend, DWORD flags) {
    auto w = FindLiveWindow(hwnd);
    if (!w || !(w->exStyle & WS_EX_LAYERED)) return FALSE_;
    RECT r;
    GetWindowRect(hwnd, r);
    int width = size ? size->cx : r.right - r.left;
    int height = size ? size->cy : r.bottom - r.top;
    if (width < 0 || height < 0) return FALSE_;
    if (dstPos || size) {
        UINT keep = SWP_NOZORDER | SWP_NOACTIVATE | (dstPos ? 0 : SWP_NOMOVE) | (size ? 0 : SWP_NOSIZE);
        SetWindowPos(hwnd, nullptr, dstPos ? dstPos->x : 0, dstPos ? dstPos->y : 0, width, height, keep);
    }
    const Surface* src = srcDC ? GetDCSurface(srcDC) : nullptr;
    POINT from = srcPos ? *srcPos : POINT{};
    if (srcDC && !src) return FALSE_;
    const bool perPixel = (flags & ULW_ALPHA) && blend && (blend->AlphaFormat & AC_SRC_ALPHA);
    {
        Guard g(Lock());
        w->perPixelAlpha = perPixel;
        if (flags & ULW_ALPHA && blend) w->alpha = blend->SourceConstantAlpha;
    }
    // The store's pixels belong to the window's thread: copied without the lock.
    if (src) {
        POINT org{};
        GetDCOrgEx(srcDC, &org);
        for (int y = 0; y < height && y < w->surface.Height(); ++y)
            for (int x = 0; x < width && x < w->surface.Width(); ++x) {
                int sx = from.x + org.x + x, sy = from.y + org.y + y;
                if (!src->Contains(sx, sy)) return FALSE_;
                uint32_t p = src->Pixel(sx, sy);
                w->surface.SetPixel(x, y, perPixel ? p : (p | 0xFF000000u));
            }
    }
    {
        Guard g(Lock());
        w->update = Region();
    }
    RefreshHost(hwnd);
    return TRUE_;
}

bool pw::gui::DesktopComposesTranslucency() {
    const Backend* backend = CurrentBackend();
    return backend == nullptr || backend->ComposesTranslucentWindows();
}

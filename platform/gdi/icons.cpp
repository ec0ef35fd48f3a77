#include "platform/gdi/icons.h"

#include "platform/gdi/blit_internal.h"
#include "platform/gdi/metrics.h"
#include "platform/gdi/painting.h"

using namespace pw::gdi;

namespace {

std::shared_ptr<BitmapObject> CopyBitmap(HBITMAP h) {
    auto src = LookupAs<BitmapObject>(h, Kind::Bitmap);
    if (!src) return nullptr;
    src->PullDib();
    auto copy = std::make_shared<BitmapObject>();
    copy->surface = src->surface;
    copy->mono = src->mono;
    return copy;
}

bool HasAlpha(const Surface& s) {
    const uint32_t* p = s.Bits();
    for (size_t i = 0, n = static_cast<size_t>(s.Width()) * s.Height(); i < n; ++i)
        if ((p[i] >> 24) != 0) return true;
    return false;
}

} // namespace

HICON CreateIconIndirect(const ICONINFO* info) {
    if (!info || !info->hbmMask) return nullptr;
    auto icon = std::make_shared<IconObject>();
    icon->mask = CopyBitmap(info->hbmMask);
    if (!icon->mask) return nullptr;
    if (info->hbmColor) {
        icon->color = CopyBitmap(info->hbmColor);
        if (!icon->color) return nullptr;
    } else if (icon->mask->Height() < 2) {
        return nullptr;
    }
    icon->isIcon = info->fIcon != 0;
    icon->hotspot = POINT{static_cast<LONG>(info->xHotspot), static_cast<LONG>(info->yHotspot)};
    return static_cast<HICON>(Register(icon));
}

BOOL DestroyIcon(HICON icon) {
    if (!LookupAs<IconObject>(icon, Kind::Icon)) return 0;
    return Unregister(icon) ? 1 : 0;
}

BOOL GetIconInfo(HICON icon, ICONINFO* info) {
    auto o = LookupAs<IconObject>(icon, Kind::Icon);
    if (!o || !info) return 0;
    auto copy = [](const std::shared_ptr<BitmapObject>& b) -> HBITMAP {
        if (!b) return nullptr;
        auto c = std::make_shared<BitmapObject>();
        c->surface = b->surface;
        c->mono = b->mono;
        return static_cast<HBITMAP>(Register(c));
    };
    info->fIcon = o->isIcon ? 1 : 0;
    info->xHotspot = static_cast<DWORD>(o->hotspot.x);
    info->yHotspot = static_cast<DWORD>(o->hotspot.y);
    info->hbmMask = copy(o->mask);
    info->hbmColor = copy(o->color);
    return 1;
}

BOOL DrawIcon(HDC hdc, int x, int y, HICON icon) {
    return DrawIconEx(hdc, x, y, icon, 0, 0, 0, nullptr, DI_NORMAL);
}

BOOL DrawIconEx(HDC hdc, int x, int y, HICON icon, int width, int height, UINT, HBRUSH, UINT flags) {
    auto dc = LookupDc(hdc);
    auto o = LookupAs<IconObject>(icon, Kind::Icon);
    if (!dc || !o) return 0;
    const int w = o->mask->Width();
    const int h = o->color ? o->color->Height() : o->mask->Height() / 2;
    if (width == 0) width = (flags & DI_DEFAULTSIZE) ? GetSystemMetrics(SM_CXICON) : w;
    if (height == 0) height = (flags & DI_DEFAULTSIZE) ? GetSystemMetrics(SM_CYICON) : h;
    const POINT p = dc->ToDevice(POINT{x, y});
    TargetAccess access(*dc);
    BlitSource mask;
    mask.surface = &o->mask->surface;
    mask.rect = RECT{0, 0, w, h};
    mask.mono = true;
    BlitSource image;
    if (o->color) {
        image.surface = &o->color->surface;
        image.rect = RECT{0, 0, w, h};
    } else {
        image = mask;
        image.rect = RECT{0, h, w, 2 * h};
    }
    // The mask and image of an icon are black and white by definition, whatever the DC's colours.
    const COLORREF text = dc->st.textColor, back = dc->st.bkColor;
    dc->st.textColor = RGB(0, 0, 0);
    dc->st.bkColor = RGB(255, 255, 255);
    const bool image32 = o->color && HasAlpha(o->color->surface);
    if ((flags & DI_NORMAL) == DI_NORMAL && image32) {
        // Colour icons with an alpha channel blend by it; their mask is not needed.
        const Surface& s = o->color->surface;
        ForEachVisiblePixel(*dc, Region(RECT{p.x, p.y, p.x + width, p.y + height}),
                            [&](int px, int py, uint32_t& d) {
                                const int sx = (px - p.x) * w / width, sy = (py - p.y) * h / height;
                                const uint32_t sp = s.Pixel(sx, sy), a = sp >> 24;
                                uint32_t out = 0xFF000000u;
                                for (int shift = 0; shift <= 16; shift += 8) {
                                    const uint32_t sc = (sp >> shift) & 0xFF, dcv = (d >> shift) & 0xFF;
                                    out |= ((sc * a + dcv * (255 - a) + 127) / 255) << shift;
                                }
                                d = dc->Mono() ? ToMono(out) : out;
                            });
    } else {
        if (flags & DI_MASK) Blit(*dc, p.x, p.y, width, height, &mask, SRCAND);
        if (flags & DI_IMAGE)
            Blit(*dc, p.x, p.y, width, height, &image, (flags & DI_MASK) ? SRCINVERT : SRCCOPY);
    }
    dc->st.textColor = text;
    dc->st.bkColor = back;
    return 1;
}

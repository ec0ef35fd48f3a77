#include "platform/gdi/bitmaps.h"
#include "platform/gdi/dc_internal.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/icons.h"

using namespace pw::gdi;

namespace {

std::shared_ptr<BitmapObject> Resized(BitmapObject& src, int cx, int cy, bool mono) {
    src.PullDib();
    const int w = src.Width(), h = src.Height();
    const int nw = cx > 0 ? cx : w, nh = cy > 0 ? cy : h;
    auto out = std::make_shared<BitmapObject>();
    out->mono = mono || src.mono;
    out->surface.Resize(nw, nh);
    for (int y = 0; y < nh; ++y)
        for (int x = 0; x < nw; ++x) {
            const uint32_t p = src.surface.Pixel(static_cast<int>(static_cast<long long>(x) * w / nw),
                                                 static_cast<int>(static_cast<long long>(y) * h / nh));
            out->surface.SetPixel(x, y, out->mono ? ToMono(p) : p);
        }
    return out;
}

} // namespace

HBITMAP CreateDIBitmap(HDC hdc, const BITMAPINFOHEADER* header, DWORD init, const void* bits,
                       const BITMAPINFO* info, UINT usage) {
    if (!header) return nullptr;
    const int height = header->biHeight < 0 ? -header->biHeight : header->biHeight;
    HBITMAP bm = CreateCompatibleBitmap(hdc, header->biWidth, height);
    if (!bm || !(init & CBM_INIT)) return bm;
    if (SetDIBits(hdc, bm, 0, static_cast<UINT>(height), bits, info, usage) == 0) {
        DeleteObject(bm);
        return nullptr;
    }
    return bm;
}

HANDLE CopyImage(HANDLE image, UINT type, int cx, int cy, UINT flags) {
    if (cx < 0 || cy < 0) return nullptr;
    HANDLE copy = nullptr;
    if (type == IMAGE_BITMAP) {
        auto src = LookupAs<BitmapObject>(image, Kind::Bitmap);
        if (!src) return nullptr;
        if ((flags & LR_COPYRETURNORG) && cx == 0 && cy == 0) return image;
        copy = Register(Resized(*src, cx, cy, (flags & LR_MONOCHROME) != 0));
        if (flags & LR_COPYDELETEORG) DeleteObject(image);
    } else if (type == IMAGE_ICON || type == IMAGE_CURSOR) {
        auto src = LookupAs<IconObject>(image, Kind::Icon);
        if (!src) return nullptr;
        auto icon = std::make_shared<IconObject>(*src);
        const int h = src->color ? src->color->Height() : src->mask->Height() / 2;
        const int nw = cx > 0 ? cx : src->mask->Width(), nh = cy > 0 ? cy : h;
        icon->mask = Resized(*src->mask, nw, src->color ? nh : 2 * nh, true);
        if (src->color) icon->color = Resized(*src->color, nw, nh, (flags & LR_MONOCHROME) != 0);
        copy = Register(icon);
        if (flags & LR_COPYDELETEORG) DestroyIcon(static_cast<HICON>(image));
    }
    return copy;
}

// Image lists: equally sized images with transparency, drawn normal, transparent or blended.
#include <algorithm>
#include <vector>

#include "platform/commctrl/common_controls.h"
#include "platform/gdi/bitmaps.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/scoped.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/syscolors.h"

struct ImageListData {
    int cx = 0;
    int cy = 0;
    UINT flags = 0;
    COLORREF background = CLR_NONE;
    // 0x00RRGGBB with the top byte 0xFF where the image shows and 0 where it is transparent.
    std::vector<std::vector<uint32_t>> images;
};

namespace {

// The pixels of a bitmap as top-down 0xAARRGGBB rows.
bool ReadPixels(HBITMAP bitmap, int& width, int& height, std::vector<uint32_t>& out) {
    BITMAP bm{};
    if (!bitmap || !GetObject(bitmap, sizeof bm, &bm)) return false;
    width = bm.bmWidth;
    height = bm.bmHeight;
    if (width <= 0 || height <= 0) return false;
    BITMAPINFO256 info{};
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    out.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    const pw::gdi::MemoryDC dc(nullptr);
    const int lines =
        GetDIBits(dc.Get(), bitmap, 0, static_cast<UINT>(height), out.data(), info.Info(), DIB_RGB_COLORS);
    return lines == height;
}

bool Valid(HIMAGELIST list) {
    return list != nullptr;
}

uint32_t Blend(uint32_t a, uint32_t b, int weightB) {
    auto mix = [&](int shift) {
        const int ca = static_cast<int>((a >> shift) & 0xFF), cb = static_cast<int>((b >> shift) & 0xFF);
        return static_cast<uint32_t>((ca * (100 - weightB) + cb * weightB) / 100) << shift;
    };
    return mix(16) | mix(8) | mix(0);
}

int AddPixels(HIMAGELIST list, const std::vector<uint32_t>& pixels, int width, int height,
              const std::vector<uint32_t>* mask, bool useKey, uint32_t key) {
    if (list->cx <= 0 || list->cy <= 0 || height < list->cy) return -1;
    const int count = width / list->cx;
    if (count <= 0) return -1;
    const int first = static_cast<int>(list->images.size());
    for (int n = 0; n < count; ++n) {
        std::vector<uint32_t> image(static_cast<size_t>(list->cx) * static_cast<size_t>(list->cy));
        for (int y = 0; y < list->cy; ++y)
            for (int x = 0; x < list->cx; ++x) {
                const size_t src = static_cast<size_t>(y) * static_cast<size_t>(width) +
                                   static_cast<size_t>(n * list->cx + x);
                const uint32_t rgb = pixels[src] & 0x00FFFFFFu;
                bool transparent = false;
                if (mask) transparent = ((*mask)[src] & 0x00FFFFFFu) != 0; // white mask bits are see-through
                if (useKey) transparent = rgb == key;
                image[static_cast<size_t>(y) * static_cast<size_t>(list->cx) + static_cast<size_t>(x)] =
                    transparent ? 0 : (0xFF000000u | rgb);
            }
        list->images.push_back(std::move(image));
    }
    return first;
}

} // namespace

HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int, int) {
    if (cx <= 0 || cy <= 0) return nullptr;
    auto* list = new ImageListData;
    list->cx = cx;
    list->cy = cy;
    list->flags = flags;
    return list;
}

BOOL ImageList_Destroy(HIMAGELIST list) {
    if (!Valid(list)) return FALSE_;
    delete list;
    return TRUE_;
}

int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask) {
    if (!Valid(list)) return -1;
    int w = 0, h = 0, mw = 0, mh = 0;
    std::vector<uint32_t> pixels, maskPixels;
    if (!ReadPixels(image, w, h, pixels)) return -1;
    const bool masked =
        (list->flags & ILC_MASK) && mask && ReadPixels(mask, mw, mh, maskPixels) && mw >= w && mh >= h;
    if (masked && mw != w) {
        std::vector<uint32_t> cropped(static_cast<size_t>(w) * static_cast<size_t>(h));
        for (int y = 0; y < h; ++y)
            std::copy_n(maskPixels.begin() + static_cast<long>(y) * mw, w,
                        cropped.begin() + static_cast<long>(y) * w);
        maskPixels.swap(cropped);
    }
    return AddPixels(list, pixels, w, h, masked ? &maskPixels : nullptr, false, 0);
}

int ImageList_AddMasked(HIMAGELIST list, HBITMAP image, COLORREF maskColor) {
    if (!Valid(list)) return -1;
    int w = 0, h = 0;
    std::vector<uint32_t> pixels;
    if (!ReadPixels(image, w, h, pixels)) return -1;
    const uint32_t key = (static_cast<uint32_t>(GetRValue(maskColor)) << 16) |
                         (static_cast<uint32_t>(GetGValue(maskColor)) << 8) | GetBValue(maskColor);
    return AddPixels(list, pixels, w, h, nullptr, true, key);
}

BOOL ImageList_Remove(HIMAGELIST list, int index) {
    if (!Valid(list)) return FALSE_;
    if (index == -1) {
        list->images.clear();
        return TRUE_;
    }
    if (index < 0 || index >= static_cast<int>(list->images.size())) return FALSE_;
    list->images.erase(list->images.begin() + index);
    return TRUE_;
}

int ImageList_GetImageCount(HIMAGELIST list) {
    return Valid(list) ? static_cast<int>(list->images.size()) : 0;
}

BOOL ImageList_GetIconSize(HIMAGELIST list, int* cx, int* cy) {
    if (!Valid(list)) return FALSE_;
    if (cx) *cx = list->cx;
    if (cy) *cy = list->cy;
    return TRUE_;
}

COLORREF ImageList_SetBkColor(HIMAGELIST list, COLORREF color) {
    if (!Valid(list)) return CLR_NONE;
    const COLORREF old = list->background;
    list->background = color;
    return old;
}

BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style) {
    if (!Valid(list) || index < 0 || index >= static_cast<int>(list->images.size()) || !dc) return FALSE_;
    const auto& image = list->images[static_cast<size_t>(index)];
    const bool transparent = (style & ILD_TRANSPARENT) || list->background == CLR_NONE;
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    const uint32_t blendColor = (static_cast<uint32_t>(GetRValue(highlight)) << 16) |
                                (static_cast<uint32_t>(GetGValue(highlight)) << 8) | GetBValue(highlight);
    const int weight = (style & ILD_BLEND50) ? 50 : (style & ILD_BLEND25) ? 25 : 0;
    const uint32_t background = (static_cast<uint32_t>(GetRValue(list->background)) << 16) |
                                (static_cast<uint32_t>(GetGValue(list->background)) << 8) |
                                GetBValue(list->background);
    for (int py = 0; py < list->cy; ++py)
        for (int px = 0; px < list->cx; ++px) {
            uint32_t p =
                image[static_cast<size_t>(py) * static_cast<size_t>(list->cx) + static_cast<size_t>(px)];
            if ((p >> 24) == 0) {
                if (transparent) continue;
                p = background;
            }
            if (style & ILD_MASK) p = 0;
            if (weight) p = Blend(p, blendColor, weight);
            SetPixelV(dc, x + px, y + py,
                      RGB(static_cast<BYTE>(p >> 16), static_cast<BYTE>(p >> 8), static_cast<BYTE>(p)));
        }
    return TRUE_;
}

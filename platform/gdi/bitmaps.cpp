#include "platform/gdi/bitmaps.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/gdi/blit_internal.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/dib_format.h"
#include "platform/gdi/stock.h"

using namespace pw::gdi;

namespace {

constexpr int kMaxDimension = 1 << 15;

HBITMAP RegisterBitmap(std::shared_ptr<BitmapObject> b) {
    return static_cast<HBITMAP>(Register(std::move(b)));
}

constexpr long long kMaxPixels = 1LL << 26;

bool ValidSize(long long w, long long h) {
    return w > 0 && h > 0 && w <= kMaxDimension && h <= kMaxDimension && w * h <= kMaxPixels;
}

// Rows of a DIB as the caller lays them out, decoded into a surface (top row first).
bool DecodeDib(const BITMAPINFO* info, const void* bits, Surface& out) {
    if (!info || !bits) return false;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    const int bpp = h.biBitCount;
    const long long height = std::llabs(static_cast<long long>(h.biHeight));
    if (!IsSupportedDibDepth(bpp) || h.biCompression != BI_RGB || !ValidSize(h.biWidth, height)) return false;
    const int w = h.biWidth, hh = static_cast<int>(height);
    const bool topDown = h.biHeight < 0;
    const std::vector<RGBQUAD> pal = DibPalette(*info);
    out.Resize(w, hh);
    const int stride = DibStride(w, bpp);
    for (int y = 0; y < hh; ++y)
        UnpackDibRow(static_cast<const uint8_t*>(bits) +
                         static_cast<size_t>(topDown ? y : hh - 1 - y) * stride,
                     w, bpp, pal, out.Bits() + static_cast<size_t>(y) * w);
    return true;
}

} // namespace

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bpp, const void* bits) {
    if (width == 0 || height == 0) {
        HBITMAP stock;
        DefaultBitmap(&stock);
        return stock;
    }
    if (!ValidSize(width, height) || planes != 1 || (bpp != 1 && bpp != 32)) return nullptr;
    auto b = std::make_shared<BitmapObject>();
    b->mono = bpp == 1;
    b->surface.Resize(width, height, 0xFF000000u);
    if (bits) {
        const auto* in = static_cast<const uint8_t*>(bits);
        if (b->mono) {
            const int stride = ((width + 15) / 16) * 2;
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                    if ((in[y * stride + (x >> 3)] >> (7 - (x & 7))) & 1)
                        b->surface.SetPixel(x, y, 0xFFFFFFFFu);
        } else {
            std::memcpy(b->surface.Bits(), in, static_cast<size_t>(width) * height * 4);
        }
    }
    return RegisterBitmap(b);
}

HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height) {
    auto dc = LookupDc(hdc);
    if (hdc && !dc) return nullptr;
    return CreateBitmap(width, height, 1, dc && dc->Mono() ? 1 : 32, nullptr);
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT, void** bits, HANDLE, DWORD) {
    if (bits) *bits = nullptr;
    if (!info) return nullptr;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    const long long height = std::llabs(static_cast<long long>(h.biHeight));
    if (!IsSupportedDibDepth(h.biBitCount) ||
        (h.biCompression != BI_RGB && h.biCompression != BI_BITFIELDS) || !ValidSize(h.biWidth, height))
        return nullptr;
    auto b = std::make_shared<BitmapObject>();
    b->dib = true;
    b->dibBpp = h.biBitCount;
    b->topDown = h.biHeight < 0;
    b->palette = DibPalette(*info);
    b->surface.Resize(h.biWidth, static_cast<int>(height), 0);
    // 32-bit top-down rows are exactly the surface's layout: share them instead of copying.
    if (!(b->dibBpp == 32 && b->topDown)) {
        b->dibBits.assign(static_cast<size_t>(b->DibStride()) * height, 0);
        b->PullDib();
    }
    if (bits) *bits = b->DibBitsPointer();
    return RegisterBitmap(b);
}

int GetDIBits(HDC hdc, HBITMAP bitmap, UINT start, UINT lines, void* bits, BITMAPINFO* info, UINT) {
    auto b = LookupAs<BitmapObject>(bitmap, Kind::Bitmap);
    if (!b || !info || (hdc && !LookupDc(hdc))) return 0;
    BITMAPINFOHEADER& h = info->bmiHeader;
    const int w = b->Width(), hh = b->Height();
    if (!bits && h.biBitCount == 0) {
        h.biWidth = w;
        h.biHeight = hh;
        h.biPlanes = 1;
        h.biBitCount = static_cast<WORD>(b->dib ? b->dibBpp : (b->mono ? 1 : 32));
        h.biCompression = BI_RGB;
        h.biSizeImage = static_cast<DWORD>(DibStride(w, h.biBitCount) * hh);
        return 1;
    }
    const int bpp = h.biBitCount;
    if (!IsSupportedDibDepth(bpp) || h.biWidth != w) return 0;
    b->PullDib();
    std::vector<RGBQUAD> pal = DefaultPalette(bpp);
    if (!pal.empty()) {
        RGBQUAD* table = reinterpret_cast<RGBQUAD*>(reinterpret_cast<uint8_t*>(info) + h.biSize);
        std::memcpy(table, pal.data(), pal.size() * sizeof(RGBQUAD));
    }
    h.biSizeImage = static_cast<DWORD>(DibStride(w, bpp) * hh);
    if (!bits) return static_cast<int>(hh);
    const bool topDown = h.biHeight < 0;
    const int stride = DibStride(w, bpp);
    int copied = 0;
    for (UINT i = 0; i < lines; ++i) {
        const long long scan = static_cast<long long>(start) + i; // scan 0 = bottom row for bottom-up
        if (scan >= hh) break;
        const int y = topDown ? static_cast<int>(scan) : hh - 1 - static_cast<int>(scan);
        uint8_t* row = static_cast<uint8_t*>(bits) + static_cast<size_t>(i) * stride;
        std::memset(row, 0, stride);
        PackDibRow(b->surface.Bits() + static_cast<size_t>(y) * w, w, bpp, pal, row);
        ++copied;
    }
    return copied;
}

UINT GetDIBColorTable(HDC hdc, UINT start, UINT count, RGBQUAD* colors) {
    if (!hdc || !LookupDc(hdc)) return 0;
    auto b = LookupAs<BitmapObject>(static_cast<HBITMAP>(GetCurrentObject(hdc, OBJ_BITMAP)), Kind::Bitmap);
    if (!b || !b->dib || b->dibBpp > 8 || start >= b->palette.size()) return 0;
    const UINT n = std::min<UINT>(count, static_cast<UINT>(b->palette.size()) - start);
    if (colors) std::copy_n(b->palette.begin() + start, n, colors);
    return n;
}

int SetDIBits(HDC hdc, HBITMAP bitmap, UINT start, UINT lines, const void* bits, const BITMAPINFO* info,
              UINT) {
    auto b = LookupAs<BitmapObject>(bitmap, Kind::Bitmap);
    if (!b || !info || !bits || (hdc && !LookupDc(hdc)) || b->stock) return 0;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    const int bpp = h.biBitCount;
    if (!IsSupportedDibDepth(bpp) || h.biCompression != BI_RGB || h.biWidth <= 0) return 0;
    const std::vector<RGBQUAD> pal = DibPalette(*info);
    const bool topDown = h.biHeight < 0;
    const int w = std::min<int>(h.biWidth, b->Width()), hh = b->Height();
    const int stride = DibStride(h.biWidth, bpp);
    const long long dibHeight = std::llabs(static_cast<long long>(h.biHeight));
    b->PullDib();
    std::vector<uint32_t> row(static_cast<size_t>(h.biWidth));
    int copied = 0;
    for (UINT i = 0; i < lines; ++i) {
        const long long scan = static_cast<long long>(start) + i;
        if (scan >= dibHeight) break;
        // Scan lines count from the bottom of a bottom-up DIB; the DIB's rows map onto the bitmap's top rows.
        const long long y = topDown ? scan : dibHeight - 1 - scan;
        if (y < 0 || y >= hh) continue;
        UnpackDibRow(static_cast<const uint8_t*>(bits) + static_cast<size_t>(i) * stride, h.biWidth, bpp, pal,
                     row.data());
        for (int x = 0; x < w; ++x) {
            const uint32_t px = b->dib ? row[x] : (row[x] | 0xFF000000u);
            b->surface.SetPixel(x, static_cast<int>(y), b->mono ? ToMono(px) : px);
        }
        ++copied;
    }
    b->PushDib();
    return copied;
}

int StretchDIBits(HDC hdc, int x, int y, int width, int height, int xSrc, int ySrc, int widthSrc,
                  int heightSrc, const void* bits, const BITMAPINFO* info, UINT, DWORD rop) {
    auto dc = LookupDc(hdc);
    if (!dc) return 0;
    Surface image;
    if (!DecodeDib(info, bits, image)) return 0;
    // The source rectangle's origin is the DIB's lower-left corner for bottom-up DIBs.
    const int top = info->bmiHeader.biHeight < 0 ? ySrc : image.Height() - ySrc - heightSrc;
    BlitSource src;
    src.surface = &image;
    src.rect = RECT{xSrc, top, xSrc + widthSrc, top + heightSrc};
    const POINT p = dc->ToDevice(POINT{x, y});
    TargetAccess access(*dc);
    return Blit(*dc, p.x, p.y, width, height, &src, rop) ? std::abs(heightSrc) : 0;
}

Surface* GetBitmapSurface(HBITMAP bitmap) {
    auto b = LookupAs<BitmapObject>(bitmap, Kind::Bitmap);
    if (!b || b->stock || !b->dibBits.empty()) return nullptr;
    return &b->surface;
}

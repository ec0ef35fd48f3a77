#include "platform/gdi/blit.h"

#include <algorithm>
#include <vector>

#include "platform/gdi/blit_internal.h"
#include "platform/gdi/painting.h"

namespace pw::gdi {
namespace {

// The source pixel for a destination pixel, reduced over the covered source pixels when shrinking.
class SourceReader {
public:
    SourceReader(const DeviceContext& dst, const BlitSource& src, int dstW, int dstH, int stretchMode)
        : src_(src), dstW_(dstW), dstH_(dstH), mode_(stretchMode), dstMono_(dst.Mono()) {
        fore_ = ToArgb(dst.st.textColor & 0x00FFFFFF);
        back_ = ToArgb(dst.st.bkColor & 0x00FFFFFF);
        srcBack_ = ToArgb(src.bkColor & 0x00FFFFFF);
        // Copy first: source and destination may be the same surface.
        const RECT r = Bounds();
        copyRect_ = r;
        const int w = r.right - r.left, h = r.bottom - r.top;
        copy_.assign(static_cast<size_t>(std::max(w, 0)) * std::max(h, 0), 0);
        for (int yy = 0; yy < h; ++yy)
            for (int xx = 0; xx < w; ++xx) {
                const int sx = r.left + xx, sy = r.top + yy;
                copy_[static_cast<size_t>(yy) * w + xx] =
                    src.surface->Contains(sx, sy) ? src.surface->Pixel(sx, sy) : kOutside;
            }
    }

    // False when the source pixel lies outside the source surface.
    bool Read(int dx, int dy, uint32_t& out) const {
        const int sw = src_.rect.right - src_.rect.left, sh = src_.rect.bottom - src_.rect.top;
        int x0 = Map(dx, dstW_, sw), y0 = Map(dy, dstH_, sh);
        int x1 = Map(dx + 1, dstW_, sw), y1 = Map(dy + 1, dstH_, sh);
        const bool shrinkX = std::abs(sw) > dstW_, shrinkY = std::abs(sh) > dstH_;
        if (!(shrinkX || shrinkY) || mode_ == COLORONCOLOR) {
            return Fetch(src_.rect.left + Center(dx, dstW_, sw), src_.rect.top + Center(dy, dstH_, sh), out);
        }
        if (x0 > x1) std::swap(x0, x1);
        if (y0 > y1) std::swap(y0, y1);
        x1 = std::max(x1, x0 + 1);
        y1 = std::max(y1, y0 + 1);
        uint32_t acc = mode_ == BLACKONWHITE ? 0xFFFFFFFFu : 0xFF000000u;
        uint32_t sum[3] = {0, 0, 0}, n = 0;
        for (int sy = y0; sy < y1; ++sy)
            for (int sx = x0; sx < x1; ++sx) {
                uint32_t p;
                if (!Fetch(src_.rect.left + sx - (sw < 0 ? 1 : 0), src_.rect.top + sy - (sh < 0 ? 1 : 0), p))
                    continue;
                if (mode_ == BLACKONWHITE)
                    acc &= p;
                else if (mode_ == WHITEONBLACK)
                    acc |= p;
                sum[0] += (p >> 16) & 0xFF;
                sum[1] += (p >> 8) & 0xFF;
                sum[2] += p & 0xFF;
                ++n;
            }
        if (n == 0) return false;
        out =
            mode_ == HALFTONE ? 0xFF000000u | ((sum[0] / n) << 16) | ((sum[1] / n) << 8) | (sum[2] / n) : acc;
        return true;
    }

private:
    static constexpr uint32_t kOutside =
        0x00000001u; // not a colour any conversion produces from a pixel read
    static int Map(int d, int dn, int sn) { return static_cast<int>(static_cast<long long>(d) * sn / dn); }
    static int Center(int d, int dn, int sn) {
        const long long v = (2LL * d + 1) * sn;
        long long q = v / (2LL * dn);
        if (v < 0 && v % (2LL * dn) != 0) --q; // floor for mirrored sources
        return static_cast<int>(q);
    }
    RECT Bounds() const {
        RECT r = src_.rect;
        if (r.left > r.right) std::swap(r.left, r.right);
        if (r.top > r.bottom) std::swap(r.top, r.bottom);
        return r;
    }
    bool Fetch(int sx, int sy, uint32_t& out) const {
        const int w = copyRect_.right - copyRect_.left;
        if (sx < copyRect_.left || sy < copyRect_.top || sx >= copyRect_.right || sy >= copyRect_.bottom)
            return false;
        const uint32_t p = copy_[static_cast<size_t>(sy - copyRect_.top) * w + (sx - copyRect_.left)];
        if (p == kOutside) return false;
        out = Convert(p);
        return true;
    }
    uint32_t Convert(uint32_t p) const {
        if (src_.mono && !dstMono_) return (p & 0x00FFFFFF) ? back_ : fore_;
        if (!src_.mono && dstMono_)
            return ((p & 0x00FFFFFF) == (srcBack_ & 0x00FFFFFF)) ? 0xFFFFFFFFu : 0xFF000000u;
        return p;
    }

    const BlitSource& src_;
    int dstW_, dstH_, mode_;
    bool dstMono_;
    uint32_t fore_ = 0, back_ = 0, srcBack_ = 0;
    RECT copyRect_{};
    std::vector<uint32_t> copy_;
};

// A plain copy of a colour source at its size: whole rows of the visible part, pixels outside the source
// left alone. False when the blit needs the pixel-by-pixel path.
bool CopyRows(DeviceContext& dst, int x, int y, int width, int height, const BlitSource& src, uint8_t rop) {
    const RECT& r = src.rect;
    if (rop != 0xCC || src.mono || dst.Mono() || r.right - r.left != width || r.bottom - r.top != height)
        return false;
    Surface* target = dst.Target();
    const Surface& from = *src.surface;
    // The visible part whose source pixels exist, in destination device coordinates.
    const RECT inside{x + std::max(0, static_cast<int>(-r.left)), y + std::max(0, static_cast<int>(-r.top)),
                      x + std::min(width, static_cast<int>(from.Width() - r.left)),
                      y + std::min(height, static_cast<int>(from.Height() - r.top))};
    if (inside.left >= inside.right || inside.top >= inside.bottom) return true;
    const Region clipped = Region::Combine(Region(inside), dst.Visible(), Region::Op::And);
    // A copy within one surface reads what it is about to overwrite: take the source rows first.
    std::vector<uint32_t> held;
    const uint32_t* base = from.Bits();
    int baseStride = from.Width(), baseX = 0, baseY = 0;
    if (&from == target) {
        const RECT b = clipped.Bounds();
        const int bw = b.right - b.left;
        held.resize(static_cast<size_t>(bw) * (b.bottom - b.top));
        for (int row = b.top; row < b.bottom; ++row)
            std::copy_n(from.Bits() + static_cast<size_t>(r.top + row - y) * from.Width() +
                            (r.left + b.left - x),
                        bw, held.data() + static_cast<size_t>(row - b.top) * bw);
        base = held.data();
        baseStride = bw;
        baseX = b.left - x + r.left;
        baseY = b.top - y + r.top;
    }
    for (const RECT& c : clipped.Rects())
        for (int row = c.top; row < c.bottom; ++row) {
            const int sx = r.left + c.left - x - baseX, sy = r.top + row - y - baseY;
            std::copy_n(base + static_cast<size_t>(sy) * baseStride + sx, c.right - c.left,
                        target->Bits() + static_cast<size_t>(row + dst.deviceOrigin.y) * target->Width() +
                            dst.deviceOrigin.x + c.left);
        }
    return true;
}

} // namespace

BlitSource SourceOf(DeviceContext& dc, int x, int y, int width, int height) {
    BlitSource s;
    s.surface = dc.Target();
    const POINT p = dc.ToDevice(POINT{x, y});
    s.rect = RECT{p.x + dc.deviceOrigin.x, p.y + dc.deviceOrigin.y, p.x + dc.deviceOrigin.x + width,
                  p.y + dc.deviceOrigin.y + height};
    s.mono = dc.Mono();
    s.bkColor = dc.st.bkColor;
    return s;
}

bool Blit(DeviceContext& dst, int x, int y, int width, int height, const BlitSource* src, DWORD rop,
          const BlitMask* mask, std::optional<COLORREF> transparent) {
    if (!dst.Target() || width == 0 || height == 0) return true;
    // Mirroring through a negative destination extent becomes a mirrored source.
    BlitSource flipped;
    if (src) flipped = *src;
    if (width < 0) {
        x += width;
        width = -width;
        std::swap(flipped.rect.left, flipped.rect.right);
    }
    if (height < 0) {
        y += height;
        height = -height;
        std::swap(flipped.rect.top, flipped.rect.bottom);
    }
    const uint8_t fg = Rop3Index(rop), bg = mask ? static_cast<uint8_t>((rop >> 24) & 0xFF) : fg;
    const bool needSource = RopUsesSource(fg) || RopUsesSource(bg) || transparent;
    if (needSource && (!src || !src->surface)) return false;
    const BrushSampler brush(dst, dst.st.brush.get(), true);
    if (!mask && !transparent &&
        (needSource ? CopyRows(dst, x, y, width, height, flipped, fg)
                    : FillOneColor(dst, RECT{x, y, x + width, y + height}, brush, fg)))
        return true;
    std::optional<SourceReader> reader;
    if (needSource) reader.emplace(dst, flipped, width, height, dst.st.stretchMode);
    const uint32_t transparentRgb = transparent ? (ToArgb(*transparent) & 0x00FFFFFF) : 0;
    ForEachVisiblePixel(dst, Region(RECT{x, y, x + width, y + height}), [&](int px, int py, uint32_t& d) {
        const int dx = px - x, dy = py - y;
        uint32_t s = 0, p = 0;
        if (reader && !reader->Read(dx, dy, s)) return;
        if (transparent && (s & 0x00FFFFFF) == transparentRgb) return;
        uint8_t code = fg;
        if (mask) {
            const int mx = mask->origin.x + dx, my = mask->origin.y + dy;
            const bool on =
                mask->surface->Contains(mx, my) && (mask->surface->Pixel(mx, my) & 0x00FFFFFF) != 0;
            code = on ? fg : bg;
        }
        // A null brush, or a hatch gap in TRANSPARENT mode, leaves pattern operations' pixels alone.
        if (RopUsesPattern(code) && !brush.Sample(px, py, p)) return;
        d = ApplyRop3(code, p, s, d);
        if (dst.Mono()) d = ToMono(d);
    });
    return true;
}

namespace {

// The device pixels a blit's rectangle covers, whichever way its extents run.
RECT DeviceArea(const DeviceContext& dc, int x, int y, int width, int height) {
    const POINT a = dc.ToDevice(POINT{x, y});
    const POINT b{a.x + width, a.y + height};
    return RECT{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

} // namespace
} // namespace pw::gdi

using namespace pw::gdi;

BOOL BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, DWORD rop) {
    return StretchBlt(dst, x, y, width, height, src, xSrc, ySrc, width, height, rop);
}

BOOL StretchBlt(HDC dst, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int widthSrc,
                int heightSrc, DWORD rop) {
    auto d = LookupDc(dst);
    if (!d) return 0;
    auto s = src ? LookupDc(src) : nullptr;
    if (src && !s) return 0;
    const POINT p = d->ToDevice(POINT{x, y});
    const RECT area = DeviceArea(*d, x, y, width, height);
    if (!s) {
        TargetAccess access(*d, area);
        return Blit(*d, p.x, p.y, width, height, nullptr, rop) ? 1 : 0;
    }
    TargetAccess readSource(*s, DeviceArea(*s, xSrc, ySrc, widthSrc, heightSrc), false);
    TargetAccess access(*d, area);
    const BlitSource source = SourceOf(*s, xSrc, ySrc, widthSrc, heightSrc);
    return Blit(*d, p.x, p.y, width, height, &source, rop) ? 1 : 0;
}

BOOL MaskBlt(HDC dst, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, HBITMAP mask,
             int xMask, int yMask, DWORD rop4) {
    if (!mask) return BitBlt(dst, x, y, width, height, src, xSrc, ySrc, rop4 & 0x00FFFFFF);
    auto d = LookupDc(dst);
    auto m = LookupAs<BitmapObject>(mask, Kind::Bitmap);
    if (!d || !m || !m->mono) return 0;
    auto s = src ? LookupDc(src) : nullptr;
    if (src && !s) return 0;
    const POINT p = d->ToDevice(POINT{x, y});
    const BlitMask bm{&m->surface, POINT{xMask, yMask}};
    std::optional<TargetAccess> readSource;
    if (s) readSource.emplace(*s, DeviceArea(*s, xSrc, ySrc, width, height), false);
    TargetAccess access(*d, DeviceArea(*d, x, y, width, height));
    if (!s) return Blit(*d, p.x, p.y, width, height, nullptr, rop4, &bm) ? 1 : 0;
    const BlitSource source = SourceOf(*s, xSrc, ySrc, width, height);
    return Blit(*d, p.x, p.y, width, height, &source, rop4, &bm) ? 1 : 0;
}

BOOL TransparentBlt(HDC dst, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int widthSrc,
                    int heightSrc, UINT transparentColor) {
    auto d = LookupDc(dst);
    auto s = LookupDc(src);
    if (!d || !s || width < 0 || height < 0 || widthSrc < 0 || heightSrc < 0) return 0;
    const POINT p = d->ToDevice(POINT{x, y});
    TargetAccess readSource(*s, DeviceArea(*s, xSrc, ySrc, widthSrc, heightSrc), false);
    TargetAccess access(*d, DeviceArea(*d, x, y, width, height));
    const BlitSource source = SourceOf(*s, xSrc, ySrc, widthSrc, heightSrc);
    return Blit(*d, p.x, p.y, width, height, &source, SRCCOPY, nullptr, COLORREF(transparentColor)) ? 1 : 0;
}

BOOL AlphaBlend(HDC dst, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int widthSrc,
                int heightSrc, BLENDFUNCTION blend) {
    auto d = LookupDc(dst);
    auto s = LookupDc(src);
    if (!d || !s || width < 0 || height < 0 || widthSrc <= 0 || heightSrc <= 0 ||
        blend.BlendOp != AC_SRC_OVER)
        return 0;
    TargetAccess readSource(*s, DeviceArea(*s, xSrc, ySrc, widthSrc, heightSrc), false);
    TargetAccess access(*d, DeviceArea(*d, x, y, width, height));
    const BlitSource source = SourceOf(*s, xSrc, ySrc, widthSrc, heightSrc);
    const RECT& r = source.rect;
    if (!source.surface || r.left < 0 || r.top < 0 || r.right > source.surface->Width() ||
        r.bottom > source.surface->Height())
        return 0;
    const POINT p = d->ToDevice(POINT{x, y});
    const uint32_t sca = blend.SourceConstantAlpha;
    const bool perPixel = (blend.AlphaFormat & AC_SRC_ALPHA) != 0;
    auto mul = [](uint32_t a, uint32_t b) { return (a * b + 127) / 255; };
    auto over = [&](uint32_t sp, uint32_t dp) {
        const uint32_t srcAlpha = perPixel ? mul(sp >> 24, sca) : sca;
        uint32_t out = 0;
        for (int shift = 0; shift <= 16; shift += 8) {
            const uint32_t sc = (sp >> shift) & 0xFF, dc = (dp >> shift) & 0xFF;
            const uint32_t v = std::min<uint32_t>(255, mul(sc, sca) + mul(dc, 255 - srcAlpha));
            out |= v << shift;
        }
        const uint32_t da = std::min<uint32_t>(255, srcAlpha + mul(dp >> 24, 255 - srcAlpha));
        return out | (da << 24);
    };
    // The source column of each destination column, worked out once rather than at every pixel.
    std::vector<int> columns(static_cast<size_t>(width));
    for (int i = 0; i < width; ++i)
        columns[static_cast<size_t>(i)] =
            r.left + static_cast<int>(static_cast<long long>(i) * widthSrc / width);
    Surface* target = d->Target();
    const Surface& from = *source.surface;
    const bool mono = d->Mono();
    const Region clipped =
        Region::Combine(Region(RECT{p.x, p.y, p.x + width, p.y + height}), d->Visible(), Region::Op::And);
    for (const RECT& c : clipped.Rects())
        for (int py = c.top; py < c.bottom; ++py) {
            const int sy = r.top + static_cast<int>(static_cast<long long>(py - p.y) * heightSrc / height);
            const uint32_t* in = from.Bits() + static_cast<size_t>(sy) * from.Width();
            uint32_t* row = target->Bits() + static_cast<size_t>(py + d->deviceOrigin.y) * target->Width() +
                            d->deviceOrigin.x;
            for (int px = c.left; px < c.right; ++px) {
                const uint32_t sp = in[columns[static_cast<size_t>(px - p.x)]];
                uint32_t& dp = row[px];
                if (perPixel && sca == 255 && sp >> 24 == 255) // opaque: the source colour as it is
                    dp = sp;
                else if (perPixel && sca == 255 && sp == 0) // wholly clear: nothing changes
                    continue;
                else
                    dp = over(sp, dp);
                if (mono) dp = ToMono(dp);
            }
        }
    return 1;
}

#include "platform/gdi/shapes.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/gdi/painting.h"
#include "platform/gdi/stock.h"

using namespace pw::gdi;

namespace {

RECT Normalized(const RECT& r) {
    return RECT{std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
                std::max(r.top, r.bottom)};
}

// Dash patterns of styled one-pixel pens, in pixels: on, off, on, off...
struct Pattern {
    const int* runs;
    int count;
};
Pattern PenPattern(int style) {
    static const int dash[] = {18, 6}, dot[] = {3, 3}, dashDot[] = {9, 6, 3, 6},
                     dashDotDot[] = {9, 3, 3, 3, 3, 3};
    switch (style) {
    case PS_DASH:
        return {dash, 2};
    case PS_DOT:
        return {dot, 2};
    case PS_DASHDOT:
        return {dashDot, 4};
    case PS_DASHDOTDOT:
        return {dashDotDot, 6};
    default:
        return {nullptr, 0};
    }
}

enum : uint8_t { kPen = 1, kGap = 2 };

RECT Grown(RECT r, int margin) {
    InflateRect(r, margin, margin);
    return r;
}

struct Plot {
    int x, y;
    uint8_t value;
};

// The pixels of a pen's strokes in device coordinates; the dash pattern runs on across segments.
class Stroker {
public:
    // bounds: the device area that can show anything; long lines are cut to it (plus the pen's width).
    Stroker(const PenObject& pen, const RECT& bounds)
        : width_(pen.width), pattern_(PenPattern(pen.style)), bounds_(Grown(bounds, pen.width + 2)) {}

    void Segment(POINT a, POINT b) {
        const long long ddx = static_cast<long long>(b.x) - a.x, ddy = static_cast<long long>(b.y) - a.y;
        const long long steps = std::max(std::llabs(ddx), std::llabs(ddy));
        if (steps > kDirectLimit) {
            // Only the part near the visible area is stepped; the dash pattern moves on by what is skipped.
            double t0 = 0, t1 = 1;
            if (!Clip(a, ddx, ddy, t0, t1)) {
                Skip(steps);
                return;
            }
            Skip(static_cast<long long>(t0 * steps));
            const POINT from{static_cast<LONG>(std::llround(a.x + t0 * ddx)),
                             static_cast<LONG>(std::llround(a.y + t0 * ddy))};
            const POINT to{static_cast<LONG>(std::llround(a.x + t1 * ddx)),
                           static_cast<LONG>(std::llround(a.y + t1 * ddy))};
            Step(from, to);
            return;
        }
        Step(a, b);
    }

    CoverageMask Mask() const {
        CoverageMask m;
        if (plots_.empty()) return m;
        RECT b{plots_[0].x, plots_[0].y, plots_[0].x + 1, plots_[0].y + 1};
        for (auto& p : plots_) {
            b.left = std::min(b.left, p.x);
            b.top = std::min(b.top, p.y);
            b.right = std::max(b.right, p.x + 1);
            b.bottom = std::max(b.bottom, p.y + 1);
        }
        m.bounds = b;
        m.bits.assign(static_cast<size_t>(b.right - b.left) * (b.bottom - b.top), 0);
        for (auto& p : plots_) {
            uint8_t& v = m.bits[static_cast<size_t>(p.y - b.top) * (b.right - b.left) + (p.x - b.left)];
            if (v != kPen) v = p.value; // where a dash meets a gap, the dash wins
        }
        return m;
    }

private:
    static constexpr long long kDirectLimit = 4096;

    // Liang-Barsky clipping of a + t * d, t in [t0, t1], to the bounds.
    bool Clip(POINT a, long long dx, long long dy, double& t0, double& t1) const {
        const double p[4] = {-double(dx), double(dx), -double(dy), double(dy)};
        const double q[4] = {double(a.x) - bounds_.left, double(bounds_.right) - a.x,
                             double(a.y) - bounds_.top, double(bounds_.bottom) - a.y};
        for (int i = 0; i < 4; ++i) {
            if (p[i] == 0) {
                if (q[i] < 0) return false;
                continue;
            }
            const double r = q[i] / p[i];
            if (p[i] < 0)
                t0 = std::max(t0, r);
            else
                t1 = std::min(t1, r);
        }
        return t0 <= t1;
    }

    void Step(POINT a, POINT b) {
        int x = a.x, y = a.y;
        const int dx = std::abs(b.x - a.x), dy = -std::abs(b.y - a.y);
        const int sx = a.x < b.x ? 1 : -1, sy = a.y < b.y ? 1 : -1;
        int err = dx + dy;
        while (x != b.x || y != b.y) {
            Put(x, y, NextValue());
            const int e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                x += sx;
            }
            if (e2 <= dx) {
                err += dx;
                y += sy;
            }
        }
    }

    void Skip(long long n) {
        int period = 0;
        for (int k = 0; k < pattern_.count; ++k)
            period += pattern_.runs[k];
        if (period <= 0) return;
        for (long long k = n % period; k > 0; --k)
            NextValue();
    }

    uint8_t NextValue() {
        if (!pattern_.runs) return kPen;
        const uint8_t v = (run_ % 2 == 0) ? kPen : kGap;
        if (++pos_ >= pattern_.runs[run_]) {
            pos_ = 0;
            run_ = (run_ + 1) % pattern_.count;
        }
        return v;
    }
    void Put(int x, int y, uint8_t v) {
        if (width_ <= 1) {
            plots_.push_back({x, y, v});
            return;
        }
        const int lo = -(width_ - 1) / 2;
        for (int j = lo; j < lo + width_; ++j)
            for (int i = lo; i < lo + width_; ++i)
                plots_.push_back({x + i, y + j, v});
    }

    int width_;
    Pattern pattern_;
    RECT bounds_;
    int run_ = 0, pos_ = 0;
    std::vector<Plot> plots_;
};

void PaintStroke(DeviceContext& dc, const Stroker& stroker) {
    const PenObject& pen = *dc.st.pen;
    const uint32_t penColor = DeviceColor(dc, pen.dcPen ? dc.st.dcPenColor : pen.color);
    const uint32_t bk = DeviceColor(dc, dc.st.bkColor);
    const bool opaqueGaps = dc.st.bkMode == OPAQUE;
    const CoverageMask m = stroker.Mask();
    if (m.bits.empty()) return;
    const int w = m.bounds.right - m.bounds.left;
    ForEachVisiblePixel(dc, Region(m.bounds), [&](int x, int y, uint32_t& px) {
        const uint8_t v = m.bits[static_cast<size_t>(y - m.bounds.top) * w + (x - m.bounds.left)];
        if (v == kPen)
            px = ApplyRop2(dc.st.rop2, penColor, px);
        else if (v == kGap && opaqueGaps)
            px = ApplyRop2(dc.st.rop2, bk, px);
    });
}

bool HasPen(const DeviceContext& dc) {
    return dc.st.pen && dc.st.pen->style != PS_NULL;
}

// Fills and outlines a closed shape given as its filled region and its outline region (device units).
void FillAndOutline(DeviceContext& dc, const Region& fill, const Region* outline) {
    FillArea(dc, fill, BrushSampler(dc, dc.st.brush.get(), true), dc.st.rop2);
    if (outline && HasPen(dc)) {
        const uint32_t penColor = DeviceColor(dc, dc.st.pen->dcPen ? dc.st.dcPenColor : dc.st.pen->color);
        FillAreaColor(dc, *outline, penColor, dc.st.rop2);
    }
}

// A shape's device box, shrunk by one on the right and bottom without a pen (as Win32 does).
RECT ShapeBox(const DeviceContext& dc, int l, int t, int r, int b) {
    RECT box = Normalized(dc.ToDevice(RECT{l, t, r, b}));
    if (!HasPen(dc)) {
        --box.right;
        --box.bottom;
    }
    return box;
}

int PenWidth(const DeviceContext& dc) {
    return HasPen(dc) ? std::max(1, dc.st.pen->width) : 0;
}

} // namespace

int FillRect(HDC hdc, const RECT* rect, HBRUSH brush) {
    auto dc = LookupDc(hdc);
    auto b = ResolveBrush(brush);
    if (!dc || !rect || !b) return 0;
    TargetAccess access(*dc);
    FillArea(*dc, Region(Normalized(dc->ToDevice(*rect))), BrushSampler(*dc, b.get(), true), R2_COPYPEN);
    return 1;
}

int FrameRect(HDC hdc, const RECT* rect, HBRUSH brush) {
    auto dc = LookupDc(hdc);
    auto b = ResolveBrush(brush);
    if (!dc || !rect || !b) return 0;
    const RECT r = Normalized(dc->ToDevice(*rect));
    if (IsRectEmpty(r)) return 1;
    RECT inner = r;
    InflateRect(inner, -1, -1);
    TargetAccess access(*dc);
    FillArea(*dc, Region::Combine(Region(r), Region(inner), Region::Op::Diff),
             BrushSampler(*dc, b.get(), true), R2_COPYPEN);
    return 1;
}

BOOL InvertRect(HDC hdc, const RECT* rect) {
    auto dc = LookupDc(hdc);
    if (!dc || !rect) return 0;
    TargetAccess access(*dc);
    FillAreaColor(*dc, Region(Normalized(dc->ToDevice(*rect))), 0, R2_NOT);
    return 1;
}

BOOL PatBlt(HDC hdc, int x, int y, int width, int height, DWORD rop) {
    auto dc = LookupDc(hdc);
    if (!dc) return 0;
    const RECT r = Normalized(dc->ToDevice(RECT{x, y, x + width, y + height}));
    const uint8_t code = Rop3Index(rop);
    const BrushSampler brush(*dc, dc->st.brush.get(), true);
    TargetAccess access(*dc, r);
    if (FillOneColor(*dc, r, brush, code)) return 1;
    ForEachVisiblePixel(*dc, Region(r), [&](int px, int py, uint32_t& d) {
        uint32_t p = 0;
        if (!brush.Sample(px, py, p) && RopUsesPattern(code)) return;
        d = ApplyRop3(code, p, 0, d);
        if (dc->Mono()) d = ToMono(d);
    });
    return 1;
}

BOOL Rectangle(HDC hdc, int l, int t, int r, int b) {
    auto dc = LookupDc(hdc);
    if (!dc) return 0;
    const RECT box = ShapeBox(*dc, l, t, r, b);
    if (IsRectEmpty(box)) return 1;
    TargetAccess access(*dc);
    const int w = PenWidth(*dc);
    RECT inner = box;
    InflateRect(inner, -w, -w);
    const Region outline = Region::Combine(Region(box), Region(inner), Region::Op::Diff);
    FillAndOutline(*dc, Region(inner.right > inner.left && inner.bottom > inner.top ? inner : RECT{}),
                   &outline);
    return 1;
}

BOOL RoundRect(HDC hdc, int l, int t, int r, int b, int ew, int eh) {
    auto dc = LookupDc(hdc);
    if (!dc) return 0;
    const RECT box = ShapeBox(*dc, l, t, r, b);
    if (IsRectEmpty(box)) return 1;
    TargetAccess access(*dc);
    const int w = PenWidth(*dc);
    RECT innerBox = box;
    InflateRect(innerBox, -w, -w);
    const RECT rows = dc->Visible().Bounds();
    const Region outer = Region::RoundRect(box, ew, eh, &rows);
    const Region inner = Region::RoundRect(innerBox, ew - 2 * w, eh - 2 * w, &rows);
    const Region outline = Region::Combine(outer, inner, Region::Op::Diff);
    FillAndOutline(*dc, inner, &outline);
    return 1;
}

BOOL Ellipse(HDC hdc, int l, int t, int r, int b) {
    auto dc = LookupDc(hdc);
    if (!dc) return 0;
    const RECT box = ShapeBox(*dc, l, t, r, b);
    if (IsRectEmpty(box)) return 1;
    TargetAccess access(*dc);
    const int w = PenWidth(*dc);
    RECT innerBox = box;
    InflateRect(innerBox, -w, -w);
    const RECT rows = dc->Visible().Bounds();
    const Region outer = Region::Ellipse(box, &rows);
    const Region inner = Region::Ellipse(innerBox, &rows);
    const Region outline = Region::Combine(outer, inner, Region::Op::Diff);
    FillAndOutline(*dc, inner, &outline);
    return 1;
}

BOOL Polygon(HDC hdc, const POINT* points, int count) {
    auto dc = LookupDc(hdc);
    if (!dc || !points || count < 2) return 0;
    std::vector<POINT> pts(points, points + count);
    for (auto& p : pts)
        p = dc->ToDevice(p);
    TargetAccess access(*dc);
    const RECT rows = dc->Visible().Bounds();
    FillArea(*dc, Region::Polygon(pts.data(), count, dc->st.polyFillMode, &rows),
             BrushSampler(*dc, dc->st.brush.get(), true), dc->st.rop2);
    if (HasPen(*dc)) {
        Stroker s(*dc->st.pen, dc->Visible().Bounds());
        for (int i = 0; i < count; ++i)
            s.Segment(pts[i], pts[(i + 1) % count]);
        PaintStroke(*dc, s);
    }
    return 1;
}

BOOL Polyline(HDC hdc, const POINT* points, int count) {
    auto dc = LookupDc(hdc);
    if (!dc || !points || count < 2) return 0;
    if (!HasPen(*dc)) return 1;
    Stroker s(*dc->st.pen, dc->Visible().Bounds());
    for (int i = 0; i + 1 < count; ++i)
        s.Segment(dc->ToDevice(points[i]), dc->ToDevice(points[i + 1]));
    TargetAccess access(*dc);
    PaintStroke(*dc, s);
    return 1;
}

BOOL LineTo(HDC hdc, int x, int y) {
    auto dc = LookupDc(hdc);
    if (!dc) return 0;
    const POINT from = dc->st.currentPos;
    dc->st.currentPos = POINT{x, y};
    if (!HasPen(*dc)) return 1;
    Stroker s(*dc->st.pen, dc->Visible().Bounds());
    s.Segment(dc->ToDevice(from), dc->ToDevice(POINT{x, y}));
    TargetAccess access(*dc);
    PaintStroke(*dc, s);
    return 1;
}

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color) {
    auto dc = LookupDc(hdc);
    if (!dc) return CLR_INVALID;
    const POINT p = dc->ToDevice(POINT{x, y});
    const uint32_t c = DeviceColor(*dc, color);
    bool done = false;
    TargetAccess access(*dc, RECT{p.x, p.y, p.x + 1, p.y + 1});
    ForEachVisiblePixel(*dc, Region(RECT{p.x, p.y, p.x + 1, p.y + 1}), [&](int, int, uint32_t& px) {
        px = c;
        done = true;
    });
    return done ? ToColorRef(c) : CLR_INVALID;
}

BOOL SetPixelV(HDC hdc, int x, int y, COLORREF color) {
    return SetPixel(hdc, x, y, color) != CLR_INVALID;
}

COLORREF GetPixel(HDC hdc, int x, int y) {
    auto dc = LookupDc(hdc);
    if (!dc) return CLR_INVALID;
    const POINT p = dc->ToDevice(POINT{x, y});
    COLORREF out = CLR_INVALID;
    TargetAccess access(*dc, RECT{p.x, p.y, p.x + 1, p.y + 1}, false);
    ForEachVisiblePixel(*dc, Region(RECT{p.x, p.y, p.x + 1, p.y + 1}),
                        [&](int, int, uint32_t& px) { out = ToColorRef(px); });
    return out;
}

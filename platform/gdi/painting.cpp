#include "platform/gdi/painting.h"

#include "platform/gdi/syscolors.h"

namespace pw::gdi {

uint32_t ApplyRop2(int rop2, uint32_t pen, uint32_t dst) {
    // The R2 code minus one is the truth table of (pen, dst), indexed by pen * 2 + dst.
    const unsigned table = static_cast<unsigned>(rop2 - 1) & 0xF;
    uint32_t r = 0;
    if (table & 1) r |= ~pen & ~dst;
    if (table & 2) r |= ~pen & dst;
    if (table & 4) r |= pen & ~dst;
    if (table & 8) r |= pen & dst;
    if (rop2 == R2_NOP) return dst;
    return 0xFF000000u | (r & 0x00FFFFFFu);
}

uint32_t ApplyRop3(uint8_t code, uint32_t p, uint32_t s, uint32_t d) {
    if (code == 0xCC) return s;
    if (code == 0xAA) return d;
    uint32_t r = 0;
    for (int i = 0; i < 8; ++i) {
        if (!(code & (1u << i))) continue;
        r |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
    }
    return 0xFF000000u | (r & 0x00FFFFFFu);
}

uint32_t DeviceColor(const DeviceContext& dc, COLORREF color) {
    const uint32_t argb = ToArgb(color & 0x00FFFFFF);
    return dc.Mono() ? ToMono(argb) : argb;
}

namespace {
bool HatchBit(int hatch, int x, int y) {
    switch (hatch) {
    case HS_HORIZONTAL:
        return y == 7;
    case HS_VERTICAL:
        return x == 7;
    case HS_FDIAGONAL:
        return x == y;
    case HS_BDIAGONAL:
        return x + y == 7;
    case HS_CROSS:
        return x == 7 || y == 7;
    case HS_DIAGCROSS:
        return x == y || x + y == 7;
    default:
        return false;
    }
}
int Mod(int a, int m) {
    return ((a % m) + m) % m;
}
} // namespace

BrushSampler::BrushSampler(const DeviceContext& dc, const BrushObject* brush, bool transparentGaps)
    : brush_(brush), transparentGaps_(transparentGaps && dc.st.bkMode == TRANSPARENT),
      origin_(dc.st.brushOrg), mono_(dc.Mono()) {
    if (!brush || brush->style == BS_NULL) {
        null_ = true;
        return;
    }
    COLORREF c = brush->color;
    if (brush->dcBrush) c = dc.st.dcBrushColor;
    if (brush->sysColor >= 0) c = GetSysColor(brush->sysColor);
    color_ = DeviceColor(dc, c);
    back_ = DeviceColor(dc, dc.st.bkColor);
    fore_ = DeviceColor(dc, dc.st.textColor);
}

bool BrushSampler::Sample(int x, int y, uint32_t& out) const {
    if (null_) return false;
    switch (brush_->style) {
    case BS_HATCHED:
        if (HatchBit(brush_->hatch, Mod(x - origin_.x, 8), Mod(y - origin_.y, 8))) {
            out = color_;
            return true;
        }
        if (transparentGaps_) return false;
        out = back_;
        return true;
    case BS_PATTERN: {
        const Surface& p = brush_->pattern->surface;
        const uint32_t px = p.Pixel(Mod(x - origin_.x, p.Width()), Mod(y - origin_.y, p.Height()));
        if (brush_->pattern->mono)
            out = (px & 0x00FFFFFF) ? back_ : fore_; // 0 bits take the text colour, 1 bits the background
        else
            out = mono_ ? ToMono(px) : (px | 0xFF000000u);
        return true;
    }
    default:
        out = color_;
        return true;
    }
}

bool BrushSampler::Solid(uint32_t& out) const {
    if (null_ || brush_->style == BS_HATCHED || brush_->style == BS_PATTERN) return false;
    out = color_;
    return true;
}

void FillArea(DeviceContext& dc, const Region& area, const BrushSampler& brush, int rop2) {
    if (brush.IsNull()) return;
    uint32_t solid;
    if (rop2 == R2_COPYPEN && brush.Solid(solid)) {
        FillVisible(dc, area, solid);
        return;
    }
    ForEachVisiblePixel(dc, area, [&](int x, int y, uint32_t& px) {
        uint32_t c;
        if (brush.Sample(x, y, c)) px = rop2 == R2_COPYPEN ? c : ApplyRop2(rop2, c, px);
    });
}

bool FillOneColor(DeviceContext& dc, const RECT& area, const BrushSampler& brush, uint8_t rop3) {
    uint32_t color = 0;
    if (rop3 == 0xF0) { // PATCOPY
        if (brush.IsNull()) return true;
        if (!brush.Solid(color)) return false;
        color = 0xFF000000u | (color & 0x00FFFFFFu);
    } else if (rop3 == 0x00) { // BLACKNESS
        color = 0xFF000000u;
    } else if (rop3 == 0xFF) { // WHITENESS
        color = 0xFFFFFFFFu;
    } else {
        return false;
    }
    FillVisible(dc, Region(area), dc.Mono() ? ToMono(color) : color);
    return true;
}

void FillAreaColor(DeviceContext& dc, const Region& area, uint32_t color, int rop2) {
    if (rop2 == R2_COPYPEN) {
        FillVisible(dc, area, 0xFF000000u | (color & 0x00FFFFFFu));
        return;
    }
    ForEachVisiblePixel(dc, area, [&](int, int, uint32_t& px) { px = ApplyRop2(rop2, color, px); });
}

} // namespace pw::gdi

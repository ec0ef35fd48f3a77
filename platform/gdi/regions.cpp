#include "platform/gdi/regions.h"

#include "platform/gdi/dc_internal.h"
#include "platform/gdi/painting.h"
#include "platform/gdi/stock.h"

using namespace pw::gdi;

namespace {

std::shared_ptr<RegionObject> Rgn(HRGN h) {
    return LookupAs<RegionObject>(h, Kind::Region);
}

RECT Normalized(int l, int t, int r, int b) {
    if (l > r) std::swap(l, r);
    if (t > b) std::swap(t, b);
    return RECT{l, t, r, b};
}

// A DC's effective clip as a region in device coordinates (its surface and system clip when it has no
// clip region of its own), which ExcludeClipRect and friends then narrow.
const Region& CurrentClip(DeviceContext& dc) {
    return dc.st.clip ? *dc.st.clip : dc.Visible();
}

// What can be drawn lies inside the application's clip already.
int ClipResult(DeviceContext& dc) {
    return dc.Visible().Complexity();
}

} // namespace

HRGN CreateRgnFromRegion(const Region& region) {
    auto o = std::make_shared<RegionObject>();
    o->region = region;
    return static_cast<HRGN>(Register(o));
}

bool GetRegion(HRGN rgn, Region& out) {
    auto r = Rgn(rgn);
    if (!r) return false;
    out = r->region;
    return true;
}

HRGN CreateRectRgn(int l, int t, int r, int b) {
    return CreateRgnFromRegion(Region(Normalized(l, t, r, b)));
}
HRGN CreateRectRgnIndirect(const RECT* r) {
    return r ? CreateRectRgn(r->left, r->top, r->right, r->bottom) : nullptr;
}

int CombineRgn(HRGN dst, HRGN src1, HRGN src2, int mode) {
    auto d = Rgn(dst), a = Rgn(src1);
    if (!d || !a) return ERROR_;
    if (mode == RGN_COPY) {
        d->region = a->region;
        return d->region.Complexity();
    }
    auto b = Rgn(src2);
    if (!b) return ERROR_;
    Region::Op op;
    switch (mode) {
    case RGN_AND:
        op = Region::Op::And;
        break;
    case RGN_OR:
        op = Region::Op::Or;
        break;
    case RGN_XOR:
        op = Region::Op::Xor;
        break;
    case RGN_DIFF:
        op = Region::Op::Diff;
        break;
    default:
        return ERROR_;
    }
    d->region = Region::Combine(a->region, b->region, op);
    return d->region.Complexity();
}

int OffsetRgn(HRGN rgn, int dx, int dy) {
    auto r = Rgn(rgn);
    if (!r) return ERROR_;
    r->region.Offset(dx, dy);
    return r->region.Complexity();
}

int GetRgnBox(HRGN rgn, RECT* box) {
    auto r = Rgn(rgn);
    if (!r || !box) return ERROR_;
    *box = r->region.Bounds();
    return r->region.Complexity();
}

BOOL PtInRegion(HRGN rgn, int x, int y) {
    auto r = Rgn(rgn);
    return r && r->region.Contains(x, y) ? 1 : 0;
}

BOOL RectInRegion(HRGN rgn, const RECT* rect) {
    auto r = Rgn(rgn);
    if (!r || !rect) return 0;
    return r->region.Intersects(Normalized(rect->left, rect->top, rect->right, rect->bottom)) ? 1 : 0;
}

BOOL EqualRgn(HRGN a, HRGN b) {
    auto ra = Rgn(a), rb = Rgn(b);
    if (!ra || !rb) return ERROR_;
    return ra->region == rb->region ? 1 : 0;
}

BOOL SetRectRgn(HRGN rgn, int l, int t, int r, int b) {
    auto o = Rgn(rgn);
    if (!o) return 0;
    o->region = Region(Normalized(l, t, r, b));
    return 1;
}

namespace {
// Region handles hold logical coordinates for FillRgn and friends; drawing needs device ones.
Region ToDeviceRegion(const DeviceContext& dc, Region r) {
    const POINT o = dc.ToDevice(POINT{0, 0});
    r.Offset(o.x, o.y);
    return r;
}
} // namespace

BOOL FillRgn(HDC hdc, HRGN rgn, HBRUSH brush) {
    auto dc = LookupDc(hdc);
    auto r = Rgn(rgn);
    auto b = ResolveBrush(brush);
    if (!dc || !r || !b) return 0;
    TargetAccess access(*dc);
    FillArea(*dc, ToDeviceRegion(*dc, r->region), BrushSampler(*dc, b.get(), true), R2_COPYPEN);
    return 1;
}

int SelectClipRgn(HDC hdc, HRGN rgn) {
    return ExtSelectClipRgn(hdc, rgn, RGN_COPY);
}

int ExtSelectClipRgn(HDC hdc, HRGN rgn, int mode) {
    auto dc = LookupDc(hdc);
    if (!dc) return ERROR_;
    if (!rgn) {
        if (mode != RGN_COPY) return ERROR_;
        SetClip(dc->st, std::nullopt);
        return ClipResult(*dc);
    }
    auto r = Rgn(rgn);
    if (!r) return ERROR_;
    switch (mode) {
    case RGN_COPY:
        SetClip(dc->st, r->region);
        break;
    case RGN_AND:
        SetClip(dc->st, Region::Combine(CurrentClip(*dc), r->region, Region::Op::And));
        break;
    case RGN_OR:
        SetClip(dc->st, Region::Combine(CurrentClip(*dc), r->region, Region::Op::Or));
        break;
    case RGN_XOR:
        SetClip(dc->st, Region::Combine(CurrentClip(*dc), r->region, Region::Op::Xor));
        break;
    case RGN_DIFF:
        SetClip(dc->st, Region::Combine(CurrentClip(*dc), r->region, Region::Op::Diff));
        break;
    default:
        return ERROR_;
    }
    return ClipResult(*dc);
}

int ExcludeClipRect(HDC hdc, int l, int t, int r, int b) {
    auto dc = LookupDc(hdc);
    if (!dc) return ERROR_;
    const Region rect(dc->ToDevice(Normalized(l, t, r, b)));
    SetClip(dc->st, Region::Combine(CurrentClip(*dc), rect, Region::Op::Diff));
    return ClipResult(*dc);
}

int IntersectClipRect(HDC hdc, int l, int t, int r, int b) {
    auto dc = LookupDc(hdc);
    if (!dc) return ERROR_;
    const Region rect(dc->ToDevice(Normalized(l, t, r, b)));
    SetClip(dc->st, Region::Combine(CurrentClip(*dc), rect, Region::Op::And));
    return ClipResult(*dc);
}

int GetClipBox(HDC hdc, RECT* rect) {
    auto dc = LookupDc(hdc);
    if (!dc || !rect) return ERROR_;
    const Region& v = dc->Visible();
    *rect = v.IsEmpty() ? RECT{} : dc->ToLogical(v.Bounds());
    return v.Complexity();
}

int GetClipRgn(HDC hdc, HRGN rgn) {
    auto dc = LookupDc(hdc);
    auto r = Rgn(rgn);
    if (!dc || !r) return -1;
    if (!dc->st.clip) return 0;
    r->region = *dc->st.clip;
    return 1;
}

BOOL RectVisible(HDC hdc, const RECT* rect) {
    auto dc = LookupDc(hdc);
    if (!dc || !rect) return 0;
    return dc->Visible().Intersects(dc->ToDevice(*rect)) ? 1 : 0;
}

#include "platform/gdi/dc.h"

#include <atomic>

#include "platform/gdi/dc_internal.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/metrics.h"
#include "platform/gdi/regions.h"
#include "platform/gdi/stock.h"
#include "platform/gdi/test_settings.h"

namespace pw::gdi {

std::shared_ptr<DeviceContext> LookupDc(HDC hdc) {
    return LookupAs<DeviceContext>(hdc, Kind::Dc);
}

void SetClip(DcState& st, std::optional<Region> clip) {
    static std::atomic<uint64_t> stamps{0};
    st.clip = std::move(clip);
    st.clipStamp = ++stamps;
}

const Region& DeviceContext::Visible() {
    const Surface* s = Target();
    const int w = s ? s->Width() : 0, h = s ? s->Height() : 0;
    // The system clip and the origin are fixed when the DC is made.
    if (visible_.valid && visible_.target == s && visible_.width == w && visible_.height == h &&
        visible_.clipStamp == st.clipStamp)
        return visible_.region;
    Region r;
    if (s) {
        r = Region(RECT{-deviceOrigin.x, -deviceOrigin.y, w - deviceOrigin.x, h - deviceOrigin.y});
        if (sysClip) r = Region::Combine(r, *sysClip, Region::Op::And);
        if (st.clip) r = Region::Combine(r, *st.clip, Region::Op::And);
    }
    visible_ = VisibleCache{true, s, w, h, st.clipStamp, std::move(r)};
    return visible_.region;
}

TargetAccess::TargetAccess(DeviceContext& dc, bool writes)
    : TargetAccess(dc, dc.DibTarget() ? dc.Visible().Bounds() : RECT{}, writes) {}

TargetAccess::TargetAccess(DeviceContext& dc, const RECT& area, bool writes)
    : dib_(dc.DibTarget()), surface_(dc.Target()), writes_(writes) {
    if (!dib_) return;
    area_ = RECT{area.left + dc.deviceOrigin.x, area.top + dc.deviceOrigin.y, area.right + dc.deviceOrigin.x,
                 area.bottom + dc.deviceOrigin.y};
    dib_->PullDib(area_);
}

TargetAccess::~TargetAccess() {
    if (dib_ && writes_) dib_->PushDib(area_);
}

namespace {

void InitDefaults(DeviceContext& dc) {
    dc.st.penHandle = static_cast<HPEN>(GetStockObject(BLACK_PEN));
    dc.st.pen = LookupAs<PenObject>(dc.st.penHandle, Kind::Pen);
    dc.st.brushHandle = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    dc.st.brush = LookupAs<BrushObject>(dc.st.brushHandle, Kind::Brush);
    dc.st.fontHandle = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    dc.st.font = LookupAs<FontObject>(dc.st.fontHandle, Kind::Font);
}

template <class T> T WithDc(HDC hdc, T failure, auto&& fn) {
    auto dc = LookupDc(hdc);
    return dc ? fn(*dc) : failure;
}

} // namespace
} // namespace pw::gdi

using namespace pw::gdi;

HDC CreateCompatibleDC(HDC) {
    auto dc = std::make_shared<DeviceContext>();
    dc->memory = true;
    InitDefaults(*dc);
    dc->st.bitmap = DefaultBitmap(&dc->st.bitmapHandle);
    return static_cast<HDC>(Register(dc));
}

HDC CreateSurfaceDC(Surface* surface, POINT deviceOrigin, HRGN clip) {
    if (!surface) return nullptr;
    auto dc = std::make_shared<DeviceContext>();
    dc->external = surface;
    dc->deviceOrigin = deviceOrigin;
    if (clip) {
        auto rgn = LookupAs<RegionObject>(clip, Kind::Region);
        if (!rgn) return nullptr;
        dc->sysClip = rgn->region;
    }
    InitDefaults(*dc);
    return static_cast<HDC>(Register(dc));
}

BOOL DeleteDC(HDC hdc) {
    auto dc = LookupDc(hdc);
    if (!dc) return 0;
    if (dc->st.bitmap) --dc->st.bitmap->selectedInto;
    for (auto& s : dc->saved)
        if (s.bitmap) --s.bitmap->selectedInto;
    return Unregister(hdc) ? 1 : 0;
}

Surface* GetDCSurface(HDC hdc) {
    auto dc = LookupDc(hdc);
    return dc ? dc->Target() : nullptr;
}

int SaveDC(HDC hdc) {
    return WithDc(hdc, 0, [](DeviceContext& dc) {
        dc.saved.push_back(dc.st);
        if (dc.st.bitmap) ++dc.st.bitmap->selectedInto;
        return static_cast<int>(dc.saved.size());
    });
}

BOOL RestoreDC(HDC hdc, int savedDc) {
    return WithDc(hdc, BOOL(0), [savedDc](DeviceContext& dc) -> BOOL {
        const int n = static_cast<int>(dc.saved.size());
        const int index = savedDc < 0 ? n + savedDc : savedDc - 1; // negative: relative to the latest
        if (index < 0 || index >= n) return 0;
        if (dc.st.bitmap) --dc.st.bitmap->selectedInto;
        dc.st = dc.saved[index];
        for (int i = index + 1; i < n; ++i)
            if (dc.saved[i].bitmap) --dc.saved[i].bitmap->selectedInto;
        dc.saved.resize(index);
        return 1;
    });
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ object) {
    auto dc = LookupDc(hdc);
    auto obj = Lookup(object);
    if (!dc || !obj) return nullptr;
    DcState& st = dc->st;
    switch (obj->kind) {
    case Kind::Pen: {
        HGDIOBJ prev = st.penHandle;
        st.penHandle = static_cast<HPEN>(object);
        st.pen = std::static_pointer_cast<PenObject>(obj);
        return prev;
    }
    case Kind::Brush: {
        HGDIOBJ prev = st.brushHandle;
        st.brushHandle = static_cast<HBRUSH>(object);
        st.brush = std::static_pointer_cast<BrushObject>(obj);
        return prev;
    }
    case Kind::Font: {
        HGDIOBJ prev = st.fontHandle;
        st.fontHandle = static_cast<HFONT>(object);
        st.font = std::static_pointer_cast<FontObject>(obj);
        return prev;
    }
    case Kind::Bitmap: {
        auto bmp = std::static_pointer_cast<BitmapObject>(obj);
        // A bitmap lives in one memory DC at a time (stock bitmaps excepted), as in Win32.
        if (!dc->memory || (bmp->selectedInto > 0 && bmp != st.bitmap && !bmp->stock)) return nullptr;
        HGDIOBJ prev = st.bitmapHandle;
        if (st.bitmap) --st.bitmap->selectedInto;
        st.bitmapHandle = static_cast<HBITMAP>(object);
        st.bitmap = bmp;
        ++bmp->selectedInto;
        return prev;
    }
    case Kind::Region: {
        const int kind = ExtSelectClipRgn(hdc, static_cast<HRGN>(object), RGN_COPY);
        return reinterpret_cast<HGDIOBJ>(static_cast<intptr_t>(kind));
    }
    default:
        return nullptr;
    }
}

HGDIOBJ GetCurrentObject(HDC hdc, UINT type) {
    return WithDc(hdc, HGDIOBJ(nullptr), [type](DeviceContext& dc) -> HGDIOBJ {
        switch (type) {
        case OBJ_PEN:
            return dc.st.penHandle;
        case OBJ_BRUSH:
            return dc.st.brushHandle;
        case OBJ_FONT:
            return dc.st.fontHandle;
        case OBJ_BITMAP:
            return dc.memory ? dc.st.bitmapHandle : nullptr;
        default:
            return nullptr;
        }
    });
}

#define PW_DC_ATTR(Setter, Getter, Type, field, failure)                                                     \
    Type Setter(HDC hdc, Type value) {                                                                       \
        return WithDc(hdc, Type(failure), [value](DeviceContext& dc) {                                       \
            Type prev = dc.st.field;                                                                         \
            dc.st.field = value;                                                                             \
            return prev;                                                                                     \
        });                                                                                                  \
    }                                                                                                        \
    Type Getter(HDC hdc) {                                                                                   \
        return WithDc(hdc, Type(failure), [](DeviceContext& dc) { return dc.st.field; });                    \
    }
PW_DC_ATTR(SetTextColor, GetTextColor, COLORREF, textColor, CLR_INVALID)
PW_DC_ATTR(SetBkColor, GetBkColor, COLORREF, bkColor, CLR_INVALID)
PW_DC_ATTR(SetROP2, GetROP2, int, rop2, 0)
PW_DC_ATTR(SetTextAlign, GetTextAlign, UINT, textAlign, GDI_ERROR)
PW_DC_ATTR(SetStretchBltMode, GetStretchBltMode, int, stretchMode, 0)
PW_DC_ATTR(SetPolyFillMode, GetPolyFillMode, int, polyFillMode, 0)
PW_DC_ATTR(SetDCBrushColor, GetDCBrushColor, COLORREF, dcBrushColor, CLR_INVALID)
PW_DC_ATTR(SetDCPenColor, GetDCPenColor, COLORREF, dcPenColor, CLR_INVALID)
#undef PW_DC_ATTR

int SetBkMode(HDC hdc, int mode) {
    if (mode != OPAQUE && mode != TRANSPARENT) return 0;
    return WithDc(hdc, 0, [mode](DeviceContext& dc) {
        const int prev = dc.st.bkMode;
        dc.st.bkMode = mode;
        return prev;
    });
}
int GetBkMode(HDC hdc) {
    return WithDc(hdc, 0, [](DeviceContext& dc) { return dc.st.bkMode; });
}

namespace {
BOOL SetPoint(HDC hdc, POINT DcState::*field, int x, int y, bool relative, POINT* previous) {
    return WithDc(hdc, BOOL(0), [&](DeviceContext& dc) -> BOOL {
        POINT& p = dc.st.*field;
        if (previous) *previous = p;
        p = relative ? POINT{p.x + x, p.y + y} : POINT{x, y};
        return 1;
    });
}
BOOL GetPoint(HDC hdc, POINT DcState::*field, POINT* out) {
    return WithDc(hdc, BOOL(0), [&](DeviceContext& dc) -> BOOL {
        if (!out) return 0;
        *out = dc.st.*field;
        return 1;
    });
}
} // namespace

BOOL SetWindowOrgEx(HDC hdc, int x, int y, POINT* prev) {
    return SetPoint(hdc, &DcState::windowOrg, x, y, false, prev);
}
BOOL OffsetWindowOrgEx(HDC hdc, int dx, int dy, POINT* prev) {
    return SetPoint(hdc, &DcState::windowOrg, dx, dy, true, prev);
}
BOOL SetViewportOrgEx(HDC hdc, int x, int y, POINT* prev) {
    return SetPoint(hdc, &DcState::viewportOrg, x, y, false, prev);
}
BOOL GetViewportOrgEx(HDC hdc, POINT* origin) {
    return GetPoint(hdc, &DcState::viewportOrg, origin);
}
BOOL OffsetViewportOrgEx(HDC hdc, int dx, int dy, POINT* prev) {
    return SetPoint(hdc, &DcState::viewportOrg, dx, dy, true, prev);
}
BOOL SetBrushOrgEx(HDC hdc, int x, int y, POINT* prev) {
    return SetPoint(hdc, &DcState::brushOrg, x, y, false, prev);
}
BOOL MoveToEx(HDC hdc, int x, int y, POINT* prev) {
    return SetPoint(hdc, &DcState::currentPos, x, y, false, prev);
}
BOOL GetCurrentPositionEx(HDC hdc, POINT* pos) {
    return GetPoint(hdc, &DcState::currentPos, pos);
}

BOOL GetDCOrgEx(HDC hdc, POINT* origin) {
    return WithDc(hdc, BOOL(0), [origin](DeviceContext& dc) -> BOOL {
        if (!origin) return 0;
        *origin = dc.deviceOrigin;
        return 1;
    });
}

int SetMapMode(HDC hdc, int mode) {
    return LookupDc(hdc) && mode == MM_TEXT ? MM_TEXT : 0;
}
int GetMapMode(HDC hdc) {
    return LookupDc(hdc) ? MM_TEXT : 0;
}

int GetDeviceCaps(HDC hdc, int index) {
    auto dc = LookupDc(hdc);
    if (hdc && !dc) return 0;
    const bool mono = dc && dc->Mono();
    const Surface* s = dc ? dc->Target() : nullptr;
    switch (index) {
    case TECHNOLOGY:
        return DT_RASDISPLAY;
    case BITSPIXEL:
        return mono ? 1 : pw::gdi::ScreenColorDepth();
    case PLANES:
        return 1;
    case NUMCOLORS:
        return mono ? 2 : -1;
    case LOGPIXELSX:
    case LOGPIXELSY:
        return 96;
    case HORZRES:
        return dc && dc->memory && s ? s->Width() : GetSystemMetrics(SM_CXSCREEN);
    case VERTRES:
        return dc && dc->memory && s ? s->Height() : GetSystemMetrics(SM_CYSCREEN);
    case HORZSIZE:
        return GetSystemMetrics(SM_CXSCREEN) * 254 / 960;
    case VERTSIZE:
        return GetSystemMetrics(SM_CYSCREEN) * 254 / 960;
    case RASTERCAPS:
        return RC_BITBLT | RC_STRETCHBLT | RC_DI_BITMAP | RC_DIBTODEV;
    case SIZEPALETTE:
    case NUMRESERVED:
        return 0;
    case COLORRES:
        return 24;
    case NUMBRUSHES:
    case NUMPENS:
        return -1;
    default:
        return 0;
    }
}

COLORREF GetNearestColor(HDC hdc, COLORREF color) {
    auto dc = LookupDc(hdc);
    if (hdc && !dc) return CLR_INVALID;
    color &= 0x00FFFFFF;
    return dc && dc->Mono() ? ToColorRef(ToMono(ToArgb(color))) : color;
}

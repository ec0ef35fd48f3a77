#include "platform/gdi/gdi_objects.h"

#include <array>
#include <cstring>
#include <mutex>

#include "platform/gdi/dc_internal.h"
#include "platform/gdi/stock.h"
#include "platform/gdi/syscolors.h"
#include "platform/gdi/test_settings.h"

namespace pw::gdi {
namespace {

constexpr int kStockCount = 20;

std::shared_ptr<Object> MakeStock(int index) {
    auto solidBrush = [](COLORREF c) {
        auto b = std::make_shared<BrushObject>();
        b->color = c;
        return b;
    };
    auto pen = [](int style, COLORREF c) {
        auto p = std::make_shared<PenObject>();
        p->style = style;
        p->color = c;
        return p;
    };
    auto font = [](int weight, const char* face) {
        auto f = std::make_shared<FontObject>();
        f->lf.lfHeight = -11;
        f->lf.lfWeight = weight;
        std::strncpy(f->lf.lfFaceName, face, LF_FACESIZE - 1);
        return f;
    };
    std::shared_ptr<Object> o;
    switch (index) {
    case WHITE_BRUSH:
        o = solidBrush(RGB(255, 255, 255));
        break;
    case LTGRAY_BRUSH:
        o = solidBrush(RGB(192, 192, 192));
        break;
    case GRAY_BRUSH:
        o = solidBrush(RGB(128, 128, 128));
        break;
    case DKGRAY_BRUSH:
        o = solidBrush(RGB(64, 64, 64));
        break;
    case BLACK_BRUSH:
        o = solidBrush(RGB(0, 0, 0));
        break;
    case NULL_BRUSH: {
        auto b = solidBrush(0);
        b->style = BS_NULL;
        o = b;
        break;
    }
    case WHITE_PEN:
        o = pen(PS_SOLID, RGB(255, 255, 255));
        break;
    case BLACK_PEN:
        o = pen(PS_SOLID, RGB(0, 0, 0));
        break;
    case NULL_PEN:
        o = pen(PS_NULL, 0);
        break;
    case SYSTEM_FONT:
        o = font(FW_BOLD, "DejaVu Sans");
        break;
    case OEM_FIXED_FONT:
    case ANSI_FIXED_FONT:
    case SYSTEM_FIXED_FONT:
        o = font(FW_NORMAL, "DejaVu Sans Mono");
        break;
    case ANSI_VAR_FONT:
    case DEVICE_DEFAULT_FONT:
    case DEFAULT_GUI_FONT:
        o = font(FW_NORMAL, "DejaVu Sans");
        break;
    case DC_BRUSH: {
        auto b = solidBrush(RGB(255, 255, 255));
        b->dcBrush = true;
        o = b;
        break;
    }
    case DEFAULT_PALETTE: {
        auto pal = std::make_shared<PaletteObject>();
        for (const COLORREF c :
             {RGB(0, 0, 0),       RGB(128, 0, 0),     RGB(0, 128, 0),     RGB(128, 128, 0),
              RGB(0, 0, 128),     RGB(128, 0, 128),   RGB(0, 128, 128),   RGB(192, 192, 192),
              RGB(192, 220, 192), RGB(166, 202, 240), RGB(255, 251, 240), RGB(160, 160, 164),
              RGB(128, 128, 128), RGB(255, 0, 0),     RGB(0, 255, 0),     RGB(255, 255, 0),
              RGB(0, 0, 255),     RGB(255, 0, 255),   RGB(0, 255, 255),   RGB(255, 255, 255)})
            pal->entries.push_back(c);
        o = pal;
        break;
    }
    case DC_PEN: {
        auto p = pen(PS_SOLID, 0);
        p->dcPen = true;
        o = p;
        break;
    }
    default:
        return nullptr;
    }
    o->stock = true;
    return o;
}

struct StockTable {
    std::once_flag once;
    std::array<void*, kStockCount> handles{};
    std::array<HBRUSH, kSysColorCount> sysBrushes{};
    HBITMAP defaultBitmap = nullptr;
};

StockTable& Stock() {
    static StockTable* table = new StockTable;
    std::call_once(table->once, [t = table] {
        for (int i = 0; i < kStockCount; ++i)
            if (auto o = MakeStock(i)) t->handles[i] = Register(o);
        for (int i = 0; i < kSysColorCount; ++i) {
            auto b = std::make_shared<BrushObject>();
            b->sysColor = i;
            b->stock = true;
            t->sysBrushes[i] = static_cast<HBRUSH>(Register(b));
        }
        auto bmp = std::make_shared<BitmapObject>();
        bmp->surface.Resize(1, 1, 0xFF000000u);
        bmp->mono = true;
        bmp->stock = true;
        t->defaultBitmap = static_cast<HBITMAP>(Register(bmp));
    });
    return *table;
}

bool IsPseudoBrush(const void* h) {
    const auto v = reinterpret_cast<uintptr_t>(h);
    return v >= 1 && v <= static_cast<uintptr_t>(kSysColorCount);
}

} // namespace

std::shared_ptr<BitmapObject> DefaultBitmap(HBITMAP* handle) {
    StockTable& t = Stock();
    if (handle) *handle = t.defaultBitmap;
    return LookupAs<BitmapObject>(t.defaultBitmap, Kind::Bitmap);
}

std::shared_ptr<BrushObject> ResolveBrush(HBRUSH brush) {
    if (IsPseudoBrush(brush)) {
        const int index = static_cast<int>(reinterpret_cast<uintptr_t>(brush)) - 1;
        return LookupAs<BrushObject>(Stock().sysBrushes[index], Kind::Brush);
    }
    return LookupAs<BrushObject>(brush, Kind::Brush);
}

} // namespace pw::gdi

using namespace pw::gdi;

HGDIOBJ GetStockObject(int index) {
    if (index < 0 || index >= kStockCount) return nullptr;
    return Stock().handles[index];
}

HBRUSH GetSysColorBrush(int index) {
    if (index < 0 || index >= kSysColorCount) return nullptr;
    return Stock().sysBrushes[index];
}

HPEN CreatePen(int style, int width, COLORREF color) {
    const int s = style & PS_STYLE_MASK;
    if (s > PS_INSIDEFRAME) return nullptr;
    auto p = std::make_shared<PenObject>();
    p->style = s;
    p->width = width < 1 ? 1 : width;
    // Wide pens are always solid, as for Win32 cosmetic-style requests.
    if (p->width > 1 && s != PS_NULL && s != PS_INSIDEFRAME) p->style = PS_SOLID;
    p->color = color & 0x00FFFFFF;
    return static_cast<HPEN>(Register(p));
}

HBRUSH CreateSolidBrush(COLORREF color) {
    auto b = std::make_shared<BrushObject>();
    b->color = color & 0x00FFFFFF;
    return static_cast<HBRUSH>(Register(b));
}

HBRUSH CreateHatchBrush(int hatch, COLORREF color) {
    if (hatch < HS_HORIZONTAL || hatch > HS_DIAGCROSS) return nullptr;
    auto b = std::make_shared<BrushObject>();
    b->style = BS_HATCHED;
    b->hatch = hatch;
    b->color = color & 0x00FFFFFF;
    return static_cast<HBRUSH>(Register(b));
}

HBRUSH CreatePatternBrush(HBITMAP bitmap) {
    auto src = LookupAs<BitmapObject>(bitmap, Kind::Bitmap);
    if (!src || src->Width() == 0 || src->Height() == 0) return nullptr;
    src->PullDib();
    auto copy = std::make_shared<BitmapObject>();
    copy->surface = src->surface;
    copy->mono = src->mono;
    auto b = std::make_shared<BrushObject>();
    b->style = BS_PATTERN;
    b->pattern = copy;
    return static_cast<HBRUSH>(Register(b));
}

BOOL DeleteObject(HGDIOBJ object) {
    if (IsPseudoBrush(object)) return 1;
    auto o = Lookup(object);
    if (!o || o->kind == Kind::Dc || o->kind == Kind::Icon) return 0;
    if (o->kind == Kind::Bitmap && static_cast<BitmapObject&>(*o).selectedInto > 0 && !o->stock)
        return 0; // still selected into a DC
    return Unregister(object) ? 1 : 0;
}

DWORD GetObjectType(HGDIOBJ object) {
    if (IsPseudoBrush(object)) return OBJ_BRUSH;
    auto o = Lookup(object);
    if (!o) return 0;
    switch (o->kind) {
    case Kind::Pen:
        return OBJ_PEN;
    case Kind::Brush:
        return OBJ_BRUSH;
    case Kind::Font:
        return OBJ_FONT;
    case Kind::Bitmap:
        return OBJ_BITMAP;
    case Kind::Region:
        return OBJ_REGION;
    case Kind::Palette:
        return OBJ_PAL;
    case Kind::Dc:
        return static_cast<DeviceContext&>(*o).memory ? OBJ_MEMDC : OBJ_DC;
    default:
        return 0;
    }
}

namespace {
template <class T> int Fill(void* buffer, int size, const T& value) {
    if (!buffer) return static_cast<int>(sizeof(T));
    if (size < static_cast<int>(sizeof(T))) return 0;
    std::memcpy(buffer, &value, sizeof(T));
    return static_cast<int>(sizeof(T));
}
} // namespace

int GetObject(HGDIOBJ object, int size, void* buffer) {
    if (IsPseudoBrush(object))
        object = GetSysColorBrush(static_cast<int>(reinterpret_cast<uintptr_t>(object)) - 1);
    auto o = Lookup(object);
    if (!o) return 0;
    switch (o->kind) {
    case Kind::Pen: {
        auto& p = static_cast<PenObject&>(*o);
        LOGPEN lp;
        lp.lopnStyle = static_cast<UINT>(p.style);
        lp.lopnWidth = POINT{p.width, 0};
        lp.lopnColor = p.color;
        return Fill(buffer, size, lp);
    }
    case Kind::Brush: {
        auto& b = static_cast<BrushObject&>(*o);
        LOGBRUSH lb;
        lb.lbStyle = b.style;
        lb.lbColor = b.sysColor >= 0 ? GetSysColor(b.sysColor) : b.color;
        lb.lbHatch = b.style == BS_HATCHED ? static_cast<uintptr_t>(b.hatch) : 0;
        return Fill(buffer, size, lb);
    }
    case Kind::Font:
        return Fill(buffer, size, static_cast<FontObject&>(*o).lf);
    case Kind::Palette:
        return Fill(buffer, size, static_cast<WORD>(static_cast<PaletteObject&>(*o).entries.size()));
    case Kind::Bitmap: {
        auto& b = static_cast<BitmapObject&>(*o);
        BITMAP bm;
        bm.bmWidth = b.Width();
        bm.bmHeight = b.Height();
        bm.bmPlanes = 1;
        if (b.dib) {
            bm.bmBitsPixel = static_cast<WORD>(b.dibBpp);
            bm.bmWidthBytes = b.DibStride();
            bm.bmBits = b.DibBitsPointer();
        } else {
            bm.bmBitsPixel = b.mono ? 1 : 32;
            bm.bmWidthBytes = b.mono ? ((b.Width() + 15) / 16) * 2 : b.Width() * 4;
        }
        if (b.dib && size >= static_cast<int>(sizeof(DIBSECTION))) {
            DIBSECTION ds;
            ds.dsBm = bm;
            ds.dsBmih.biWidth = b.Width();
            ds.dsBmih.biHeight = b.topDown ? -b.Height() : b.Height();
            ds.dsBmih.biBitCount = static_cast<WORD>(b.dibBpp);
            ds.dsBmih.biSizeImage = static_cast<DWORD>(b.DibStride() * b.Height());
            ds.dsBmih.biClrUsed = static_cast<DWORD>(b.palette.size());
            return Fill(buffer, size, ds);
        }
        return Fill(buffer, size, bm);
    }
    default:
        return 0;
    }
}

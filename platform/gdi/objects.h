#pragma once
// The GDI objects behind the handles, and the process-wide handle table. Internal to the GDI.
#include <memory>
#include <optional>
#include <vector>

#include "platform/gdi/gdi_structs.h"
#include "platform/gdi/region.h"
#include "platform/gdi/surface.h"

namespace pw::gdi {

enum class Kind { Pen, Brush, Font, Bitmap, Region, Dc, Icon, Palette };

struct Object {
    explicit Object(Kind k) : kind(k) {}
    virtual ~Object() = default;
    Kind kind;
    bool stock = false;
};

struct PenObject : Object {
    PenObject() : Object(Kind::Pen) {}
    int style = PS_SOLID;
    int width = 1;
    COLORREF color = 0;
    bool dcPen = false; // DC_PEN: takes the DC's pen colour
};

struct BitmapObject;

struct BrushObject : Object {
    BrushObject() : Object(Kind::Brush) {}
    UINT style = BS_SOLID;
    COLORREF color = 0;
    int hatch = 0;
    bool dcBrush = false; // DC_BRUSH: takes the DC's brush colour
    int sysColor = -1;    // a system-colour brush: follows the current colour of that index
    std::shared_ptr<BitmapObject> pattern;
};

struct FontObject : Object {
    FontObject() : Object(Kind::Font) {}
    LOGFONT lf;
};

// A bitmap's pixels always live in a Surface; a monochrome bitmap holds only opaque black and white.
// A DIB section also keeps the caller-visible bits in its own format, synchronised around each use.
struct BitmapObject : Object {
    BitmapObject() : Object(Kind::Bitmap) {}
    Surface surface;
    bool mono = false;
    bool dib = false;
    int dibBpp = 32;
    bool topDown = false;
    std::vector<RGBQUAD> palette;
    std::vector<uint8_t> dibBits; // empty when the bits alias the surface (32 bpp top-down)
    int selectedInto = 0;         // memory DCs holding it

    int Width() const { return surface.Width(); }
    int Height() const { return surface.Height(); }
    int DibStride() const { return ((surface.Width() * dibBpp + 31) / 32) * 4; }
    void* DibBitsPointer();
    // Bring the caller-visible bits into the surface, or back, for the whole image or only the pixels of
    // an area (surface coordinates, clipped to the image): a call that touches a few pixels converts
    // those, not the whole image.
    void PullDib();
    void PushDib();
    void PullDib(const RECT& area);
    void PushDib(const RECT& area);
};

struct RegionObject : Object {
    RegionObject() : Object(Kind::Region) {}
    Region region;
};

struct IconObject : Object {
    IconObject() : Object(Kind::Icon) {}
    std::shared_ptr<BitmapObject> color; // may be null: a monochrome icon (mask holds AND then XOR halves)
    std::shared_ptr<BitmapObject> mask;
    POINT hotspot;
    bool isIcon = true;
};

struct PaletteObject : Object {
    PaletteObject() : Object(Kind::Palette) {}
    std::vector<uint32_t> entries; // 0x00RRGGBB plus the entry flags in the top byte
};

struct DeviceContext;

// Handle values are never reused; pseudo-handles (system colour brushes, 1..31) are below kFirstHandle.
inline constexpr uintptr_t kFirstHandle = 0x10000;
void* Register(std::shared_ptr<Object> object);
std::shared_ptr<Object> Lookup(const void* handle);
// Removes the handle; false when it named nothing (or a stock object, which stays).
bool Unregister(const void* handle);

template <class T> std::shared_ptr<T> LookupAs(const void* handle, Kind kind) {
    auto o = Lookup(handle);
    if (!o || o->kind != kind) return nullptr;
    return std::static_pointer_cast<T>(o);
}

inline uint32_t ToArgb(COLORREF c) {
    return 0xFF000000u | (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c);
}
inline COLORREF ToColorRef(uint32_t argb) {
    return RGB(static_cast<BYTE>(argb >> 16), static_cast<BYTE>(argb >> 8), static_cast<BYTE>(argb));
}
// A colour as a monochrome bitmap stores it: nearest of black and white.
inline uint32_t ToMono(uint32_t argb) {
    const int sum = int((argb >> 16) & 0xFF) + int((argb >> 8) & 0xFF) + int(argb & 0xFF);
    return sum >= 384 ? 0xFFFFFFFFu : 0xFF000000u;
}

} // namespace pw::gdi

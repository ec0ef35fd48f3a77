#include "platform/gdi/palettes.h"

#include <algorithm>

#include "platform/gdi/dc_internal.h"
#include "platform/gdi/gdi_objects.h"

using namespace pw::gdi;

namespace {

HPALETTE Make(const PALETTEENTRY* entries, size_t count) {
    auto p = std::make_shared<PaletteObject>();
    for (size_t i = 0; i < count; ++i) {
        const PALETTEENTRY& e = entries[i];
        p->entries.push_back(RGB(e.peRed, e.peGreen, e.peBlue) | (uint32_t(e.peFlags) << 24));
    }
    return static_cast<HPALETTE>(Register(p));
}

PALETTEENTRY Entry(uint32_t e) {
    return PALETTEENTRY{GetRValue(e), GetGValue(e), GetBValue(e), static_cast<BYTE>(e >> 24)};
}

} // namespace

HPALETTE CreatePalette(const LOGPALETTE* palette) {
    if (!palette || palette->palNumEntries == 0) return nullptr;
    return Make(palette->palPalEntry, palette->palNumEntries);
}

HPALETTE CreatePalette(const PALETTEENTRY* entries, int count) {
    if (!entries || count < 1 || count > 256) return nullptr;
    return Make(entries, static_cast<size_t>(count));
}

HPALETTE SelectPalette(HDC hdc, HPALETTE palette, BOOL) {
    auto dc = LookupDc(hdc);
    if (!dc || !LookupAs<PaletteObject>(palette, Kind::Palette)) return nullptr;
    HPALETTE previous =
        dc->st.paletteHandle ? dc->st.paletteHandle : static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
    dc->st.paletteHandle = palette;
    return previous;
}

UINT RealizePalette(HDC hdc) {
    return LookupDc(hdc) ? 0 : GDI_ERROR;
}

BOOL UpdateColors(HDC hdc) {
    return LookupDc(hdc) ? 1 : 0;
}

UINT GetPaletteEntries(HPALETTE palette, UINT start, UINT count, PALETTEENTRY* entries) {
    auto p = LookupAs<PaletteObject>(palette, Kind::Palette);
    if (!p) return 0;
    const UINT size = static_cast<UINT>(p->entries.size());
    if (!entries) return size;
    if (start >= size) return 0;
    const UINT n = std::min(count, size - start);
    for (UINT i = 0; i < n; ++i)
        entries[i] = Entry(p->entries[start + i]);
    return n;
}

std::vector<PALETTEENTRY> PaletteEntries(HPALETTE palette) {
    std::vector<PALETTEENTRY> out;
    if (auto p = LookupAs<PaletteObject>(palette, Kind::Palette))
        for (uint32_t e : p->entries)
            out.push_back(Entry(e));
    return out;
}

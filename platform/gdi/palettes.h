#pragma once
// Logical palettes. At 32 bits per pixel there is nothing to realise: the calls keep the Win32 contract
// (handles, previous selections) and change no pixels.
#include <vector>

#include "platform/gdi/gdi_defs.h"

struct PALETTEENTRY {
    BYTE peRed = 0;
    BYTE peGreen = 0;
    BYTE peBlue = 0;
    BYTE peFlags = 0;
};

inline constexpr BYTE PC_RESERVED = 0x01, PC_EXPLICIT = 0x02, PC_NOCOLLAPSE = 0x04;

// As in Win32 the entries continue past palPalEntry[0].
struct LOGPALETTE {
    WORD palVersion = 0x300;
    WORD palNumEntries = 0;
    PALETTEENTRY palPalEntry[1];
};

HPALETTE CreatePalette(const LOGPALETTE* palette);
HPALETTE SelectPalette(HDC hdc, HPALETTE palette, BOOL forceBackground);
UINT RealizePalette(HDC hdc);
BOOL UpdateColors(HDC hdc);
UINT GetPaletteEntries(HPALETTE palette, UINT start, UINT count, PALETTEENTRY* entries);

// The indexed bitmap formats' colour tables; deleted with DeleteObject like any palette.
// Null when count is not 1..256 or entries is null.
HPALETTE CreatePalette(const PALETTEENTRY* entries, int count);
// Every entry of the palette; empty for a handle that names none.
std::vector<PALETTEENTRY> PaletteEntries(HPALETTE palette);

#pragma once
// Logical palettes: colour tables named by HPALETTE handles, for the indexed bitmap formats.
#include <vector>

#include "platform/rtl/wintypes.h"

struct PALETTEENTRY {
    BYTE peRed = 0;
    BYTE peGreen = 0;
    BYTE peBlue = 0;
    BYTE peFlags = 0;
};

struct LOGPALETTE {
    WORD palVersion = 0x300;
    WORD palNumEntries = 0;
    PALETTEENTRY palPalEntry[1];
};

// Null when count is not 1..256 or entries is null.
HPALETTE CreatePalette(const PALETTEENTRY* entries, int count);
HPALETTE CreatePalette(const LOGPALETTE* palette);
// With entries null, answers the number of entries; else copies up to count from start.
UINT GetPaletteEntries(HPALETTE palette, UINT start, UINT count, PALETTEENTRY* entries);
std::vector<PALETTEENTRY> PaletteEntries(HPALETTE palette);
// The GDI's DeleteObject does not know palettes; false for a handle that names none.
bool DeletePalette(HPALETTE palette);
// A new handle with the same entries (null for null).
HPALETTE CopyPalette(HPALETTE palette);

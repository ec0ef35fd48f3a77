#pragma once
// Font measuring and glyph rasterising, done by Qt behind a plain interface. Text is aliased and
// unkerned, as GDI draws it, so pixels are deterministic for a given font file.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gdi/gdi_structs.h"

namespace pw::gdi::qt {

struct FontInfo {
    int ascent = 0;
    int descent = 0;
    int pixelSize = 0; // the em height
    int externalLeading = 0;
    int aveCharWidth = 0;
    int maxCharWidth = 0;
    int underlinePos = 0; // below the baseline
    int strikeOutPos = 0; // above the baseline
    int lineWidth = 1;
    bool fixedPitch = false;
    std::string family;
};

FontInfo Metrics(const LOGFONT& font);
// x positions of each UTF-16 unit's left edge, plus the total advance as the last entry.
std::vector<int> CharPositions(const LOGFONT& font, std::u16string_view text);
int TextWidth(const LOGFONT& font, std::u16string_view text);
// The width TextWidth sums from single characters and short runs that shape together, without shaping the
// whole text; -1 when the text needs the toolkit.
int SummedTextWidth(const LOGFONT& font, std::u16string_view text);
// The same measured by the toolkit shaping the whole text: what TextWidth must match.
int TextWidthWhole(const LOGFONT& font, std::u16string_view text);

struct GlyphMask {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> bits; // 1 per covered pixel, rows top-down
};
// The text drawn with its baseline at y = baseline and its start at x = originX, in a box of the given size,
// including the font's underline and strike-out.
GlyphMask RenderText(const LOGFONT& font, std::u16string_view text, int width, int height, int originX,
                     int baseline);
// The same drawn by the toolkit as one text, whatever it holds: what RenderText must match.
GlyphMask RenderTextWhole(const LOGFONT& font, std::u16string_view text, int width, int height, int originX,
                          int baseline);

} // namespace pw::gdi::qt

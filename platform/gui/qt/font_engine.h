#pragma once
// Font measuring and glyph rasterising by Qt, which the GDI reaches through its toolkit interface. Text
// is aliased and unkerned, as GDI draws it, so pixels are deterministic for a given font file.
#include <string_view>
#include <vector>

#include "platform/gdi/gdi_structs.h"
#include "platform/gdi/toolkit.h"

namespace pw::gui::qt {

using gdi::FontInfo;
using gdi::GlyphMask;

FontInfo Metrics(const LOGFONT& font);
// x positions of each UTF-16 unit's left edge, plus the total advance as the last entry.
std::vector<int> CharPositions(const LOGFONT& font, std::u16string_view text);
int TextWidth(const LOGFONT& font, std::u16string_view text);
// The width TextWidth sums from single characters and short runs that shape together, without shaping the
// whole text; -1 when the text needs the toolkit.
int SummedTextWidth(const LOGFONT& font, std::u16string_view text);
// The same measured by the toolkit shaping the whole text: what TextWidth must match.
int TextWidthWhole(const LOGFONT& font, std::u16string_view text);

// The text drawn with its baseline at y = baseline and its start at x = originX, in a box of the given size,
// including the font's underline and strike-out.
GlyphMask RenderText(const LOGFONT& font, std::u16string_view text, int width, int height, int originX,
                     int baseline);
// The same drawn by the toolkit as one text, whatever it holds: what RenderText must match.
GlyphMask RenderTextWhole(const LOGFONT& font, std::u16string_view text, int width, int height, int originX,
                          int baseline);

} // namespace pw::gui::qt

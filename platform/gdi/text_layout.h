#pragma once
// The font of a DC resolved for measuring and drawing text. Internal to the GDI.
#include <string>
#include <string_view>
#include <vector>

#include "platform/gdi/dc_internal.h"
#include "platform/gdi/toolkit.h"

namespace pw::gdi {

struct DcFont {
    LOGFONT lf;
    FontInfo info;
    int Height() const { return info.ascent + info.descent; }
    int Width(std::u16string_view text) const { return CurrentToolkit().TextWidth(lf, text); }
};

DcFont FontOf(const DeviceContext& dc);
std::u16string ToUtf16(const char* text, int count);

// Draws one run of text. (x, y) is the reference point in device coordinates, interpreted by align
// (TA_LEFT/RIGHT/CENTER, TA_TOP/BASELINE/BOTTOM) and rotated by the font's escapement in quarter turns.
// Underlines the characters listed in underline; clip (device) may be null.
struct TextRun {
    std::u16string text;
    std::vector<int> underline;
    bool drawText = true;
    bool opaque = false; // fill the text cell with the background colour first
};
void DrawTextRun(DeviceContext& dc, const DcFont& font, const TextRun& run, int x, int y, UINT align,
                 const RECT* clip);

} // namespace pw::gdi

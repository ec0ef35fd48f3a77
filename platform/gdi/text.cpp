#include "platform/gdi/text.h"

#include <algorithm>

#include "platform/gdi/painting.h"
#include "platform/gdi/text_layout.h"

namespace pw::gdi {
namespace {

// Quarter turns counter-clockwise from the font's escapement (tenths of degrees); other angles draw level.
int QuarterTurns(const LOGFONT& lf) {
    const int e = ((lf.lfEscapement % 3600) + 3600) % 3600;
    return e % 900 == 0 ? e / 900 : 0;
}

// Maps a point of the unrotated text box (u right, v down, relative to the reference point) to the device.
POINT Rotate(int turns, int ox, int oy, int u, int v) {
    switch (turns) {
    case 1:
        return POINT{ox + v, oy - u};
    case 2:
        return POINT{ox - u, oy - v};
    case 3:
        return POINT{ox - v, oy + u};
    default:
        return POINT{ox + u, oy + v};
    }
}

// The text-direction coordinate u of a device point, for a run whose u = 0 lies at (x, y) after u0.
int UOf(int turns, int x, int y, int u0, POINT p) {
    switch (turns) {
    case 1:
        return y - p.y - u0;
    case 2:
        return x - p.x - u0;
    case 3:
        return p.y - y - u0;
    default:
        return p.x - x - u0;
    }
}

} // namespace

void DrawTextRun(DeviceContext& dc, const DcFont& font, const TextRun& run, int x, int y, UINT align,
                 const RECT* clip) {
    const std::vector<int> pos = CurrentToolkit().CharPositions(font.lf, run.text);
    const int width = pos.back(), height = font.Height();
    int u0 = 0, v0 = 0;
    if ((align & TA_CENTER) == TA_CENTER)
        u0 = -width / 2;
    else if (align & TA_RIGHT)
        u0 = -width;
    if ((align & TA_BASELINE) == TA_BASELINE)
        v0 = -font.info.ascent;
    else if (align & TA_BOTTOM)
        v0 = -height;
    const int turns = QuarterTurns(font.lf);
    Surface* s = dc.Target();
    if (!s || height <= 0) return;

    // The glyph box has room on both sides for overhangs (italics).
    const int pad = font.info.pixelSize;
    // Clip to the run's own box first, so the per-pixel test sees only a few rectangles.
    const POINT c1 = Rotate(turns, x, y, u0 - pad, v0),
                c2 = Rotate(turns, x, y, u0 + width + pad, v0 + height);
    const RECT box{std::min(c1.x, c2.x) - 1, std::min(c1.y, c2.y) - 1, std::max(c1.x, c2.x) + 1,
                   std::max(c1.y, c2.y) + 1};
    Region visible = Region::Combine(dc.Visible(), Region(box), Region::Op::And);
    if (clip) visible = Region::Combine(visible, Region(*clip), Region::Op::And);
    if (visible.IsEmpty()) return;

    // Only the part of the run that can show is drawn: a long text costs what is visible of it.
    const RECT seen = visible.Bounds();
    const int ua = UOf(turns, x, y, u0, POINT{seen.left, seen.top}),
              ub = UOf(turns, x, y, u0, POINT{seen.right - 1, seen.bottom - 1});
    const int uStart = std::max(-pad, std::min(ua, ub) - pad),
              uEnd = std::min(width + pad, std::max(ua, ub) + 1 + pad);
    if (uStart >= uEnd) return;
    const int boxWidth = uEnd - uStart;
    const int n = static_cast<int>(run.text.size());
    int first = 0, last = n;
    while (first < n && pos[first + 1] <= uStart - pad)
        ++first;
    while (last > first && pos[last - 1] >= uEnd + pad)
        --last;

    GlyphMask glyphs;
    if (run.drawText && last > first)
        glyphs =
            CurrentToolkit().RenderText(font.lf, std::u16string_view(run.text).substr(first, last - first),
                                        boxWidth, height, pos[first] - uStart, font.info.ascent);
    std::vector<uint8_t> cover(static_cast<size_t>(boxWidth) * height, 0);
    auto mark = [&](int u, int v, uint8_t value) {
        if (u < uStart || u >= uEnd || v < 0 || v >= height) return;
        cover[static_cast<size_t>(v) * boxWidth + (u - uStart)] = value;
    };
    if (run.opaque)
        for (int v = 0; v < height; ++v)
            for (int u = std::max(0, uStart); u < std::min(width, uEnd); ++u)
                mark(u, v, 2);
    if (!glyphs.bits.empty())
        for (int v = 0; v < height; ++v)
            for (int u = uStart; u < uEnd; ++u)
                if (glyphs.bits[static_cast<size_t>(v) * glyphs.width + (u - uStart)]) mark(u, v, 1);
    const int underlineY = std::min(height - 1, font.info.ascent + font.info.underlinePos);
    for (int index : run.underline) {
        if (index < 0 || index + 1 >= static_cast<int>(pos.size())) continue;
        for (int t = 0; t < font.info.lineWidth; ++t)
            for (int u = std::max(pos[index], uStart); u < std::min(pos[index + 1], uEnd); ++u)
                mark(u, underlineY - t, 1);
    }

    const uint32_t fore = DeviceColor(dc, dc.st.textColor), back = DeviceColor(dc, dc.st.bkColor);
    if (turns == 0 && visible.Rects().size() == 1) {
        // Level text in one rectangle, as a label draws: whole rows, no test per pixel.
        const RECT r = visible.Rects().front();
        const int ox = x + u0, oy = y + v0;
        for (int v = std::max(0, static_cast<int>(r.top) - oy);
             v < std::min(height, static_cast<int>(r.bottom) - oy); ++v) {
            const uint8_t* row = cover.data() + static_cast<size_t>(v) * boxWidth;
            for (int u = std::max(uStart, static_cast<int>(r.left) - ox);
                 u < std::min(uEnd, static_cast<int>(r.right) - ox); ++u)
                if (const uint8_t c = row[u - uStart])
                    s->SetPixel(ox + u + dc.deviceOrigin.x, oy + v + dc.deviceOrigin.y, c == 1 ? fore : back);
        }
        return;
    }
    for (int v = 0; v < height; ++v)
        for (int u = uStart; u < uEnd; ++u) {
            const uint8_t c = cover[static_cast<size_t>(v) * boxWidth + (u - uStart)];
            if (!c) continue;
            const POINT p = Rotate(turns, x, y, u0 + u, v0 + v);
            if (!visible.Contains(p.x, p.y)) continue;
            s->SetPixel(p.x + dc.deviceOrigin.x, p.y + dc.deviceOrigin.y, c == 1 ? fore : back);
        }
}

} // namespace pw::gdi

using namespace pw::gdi;

BOOL TextOut(HDC hdc, int x, int y, const char* text, int count) {
    return ExtTextOut(hdc, x, y, 0, nullptr, text, count < 0 ? 0 : static_cast<UINT>(count), nullptr);
}

BOOL ExtTextOut(HDC hdc, int x, int y, UINT options, const RECT* rect, const char* text, UINT count,
                const int* dx) {
    auto dc = LookupDc(hdc);
    if (!dc || (!text && count > 0)) return 0;
    TargetAccess access(*dc);
    const DcFont font = FontOf(*dc);
    const bool updateCp = (dc->st.textAlign & TA_UPDATECP) != 0;
    POINT ref = updateCp ? dc->st.currentPos : POINT{x, y};
    RECT deviceRect{};
    if (rect) deviceRect = dc->ToDevice(*rect);
    if (rect && (options & ETO_OPAQUE))
        FillAreaColor(*dc, Region(deviceRect), DeviceColor(*dc, dc->st.bkColor), R2_COPYPEN);
    const RECT* clip = rect && (options & ETO_CLIPPED) ? &deviceRect : nullptr;
    const std::u16string s = ToUtf16(text, static_cast<int>(count));
    const POINT dev = dc->ToDevice(ref);
    const bool opaque = dc->st.bkMode == OPAQUE;
    int advance = 0;
    if (dx) {
        // Each character at its given advance, positioned from the reference point.
        const UINT align = dc->st.textAlign & ~(TA_CENTER | TA_RIGHT);
        for (size_t i = 0; i < s.size(); ++i) {
            TextRun run{s.substr(i, 1), {}, true, opaque};
            DrawTextRun(*dc, font, run, dev.x + advance, dev.y, align, clip);
            advance += dx[std::min<size_t>(i, count ? count - 1 : 0)];
        }
    } else {
        TextRun run{s, {}, true, opaque};
        DrawTextRun(*dc, font, run, dev.x, dev.y, dc->st.textAlign, clip);
        advance = font.Width(s);
    }
    // The current position moves past the text, except for centred text.
    if (updateCp && (dc->st.textAlign & TA_CENTER) != TA_CENTER)
        dc->st.currentPos.x += (dc->st.textAlign & TA_RIGHT) ? -advance : advance;
    return 1;
}

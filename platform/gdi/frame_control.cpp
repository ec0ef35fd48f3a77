#include <algorithm>
#include <vector>

#include "platform/gdi/edge_painter.h"
#include "platform/gdi/edges.h"
#include "platform/gdi/painting.h"
#include "platform/gdi/syscolors.h"

namespace pw::gdi {
namespace {

// A glyph as rows of '#' pixels, centred in the rectangle.
void DrawGlyph(DeviceContext& dc, const RECT& r, const std::vector<const char*>& rows, COLORREF color,
               int dx = 0, int dy = 0) {
    const int h = static_cast<int>(rows.size()), w = static_cast<int>(std::string_view(rows[0]).size());
    const int x0 = r.left + (r.right - r.left - w) / 2 + dx, y0 = r.top + (r.bottom - r.top - h) / 2 + dy;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (rows[y][x] == '#') FillDeviceRect(dc, RECT{x0 + x, y0 + y, x0 + x + 1, y0 + y + 1}, color);
}

// Disabled glyphs are embossed: a highlight copy one pixel down-right under a shadow copy.
void DrawStateGlyph(DeviceContext& dc, const RECT& r, const std::vector<const char*>& rows, UINT state,
                    int pushOffset) {
    if (state & DFCS_INACTIVE) {
        DrawGlyph(dc, r, rows, GetSysColor(COLOR_BTNHIGHLIGHT), 1 + pushOffset, 1 + pushOffset);
        DrawGlyph(dc, r, rows, GetSysColor(COLOR_BTNSHADOW), pushOffset, pushOffset);
    } else {
        DrawGlyph(dc, r, rows, GetSysColor(COLOR_BTNTEXT), pushOffset, pushOffset);
    }
}

const std::vector<const char*> kCheck = {"......#", ".....##", "#...###", "##.###.",
                                         "#####..", ".###...", "..#...."};
const std::vector<const char*> kBullet = {".##.", "####", "####", ".##."};
const std::vector<const char*> kArrowRight = {"#...", "##..", "###.", "####", "###.", "##..", "#..."};
const std::vector<const char*> kArrowLeft = {"...#", "..##", ".###", "####", ".###", "..##", "...#"};
const std::vector<const char*> kArrowUp = {"...#...", "..###..", ".#####.", "#######"};
const std::vector<const char*> kArrowDown = {"#######", ".#####.", "..###..", "...#..."};
const std::vector<const char*> kClose = {"##....##", ".##..##.", "..####..", "...##...",
                                         "..####..", ".##..##.", "##....##"};
const std::vector<const char*> kMinimize = {"......", "......", "......", "......",
                                            "......", "######", "######"};
const std::vector<const char*> kMaximize = {"#########", "#########", "#.......#", "#.......#",
                                            "#.......#", "#.......#", "#.......#", "#########"};
const std::vector<const char*> kRestore = {"..######", "..######", "..#....#", "######.#", "######.#",
                                           "#....###", "#....#..", "#....#..", "######.."};
const std::vector<const char*> kHelp = {"..###..", ".##.##.", ".....##", "....##.", "...##..",
                                        "...##..", ".......", "...##..", "...##.."};

RECT Square(const RECT& r) {
    const int side = std::min(r.right - r.left, r.bottom - r.top);
    const int x = r.left + (r.right - r.left - side) / 2, y = r.top + (r.bottom - r.top - side) / 2;
    return RECT{x, y, x + side, y + side};
}

// A push-button face; returns the face inside the edge.
RECT ButtonFace(DeviceContext& dc, const RECT& r, UINT state) {
    UINT flags = BF_RECT | BF_MIDDLE | BF_SOFT;
    if (state & DFCS_FLAT) flags |= BF_FLAT;
    if (state & DFCS_MONO) flags |= BF_MONO;
    const bool down = (state & (DFCS_PUSHED | DFCS_CHECKED)) != 0;
    return PaintEdge(dc, r, down ? EDGE_SUNKEN : EDGE_RAISED, flags);
}

void DrawRadio(DeviceContext& dc, const RECT& box, UINT state) {
    const Region outer = Region::Ellipse(box);
    RECT innerBox = box;
    InflateRect(innerBox, -1, -1);
    const Region inner = Region::Ellipse(innerBox);
    RECT coreBox = innerBox;
    InflateRect(coreBox, -1, -1);
    const Region core = Region::Ellipse(coreBox);
    const int cx2 = box.left + box.right - 1, cy2 = box.top + box.bottom - 1; // twice the centre
    if (state & DFCS_BUTTONRADIOMASK) {
        FillDeviceRect(dc, box, RGB(255, 255, 255));
        FillAreaColor(dc, outer, DeviceColor(dc, RGB(0, 0, 0)), R2_COPYPEN);
        return;
    }
    // Rings: upper-left half in the shadow colours, lower-right half in the light ones.
    auto ring = [&](const Region& out, const Region& in, int tl, int br) {
        const Region band = Region::Combine(out, in, Region::Op::Diff);
        const uint32_t a = DeviceColor(dc, GetSysColor(tl)), b = DeviceColor(dc, GetSysColor(br));
        ForEachVisiblePixel(dc, band,
                            [&](int x, int y, uint32_t& px) { px = (2 * x + 2 * y < cx2 + cy2) ? a : b; });
    };
    ring(outer, inner, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT);
    ring(inner, core, COLOR_3DDKSHADOW, COLOR_3DLIGHT);
    const bool face = state & (DFCS_INACTIVE | DFCS_PUSHED);
    FillAreaColor(dc, core, DeviceColor(dc, GetSysColor(face ? COLOR_BTNFACE : COLOR_WINDOW)), R2_COPYPEN);
    if (state & DFCS_CHECKED) {
        RECT dot = box;
        const int inset = (box.right - box.left) / 3;
        InflateRect(dot, -inset, -inset);
        FillAreaColor(
            dc, Region::Ellipse(dot),
            DeviceColor(dc, GetSysColor((state & DFCS_INACTIVE) ? COLOR_BTNSHADOW : COLOR_WINDOWTEXT)),
            R2_COPYPEN);
    }
}

void DrawCheckBox(DeviceContext& dc, const RECT& box, UINT state) {
    UINT flags = BF_RECT;
    if (state & DFCS_FLAT) flags |= BF_FLAT;
    if (state & DFCS_MONO) flags |= BF_MONO;
    const RECT inner = PaintEdge(dc, box, EDGE_SUNKEN, flags);
    const bool face = state & (DFCS_INACTIVE | DFCS_PUSHED);
    FillDeviceRect(dc, inner, GetSysColor(face ? COLOR_BTNFACE : COLOR_WINDOW));
    if (state & DFCS_CHECKED)
        DrawGlyph(dc, inner, kCheck,
                  GetSysColor((state & DFCS_INACTIVE) ? COLOR_BTNSHADOW : COLOR_WINDOWTEXT));
}

// The grip faces the bottom-right corner, or the bottom-left one when mirrored.
void DrawSizeGrip(DeviceContext& dc, const RECT& r, bool mirrored) {
    FillDeviceRect(dc, r, GetSysColor(COLOR_BTNFACE));
    const int n = std::min(r.right - r.left, r.bottom - r.top);
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT), dark = GetSysColor(COLOR_BTNSHADOW);
    // Three ridges along the diagonal from the bottom-right corner: one light line, two dark ones.
    for (int y = r.bottom - n; y < r.bottom; ++y)
        for (int x = r.right - n; x < r.right; ++x) {
            const int d = (mirrored ? x - (r.right - n) : r.right - 1 - x) + (r.bottom - 1 - y);
            if (d == 0 || d >= std::min(n - 1, 12)) continue;
            const int phase = d % 4;
            if (phase == 0) continue;
            FillDeviceRect(dc, RECT{x, y, x + 1, y + 1}, phase == 1 ? light : dark);
        }
}

} // namespace
} // namespace pw::gdi

using namespace pw::gdi;

BOOL DrawFrameControl(HDC hdc, RECT* rect, UINT type, UINT state) {
    auto dc = LookupDc(hdc);
    if (!dc || !rect) return 0;
    TargetAccess access(*dc);
    const RECT r = dc->ToDevice(*rect);
    const int push = (state & DFCS_PUSHED) ? 1 : 0;
    switch (type) {
    case DFC_BUTTON: {
        if (state & DFCS_BUTTONPUSH) {
            const RECT face = ButtonFace(*dc, r, state);
            if (state & DFCS_ADJUSTRECT) *rect = dc->ToLogical(face);
            return 1;
        }
        const RECT box = Square(r);
        if (state & (DFCS_BUTTONRADIO | DFCS_BUTTONRADIOIMAGE | DFCS_BUTTONRADIOMASK))
            DrawRadio(*dc, box, state);
        else
            DrawCheckBox(*dc, box, state);
        return 1;
    }
    case DFC_CAPTION: {
        const RECT face = ButtonFace(*dc, r, state);
        const UINT kind = state & 0xFF;
        const auto& glyph = kind == DFCS_CAPTIONMIN       ? kMinimize
                            : kind == DFCS_CAPTIONMAX     ? kMaximize
                            : kind == DFCS_CAPTIONRESTORE ? kRestore
                            : kind == DFCS_CAPTIONHELP    ? kHelp
                                                          : kClose;
        DrawStateGlyph(*dc, face, glyph, state, push);
        return 1;
    }
    case DFC_MENU:
    case DFC_POPUPMENU: {
        // Menu glyphs are black on white, for use as masks.
        FillDeviceRect(*dc, r, RGB(255, 255, 255));
        const UINT kind = state & 0xFF;
        const auto& glyph = kind == DFCS_MENUCHECK        ? kCheck
                            : kind == DFCS_MENUBULLET     ? kBullet
                            : kind == DFCS_MENUARROWRIGHT ? kArrowLeft
                                                          : kArrowRight;
        DrawGlyph(*dc, r, glyph, RGB(0, 0, 0));
        return 1;
    }
    case DFC_SCROLL: {
        const UINT kind = state & 0xFF;
        if (kind == DFCS_SCROLLSIZEGRIP || kind == DFCS_SCROLLSIZEGRIPRIGHT) {
            DrawSizeGrip(*dc, r, kind == DFCS_SCROLLSIZEGRIPRIGHT);
            return 1;
        }
        RECT face;
        if ((state & DFCS_PUSHED) && !(state & DFCS_FLAT)) {
            face = PaintEdge(*dc, r, BDR_SUNKENOUTER, BF_RECT | BF_MIDDLE | BF_FLAT);
        } else {
            face = ButtonFace(*dc, r, state & ~DFCS_PUSHED);
        }
        const auto& glyph = kind == DFCS_SCROLLUP      ? kArrowUp
                            : kind == DFCS_SCROLLLEFT  ? kArrowLeft
                            : kind == DFCS_SCROLLRIGHT ? kArrowRight
                                                       : kArrowDown;
        DrawStateGlyph(*dc, face, glyph, state, push);
        return 1;
    }
    default:
        return 0;
    }
}

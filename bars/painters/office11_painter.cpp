// The Office 2003 style's painter.
#include "bars/painters/office11_painter.h"
#include "bars/painters/paint_steps.h"

#include <algorithm>
#include <utility>

#include "bars/core/bar_drawing.h"
#include "bars/core/bar_manager.h"
#include "bars/core/toolbar.h"
#include "bars/painters/xp_painter.h"
#include "lookandfeel/colors.h"
#include "lookandfeel/office11.h"
#include "platform/gdi/blit.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/regions.h"
#include "platform/gdi/scoped.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/syscolors.h"
#include "platform/gdi/text.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/graphics_types.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/messages.h"
#include "platform/rtl/wintypes.h"

namespace bars {

using pw::gdi::OwnedObject;
using pw::gdi::SelectedObject;

namespace {

const TOffice11Colors& Colors() {
    return Office11Colors();
}

const TOffice11Brushes& Brushes() {
    return Office11Brushes();
}

void FillColor(HDC dc, int l, int t, int r, int b, TColor color) {
    if (r > l && b > t) FillRectByColor(dc, RECT{l, t, r, b}, color);
}

// A docked toolbar with its own single border and rounded shape (not the menu bar).
bool IsRoundedBar(BarPaintView& bar) {
    TdxBar* toolbar = bar.Bar();
    return toolbar != nullptr && bar.PaintDockingStyle() != dsNone && toolbar->BorderStyle() != bbsNone &&
           !toolbar->IsMainMenu();
}

// The rectangle of a docked toolbar's gradient in its client coordinates: the window less one pixel at
// both ends across the bar.
RECT BarGradientRect(BarPaintView& bar, bool horizontal) {
    const int border = 2;
    return horizontal
               ? RECT{-border, 1 - border, bar.ClientWidth() + border, bar.ClientHeight() + border - 1}
               : RECT{1 - border, -border, bar.ClientWidth() + border - 1, bar.ClientHeight() + border};
}

// The dock's colour, for a bar that has no site to paint what lies behind it.
TColor BehindBar(BarPaintView& bar) {
    TdxBarManager* manager = bar.Manager();
    return manager != nullptr ? manager->DockColor() : clBtnFace;
}

// A filled three-point polygon in one colour.
void Triangle(HDC dc, const POINT (&p)[3], TColor color) {
    const COLORREF rgb = ColorToRGB(color);
    const OwnedObject<HPEN> pen(CreatePen(PS_SOLID, 1, rgb));
    const OwnedObject<HBRUSH> brush(CreateSolidBrush(rgb));
    const SelectedObject penSel(dc, pen.Get()), brushSel(dc, brush.Get());
    Polygon(dc, p, 3);
}

// The end mark's glyphs at (x, y): a small arrow pointing down (or left on a vertical bar) and a double
// chevron pointing right (or down).
void MarkArrow(HDC dc, int x, int y, bool horizontal, TColor color) {
    if (horizontal)
        Triangle(dc, {{x, y}, {x + 4, y}, {x + 2, y + 2}}, color);
    else
        Triangle(dc, {{x, y}, {x, y + 4}, {x - 2, y + 2}}, color);
}

void MarkChevrons(HDC dc, int x, int y, bool horizontal, TColor color) {
    for (int i = 0; i < 2; ++i) {
        if (horizontal) {
            const int cx = x + 4 * i;
            Triangle(dc, {{cx, y}, {cx + 2, y + 2}, {cx, y + 4}}, color);
            Triangle(dc, {{cx + 1, y}, {cx + 3, y + 2}, {cx + 1, y + 4}}, color);
        } else {
            const int cy = y + 4 * i;
            Triangle(dc, {{x, cy}, {x + 2, cy + 2}, {x + 4, cy}}, color);
            Triangle(dc, {{x, cy + 1}, {x + 2, cy + 3}, {x + 4, cy + 1}}, color);
        }
    }
}

} // namespace

const TdxBarItemControlOffice11Painter& Office11BarPainter() {
    static const TdxBarItemControlOffice11Painter* painter = new TdxBarItemControlOffice11Painter;
    return *painter;
}

bool TdxBarItemControlOffice11Painter::IsFloatingBarStyle(BarPaintView& Bar) const {
    if (Bar.Bar() != nullptr && !Bar.IsQuickControl()) return false;
    return TdxBarItemControlFlatPainter::IsFloatingBarStyle(Bar);
}

RECT TdxBarItemControlOffice11Painter::GetDockedBorders(const TdxBar* Bar, TdxBarDockingStyle Style) const {
    if (Bar != nullptr && Bar->IsMainMenu())
        return Style == dsTop || Style == dsBottom ? RECT{0, 2, 0, 2} : RECT{2, 0, 2, 0};
    return TdxBarItemControlFlatPainter::GetDockedBorders(Bar, Style);
}

int TdxBarItemControlOffice11Painter::GetSubMenuDetachHeight(BarPaintView& SubMenu) const {
    int h = TextExtent(SubMenu, "Qq").cy / 2;
    if (h % 2 == 0) ++h;
    return h + 5;
}

void TdxBarItemControlOffice11Painter::DeflateSubMenuRect(RECT& R) const {
    R = Inflated(R, -2, -4);
}

TColor TdxBarItemControlOffice11Painter::GetFadedGlyphColor(BarPaintView&) const {
    return Colors().MarkColor1[omsNormal];
}

TColor TdxBarItemControlOffice11Painter::GetCaptionColor(BarPaintView&, bool) const {
    return Colors().FloatingBorderColor1;
}

TColor TdxBarItemControlOffice11Painter::GetCaptionTextColor(BarPaintView&) const {
    return Colors().CaptionTextColor;
}

TColor TdxBarItemControlOffice11Painter::GetCaptionMarkGlyphColor(BarPaintView&, int State) const {
    if (State == 1) return Colors().CloseGlyphHotColor;
    if (State == 2) return Colors().CloseGlyphDownColor;
    return Colors().CaptionTextColor;
}

HBRUSH TdxBarItemControlOffice11Painter::GetManagerBrush(const TdxBarManager*) const {
    return Brushes().LightBar;
}

HBRUSH TdxBarItemControlOffice11Painter::GetBarBrush(BarPaintView&) const {
    return Brushes().Menu;
}

HBRUSH TdxBarItemControlOffice11Painter::GetToolbarBrush(BarPaintView& Bar) const {
    TdxBar* bar = Bar.Bar();
    if (bar != nullptr && (bar->IsMainMenu() || (bar->BorderStyle() == bbsNone &&
                                                 bar->DockingStyle() == dsBottom && bar->WholeRow())))
        return GetSysColorBrush(COLOR_BTNFACE);
    return GetBarBrush(Bar);
}

HBRUSH TdxBarItemControlOffice11Painter::GetPatternBrush(BarPaintView&) const {
    return Brushes().Checked;
}

HBRUSH TdxBarItemControlOffice11Painter::GetFaceBrush(BarPaintView&) const {
    return Brushes().Pressed;
}

HBRUSH TdxBarItemControlOffice11Painter::GetSelectedBrush(BarPaintView&) const {
    return Brushes().Selected;
}

HBRUSH TdxBarItemControlOffice11Painter::GetSubMenuBkBrush() const {
    return Brushes().Menu;
}

HBRUSH TdxBarItemControlOffice11Painter::GetMenuSeparatorBrush() const {
    return Brushes().Separator1;
}

void TdxBarItemControlOffice11Painter::GetTextColors(bool Enabled, bool, bool, COLORREF& Shadow,
                                                     COLORREF& Text) const {
    Text = ColorToRGB(Enabled ? Colors().TextColor : Colors().DisabledTextColor);
    Shadow = Text;
}

HBRUSH TdxBarItemControlOffice11Painter::GetQuickControlBrush(BarPaintView&) const {
    return Brushes().Menu;
}

void TdxBarItemControlOffice11Painter::CalcQuickCheckRect(ItemPaintView& Control, HDC DC, bool MeasureOnly,
                                                          int& Size, RECT& R) const {
    BarPaintView& bar = Control.ParentView();
    const RECT square{R.left, R.top, R.left + (R.bottom - R.top), R.bottom};
    TdxBarItemControlFlatPainter::CalcQuickCheckRect(Control, DC, true, Size, R);
    if (MeasureOnly) return;
    FrameBackground(Control, DC, false, bar.BkBrush(), square);
    FillRect(DC, &R, GetBarBrush(bar));
}

void TdxBarItemControlOffice11Painter::GetButtonColors(BarPaintView& Bar, bool Down, bool Selected,
                                                       TColor& Color1, TColor& Color2) const {
    if (!Bar.IsQuickCustomizingMenu()) {
        GetButtonColors(Down, Selected, Color1, Color2);
        return;
    }
    const TOffice11Colors& c = Colors();
    Color1 = Color2 = Down ? c.LightBarColor : c.HotColor1;
}

void TdxBarItemControlOffice11Painter::GetButtonColors(bool Down, bool Selected, TColor& Color1,
                                                       TColor& Color2) const {
    const TOffice11Colors& c = Colors();
    if (!Down) {
        Color1 = c.HotColor1, Color2 = c.HotColor2;
    } else if (Selected) {
        Color1 = c.DownColor2, Color2 = c.DownColor1;
    } else if (c.DownColor1 == c.DownColor2) {
        // Outside the XP schemes both ends are the same: a checked button is one colour.
        Color1 = Color2 = c.CheckedColor;
    } else {
        Color1 = c.DownColor1, Color2 = c.DownColor2;
    }
}

int TdxBarItemControlOffice11Painter::GlyphBandRight(BarPaintView& SubMenu) const {
    return SubMenu.SideBarWidth() + GetSubMenuBorderSize() - 1 + SubMenu.MenuLineHeight() + 3;
}

void TdxBarItemControlOffice11Painter::DrawStatusBarBackground(BarPaintView& Bar, HDC DC, HBRUSH Brush,
                                                               const RECT& Whole, const RECT& R) const {
    // With the system's themes the status bar is the themed one, as in the XP style.
    const TdxBarManager* manager = Bar.Manager();
    if (manager != nullptr && manager->ThemesAvailable())
        XPBarPainter().DrawStatusBarBackground(Bar, DC, Brush, Whole, R);
    else
        TdxBarItemControlFlatPainter::DrawStatusBarBackground(Bar, DC, Brush, Whole, R);
}

void TdxBarItemControlOffice11Painter::DrawBarBackground(BarPaintView& Bar, HDC DC, const RECT& R,
                                                         HBRUSH Brush) const {
    if (!Bar.IsSubMenu() && Bar.Bar() != nullptr && Bar.PaintDockingStyle() != dsNone) {
        DrawBarBitmapBackground(Bar, DC, clNone, Brush != nullptr ? Brush : Bar.BkBrush(), POINT{0, 0}, R);
        return;
    }
    const TdxBarManager* manager = Bar.Manager();
    if (!Bar.IsSubMenu() && Bar.Bar() != nullptr && !Bar.IsQuickControl() &&
        (manager == nullptr || !manager->ThemesAvailable())) {
        // A floating toolbar's face runs from the light end of the bar colours at its top to the dark one.
        HRGN saved = nullptr;
        bool hadRegion = false;
        SaveClipRegion(DC, saved, hadRegion);
        IntersectClipRect(DC, R.left, R.top, R.right, R.bottom);
        FillGradientRect(DC, RECT{0, 0, Bar.ClientWidth(), Bar.ClientHeight()}, Colors().BarColor1, false,
                         Colors().BarColor2);
        RestoreClipRegion(DC, saved, hadRegion);
        return;
    }
    TdxBarItemControlFlatPainter::DrawBarBackground(Bar, DC, R, Brush);
}

void TdxBarItemControlOffice11Painter::DrawBarBitmapBackground(BarPaintView& Bar, HDC DC, TColor Color,
                                                               HBRUSH Brush, POINT Origin,
                                                               const RECT& R) const {
    // The menu bar and borderless bars show the dock behind them.
    if (!IsRoundedBar(Bar)) {
        TdxBarItemControlFlatPainter::DrawBarBitmapBackground(Bar, DC, Color, Brush, Origin, R);
        return;
    }
    const bool horizontal = Horizontal(Bar);
    RECT gradient = BarGradientRect(Bar, horizontal);
    OffsetRect(gradient, Origin.x, Origin.y);
    HRGN saved = nullptr;
    bool hadRegion = false;
    SaveClipRegion(DC, saved, hadRegion);
    IntersectClipRect(DC, R.left, R.top, R.right, R.bottom);
    FillTwoPhaseGradientRect(DC, gradient, Colors().BarColor1, !horizontal, Colors().BarColor2);
    RestoreClipRegion(DC, saved, hadRegion);
}

void TdxBarItemControlOffice11Painter::DrawSubMenuBitmap(BarPaintView& SubMenu, HDC DC, TColor Color,
                                                         HBRUSH Brush, const RECT& R) const {
    if (SubMenuBackgroundBitmap(SubMenu) != nullptr) {
        TdxBarItemControlFlatPainter::DrawSubMenuBitmap(SubMenu, DC, Color, Brush, R);
        return;
    }
    // The glyph band at the left, darker beside a rarely used line.
    const TOffice11Colors& c = Colors();
    const bool dark = SubMenu.ShowsRarelyUsedItems();
    const RECT band{SubMenu.SideBarWidth(), R.top, GlyphBandRight(SubMenu), R.bottom};
    RECT part{};
    if (IntersectRect(part, band, R)) {
        HRGN saved = nullptr;
        bool hadRegion = false;
        SaveClipRegion(DC, saved, hadRegion);
        IntersectClipRect(DC, part.left, part.top, part.right, part.bottom);
        FillTwoPhaseGradientRect(DC, band, dark ? c.MenuStripDarkColor1 : c.MenuStripColor1, true,
                                 dark ? c.MenuStripDarkColor2 : c.MenuStripColor2);
        RestoreClipRegion(DC, saved, hadRegion);
    }
    // The menu's extra width beside the band takes the band's last colour.
    const RECT extra{band.right, R.top, band.right + std::max(0, SubMenu.ExtraWidth()), R.bottom};
    if (IntersectRect(part, extra, R))
        FillRectByColor(DC, part, dark ? c.MenuStripDarkColor2 : c.MenuStripColor2);
    const RECT rest{std::max(R.left, extra.right), R.top, R.right, R.bottom};
    if (rest.right > rest.left) FillRect(DC, &rest, Brush);
    const RECT before{R.left, R.top, std::min(R.right, band.left), R.bottom};
    if (before.right > before.left) FillRect(DC, &before, Brush);
}

namespace {

// The dock's background over R: sites at the left and right take one end of the gradient each, the
// others carry it across.
void FillDock(HDC DC, const RECT& R, TdxBarDockingStyle Side) {
    if (Side == dsLeft || Side == dsRight)
        FillRectByColor(DC, R, Side == dsLeft ? Colors().DockColor1 : Colors().DockColor2);
    else
        FillGradientRect(DC, R, Colors().DockColor1, true, Colors().DockColor2);
}

} // namespace

void TdxBarItemControlOffice11Painter::DrawDockBackground(HDC DC, const RECT& Dest, const RECT& Origin,
                                                          TColor, HBRUSH, TdxBarDockingStyle Side,
                                                          DockPaintView* Dock) const {
    // The gradient is drawn once into the site's bitmap and copied from there on every paint.
    TBitmap* cache = Dock != nullptr ? Dock->PainterCache() : nullptr;
    const SIZE size{Origin.right - Origin.left, Origin.bottom - Origin.top};
    if (cache != nullptr && size.cx > 0 && size.cy > 0) {
        if (cache->Empty()) {
            cache->SetSize(size.cx, size.cy);
            FillDock(cache->Canvas().Handle(), RECT{0, 0, size.cx, size.cy}, Side);
        }
        BitBlt(DC, Dest.left, Dest.top, Dest.right - Dest.left, Dest.bottom - Dest.top,
               cache->Canvas().Handle(), Dest.left - Origin.left, Dest.top - Origin.top, SRCCOPY);
        return;
    }
    HRGN saved = nullptr;
    bool hadRegion = false;
    SaveClipRegion(DC, saved, hadRegion);
    IntersectClipRect(DC, Dest.left, Dest.top, Dest.right, Dest.bottom);
    FillDock(DC, Origin, Side);
    RestoreClipRegion(DC, saved, hadRegion);
}

void TdxBarItemControlOffice11Painter::DrawDockedBorder(BarPaintView& Bar, HDC DC, HBRUSH, RECT R) const {
    TdxBar* bar = Bar.Bar();
    const bool horizontal = Horizontal(Bar);
    // The dock site behind the bar, in window coordinates: the client area lies inside the borders.
    RECT site{};
    const bool docked = bar != nullptr && Bar.DockSiteRect(site);
    if (docked) {
        const RECT borders = GetDockedBorders(bar, Bar.PaintDockingStyle());
        TdxBarManager* manager = Bar.Manager();
        const int grip =
            bar->CanMove() && manager != nullptr ? manager->GripAreaSize() : GetFloatingExtraSize();
        OffsetRect(site, borders.left + (horizontal ? grip : 0), borders.top + (horizontal ? 0 : grip));
    }
    auto behind = [&](const RECT& r) {
        if (docked)
            DrawDockBackground(DC, r, site, clNone, nullptr, Bar.PaintDockingStyle(), Bar.PaintDockSite());
        else
            FillRectByColor(DC, r, BehindBar(Bar));
    };
    if (!IsRoundedBar(Bar)) {
        if (docked) behind(R);
    } else {
        const TOffice11Colors& c = Colors();
        // The ring takes the bar's gradient; the window's gradient runs 1 pixel in from both long ends.
        const RECT gradient = horizontal ? RECT{R.left, R.top + 1, R.right, R.bottom - 1}
                                         : RECT{R.left + 1, R.top, R.right - 1, R.bottom};
        behind(R);
        FillTwoPhaseGradientRect(DC, gradient, c.BarColor1, !horizontal, c.BarColor2);
        // The outer long edge: a line of the border colour.
        if (horizontal)
            FillColor(DC, R.left + 2, R.bottom - 1, R.right - 2, R.bottom, c.BarBorderColor);
        else
            FillColor(DC, R.right - 1, R.top + 2, R.right, R.bottom - 2, c.BarBorderColor);
        // The mark's part of the ring, in the mark's own colours.
        if (Bar.MarkVisible()) {
            const TOffice11MarkState state =
                static_cast<TOffice11MarkState>(std::clamp(Bar.MarkState(), 0, 2));
            const RECT mark = horizontal ? RECT{R.right - 13, R.top, R.right, R.bottom}
                                         : RECT{R.left, R.bottom - 13, R.right, R.bottom};
            HRGN saved = nullptr;
            bool hadRegion = false;
            SaveClipRegion(DC, saved, hadRegion);
            IntersectClipRect(DC, mark.left, mark.top, mark.right, mark.bottom);
            behind(mark);
            const RECT inner = horizontal ? RECT{mark.left, mark.top + 1, mark.right, mark.bottom}
                                          : RECT{mark.left + 1, mark.top, mark.right, mark.bottom};
            FillTwoPhaseGradientRect(DC, inner, c.MarkColor1[state], !horizontal, c.MarkColor2[state]);
            RestoreClipRegion(DC, saved, hadRegion);
        }
        // Rounded corners: the outermost pixels show what lies behind, their neighbours a blend.
        const POINT corners[4] = {
            {R.left, R.top}, {R.right - 1, R.top}, {R.left, R.bottom - 1}, {R.right - 1, R.bottom - 1}};
        for (const POINT& p : corners) {
            const int dx = p.x == R.left ? 1 : -1, dy = p.y == R.top ? 1 : -1;
            behind(RECT{p.x, p.y, p.x + 1, p.y + 1});
            const int along = horizontal ? p.y + dy : p.x + dx;
            const TColor there = GetGradientColorAt(gradient, along, c.BarColor1, !horizontal, c.BarColor2);
            const TColor blend = BlendColors(there, c.BarBorderColor, 50);
            FillColor(DC, p.x + dx, p.y, p.x + dx + 1, p.y + 1, blend);
            FillColor(DC, p.x, p.y + dy, p.x + 1, p.y + dy + 1, blend);
        }
    }
    if (bar == nullptr || !bar->CanMove()) return;
    TdxBarManager* manager = Bar.Manager();
    const int before = manager != nullptr ? manager->BeforeGripSize() : GetBeforeGripSize();
    RECT grip = Inflated(R, -2, -2);
    if (horizontal) {
        grip.left += before;
        grip.right = grip.left + GetGripLineWidth();
        grip = Inflated(grip, 0, -3);
    } else {
        grip.top += before;
        grip.bottom = grip.top + GetGripLineWidth();
        grip = Inflated(grip, -3, 0);
    }
    DrawGripDots(Bar, DC, !horizontal, grip);
}

void TdxBarItemControlOffice11Painter::DrawGripDots(BarPaintView&, HDC DC, bool Vertical,
                                                    const RECT& R) const {
    DrawOffice11Grip(DC, R, Vertical);
}

void TdxBarItemControlOffice11Painter::DrawFloatingBorder(BarPaintView& Bar, HDC DC, HBRUSH Brush, bool,
                                                          const RECT& Inner, RECT R) const {
    const TOffice11Colors& c = Colors();
    if (Bar.IsQuickControl()) {
        // The end mark's drop-down: one frame ring, then its own face up to the client area.
        FrameRect(DC, &R, Brushes().Frame);
        for (R = Inflated(R, -1, -1); R.left < Inner.left && R.right > R.left; R = Inflated(R, -1, -1))
            FrameRect(DC, &R, Brush);
        return;
    }
    for (int i = 0; i < 2; ++i) {
        FrameRectByColor(DC, R, c.FloatingBorderColor1);
        R = Inflated(R, -1, -1);
    }
    FrameRectByColor(DC, R, c.FloatingBorderColor2);
    for (const POINT& p : {POINT{R.left, R.top}, POINT{R.right - 1, R.top}, POINT{R.left, R.bottom - 1},
                           POINT{R.right - 1, R.bottom - 1}})
        FillColor(DC, p.x, p.y, p.x + 1, p.y + 1, c.FloatingBorderColor1);
}

void TdxBarItemControlOffice11Painter::DrawFloatingCaption(BarPaintView& Bar, HDC DC, HBRUSH, RECT R) const {
    const OwnedObject<HBRUSH> brush(CreateSolidBrush(ColorToRGB(Colors().FloatingCaptionColor)));
    TdxBarItemControlFlatPainter::DrawFloatingCaption(Bar, DC, brush.Get(), R);
}

void TdxBarItemControlOffice11Painter::DrawCaptionButtonBackground(BarPaintView& Bar, HDC DC, int State,
                                                                   const RECT& R) const {
    if (State == 0) {
        FillRectByColor(DC, R, GetCaptionColor(Bar, false));
        return;
    }
    FrameOffice11Rect(DC, R);
    FillRectByColor(DC, Inflated(R, -1, -1), State == 1 ? Colors().HotColor1 : Colors().HotColor2);
}

void TdxBarItemControlOffice11Painter::DrawSeparator(BarPaintView& Bar, HDC DC, bool Horizontal, HBRUSH Brush,
                                                     RECT R) const {
    Bar.PaintBackground(DC, R, Brush);
    const int s = GetSeparatorLineOffset();
    const TOffice11Colors& c = Colors();
    if (Horizontal) {
        // A vertical line across a horizontal bar.
        R.left += s;
        R.right -= s;
        FillColor(DC, R.left, R.top + 3, R.left + 1, R.bottom - 4, c.SeparatorColor1);
        FillColor(DC, R.left + 1, R.top + 4, R.left + 2, R.bottom - 3, c.SeparatorColor2);
    } else {
        R.top += s;
        R.bottom -= s;
        FillColor(DC, R.left + 3, R.top, R.right - 4, R.top + 1, c.SeparatorColor1);
        FillColor(DC, R.left + 4, R.top + 1, R.right - 3, R.top + 2, c.SeparatorColor2);
    }
}

void TdxBarItemControlOffice11Painter::DrawMarkBackground(BarPaintView& Bar, HDC DC, HBRUSH,
                                                          const RECT& R) const {
    const TOffice11MarkState state = static_cast<TOffice11MarkState>(std::clamp(Bar.MarkState(), 0, 2));
    const TOffice11Colors& c = Colors();
    const bool horizontal = Horizontal(Bar);
    if (!IsRoundedBar(Bar)) {
        FillTwoPhaseGradientRect(DC, R, c.MarkColor1[state], !horizontal, c.MarkColor2[state]);
        return;
    }
    // The mark continues the ring's gradient into the non-client rounded end.
    const RECT whole = horizontal ? RECT{R.left, -1, R.right + 2, Bar.ClientHeight() + 1}
                                  : RECT{-1, R.top, Bar.ClientWidth() + 1, R.bottom + 2};
    HRGN saved = nullptr;
    bool hadRegion = false;
    SaveClipRegion(DC, saved, hadRegion);
    IntersectClipRect(DC, R.left, R.top, R.right, R.bottom);
    FillTwoPhaseGradientRect(DC, whole, c.MarkColor1[state], !horizontal, c.MarkColor2[state]);
    RestoreClipRegion(DC, saved, hadRegion);
}

void TdxBarItemControlOffice11Painter::DrawMarkArrows(BarPaintView& Bar, HDC DC, const RECT& R) const {
    TdxBar* bar = Bar.Bar();
    const bool framed = bar == nullptr || bar->BorderStyle() == bbsNone || bar->IsMainMenu();
    const int d1 = framed ? 2 : 0, d2 = framed ? 1 : 0;
    const bool horizontal = Horizontal(Bar);
    const TOffice11Colors& c = Colors();
    for (int pass = 0; pass < 2; ++pass) {
        // First the shadow one pixel right and down, then the glyph.
        const int o = pass == 0 ? 1 : 0;
        const TColor color = pass == 0 ? c.MarkArrowShadowColor : c.MarkArrowColor;
        if (horizontal) {
            MarkArrow(DC, R.right - 6 - d1 + o, R.bottom - 8 - d2 + o, true, color);
            if (Bar.ItemsHidden()) MarkChevrons(DC, R.right - 7 - d1 + o, R.top + 3 - d2 + o, true, color);
        } else {
            MarkArrow(DC, R.right - 8 - d2 + o, R.bottom - 6 - d1 + o, false, color);
            if (Bar.ItemsHidden()) MarkChevrons(DC, R.left + 3 - d1 + o, R.bottom - 7 - d2 + o, false, color);
        }
    }
}

void TdxBarItemControlOffice11Painter::DrawGlyphFrame(ItemPaintView& Control, HDC DC, const ItemState& State,
                                                      RECT GlyphRect, bool, HBRUSH Brush) const {
    BarPaintView& bar = Control.ParentView();
    const bool down = State.Down || State.Pressed;
    if (State.InMenu) {
        // In a menu the line shows the selection; the cell is framed only when checked.
        if (!State.Down) return;
        FrameOffice11Rect(DC, GlyphRect);
        const RECT inner = Inflated(GlyphRect, -1, -1);
        FillRect(DC, &inner, State.Selected ? GetFaceBrush(bar) : GetPatternBrush(bar));
        return;
    }
    if (State.Down && State.DroppedDown) {
        const bool horizontal = Horizontal(bar);
        FillTwoPhaseGradientRect(DC, GlyphRect, Colors().BarColor1, !horizontal, Colors().BarColor2);
        DrawDroppedDownFrame(bar, DC, GlyphRect, Control.DroppedDownJoint());
        return;
    }
    if (!down && !State.Selected) {
        DrawBackground(Control, DC, Control.IsRarelyUsed(), Brush, GlyphRect);
        return;
    }
    TColor c1, c2;
    GetButtonColors(bar, down, State.Selected, c1, c2);
    FrameOffice11Rect(DC, GlyphRect);
    FillGradientRect(DC, Inflated(GlyphRect, -1, -1), c1, false, c2);
}

void TdxBarItemControlOffice11Painter::DrawDropDownButton(ItemPaintView& Control, HDC DC,
                                                          const ItemState& State, bool InMenu, HBRUSH Brush,
                                                          RECT R) const {
    if (!InMenu) --R.left;
    if (!(State.Pressed && State.DroppedDown && !InMenu)) {
        // The split line beside the button's face: the scheme's frame while hot, else its dark separator
        // colour in a menu and the bar's own face on a toolbar.
        if (State.Selected)
            FrameOffice11Rect(DC, R);
        else if (InMenu)
            FrameRectByColor(DC, R, Colors().SeparatorColor1);
        else
            FrameBackground(Control, DC, false, Control.ParentView().BkBrush(), R);
        DrawBackground(Control, DC, State.Selected, Brush, Inflated(R, -1, -1));
    }
    if (InMenu)
        DrawButtonArrowSized(DC, R, true, State.Enabled, State.Selected, Control.ParentView().ArrowSize(),
                             false);
    else
        DrawButtonArrow(DC, R, State.Enabled, State.Selected, true, true);
}

namespace {

// A selected part of a white (high-contrast) face is dark: its arrow is white there.
UINT ArrowFlags(bool Enabled, bool Selected, bool Down) {
    return (Down ? Office11ArrowDown : Office11ArrowRight) | (Enabled ? 0 : Office11ArrowDisabled) |
           (Enabled && Selected && IsHighContrastWhite() ? Office11ArrowWhite : 0);
}

} // namespace

void TdxBarItemControlOffice11Painter::DrawButtonArrow(HDC DC, const RECT& R, bool Enabled, bool Selected,
                                                       bool, bool Down) const {
    DrawOffice11ArrowInRect(DC, R, ArrowFlags(Enabled, Selected, Down));
}

void TdxBarItemControlOffice11Painter::DrawButtonArrowSized(HDC DC, const RECT& R, bool, bool Enabled,
                                                            bool Selected, int Size, bool Down) const {
    DrawOffice11Arrow(DC, R, Size, ArrowFlags(Enabled, Selected, Down));
}

void TdxBarItemControlOffice11Painter::DrawSelectionFrame(HDC DC, const RECT& R) const {
    FrameOffice11Rect(DC, R);
}

void TdxBarItemControlOffice11Painter::DrawDroppedDownBorder(BarPaintView&, HDC DC, const RECT& R) const {
    FrameRect(DC, &R, Brushes().Frame);
}

void TdxBarItemControlOffice11Painter::DrawButtonBackground(ItemPaintView& Control, HDC DC,
                                                            const ItemState& State, const RECT& Rect) const {
    BarPaintView& bar = Control.ParentView();
    RECT R = Rect;
    const int cellRight = R.left + (R.bottom - R.top);
    if (State.Selected) {
        DrawSelectionFrame(DC, R);
        R = Inflated(R, -1, -1);
        FillRect(DC, &R, GetSelectedBrush(bar));
    } else {
        bar.PaintBackground(DC, R, bar.BkBrush());
        R = Inflated(R, -1, -1);
    }
    ItemState glyph = State;
    glyph.InMenu = true;
    DrawGlyph(Control, DC, RECT{R.left, R.top, cellRight - 1, R.bottom}, glyph, nullptr);
    RECT text{cellRight + 1 + 8, R.top, R.right, R.bottom};
    DrawItemText(Control, DC, Control.PaintCaption(), text, 0, State.Enabled, State.Selected, false,
                 !IsHighContrastWhite());
}

void TdxBarItemControlOffice11Painter::DrawMenuSeparator(ItemPaintView& Control, HDC DC,
                                                         const RECT& R) const {
    BarPaintView& bar = Control.ParentView();
    bar.PaintBackground(DC, R, bar.BkBrush());
    TdxBarManager* manager = bar.Manager();
    const int margin = manager != nullptr ? manager->SeparatorMargin() : GetSeparatorMargin();
    const int g = GlyphBandRight(bar);
    const int y = (R.top + R.bottom) / 2;
    const RECT line{g + margin, y, R.right + 1, y + 1};
    FillRect(DC, &line, GetMenuSeparatorBrush());
}

void TdxBarItemControlOffice11Painter::DrawSubMenuBorder(BarPaintView& SubMenu, HDC DC,
                                                         const RECT& Rect) const {
    const TOffice11Colors& c = Colors();
    FrameRectByColor(DC, Rect, c.FrameColor);
    const RECT R = Inflated(Rect, -1, -1);
    FrameRectByColor(DC, R, c.MenuColor);
    DrawBarNonClientBackground(SubMenu, DC);
    if (!SubMenu.HasDetachBar()) return;
    // The strip's rows: a band of two across the top, the tear-off bar, a line under it.
    const int height = GetSubMenuDetachHeight(SubMenu);
    const RECT strip{R.left, R.top, R.right, R.top + height};
    FrameRectByColor(DC, Inflated(strip, -1, -1), c.MenuColor);
    FillColor(DC, strip.left, strip.top, strip.right, strip.top + 2, c.MenuColor);
    // The frame's bottom row is the line under the tear-off bar.
    DrawSubMenuDetachFrame(SubMenu, DC, Brushes().Menu, strip);
    FillDetachCaption(SubMenu, DC, RECT{strip.left + 2, strip.top + 2, strip.right - 2, strip.bottom - 1});
}

void TdxBarItemControlOffice11Painter::DrawSubMenuDetachFrame(BarPaintView& SubMenu, HDC DC, HBRUSH Brush,
                                                              RECT R) const {
    if (SubMenuBackgroundBitmap(SubMenu) != nullptr || SubMenu.SideBarWidth() != 0) {
        FrameRect(DC, &R, Brush);
        return;
    }
    // The left column goes on with the glyph band's colour below it.
    const TOffice11Colors& c = Colors();
    FillColor(DC, R.left, R.top, R.right, R.top + 1, c.MenuColor);
    FillColor(DC, R.right - 1, R.top + 1, R.right, R.bottom - 1, c.MenuColor);
    FillColor(DC, R.left, R.bottom - 1, R.right, R.bottom, c.MenuColor);
    FillColor(DC, R.left, R.top + 1, R.left + 1, R.bottom - 1, c.MenuStripColor1);
}

void TdxBarItemControlOffice11Painter::FillDetachCaption(BarPaintView& SubMenu, HDC DC,
                                                         const RECT& Rect) const {
    RECT R = Rect;
    const bool hot = SubMenu.DetachHot();
    if (hot) {
        FrameOffice11Rect(DC, R);
        R = Inflated(R, -1, -1);
        FillRect(DC, &R, Brushes().Selected);
    } else {
        FillRect(DC, &R, Brushes().Detach);
    }
    const int quarter = (R.right - R.left + (hot ? 0 : 2)) / 4;
    DrawGripDots(SubMenu, DC, false, Inflated(R, -quarter, hot ? -1 : -2));
}

void TdxBarItemControlOffice11Painter::DrawSubMenuFrame(BarPaintView& SubMenu, HDC DC,
                                                        const SubMenuParts& Parts) const {
    const HBRUSH brush = SubMenu.BkBrush();
    const int side = SubMenu.SideBarWidth(), width = SubMenu.ClientWidth();
    const RECT& items = Parts.Items;
    auto paint = [&](int l, int t, int r, int b) {
        if (r > l && b > t) SubMenu.PaintBackground(DC, RECT{l, t, r, b}, brush);
    };
    paint(side, 0, width, items.top);
    paint(side, Parts.LinesBottom, width, Parts.SpaceBottom);
    paint(side, items.top, items.left, items.bottom);
    paint(items.right, items.top, width, items.bottom);
    // The arrows over the background they lie on.
    for (const auto& [arrow, up] : {std::pair{Parts.TopArrow, true}, std::pair{Parts.BottomArrow, false}}) {
        if (IsRectEmpty(arrow)) continue;
        paint(arrow.left, arrow.top, arrow.right, arrow.bottom);
        DrawScrollArrow(SubMenu, DC, up, arrow);
    }
    if (IsRectEmpty(Parts.Mark)) return;
    paint(side, Parts.Mark.bottom, width, SubMenu.ClientHeight());
    paint(side, Parts.Mark.top, Parts.Mark.left, Parts.Mark.bottom);
    paint(Parts.Mark.right, Parts.Mark.top, width, Parts.Mark.bottom);
    if (Parts.MarkState == 1) {
        FrameOffice11Rect(DC, Parts.Mark);
        const RECT inner = Inflated(Parts.Mark, -1, -1);
        FillRect(DC, &inner, GetSelectedBrush(SubMenu));
    } else {
        paint(Parts.Mark.left, Parts.Mark.top, Parts.Mark.right, Parts.Mark.bottom);
    }
    DrawExpandArrows(SubMenu, DC, Parts.MarkState == 1, Parts.Mark);
}

} // namespace bars

namespace bars {

void TdxBarItemControlOffice11Painter::DrawGlyphImage(ItemPaintView& Control, HDC DC, const ItemState& State,
                                                      const RECT& Area, const RECT& ImageRect, bool Fits,
                                                      HBRUSH Brush) const {
    // The frame and its gradient came first and are the picture's background.
    DrawGlyphPicture(Control, DC, State, Fits ? Inflated(Area, -1, -1) : Area, ImageRect, Brush);
}

void TdxBarItemControlOffice11Painter::DrawDropDownTriangle(HDC DC, COLORREF Color, int Width, int X,
                                                            int Y) const {
    DrawTriangle(DC, Color, Width, X, Y);
}

void TdxBarItemControlOffice11Painter::DrawExpandArrows(BarPaintView&, HDC DC, bool, const RECT& Rect) const {
    const RECT R = Inflated(Rect, -1, -1);
    const HBITMAP picture = Office11ExpandBitmap();
    if (picture == nullptr) return;
    const SIZE size = Office11ExpandBitmapSize();
    const pw::gdi::MemoryDC source(DC, picture);
    TransparentBlt(DC, (R.left + R.right - size.cx) / 2, R.top, size.cx, size.cy, source.Get(), 0, 0, size.cx,
                   size.cy, Office11ExpandBitmapKey());
}

void TdxBarItemControlOffice11Painter::DrawBeveledRect(ItemPaintView& Control, HDC DC, bool Sunken,
                                                       bool Beveled, RECT& R) const {
    BarPaintView& bar = Control.ParentView();
    HBRUSH fill = GetSysColorBrush(COLOR_BTNFACE);
    if (Beveled) {
        DrawSelectionFrame(DC, R);
        fill = Sunken ? GetFaceBrush(bar) : GetSelectedBrush(bar);
    } else if (Control.PaintEnabled()) {
        FrameRect(DC, &R, bar.BkBrush());
        fill = Brushes().LightBar;
    } else {
        FrameRectByColor(DC, R, Colors().DisabledTextColor);
    }
    R = Inflated(R, -1, -1);
    FillRect(DC, &R, fill);
}

HBRUSH TdxBarItemControlOffice11Painter::GetButtonBrush(ItemPaintView& Control, int,
                                                        const ItemState& State) const {
    BarPaintView& bar = Control.ParentView();
    if (State.Selected && (State.Down || State.Pressed)) return GetFaceBrush(bar);
    if (State.Selected) return GetSelectedBrush(bar);
    if (State.Down) return GetPatternBrush(bar);
    return bar.BkBrush();
}

bool TdxBarItemControlOffice11Painter::IsButtonHotTracked() const {
    return !IsOffice11XPScheme() && TdxBarItemControlFlatPainter::IsButtonHotTracked();
}

void TdxBarItemControlOffice11Painter::DrawBarNonClientBackground(BarPaintView& Bar, HDC DC) const {
    const RECT r = Bar.NonClientRect();
    if (!IsRectEmpty(r)) FillRect(DC, &r, Brushes().Menu);
}

RECT TdxBarItemControlOffice11Painter::GetNonClientBorders(BarPaintView& Bar) const {
    return GetDockedBorders(Bar.Bar(), Bar.PaintDockingStyle());
}

void TdxBarItemControlOffice11Painter::DrawSizeGripArea(BarPaintView& Bar, HDC DC, HBRUSH Brush,
                                                        const RECT& R) const {
    const TdxBarManager* manager = Bar.Manager();
    if (manager != nullptr && manager->ThemesAvailable())
        XPBarPainter().TdxBarItemControlPainter::DrawSizeGripArea(Bar, DC, Brush, R);
    else
        TdxBarItemControlFlatPainter::DrawSizeGripArea(Bar, DC, Brush, R);
}

void TdxBarItemControlOffice11Painter::FillBarBackground(BarPaintView& Bar, HDC DC, HBRUSH Brush,
                                                         const RECT& R) const {
    const TdxBarManager* manager = Bar.Manager();
    if (manager != nullptr && manager->ThemesAvailable())
        XPBarPainter().TdxBarItemControlPainter::FillBarBackground(Bar, DC, Brush, R);
    else
        TdxBarItemControlFlatPainter::FillBarBackground(Bar, DC, Brush, R);
}

RECT TdxBarItemControlOffice11Painter::CalcMarkRect(BarPaintView& Bar) const {
    RECT r = TdxBarItemControlFlatPainter::CalcMarkRect(Bar);
    if (!IsRoundedBar(Bar)) return r;
    if (Horizontal(Bar)) {
        r.top -= 1;
        r.right += 2;
        r.bottom += 1;
    } else {
        r.left -= 1;
        r.right += 1;
        r.bottom += 2;
    }
    return r;
}

void TdxBarItemControlOffice11Painter::InvalidateMark(BarPaintView& Bar) const {
    TdxBarItemControlFlatPainter::InvalidateMark(Bar);
    if (Bar.PaintDockingStyle() != dsNone && Bar.PaintWindow() != nullptr)
        SendMessage(Bar.PaintWindow(), WM_NCPAINT, 0, 0);
}

void TdxBarItemControlOffice11Painter::DrawFloatingBackground(BarPaintView& Bar, HDC DC, TColor Color,
                                                              HBRUSH Brush, const RECT& Origin,
                                                              const RECT& R) const {
    const TdxBarManager* manager = Bar.Manager();
    if (manager != nullptr && manager->ThemesAvailable())
        XPBarPainter().DrawFloatingBackground(Bar, DC, Color, Brush, Origin, R);
    else
        TdxBarItemControlFlatPainter::DrawFloatingBackground(Bar, DC, Color, Brush, Origin, R);
}

int TdxBarItemControlOffice11Painter::GetSizeGripSize(const TdxBar* Bar) const {
    const TdxBarManager* manager = Bar != nullptr ? Bar->BarManager() : nullptr;
    if (manager != nullptr && manager->ThemesAvailable()) return XPBarPainter().GetSizeGripSize(Bar);
    return TdxBarItemControlFlatPainter::GetSizeGripSize(Bar);
}

int TdxBarItemControlOffice11Painter::GetDockedTopExtra(const TdxBar* Bar) const {
    return TdxBarItemControlFlatPainter::GetDockedTopExtra(Bar);
}

void TdxBarItemControlOffice11Painter::CalcSubMenuMetrics(BarPaintView& SubMenu, int TextHeight,
                                                          int& LineHeight, int& CheckWidth, int& ArrowWidth,
                                                          int& GlyphWidth, int& MarkHeight) const {
    TdxBarItemControlFlatPainter::CalcSubMenuMetrics(SubMenu, TextHeight, LineHeight, CheckWidth, ArrowWidth,
                                                     GlyphWidth, MarkHeight);
    MarkHeight = Office11ExpandBitmapSize().cy + 2;
}

void TdxBarItemControlOffice11Painter::DrawTextButton(BarPaintView& Bar, HDC DC, RECT R, bool Pushed,
                                                      const std::string& Text) const {
    const TdxBarManager* manager = Bar.Manager();
    if (manager != nullptr && manager->ThemesAvailable())
        XPBarPainter().DrawTextButton(Bar, DC, R, Pushed, Text);
    else
        TdxBarItemControlFlatPainter::DrawTextButton(Bar, DC, R, Pushed, Text);
}

TColor TdxBarItemControlOffice11Painter::GetProgressBackColor() const {
    return Colors().DockColor1;
}

int TdxBarItemControlOffice11Painter::GetTrackBarExtra(ItemPaintView& Control) const {
    // A selected line is highlighted across the glyph band; another leaves the band showing.
    return Control.ParentView().IsSubMenu() && !Control.PaintSelected() ? GetSubMenuGlyphIndent(Control) : 0;
}

HBRUSH TdxBarItemControlOffice11Painter::GetProgressFrameBrush() const {
    return Brushes().Frame;
}

HBRUSH TdxBarItemControlOffice11Painter::GetBevelBrush(ItemPaintView&, int) const {
    return Brushes().Frame;
}

void TdxBarItemControlOffice11Painter::FillDroppedDownJoint(BarPaintView& Bar, HDC DC, const RECT& Joint,
                                                            const RECT& R) const {
    if (IsRectEmpty(Joint)) return;
    // Which end of the element's gradient the joint lies at.
    const bool tall = Joint.bottom - Joint.top > Joint.right - Joint.left;
    const bool first = tall ? (Joint.left + Joint.right) / 2 < (R.left + R.right) / 2
                            : (Joint.top + Joint.bottom) / 2 < (R.top + R.bottom) / 2;
    (void)Bar;
    FillRectByColor(DC, Joint, first ? Colors().BarColor1 : Colors().BarColor2);
}

} // namespace bars

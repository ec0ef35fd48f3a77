// The standard style's painter.
#include "bars/painters/standard_painter.h"

#include "bars/core/bar_drawing.h"
#include "bars/core/bar_manager.h"
#include "bars/core/toolbar.h"
#include "bars/painters/flat_painter.h"
#include "bars/painters/paint_steps.h"
#include "lookandfeel/colors.h"
#include "platform/commctrl/std_controls.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/edges.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/regions.h"
#include "platform/gdi/scoped.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/syscolors.h"
#include "platform/graphics/graphics_types.h"
#include "platform/gui/message_loop.h"
#include "platform/rtl/wintypes.h"

namespace bars {

using pw::gdi::OwnedObject;
using pw::gdi::SelectedObject;

namespace {

void Raised(HDC dc, const RECT& r) {
    DrawRectEdge(dc, r, BDR_RAISEDINNER);
}

void Sunken(HDC dc, const RECT& r) {
    DrawRectEdge(dc, r, BDR_SUNKENOUTER);
}

void Pixel(HDC dc, int x, int y, int color) {
    Fill(dc, x, y, x + 1, y + 1, GetSysColorBrush(color));
}

bool CanDrag(BarPaintView& bar) {
    TdxBar* toolbar = bar.Bar();
    return toolbar != nullptr && toolbar->CanMove();
}

int CachedBeforeGrip(BarPaintView& bar, int own) {
    TdxBarManager* manager = bar.Manager();
    return manager != nullptr ? manager->BeforeGripSize() : own;
}

// One raised grip line, left out of the clip region so the bar's face never paints over it.
void GripLine(HDC dc, const RECT& r) {
    Raised(dc, r);
    const RECT inner = Inflated(r, -1, -1);
    FillRect(dc, &inner, GetSysColorBrush(COLOR_BTNFACE));
    ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
}

} // namespace

const TdxBarItemControlStandardPainter& StandardBarPainter() {
    static const TdxBarItemControlStandardPainter* painter = new TdxBarItemControlStandardPainter;
    return *painter;
}

const TdxBarItemControlEnhancedPainter& EnhancedBarPainter() {
    static const TdxBarItemControlEnhancedPainter* painter = new TdxBarItemControlEnhancedPainter;
    return *painter;
}

void TdxBarItemControlStandardPainter::DrawGlyphFrame(ItemPaintView& Control, HDC DC, const ItemState& State,
                                                      RECT GlyphRect, bool Fits, HBRUSH Brush) const {
    if (State.Down) {
        Sunken(DC, GlyphRect);
        return;
    }
    if (State.Selected) {
        // A check item's mark stands on its own, without a frame.
        if (Control.IsCheckItem() && !Control.HasPicture()) return;
        if (State.Pressed)
            Sunken(DC, GlyphRect);
        else
            Raised(DC, GlyphRect);
        return;
    }
    if (Fits) FrameBackground(Control, DC, State.Pressed || Control.IsRarelyUsed(), Brush, GlyphRect);
}

void TdxBarItemControlStandardPainter::DrawCheckMark(ItemPaintView& Control, HDC DC, int X, int Y,
                                                     int Scale) const {
    const int f = Scale;
    int k = 0;
    auto rows = [&](COLORREF color, int count) {
        const OwnedObject<HPEN> pen(CreatePen(PS_SOLID, 1, color));
        const SelectedObject selected(DC, pen.Get());
        for (int i = 0; i < count; ++i, ++k) {
            const POINT p[3] = {{X + f, Y + 2 * f + k}, {X + 3 * f, Y + 4 * f + k}, {X + 8 * f, Y - f + k}};
            Polyline(DC, p, 3);
        }
    };
    if (!Control.PaintEnabled()) {
        k = 1;
        rows(GetSysColor(COLOR_BTNSHADOW), 2 * f);
        const OwnedObject<HPEN> pen(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT)));
        const SelectedObject selected(DC, pen.Get());
        for (int r = 0; r < f; ++r) {
            Segment(DC, X + 4 * f - (f - 1), Y + 6 * f + (f - 1) - r, X + 9 * f, Y + f - r);
            Segment(DC, X + 4 * f, Y + 7 * f - r, X + 9 * f, Y + 2 * f - r);
        }
        return;
    }
    // On a black face the dark and light rows change places so the mark stays visible.
    const bool inverted = IsHighContrastBlack();
    const COLORREF dark = inverted ? 0xFFFFFF : 0x000000, light = inverted ? 0x000000 : 0xFFFFFF;
    rows(0xC0C0C0, f);
    rows(dark, 2 * f);
    rows(light, f);
    // The dark core closes at both ends.
    const OwnedObject<HPEN> pen(CreatePen(PS_SOLID, 1, dark));
    const SelectedObject selected(DC, pen.Get());
    Segment(DC, X + f - 1, Y + 3 * f - (f - 1), X + f - 1, Y + 5 * f + (f - 1));
    Segment(DC, X + 8 * f, Y - f + 2, X + 8 * f, Y + 3 * f);
}

void TdxBarItemControlStandardPainter::DrawSeparatorLine(HDC DC, const RECT& R) const {
    RECT moved = R;
    OffsetRect(moved, 1, 1);
    FillRect(DC, &moved, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
    FillRect(DC, &R, GetSysColorBrush(COLOR_BTNSHADOW));
}

void TdxBarItemControlStandardPainter::DrawButtonBackground(ItemPaintView& Control, HDC DC,
                                                            const ItemState& State, const RECT& R) const {
    BarPaintView& bar = Control.ParentView();
    const RECT cell{R.left, R.top, R.left + (R.bottom - R.top), R.bottom};
    ItemState glyph = State;
    glyph.InMenu = true;
    DrawGlyph(Control, DC, cell, glyph, nullptr);
    const bool useBrush = State.Selected || Control.IsRarelyUsed();
    const HBRUSH selected = GetSelectedBrush(bar), background = bar.BkBrush();
    const bool checkMark = !Control.HasPicture();
    DrawBackground(Control, DC, useBrush, State.Selected && !State.Down && checkMark ? selected : background,
                   RECT{cell.right, R.top, cell.right + 1, R.bottom});
    const RECT caption{cell.right + 1, R.top, R.right, R.bottom};
    DrawBackground(Control, DC, useBrush, State.Selected ? selected : background, caption);
    DrawItemText(Control, DC, Control.PaintCaption(), RECT{caption.left + 2, R.top, R.right, R.bottom}, 0,
                 State.Enabled, State.Selected, false, false);
}

void TdxBarItemControlStandardPainter::DrawItemText(ItemPaintView& Control, HDC DC, const std::string& Text,
                                                    const RECT& R, int Alignment, bool Enabled, bool Selected,
                                                    bool Clipped, bool Flat) const {
    TdxBarItemControlPainter::DrawItemText(Control, DC, Text, R, Alignment, Enabled,
                                           Selected && Control.ParentView().IsSubMenu(), Clipped, Flat);
}

void TdxBarItemControlStandardPainter::DrawLoweredFrame(ItemPaintView&, HDC DC, RECT& R) const {
    Sunken(DC, R);
    R = Inflated(R, -1, -1);
}

void TdxBarItemControlStandardPainter::DrawBeveledRect(ItemPaintView& Control, HDC DC, bool IsSunken,
                                                       bool Beveled, RECT& R) const {
    const HBRUSH brush = Control.ParentView().BkBrush();
    if (Beveled)
        DrawRectEdge(DC, R, IsSunken ? BDR_SUNKENOUTER : BDR_RAISEDINNER);
    else
        FrameRect(DC, &R, brush);
    R = Inflated(R, -1, -1);
    FillRect(DC, &R, brush);
}

HBRUSH TdxBarItemControlStandardPainter::GetButtonBrush(ItemPaintView& Control, int Kind,
                                                        const ItemState& State) const {
    BarPaintView& bar = Control.ParentView();
    if (State.Down && State.Enabled) return State.Selected ? GetFaceBrush(bar) : GetPatternBrush(bar);
    if (Kind == 1 && State.Selected && !State.Down) return GetSelectedBrush(bar);
    return bar.BkBrush();
}

void TdxBarItemControlStandardPainter::DrawDropDownButton(ItemPaintView& Control, HDC DC,
                                                          const ItemState& State, bool InMenu, HBRUSH Brush,
                                                          RECT R) const {
    BarPaintView& bar = Control.ParentView();
    DrawBackground(Control, DC, Control.IsRarelyUsed(), Brush, R);
    if (State.Selected)
        DrawRectEdge(DC, R, State.Pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER);
    else if (InMenu)
        DrawEdge(DC, &R, EDGE_ETCHED, BF_LEFT | BF_RIGHT);
    if (InMenu) {
        if (State.Pressed) OffsetRect(R, 1, 1);
        DrawButtonArrowSized(DC, R, false, State.Enabled, false, bar.ArrowSize(), false);
        return;
    }
    if (State.Pressed && R.right - R.left > 9) OffsetRect(R, 1, 1);
    DrawButtonArrow(DC, R, State.Enabled, false, false, true);
}

void TdxBarItemControlStandardPainter::OffsetPressedContent(const ItemState& State, RECT& R) const {
    if (State.Pressed) OffsetRect(R, 1, 1);
    if (State.Down) OffsetRect(R, 1, 1);
}

void TdxBarItemControlStandardPainter::OffsetDownRect(bool Down, RECT& R) const {
    if (Down) OffsetRect(R, 1, 1);
}

void TdxBarItemControlStandardPainter::DrawDropDownListBorder(HDC DC, const RECT& R) const {
    DrawRectEdge(DC, R, EDGE_RAISED);
}

void TdxBarItemControlStandardPainter::SetEditMargins(ItemPaintView&, HWND Wnd) const {
    SendMessage(Wnd, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(2, 2));
}

void TdxBarItemControlStandardPainter::DrawMarkArrow(BarPaintView& Bar, HDC DC, int P, const RECT&) const {
    const OwnedObject<HPEN> light(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT)));
    const OwnedObject<HPEN> dark(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW)));
    if (Horizontal(Bar)) {
        {
            const SelectedObject selected(DC, light.Get());
            Segment(DC, P - 1, 1, P + 2, 4);
            Segment(DC, P + 3, 4, P - 1, 8);
        }
        const SelectedObject selected(DC, dark.Get());
        const POINT p[4] = {{P, 1}, {P + 2, 3}, {P + 2, 4}, {P - 1, 7}};
        Polyline(DC, p, 4);
        return;
    }
    const int x0 = Bar.ClientWidth() - 8;
    {
        const SelectedObject selected(DC, dark.Get());
        Segment(DC, x0, P, x0 + 4, P + 4);
        Segment(DC, x0 + 4, P + 1, x0 + 6, P - 1);
    }
    const SelectedObject selected(DC, light.Get());
    const POINT p[4] = {{x0 + 1, P}, {x0 + 3, P + 2}, {x0 + 4, P + 2}, {x0 + 7, P - 1}};
    Polyline(DC, p, 4);
}

void TdxBarItemControlStandardPainter::DrawMarkBackground(BarPaintView& Bar, HDC DC, HBRUSH Brush,
                                                          const RECT& R) const {
    Bar.PaintBackground(DC, R, Brush);
}

RECT TdxBarItemControlStandardPainter::GetMarkRect(BarPaintView& Bar) const {
    const int w = Bar.ClientWidth(), h = Bar.ClientHeight();
    switch (Bar.PaintDockingStyle()) {
    case dsTop:
    case dsBottom:
        return RECT{w - 11, 0, w, 9};
    case dsLeft:
    case dsRight:
        return RECT{w - 9, h - 11, w, h};
    default:
        return Bar.CaptionMarkRect();
    }
}

void TdxBarItemControlStandardPainter::DrawCloseButton(BarPaintView& Bar, HDC DC, const RECT& Rect) const {
    const OwnedObject<HBRUSH> caption(CreateSolidBrush(ColorToRGB(GetCaptionColor(Bar, false))));
    FrameRect(DC, &Rect, caption.Get());
    RECT r = Inflated(Rect, -1, -1);
    DrawFrameControl(DC, &r, DFC_CAPTION,
                     DFCS_CAPTIONCLOSE | (Bar.CloseButtonState() == 2 ? DFCS_PUSHED : 0));
}

void TdxBarItemControlStandardPainter::DrawDockedBorder(BarPaintView& Bar, HDC DC, HBRUSH, RECT R) const {
    Raised(DC, R);
    R = Inflated(R, -2, -2);
    if (!CanDrag(Bar)) return;
    const int w = GetGripLineWidth();
    const bool horizontal = Horizontal(Bar);
    if (horizontal)
        R.left += CachedBeforeGrip(Bar, GetBeforeGripSize());
    else
        R.top += CachedBeforeGrip(Bar, GetBeforeGripSize());
    for (int i = 0; i < 2; ++i) {
        const RECT line = horizontal ? RECT{R.left + i * w, R.top, R.left + (i + 1) * w, R.bottom}
                                     : RECT{R.left, R.top + i * w, R.right, R.top + (i + 1) * w};
        Raised(DC, line);
        if (horizontal)
            Pixel(DC, line.left, line.bottom - 1, COLOR_BTNHIGHLIGHT);
        else
            Pixel(DC, line.right - 1, line.top, COLOR_BTNHIGHLIGHT);
        const RECT inner = Inflated(line, -1, -1);
        FillRect(DC, &inner, GetSysColorBrush(COLOR_BTNFACE));
        ExcludeClipRect(DC, line.left, line.top, line.right, line.bottom);
    }
}

void TdxBarItemControlStandardPainter::DrawFloatingBorder(BarPaintView&, HDC DC, HBRUSH, bool, const RECT&,
                                                          RECT R) const {
    DrawRectEdge(DC, R, EDGE_RAISED);
    const HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
    R = Inflated(R, -2, -2);
    FrameRect(DC, &R, face);
    R = Inflated(R, -1, -1);
    FrameRect(DC, &R, face);
}

void TdxBarItemControlStandardPainter::DrawMDIButton(BarPaintView& Bar, int Kind, bool Disabled,
                                                     const RECT& R, HDC DC, bool Hot, bool Pressed) const {
    static constexpr UINT kinds[3] = {DFCS_CAPTIONMIN, DFCS_CAPTIONRESTORE, DFCS_CAPTIONCLOSE};
    UINT state = kinds[Kind < 0 || Kind > 2 ? 2 : Kind];
    if (Disabled)
        state |= DFCS_INACTIVE;
    else if (Hot && Pressed)
        state |= DFCS_PUSHED;
    TdxBarManager* manager = Bar.Manager();
    RECT r = R;
    if (Kind != 2 || manager == nullptr || !manager->FlatCloseButton()) {
        DrawFrameControl(DC, &r, DFC_CAPTION, state);
        return;
    }
    // The flat close button: the glyph inside, its own thin edge around it.
    HRGN saved = nullptr;
    bool hadRegion = false;
    SaveClipRegion(DC, saved, hadRegion);
    const RECT inner = Inflated(R, -1, -1);
    IntersectClipRect(DC, inner.left, inner.top, inner.right, inner.bottom);
    DrawFrameControl(DC, &r, DFC_CAPTION, (state & ~DFCS_PUSHED) | DFCS_FLAT);
    RestoreClipRegion(DC, saved, hadRegion);
    DrawRectEdge(DC, R, Hot && Pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER);
}

void TdxBarItemControlStandardPainter::DrawSubMenuSideStrip(BarPaintView& SubMenu, ItemPaintView& Control,
                                                            int Offset, int Index, const SideStripLine& Line,
                                                            const RECT& R, HDC DC) const {
    if (Line.BeginGroup)
        Fill(DC, R.left - Offset, R.top - 1, R.right + 1, R.top,
             GetSysColorBrush(Line.RarelyUsed ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT));
    if (!Line.RarelyUsed) return;
    (void)Control;
    const HBRUSH brush = SubMenu.BkBrush();
    if (Index == 0 && !SubMenu.HasDetachBar()) {
        Fill(DC, R.left - Offset, R.top - 1, R.right + 2, R.top, brush);
        Pixel(DC, R.right + 1, R.top - 2, COLOR_BTNHIGHLIGHT);
    }
    Fill(DC, R.left - Offset, R.top, R.left, R.bottom, brush);
    Fill(DC, R.right, R.top, R.right + 2, R.bottom, brush);
    if (!Line.Last) return;
    Fill(DC, R.left - Offset, R.bottom, R.right + 2, SubMenu.ClientHeight(), brush);
    if (Offset != 0) Pixel(DC, R.left - 2, SubMenu.ClientHeight() - 1, COLOR_BTNHIGHLIGHT);
}

// The enhanced style.

void TdxBarItemControlEnhancedPainter::DrawMarkArrow(BarPaintView& Bar, HDC DC, int P, const RECT& R) const {
    DrawEnhancedMarkArrow(Bar, DC, P, IsMarkSmall(Bar, R));
}

void TdxBarItemControlEnhancedPainter::DrawMarkBackground(BarPaintView& Bar, HDC DC, HBRUSH Brush,
                                                          const RECT& R) const {
    switch (Bar.MarkState()) {
    case 1:
        Raised(DC, R);
        break;
    case 2:
        Sunken(DC, R);
        break;
    default:
        FrameRect(DC, &R, Brush);
    }
    Bar.PaintBackground(DC, Inflated(R, -1, -1), Brush);
}

void TdxBarItemControlEnhancedPainter::DrawMarkArrows(BarPaintView& Bar, HDC DC, const RECT& R) const {
    DrawEnhancedMarkArrows(*this, Bar, DC, R, GetMarkArrowColorIndex(Bar));
}

void TdxBarItemControlEnhancedPainter::DrawDockedBorder(BarPaintView& Bar, HDC DC, HBRUSH, RECT R) const {
    Raised(DC, R);
    R = Inflated(R, -2, -2);
    if (!CanDrag(Bar)) return;
    const int before = CachedBeforeGrip(Bar, GetBeforeGripSize()), w = GetGripLineWidth();
    const RECT line = Horizontal(Bar) ? RECT{R.left + before, R.top + 1, R.left + before + w, R.bottom - 1}
                                      : RECT{R.left + 1, R.top + before, R.right - 1, R.top + before + w};
    GripLine(DC, line);
}

// The same strip at the bar's end as the flat style's.
RECT TdxBarItemControlEnhancedPainter::GetMarkRect(BarPaintView& Bar) const {
    return FlatBarPainter().GetMarkRect(Bar);
}

} // namespace bars

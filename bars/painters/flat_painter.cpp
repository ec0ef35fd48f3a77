// The flat style's painter.
#include "bars/painters/flat_painter.h"
#include "bars/painters/paint_steps.h"

#include <algorithm>
#include <utility>

#include "bars/core/bar_drawing.h"
#include "bars/core/bar_manager.h"
#include "bars/core/toolbar.h"
#include "bars/painters/window_frame.h"
#include "lookandfeel/colors.h"
#include "platform/commctrl/std_controls.h"
#include "platform/gdi/blit.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/edges.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/regions.h"
#include "platform/gdi/scoped.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/syscolors.h"
#include "platform/rtl/wintypes.h"

namespace bars {

using pw::gdi::OwnedObject;
using pw::gdi::SelectedObject;

namespace {

// One of the manager's five flat brushes: 0 border, 1 face, 2 checked, 3 down, 4 hot.
HBRUSH FlatBrush(const TdxBarManager* manager, int index, int fallback) {
    HBRUSH brush = manager != nullptr ? manager->FlatBrush(index) : nullptr;
    return brush != nullptr ? brush : GetSysColorBrush(fallback);
}

bool IsStatusBarLike(const TdxBar* bar) {
    return bar != nullptr && bar->BorderStyle() == bbsNone && bar->DockingStyle() == dsBottom &&
           bar->WholeRow();
}

} // namespace

const TdxBarItemControlFlatPainter& FlatBarPainter() {
    static const TdxBarItemControlFlatPainter* painter = new TdxBarItemControlFlatPainter;
    return *painter;
}

int TdxBarItemControlFlatPainter::CalcButtonArrowWidth(const TdxBarManager* Manager) const {
    return TdxBarItemControlPainter::CalcButtonArrowWidth(Manager) - 1;
}

int TdxBarItemControlFlatPainter::GetCaptionIndent(ItemPaintView& Control) const {
    TdxBar* bar = Control.ParentView().Bar();
    if (bar != nullptr && bar->IsMainMenu()) return 8;
    return TdxBarItemControlPainter::GetCaptionIndent(Control);
}

int TdxBarItemControlFlatPainter::CalcMenuArrowSize(int Height) const {
    int h = (Height - 4) / 2;
    if (h >= 5 && h % 2 != 0) --h;
    return h;
}

int TdxBarItemControlFlatPainter::GetMarkArrowColorIndex(BarPaintView& Bar) const {
    if (IsHighContrastWhite() && Bar.MarkState() == 1) return COLOR_BTNFACE;
    return COLOR_BTNTEXT;
}

TColor TdxBarItemControlFlatPainter::GetCaptionMarkGlyphColor(BarPaintView&, int State) const {
    return State != 0 ? clBtnText : clCaptionText;
}

HBRUSH TdxBarItemControlFlatPainter::GetBarBrush(BarPaintView& Bar) const {
    return FlatBrush(Bar.Manager(), 1, COLOR_BTNFACE);
}

HBRUSH TdxBarItemControlFlatPainter::GetToolbarBrush(BarPaintView& Bar) const {
    TdxBar* bar = Bar.Bar();
    if (bar != nullptr && (bar->IsMainMenu() || IsStatusBarLike(bar))) return GetSysColorBrush(COLOR_BTNFACE);
    return GetBarBrush(Bar);
}

HBRUSH TdxBarItemControlFlatPainter::GetPatternBrush(BarPaintView& Bar) const {
    return FlatBrush(Bar.Manager(), 2, COLOR_BTNFACE);
}

HBRUSH TdxBarItemControlFlatPainter::GetFaceBrush(BarPaintView& Bar) const {
    return FlatBrush(Bar.Manager(), 3, COLOR_BTNFACE);
}

HBRUSH TdxBarItemControlFlatPainter::GetSelectedBrush(BarPaintView& Bar) const {
    return FlatBrush(Bar.Manager(), 4, COLOR_HIGHLIGHT);
}

HBRUSH TdxBarItemControlFlatPainter::GetButtonBrush(ItemPaintView& Control, int Kind,
                                                    const ItemState& State) const {
    BarPaintView& bar = Control.ParentView();
    if (State.Selected && (State.Down || State.Pressed)) {
        // A button whose menu is open takes the face of that menu.
        if (State.Down && State.DroppedDown) return GetManagerBrush(bar.Manager());
        return GetFaceBrush(bar);
    }
    if (State.Selected) return GetSelectedBrush(bar);
    if (State.Down) return GetPatternBrush(bar);
    // A menu line's glyph column.
    if (Kind == 1) return FlatBrush(bar.Manager(), 1, COLOR_BTNFACE);
    return bar.BkBrush();
}

HBRUSH TdxBarItemControlFlatPainter::GetQuickControlBrush(BarPaintView&) const {
    return GetSysColorBrush(COLOR_WINDOW);
}

void TdxBarItemControlFlatPainter::CalcQuickCheckRect(ItemPaintView& Control, HDC DC, bool MeasureOnly,
                                                      int& Size, RECT& R) const {
    if (!MeasureOnly) {
        const RECT square{R.left, R.top, R.left + (R.bottom - R.top), R.bottom};
        FrameBackground(Control, DC, false, FlatBrush(Control.ParentView().Manager(), 1, COLOR_BTNFACE),
                        square);
    }
    R = Inflated(R, -1, -1);
    R.right = R.left + (R.bottom - R.top);
    Size = R.right + 1;
}

void TdxBarItemControlFlatPainter::CalcQuickItemRects(ItemPaintView& Control, HDC DC, bool Hot,
                                                      const RECT& CheckRect, const RECT& ItemRect) const {
    if (!Hot) return;
    DrawSelectionFrame(DC, ItemRect);
    const RECT strip{CheckRect.right, CheckRect.top, CheckRect.right + 2, CheckRect.bottom};
    FillRect(DC, &strip, GetSelectedBrush(Control.ParentView()));
}

void TdxBarItemControlFlatPainter::DrawSelectionFrame(HDC DC, const RECT& R) const {
    if (!IsHighContrastBlack()) {
        FrameHighlight(DC, R);
        return;
    }
    const OwnedObject<HBRUSH> brush(CreateSolidBrush(ColorToRGB(clHighlightText)));
    FrameRect(DC, &R, brush.Get());
}

void TdxBarItemControlFlatPainter::DrawCheckMark(ItemPaintView& Control, HDC DC, int X, int Y,
                                                 int Scale) const {
    COLORREF color = 0x000000;
    if (!Control.PaintEnabled())
        color = GetSysColor(COLOR_BTNSHADOW);
    else if (IsHighContrastWhite() || (IsHighContrastBlack() && GetSysColor(COLOR_BTNTEXT) != 0xFFFFFF))
        color = 0xFFFFFF;
    const OwnedObject<HPEN> pen(CreatePen(PS_SOLID, 1, color));
    const SelectedObject selected(DC, pen.Get());
    const int s = Scale;
    for (int i = 0; i < 2 * s; ++i) {
        const POINT p[3] = {{X + s, Y + 2 * s + i}, {X + 3 * s, Y + 4 * s + i}, {X + 8 * s, Y - s + i}};
        Polyline(DC, p, 3);
    }
}

void TdxBarItemControlFlatPainter::DrawGlyphFrame(ItemPaintView& Control, HDC DC, const ItemState& State,
                                                  RECT GlyphRect, bool, HBRUSH Brush) const {
    // In a menu the line's own frame shows the selection; the glyph cell is framed only when checked.
    if (State.Down || (!State.InMenu && (State.Pressed || State.Selected))) {
        if (State.Down && State.DroppedDown && !State.InMenu)
            DrawDroppedDownFrame(Control.ParentView(), DC, GlyphRect, Control.DroppedDownJoint());
        else
            DrawSelectionFrame(DC, GlyphRect);
        return;
    }
    FrameBackground(Control, DC, State.InMenu || State.Selected || Control.IsRarelyUsed(), Brush, GlyphRect);
}

void TdxBarItemControlFlatPainter::DrawSeparator(BarPaintView& Bar, HDC DC, bool Horizontal, HBRUSH Brush,
                                                 RECT R) const {
    const int s = GetSeparatorLineOffset();
    const HBRUSH shadow = GetSysColorBrush(COLOR_BTNSHADOW);
    if (!Horizontal) {
        Bar.PaintBackground(DC, RECT{R.left, R.top, R.right, R.top + s}, Brush);
        Bar.PaintBackground(DC, RECT{R.left, R.bottom - s, R.right, R.bottom}, Brush);
        R.top += s;
        R.bottom -= s;
        Bar.PaintBackground(DC, RECT{R.left, R.top + 1, R.right, R.bottom}, Brush);
        Fill(DC, R.left, R.top, R.right, R.top + 1, shadow);
    } else {
        Bar.PaintBackground(DC, RECT{R.left, R.top, R.left + s, R.bottom}, Brush);
        Bar.PaintBackground(DC, RECT{R.right - s, R.top, R.right, R.bottom}, Brush);
        R.left += s;
        R.right -= s;
        Bar.PaintBackground(DC, RECT{R.left + 1, R.top, R.right, R.bottom}, Brush);
        Fill(DC, R.left, R.top, R.left + 1, R.bottom, shadow);
    }
}

void TdxBarItemControlFlatPainter::DrawDockedBorder(BarPaintView& Bar, HDC DC, HBRUSH Brush, RECT R) const {
    const HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
    FrameRect(DC, &R, face);
    R = Inflated(R, -1, -1);
    Fill(DC, R.left, R.top, R.left + 1, R.top + 1, face);
    Fill(DC, R.right - 1, R.top, R.right, R.top + 1, face);
    Fill(DC, R.left, R.bottom - 1, R.left + 1, R.bottom, face);
    Fill(DC, R.right - 1, R.bottom - 1, R.right, R.bottom, face);
    R = Inflated(R, -1, -1);
    TdxBar* bar = Bar.Bar();
    if (bar == nullptr || !bar->CanMove()) return;
    TdxBarManager* manager = Bar.Manager();
    const int before = manager != nullptr ? manager->BeforeGripSize() : GetBeforeGripSize();
    const HBRUSH shadow = GetSysColorBrush(COLOR_BTNSHADOW);
    const TdxBarDockingStyle style = Bar.PaintDockingStyle();
    if (style == dsTop || style == dsBottom) {
        R.left += before;
        R.right = R.left + GetGripLineWidth();
        R = Inflated(R, 0, -3);
        for (int y = R.top; y < R.bottom; ++y)
            Fill(DC, R.left, y, R.right, y + 1, (y - R.top) % 2 == 0 ? shadow : Brush);
    } else {
        R.top += before;
        R.bottom = R.top + GetGripLineWidth();
        R = Inflated(R, -3, 0);
        for (int x = R.left; x < R.right; ++x)
            Fill(DC, x, R.top, x + 1, R.bottom, (x - R.left) % 2 == 0 ? shadow : Brush);
    }
}

void TdxBarItemControlFlatPainter::DrawFloatingBorder(BarPaintView& Bar, HDC DC, HBRUSH Brush, bool,
                                                      const RECT& Inner, RECT R) const {
    FrameRect(DC, &R, FlatBrush(Bar.Manager(), 0, COLOR_BTNSHADOW));
    R = Inflated(R, -1, -1);
    FrameRect(DC, &R, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
    // Rings of the bar's face fill the space up to the client area on every side.
    while (R.left + 1 < Inner.left && R.right - R.left > 2 && R.bottom - R.top > 2) {
        R = Inflated(R, -1, -1);
        FrameRect(DC, &R, Brush);
    }
}

void TdxBarItemControlFlatPainter::DrawCloseButton(BarPaintView& Bar, HDC DC, const RECT& Rect) const {
    const int state = Bar.CloseButtonState();
    DrawCaptionButtonBackground(Bar, DC, state, Rect);
    RECT R = Inflated(Rect, -3, -4);
    if ((R.right - R.left) % 2 != 0) --R.right;
    R.bottom = R.top + (R.right - R.left) - 1;
    const OwnedObject<HPEN> pen(CreatePen(PS_SOLID, 1, ColorToRGB(GetCaptionMarkGlyphColor(Bar, state))));
    const SelectedObject selected(DC, pen.Get());
    Segment(DC, R.left, R.top, R.right - 1, R.bottom);
    Segment(DC, R.left + 1, R.top, R.right, R.bottom);
    Segment(DC, R.left, R.bottom - 1, R.right - 1, R.top - 1);
    Segment(DC, R.left + 1, R.bottom - 1, R.right, R.top - 1);
}

void TdxBarItemControlFlatPainter::DrawMDIButton(BarPaintView& Bar, int Kind, bool Disabled, const RECT& R,
                                                 HDC DC, bool Hot, bool Pressed) const {
    // The caption glyph alone: drawn flat on a bitmap one pixel inside R, its own edge left outside the
    // bitmap, then laid over the state's background with the face colour left out.
    const int width = R.right - R.left - 2, height = R.bottom - R.top - 2;
    if (width <= 0 || height <= 0) return;
    static constexpr UINT kinds[3] = {DFCS_CAPTIONMIN, DFCS_CAPTIONRESTORE, DFCS_CAPTIONCLOSE};
    const pw::gdi::MemoryDC glyph(DC, width, height);
    RECT frame{-1, -1, width + 1, height + 1};
    DrawFrameControl(glyph.Get(), &frame, DFC_CAPTION,
                     kinds[Kind < 0 || Kind > 2 ? 2 : Kind] | DFCS_FLAT | (Disabled ? DFCS_INACTIVE : 0));
    if (!Hot && !Pressed)
        Bar.PaintBackground(DC, R, Bar.BkBrush());
    else
        FillRect(DC, &R,
                 Hot && Pressed ? GetFaceBrush(Bar)
                 : Pressed      ? GetPatternBrush(Bar)
                                : GetSelectedBrush(Bar));
    TransparentBlt(DC, R.left + 1, R.top + 1, width, height, glyph.Get(), 0, 0, width, height,
                   GetSysColor(COLOR_BTNFACE));
    if (Hot || Pressed) DrawSelectionFrame(DC, Inflated(R, 1, 1));
}

void TdxBarItemControlFlatPainter::DrawCaptionMark(BarPaintView& Bar, HDC DC, const RECT& R) const {
    TdxBar* bar = Bar.Bar();
    if (bar != nullptr && bar->CanClose()) {
        const OwnedObject<HBRUSH> brush(CreateSolidBrush(ColorToRGB(GetCaptionColor(Bar, false))));
        Fill(DC, R.left, R.top, R.left + 1, R.bottom, brush.Get());
    }
    if (Bar.MarkState() == 2)
        DrawDroppedDownFace(Bar, DC, R, Bar.MarkDroppedDownJoint());
    else
        DrawCaptionButtonBackground(Bar, DC, Bar.MarkState(), R);
    DrawCaptionMarkGlyph(Bar, DC, R);
}

RECT TdxBarItemControlFlatPainter::GetCaptionMarkRect(const RECT& Caption, bool CanClose) const {
    const int h = Caption.bottom - Caption.top;
    int right = Caption.right;
    if (CanClose) right -= h + 1;
    return RECT{std::max(static_cast<int>(Caption.left), right - h), Caption.top, right, Caption.bottom};
}

RECT TdxBarItemControlFlatPainter::GetMarkRect(BarPaintView& Bar) const {
    const int w = Bar.ClientWidth(), h = Bar.ClientHeight();
    switch (Bar.PaintDockingStyle()) {
    case dsTop:
    case dsBottom:
        return RECT{w - 11, 0, w, h};
    case dsLeft:
    case dsRight:
        return RECT{0, h - 11, w, h};
    default:
        return Bar.CaptionMarkRect();
    }
}

void TdxBarItemControlFlatPainter::DrawMarkBackground(BarPaintView& Bar, HDC DC, HBRUSH Brush,
                                                      const RECT& R) const {
    const int state = Bar.MarkState();
    if (state == 2) {
        DrawDroppedDownFace(Bar, DC, R, Bar.MarkDroppedDownJoint());
        return;
    }
    if (state == 0)
        FrameRect(DC, &R, Brush);
    else
        DrawSelectionFrame(DC, R);
    const RECT inner = Inflated(R, -1, -1);
    if (state == 1)
        FillRect(DC, &inner, GetSelectedBrush(Bar));
    else
        Bar.PaintBackground(DC, inner, Brush);
}

void TdxBarItemControlFlatPainter::DrawMarkArrows(BarPaintView& Bar, HDC DC, const RECT& R) const {
    DrawEnhancedMarkArrows(*this, Bar, DC, R, GetMarkArrowColorIndex(Bar));
}

void TdxBarItemControlFlatPainter::DrawDropDownButton(ItemPaintView& Control, HDC DC, const ItemState& State,
                                                      bool InMenu, HBRUSH Brush, RECT R) const {
    BarPaintView& bar = Control.ParentView();
    if (!InMenu) --R.left;
    if (!(State.Pressed && State.DroppedDown && !InMenu)) {
        if (State.Selected)
            DrawSelectionFrame(DC, R);
        else
            FrameRect(DC, &R, InMenu ? GetSysColorBrush(COLOR_BTNSHADOW) : bar.BkBrush());
        const RECT inner = Inflated(R, -1, -1);
        DrawBackground(Control, DC, true, Brush, inner);
    }
    const bool white = IsHighContrastWhite() && State.Selected;
    if (InMenu)
        DrawButtonArrowSized(DC, R, true, State.Enabled, white, bar.ArrowSize(), false);
    else
        DrawButtonArrow(DC, R, State.Enabled, white, true, true);
}

void TdxBarItemControlFlatPainter::DrawLoweredFrame(ItemPaintView&, HDC DC, RECT& R) const {
    FrameRect(DC, &R, GetSysColorBrush(COLOR_BTNSHADOW));
    R = Inflated(R, -1, -1);
}

void TdxBarItemControlFlatPainter::DrawWindowFrame(HWND Wnd, bool Sizeable, int Corner, RECT& GripRect,
                                                   RECT& CloseButtonRect, bool CloseButtonHot,
                                                   bool CloseButtonPressed) const {
    DrawSizeableWindowFrame(Wnd, Sizeable, true, Corner, GripRect, CloseButtonRect, CloseButtonHot,
                            CloseButtonPressed);
}

void TdxBarItemControlFlatPainter::DrawSubItem(ItemPaintView& Control, HDC DC, const RECT& R,
                                               const ItemState& State, bool ShowCaption,
                                               bool OnMainMenu) const {
    BarPaintView& bar = Control.ParentView();
    if (State.InMenu) {
        // A menu line with the arrow of its menu at the right.
        DrawButtonBackground(Control, DC, State, R);
        RECT arrow = R;
        arrow.left = R.right - bar.MenuLineHeight();
        DrawButtonArrowSized(DC, arrow, true, State.Enabled, IsHighContrastWhite() && State.Selected,
                             std::max(CalcMenuArrowSize(bar.MenuLineHeight()) / 2, 3), false);
        return;
    }
    TdxBarManager* manager = bar.Manager();
    ItemState state = State;
    RECT glyphArea = R;
    if (Control.HasPicture() && manager != nullptr) glyphArea.right = R.left + manager->ButtonWidth();
    DrawGlyph(Control, DC, glyphArea, state, &R);
    RECT text = R;
    if (Control.HasPicture() && manager != nullptr)
        text.left += manager->ButtonWidth();
    else
        text.left += GetCaptionIndent(Control);
    if (ShowCaption)
        DrawItemText(Control, DC, Control.PaintCaption(), text, 0, State.Enabled,
                     State.Enabled && State.Selected, false, true);
    if (OnMainMenu) return;
    // The font's cell height halved, whichever way the font was given.
    RECT arrow = R;
    arrow.left = R.right - bar.LineHeight() / 2 - GetCaptionIndent(Control);
    DrawButtonArrowSized(DC, arrow, true, State.Enabled,
                         IsHighContrastWhite() && State.Selected && !State.Pressed, bar.ArrowSize() - 1,
                         true);
}

void TdxBarItemControlFlatPainter::DrawDroppedDownFrame(BarPaintView& Bar, HDC DC, const RECT& R,
                                                        const RECT& Joint) const {
    FillDroppedDownJoint(Bar, DC, Joint, R);
    HRGN saved = nullptr;
    bool hadRegion = false;
    SaveClipRegion(DC, saved, hadRegion);
    if (!IsRectEmpty(Joint)) ExcludeClipRect(DC, Joint.left, Joint.top, Joint.right, Joint.bottom);
    DrawDroppedDownBorder(Bar, DC, R);
    RestoreClipRegion(DC, saved, hadRegion);
}

void TdxBarItemControlFlatPainter::DrawDroppedDownFace(BarPaintView& Bar, HDC DC, RECT R,
                                                       const RECT& Joint) const {
    DrawDroppedDownFrame(Bar, DC, R, Joint);
    R = Inflated(R, -1, -1);
    FillRect(DC, &R, GetManagerBrush(Bar.Manager()));
}

void TdxBarItemControlFlatPainter::DrawDroppedDownBorder(BarPaintView& Bar, HDC DC, const RECT& R) const {
    FrameRect(DC, &R, FlatBrush(Bar.Manager(), 0, COLOR_BTNSHADOW));
}

void TdxBarItemControlFlatPainter::FillDroppedDownJoint(BarPaintView& Bar, HDC DC, const RECT& Joint,
                                                        const RECT&) const {
    if (!IsRectEmpty(Joint)) FillRect(DC, &Joint, GetManagerBrush(Bar.Manager()));
}

HBRUSH TdxBarItemControlFlatPainter::GetMenuSeparatorBrush() const {
    return GetSysColorBrush(COLOR_BTNSHADOW);
}

} // namespace bars

namespace bars {

int TdxBarItemControlFlatPainter::GetSubMenuGlyphIndent(ItemPaintView& Control) const {
    BarPaintView& bar = Control.ParentView();
    return bar.IsSubMenu() ? bar.MenuLineHeight() + 3 : 0;
}

void TdxBarItemControlFlatPainter::DrawButtonBackground(ItemPaintView& Control, HDC DC,
                                                        const ItemState& State, const RECT& Rect) const {
    BarPaintView& bar = Control.ParentView();
    const HBRUSH face = FlatBrush(bar.Manager(), 1, COLOR_BTNFACE);
    const HBRUSH window = bar.BkBrush();
    // A selected or rarely used line is filled with its brushes; another shows the menu's own background
    // (its picture) where it would take them.
    const bool solid = State.Selected || Control.IsRarelyUsed();
    auto fill = [&](int Left, int Top, int Right, int Bottom, HBRUSH Brush) {
        if (Right > Left && Bottom > Top)
            DrawBackground(Control, DC, solid, Brush, RECT{Left, Top, Right, Bottom});
    };
    RECT R = Rect;
    if (State.Selected) {
        DrawSelectionFrame(DC, R);
    } else {
        // The outer ring: the glyph column's part in the face, the rest in the menu's own background.
        const int w = R.left + (R.bottom - R.top) + 1;
        fill(R.left, R.top, w, R.top + 1, face);
        fill(R.left, R.bottom - 1, w, R.bottom, face);
        fill(R.left, R.top + 1, R.left + 1, R.bottom - 1, face);
        fill(w, R.top, R.right, R.top + 1, window);
        fill(w, R.bottom - 1, R.right, R.bottom, window);
        fill(R.right - 1, R.top + 1, R.right, R.bottom - 1, window);
    }
    R = Inflated(R, -1, -1);
    const int g = R.left + R.bottom - R.top;
    ItemState glyph = State;
    glyph.InMenu = true;
    const RECT cell{R.left, R.top, g, R.bottom};
    DrawGlyph(Control, DC, cell, glyph, nullptr);
    const HBRUSH hot = GetSelectedBrush(bar);
    fill(g, R.top, g + 2, R.bottom, State.Selected ? hot : face);
    fill(g + 2, R.top, R.right, R.bottom, State.Selected ? hot : window);
    RECT text{g + 2 + 8, R.top, R.right, R.bottom};
    DrawItemText(Control, DC, Control.PaintCaption(), text, 0, State.Enabled, State.Selected, false,
                 !IsHighContrastWhite());
}

void TdxBarItemControlFlatPainter::DrawMenuSeparator(ItemPaintView& Control, HDC DC, const RECT& R) const {
    BarPaintView& bar = Control.ParentView();
    const int g = R.left + GetSubMenuGlyphIndent(Control);
    Fill(DC, R.left, R.top, g, R.bottom, FlatBrush(bar.Manager(), 1, COLOR_BTNFACE));
    Fill(DC, g, R.top, R.right, R.bottom, bar.BkBrush());
    TdxBarManager* manager = bar.Manager();
    const int margin = manager != nullptr ? manager->SeparatorMargin() : GetSeparatorMargin();
    const int y = (R.top + R.bottom) / 2;
    Fill(DC, g + margin, y, R.right + 1, y + 1, GetMenuSeparatorBrush());
}

HBRUSH TdxBarItemControlFlatPainter::GetSubMenuBkBrush() const {
    return GetSysColorBrush(COLOR_WINDOW);
}

void TdxBarItemControlFlatPainter::DeflateSubMenuRect(RECT& R) const {
    R = Inflated(R, -2, -2);
}

void TdxBarItemControlFlatPainter::CalcSubMenuMetrics(BarPaintView& SubMenu, int TextHeight, int& LineHeight,
                                                      int& CheckWidth, int& ArrowWidth, int& GlyphWidth,
                                                      int& MarkHeight) const {
    LineHeight = TextHeight + 1;
    MarkHeight = LineHeight;
    GlyphWidth = LineHeight / 4 * 3 + 1;
    ArrowWidth = TextExtent(SubMenu, "0").cx + 1;
    if (const int a = CalcMenuArrowSize(ArrowWidth - 2); a % 2 != 0) ArrowWidth = (a - 1) * 2 + 6;
    CheckWidth = 20;
}

SIZE TdxBarItemControlFlatPainter::CalcSubMenuSize(BarPaintView& SubMenu, int Width, int Height,
                                                   bool MarkShown) const {
    if (Width == 0)
        Width = 100;
    else
        Width += SubMenu.SideBarWidth() + 4;
    if (MarkShown || Height == 0) Height += MarkShown ? SubMenu.MarkLineHeight() : SubMenu.MenuLineHeight();
    return SIZE{Width, Height + 4 + (SubMenu.HasDetachBar() ? GetSubMenuDetachHeight(SubMenu) : 0)};
}

void TdxBarItemControlFlatPainter::DrawSubMenuBorder(BarPaintView& SubMenu, HDC DC, const RECT& Rect) const {
    FrameRect(DC, &Rect, FlatBrush(SubMenu.Manager(), 0, COLOR_BTNSHADOW));
    DrawBarNonClientBackground(SubMenu, DC);
    if (!SubMenu.HasDetachBar()) return;
    const RECT R = Inflated(Rect, -1, -1);
    const int height = GetSubMenuDetachHeight(SubMenu);
    const HBRUSH window = GetSysColorBrush(COLOR_WINDOW);
    Fill(DC, R.left, R.top, R.right, R.top + 1, window);
    Fill(DC, R.left, R.top + 1, R.left + 1, R.top + height, window);
    Fill(DC, R.right - 1, R.top + 1, R.right, R.top + height, window);
    FillDetachCaption(SubMenu, DC, RECT{R.left + 1, R.top + 1, R.right - 1, R.top + height});
}

int TdxBarItemControlFlatPainter::GetSubMenuDetachHeight(BarPaintView& SubMenu) const {
    int h = TextExtent(SubMenu, "Qq").cy / 2;
    if (h % 2 == 0) ++h;
    return h + 1;
}

void TdxBarItemControlFlatPainter::FillDetachCaption(BarPaintView& SubMenu, HDC DC, const RECT& Rect) const {
    RECT R = Rect;
    const bool hot = SubMenu.DetachHot();
    if (hot) {
        DrawSelectionFrame(DC, R);
        R = Inflated(R, -1, -1);
        FillRect(DC, &R, GetSelectedBrush(SubMenu));
    } else {
        FillRect(DC, &R, FlatBrush(SubMenu.Manager(), 1, COLOR_BTNFACE));
    }
    // The grip: every other row of a band 33 pixels wide in the middle.
    const int left = (R.left + R.right - 33) / 2;
    const HBRUSH grip = GetSysColorBrush(hot ? COLOR_BTNTEXT : COLOR_BTNSHADOW);
    for (int y = R.top + 1; y < R.bottom - 1; y += 2)
        Fill(DC, std::max(left, static_cast<int>(R.left)), y, std::min(left + 33, static_cast<int>(R.right)),
             y + 1, grip);
}

void TdxBarItemControlFlatPainter::DrawSubMenuFrame(BarPaintView& SubMenu, HDC DC,
                                                    const SubMenuParts& Parts) const {
    const HBRUSH brush = SubMenu.BkBrush();
    // Around the lines the glyph column goes on in the face, the rest in the menu's own background.
    const HBRUSH face = FlatBrush(SubMenu.Manager(), 1, COLOR_BTNFACE);
    const RECT& items = Parts.Items;
    const int side = SubMenu.SideBarWidth(), width = SubMenu.ClientWidth();
    const int column = items.left + SubMenu.MenuLineHeight() + 3;
    auto band = [&](int top, int bottom) {
        if (bottom <= top) return;
        Fill(DC, side, top, column, bottom, face);
        Fill(DC, column, top, width, bottom, brush);
    };
    band(0, items.top);
    band(Parts.LinesBottom, Parts.SpaceBottom);
    if (items.bottom > items.top) {
        Fill(DC, side, items.top, items.left, items.bottom, face);
        Fill(DC, items.right, items.top, width, items.bottom, brush);
    }
    // The arrows over the bands they lie on.
    for (const auto& [arrow, up] : {std::pair{Parts.TopArrow, true}, std::pair{Parts.BottomArrow, false}}) {
        if (IsRectEmpty(arrow)) continue;
        FillRect(DC, &arrow, brush);
        DrawScrollArrow(SubMenu, DC, up, arrow);
    }
    if (IsRectEmpty(Parts.Mark)) return;
    if (Parts.SpaceBottom < SubMenu.ClientHeight()) band(Parts.Mark.bottom, SubMenu.ClientHeight());
    Fill(DC, side, Parts.Mark.top, Parts.Mark.left, Parts.Mark.bottom, face);
    Fill(DC, Parts.Mark.right, Parts.Mark.top, width, Parts.Mark.bottom, brush);
    if (Parts.MarkState == 1) {
        DrawSelectionFrame(DC, Parts.Mark);
        const RECT inner = Inflated(Parts.Mark, -1, -1);
        FillRect(DC, &inner, GetSelectedBrush(SubMenu));
    } else {
        FillRect(DC, &Parts.Mark, brush);
    }
    DrawExpandArrows(SubMenu, DC, Parts.MarkState == 1, Parts.Mark);
}

} // namespace bars

namespace bars {

void TdxBarItemControlFlatPainter::DrawGlyphImage(ItemPaintView& Control, HDC DC, const ItemState& State,
                                                  const RECT& Area, const RECT& ImageRect, bool Fits,
                                                  HBRUSH Brush) const {
    RECT r = Area;
    if (Fits) r = Inflated(r, -1, -1);
    // The cell always takes the state's brush: the flat faces are plain fills.
    if (!Control.IsRarelyUsed() && !IsGlyphFrameDrawnFirst()) DrawBackground(Control, DC, true, Brush, r);
    DrawGlyphPicture(Control, DC, State, r, ImageRect, Brush);
}

void TdxBarItemControlFlatPainter::DrawBevel(ItemPaintView& Control, HDC DC, int Style, int Width,
                                             RECT& R) const {
    const HBRUSH brush = GetBevelBrush(Control, Style);
    for (int i = 0; i < Width; ++i) {
        FrameRect(DC, &R, brush);
        R = Inflated(R, -1, -1);
    }
}

void TdxBarItemControlFlatPainter::DrawBeveledRect(ItemPaintView& Control, HDC DC, bool Sunken, bool Beveled,
                                                   RECT& R) const {
    BarPaintView& bar = Control.ParentView();
    HBRUSH fill = bar.BkBrush();
    if (Beveled) {
        DrawSelectionFrame(DC, R);
        fill = Sunken ? GetFaceBrush(bar) : GetSelectedBrush(bar);
    } else {
        FrameRect(DC, &R, fill);
    }
    R = Inflated(R, -1, -1);
    FillRect(DC, &R, fill);
}

int TdxBarItemControlFlatPainter::GetBarMinWidth(BarPaintView& Bar) const {
    return TdxBarItemControlPainter::GetBarMinWidth(Bar) - 1;
}

int TdxBarItemControlFlatPainter::CalcSubItemHeight(ItemPaintView& Control, bool ShowCaption,
                                                    bool OnMainMenu) const {
    const int height = TdxBarItemControlPainter::CalcSubItemHeight(Control, ShowCaption, OnMainMenu);
    return Control.ParentView().IsSubMenu() ? height + 2 : height;
}

int TdxBarItemControlFlatPainter::CalcSubItemWidth(ItemPaintView& Control, bool ShowCaption,
                                                   bool OnMainMenu) const {
    const int width = TdxBarItemControlPainter::CalcSubItemWidth(Control, ShowCaption, OnMainMenu);
    return Control.ParentView().IsSubMenu() ? width + 9 : width;
}

RECT TdxBarItemControlFlatPainter::CalcSubMenuItemsRect(BarPaintView& SubMenu, bool Unlimited, bool MarkShown,
                                                        int& MaxBottom) const {
    MaxBottom =
        Unlimited ? 0x7FFFFFFF : SubMenu.ClientHeight() - 1 - (MarkShown ? SubMenu.MarkLineHeight() : 0);
    return RECT{SubMenu.SideBarWidth() + 1, 1, SubMenu.ClientWidth() - 1, 1};
}

void TdxBarItemControlFlatPainter::DrawSubMenuDetachFrame(BarPaintView& SubMenu, HDC DC, HBRUSH Brush,
                                                          RECT R) const {
    FrameRect(DC, &R, SubMenu.BkBrush());
    Fill(DC, R.left, R.top + 1, R.left + 1, R.bottom - 1, Brush);
}

void TdxBarItemControlFlatPainter::DrawSubMenuShadowPart(BarPaintView&, HBRUSH& Brush) const {
    Brush = GetSubMenuBkBrush();
}

int TdxBarItemControlFlatPainter::CalcButtonWidth(ItemPaintView&, int TextWidth) const {
    return TextWidth + 11;
}

void TdxBarItemControlFlatPainter::DrawEditText(ItemPaintView& Control, HDC DC, const std::string& Text,
                                                const RECT& R) const {
    TdxBarItemControlPainter::DrawEditText(Control, DC, Text, R);
}

DWORD TdxBarItemControlFlatPainter::GetEditWindowStyle() const {
    return TdxBarItemControlPainter::GetEditWindowStyle() | ES_MULTILINE;
}

HBRUSH TdxBarItemControlFlatPainter::GetBevelBrush(ItemPaintView&, int) const {
    return GetSysColorBrush(COLOR_BTNSHADOW);
}

} // namespace bars

#pragma once
// The standard style: the classic three-dimensional look of raised and sunken one-pixel edges in the
// system colours, a two-line grip, a highlight bar over menu captions and a raised floating frame; and
// the enhanced style built on it, with one grip line and an end mark over the bar's whole height.
#include "bars/painters/painter.h"

namespace bars {

class TdxBarItemControlStandardPainter : public TdxBarItemControlPainter {
public:
    // Values and metrics.
    bool IsGlyphBackgroundPlain() const override { return true; }
    bool IsMarkSmall(BarPaintView&, const RECT&) const override { return false; }
    int GetDownGlyphOffset() const override { return 1; }
    int GetCheckedGlyphOffset(bool) const override { return 1; }
    int GetButtonBorderSize() const override { return 1; }
    int GetBeforeGripSize() const override { return 2; }
    int GetGripAreaSize() const override { return GetBeforeGripSize() + 2 * GetGripLineWidth() + 1; }
    int GetSeparatorMargin() const override { return 2; }
    int GetFloatingSideBorder() const override { return 4; }
    int GetFloatingTopBorder() const override { return 2; }
    int GetFloatingBottomBorder() const override { return 1; }
    bool HasSystemCaptionButtons() const override { return true; }
    bool UseSystemFloatingFrame() const override { return true; }
    bool HasSubMenuSideStrip() const override { return true; }
    int GetDropDownListBorderSize() const override { return 2; }
    int GetMenuItemSpacing() const override { return TdxBarItemControlPainter::GetMenuItemSpacing() + 1; }

    // Glyphs, check marks and item faces.
    void DrawGlyphFrame(ItemPaintView& Control, HDC DC, const ItemState& State, RECT GlyphRect, bool Fits,
                        HBRUSH Brush) const override;
    void DrawCheckMark(ItemPaintView& Control, HDC DC, int X, int Y, int Scale) const override;
    void DrawSeparatorLine(HDC DC, const RECT& R) const override;
    void DrawButtonBackground(ItemPaintView& Control, HDC DC, const ItemState& State,
                              const RECT& R) const override;
    // A hot caption on a toolbar lies on the button face, not on the highlight: it keeps the text colour.
    void DrawItemText(ItemPaintView& Control, HDC DC, const std::string& Text, const RECT& R, int Alignment,
                      bool Enabled, bool Selected, bool Clipped, bool Flat) const override;
    void DrawLoweredFrame(ItemPaintView& Control, HDC DC, RECT& R) const override;
    void DrawBeveledRect(ItemPaintView& Control, HDC DC, bool Sunken, bool Beveled, RECT& R) const override;
    HBRUSH GetButtonBrush(ItemPaintView& Control, int Kind, const ItemState& State) const override;
    void DrawDropDownButton(ItemPaintView& Control, HDC DC, const ItemState& State, bool InMenu, HBRUSH Brush,
                            RECT R) const override;
    void OffsetPressedContent(const ItemState& State, RECT& R) const override;
    void OffsetDownRect(bool Down, RECT& R) const override;
    void DrawDropDownListBorder(HDC DC, const RECT& R) const override;
    RECT DrawComboButton(ItemPaintView& Control, HDC DC, const ItemState& State,
                         const RECT& R) const override;
    void SetEditMargins(ItemPaintView& Control, HWND Wnd) const override;

    // Bar-window parts.
    void DrawMarkArrow(BarPaintView& Bar, HDC DC, int P, const RECT& R) const override;
    void DrawMarkBackground(BarPaintView& Bar, HDC DC, HBRUSH Brush, const RECT& R) const override;
    RECT GetMarkRect(BarPaintView& Bar) const override;
    void DrawCloseButton(BarPaintView& Bar, HDC DC, const RECT& R) const override;
    void DrawDockedBorder(BarPaintView& Bar, HDC DC, HBRUSH Brush, RECT R) const override;
    void DrawFloatingBorder(BarPaintView& Bar, HDC DC, HBRUSH Brush, bool Active, const RECT& Inner,
                            RECT R) const override;
    void DrawMDIButton(BarPaintView& Bar, int Kind, bool Disabled, const RECT& R, HDC DC, bool Hot,
                       bool Pressed) const override;

    // Menus: the band behind the lines of rarely used items.
    void DrawSubMenuSideStrip(BarPaintView& SubMenu, ItemPaintView& Control, int Offset, int Index,
                              const SideStripLine& Line, const RECT& R, HDC DC) const override;
};

class TdxBarItemControlEnhancedPainter : public TdxBarItemControlStandardPainter {
public:
    int GetBeforeGripSize() const override { return 1; }
    int GetGripAreaSize() const override { return GetBeforeGripSize() + GetGripLineWidth() + 2; }
    int GetSeparatorMargin() const override { return 12; }
    bool IsMarkAllowed() const override { return true; }

    void DrawMarkArrow(BarPaintView& Bar, HDC DC, int P, const RECT& R) const override;
    void DrawMarkBackground(BarPaintView& Bar, HDC DC, HBRUSH Brush, const RECT& R) const override;
    void DrawMarkArrows(BarPaintView& Bar, HDC DC, const RECT& R) const override;
    void DrawDockedBorder(BarPaintView& Bar, HDC DC, HBRUSH Brush, RECT R) const override;
    RECT GetMarkRect(BarPaintView& Bar) const override;
};

const TdxBarItemControlStandardPainter& StandardBarPainter();
const TdxBarItemControlEnhancedPainter& EnhancedBarPainter();

} // namespace bars

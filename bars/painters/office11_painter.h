#pragma once
// The Office 2003 style: the flat style's single-pixel geometry in the Office 2003 colour scheme, with
// gradient toolbars, rounded docked borders, a coloured end mark, warm gradients on hot and pressed
// buttons and a gradient glyph band in menus.
#include "bars/painters/flat_painter.h"

namespace bars {

class TdxBarItemControlOffice11Painter : public TdxBarItemControlFlatPainter {
public:
    // Values and metrics.
    int GetBeforeGripSize() const override {
        return TdxBarItemControlFlatPainter::GetBeforeGripSize() + GetBorderIndent();
    }
    int GetFloatingBorderWidth() const override { return 3; }
    int GetFloatingBorderHeight() const override { return 3; }
    int GetFloatingExtraSize() const override { return 2; }
    bool IsGlyphFrameDrawnFirst() const override { return true; }
    bool IsFloatingBarStyle(BarPaintView& Bar) const override;
    RECT GetDockedBorders(const TdxBar* Bar, TdxBarDockingStyle Style) const override;
    int GetSubMenuDetachHeight(BarPaintView& SubMenu) const override;
    void DeflateSubMenuRect(RECT& R) const override;

    // Colours and brushes.
    TColor GetFadedGlyphColor(BarPaintView& Bar) const override;
    TColor GetCaptionColor(BarPaintView&, bool) const override;
    TColor GetCaptionTextColor(BarPaintView&) const override;
    TColor GetCaptionMarkGlyphColor(BarPaintView& Bar, int State) const override;
    HBRUSH GetManagerBrush(const TdxBarManager* Manager) const override;
    HBRUSH GetBarBrush(BarPaintView& Bar) const override;
    HBRUSH GetToolbarBrush(BarPaintView& Bar) const override;
    HBRUSH GetPatternBrush(BarPaintView& Bar) const override;
    HBRUSH GetFaceBrush(BarPaintView& Bar) const override;
    HBRUSH GetSelectedBrush(BarPaintView& Bar) const override;
    HBRUSH GetSubMenuBkBrush() const override;
    HBRUSH GetMenuSeparatorBrush() const override;
    HBRUSH GetQuickControlBrush(BarPaintView&) const override;
    // The check square is framed in the bar's background and filled with the bar's brush.
    void CalcQuickCheckRect(ItemPaintView& Control, HDC DC, bool MeasureOnly, int& Size,
                            RECT& R) const override;
    void GetTextColors(bool Enabled, bool FlatColors, bool Selected, COLORREF& Shadow,
                       COLORREF& Text) const override;

    // Backgrounds and bar-window parts.
    void DrawBarBackground(BarPaintView& Bar, HDC DC, const RECT& R, HBRUSH Brush) const override;
    void DrawStatusBarBackground(BarPaintView& Bar, HDC DC, HBRUSH Brush, const RECT& Whole,
                                 const RECT& R) const override;
    void DrawDockBackground(HDC DC, const RECT& Dest, const RECT& Origin, TColor Color, HBRUSH Brush,
                            TdxBarDockingStyle Side) const override;
    void DrawDockedBorder(BarPaintView& Bar, HDC DC, HBRUSH Brush, RECT R) const override;
    void DrawFloatingBorder(BarPaintView& Bar, HDC DC, HBRUSH Brush, bool Active, const RECT& Inner,
                            RECT R) const override;
    void DrawFloatingCaption(BarPaintView& Bar, HDC DC, HBRUSH Brush, RECT R) const override;
    void DrawCaptionButtonBackground(BarPaintView& Bar, HDC DC, int State, const RECT& R) const override;
    void DrawSeparator(BarPaintView& Bar, HDC DC, bool Horizontal, HBRUSH Brush, RECT R) const override;
    void DrawMarkBackground(BarPaintView& Bar, HDC DC, HBRUSH Brush, const RECT& R) const override;
    void DrawMarkArrows(BarPaintView& Bar, HDC DC, const RECT& R) const override;

    // Items.
    void DrawGlyphFrame(ItemPaintView& Control, HDC DC, const ItemState& State, RECT GlyphRect, bool Fits,
                        HBRUSH Brush) const override;
    void DrawDropDownButton(ItemPaintView& Control, HDC DC, const ItemState& State, bool InMenu, HBRUSH Brush,
                            RECT R) const override;
    void DrawButtonArrow(HDC DC, const RECT& R, bool Enabled, bool Selected, bool Flat,
                         bool Down) const override;
    void DrawButtonArrowSized(HDC DC, const RECT& R, bool Flat, bool Enabled, bool Selected, int Size,
                              bool Down) const override;
    void DrawSelectionFrame(HDC DC, const RECT& R) const override;
    // Edit and combo items.
    int CalcComboButtonWidth(int) const override { return 13; }
    void GetItemColors(ItemPaintView& Control, const ItemState& State, COLORREF& Text,
                       HBRUSH& Brush) const override;
    void GetComboButtonColors(ItemPaintView& Control, const ItemState& State, COLORREF& Arrow,
                              HBRUSH& Brush) const override;
    RECT DrawComboButton(ItemPaintView& Control, HDC DC, const ItemState& State,
                         const RECT& R) const override;
    void DrawEditBorder(ItemPaintView& Control, HDC DC, const ItemState& State, RECT& R) const override;
    void GetEditColors(ItemPaintView& Control, COLORREF& Text, COLORREF& Back) const override;
    void DrawDropDownListBorder(HDC DC, const RECT& R) const override;
    void DrawDroppedDownBorder(BarPaintView& Bar, HDC DC, const RECT& R) const override;

    // Menus.
    void DrawButtonBackground(ItemPaintView& Control, HDC DC, const ItemState& State,
                              const RECT& R) const override;
    void DrawMenuSeparator(ItemPaintView& Control, HDC DC, const RECT& R) const override;
    void DrawSubMenuBorder(BarPaintView& SubMenu, HDC DC, const RECT& R) const override;
    void FillDetachCaption(BarPaintView& SubMenu, HDC DC, const RECT& R) const override;
    void DrawSubMenuFrame(BarPaintView& SubMenu, HDC DC, const SubMenuParts& Parts) const override;

    // The operations this style adds.
    virtual void DrawGripDots(BarPaintView& Bar, HDC DC, bool Vertical, const RECT& R) const;
    virtual int GetBorderIndent() const { return 2; }

    // The two ends of a button's face for its state (hot, pressed, checked), top to bottom.
    void GetButtonColors(bool Down, bool Selected, TColor& Color1, TColor& Color2) const;
    // The same on the window Bar: the lines of the "Add or Remove Buttons" menu are one colour.
    void GetButtonColors(BarPaintView& Bar, bool Down, bool Selected, TColor& Color1, TColor& Color2) const;
    // Where a menu's glyph band ends (client coordinates).
    int GlyphBandRight(BarPaintView& SubMenu) const;
};

const TdxBarItemControlOffice11Painter& Office11BarPainter();

} // namespace bars

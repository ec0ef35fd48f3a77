#pragma once
// The Office 2003 style: the flat style's single-pixel geometry in the Office 2003 colour scheme, with
// gradient toolbars, rounded docked borders, a coloured end mark, warm gradients on hot and pressed
// buttons and a gradient glyph band in menus.
#include "bars/painters/flat_painter.h"

namespace bars {

class TdxBarItemControlOffice11Painter : public TdxBarItemControlFlatPainter {
public:
    // Glyphs, check marks, colours and bar-window parts.
    void DrawGlyphFrame(ItemPaintView& Control, HDC DC, const ItemState& State, RECT GlyphRect, bool Fits,
                        HBRUSH Brush) const override;
    void DrawGlyphImage(ItemPaintView& Control, HDC DC, const ItemState& State, const RECT& Area,
                        const RECT& ImageRect, bool Fits, HBRUSH Brush) const override;
    void DrawButtonArrow(HDC DC, const RECT& R, bool Enabled, bool Selected, bool Flat,
                         bool Down) const override;
    void DrawButtonArrowSized(HDC DC, const RECT& R, bool Flat, bool Enabled, bool Selected, int Size,
                              bool Down) const override;
    void GetEditColors(ItemPaintView& Control, COLORREF& Text, COLORREF& Back) const override;
    TColor GetFadedGlyphColor(BarPaintView& Bar) const override;
    void GetTextColors(bool Enabled, bool FlatColors, bool Selected, COLORREF& Shadow,
                       COLORREF& Text) const override;
    bool IsSubMenuItemWide() const override { return true; }
    TColor GetCaptionColor(BarPaintView&, bool) const override;
    TColor GetCaptionTextColor(BarPaintView&) const override;
    TColor GetCaptionMarkGlyphColor(BarPaintView& Bar, int State) const override;
    void DrawMarkBackground(BarPaintView& Bar, HDC DC, HBRUSH Brush, const RECT& R) const override;
    void DrawMarkArrows(BarPaintView& Bar, HDC DC, const RECT& R) const override;
    void DrawDropDownTriangle(HDC DC, COLORREF Color, int Width, int X, int Y) const override;
    // The scheme's expand picture, centred.
    void DrawExpandArrows(BarPaintView& SubMenu, HDC DC, bool Hot, const RECT& R) const override;

    // Backgrounds, glyphs, faces and captions of item controls.
    void DrawButtonBackground(ItemPaintView& Control, HDC DC, const ItemState& State,
                              const RECT& R) const override;
    void DrawBeveledRect(ItemPaintView& Control, HDC DC, bool Sunken, bool Beveled, RECT& R) const override;
    void GetItemColors(ItemPaintView& Control, const ItemState& State, COLORREF& Text,
                       HBRUSH& Brush) const override;
    HBRUSH GetButtonBrush(ItemPaintView& Control, int Kind, const ItemState& State) const override;
    // Under an XP colour scheme buttons do not light up as the pointer passes.
    bool IsButtonHotTracked() const override;

    // Bar-window metrics and parts.
    int GetBeforeGripSize() const override {
        return TdxBarItemControlFlatPainter::GetBeforeGripSize() + GetBorderIndent();
    }
    int GetFloatingBorderWidth() const override { return 3; }
    int GetFloatingBorderHeight() const override { return 3; }
    int GetFloatingExtraSize() const override { return 2; }
    void DrawDockBackground(HDC DC, const RECT& Dest, const RECT& Origin, TColor Color, HBRUSH Brush,
                            TdxBarDockingStyle Side, DockPaintView* Dock) const override;
    bool IsGlyphFrameDrawnFirst() const override { return true; }
    HBRUSH GetManagerBrush(const TdxBarManager* Manager) const override;
    void DrawBarBitmapBackground(BarPaintView& Bar, HDC DC, TColor Color, HBRUSH Brush, POINT Origin,
                                 const RECT& R) const override;
    void DrawBarBackground(BarPaintView& Bar, HDC DC, const RECT& R, HBRUSH Brush) const override;
    void DrawBarNonClientBackground(BarPaintView& Bar, HDC DC) const override;
    bool IsFloatingBarStyle(BarPaintView& Bar) const override;
    HBRUSH GetBarBrush(BarPaintView& Bar) const override;
    HBRUSH GetToolbarBrush(BarPaintView& Bar) const override;
    HBRUSH GetPatternBrush(BarPaintView& Bar) const override;
    HBRUSH GetFaceBrush(BarPaintView& Bar) const override;
    HBRUSH GetSelectedBrush(BarPaintView& Bar) const override;
    int CalcComboButtonWidth(int) const override { return 13; }
    RECT GetNonClientBorders(BarPaintView& Bar) const override;
    RECT GetDockedBorders(const TdxBar* Bar, TdxBarDockingStyle Style) const override;
    void DrawSeparator(BarPaintView& Bar, HDC DC, bool Horizontal, HBRUSH Brush, RECT R) const override;
    void DrawCaptionButtonBackground(BarPaintView& Bar, HDC DC, int State, const RECT& R) const override;
    void DrawDockedBorder(BarPaintView& Bar, HDC DC, HBRUSH Brush, RECT R) const override;
    void DrawFloatingBorder(BarPaintView& Bar, HDC DC, HBRUSH Brush, bool Active, const RECT& Inner,
                            RECT R) const override;
    void DrawFloatingCaption(BarPaintView& Bar, HDC DC, HBRUSH Brush, RECT R) const override;
    // With the system's themes usable these take the XP style's parts.
    void DrawSizeGripArea(BarPaintView& Bar, HDC DC, HBRUSH Brush, const RECT& R) const override;
    void FillBarBackground(BarPaintView& Bar, HDC DC, HBRUSH Brush, const RECT& R) const override;
    // The mark with its part of the rounded border.
    RECT CalcMarkRect(BarPaintView& Bar) const override;
    // A docked bar repaints its non-client ring with the mark: the ring carries the mark's colours.
    void InvalidateMark(BarPaintView& Bar) const override;
    void DrawFloatingBackground(BarPaintView& Bar, HDC DC, TColor Color, HBRUSH Brush, const RECT& Origin,
                                const RECT& R) const override;
    int GetSizeGripSize(const TdxBar* Bar) const override;
    int GetDockedTopExtra(const TdxBar* Bar) const override;
    HBRUSH GetQuickControlBrush(BarPaintView&) const override;
    // The check square is framed in the bar's background and filled with the bar's brush.
    void CalcQuickCheckRect(ItemPaintView& Control, HDC DC, bool MeasureOnly, int& Size,
                            RECT& R) const override;

    // Buttons, edits, combos, sub-items and menu windows.
    void DrawDropDownButton(ItemPaintView& Control, HDC DC, const ItemState& State, bool InMenu, HBRUSH Brush,
                            RECT R) const override;
    RECT DrawComboButton(ItemPaintView& Control, HDC DC, const ItemState& State,
                         const RECT& R) const override;
    void GetComboButtonColors(ItemPaintView& Control, const ItemState& State, COLORREF& Arrow,
                              HBRUSH& Brush) const override;
    void DrawDropDownListBorder(HDC DC, const RECT& R) const override;
    // The flat metrics, with the expand line as high as the scheme's expand picture and its margin.
    void CalcSubMenuMetrics(BarPaintView& SubMenu, int TextHeight, int& LineHeight, int& CheckWidth,
                            int& ArrowWidth, int& GlyphWidth, int& MarkHeight) const override;
    int GetSubMenuDetachHeight(BarPaintView& SubMenu) const override;
    void DrawSubMenuFrame(BarPaintView& SubMenu, HDC DC, const SubMenuParts& Parts) const override;
    // The glyph band in the scheme's gradient (its darker pair while the rarely used lines show).
    void DrawSubMenuBitmap(BarPaintView& SubMenu, HDC DC, TColor Color, HBRUSH Brush,
                           const RECT& R) const override;
    void DrawSubMenuBorder(BarPaintView& SubMenu, HDC DC, const RECT& R) const override;
    void DrawSubMenuDetachFrame(BarPaintView& SubMenu, HDC DC, HBRUSH Brush, RECT R) const override;
    void FillDetachCaption(BarPaintView& SubMenu, HDC DC, const RECT& R) const override;
    void DrawMenuSeparator(ItemPaintView& Control, HDC DC, const RECT& R) const override;
    void DeflateSubMenuRect(RECT& R) const override;
    HBRUSH GetSubMenuBkBrush() const override;
    int CalcButtonWidth(ItemPaintView& Control, int TextWidth) const override;
    void DrawEditBorder(ItemPaintView& Control, HDC DC, const ItemState& State, RECT& R) const override;
    void DrawEditCaption(ItemPaintView& Control, HDC DC, const ItemState& State, RECT& R) const override;

    // Parts of item kinds this library does not make itself.
    void DrawTextButton(BarPaintView& Bar, HDC DC, RECT R, bool Pushed,
                        const std::string& Text) const override;
    TColor GetProgressBackColor() const override;
    int GetTrackBarExtra(ItemPaintView& Control) const override;
    HBRUSH GetProgressFrameBrush() const override;

    // Helpers of this library's windows.
    void DrawStatusBarBackground(BarPaintView& Bar, HDC DC, HBRUSH Brush, const RECT& Whole,
                                 const RECT& R) const override;

    // The flat style's own operations.
    void DrawSelectionFrame(HDC DC, const RECT& R) const override;
    HBRUSH GetBevelBrush(ItemPaintView& Control, int Style) const override;
    void DrawDroppedDownBorder(BarPaintView& Bar, HDC DC, const RECT& R) const override;
    // The joint takes the end of the bar gradient on its side of the open menu.
    void FillDroppedDownJoint(BarPaintView& Bar, HDC DC, const RECT& Joint, const RECT& R) const override;
    HBRUSH GetMenuSeparatorBrush() const override;

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

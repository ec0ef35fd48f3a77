#pragma once
// The XP style: buttons, separators, grips, the end mark and caption buttons drawn by the visual styles
// of the ToolBar, Rebar, Window and Status classes; menu lines stay flat. The manager takes this painter
// only while visual styles are usable, which they never are here: its managers draw in the enhanced
// style instead.
#include "bars/painters/painter.h"

namespace bars {

class TdxBarItemControlXPPainter : public TdxBarItemControlPainter {
public:
    // Values and measures, most of them the theme's part sizes.
    TColor GetFadedGlyphColor(BarPaintView& Bar) const override;
    int GetDownGlyphOffset() const override { return 1; }
    int GetBeforeGripSize() const override { return 0; }
    int GetGripLineWidth() const override;
    int GetGripAreaSize() const override { return GetBeforeGripSize() + GetGripLineWidth() + 2; }
    int CalcButtonArrowWidth(const TdxBarManager* Manager) const override;
    bool IsGlyphFrameDrawnFirst() const override { return true; }
    bool IsFloatingBarStyle(BarPaintView& Bar) const override { return Bar.PaintDockingStyle() == dsNone; }
    HBRUSH GetBarBrush(BarPaintView& Bar) const override;
    HBRUSH GetFaceBrush(BarPaintView& Bar) const override;
    HBRUSH GetSelectedBrush(BarPaintView& Bar) const override;
    int GetTextHeightMargin() const override;
    bool IsBarHotTracked() const override { return true; }
    bool IsMarkAllowed() const override { return true; }
    bool IsQuickItemFlat() const override { return true; }
    int GetSeparatorSize() const override;
    int GetSeparatorLineOffset() const override { return (GetSeparatorSize() - 1) / 2; }
    bool IsCaptionFilled() const override { return true; }
    int GetSizeGripSize(const TdxBar* Bar) const override;
    int GetButtonHeightMargin() const override;
    int GetButtonWidthMargin() const override { return GetButtonHeightMargin(); }
    void AdjustItemHeight(int& Height) const override { Height += 1; }
    void OffsetPressedContent(const ItemState& State, RECT& R) const override;
    void OffsetDownRect(bool Down, RECT& R) const override;
    int GetDropDownListBorderSize() const override { return 2; }
    int GetSubMenuBottomSpace() const override { return 1; }
    int GetSubMenuSeparatorHeight() const override;
    int GetSubMenuBorderSize() const override { return 1; }
    HBRUSH GetSubMenuBkBrush() const override;
    void DeflateSubMenuRect(RECT& R) const override;
    SIZE CalcSubMenuSize(BarPaintView& SubMenu, int Width, int Height, bool MarkShown) const override;
    int GetSubMenuDetachHeight(BarPaintView& SubMenu) const override;
    HBRUSH GetButtonBrush(ItemPaintView& Control, int Kind, const ItemState& State) const override;

    // What the flat and standard styles draw for it.
    void DrawCheckMark(ItemPaintView& Control, HDC DC, int X, int Y, int Scale) const override;
    void DrawMarkArrows(BarPaintView& Bar, HDC DC, const RECT& R) const override;
    RECT GetMarkRect(BarPaintView& Bar) const override;
    int GetCaptionTextLeft(BarPaintView& Bar) const override;
    RECT GetCaptionMarkRect(const RECT& Caption, bool CanClose) const override;
    void DrawFloatingBorder(BarPaintView& Bar, HDC DC, HBRUSH Brush, bool Active, const RECT& Inner,
                            RECT R) const override;
    void DrawDropDownListBorder(HDC DC, const RECT& R) const override;
    void DrawLoweredFrame(ItemPaintView& Control, HDC DC, RECT& R) const override;

    // Drawn through the theme.
    void DrawGlyphFrame(ItemPaintView& Control, HDC DC, const ItemState& State, RECT GlyphRect, bool Fits,
                        HBRUSH Brush) const override;
    void DrawButtonBackground(ItemPaintView& Control, HDC DC, const ItemState& State,
                              const RECT& R) const override;
    void DrawDropDownButton(ItemPaintView& Control, HDC DC, const ItemState& State, bool InMenu, HBRUSH Brush,
                            RECT R) const override;
    void DrawSeparator(BarPaintView& Bar, HDC DC, bool Horizontal, HBRUSH Brush, RECT R) const override;
    void DrawMenuSeparator(ItemPaintView& Control, HDC DC, const RECT& R) const override;
    void DrawDockedBorder(BarPaintView& Bar, HDC DC, HBRUSH Brush, RECT R) const override;
    void DrawMarkBackground(BarPaintView& Bar, HDC DC, HBRUSH Brush, const RECT& R) const override;
    void DrawCloseButton(BarPaintView& Bar, HDC DC, const RECT& R) const override;
    void DrawMDIButton(BarPaintView& Bar, int Kind, bool Disabled, const RECT& R, HDC DC, bool Hot,
                       bool Pressed) const override;
    void DrawSizeGripArea(BarPaintView& Bar, HDC DC, HBRUSH Brush, const RECT& R) const override;
    void DrawStatusBarBackground(BarPaintView& Bar, HDC DC, HBRUSH Brush, const RECT& Whole,
                                 const RECT& R) const override;
    void DrawSubMenuBorder(BarPaintView& SubMenu, HDC DC, const RECT& R) const override;
    int CalcComboButtonWidth(int DigitWidth) const override;
    void SetEditMargins(ItemPaintView& Control, HWND Wnd) const override;
    void SelectAllEditText(ItemPaintView& Control, HWND Wnd, bool Changed) const override;
    void DrawComboListItem(HDC DC, const std::string& Text, const RECT& R, bool Indented) const override;
    RECT DrawComboButton(ItemPaintView& Control, HDC DC, const ItemState& State,
                         const RECT& R) const override;
    void DrawEditBorder(ItemPaintView& Control, HDC DC, const ItemState& State, RECT& R) const override;

    // The toolbar button state of the theme for an item's state.
    static int ButtonState(const ItemState& State);
};

const TdxBarItemControlXPPainter& XPBarPainter();

} // namespace bars

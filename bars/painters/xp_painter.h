#pragma once
// The XP style: buttons, separators, grips, the end mark and caption buttons drawn by the visual styles
// of the ToolBar, Rebar, Window and Status classes; menu lines stay flat. The manager takes this painter
// only while visual styles are usable, which the desktop never offers: its managers then draw in the
// enhanced style instead (a theme layer installed by tests and pictures makes them usable).
#include "bars/painters/painter.h"

namespace bars {

class TdxBarItemControlXPPainter : public TdxBarItemControlPainter {
public:
    // Glyphs, check marks, colours and bar-window parts.
    void DrawGlyphFrame(ItemPaintView& Control, HDC DC, const ItemState& State, RECT GlyphRect, bool Fits,
                        HBRUSH Brush) const override;
    void DrawCheckMark(ItemPaintView& Control, HDC DC, int X, int Y, int Scale) const override;
    void DrawGlyphImage(ItemPaintView& Control, HDC DC, const ItemState& State, const RECT& Area,
                        const RECT& ImageRect, bool Fits, HBRUSH Brush) const override;
    TColor GetFadedGlyphColor(BarPaintView& Bar) const override;
    // The menu bar's sub-items keep their captions still, as menus do.
    bool NoPressedTextShift(ItemPaintView& Control) const override;
    void DrawBarSizeGrip(BarPaintView& Bar, HDC DC, HBRUSH Brush, const RECT& R) const override;
    void DrawMarkBackground(BarPaintView& Bar, HDC DC, HBRUSH Brush, const RECT& R) const override;
    void DrawMarkArrows(BarPaintView& Bar, HDC DC, const RECT& R) const override;
    int GetCaptionTextLeft(BarPaintView& Bar) const override;
    void AdjustCustomizingTextRect(RECT& R) const override { R.top += 2; }

    // Backgrounds, glyphs, faces and captions of item controls.
    void DrawButtonBackground(ItemPaintView& Control, HDC DC, const ItemState& State,
                              const RECT& R) const override;
    void DrawLoweredFrame(ItemPaintView& Control, HDC DC, RECT& R) const override;
    HBRUSH GetButtonBrush(ItemPaintView& Control, int Kind, const ItemState& State) const override;
    int GetDownGlyphOffset() const override { return 1; }
    // A checked picture moves by one pixel unless pressing moves it already.
    int GetCheckedGlyphOffset(bool Pressed) const override { return Pressed ? 0 : 1; }

    // Bar-window metrics and parts, most of them the theme's part sizes.
    int GetBeforeGripSize() const override { return 0; }
    int GetGripAreaSize() const override { return GetBeforeGripSize() + GetGripLineWidth() + 2; }
    int GetGripLineWidth() const override;
    int CalcButtonArrowWidth(const TdxBarManager* Manager) const override;
    int GetBarMinWidth(BarPaintView& Bar) const override;
    // The theme's rebar, with a light and a dark line along every row of toolbars that have borders.
    void DrawDockBackground(HDC DC, const RECT& Dest, const RECT& Origin, TColor Color, HBRUSH Brush,
                            TdxBarDockingStyle Side, DockPaintView* Dock) const override;
    bool IsGlyphFrameDrawnFirst() const override { return true; }
    bool IsFloatingBarStyle(BarPaintView& Bar) const override { return Bar.PaintDockingStyle() == dsNone; }
    HBRUSH GetBarBrush(BarPaintView& Bar) const override;
    HBRUSH GetToolbarBrush(BarPaintView& Bar) const override { return GetBarBrush(Bar); }
    HBRUSH GetPatternBrush(BarPaintView& Bar) const override;
    HBRUSH GetFaceBrush(BarPaintView& Bar) const override;
    HBRUSH GetSelectedBrush(BarPaintView& Bar) const override;
    int CalcComboButtonWidth(int DigitWidth) const override;
    int GetTextHeightMargin() const override;
    bool IsBarHotTracked() const override { return true; }
    bool IsMarkAllowed() const override { return true; }
    int GetSeparatorLineOffset() const override { return (GetSeparatorSize() - 1) / 2; }
    int GetSeparatorSize() const override;
    int GetBorderSize() const override { return 0; }
    // The caption in the system's caption colour, active while the manager's form is.
    void FillCaption(BarPaintView& Bar, HDC DC, HBRUSH Brush, const RECT& R) const override;
    bool IsCaptionFilled() const override { return true; }
    SIZE GetCaptionButtonSize() const override;
    void DrawSeparator(BarPaintView& Bar, HDC DC, bool Horizontal, HBRUSH Brush, RECT R) const override;
    void DrawCloseButton(BarPaintView& Bar, HDC DC, const RECT& R) const override;
    void DrawDockedBorder(BarPaintView& Bar, HDC DC, HBRUSH Brush, RECT R) const override;
    void DrawFloatingBorder(BarPaintView& Bar, HDC DC, HBRUSH Brush, bool Active, const RECT& Inner,
                            RECT R) const override;
    void DrawMDIButton(BarPaintView& Bar, int Kind, bool Disabled, const RECT& R, HDC DC, bool Hot,
                       bool Pressed) const override;
    RECT GetMarkRect(BarPaintView& Bar) const override;
    // The theme's status bar across the whole floating window.
    void DrawFloatingBackground(BarPaintView& Bar, HDC DC, TColor Color, HBRUSH Brush, const RECT& Origin,
                                const RECT& R) const override;
    int GetSizeGripSize(const TdxBar* Bar) const override;
    bool IsQuickItemFlat() const override { return true; }
    int GetButtonHeightMargin() const override;
    int GetButtonWidthMargin() const override { return GetButtonHeightMargin(); }

    // Buttons, edits, combos, sub-items and menu windows.
    void AdjustItemHeight(int& Height) const override { Height += 1; }
    void DrawDropDownButton(ItemPaintView& Control, HDC DC, const ItemState& State, bool InMenu, HBRUSH Brush,
                            RECT R) const override;
    void OffsetPressedContent(const ItemState& State, RECT& R) const override;
    void OffsetDownRect(bool Down, RECT& R) const override;
    int GetComboButtonKind() const override { return 0; }
    RECT DrawComboButton(ItemPaintView& Control, HDC DC, const ItemState& State,
                         const RECT& R) const override;
    int GetDropDownListBorderSize() const override { return 2; }
    void DrawDropDownListBorder(HDC DC, const RECT& R) const override;
    int GetSubMenuBottomSpace() const override { return 1; }
    int GetSubMenuSeparatorHeight() const override;
    int GetSubMenuBorderSize() const override { return 1; }
    RECT CalcSubMenuItemsRect(BarPaintView& SubMenu, bool Unlimited, bool MarkShown,
                              int& MaxBottom) const override;
    SIZE CalcSubMenuSize(BarPaintView& SubMenu, int Width, int Height, bool MarkShown) const override;
    int GetSubMenuDetachHeight(BarPaintView& SubMenu) const override;
    void DrawSubMenuBorder(BarPaintView& SubMenu, HDC DC, const RECT& R) const override;
    void DrawSubMenuDetachFrame(BarPaintView& SubMenu, HDC DC, HBRUSH Brush, RECT R) const override;
    void DrawMenuSeparator(ItemPaintView& Control, HDC DC, const RECT& R) const override;
    void DeflateSubMenuRect(RECT& R) const override;
    void DrawSubMenuShadowPart(BarPaintView& SubMenu, HBRUSH& Brush) const override;
    HBRUSH GetSubMenuBkBrush() const override;
    void DrawComboListItem(HDC DC, const std::string& Text, const RECT& R, bool Indented) const override;
    int CalcButtonWidth(ItemPaintView& Control, int TextWidth) const override;
    void DrawEditBorder(ItemPaintView& Control, HDC DC, const ItemState& State, RECT& R) const override;
    void DrawEditCaption(ItemPaintView& Control, HDC DC, const ItemState& State, RECT& R) const override;
    void DrawEditText(ItemPaintView& Control, HDC DC, const std::string& Text, const RECT& R) const override;
    DWORD GetEditWindowStyle() const override;
    void SetEditMargins(ItemPaintView& Control, HWND Wnd) const override;
    void SelectAllEditText(ItemPaintView& Control, HWND Wnd, bool Changed) const override;

    // Parts of item kinds this library does not make itself, drawn through the theme.
    void DrawEllipsisButton(ItemPaintView& Control, HDC DC, bool Hot, bool Down, RECT& Inner,
                            RECT R) const override;
    void DrawWindowFrame(HWND Wnd, bool Sizeable, int Corner, RECT& GripRect, RECT& CloseButtonRect,
                         bool CloseButtonHot, bool CloseButtonPressed) const override;
    int GetSizeGripHeight() const override;
    int GetProgressBorder() const override { return 1; }
    void DrawTextButton(BarPaintView& Bar, HDC DC, RECT R, bool Pushed,
                        const std::string& Text) const override;
    void DrawSpinArrow(ItemPaintView& Control, HDC DC, bool Down, bool Hot, int Orientation, int Size,
                       const RECT& R) const override;
    void DrawSpinEditFrame(ItemPaintView& Control, HDC DC, RECT& R) const override;
    COLORREF GetProgressBarColor() const override;
    int GetProgressStep() const override;
    void DrawProgressBar(ItemPaintView& Control, HDC DC, int Max, int Min, int Position, bool Solid,
                         int Orientation, TColor Color, const RECT& R) const override;

    // Helpers of this library's windows.
    RECT GetCaptionMarkRect(const RECT& Caption, bool CanClose) const override;
    void DrawStatusBarBackground(BarPaintView& Bar, HDC DC, HBRUSH Brush, const RECT& Whole,
                                 const RECT& R) const override;

    // The toolbar button state of the theme for an item's state.
    static int ButtonState(const ItemState& State);
};

const TdxBarItemControlXPPainter& XPBarPainter();

} // namespace bars

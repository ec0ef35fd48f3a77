#pragma once
// The flat style, the main window's: single-pixel frames in the highlight colour, light blends of it
// for hot, pressed and checked faces, a dotted grip and a lighter face for ordinary toolbars.
#include "bars/painters/painter.h"

namespace bars {

class TdxBarItemControlFlatPainter : public TdxBarItemControlPainter {
public:
    // Glyphs, check marks, colours and bar-window parts.
    void DrawGlyphFrame(ItemPaintView& Control, HDC DC, const ItemState& State, RECT GlyphRect, bool Fits,
                        HBRUSH Brush) const override;
    void DrawCheckMark(ItemPaintView& Control, HDC DC, int X, int Y, int Scale) const override;
    void DrawGlyphImage(ItemPaintView& Control, HDC DC, const ItemState& State, const RECT& Area,
                        const RECT& ImageRect, bool Fits, HBRUSH Brush) const override;
    TColor GetCaptionColor(BarPaintView&, bool) const override { return clInactiveCaption; }
    TColor GetCaptionMarkGlyphColor(BarPaintView& Bar, int State) const override;
    void DrawMarkBackground(BarPaintView& Bar, HDC DC, HBRUSH Brush, const RECT& R) const override;
    // The chevrons of the enhanced style.
    void DrawMarkArrows(BarPaintView& Bar, HDC DC, const RECT& R) const override;
    // The caption's text starts at its left, the quick-customize mark standing at its right end.
    int GetCaptionTextLeft(BarPaintView&) const override { return GetFloatingBorderWidth() + 2; }
    int GetMarkArrowColorIndex(BarPaintView& Bar) const override;
    void AdjustCustomizingTextRect(RECT& R) const override { R.top += 2; }

    // Backgrounds, glyphs, faces and captions of item controls.
    void DrawButtonBackground(ItemPaintView& Control, HDC DC, const ItemState& State,
                              const RECT& R) const override;
    void DrawLoweredFrame(ItemPaintView& Control, HDC DC, RECT& R) const override;
    void DrawBevel(ItemPaintView& Control, HDC DC, int Style, int Width, RECT& R) const override;
    void DrawBeveledRect(ItemPaintView& Control, HDC DC, bool Sunken, bool Beveled, RECT& R) const override;
    void GetItemColors(ItemPaintView& Control, const ItemState& State, COLORREF& Text,
                       HBRUSH& Brush) const override;
    HBRUSH GetButtonBrush(ItemPaintView& Control, int Kind, const ItemState& State) const override;
    bool DrawsFlatMenuLines() const override { return true; }
    bool UseFlatTextColors() const override { return true; }
    int GetButtonBorderSize() const override { return 1; }
    int GetSubMenuGlyphIndent(ItemPaintView& Control) const override;

    // Bar-window metrics and parts.
    int GetBeforeGripSize() const override { return 1; }
    int GetGripAreaSize() const override { return GetBeforeGripSize() + GetGripLineWidth() + 2; }
    // One less than the base, so the arrow part of a drop-down button is even.
    int CalcButtonArrowWidth(const TdxBarManager* Manager) const override;
    int GetBarMinWidth(BarPaintView& Bar) const override;
    int GetSeparatorMargin() const override { return 8; }
    bool IsMenuJoinedToItem() const override { return true; }
    bool IsFloatingBarStyle(BarPaintView& Bar) const override { return Bar.PaintDockingStyle() == dsNone; }
    HBRUSH GetBarBrush(BarPaintView& Bar) const override;
    HBRUSH GetToolbarBrush(BarPaintView& Bar) const override;
    HBRUSH GetPatternBrush(BarPaintView& Bar) const override;
    HBRUSH GetFaceBrush(BarPaintView& Bar) const override;
    HBRUSH GetSelectedBrush(BarPaintView& Bar) const override;
    int GetTextHeightMargin() const override { return 7; }
    bool IsBarHotTracked() const override { return true; }
    bool IsMarkAllowed() const override { return true; }
    int GetSeparatorLineOffset() const override { return (GetSeparatorSize() - 1) / 2; }
    int GetSeparatorSize() const override { return 5; }
    void DrawSeparator(BarPaintView& Bar, HDC DC, bool Horizontal, HBRUSH Brush, RECT R) const override;
    void DrawCloseButton(BarPaintView& Bar, HDC DC, const RECT& R) const override;
    void DrawDockedBorder(BarPaintView& Bar, HDC DC, HBRUSH Brush, RECT R) const override;
    void DrawFloatingBorder(BarPaintView& Bar, HDC DC, HBRUSH Brush, bool Active, const RECT& Inner,
                            RECT R) const override;
    void DrawCaptionMark(BarPaintView& Bar, HDC DC, const RECT& R) const override;
    void DrawMDIButton(BarPaintView& Bar, int Kind, bool Disabled, const RECT& R, HDC DC, bool Hot,
                       bool Pressed) const override;
    RECT GetMarkRect(BarPaintView& Bar) const override;
    HBRUSH GetQuickControlBrush(BarPaintView&) const override;
    // The end mark's drop-down: a framed check square, and the hot frame of a line.
    void CalcQuickCheckRect(ItemPaintView& Control, HDC DC, bool MeasureOnly, int& Size,
                            RECT& R) const override;
    void CalcQuickItemRects(ItemPaintView& Control, HDC DC, bool Hot, const RECT& CheckRect,
                            const RECT& ItemRect) const override;
    bool IsQuickItemFlat() const override { return true; }

    // Buttons, edits, combos, sub-items and menu windows.
    void AdjustItemHeight(int& Height) const override { Height += 2; }
    void AdjustItemWidth(int& Width) const override { Width += 9; }
    void DrawDropDownButton(ItemPaintView& Control, HDC DC, const ItemState& State, bool InMenu, HBRUSH Brush,
                            RECT R) const override;
    bool IsArrowButtonSeparate() const override { return true; }
    RECT DrawComboButton(ItemPaintView& Control, HDC DC, const ItemState& State,
                         const RECT& R) const override;
    void GetComboButtonColors(ItemPaintView& Control, const ItemState& State, COLORREF& Arrow,
                              HBRUSH& Brush) const override;
    int GetDropDownListBorderSize() const override { return 2; }
    void DrawDropDownListBorder(HDC DC, const RECT& R) const override;
    int GetCaptionIndent(ItemPaintView& Control) const override;
    int CalcSubItemHeight(ItemPaintView& Control, bool ShowCaption, bool OnMainMenu) const override;
    int CalcSubItemWidth(ItemPaintView& Control, bool ShowCaption, bool OnMainMenu) const override;
    void DrawSubItem(ItemPaintView& Control, HDC DC, const RECT& R, const ItemState& State, bool ShowCaption,
                     bool OnMainMenu) const override;
    int GetSubMenuSeparatorHeight() const override { return 5; }
    int GetSubMenuBorderSize() const override { return 2; }
    void CalcSubMenuMetrics(BarPaintView& SubMenu, int TextHeight, int& LineHeight, int& CheckWidth,
                            int& ArrowWidth, int& GlyphWidth, int& MarkHeight) const override;
    RECT CalcSubMenuItemsRect(BarPaintView& SubMenu, bool Unlimited, bool MarkShown,
                              int& MaxBottom) const override;
    SIZE CalcSubMenuSize(BarPaintView& SubMenu, int Width, int Height, bool MarkShown) const override;
    int GetSubMenuDetachHeight(BarPaintView& SubMenu) const override;
    void DrawSubMenuFrame(BarPaintView& SubMenu, HDC DC, const SubMenuParts& Parts) const override;
    void DrawSubMenuBorder(BarPaintView& SubMenu, HDC DC, const RECT& R) const override;
    void DrawSubMenuDetachFrame(BarPaintView& SubMenu, HDC DC, HBRUSH Brush, RECT R) const override;
    void FillDetachCaption(BarPaintView& SubMenu, HDC DC, const RECT& R) const override;
    void DrawMenuSeparator(ItemPaintView& Control, HDC DC, const RECT& R) const override;
    int CalcMenuArrowSize(int Height) const override;
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

    // Parts of item kinds this library does not make itself.
    void DrawWindowFrame(HWND Wnd, bool Sizeable, int Corner, RECT& GripRect, RECT& CloseButtonRect,
                         bool CloseButtonHot, bool CloseButtonPressed) const override;
    int GetProgressBorder() const override { return 1; }
    int GetTrackBarExtra2() const override { return 9; }

    // Helpers of this library's windows.
    RECT GetCaptionMarkRect(const RECT& Caption, bool CanClose) const override;

    // The operations this style adds.
    virtual void DrawSelectionFrame(HDC DC, const RECT& R) const;
    // The brush of the rings a bevel is drawn with.
    virtual HBRUSH GetBevelBrush(ItemPaintView& Control, int Style) const;
    virtual void DrawDroppedDownFace(BarPaintView& Bar, HDC DC, RECT R, const RECT& Joint) const;
    // A dropped-down element's border; the stretch Joint (in the DC's coordinates) where it meets its
    // open menu is left open and takes the menu's face.
    virtual void DrawDroppedDownFrame(BarPaintView& Bar, HDC DC, const RECT& R, const RECT& Joint) const;
    virtual void DrawDroppedDownBorder(BarPaintView& Bar, HDC DC, const RECT& R) const;
    virtual void FillDroppedDownJoint(BarPaintView& Bar, HDC DC, const RECT& Joint, const RECT& R) const;
    virtual HBRUSH GetMenuSeparatorBrush() const;
};

const TdxBarItemControlFlatPainter& FlatBarPainter();

// The end-mark chevrons and customize arrow as the enhanced style draws them.
void DrawEnhancedMarkArrows(const TdxBarItemControlPainter& Painter, BarPaintView& Bar, HDC DC, const RECT& R,
                            int ColorIndex);
void DrawEnhancedMarkArrow(BarPaintView& Bar, HDC DC, int P, bool Small);

// The painter a style's managers draw with; nullptr for a number that is no style.
const Painter* StylePainter(TdxBarManagerStyle Style);

} // namespace bars

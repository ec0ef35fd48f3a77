#pragma once
// The painter of bar windows and item controls: one immutable object per style, whose operations take
// the window or control and the DC, draw, and put back every object they selected. The base class
// holds the behaviour every style inherits; the styles override what differs.
#include <string>

#include "bars/core/bar_views.h"
#include "bars/painters/paint_views.h"
#include "platform/gdi/syscolors.h"
#include "platform/rtl/colors.h"

namespace bars {

class TdxBarItemControlPainter : public Painter {
public:
    // Pieces of glyphs and check marks, colours.
    virtual void DrawGlyphFrame(ItemPaintView& Control, HDC DC, const ItemState& State, RECT GlyphRect,
                                bool Fits, HBRUSH Brush) const;
    // A check mark 9 x 7 pixels times Scale with its top-left at (X, Y).
    virtual void DrawCheckMark(ItemPaintView& Control, HDC DC, int X, int Y, int Scale) const;
    virtual void DrawCheckGlyph(ItemPaintView& Control, HDC DC, const ItemState& State, bool Fits,
                                HBRUSH Brush, const RECT& GlyphRect) const;
    virtual void DrawGlyphImage(ItemPaintView& Control, HDC DC, const ItemState& State, const RECT& Area,
                                const RECT& ImageRect, bool Fits, HBRUSH Brush) const;
    virtual void DrawButtonArrow(HDC DC, const RECT& R, bool Enabled, bool Selected, bool Flat,
                                 bool Down) const;
    virtual void DrawButtonArrowSized(HDC DC, const RECT& R, bool Flat, bool Enabled, bool Selected, int Size,
                                      bool Down) const;
    virtual TColor GetFadedGlyphColor(BarPaintView& Bar) const;
    virtual void GetTextColors(bool Enabled, bool FlatColors, bool Selected, COLORREF& Shadow,
                               COLORREF& Text) const;
    virtual bool IsGlyphBackgroundPlain() const { return false; }
    // The frame (and the face it carries) comes before the picture, which then draws no background.
    virtual bool IsGlyphFrameDrawnFirst() const { return false; }
    virtual bool IsMarkSmall(BarPaintView&, const RECT& R) const { return R.bottom - R.top < 17; }
    virtual TColor GetCaptionColor(BarPaintView& Bar, bool Active) const;
    virtual TColor GetCaptionTextColor(BarPaintView&) const { return clCaptionText; }
    virtual TColor GetCaptionMarkGlyphColor(BarPaintView& Bar, int MarkState) const;
    virtual void DrawCaptionMarkGlyph(BarPaintView& Bar, HDC DC, const RECT& R) const;
    // One chevron of the end mark at P (an x on a horizontal bar, a y on a vertical one).
    virtual void DrawMarkArrow(BarPaintView&, HDC, int /*P*/, const RECT&) const {}
    virtual void DrawMarkBackground(BarPaintView&, HDC, HBRUSH, const RECT&) const {}
    virtual void DrawMarkArrows(BarPaintView& Bar, HDC DC, const RECT& R) const;
    virtual int GetCaptionTextLeft(BarPaintView& Bar) const;
    // Where a floating caption (window coordinates) has its quick-customize mark: 13 pixels at its left.
    virtual RECT GetCaptionMarkRect(const RECT& Caption, bool CanClose) const;
    virtual int GetMarkArrowColorIndex(BarPaintView&) const { return COLOR_BTNTEXT; }
    // A filled triangle pointing down, AWidth wide at its top edge (X, Y).
    virtual void DrawDropDownTriangle(HDC DC, int ColorIndex, int Width, int X, int Y) const;

    // Backgrounds, glyphs, faces and captions of item controls.
    virtual void DrawBackground(ItemPaintView& Control, HDC DC, bool UseBrush, HBRUSH Brush,
                                const RECT& R) const;
    // Only the one-pixel ring along the inside of R.
    virtual void FrameBackground(ItemPaintView& Control, HDC DC, bool UseBrush, HBRUSH Brush,
                                 const RECT& R) const;
    // Area: where the picture is centred; Frame: where the hot or pressed frame goes (the area when empty).
    virtual void DrawGlyph(ItemPaintView& Control, HDC DC, const RECT& Area, const ItemState& State,
                           const RECT* Frame) const;
    // A whole menu line of a button: background, glyph column and caption.
    virtual void DrawButtonBackground(ItemPaintView&, HDC, const ItemState&, const RECT&) const {}
    // Text with its "&" prefix, in the control's bar font; Alignment 0 left, 1 centre, 2 right.
    virtual void DrawItemText(ItemPaintView& Control, HDC DC, const std::string& Text, const RECT& R,
                              int Alignment, bool Enabled, bool Selected, bool Clipped, bool Flat) const;
    virtual void DrawLoweredFrame(ItemPaintView&, HDC, RECT&) const {}
    virtual HBRUSH GetButtonBrush(ItemPaintView& Control, int Kind, const ItemState& State) const;
    virtual int GetDownGlyphOffset() const { return 0; }
    virtual int GetCheckedGlyphOffset() const { return 0; }
    // An etched or shadow line standing for a disabled dot or rule.
    virtual void DrawSeparatorLine(HDC DC, const RECT& R) const;
    // A raised or sunken face (Beveled) or a plain one; R becomes the face inside its ring.
    virtual void DrawBeveledRect(ItemPaintView&, HDC, bool /*Sunken*/, bool /*Beveled*/, RECT&) const {}
    // A pressed or down content moves with the face (the caption of a pressed button, a dot row).
    virtual void OffsetPressedContent(const ItemState&, RECT&) const {}
    virtual void OffsetDownRect(bool /*Down*/, RECT&) const {}
    virtual bool UseFlatTextColors() const { return false; }
    virtual bool IsButtonHotTracked() const { return true; }
    virtual int GetButtonBorderSize() const { return 0; }

    // Bar-window metrics and parts.
    virtual int GetGripLineWidth() const { return 3; }
    int GetFloatingBorderWidth() const override;
    int GetFloatingBorderHeight() const override;
    virtual bool IsMenuJoinedToItem() const { return false; }
    virtual HBRUSH GetManagerBrush(const TdxBarManager* Manager) const;
    // A bar window's own background in R (client coordinates): its brush, or the style's shading.
    virtual void DrawBarBackground(BarPaintView& Bar, HDC DC, const RECT& R, HBRUSH Brush) const;
    // The background of a toolbar that stands as a status bar along the form's bottom edge, in R;
    // Whole is its window rectangle in the same coordinates (the picture runs across all of it).
    virtual void DrawStatusBarBackground(BarPaintView& Bar, HDC DC, HBRUSH Brush, const RECT& Whole,
                                         const RECT& R) const;
    // A dock site's background in Dest; Origin is the whole site, Side the edge it lies along.
    virtual void DrawDockBackground(HDC DC, const RECT& Dest, const RECT& Origin, TColor Color, HBRUSH Brush,
                                    TdxBarDockingStyle Side) const;
    virtual bool IsFloatingBarStyle(BarPaintView&) const { return false; }
    virtual HBRUSH GetBarBrush(BarPaintView& Bar) const;
    virtual HBRUSH GetToolbarBrush(BarPaintView& Bar) const { return GetBarBrush(Bar); }
    virtual HBRUSH GetPatternBrush(BarPaintView& Bar) const;
    virtual HBRUSH GetFaceBrush(BarPaintView& Bar) const;
    virtual HBRUSH GetSelectedBrush(BarPaintView& Bar) const;
    virtual int GetTextHeightMargin() const { return 6; }
    int CalcItemHeight(int TextHeight) const { return GetTextHeightMargin() + TextHeight; }
    virtual bool IsBarHotTracked() const { return false; }
    virtual bool IsMarkAllowed() const { return false; }
    virtual int GetSeparatorLineOffset() const { return (GetSeparatorSize() - 2) / 2; }
    virtual int GetSeparatorSize() const { return 6; }
    RECT GetDockedBorders(const TdxBar*, TdxBarDockingStyle) const override { return RECT{2, 2, 2, 2}; }
    int GetFloatingCaptionAreaHeight(const TdxBar*) const override { return GetCaptionHeight() + 1; }
    // The system's small-caption height.
    int GetCaptionHeight() const;
    virtual bool IsCaptionFilled() const { return false; }
    virtual void DrawSeparator(BarPaintView& Bar, HDC DC, bool Horizontal, HBRUSH Brush, RECT R) const;
    virtual void DrawCaptionButtonBackground(BarPaintView& Bar, HDC DC, int State, const RECT& R) const;
    virtual void DrawCloseButton(BarPaintView&, HDC, const RECT&) const {}
    virtual void DrawDockedBorder(BarPaintView&, HDC, HBRUSH, RECT) const {}
    // Inner: the client rectangle in window coordinates, which the border rings fill up to.
    virtual void DrawFloatingBorder(BarPaintView&, HDC, HBRUSH, bool /*Active*/, const RECT& /*Inner*/,
                                    RECT) const {}
    virtual void DrawFloatingCaption(BarPaintView& Bar, HDC DC, HBRUSH Brush, RECT R) const;
    virtual void DrawCaptionMark(BarPaintView& Bar, HDC DC, const RECT& R) const;
    virtual void DrawMark(BarPaintView& Bar, HDC DC, HBRUSH Brush, const RECT& R) const;
    virtual void DrawSizeGripArea(BarPaintView& Bar, HDC DC, HBRUSH Brush, const RECT& R) const;
    // The end mark's rectangle in client coordinates (empty in the base style).
    virtual RECT GetMarkRect(BarPaintView&) const { return RECT{0, 0, 0, 0}; }
    virtual bool UseSystemFloatingFrame() const { return false; }
    // The floating caption's close button is the system's own (pressed through HTCLOSE).
    virtual bool HasSystemCaptionButtons() const { return false; }
    // The minimize (0), restore (1) and close (2) buttons of a maximized child on a menu bar.
    virtual void DrawMDIButton(BarPaintView&, int /*Kind*/, bool /*Disabled*/, const RECT&, HDC, bool /*Hot*/,
                               bool /*Pressed*/) const {}
    int GetSizeGripSize(const TdxBar*) const override;
    int GetDockedTopExtra(const TdxBar*) const override { return 2; }
    // The end mark's drop-down: its background, and its check lines. A line's check square is the
    // square at the left of R: R becomes the square and Size where the rest of the line starts; unless
    // MeasureOnly the square's frame is drawn. A hot line gets its frame (ItemRect) and the strip right
    // of its square (CheckRect).
    virtual HBRUSH GetQuickControlBrush(BarPaintView& Bar) const { return GetToolbarBrush(Bar); }
    virtual void CalcQuickCheckRect(ItemPaintView& Control, HDC DC, bool MeasureOnly, int& Size,
                                    RECT& R) const;
    virtual void CalcQuickItemRects(ItemPaintView&, HDC, bool /*Hot*/, const RECT& /*CheckRect*/,
                                    const RECT& /*ItemRect*/) const {}
    // The line's check square shares the line's hot look instead of standing out as a sunken box.
    virtual bool IsQuickItemFlat() const { return false; }

    // Buttons and sub-items.
    virtual void DrawDropDownButton(ItemPaintView&, HDC, const ItemState&, bool /*InMenu*/, HBRUSH,
                                    RECT) const {}
    virtual bool IsArrowButtonSeparate() const { return false; }
    virtual int GetCaptionIndent(ItemPaintView& Control) const;
    // Sub-items on a toolbar: extent across and along the bar.
    virtual int CalcSubItemHeight(ItemPaintView& Control, bool ShowCaption, bool OnMainMenu) const;
    virtual int CalcSubItemWidth(ItemPaintView& Control, bool ShowCaption, bool OnMainMenu) const;
    virtual void DrawSubItem(ItemPaintView& Control, HDC DC, const RECT& R, const ItemState& State,
                             bool ShowCaption, bool OnMainMenu) const;
    virtual bool NoPressedTextShift() const { return false; }
    virtual int CalcMenuArrowSize(int Height) const { return (Height - 6) / 2; }

    // Menu lines.
    virtual void AdjustItemHeight(int&) const {}
    virtual void AdjustItemWidth(int&) const {}
    // The width of the glyph column of a menu line (0 on a toolbar).
    virtual int GetSubMenuGlyphIndent(ItemPaintView& Control) const;
    virtual int GetMenuItemSpacing() const { return 1; }
    // The band of a recent-items menu behind its rarely used lines, drawn around each line R.
    virtual bool HasSubMenuSideStrip() const { return false; }
    virtual void DrawSubMenuSideStrip(BarPaintView&, ItemPaintView&, int /*Offset*/, int /*Index*/,
                                      const SideStripLine&, const RECT&, HDC) const {}
    // The list a combo drops down: its border width and its border.
    virtual int GetDropDownListBorderSize() const { return 0; }
    virtual void DrawDropDownListBorder(HDC, const RECT&) const {}

    // Edit and combo items. In State, Selected is the hot look and InMenu a line of a menu window.
    // The width a caption of TextWidth takes on a button or beside an edit box.
    virtual int CalcButtonWidth(int TextWidth) const { return TextWidth + 6; }
    // A combo's drop-down button for the width of "0" in the bar's font.
    virtual int CalcComboButtonWidth(int DigitWidth) const { return 2 * DigitWidth - 1; }
    // The text colour and face brush of an item in its state.
    virtual void GetItemColors(ItemPaintView& Control, const ItemState& State, COLORREF& Text,
                               HBRUSH& Brush) const;
    virtual void GetComboButtonColors(ItemPaintView& Control, const ItemState& State, COLORREF& Arrow,
                                      HBRUSH& Brush) const;
    // The drop-down button at the right end of the edit part R, as wide as the control's combo button;
    // its rectangle comes back.
    virtual RECT DrawComboButton(ItemPaintView& Control, HDC DC, const ItemState& State, const RECT& R) const;
    // The box around the text; R shrinks to what lies inside it.
    virtual void DrawEditBorder(ItemPaintView& Control, HDC DC, const ItemState& State, RECT& R) const;
    // The caption left of the box; R.left moves past it.
    virtual void DrawEditCaption(ItemPaintView& Control, HDC DC, const ItemState& State, RECT& R) const;
    virtual void GetEditColors(ItemPaintView& Control, COLORREF& Text, COLORREF& Back) const;
    // The value in the box while no edit window shows it.
    virtual void DrawEditText(ItemPaintView& Control, HDC DC, const std::string& Text, const RECT& R) const;
    // The style bits of an edit item's edit window (WS_CHILD comes from the control).
    virtual DWORD GetEditWindowStyle() const;
    // The text margins of an edit item's inner edit window.
    virtual void SetEditMargins(ItemPaintView&, HWND) const {}
    // The whole text of the edit window selected; Changed: its text was just replaced.
    virtual void SelectAllEditText(ItemPaintView& Control, HWND Wnd, bool Changed) const;
    // One entry of a combo's list; Indented: drawn two pixels lower.
    virtual void DrawComboListItem(HDC DC, const std::string& Text, const RECT& R, bool Indented) const;
    // A filled triangle pointing down in a colour, Width wide at its top edge (X, Y).
    static void DrawTriangle(HDC DC, COLORREF Color, int Width, int X, int Y);
    // The frame of a sizeable drop-down window (Wnd): a one-pixel ring and, when Sizeable, a strip with
    // a size grip at Corner and a close button at its other end, whose rectangles come back in screen
    // coordinates.
    virtual void DrawWindowFrame(HWND Wnd, bool Sizeable, int Corner, RECT& GripRect, RECT& CloseButtonRect,
                                 bool CloseButtonHot, bool CloseButtonPressed) const;
    // The separator gap above a menu line that begins a group; R is the gap.
    virtual void DrawMenuSeparator(ItemPaintView& Control, HDC DC, const RECT& R) const;

    // Menu windows. The window's border is one pixel wide; the painter's border size counts it and the
    // margin inside it.
    virtual int GetSubMenuBorderSize() const { return 3; }
    virtual int GetSubMenuSeparatorHeight() const { return 10; }
    virtual int GetSubMenuBottomSpace() const { return 2; }
    virtual HBRUSH GetSubMenuBkBrush() const;
    virtual void DeflateSubMenuRect(RECT& R) const;
    // From the text line height: the menu line height, the check column, the arrow part of drop-down
    // lines and the glyph width.
    virtual void CalcSubMenuMetrics(BarPaintView& SubMenu, int TextHeight, int& LineHeight, int& CheckWidth,
                                    int& ArrowWidth, int& GlyphWidth) const;
    // Where the lines go (client coordinates); MaxBottom: how far down they may reach.
    virtual RECT CalcSubMenuItemsRect(BarPaintView& SubMenu, bool Unlimited, bool MarkShown,
                                      int& MaxBottom) const;
    // The window's size for the widest line and the lines' total height.
    virtual SIZE CalcSubMenuSize(BarPaintView& SubMenu, int Width, int Height, bool MarkShown) const;
    // The one-pixel border of the window (R: window coordinates).
    virtual void DrawSubMenuBorder(BarPaintView& SubMenu, HDC DC, const RECT& R) const;
    // What is not a line: the scroll arrows, the space under the last line, the expand button.
    virtual void DrawSubMenuFrame(BarPaintView& SubMenu, HDC DC, const SubMenuParts& Parts) const;
    virtual void DrawScrollArrow(BarPaintView& SubMenu, HDC DC, bool Up, const RECT& R) const;
    virtual void DrawExpandArrows(BarPaintView& SubMenu, HDC DC, bool Hot, const RECT& R) const;
    // The tear-off strip: its height, and its face with the grip (R: the strip, window coordinates).
    virtual int GetSubMenuDetachHeight(BarPaintView& SubMenu) const;
    virtual void FillDetachCaption(BarPaintView& SubMenu, HDC DC, const RECT& R) const;

    // The painter's singleton for a style.
    static const TdxBarItemControlPainter& Of(const TdxBarManager* Manager);

protected:
    // Text extent of Text in the bar window's font.
    static SIZE TextExtent(BarPaintView& Bar, const std::string& Text);
};

// The base style's painter, used by styles not built here.
const TdxBarItemControlPainter& BaseBarPainter();

} // namespace bars

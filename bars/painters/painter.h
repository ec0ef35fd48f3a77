#pragma once
// The painter of bar windows and item controls: one immutable object per style, whose operations take
// the window or control and the DC, draw, and put back every object they selected. The base class
// holds the behaviour every style inherits; the styles override what differs.
//
// The operations are declared in the order of the painter's interface, and every style lays its
// overrides out in the same order; the styles' own operations follow the last one.
#include <string>

#include "bars/core/bar_views.h"
#include "bars/painters/paint_views.h"
#include "platform/gdi/syscolors.h"
#include "platform/rtl/colors.h"

namespace bars {

class TdxBarItemControlPainter : public Painter {
public:
    // Pieces of glyphs and check marks, colours, bar-window parts.
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
    virtual void GetEditColors(ItemPaintView& Control, COLORREF& Text, COLORREF& Back) const;
    virtual TColor GetFadedGlyphColor(BarPaintView& Bar) const;
    virtual void GetTextColors(bool Enabled, bool FlatColors, bool Selected, COLORREF& Shadow,
                               COLORREF& Text) const;
    virtual bool IsGlyphBackgroundPlain() const { return false; }
    // Menu lines span the glyph column too.
    virtual bool IsSubMenuItemWide() const { return false; }
    // A pressed sub-item keeps its caption in place (else it moves by one pixel down and right).
    virtual bool NoPressedTextShift(ItemPaintView& Control) const;
    virtual bool IsMarkSmall(BarPaintView&, const RECT& R) const { return R.bottom - R.top < 17; }
    virtual TColor GetCaptionColor(BarPaintView& Bar, bool Active) const;
    virtual TColor GetCaptionTextColor(BarPaintView&) const { return clCaptionText; }
    virtual TColor GetCaptionMarkGlyphColor(BarPaintView& Bar, int MarkState) const;
    // The size grip of a toolbar in R over its background.
    virtual void DrawBarSizeGrip(BarPaintView& Bar, HDC DC, HBRUSH Brush, const RECT& R) const;
    virtual void DrawCaptionMarkGlyph(BarPaintView& Bar, HDC DC, const RECT& R) const;
    // One chevron of the end mark at P (an x on a horizontal bar, a y on a vertical one).
    virtual void DrawMarkArrow(BarPaintView&, HDC, int /*P*/, const RECT&) const {}
    virtual void DrawMarkBackground(BarPaintView&, HDC, HBRUSH, const RECT&) const {}
    virtual void DrawMarkArrows(BarPaintView& Bar, HDC DC, const RECT& R) const;
    virtual int GetCaptionTextLeft(BarPaintView& Bar) const;
    virtual int GetMarkArrowColorIndex(BarPaintView&) const { return COLOR_BTNTEXT; }
    // A filled triangle pointing down in a colour, Width wide at its top edge (X, Y).
    virtual void DrawDropDownTriangle(HDC DC, COLORREF Color, int Width, int X, int Y) const;
    virtual void DrawScrollArrow(BarPaintView& SubMenu, HDC DC, bool Up, const RECT& R) const;
    virtual void DrawExpandArrows(BarPaintView& SubMenu, HDC DC, bool Hot, const RECT& R) const;
    // Where the customizing window's list draws an edit item's text.
    virtual void AdjustCustomizingTextRect(RECT&) const {}
    // Text centred on a button face, moved by Offset both ways (a pushed button's).
    virtual void DrawCenteredButtonText(HDC DC, const RECT& R, bool Opaque, const std::string& Text,
                                        int Offset) const;

    // Backgrounds, glyphs, faces and captions of item controls.
    virtual void DrawBackground(ItemPaintView& Control, HDC DC, bool UseBrush, HBRUSH Brush,
                                const RECT& R) const;
    // Only the one-pixel ring along the inside of R.
    virtual void FrameBackground(ItemPaintView& Control, HDC DC, bool UseBrush, HBRUSH Brush,
                                 const RECT& R) const;
    // An etched or shadow line standing for a disabled dot or rule.
    virtual void DrawSeparatorLine(HDC DC, const RECT& R) const;
    // Area: where the picture is centred; Frame: where the hot or pressed frame goes (the area when empty).
    virtual void DrawGlyph(ItemPaintView& Control, HDC DC, const RECT& Area, const ItemState& State,
                           const RECT* Frame) const;
    // The brush, background, picture (or check mark) and frame of a glyph whose place DrawGlyph found:
    // Image is the picture's rectangle, Frame the frame's; NoImage draws the check glyph instead.
    virtual void DrawGlyphCore(ItemPaintView& Control, HDC DC, const RECT& Area, const RECT& Image,
                               const ItemState& State, const RECT* Frame, bool NoImage) const;
    // A whole menu line of a button: background, glyph column and caption.
    virtual void DrawButtonBackground(ItemPaintView&, HDC, const ItemState&, const RECT&) const {}
    // Text with its "&" prefix, in the control's bar font; Alignment 0 left, 1 centre, 2 right.
    virtual void DrawItemText(ItemPaintView& Control, HDC DC, const std::string& Text, const RECT& R,
                              int Alignment, bool Enabled, bool Selected, bool Clipped, bool Flat) const;
    virtual void DrawLoweredFrame(ItemPaintView&, HDC, RECT&) const {}
    // Style 0 none, 1 sunken, 2 raised, 3 etched, 4 raised and sunken; R shrinks by the rings drawn.
    virtual void DrawBevel(ItemPaintView& Control, HDC DC, int Style, int Width, RECT& R) const;
    // A raised or sunken face (Beveled) or a plain one; R becomes the face inside its ring.
    virtual void DrawBeveledRect(ItemPaintView&, HDC, bool /*Sunken*/, bool /*Beveled*/, RECT&) const {}
    // The text colour and face brush of an item in its state.
    virtual void GetItemColors(ItemPaintView& Control, const ItemState& State, COLORREF& Text,
                               HBRUSH& Brush) const;
    virtual HBRUSH GetButtonBrush(ItemPaintView& Control, int Kind, const ItemState& State) const;
    virtual int GetDownGlyphOffset() const { return 0; }
    // How far a checked picture moves; Pressed: the button is pressed as well.
    virtual int GetCheckedGlyphOffset(bool /*Pressed*/) const { return 0; }
    virtual bool UseFlatTextColors() const { return false; }
    virtual bool IsButtonHotTracked() const { return true; }
    virtual int GetButtonBorderSize() const { return 0; }
    // The width of the glyph column of a menu line (0 on a toolbar).
    virtual int GetSubMenuGlyphIndent(ItemPaintView& Control) const;

    // Bar-window metrics and parts.
    int GetBeforeGripSize() const override { return 0; }
    int GetFloatingBorderWidth() const override;
    int GetFloatingBorderHeight() const override;
    int GetFloatingExtraSize() const override { return 0; }
    int GetGripAreaSize() const override { return 0; }
    virtual int GetGripLineWidth() const { return 3; }
    int CalcButtonArrowWidth(const TdxBarManager* Manager) const override;
    // A size the bar window keeps for whoever asks.
    virtual int GetBarMinWidth(BarPaintView& Bar) const { return Bar.MinWidth(); }
    int GetSeparatorMargin() const override { return 0; }
    // A dock site's background in Dest; Origin is the whole site, Side the edge it lies along, Dock the
    // site itself when the caller has it.
    virtual void DrawDockBackground(HDC DC, const RECT& Dest, const RECT& Origin, TColor Color, HBRUSH Brush,
                                    TdxBarDockingStyle Side, DockPaintView* Dock) const;
    // The frame (and the face it carries) comes before the picture, which then draws no background.
    virtual bool IsGlyphFrameDrawnFirst() const { return false; }
    virtual bool IsMenuJoinedToItem() const { return false; }
    virtual HBRUSH GetManagerBrush(const TdxBarManager* Manager) const;
    // A docked toolbar's background as its dock site shows it, in R (client coordinates); Origin: where
    // the toolbar's client area starts in the site.
    virtual void DrawBarBitmapBackground(BarPaintView& Bar, HDC DC, TColor Color, HBRUSH Brush, POINT Origin,
                                         const RECT& R) const;
    // A bar window's own background in R (client coordinates): its brush, or the style's shading.
    virtual void DrawBarBackground(BarPaintView& Bar, HDC DC, const RECT& R, HBRUSH Brush) const;
    // What of the window's non-client area the border leaves (window coordinates).
    virtual void DrawBarNonClientBackground(BarPaintView& Bar, HDC DC) const;
    virtual bool IsFloatingBarStyle(BarPaintView&) const { return false; }
    virtual HBRUSH GetBarBrush(BarPaintView& Bar) const;
    virtual HBRUSH GetToolbarBrush(BarPaintView& Bar) const { return GetBarBrush(Bar); }
    virtual HBRUSH GetPatternBrush(BarPaintView& Bar) const;
    virtual HBRUSH GetFaceBrush(BarPaintView& Bar) const;
    virtual HBRUSH GetSelectedBrush(BarPaintView& Bar) const;
    // A combo's drop-down button for the width of "0" in the bar's font.
    virtual int CalcComboButtonWidth(int DigitWidth) const { return 2 * DigitWidth - 1; }
    virtual int GetTextHeightMargin() const { return 6; }
    int CalcItemHeight(int TextHeight) const { return GetTextHeightMargin() + TextHeight; }
    virtual bool IsBarHotTracked() const { return false; }
    virtual bool IsMarkAllowed() const { return false; }
    virtual int GetSeparatorLineOffset() const { return (GetSeparatorSize() - 2) / 2; }
    virtual int GetSeparatorSize() const { return 6; }
    // The borders of a docked frame as it is painted.
    virtual RECT GetNonClientBorders(BarPaintView& Bar) const;
    virtual int GetBorderSize() const { return 1; }
    RECT GetDockedBorders(const TdxBar*, TdxBarDockingStyle) const override { return RECT{2, 2, 2, 2}; }
    int GetFloatingCaptionAreaHeight(const TdxBar*) const override { return GetCaptionHeight() + 1; }
    // The band of a filled floating caption.
    virtual void FillCaption(BarPaintView& Bar, HDC DC, HBRUSH Brush, const RECT& R) const;
    // The system's small-caption height.
    int GetCaptionHeight() const;
    // The width the caption strip of a floating toolbar needs to show Bar's caption whole: the text
    // where DrawFloatingCaption writes it, beside the caption mark and the close button.
    int GetFloatingCaptionWidth(BarPaintView& Bar) const;
    virtual bool IsCaptionFilled() const { return false; }
    virtual SIZE GetCaptionButtonSize() const;
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
    // The minimize (0), restore (1) and close (2) buttons of a maximized child on a menu bar.
    virtual void DrawMDIButton(BarPaintView&, int /*Kind*/, bool /*Disabled*/, const RECT&, HDC, bool /*Hot*/,
                               bool /*Pressed*/) const {}
    virtual void DrawSizeGripArea(BarPaintView& Bar, HDC DC, HBRUSH Brush, const RECT& R) const;
    // The bar window's background without a picture.
    virtual void FillBarBackground(BarPaintView& Bar, HDC DC, HBRUSH Brush, const RECT& R) const;
    int GetFloatingSideBorder() const override { return 0; }
    // The end mark's rectangle with what of the border belongs to it (client coordinates).
    virtual RECT CalcMarkRect(BarPaintView& Bar) const { return GetMarkRect(Bar); }
    // The end mark's rectangle in client coordinates (empty in the base style).
    virtual RECT GetMarkRect(BarPaintView&) const { return RECT{0, 0, 0, 0}; }
    // The end mark changed state: a docked bar repaints it later, a floating one its caption mark now.
    virtual void InvalidateMark(BarPaintView& Bar) const;
    int GetFloatingTopBorder() const override { return 0; }
    int GetFloatingBottomBorder() const override { return 0; }
    // The floating caption's close button is the system's own (pressed through HTCLOSE).
    virtual bool HasSystemCaptionButtons() const { return false; }
    virtual bool UseSystemFloatingFrame() const { return false; }
    // A floating toolbar's background in R; Origin is its whole client area.
    virtual void DrawFloatingBackground(BarPaintView& Bar, HDC DC, TColor Color, HBRUSH Brush,
                                        const RECT& Origin, const RECT& R) const;
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
    int GetButtonHeightMargin() const override { return 6; }
    int GetButtonWidthMargin() const override { return 7; }

    // Buttons, edits, combos, sub-items and menu windows.
    virtual void AdjustItemHeight(int&) const {}
    virtual void AdjustItemWidth(int&) const {}
    virtual void DrawDropDownButton(ItemPaintView&, HDC, const ItemState&, bool /*InMenu*/, HBRUSH,
                                    RECT) const {}
    virtual bool IsArrowButtonSeparate() const { return false; }
    // A pressed or down content moves with the face (the caption of a pressed button, a dot row).
    virtual void OffsetPressedContent(const ItemState&, RECT&) const {}
    virtual void OffsetDownRect(bool /*Down*/, RECT&) const {}
    // How a combo's drop-down button is drawn: 1 by the painter's own parts, 0 by the theme's.
    virtual int GetComboButtonKind() const { return 1; }
    // The drop-down button at the right end of the edit part R, as wide as the control's combo button;
    // its rectangle comes back.
    virtual RECT DrawComboButton(ItemPaintView& Control, HDC DC, const ItemState& State, const RECT& R) const;
    virtual void GetComboButtonColors(ItemPaintView& Control, const ItemState& State, COLORREF& Arrow,
                                      HBRUSH& Brush) const;
    // The list a combo drops down: its border width and its border.
    virtual int GetDropDownListBorderSize() const { return 0; }
    virtual void DrawDropDownListBorder(HDC, const RECT&) const {}
    virtual int GetCaptionIndent(ItemPaintView& Control) const;
    // Sub-items on a toolbar: extent across and along the bar.
    virtual int CalcSubItemHeight(ItemPaintView& Control, bool ShowCaption, bool OnMainMenu) const;
    virtual int CalcSubItemWidth(ItemPaintView& Control, bool ShowCaption, bool OnMainMenu) const;
    virtual void DrawSubItem(ItemPaintView& Control, HDC DC, const RECT& R, const ItemState& State,
                             bool ShowCaption, bool OnMainMenu) const;
    // Menu windows. The window's border is one pixel wide; the painter's border size counts it and the
    // margin inside it.
    virtual int GetSubMenuBottomSpace() const { return 2; }
    virtual int GetSubMenuSeparatorHeight() const { return 10; }
    virtual int GetSubMenuBorderSize() const { return 3; }
    // From the text line height: the menu line height, the check column, the arrow part of drop-down
    // lines, the glyph width and the height of the line of the button that shows every item.
    virtual void CalcSubMenuMetrics(BarPaintView& SubMenu, int TextHeight, int& LineHeight, int& CheckWidth,
                                    int& ArrowWidth, int& GlyphWidth, int& MarkHeight) const;
    // Where the lines go (client coordinates); MaxBottom: how far down they may reach.
    virtual RECT CalcSubMenuItemsRect(BarPaintView& SubMenu, bool Unlimited, bool MarkShown,
                                      int& MaxBottom) const;
    // The window's size for the widest line and the lines' total height.
    virtual SIZE CalcSubMenuSize(BarPaintView& SubMenu, int Width, int Height, bool MarkShown) const;
    // The tear-off strip's height.
    virtual int GetSubMenuDetachHeight(BarPaintView& SubMenu) const;
    // What is not a line: the scroll arrows, the space under the last line, the expand button.
    virtual void DrawSubMenuFrame(BarPaintView& SubMenu, HDC DC, const SubMenuParts& Parts) const;
    // A menu window's background in R (client coordinates): the menus' picture, or the style's shading.
    virtual void DrawSubMenuBitmap(BarPaintView& SubMenu, HDC DC, TColor Color, HBRUSH Brush,
                                   const RECT& R) const;
    // The one-pixel border of the window (R: window coordinates).
    virtual void DrawSubMenuBorder(BarPaintView& SubMenu, HDC DC, const RECT& R) const;
    // The ring around the tear-off strip R (window coordinates).
    virtual void DrawSubMenuDetachFrame(BarPaintView& SubMenu, HDC DC, HBRUSH Brush, RECT R) const;
    // The tear-off strip's face with its grip (R: the strip, window coordinates).
    virtual void FillDetachCaption(BarPaintView& SubMenu, HDC DC, const RECT& R) const;
    // The separator gap above a menu line that begins a group; R is the gap.
    virtual void DrawMenuSeparator(ItemPaintView& Control, HDC DC, const RECT& R) const;
    // The band of a recent-items menu behind its rarely used lines, drawn around each line R.
    virtual void DrawSubMenuSideStrip(BarPaintView&, ItemPaintView&, int /*Offset*/, int /*Index*/,
                                      const SideStripLine&, const RECT&, HDC) const {}
    virtual bool HasSubMenuSideStrip() const { return false; }
    // Menu lines drawn in the single-pixel flat look: a rarely used line keeps the menu's own brush
    // instead of taking the lighter rarely used one.
    virtual bool DrawsFlatMenuLines() const { return false; }
    virtual int CalcMenuArrowSize(int Height) const { return (Height - 6) / 2; }
    virtual int GetMenuItemSpacing() const { return 1; }
    virtual void DeflateSubMenuRect(RECT& R) const;
    // The brush a menu's shadow takes for what it shows of the menu (left alone when it has none).
    virtual void DrawSubMenuShadowPart(BarPaintView&, HBRUSH& /*Brush*/) const {}
    virtual HBRUSH GetSubMenuBkBrush() const;
    // An edit item's text as the customizing window's list shows it.
    void DrawEditInCustomizing(TdxBarEdit* Item, TCanvas* Canvas, int Index, const RECT& R,
                               ItemControl* Control) const override;
    // One entry of a combo's list; Indented: drawn two pixels lower.
    void DrawComboListItem(HDC DC, const std::string& Text, const RECT& R, bool Indented) const override;
    // The width a caption of TextWidth takes on a button or beside an edit box.
    virtual int CalcButtonWidth(ItemPaintView& Control, int TextWidth) const;
    // The box around the text; R shrinks to what lies inside it. In State, Selected is the hot look and
    // InMenu a line of a menu window.
    virtual void DrawEditBorder(ItemPaintView& Control, HDC DC, const ItemState& State, RECT& R) const;
    // The caption left of the box; R.left moves past it.
    virtual void DrawEditCaption(ItemPaintView& Control, HDC DC, const ItemState& State, RECT& R) const;
    // The value in the box while no edit window shows it.
    virtual void DrawEditText(ItemPaintView& Control, HDC DC, const std::string& Text, const RECT& R) const;
    // The style bits of an edit item's edit window (WS_CHILD comes from the control).
    virtual DWORD GetEditWindowStyle() const;
    // The text margins of an edit item's inner edit window.
    virtual void SetEditMargins(ItemPaintView&, HWND) const {}
    // The whole text of the edit window selected; Changed: its text was just replaced.
    virtual void SelectAllEditText(ItemPaintView& Control, HWND Wnd, bool Changed) const;

    // Parts of item kinds this library does not make itself: an ellipsis button, a sizeable drop-down
    // window, text buttons, spin buttons, progress bars, track bars and expand lines.
    // The ellipsis button in R; Inner comes back as its face.
    virtual void DrawEllipsisButton(ItemPaintView& Control, HDC DC, bool Hot, bool Down, RECT& Inner,
                                    RECT R) const;
    // R (the drop-down window's rectangle) loses its border ring and, when Adjust, the strip of its size
    // grip on the side Corner (which comes back) gives: Window and Owner in the owner's coordinates.
    virtual void CalcDropDownWindowRect(bool Adjust, const RECT& Window, const RECT& Owner, int& Corner,
                                        RECT& R) const;
    // The frame of a sizeable drop-down window (Wnd): a one-pixel ring and, when Sizeable, a strip with
    // a size grip at Corner and a close button at its other end, whose rectangles come back in screen
    // coordinates.
    virtual void DrawWindowFrame(HWND Wnd, bool Sizeable, int Corner, RECT& GripRect, RECT& CloseButtonRect,
                                 bool CloseButtonHot, bool CloseButtonPressed) const;
    virtual int GetSizeGripHeight() const;
    virtual int GetProgressBorder() const { return 0; }
    virtual void DrawTextButton(BarPaintView& Bar, HDC DC, RECT R, bool Pushed,
                                const std::string& Text) const;
    virtual TColor GetProgressBackColor() const { return clBtnFace; }
    // The upper (Orientation 1) or lower half of R as a spin button, Down when it is pressed, with an
    // arrow Size pixels wide.
    virtual void DrawSpinArrow(ItemPaintView& Control, HDC DC, bool Down, bool Hot, int Orientation, int Size,
                               const RECT& R) const;
    virtual void DrawSpinEditFrame(ItemPaintView& Control, HDC DC, RECT& R) const;
    virtual COLORREF GetProgressBarColor() const;
    virtual int GetProgressStep() const { return 12; }
    // Orientation 2 is vertical; Solid: one bar rather than blocks.
    virtual void DrawProgressBar(ItemPaintView& Control, HDC DC, int Max, int Min, int Position, bool Solid,
                                 int Orientation, TColor Color, const RECT& R) const;
    virtual int GetTrackBarExtra(ItemPaintView&) const { return 0; }
    virtual int GetTrackBarExtra2() const { return 0; }
    virtual HBRUSH GetProgressFrameBrush() const;
    // A line that expands a group: its face, caption and, when enabled, an arrow at its right end.
    virtual void DrawExpandItem(ItemPaintView& Control, HDC DC, const RECT& R, bool Hot, bool First) const;

    // Helpers of this library's windows beyond the interface.
    // Where a floating caption (window coordinates) has its quick-customize mark: 13 pixels at its left.
    virtual RECT GetCaptionMarkRect(const RECT& Caption, bool CanClose) const;
    // The background of a toolbar that stands as a status bar along the form's bottom edge, in R;
    // Whole is its window rectangle in the same coordinates (the picture runs across all of it).
    virtual void DrawStatusBarBackground(BarPaintView& Bar, HDC DC, HBRUSH Brush, const RECT& Whole,
                                         const RECT& R) const;
    // A filled triangle pointing down in a colour, Width wide at its top edge (X, Y).
    static void DrawTriangle(HDC DC, COLORREF Color, int Width, int X, int Y);

    // The painter's singleton for a style.
    static const TdxBarItemControlPainter& Of(const TdxBarManager* Manager);

protected:
    // The picture of a glyph in Image, clipped to Cell, faded or greyed as the state asks.
    void DrawGlyphPicture(ItemPaintView& Control, HDC DC, const ItemState& State, const RECT& Cell,
                          const RECT& ImageRect, HBRUSH Brush) const;
    // The value in the edit box R in the colours given: the item's own drawing, else Text.
    void DrawEditValue(ItemPaintView& Control, HDC DC, const std::string& Text, const RECT& R,
                       COLORREF TextColor, COLORREF BackColor) const;
    // Text extent of Text in the bar window's font.
    static SIZE TextExtent(BarPaintView& Bar, const std::string& Text);
};

// The base style's painter, used by styles not built here.
const TdxBarItemControlPainter& BaseBarPainter();

// The picture a menu window is tiled with: its own when it has one, else the manager's menu picture;
// nullptr when neither holds an image.
TBitmap* SubMenuBackgroundBitmap(BarPaintView& SubMenu);

} // namespace bars

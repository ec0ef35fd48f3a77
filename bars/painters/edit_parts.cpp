// How each style draws edit and combo items: the caption beside the box, the box's border, the value
// shown while no edit window covers it, the drop-down button and the combo's list entries.
#include <string>

#include "bars/core/bar_drawing.h"
#include "bars/core/bar_edit.h"
#include "bars/core/bar_routines.h"
#include "bars/painters/flat_painter.h"
#include "bars/painters/office11_painter.h"
#include "bars/painters/painter.h"
#include "bars/painters/standard_painter.h"
#include "bars/painters/xp_painter.h"
#include "lookandfeel/colors.h"
#include "lookandfeel/office11.h"
#include "lookandfeel/themes.h"
#include "platform/commctrl/std_controls.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/edges.h"
#include "platform/gdi/fonts.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/regions.h"
#include "platform/gdi/scoped.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/syscolors.h"
#include "platform/gdi/text.h"
#include "platform/gdi/theme.h"
#include "platform/graphics/canvas.h"
#include "platform/graphics/graphics_objects.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/window.h"
#include "platform/rtl/wintypes.h"

namespace bars {

using pw::gdi::OwnedObject;
using pw::gdi::SelectedObject;

namespace {

// The button rectangle: the right end of the edit part.
RECT ButtonRect(ItemPaintView& Control, const RECT& R) {
    RECT button = R;
    button.left = R.right - Control.ComboButtonWidth();
    return button;
}

// The arrow's width: half the button's, made odd.
int ArrowWidth(const RECT& R) {
    const int w = (R.right - R.left) / 2;
    return w % 2 == 0 ? w + 1 : w;
}

void FillColumnLeftOf(HDC DC, const RECT& Button, HBRUSH Brush) {
    const RECT column{Button.left - 1, Button.top, Button.left, Button.bottom};
    FillRect(DC, &column, Brush);
}

COLORREF BrushColor(HBRUSH Brush) {
    LOGBRUSH lb{};
    if (Brush != nullptr && GetObject(Brush, sizeof lb, &lb) != 0) return lb.lbColor;
    return GetSysColor(COLOR_BTNFACE);
}

SIZE CaptionExtent(ItemPaintView& Control, HDC DC) {
    const std::string text = StripAmpersands(Control.PaintCaption());
    const SelectedObject font(DC, Control.ParentView().PaintFont());
    SIZE size{0, 0};
    GetTextExtentPoint32(DC, text, &size);
    return size;
}

} // namespace

// The base style.

void TdxBarItemControlPainter::DrawTriangle(HDC DC, COLORREF Color, int Width, int X, int Y) {
    const POINT p[3] = {{X, Y}, {X + Width - 1, Y}, {X + Width / 2, Y + Width / 2}};
    const OwnedObject<HPEN> pen(CreatePen(PS_SOLID, 1, Color));
    const OwnedObject<HBRUSH> brush(CreateSolidBrush(Color));
    const SelectedObject penSel(DC, pen.Get());
    const SelectedObject brushSel(DC, brush.Get());
    Polygon(DC, p, 3);
}

void TdxBarItemControlPainter::GetItemColors(ItemPaintView& Control, const ItemState&, COLORREF& Text,
                                             HBRUSH& Brush) const {
    Text = GetSysColor(COLOR_BTNTEXT);
    Brush = Control.ParentView().BkBrush();
}

void TdxBarItemControlPainter::GetComboButtonColors(ItemPaintView& Control, const ItemState& State,
                                                    COLORREF& Arrow, HBRUSH& Brush) const {
    GetItemColors(Control, State, Arrow, Brush);
}

RECT TdxBarItemControlPainter::DrawComboButton(ItemPaintView& Control, HDC, const ItemState&,
                                               const RECT& R) const {
    return ButtonRect(Control, R);
}

void TdxBarItemControlPainter::DrawEditBorder(ItemPaintView& Control, HDC DC, const ItemState& State,
                                              RECT& R) const {
    HBRUSH background = Control.ParentView().BkBrush();
    if (State.Selected) {
        RECT r = R;
        DrawEdge(DC, &r, BDR_SUNKENOUTER, BF_RECT);
    } else {
        FrameBackground(Control, DC, Control.IsRarelyUsed(), background, R);
    }
    R = Inflated(R, -1, -1);
    HBRUSH inner = State.Enabled ? background : GetSysColorBrush(COLOR_BTNHIGHLIGHT);
    FrameBackground(Control, DC, State.Selected || Control.IsRarelyUsed() || !State.Enabled, inner, R);
    R = Inflated(R, -1, -1);
}

void TdxBarItemControlPainter::DrawEditCaption(ItemPaintView& Control, HDC DC, const ItemState& State,
                                               RECT& R) const {
    BarPaintView& bar = Control.ParentView();
    const bool hot = State.Selected && State.InMenu;
    RECT caption = R;
    caption.right = R.left + 2 + CaptionExtent(Control, DC).cx;
    HBRUSH brush = hot ? GetSelectedBrush(bar) : bar.BkBrush();
    DrawBackground(Control, DC, State.InMenu && (State.Selected || Control.IsRarelyUsed()), brush, caption);
    DrawItemText(Control, DC, Control.PaintCaption(), caption, 2, State.Enabled, hot, false,
                 UseFlatTextColors());
    const RECT gap{caption.right, R.top, caption.right + 4, R.bottom};
    DrawBackground(Control, DC, State.InMenu && Control.IsRarelyUsed(), bar.BkBrush(), gap);
    R.left = gap.right;
}

void TdxBarItemControlPainter::GetEditColors(ItemPaintView& Control, COLORREF& Text, COLORREF& Back) const {
    if (Control.PaintEnabled()) {
        Text = GetSysColor(COLOR_WINDOWTEXT);
        Back = GetSysColor(COLOR_WINDOW);
    } else {
        Text = GetSysColor(COLOR_GRAYTEXT);
        Back = BrushColor(Control.ParentView().BkBrush());
    }
}

void TdxBarItemControlPainter::DrawEditText(ItemPaintView& Control, HDC DC, const std::string& Text,
                                            const RECT& R) const {
    COLORREF text = 0, back = 0;
    GetEditColors(Control, text, back);
    DrawEditValue(Control, DC, Text, R, text, back);
}

void TdxBarItemControlPainter::DrawEditValue(ItemPaintView& Control, HDC DC, const std::string& Text,
                                             const RECT& R, COLORREF text, COLORREF back) const {
    HRGN saved = nullptr;
    bool hadRegion = false;
    SaveClipRegion(DC, saved, hadRegion);
    IntersectClipRect(DC, R.left, R.top, R.right, R.bottom);
    {
        const OwnedObject<HBRUSH> brush(CreateSolidBrush(back));
        FillRect(DC, &R, brush.Get());
        const SelectedObject font(DC, Control.ParentView().PaintFont());
        const COLORREF oldText = SetTextColor(DC, text);
        // The item draws its value itself (an owner-drawn combo its entry), else the text is drawn here.
        const bool drawn = Control.DrawItemValue(DC, R, text, back);
        SetTextColor(DC, oldText);
        if (drawn) {
            RestoreClipRegion(DC, saved, hadRegion);
            return;
        }
        const int oldMode = SetBkMode(DC, TRANSPARENT);
        const COLORREF oldColor = SetTextColor(DC, text);
        // Where the edit window puts its first character: its two-pixel margin.
        RECT r = R;
        r.left += 2;
        DrawText(DC, Text.c_str(), -1, &r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        SetTextColor(DC, oldColor);
        SetBkMode(DC, oldMode);
    }
    RestoreClipRegion(DC, saved, hadRegion);
}

DWORD TdxBarItemControlPainter::GetEditWindowStyle() const {
    return ES_AUTOHSCROLL;
}

void TdxBarItemControlPainter::SelectAllEditText(ItemPaintView&, HWND Wnd, bool) const {
    SendMessage(Wnd, EM_SETSEL, 0, -1);
}

void TdxBarItemControlPainter::DrawEditInCustomizing(TdxBarEdit* Item, TCanvas* Canvas, int Index,
                                                     const RECT& R, ItemControl* Control) const {
    if (Item == nullptr || Canvas == nullptr) return;
    Canvas->FillRect(R);
    TRect r{R.left + 2, R.top, R.right - 2, R.bottom};
    AdjustCustomizingTextRect(r);
    // The control's own text goes with the entry it stands at; any other shows the item's.
    std::string text =
        Control != nullptr && Index == Control->ListIndex() ? Control->EditText() : Item->Text();
    const TBrushStyle style = Canvas->Brush().Style();
    Canvas->Brush().SetStyle(bsClear);
    Canvas->TextRect(r, text, TTextFormat{tfNoPrefix});
    Canvas->Brush().SetStyle(style);
    SetBkMode(Canvas->Handle(), OPAQUE);
}

int TdxBarItemControlPainter::CalcButtonWidth(ItemPaintView&, int TextWidth) const {
    return TextWidth + 6;
}

void TdxBarItemControlPainter::DrawComboListItem(HDC DC, const std::string& Text, const RECT& R,
                                                 bool Indented) const {
    FillRect(DC, &R, static_cast<HBRUSH>(GetCurrentObject(DC, OBJ_BRUSH)));
    TextOut(DC, R.left + 2, R.top + (Indented ? 2 : 0), Text.c_str(), static_cast<int>(Text.size()));
}

// The flat style.

void TdxBarItemControlFlatPainter::GetItemColors(ItemPaintView& Control, const ItemState& State,
                                                 COLORREF& Text, HBRUSH& Brush) const {
    BarPaintView& bar = Control.ParentView();
    Text = GetSysColor(COLOR_BTNTEXT);
    if (!State.Selected) {
        Brush = bar.BkBrush();
    } else if (!State.DroppedDown && !IsHighContrastWhite()) {
        Brush = GetSelectedBrush(bar);
    } else {
        Brush = GetFaceBrush(bar);
        Text = GetSysColor(COLOR_HIGHLIGHTTEXT);
    }
}

void TdxBarItemControlFlatPainter::GetComboButtonColors(ItemPaintView& Control, const ItemState& State,
                                                        COLORREF& Arrow, HBRUSH& Brush) const {
    TdxBarItemControlPainter::GetComboButtonColors(Control, State, Arrow, Brush);
    if (State.InMenu && !State.Selected) Brush = Control.ParentView().BkBrush();
    if (!State.Enabled) Arrow = GetSysColor(COLOR_BTNSHADOW);
}

RECT TdxBarItemControlFlatPainter::DrawComboButton(ItemPaintView& Control, HDC DC, const ItemState& State,
                                                   const RECT& R) const {
    const RECT button = ButtonRect(Control, R);
    COLORREF arrow = 0;
    HBRUSH brush = nullptr;
    GetComboButtonColors(Control, State, arrow, brush);
    RECT inner = Inflated(button, -1, -1);
    if (State.Selected) {
        DrawSelectionFrame(DC, Inflated(button, 1, 1));
        FillRect(DC, &button, brush);
    } else {
        HBRUSH frame = State.Enabled ? GetSysColorBrush(COLOR_BTNHIGHLIGHT) : Control.ParentView().BkBrush();
        FrameRect(DC, &button, frame);
        FillColumnLeftOf(DC, button, frame);
        FillRect(DC, &inner, brush);
        if (State.DroppedDown) OffsetRect(inner, 1, 1);
    }
    const int w = ArrowWidth(inner);
    DrawDropDownTriangle(DC, arrow, w, (inner.left + inner.right - w) / 2,
                         (inner.top + inner.bottom - w / 2) / 2);
    return button;
}

void TdxBarItemControlFlatPainter::DrawEditBorder(ItemPaintView& Control, HDC DC, const ItemState& State,
                                                  RECT& R) const {
    if (State.Selected)
        DrawSelectionFrame(DC, R);
    else if (State.InMenu)
        FrameRect(DC, &R, Control.ParentView().BkBrush());
    else if (State.Enabled)
        FrameBackground(Control, DC, false, Control.ParentView().BkBrush(), R);
    else
        FrameRect(DC, &R, GetSysColorBrush(COLOR_BTNSHADOW));
    R = Inflated(R, -1, -1);
}

void TdxBarItemControlFlatPainter::DrawEditCaption(ItemPaintView& Control, HDC DC, const ItemState& State,
                                                   RECT& R) const {
    BarPaintView& bar = Control.ParentView();
    RECT caption = R;
    caption.right = R.left + CalcButtonWidth(Control, CaptionExtent(Control, DC).cx);
    R.left = caption.right;
    const bool hot = State.Selected && State.InMenu;
    if (hot) {
        RECT frame = caption;
        ++frame.right;
        DrawSelectionFrame(DC, frame);
        const RECT inside = Inflated(frame, -1, -1);
        FillRect(DC, &inside, GetSelectedBrush(bar));
    } else {
        DrawBackground(Control, DC, State.InMenu && Control.IsRarelyUsed(), bar.BkBrush(), caption);
    }
    RECT text = caption;
    text.right -= 5;
    DrawItemText(Control, DC, Control.PaintCaption(), text, 2, State.Enabled, hot, false, true);
}

void TdxBarItemControlFlatPainter::SetEditMargins(ItemPaintView&, HWND Wnd) const {
    RECT window{0, 0, 0, 0};
    GetWindowRect(Wnd, window);
    const RECT format = Inflated(RECT{0, 0, window.right - window.left, window.bottom - window.top}, -2, -2);
    SendMessage(Wnd, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&format));
}

void TdxBarItemControlFlatPainter::SelectAllEditText(ItemPaintView& Control, HWND Wnd, bool Changed) const {
    if (Changed) SendMessage(Wnd, WM_COMMAND, MAKEWPARAM(0, EN_CHANGE), reinterpret_cast<LPARAM>(Wnd));
    TdxBarItemControlPainter::SelectAllEditText(Control, Wnd, Changed);
}

void TdxBarItemControlFlatPainter::DrawComboListItem(HDC DC, const std::string& Text, const RECT& R,
                                                     bool Indented) const {
    TdxBarItemControlPainter::DrawComboListItem(DC, Text, R, Indented);
}

void TdxBarItemControlFlatPainter::DrawDropDownListBorder(HDC DC, const RECT& R) const {
    FrameRect(DC, &R, GetSysColorBrush(COLOR_BTNSHADOW));
    const RECT inner = Inflated(R, -1, -1);
    FrameRect(DC, &inner, GetSysColorBrush(COLOR_WINDOW));
}

// The standard style (and the enhanced one, which draws combos alike).

RECT TdxBarItemControlStandardPainter::DrawComboButton(ItemPaintView& Control, HDC DC, const ItemState& State,
                                                       const RECT& R) const {
    const RECT button = ButtonRect(Control, R);
    COLORREF arrow = 0;
    HBRUSH brush = nullptr;
    GetComboButtonColors(Control, State, arrow, brush);
    HBRUSH frame = nullptr;
    if (State.Selected && State.Enabled) {
        RECT r = button;
        DrawEdge(DC, &r, State.DroppedDown ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
        frame = Control.ParentView().BkBrush();
    } else {
        frame = State.Enabled ? GetSysColorBrush(COLOR_BTNHIGHLIGHT) : Control.ParentView().BkBrush();
        FrameRect(DC, &button, frame);
    }
    FillColumnLeftOf(DC, button, frame);
    RECT inner = Inflated(button, -1, -1);
    FillRect(DC, &inner, brush);
    if (State.DroppedDown) OffsetRect(inner, 1, 1);
    const int w = ArrowWidth(button);
    const int x = (inner.left + inner.right - w) / 2, y = (inner.top + inner.bottom - w / 2) / 2;
    if (State.Enabled) {
        DrawDropDownTriangle(DC, arrow, w, x, y);
    } else {
        DrawDropDownTriangle(DC, GetSysColor(COLOR_BTNHIGHLIGHT), w, x + 1, y + 1);
        DrawDropDownTriangle(DC, GetSysColor(COLOR_BTNSHADOW), w, x, y);
    }
    return button;
}

// The Office 2003 style.

void TdxBarItemControlOffice11Painter::GetItemColors(ItemPaintView& Control, const ItemState& State,
                                                     COLORREF& Text, HBRUSH& Brush) const {
    const TOffice11Colors& colors = Office11Colors();
    BarPaintView& bar = Control.ParentView();
    if (!State.Enabled) {
        Text = ColorToRGB(colors.DisabledTextColor);
        Brush = GetSysColorBrush(COLOR_BTNFACE);
        return;
    }
    Text = ColorToRGB(colors.TextColor);
    if (State.Selected && IsHighContrastWhite())
        Text = RGB(255, 255, 255);
    else if (State.Selected && State.DroppedDown && !IsOffice11XPScheme())
        Text = ColorToRGB(clHighlightText);
    Brush = !State.Selected ? bar.BkBrush() : State.DroppedDown ? GetFaceBrush(bar) : GetSelectedBrush(bar);
}

void TdxBarItemControlOffice11Painter::GetComboButtonColors(ItemPaintView& Control, const ItemState& State,
                                                            COLORREF& Arrow, HBRUSH& Brush) const {
    GetItemColors(Control, State, Arrow, Brush);
    // Outside the hot look the button lies on the bar's own face, framed in it.
    if (!State.Selected)
        Brush = State.Enabled ? Control.ParentView().BkBrush() : GetSysColorBrush(COLOR_WINDOW);
}

RECT TdxBarItemControlOffice11Painter::DrawComboButton(ItemPaintView& Control, HDC DC, const ItemState& State,
                                                       const RECT& R) const {
    const RECT button = ButtonRect(Control, R);
    COLORREF arrow = 0;
    HBRUSH brush = nullptr;
    GetComboButtonColors(Control, State, arrow, brush);
    RECT inner = Inflated(button, -1, -1);
    if (State.Selected) {
        FrameOffice11Rect(DC, Inflated(button, 1, 1));
        TColor c1, c2;
        GetButtonColors(Control.ParentView(), State.DroppedDown, true, c1, c2);
        FillGradientRect(DC, button, c1, false, c2);
    } else {
        FrameRect(DC, &button, brush);
        FillColumnLeftOf(DC, button, brush);
        if (State.Enabled && State.InMenu)
            FillRect(DC, &inner, Office11Brushes().LightBar);
        else
            DrawBackground(Control, DC, false, brush, inner);
        if (State.DroppedDown) OffsetRect(inner, 1, 1);
    }
    const int w = ArrowWidth(inner);
    DrawDropDownTriangle(DC, arrow, w, (inner.left + inner.right - w) / 2,
                         (inner.top + inner.bottom - w / 2) / 2);
    return button;
}

void TdxBarItemControlOffice11Painter::DrawEditBorder(ItemPaintView& Control, HDC DC, const ItemState& State,
                                                      RECT& R) const {
    if (State.Selected)
        FrameOffice11Rect(DC, R);
    else if (!State.Enabled)
        FrameRectByColor(DC, R, Office11Colors().DisabledTextColor);
    else if (State.InMenu)
        FrameRect(DC, &R, Office11Brushes().LightBar);
    else
        FrameBackground(Control, DC, false, Control.ParentView().BkBrush(), R);
    R = Inflated(R, -1, -1);
}

void TdxBarItemControlOffice11Painter::GetEditColors(ItemPaintView& Control, COLORREF& Text,
                                                     COLORREF& Back) const {
    const TOffice11Colors& colors = Office11Colors();
    const bool enabled = Control.PaintEnabled();
    Text = ColorToRGB(enabled ? colors.TextColor : colors.DisabledTextColor);
    Back = GetSysColor(enabled ? COLOR_WINDOW : COLOR_BTNFACE);
}

void TdxBarItemControlOffice11Painter::DrawDropDownListBorder(HDC DC, const RECT& R) const {
    FrameRectByColor(DC, R, Office11Colors().FrameColor);
    FrameRectByColor(DC, Inflated(R, -1, -1), Office11Colors().MenuColor);
}

// The XP style: the combo box and edit classes of the theme.

int TdxBarItemControlXPPainter::CalcComboButtonWidth(int DigitWidth) const {
    const pw::gdi::MemoryDC screen(nullptr);
    SIZE size{0, 0};
    if (GetThemePartSize(OpenTheme(totComboBox), screen.Get(), CP_DROPDOWNBUTTON, 1, nullptr, TS_TRUE,
                         &size) < 0 ||
        size.cx <= 0)
        return TdxBarItemControlPainter::CalcComboButtonWidth(DigitWidth);
    return size.cx;
}

void TdxBarItemControlXPPainter::SetEditMargins(ItemPaintView& Control, HWND Wnd) const {
    FlatBarPainter().SetEditMargins(Control, Wnd);
}

void TdxBarItemControlXPPainter::SelectAllEditText(ItemPaintView& Control, HWND Wnd, bool Changed) const {
    FlatBarPainter().SelectAllEditText(Control, Wnd, Changed);
}

void TdxBarItemControlXPPainter::DrawComboListItem(HDC DC, const std::string& Text, const RECT& R,
                                                   bool Indented) const {
    FlatBarPainter().DrawComboListItem(DC, Text, R, Indented);
}

RECT TdxBarItemControlXPPainter::DrawComboButton(ItemPaintView& Control, HDC DC, const ItemState& State,
                                                 const RECT& R) const {
    const RECT button = ButtonRect(Control, R);
    const int state = !State.Enabled ? 4 : State.DroppedDown ? 3 : State.Selected ? 2 : 1;
    DrawThemeBackground(OpenTheme(totComboBox), DC, CP_DROPDOWNBUTTON, state, &button, nullptr);
    return button;
}

void TdxBarItemControlXPPainter::DrawEditBorder(ItemPaintView& Control, HDC DC, const ItemState& State,
                                                RECT& R) const {
    const int state = !State.Enabled ? ETS_DISABLED : Control.IsReadOnly() ? ETS_READONLY : ETS_NORMAL;
    const HTHEME theme = OpenTheme(totEdit);
    const RECT outer = R;
    RECT content = R;
    if (GetThemeBackgroundContentRect(theme, DC, EP_EDITTEXT, state, &outer, &content) < 0)
        content = Inflated(outer, -1, -1);
    HRGN saved = nullptr;
    bool hadRegion = false;
    SaveClipRegion(DC, saved, hadRegion);
    ExcludeClipRect(DC, content.left, content.top, content.right, content.bottom);
    if (!State.Enabled || State.Selected || State.InMenu)
        DrawThemeBackground(theme, DC, EP_EDITTEXT, state, &outer, nullptr);
    else
        DrawBackground(Control, DC, false, Control.ParentView().BkBrush(), outer);
    RestoreClipRegion(DC, saved, hadRegion);
    R = content;
}

} // namespace bars

namespace bars {

// The Office 2003 style's caption: the flat geometry on the bar's own background, never framed.

void TdxBarItemControlOffice11Painter::DrawEditCaption(ItemPaintView& Control, HDC DC, const ItemState& State,
                                                       RECT& R) const {
    BarPaintView& bar = Control.ParentView();
    RECT caption = R;
    caption.right = R.left + CalcButtonWidth(Control, CaptionExtent(Control, DC).cx);
    R.left = caption.right;
    DrawBackground(Control, DC, State.InMenu && Control.IsRarelyUsed(), bar.BkBrush(), caption);
    RECT text = caption;
    text.right -= 5;
    DrawItemText(Control, DC, Control.PaintCaption(), text, 2, State.Enabled, false, false, true);
    if (Control.ComboButtonWidth() <= 0) return;
    // A drop-down's caption ends in a small triangle, in the gap between the text and the box.
    COLORREF shadow = 0, color = 0;
    GetTextColors(State.Enabled, true, false, shadow, color);
    const int w = 5;
    DrawDropDownTriangle(DC, color, w, text.right, (caption.top + caption.bottom - w / 2) / 2);
}

int TdxBarItemControlOffice11Painter::CalcButtonWidth(ItemPaintView& Control, int TextWidth) const {
    const int width = TdxBarItemControlFlatPainter::CalcButtonWidth(Control, TextWidth);
    return Control.ParentView().IsSubMenu() ? width + GetSubMenuGlyphIndent(Control) + 1 : width;
}

// The XP style's caption and value: the flat geometry without a frame, and the theme's edit colours.

void TdxBarItemControlXPPainter::DrawEditCaption(ItemPaintView& Control, HDC DC, const ItemState& State,
                                                 RECT& R) const {
    BarPaintView& bar = Control.ParentView();
    RECT caption = R;
    caption.right = R.left + CalcButtonWidth(Control, CaptionExtent(Control, DC).cx);
    R.left = caption.right;
    const bool hot = State.Selected && State.InMenu;
    if (hot)
        FillRect(DC, &caption, GetSelectedBrush(bar));
    else
        DrawBackground(Control, DC, State.InMenu && Control.IsRarelyUsed(), bar.BkBrush(), caption);
    RECT text = caption;
    text.right -= 5;
    DrawItemText(Control, DC, Control.PaintCaption(), text, 2, State.Enabled, hot, false, false);
}

void TdxBarItemControlXPPainter::DrawEditText(ItemPaintView& Control, HDC DC, const std::string& Text,
                                              const RECT& R) const {
    const bool enabled = Control.PaintEnabled();
    const int state = enabled ? ETS_NORMAL : ETS_DISABLED;
    const HTHEME theme = OpenTheme(totEdit);
    COLORREF back = GetSysColor(COLOR_WINDOW), text = 0;
    if (!enabled) {
        COLORREF fill = 0;
        if (GetThemeColor(theme, EP_EDITTEXT, state, TMT_FILLCOLOR, &fill) >= 0) back = fill;
    }
    if (GetThemeColor(theme, EP_EDITTEXT, state, TMT_TEXTCOLOR, &text) < 0)
        text = GetSysColor(enabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT);
    DrawEditValue(Control, DC, Text, R, text, back);
}

} // namespace bars

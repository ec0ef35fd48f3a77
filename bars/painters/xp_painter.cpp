// The XP style's painter. Without a theme every theme call draws nothing and measures nothing, so the
// measures below then come back from zeroed sizes; the manager never picks this painter in that case.
#include "bars/painters/xp_painter.h"

#include <algorithm>

#include "bars/core/bar_manager.h"
#include "bars/core/toolbar.h"
#include "bars/painters/flat_painter.h"
#include "bars/painters/paint_steps.h"
#include "bars/painters/standard_painter.h"
#include "lookandfeel/colors.h"
#include "lookandfeel/themes.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/muldiv.h"
#include "platform/gdi/regions.h"
#include "platform/gdi/scoped.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/syscolors.h"
#include "platform/gdi/theme.h"
#include "platform/rtl/wintypes.h"

namespace bars {

namespace {

void Theme(TdxThemeObjectType type, HDC dc, int part, int state, const RECT& r) {
    DrawThemeBackground(OpenTheme(type), dc, part, state, &r, nullptr);
}

// A part's size on the screen DC; zero when the theme has none.
SIZE PartSize(TdxThemeObjectType type, int part, int state, int kind) {
    const pw::gdi::MemoryDC screen(nullptr);
    SIZE size{0, 0};
    if (GetThemePartSize(OpenTheme(type), screen.Get(), part, state, nullptr, kind, &size) < 0)
        size = SIZE{0, 0};
    return size;
}

// The theme's content rectangle of a part drawn in R; R itself when the theme gives none.
RECT ContentOf(TdxThemeObjectType type, int part, const RECT& r) {
    const pw::gdi::MemoryDC screen(nullptr);
    RECT content = r;
    if (GetThemeBackgroundContentRect(OpenTheme(type), screen.Get(), part, 1, &r, &content) < 0) content = r;
    return content;
}

// The content rectangle of a 100 x 100 part.
RECT ContentOf100(TdxThemeObjectType type, int part) {
    const pw::gdi::MemoryDC screen(nullptr);
    const RECT bounds{0, 0, 100, 100};
    RECT content{0, 0, 0, 0};
    if (GetThemeBackgroundContentRect(OpenTheme(type), screen.Get(), part, 1, &bounds, &content) < 0)
        content = RECT{0, 0, 0, 0};
    return content;
}

} // namespace

const TdxBarItemControlXPPainter& XPBarPainter() {
    static const TdxBarItemControlXPPainter* painter = new TdxBarItemControlXPPainter;
    return *painter;
}

int TdxBarItemControlXPPainter::ButtonState(const ItemState& State) {
    if (!State.Enabled) return TS_DISABLED;
    if (State.Pressed) return TS_PRESSED;
    if (State.Down) return TS_CHECKED;
    if (State.Selected) return TS_HOT;
    return TS_NORMAL;
}

TColor TdxBarItemControlXPPainter::GetFadedGlyphColor(BarPaintView& Bar) const {
    pw::gdi::MemoryDC dc(nullptr, 1, 1);
    const RECT r{0, 0, 1, 1};
    FillRect(dc.Get(), &r, GetBarBrush(Bar));
    return BlendColors(static_cast<TColor>(GetPixel(dc.Get(), 0, 0)), clBtnShadow, 70);
}

int TdxBarItemControlXPPainter::GetGripLineWidth() const {
    return PartSize(totRebar, RP_GRIPPER, 1, TS_TRUE).cx;
}

int TdxBarItemControlXPPainter::CalcButtonArrowWidth(const TdxBarManager* Manager) const {
    return TdxBarItemControlPainter::CalcButtonArrowWidth(Manager) + 3;
}

HBRUSH TdxBarItemControlXPPainter::GetBarBrush(BarPaintView& Bar) const {
    TdxBarManager* manager = Bar.Manager();
    return manager != nullptr && manager->XPBrush() != nullptr ? manager->XPBrush()
                                                               : GetSysColorBrush(COLOR_BTNFACE);
}

HBRUSH TdxBarItemControlXPPainter::GetFaceBrush(BarPaintView&) const {
    return GetSysColorBrush(COLOR_BTNFACE);
}

HBRUSH TdxBarItemControlXPPainter::GetSelectedBrush(BarPaintView&) const {
    return GetSysColorBrush(COLOR_HIGHLIGHT);
}

int TdxBarItemControlXPPainter::GetTextHeightMargin() const {
    const RECT content = ContentOf100(totEdit, EP_EDITTEXT);
    return (100 - (content.right - content.left)) + 5;
}

int TdxBarItemControlXPPainter::GetSeparatorSize() const {
    return PartSize(totToolBar, TP_SEPARATOR, 1, TS_MIN).cx;
}

int TdxBarItemControlXPPainter::GetSizeGripSize(const TdxBar*) const {
    return PartSize(totStatus, SP_GRIPPER, 0, TS_TRUE).cx;
}

int TdxBarItemControlXPPainter::GetButtonHeightMargin() const {
    const RECT content = ContentOf100(totToolBar, TP_SPLITBUTTON);
    return 100 - (content.bottom - content.top);
}

void TdxBarItemControlXPPainter::OffsetPressedContent(const ItemState& State, RECT& R) const {
    if (State.Down || State.Pressed) OffsetRect(R, 1, 1);
}

void TdxBarItemControlXPPainter::OffsetDownRect(bool Down, RECT& R) const {
    if (Down) OffsetRect(R, 1, 1);
}

int TdxBarItemControlXPPainter::GetSubMenuSeparatorHeight() const {
    return PartSize(totToolBar, TP_SEPARATORVERT, 1, TS_TRUE).cy;
}

HBRUSH TdxBarItemControlXPPainter::GetSubMenuBkBrush() const {
    return GetSysColorBrush(COLOR_MENU);
}

void TdxBarItemControlXPPainter::DeflateSubMenuRect(RECT& R) const {
    R = Inflated(R, -2, -2);
}

SIZE TdxBarItemControlXPPainter::CalcSubMenuSize(BarPaintView& SubMenu, int Width, int Height,
                                                 bool MarkShown) const {
    SIZE size = FlatBarPainter().CalcSubMenuSize(SubMenu, Width, Height, MarkShown);
    size.cy += 3;
    return size;
}

int TdxBarItemControlXPPainter::GetSubMenuDetachHeight(BarPaintView& SubMenu) const {
    return FlatBarPainter().GetSubMenuDetachHeight(SubMenu) + 1;
}

HBRUSH TdxBarItemControlXPPainter::GetButtonBrush(ItemPaintView& Control, int Kind,
                                                  const ItemState& State) const {
    BarPaintView& bar = Control.ParentView();
    if (Kind == 1 && State.Selected && !State.Down) return GetSelectedBrush(bar);
    return bar.BkBrush();
}

void TdxBarItemControlXPPainter::DrawCheckMark(ItemPaintView& Control, HDC DC, int X, int Y,
                                               int Scale) const {
    FlatBarPainter().DrawCheckMark(Control, DC, X, Y, Scale);
}

void TdxBarItemControlXPPainter::DrawMarkArrows(BarPaintView& Bar, HDC DC, const RECT& R) const {
    FlatBarPainter().DrawMarkArrows(Bar, DC, R);
}

RECT TdxBarItemControlXPPainter::GetMarkRect(BarPaintView& Bar) const {
    return FlatBarPainter().GetMarkRect(Bar);
}

int TdxBarItemControlXPPainter::GetCaptionTextLeft(BarPaintView& Bar) const {
    return FlatBarPainter().GetCaptionTextLeft(Bar);
}

RECT TdxBarItemControlXPPainter::GetCaptionMarkRect(const RECT& Caption, bool CanClose) const {
    return FlatBarPainter().GetCaptionMarkRect(Caption, CanClose);
}

void TdxBarItemControlXPPainter::DrawFloatingBorder(BarPaintView& Bar, HDC DC, HBRUSH Brush, bool Active,
                                                    const RECT& Inner, RECT R) const {
    FlatBarPainter().DrawFloatingBorder(Bar, DC, Brush, Active, Inner, R);
}

void TdxBarItemControlXPPainter::DrawDropDownListBorder(HDC DC, const RECT& R) const {
    FrameRect(DC, &R, GetSysColorBrush(COLOR_BTNSHADOW));
    const RECT inner = Inflated(R, -1, -1);
    FrameRect(DC, &inner, GetSysColorBrush(COLOR_WINDOW));
}

void TdxBarItemControlXPPainter::DrawLoweredFrame(ItemPaintView& Control, HDC DC, RECT& R) const {
    StandardBarPainter().DrawLoweredFrame(Control, DC, R);
}

void TdxBarItemControlXPPainter::DrawGlyphFrame(ItemPaintView& Control, HDC DC, const ItemState& State,
                                                RECT GlyphRect, bool, HBRUSH Brush) const {
    if (State.InMenu && (State.Selected || Control.IsRarelyUsed()) && !State.Down) {
        FillRect(DC, &GlyphRect, Brush);
        return;
    }
    DrawBackground(Control, DC, false, Brush, GlyphRect);
    // The menu bar keeps the flat highlighted look of a menu.
    if (!State.InMenu && NoPressedTextShift(Control) && (State.Selected || State.Pressed || State.Down)) {
        FillRect(DC, &GlyphRect, GetSysColorBrush(COLOR_HIGHLIGHT));
        return;
    }
    Theme(totToolBar, DC, State.DroppedDown ? TP_SPLITBUTTON : TP_BUTTON, ButtonState(State), GlyphRect);
}

void TdxBarItemControlXPPainter::DrawButtonBackground(ItemPaintView& Control, HDC DC, const ItemState& State,
                                                      const RECT& R) const {
    BarPaintView& bar = Control.ParentView();
    const RECT cell{R.left, R.top, R.left + (R.bottom - R.top), R.bottom};
    ItemState glyph = State;
    glyph.InMenu = true;
    DrawGlyph(Control, DC, cell, glyph, nullptr);
    const bool useBrush = State.Selected || Control.IsRarelyUsed();
    const HBRUSH selected = GetSelectedBrush(bar), background = bar.BkBrush();
    DrawBackground(Control, DC, useBrush, State.Selected && !State.Down ? selected : background,
                   RECT{cell.right, R.top, cell.right + 1, R.bottom});
    DrawBackground(Control, DC, useBrush, State.Selected ? selected : background,
                   RECT{cell.right + 1, R.top, R.right, R.bottom});
    DrawItemText(Control, DC, Control.PaintCaption(), RECT{cell.right + 2, R.top, R.right, R.bottom}, 0,
                 State.Enabled, State.Selected, false, false);
}

void TdxBarItemControlXPPainter::DrawDropDownButton(ItemPaintView& Control, HDC DC, const ItemState& State,
                                                    bool InMenu, HBRUSH Brush, RECT R) const {
    DrawBackground(Control, DC, false, Brush, R);
    int state = TS_NORMAL;
    if (!State.Enabled)
        state = TS_DISABLED;
    else if (State.Pressed || State.DroppedDown)
        state = TS_PRESSED;
    else if (State.Selected)
        state = TS_HOT;
    if (InMenu) {
        Theme(totToolBar, DC, TP_BUTTON, state, R);
        DrawButtonArrowSized(DC, R, false, State.Enabled, false, Control.ParentView().ArrowSize(), false);
    } else {
        Theme(totToolBar, DC, TP_SPLITBUTTONDROPDOWN, state, R);
    }
}

void TdxBarItemControlXPPainter::DrawSeparator(BarPaintView& Bar, HDC DC, bool Horizontal, HBRUSH Brush,
                                               RECT R) const {
    Bar.PaintBackground(DC, R, Brush);
    Theme(totToolBar, DC, Horizontal ? TP_SEPARATOR : TP_SEPARATORVERT, 1, R);
}

void TdxBarItemControlXPPainter::DrawMenuSeparator(ItemPaintView& Control, HDC DC, const RECT& R) const {
    BarPaintView& bar = Control.ParentView();
    bar.PaintBackground(DC, R, bar.BkBrush());
    Theme(totToolBar, DC, TP_SEPARATORVERT, 1, R);
}

void TdxBarItemControlXPPainter::DrawDockedBorder(BarPaintView& Bar, HDC DC, HBRUSH, RECT R) const {
    R = Inflated(R, -2, -2);
    TdxBar* bar = Bar.Bar();
    if (bar == nullptr || !bar->CanMove()) return;
    TdxBarManager* manager = Bar.Manager();
    const int before = manager != nullptr ? manager->BeforeGripSize() : GetBeforeGripSize();
    const bool horizontal = Horizontal(Bar);
    if (horizontal) {
        R.left += before;
        R.right = R.left + GetGripLineWidth();
    } else {
        R.top += before;
        R.bottom = R.top + GetGripLineWidth();
    }
    Theme(totRebar, DC, horizontal ? RP_GRIPPER : RP_GRIPPERVERT, 1, R);
}

void TdxBarItemControlXPPainter::DrawMarkBackground(BarPaintView& Bar, HDC DC, HBRUSH Brush,
                                                    const RECT& Rect) const {
    Bar.PaintBackground(DC, Rect, Brush);
    RECT R = Rect;
    TdxBar* bar = Bar.Bar();
    if (bar != nullptr && bar->BorderStyle() == bbsNone) {
        if (Horizontal(Bar))
            R = Inflated(R, -2, 0);
        else
            R = Inflated(R, 0, -2);
    }
    Theme(totToolBar, DC, TP_BUTTON, std::clamp(Bar.MarkState(), 0, 2) + 1, R);
}

void TdxBarItemControlXPPainter::DrawCloseButton(BarPaintView& Bar, HDC DC, const RECT& R) const {
    Theme(totWindow, DC, WP_SMALLCLOSEBUTTON, std::clamp(Bar.CloseButtonState(), 0, 2) + 1, R);
}

void TdxBarItemControlXPPainter::DrawMDIButton(BarPaintView& Bar, int Kind, bool Disabled, const RECT& R,
                                               HDC DC, bool Hot, bool Pressed) const {
    static constexpr int parts[3] = {WP_MDIMINBUTTON, WP_MDIRESTOREBUTTON, WP_MDICLOSEBUTTON};
    const int state = Disabled ? 4 : Hot && Pressed ? 3 : Hot ? 2 : 1;
    Bar.PaintBackground(DC, R, GetBarBrush(Bar));
    Theme(totWindow, DC, parts[std::clamp(Kind, 0, 2)], state, R);
}

void TdxBarItemControlXPPainter::DrawBarSizeGrip(BarPaintView& Bar, HDC DC, HBRUSH Brush,
                                                 const RECT& R) const {
    Bar.PaintBackground(DC, R, Brush);
    Theme(totStatus, DC, SP_GRIPPER, 0, R);
}

void TdxBarItemControlXPPainter::DrawStatusBarBackground(BarPaintView&, HDC DC, HBRUSH, const RECT& Whole,
                                                         const RECT& R) const {
    // The theme's status bar across the whole window, of which R is shown.
    const pw::gdi::SavedDC saved(DC);
    IntersectClipRect(DC, R.left, R.top, R.right, R.bottom);
    Theme(totStatus, DC, 0, 0, Whole);
}

void TdxBarItemControlXPPainter::DrawSubMenuBorder(BarPaintView& SubMenu, HDC DC, const RECT& Rect) const {
    FrameRect(DC, &Rect, GetSysColorBrush(COLOR_BTNSHADOW));
    if (!SubMenu.HasDetachBar()) return;
    RECT R = Inflated(Rect, -1, -1);
    R.bottom = R.top + GetSubMenuDetachHeight(SubMenu) + 1;
    DrawSubMenuDetachFrame(SubMenu, DC, SubMenu.BkBrush(), R);
    FillDetachCaption(SubMenu, DC, Inflated(R, -1, -1));
}

} // namespace bars

namespace bars {

namespace {

// The state of a theme's push-like part: disabled 4, pressed 3, hot 2, else 1.
int PushState(bool enabled, bool pressed, bool hot) {
    return !enabled ? 4 : pressed ? 3 : hot ? 2 : 1;
}

// Paints a theme part only where R and Clip meet.
void ThemeClipped(TdxThemeObjectType type, HDC dc, int part, int state, const RECT& r, const RECT& clip) {
    const pw::gdi::SavedDC saved(dc);
    IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
    Theme(type, dc, part, state, r);
}

} // namespace

void TdxBarItemControlXPPainter::DrawGlyphImage(ItemPaintView& Control, HDC DC, const ItemState& State,
                                                const RECT& Area, const RECT& ImageRect, bool Fits,
                                                HBRUSH Brush) const {
    // The themed frame came first and is the picture's background.
    DrawGlyphPicture(Control, DC, State, Fits ? Inflated(Area, -1, -1) : Area, ImageRect, Brush);
}

bool TdxBarItemControlXPPainter::NoPressedTextShift(ItemPaintView& Control) const {
    BarPaintView& bar = Control.ParentView();
    TdxBar* toolbar = bar.Bar();
    return Control.IsSubItem() && !bar.IsSubMenu() && toolbar != nullptr && toolbar->IsMainMenu();
}

int TdxBarItemControlXPPainter::GetBarMinWidth(BarPaintView& Bar) const {
    return TdxBarItemControlPainter::GetBarMinWidth(Bar) + 3;
}

void TdxBarItemControlXPPainter::DrawDockBackground(HDC DC, const RECT& Dest, const RECT& Origin, TColor,
                                                    HBRUSH, TdxBarDockingStyle Side,
                                                    DockPaintView* Dock) const {
    ThemeClipped(totRebar, DC, 0, 1, Origin, Dest);
    if (Dock == nullptr) return;
    const pw::gdi::SavedDC saved(DC);
    IntersectClipRect(DC, Dest.left, Dest.top, Dest.right, Dest.bottom);
    const bool horizontal = Side == dsTop || Side == dsBottom;
    const HBRUSH light = GetSysColorBrush(COLOR_BTNHIGHLIGHT), dark = GetSysColorBrush(COLOR_BTNSHADOW);
    const int rows = Dock->RowCount();
    for (int i = 0; i < rows; ++i) {
        if (Dock->RowBorderless(i)) continue;
        int from = 0, to = 0;
        Dock->RowExtent(i, from, to);
        // The site's outer rows lean on the form's edge: no line there.
        const bool first = i == 0, last = i == rows - 1;
        const bool lightLine = !(first && (Side == dsTop || Side == dsLeft));
        const bool darkLine = !(last && (Side == dsTop || Side == dsBottom || Side == dsRight));
        if (horizontal) {
            if (lightLine)
                Fill(DC, Origin.left, Origin.top + from, Origin.right, Origin.top + from + 1, light);
            if (darkLine) Fill(DC, Origin.left, Origin.top + to - 1, Origin.right, Origin.top + to, dark);
        } else {
            if (lightLine)
                Fill(DC, Origin.left + from, Origin.top, Origin.left + from + 1, Origin.bottom, light);
            if (darkLine) Fill(DC, Origin.left + to - 1, Origin.top, Origin.left + to, Origin.bottom, dark);
        }
    }
}

HBRUSH TdxBarItemControlXPPainter::GetPatternBrush(BarPaintView& Bar) const {
    return TdxBarItemControlPainter::GetPatternBrush(Bar);
}

void TdxBarItemControlXPPainter::FillCaption(BarPaintView& Bar, HDC DC, HBRUSH, const RECT& R) const {
    TdxBarManager* manager = Bar.Manager();
    const bool active = manager != nullptr && manager->ParentFormActive();
    FillRect(DC, &R, GetSysColorBrush(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
}

SIZE TdxBarItemControlXPPainter::GetCaptionButtonSize() const {
    return PartSize(totWindow, WP_SMALLCLOSEBUTTON, 1, TS_TRUE);
}

void TdxBarItemControlXPPainter::DrawFloatingBackground(BarPaintView&, HDC DC, TColor, HBRUSH,
                                                        const RECT& Origin, const RECT& R) const {
    ThemeClipped(totStatus, DC, 0, 0, Origin, R);
}

RECT TdxBarItemControlXPPainter::CalcSubMenuItemsRect(BarPaintView& SubMenu, bool Unlimited, bool MarkShown,
                                                      int& MaxBottom) const {
    return FlatBarPainter().CalcSubMenuItemsRect(SubMenu, Unlimited, MarkShown, MaxBottom);
}

void TdxBarItemControlXPPainter::DrawSubMenuDetachFrame(BarPaintView& SubMenu, HDC DC, HBRUSH, RECT R) const {
    FrameRect(DC, &R, SubMenu.BkBrush());
}

void TdxBarItemControlXPPainter::DrawSubMenuShadowPart(BarPaintView&, HBRUSH& Brush) const {
    Brush = GetSubMenuBkBrush();
}

int TdxBarItemControlXPPainter::CalcButtonWidth(ItemPaintView&, int TextWidth) const {
    return TextWidth + 11;
}

DWORD TdxBarItemControlXPPainter::GetEditWindowStyle() const {
    return FlatBarPainter().GetEditWindowStyle();
}

void TdxBarItemControlXPPainter::DrawEllipsisButton(ItemPaintView& Control, HDC DC, bool Hot, bool Down,
                                                    RECT& Inner, RECT R) const {
    DrawBackground(Control, DC, false, Control.ParentView().BkBrush(), R);
    Theme(totToolBar, DC, TP_BUTTON, PushState(Control.PaintEnabled(), Down, Hot), R);
    Inner = ContentOf(totToolBar, TP_BUTTON, R);
    const int d = (Inner.right - Inner.left) / 7;
    if (d <= 0) return;
    RECT dot{Inner.left + d, Inner.bottom - 2 * d, Inner.left + 2 * d, Inner.bottom - d};
    OffsetDownRect(Down, dot);
    for (int i = 0; i < 3; ++i) {
        FillRect(DC, &dot, GetSysColorBrush(Control.PaintEnabled() ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
        OffsetRect(dot, 2 * d, 0);
    }
}

void TdxBarItemControlXPPainter::DrawWindowFrame(HWND Wnd, bool Sizeable, int Corner, RECT& GripRect,
                                                 RECT& CloseButtonRect, bool CloseButtonHot,
                                                 bool CloseButtonPressed) const {
    FlatBarPainter().DrawWindowFrame(Wnd, Sizeable, Corner, GripRect, CloseButtonRect, CloseButtonHot,
                                     CloseButtonPressed);
}

int TdxBarItemControlXPPainter::GetSizeGripHeight() const {
    const int grip = PartSize(totStatus, SP_GRIPPER, 0, TS_TRUE).cy;
    return grip > 0 ? grip + 2 : TdxBarItemControlPainter::GetSizeGripHeight();
}

void TdxBarItemControlXPPainter::DrawTextButton(BarPaintView&, HDC DC, RECT R, bool Pushed,
                                                const std::string& Text) const {
    Theme(totToolBar, DC, TP_BUTTON, Pushed ? TS_PRESSED : TS_NORMAL, R);
    DrawCenteredButtonText(DC, ContentOf(totToolBar, TP_BUTTON, R), false, Text, Pushed ? 1 : 0);
}

void TdxBarItemControlXPPainter::DrawSpinArrow(ItemPaintView& Control, HDC DC, bool Down, bool Hot,
                                               int Orientation, int, const RECT& R) const {
    const bool upper = Orientation == 1;
    const int middle = (R.top + R.bottom) / 2;
    const RECT part = upper ? RECT{R.left, R.top, R.right, middle} : RECT{R.left, middle, R.right, R.bottom};
    Theme(totSpin, DC, upper ? SPNP_UP : SPNP_DOWN, PushState(Control.PaintEnabled(), Down, Hot), part);
}

void TdxBarItemControlXPPainter::DrawSpinEditFrame(ItemPaintView& Control, HDC DC, RECT& R) const {
    const int state = !Control.PaintEnabled() ? ETS_DISABLED : ETS_NORMAL;
    const pw::gdi::SavedDC saved(DC);
    ExcludeClipRect(DC, R.left + 1, R.top, R.right - 1, R.bottom);
    Theme(totEdit, DC, EP_EDITTEXT, state, R);
    R.left += 1;
    R.right -= 1;
}

COLORREF TdxBarItemControlXPPainter::GetProgressBarColor() const {
    COLORREF color = 0;
    if (GetThemeColor(OpenTheme(totProgress), PP_CHUNK, 1, TMT_FILLCOLOR, &color) < 0)
        return TdxBarItemControlPainter::GetProgressBarColor();
    return color;
}

int TdxBarItemControlXPPainter::GetProgressStep() const {
    const int chunk = PartSize(totProgress, PP_CHUNK, 1, TS_TRUE).cx;
    return chunk > 0 ? chunk : TdxBarItemControlPainter::GetProgressStep();
}

void TdxBarItemControlXPPainter::DrawProgressBar(ItemPaintView&, HDC DC, int Max, int Min, int Position,
                                                 bool Solid, int Orientation, TColor, const RECT& R) const {
    const bool vertical = Orientation == 2;
    Theme(totProgress, DC, vertical ? PP_BARVERT : PP_BAR, 1, R);
    const RECT inner = ContentOf(totProgress, vertical ? PP_BARVERT : PP_BAR, R);
    const int length = vertical ? inner.bottom - inner.top : inner.right - inner.left;
    const int range = Max - Min;
    const int filled = range > 0 ? std::clamp(MulDiv(length, Position - Min, range), 0, length) : 0;
    const int part = vertical ? PP_CHUNKVERT : PP_CHUNK;
    const int step = Solid ? std::max(filled, 1) : GetProgressStep();
    for (int at = 0; at < filled; at += step) {
        const int end = std::min(at + step, filled);
        const RECT chunk = vertical ? RECT{inner.left, inner.bottom - end, inner.right, inner.bottom - at}
                                    : RECT{inner.left + at, inner.top, inner.left + end, inner.bottom};
        Theme(totProgress, DC, part, 1, chunk);
    }
}

} // namespace bars

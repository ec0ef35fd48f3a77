// The toolbar window's life beside its form's: bars come back when the form's window is made again, and
// the hot mark of a floating toolbar goes cold once the pointer is no longer over it, however it left.
// Where a dragged link lands, the pictures and colours behind a toolbar, and a floating one's alpha.
#include <gtest/gtest.h>

#include <chrono>

#include "bar_windows_fixture.h"
#include "bars/core/backgrounds.h"
#include "bars/core/hint_window.h"
#include "bars/core/item_registry.h"
#include "bars/painters/painter.h"
#include "bars/windows/bar_hints.h"
#include "lookandfeel/themes.h"
#include "platform/gdi/drawing_theme.h"
#include "platform/gdi/surface.h"
#include "platform/gdi/syscolors.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"
#include "platform/graphics/graphics_types.h"
#include "platform/gui/input.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/paint.h"
#include "platform/gui/window.h"
#include "platform/rtl/colors.h"
#include "tests/support/wait.h"

namespace bars_windows_test {
namespace {

TEST_F(BarWindowsTest, BarsShowAgainWhereTheyWereWhenTheFormsWindowIsMadeAgain) {
    // The new window is not active yet: floating bars show all the same.
    manager->SetHideFloatingBarsWhenInactive(false);
    TdxBarButton* open = Button("&Open");
    TdxBar* docked = Toolbar("Tools", {open});
    TdxBar* floating = Toolbar("Floating", {Button("&Save")}, dsNone);
    TdxBar* hidden = Toolbar("Hidden", {Button("&Help")}, dsTop, 1);
    hidden->SetVisible(false);
    Pump();
    RECT before{};
    GetWindowRect(Window(docked)->Handle(), before);
    const HWND oldForm = form.Handle();

    form.RecreateWnd();
    Pump();
    ASSERT_NE(form.Handle(), oldForm);
    EXPECT_TRUE(IsWindowVisible(form.Handle()));
    EXPECT_TRUE(IsWindowVisible(Site(dsTop)->Handle()));
    EXPECT_FALSE(manager->HasBarsToShow());
    for (TdxBar* bar : {docked, floating}) {
        ASSERT_TRUE(bar->Visible()) << bar->Caption();
        ASSERT_NE(Window(bar), nullptr) << bar->Caption();
        EXPECT_TRUE(IsWindow(Window(bar)->Handle())) << bar->Caption();
        EXPECT_TRUE(IsWindowVisible(Window(bar)->Handle())) << bar->Caption();
    }
    // A bar hidden before stays hidden.
    EXPECT_FALSE(hidden->Visible());
    EXPECT_EQ(docked->DockingStyle(), dsTop);
    EXPECT_EQ(GetParent(Window(docked)->Handle()), Site(dsTop)->Handle());
    EXPECT_EQ(GetParent(Site(dsTop)->Handle()), form.Handle());
    EXPECT_EQ(floating->DockingStyle(), dsNone);
    RECT after{};
    GetWindowRect(Window(docked)->Handle(), after);
    EXPECT_EQ(after.right - after.left, before.right - before.left);
    EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);
    // And they work.
    Press(Centre(open, docked));
    Release(Centre(open, docked));
    EXPECT_EQ(Clicks(open), 1);
}

TEST_F(BarWindowsTest, AFloatingToolbarsHotMarkSaysMoreButtonsAndGoesColdWhenThePointerIsNotOverIt) {
    TdxBar* bar = Toolbar("Floating", {Button("&Save")}, dsNone);
    bar->SetAllowQuickCustomizing(true);
    bars::TdxBarControl* window = Window(bar);
    ASSERT_TRUE(window->IsMarkVisible());
    RECT frame{};
    GetWindowRect(window->Handle(), frame);
    RECT mark = window->CaptionMarkRect();
    ASSERT_FALSE(IsRectEmpty(mark));
    OffsetRect(mark, frame.left, frame.top);
    MoveTo(POINT{(mark.left + mark.right) / 2, (mark.top + mark.bottom) / 2});
    EXPECT_EQ(window->MarkState(), 1);
    EXPECT_TRUE(testsupport::WaitUntil(
        [&] {
            Pump();
            return bars::IsHintShown();
        },
        std::chrono::milliseconds(5000), std::chrono::milliseconds(0)));
    EXPECT_EQ(bars::BarHintWindow()->Caption(), "More Buttons");
    // The toolbar hides under the pointer: no window tells it the pointer left.
    ShowWindow(window->Handle(), SW_HIDE);
    EXPECT_TRUE(testsupport::WaitUntil(
        [&] {
            Pump();
            return window->MarkState() == 0;
        },
        std::chrono::milliseconds(5000), std::chrono::milliseconds(0)));
    bars::CancelHint();
}

TEST_F(BarWindowsTest, ADroppedLinkLandsBeforeOrAfterTheControlUnderItOrAtTheEndOfItsRow) {
    TdxBarButton *open = Button("&Open"), *save = Button("&Save"), *help = Button("&Help");
    TdxBar* bar = Toolbar("Tools", {open, save, help});
    bar->SetWholeRow(true);
    bar->ItemLinks()->Items(1)->SetBeginGroup(true);
    Pump();
    bars::TdxBarControl* window = Window(bar);
    const RECT o = Control(open, bar)->Bounds(), s = Control(save, bar)->Bounds();
    const RECT h = Control(help, bar)->Bounds();
    const int y = (o.top + o.bottom) / 2;
    bool outside = true, vertical = true, before = false;
    EXPECT_EQ(window->GetDropTarget(POINT{o.left + 2, y}, outside, vertical, before), Control(open, bar));
    EXPECT_TRUE(before);
    EXPECT_FALSE(outside);
    EXPECT_FALSE(vertical);
    EXPECT_EQ(window->GetDropTarget(POINT{o.right - 2, y}, outside, vertical, before), Control(open, bar));
    EXPECT_FALSE(before);
    // On the separator before Save: Save's, outside its place.
    ASSERT_GT(s.left, o.right);
    EXPECT_EQ(window->GetDropTarget(POINT{o.right + 1, y}, outside, vertical, before), Control(save, bar));
    EXPECT_TRUE(outside);
    EXPECT_TRUE(before);
    // The empty rest of the row: after its last control.
    EXPECT_EQ(window->GetDropTarget(POINT{h.right + 20, y}, outside, vertical, before), Control(help, bar));
    EXPECT_FALSE(before);
    EXPECT_FALSE(outside);
    EXPECT_EQ(window->GetDropTarget(POINT{-3, y}, outside, vertical, before), nullptr);

    // Docked at a side the halves are upper and lower.
    TdxBarButton* side = Button("&Side");
    TdxBar* column = Toolbar("Column", {side}, dsLeft);
    const RECT c = Control(side, column)->Bounds();
    EXPECT_EQ(
        Window(column)->GetDropTarget(POINT{(c.left + c.right) / 2, c.bottom - 2}, outside, vertical, before),
        Control(side, column));
    EXPECT_TRUE(vertical);
    EXPECT_FALSE(before);
}

// A 4 x 4 checker of red and lime.
void Checker(TBitmap& picture) {
    picture.SetSize(4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            picture.Canvas().SetPixel(x, y, (x + y) % 2 == 0 ? clRed : clLime);
}

TEST_F(BarWindowsTest, BehindItsControlsAToolbarShowsItsPictureTheManagersOrItsColour) {
    TdxBarButton* open = Button("&Open");
    TdxBar* bar = Toolbar("Tools", {open});
    bar->SetWholeRow(true);
    Pump();
    HWND window = Window(bar)->Handle();
    RECT frame{};
    GetWindowRect(window, frame);
    const RECT button = Control(open, bar)->ScreenRect();
    // Window coordinates of an empty point after the button, and what is shown there.
    const int x = button.right + 30 - frame.left, y = (button.top + button.bottom) / 2 - frame.top;
    auto shown = [&](int dx) {
        pw::gui::PaintPendingWindows();
        const Surface image = pw::gui::ComposeWindow(form.Handle());
        RECT formRect{};
        GetWindowRect(form.Handle(), formRect);
        const uint32_t argb = image.Pixel(frame.left - formRect.left + x + dx, frame.top - formRect.top + y);
        return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
    };
    auto tile = [&](int dx) { return ColorToRGB((x + dx + y) % 2 == 0 ? clRed : clLime); };
    const COLORREF plain = shown(0);
    TBitmap picture;
    Checker(picture);
    bar->SetBackgroundBitmap(&picture);
    Pump();
    // Tiled from the window's corner.
    EXPECT_EQ(shown(0), tile(0));
    EXPECT_EQ(shown(1), tile(1));
    TBitmap none;
    bar->SetBackgroundBitmap(&none);
    Pump();
    EXPECT_EQ(shown(0), plain);
    manager->Backgrounds()->SetBar(&picture);
    Pump();
    EXPECT_EQ(shown(1), tile(1));
    manager->Backgrounds()->SetBar(nullptr);
    bar->SetColor(clBlue);
    Pump();
    EXPECT_EQ(shown(0), ColorToRGB(clBlue));
}

// A borderless bar across the bottom row is the form's status bar: it shows the style's status-bar
// background, not its own colour; with a border it is a toolbar again.
TEST_F(BarWindowsTest, ABorderlessBarAlongTheBottomShowsTheStatusBarBackground) {
    TdxBarButton* ready = Button("Ready");
    TdxBar* bar = Toolbar("Status", {ready}, dsBottom);
    bar->SetWholeRow(true);
    bar->SetColor(clBlue);
    bar->SetBorderStyle(bbsNone);
    Pump();
    auto shown = [&] {
        pw::gui::PaintPendingWindows();
        const RECT button = Control(ready, bar)->ScreenRect();
        RECT formRect{};
        GetWindowRect(form.Handle(), formRect);
        const uint32_t argb =
            pw::gui::ComposeWindow(form.Handle())
                .Pixel(button.right + 30 - formRect.left, (button.top + button.bottom) / 2 - formRect.top);
        return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
    };
    EXPECT_EQ(shown(), GetSysColor(COLOR_BTNFACE));
    bar->SetBorderStyle(bbsSingle);
    Pump();
    EXPECT_EQ(shown(), ColorToRGB(clBlue));
}

TEST_F(BarWindowsTest, AFloatingToolbarTakesItsBarsTransparencyAndADockedOneIsOpaque) {
    TdxBar* bar = Toolbar("Floating", {Button("&Save")}, dsNone);
    bar->SetAlphaBlendValue(128);
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_NE(GetWindowLong(Window(bar)->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
    ASSERT_TRUE(GetLayeredWindowAttributes(Window(bar)->Handle(), nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 128);
    bar->SetVisible(false);
    bar->SetDockingStyle(dsTop);
    bar->SetVisible(true);
    Pump();
    EXPECT_EQ(GetWindowLong(Window(bar)->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
    bar->SetVisible(false);
    bar->SetDockingStyle(dsNone);
    bar->SetVisible(true);
    Pump();
    ASSERT_TRUE(GetLayeredWindowAttributes(Window(bar)->Handle(), nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 128);
    bar->SetAlphaBlendValue(255);
    EXPECT_EQ(GetWindowLong(Window(bar)->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
}

// A control whose width can be dragged while customizing, as an edit's.
class SizableControl : public bars::TdxBarButtonControl {
public:
    using TdxBarButtonControl::TdxBarButtonControl;
    bool CanSizeWidth() const override { return true; }
    int MinSizingWidth() const override { return 30; }
    int GetWidth() const override { return Link()->UserWidth() > 0 ? Link()->UserWidth() : 80; }
};

struct SizableButtons {
    SizableButtons() {
        SetBarItemControlClass("TdxBarButton",
                               [](TdxBarItemLink* link) -> std::unique_ptr<bars::ItemControl> {
                                   return std::make_unique<SizableControl>(link);
                               });
    }
    ~SizableButtons() { SetBarItemControlClass("TdxBarButton", &bars::CreateButtonControl); }
};

TEST_F(BarWindowsTest, WhileCustomizingAControlsWidthIsDraggedAtItsEndsAndNeverBelowItsLeast) {
    const SizableButtons sizable;
    TdxBarButton* edit = Button("Edit");
    TdxBar* bar = Toolbar("Tools", {edit, Button("Next")});
    TdxBarItemLink* link = bar->ItemLinks()->Items(0);
    manager->ToolbarsPopupClick(1000);
    ASSERT_TRUE(manager->IsCustomizing());
    auto select = [&] {
        Window(bar)->SetSelectedItemControl(Control(edit, bar));
        return Control(edit, bar)->ScreenRect();
    };
    RECT r = select();
    const int y = (r.top + r.bottom) / 2;
    // The middle sizes nothing.
    Press(POINT{(r.left + r.right) / 2, y});
    MoveTo(POINT{r.right + 40, y});
    Release(POINT{r.right + 40, y});
    EXPECT_EQ(link->UserWidth(), 0);
    // Its right end, pulled 20 pixels further.
    r = select();
    Press(POINT{r.right - 3, y});
    EXPECT_EQ(GetCapture(), Window(bar)->Handle());
    MoveTo(POINT{r.right + 17, y});
    EXPECT_EQ(link->UserWidth(), 0);
    Release(POINT{r.right + 17, y});
    EXPECT_EQ(link->UserWidth(), 100);
    EXPECT_EQ(GetCapture(), nullptr);
    // Its left end pulled past its right one: it stops at its least width.
    r = select();
    EXPECT_EQ(r.right - r.left, 100);
    Press(POINT{r.left + 2, y});
    MoveTo(POINT{r.right + 50, y});
    Release(POINT{r.right + 50, y});
    EXPECT_EQ(link->UserWidth(), 30);
}

TEST_F(BarWindowsTest, AFloatingToolbarsCloseButtonClosesItOnlyWhenReleasedOverIt) {
    TdxBar* bar = Toolbar("Floating", {Button("&Save")}, dsNone);
    const HWND window = Window(bar)->Handle();
    RECT frame{};
    GetWindowRect(window, frame);
    const RECT close = Window(bar)->CloseButtonRect();
    const POINT over{frame.left + (close.left + close.right) / 2, frame.top + (close.top + close.bottom) / 2};
    const LPARAM at = MAKELPARAM(over.x, over.y);
    // The press loop reads the posted messages: moved off the button before the release, nothing closes.
    SetCursorPos(frame.left + 2, frame.bottom - 2);
    PostMessage(window, WM_NCMOUSEMOVE, HTBORDER, 0);
    PostMessage(window, WM_LBUTTONUP, 0, 0);
    SendMessage(window, WM_NCLBUTTONDOWN, HTCLOSE, at);
    EXPECT_TRUE(bar->Visible());
    EXPECT_EQ(GetCapture(), nullptr);
    // Released where it was pressed, it closes.
    SetCursorPos(over.x, over.y);
    PostMessage(window, WM_LBUTTONUP, 0, 0);
    SendMessage(window, WM_NCLBUTTONDOWN, HTCLOSE, at);
    EXPECT_FALSE(bar->Visible());
}

// A toolbar with no commands yet (one just made in the customizing window) stays a button high, docked
// at either edge as floating, so that it can be seen, grabbed and filled.
TEST_F(BarWindowsTest, AnEmptyToolbarIsAButtonHighWhereverItStands) {
    for (const TdxBarDockingStyle style : {dsTop, dsBottom, dsNone}) {
        SCOPED_TRACE(static_cast<int>(style));
        TdxBar* bar = Toolbar("Empty", {}, style);
        Pump();
        ASSERT_NE(Window(bar), nullptr);
        RECT client{};
        GetClientRect(Window(bar)->Handle(), client);
        EXPECT_GE(client.bottom - client.top, manager->ButtonHeight());
        EXPECT_GE(client.right - client.left, manager->ButtonWidth());
        if (style != dsNone) {
            RECT site{};
            GetClientRect(Site(style)->Handle(), site);
            EXPECT_GE(site.bottom - site.top, manager->ButtonHeight());
        }
    }
}

// The close button takes the square at the caption's right end; a painter whose button is smaller (the
// XP style answers its theme's small close button) centres it there, and only it answers as the button.
TEST_F(BarWindowsTest, AFloatingToolbarsCloseButtonIsThePaintersSizeInTheMiddleOfTheCaptionsSquare) {
    TdxBar* bar = Toolbar("Floating", {Button("&Save")}, dsNone);
    const HWND window = Window(bar)->Handle();
    auto square = [&] {
        const auto& painter = bars::TdxBarItemControlPainter::Of(manager);
        RECT frame{};
        GetWindowRect(window, frame);
        const int h = painter.GetCaptionHeight(), bw = painter.GetFloatingBorderWidth();
        const int right = frame.right - frame.left - bw;
        return RECT{right - h, painter.GetFloatingBorderHeight(), right,
                    painter.GetFloatingBorderHeight() + h};
    };
    EXPECT_EQ(Window(bar)->CloseButtonRect(), square());

    pw::gdi::DrawingThemeLayer layer;
    pw::gdi::SetThemeLayer(&layer);
    NotifyThemeChanged();
    manager->SetStyle(bmsXP);
    Pump();
    const SIZE button = bars::TdxBarItemControlPainter::Of(manager).GetCaptionButtonSize();
    const RECT whole = square();
    ASSERT_LT(button.cx, whole.right - whole.left);
    ASSERT_LT(button.cy, whole.bottom - whole.top);
    const RECT close = Window(bar)->CloseButtonRect();
    EXPECT_EQ(close.right - close.left, button.cx);
    EXPECT_EQ(close.bottom - close.top, button.cy);
    EXPECT_EQ(close.left - whole.left, (whole.right - whole.left - button.cx) / 2);
    EXPECT_EQ(close.top - whole.top, (whole.bottom - whole.top - button.cy) / 2);
    RECT frame{};
    GetWindowRect(window, frame);
    // The close button answers either way a painter has it: as the system's or as the toolbar's own.
    auto onClose = [&](int x, int y) {
        const LRESULT answer =
            SendMessage(window, WM_NCHITTEST, 0, MAKELPARAM(frame.left + x, frame.top + y));
        return answer == HTCLOSE || Window(bar)->NCHitCode() == HTCLOSE;
    };
    EXPECT_FALSE(onClose(whole.left, whole.top));
    EXPECT_FALSE(onClose(close.left - 1, close.top));
    EXPECT_TRUE(onClose(close.left, close.top));
    EXPECT_TRUE(onClose(close.right - 1, close.bottom - 1));
    manager->SetStyle(bmsFlat);
    pw::gdi::SetThemeLayer(nullptr);
    NotifyThemeChanged();
}

} // namespace
} // namespace bars_windows_test

// Toolbars docked at the sides of the form: captions that run downwards in a turned font (or stay level
// when the bar does not turn them), buttons measured along the column, a row of caption-only buttons
// as high as a line of text.
#include <gtest/gtest.h>

#include <algorithm>

#include "bar_windows_fixture.h"
#include "bars/core/sub_item.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/fonts.h"
#include "platform/gdi/scoped.h"
#include "platform/gdi/surface.h"
#include "platform/gui/paint.h"
#include "platform/gui/window.h"

namespace bars_windows_test {
namespace {

// The box around the dark (text) pixels inside R (screen coordinates) of the form as composed for the
// screen, in screen coordinates; empty when there are none.
RECT InkBox(HWND root, const RECT& R) {
    const Surface image = pw::gui::ComposeWindow(root);
    RECT window{};
    GetWindowRect(root, window);
    RECT box{R.right, R.bottom, R.left, R.top};
    for (int y = R.top; y < R.bottom; ++y)
        for (int x = R.left; x < R.right; ++x) {
            const uint32_t argb = image.Pixel(x - window.left, y - window.top);
            if (((argb >> 16) & 0xFF) + ((argb >> 8) & 0xFF) + (argb & 0xFF) >= 240) continue;
            box = RECT{std::min<LONG>(box.left, x), std::min<LONG>(box.top, y),
                       std::max<LONG>(box.right, x + 1), std::max<LONG>(box.bottom, y + 1)};
        }
    return IsRectEmpty(box) ? RECT{0, 0, 0, 0} : box;
}

SIZE CaptionExtent(TdxBarManager* manager, const std::string& text) {
    const pw::gdi::MemoryDC dc(nullptr);
    const pw::gdi::SelectedObject font(dc.Get(), manager->FontHandle());
    SIZE size{0, 0};
    GetTextExtentPoint32(dc.Get(), text, &size);
    return size;
}

TEST_F(BarWindowsTest, ASideToolbarTurnsItsCaptionsToRunDownwardsAndLevelWhenItMayNot) {
    TdxBarButton* wide = Button("Wide.");
    TdxBar* bar = Toolbar("Tools", {wide}, dsLeft);
    ASSERT_EQ(bar->DockingStyle(), dsLeft);
    ASSERT_NE(Window(bar), nullptr);
    const SIZE extent = CaptionExtent(manager, "Wide.");
    RECT r = Control(wide, bar)->ScreenRect();
    // The button is as long as its caption and as wide as a line of text.
    EXPECT_GT(r.bottom - r.top, r.right - r.left);
    EXPECT_EQ(r.bottom - r.top, extent.cx + manager->Font()->Size());
    RECT ink = InkBox(form.Handle(), r);
    ASSERT_FALSE(IsRectEmpty(ink));
    EXPECT_NEAR(ink.bottom - ink.top, extent.cx, 2);
    EXPECT_LE(ink.right - ink.left, extent.cy);
    // It begins half the font size below the button's top, centred across the column.
    EXPECT_NEAR(ink.top, r.top + manager->Font()->Size() / 2, 2);
    EXPECT_NEAR((ink.left + ink.right) / 2, (r.left + r.right) / 2, 3);
    // Downwards, not upwards: the full stop ends the run at the bottom, on the baseline's side (left).
    const RECT end = InkBox(form.Handle(), RECT{ink.left, ink.bottom - 2, ink.right, ink.bottom});
    EXPECT_LT(end.right, (ink.left + ink.right) / 2 + 1);

    // Hot, the caption stays where it was.
    MoveTo(Centre(wide, bar));
    EXPECT_TRUE(Control(wide, bar)->IsSelected());
    RECT inside = Control(wide, bar)->ScreenRect();
    InflateRect(inside, -2, -2);
    const RECT hot = InkBox(form.Handle(), inside);
    EXPECT_NEAR(hot.bottom - hot.top, extent.cx, 2);

    // A bar that keeps its captions level writes them across a wider column.
    bar->SetRotateWhenVertical(false);
    Pump();
    r = Control(wide, bar)->ScreenRect();
    EXPECT_GE(r.right - r.left, extent.cx);
    ink = InkBox(form.Handle(), r);
    EXPECT_NEAR(ink.right - ink.left, extent.cx, 2);
    EXPECT_LT(ink.bottom - ink.top, ink.right - ink.left);
}

TEST_F(BarWindowsTest, ARowOfCaptionOnlyButtonsIsAsHighAsTheMenuBarWithLargeIcons) {
    manager->SetLargeIcons(true);
    auto* file = new TdxBarSubItem(&form);
    file->SetCaption("&File");
    TdxBar* menu = Toolbar("Menu", {file});
    TdxBar* tools = Toolbar("Tools", {Button("&Open"), Button("&Save")}, dsTop, 1);
    RECT m{}, t{};
    GetWindowRect(Window(menu)->Handle(), m);
    GetWindowRect(Window(tools)->Handle(), t);
    EXPECT_EQ(t.bottom - t.top, m.bottom - m.top);
    EXPECT_LT(t.bottom - t.top, manager->ButtonHeight());
    // Turned at a side, the column is as wide as the row was high.
    tools->SetVisible(false);
    tools->SetDockingStyle(dsLeft);
    tools->SetVisible(true);
    Pump();
    RECT l{};
    GetWindowRect(Window(tools)->Handle(), l);
    EXPECT_EQ(l.right - l.left, t.bottom - t.top);
}

// The most ink in one row of R (screen coordinates) within the columns [Left, Right).
int MostInkInARow(HWND root, const RECT& R, int Left, int Right) {
    const Surface image = pw::gui::ComposeWindow(root);
    RECT window{};
    GetWindowRect(root, window);
    int most = 0;
    for (int y = R.top; y < R.bottom; ++y) {
        int dark = 0;
        for (int x = Left; x < Right; ++x) {
            const uint32_t argb = image.Pixel(x - window.left, y - window.top);
            if (((argb >> 16) & 0xFF) + ((argb >> 8) & 0xFF) + (argb & 0xFF) < 240) ++dark;
        }
        most = std::max(most, dark);
    }
    return most;
}

TEST_F(BarWindowsTest, ACaptionOnlyButtonInALineHighRowUnderlinesItsAcceleratorInFull) {
    manager->SetLargeIcons(true);
    TdxBarButton* marked = Button("&Open...");
    TdxBarButton* plain = Button("Open...");
    TdxBar* bar = Toolbar("Tools", {marked, plain}, dsTop);
    ASSERT_NE(Window(bar), nullptr);
    const RECT m = Control(marked, bar)->ScreenRect(), p = Control(plain, bar)->ScreenRect();
    ASSERT_LT(m.bottom - m.top, manager->ButtonHeight());
    const RECT mi = InkBox(form.Handle(), m), pi = InkBox(form.Handle(), p);
    ASSERT_FALSE(IsRectEmpty(mi));
    ASSERT_FALSE(IsRectEmpty(pi));
    // Under the O a line runs across the letter; the round letter alone never fills a row.
    const int o = CaptionExtent(manager, "O").cx;
    EXPECT_GE(MostInkInARow(form.Handle(), m, mi.left, mi.left + o - 1), o - 2);
    EXPECT_LT(MostInkInARow(form.Handle(), p, pi.left, pi.left + o - 1), o - 2);
}

} // namespace
} // namespace bars_windows_test

// The Office 2003 painter's docks, menus, tear-off strip, end mark and the parts it draws in its own
// scheme colours.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "bars/core/toolbar.h"
#include "bars/core/toolbars.h"
#include "bars/painters/office11_painter.h"
#include "bars/painters/tests/fake_views.h"
#include "lookandfeel/colors.h"
#include "lookandfeel/office11.h"
#include "platform/gdi/fonts.h"
#include "platform/gdi/stock.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"
#include "platform/graphics/graphics_types.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/messages.h"
#include "platform/gui/window.h"

using namespace bars;
using namespace bars::paint_test;

namespace {

const COLORREF kWhite = 0xFFFFFF;

COLORREF Rgb(TColor c) {
    return ColorToRGB(c);
}

class Office11PartsTest : public ::testing::Test {
protected:
    Office11PartsTest() {
        manager = new TdxBarManager(&form);
        manager->SetStyle(bmsOffice11);
        bar = manager->Bars()->Add();
        view = std::make_unique<FakeBarView>(manager, bar, dsTop);
        menu = std::make_unique<FakeBarView>(manager, nullptr, dsNone, 150, 120);
        menu->subMenu = true;
        item = std::make_unique<FakeItemView>(*view);
        line = std::make_unique<FakeItemView>(*menu);
        const RECT all{0, 0, 220, 80};
        FillRect(dc.Get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    COLORREF At(int x, int y) const { return GetPixel(dc.Get(), x, y); }
    int QqHalfOdd() const {
        const pw::gdi::MemoryDC screen(nullptr);
        const pw::gdi::SelectedObject font(screen.Get(), manager->FontHandle());
        SIZE size{0, 0};
        GetTextExtentPoint32(screen.Get(), std::string("Qq"), &size);
        const int half = size.cy / 2;
        return half % 2 == 0 ? half + 1 : half;
    }
    const TdxBarItemControlOffice11Painter& office = Office11BarPainter();
    const TOffice11Colors& c = Office11Colors();
    PainterTestForm form;
    TdxBarManager* manager = nullptr;
    TdxBar* bar = nullptr;
    std::unique_ptr<FakeBarView> view, menu;
    std::unique_ptr<FakeItemView> item, line;
    pw::gdi::MemoryDC dc{nullptr, 220, 80};
};

TEST_F(Office11PartsTest, LeftAndRightDocksTakeOneEndOfTheGradientEachAndTheOthersAllOfIt) {
    ASSERT_NE(c.DockColor1, c.DockColor2);
    const RECT site{0, 0, 200, 30};
    office.DrawDockBackground(dc.Get(), RECT{0, 0, 200, 30}, site, clNone, nullptr, dsLeft, nullptr);
    EXPECT_EQ(At(0, 5), Rgb(c.DockColor1));
    EXPECT_EQ(At(199, 5), Rgb(c.DockColor1));
    office.DrawDockBackground(dc.Get(), RECT{0, 0, 200, 30}, site, clNone, nullptr, dsRight, nullptr);
    EXPECT_EQ(At(0, 5), Rgb(c.DockColor2));
    EXPECT_EQ(At(199, 5), Rgb(c.DockColor2));
    for (TdxBarDockingStyle side : {dsTop, dsBottom}) {
        office.DrawDockBackground(dc.Get(), RECT{0, 0, 200, 30}, site, clNone, nullptr, side, nullptr);
        EXPECT_EQ(At(0, 5), Rgb(c.DockColor1));
        EXPECT_EQ(At(199, 5), Rgb(c.DockColor2));
        // Across the site, not down it.
        EXPECT_EQ(At(100, 0), At(100, 29));
    }
}

TEST_F(Office11PartsTest, TheTearOffStripIsHalfTheTextHeightMadeOddPlusFive) {
    menu->detachBar = true;
    const int h = QqHalfOdd();
    EXPECT_EQ(office.GetSubMenuDetachHeight(*menu), h + 5);
    EXPECT_EQ(FlatBarPainter().GetSubMenuDetachHeight(*menu), h + 1);
    EXPECT_EQ(BaseBarPainter().GetSubMenuDetachHeight(*menu), h + 3);
}

TEST_F(Office11PartsTest, TheTearOffBorderHasItsExtraRingTheLineUnderItAndTheBandsColumn) {
    menu->detachBar = true;
    const int height = office.GetSubMenuDetachHeight(*menu);
    office.DrawSubMenuBorder(*menu, dc.Get(), RECT{0, 0, 150, 60});
    const COLORREF frame = Rgb(c.FrameColor), face = Rgb(c.MenuColor);
    EXPECT_EQ(At(70, 0), frame);
    EXPECT_EQ(At(0, 30), frame);
    // The ring in the menu's colour, a two-row band at the top and the line under the strip.
    EXPECT_EQ(At(70, 1), face);
    EXPECT_EQ(At(70, 2), face);
    EXPECT_EQ(At(70, height), face);
    EXPECT_EQ(At(148, 5), face);
    EXPECT_EQ(At(2, 5), face);
    // The strip's left column goes on in the glyph band's first colour.
    EXPECT_EQ(At(1, 5), Rgb(c.MenuStripColor1));
    // The tear-off bar itself, between the band and the line.
    EXPECT_EQ(At(70, 3), Rgb(c.DetachColor));
    EXPECT_EQ(At(3, height - 1), Rgb(c.DetachColor));
    EXPECT_EQ(At(1, height + 5), face);
    EXPECT_EQ(At(70, height + 1), kWhite);
    // Beside a side band the strip is framed in the menu's colour all round.
    menu->sideBar = 20;
    office.DrawSubMenuBorder(*menu, dc.Get(), RECT{0, 0, 150, 60});
    EXPECT_EQ(At(1, 5), face);
}

TEST_F(Office11PartsTest, TheGlyphBandDarkensWhileTheRarelyUsedLinesShow) {
    ASSERT_NE(c.MenuStripColor1, c.MenuStripDarkColor1);
    const HBRUSH brush = office.GetSubMenuBkBrush();
    office.DrawSubMenuBitmap(*menu, dc.Get(), clNone, brush, RECT{0, 0, 150, 40});
    EXPECT_EQ(At(0, 10), Rgb(c.MenuStripColor1));
    EXPECT_EQ(At(100, 10), Rgb(c.MenuColor));
    menu->rarelyUsedShown = true;
    office.DrawSubMenuBitmap(*menu, dc.Get(), clNone, brush, RECT{0, 0, 150, 40});
    EXPECT_EQ(At(0, 10), Rgb(c.MenuStripDarkColor1));
    const int right = office.GlyphBandRight(*menu) - 1;
    EXPECT_EQ(At(right, 10), Rgb(c.MenuStripDarkColor2));
    EXPECT_EQ(At(100, 10), Rgb(c.MenuColor));
}

TEST_F(Office11PartsTest, AMenusExtraWidthBesideTheGlyphBandTakesTheBandsLastColour) {
    const int band = office.GlyphBandRight(*menu);
    for (int extra : {0, 6})
        for (bool dark : {false, true}) {
            menu->extraWidth = extra;
            menu->rarelyUsedShown = dark;
            office.DrawSubMenuBitmap(*menu, dc.Get(), clNone, office.GetSubMenuBkBrush(),
                                     RECT{0, 0, 150, 40});
            const TColor last = dark ? c.MenuStripDarkColor2 : c.MenuStripColor2;
            EXPECT_EQ(At(band, 10), Rgb(extra > 0 ? last : c.MenuColor));
            EXPECT_EQ(At(band + extra - 1, 10), Rgb(last));
            EXPECT_EQ(At(band + extra, 10), Rgb(c.MenuColor));
        }
}

TEST_F(Office11PartsTest, ADropDownArrowIsWhiteOnlyWhereItsSelectedPartLiesOnAWhiteFace) {
    // White pixels inside the part's frame, in a menu or on a toolbar.
    auto whites = [&](bool selected, bool inMenu) {
        ItemState state;
        state.Selected = selected;
        const RECT r{10, 10, 24, 32};
        office.DrawDropDownButton(inMenu ? *line : *item, dc.Get(), state, inMenu,
                                  static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)), r);
        int n = 0;
        for (int y = r.top + 1; y < r.bottom - 1; ++y)
            for (int x = r.left + 1; x < r.right - 1; ++x)
                n += At(x, y) == kWhite;
        return n;
    };
    for (bool inMenu : {true, false}) {
        EXPECT_EQ(whites(true, inMenu), 0);
        const ScopedSysColor white(COLOR_BTNFACE, kWhite);
        EXPECT_EQ(whites(false, inMenu), 0);
        EXPECT_GT(whites(true, inMenu), 5) << inMenu;
    }
}

// A dock site with a bitmap the painter keeps its drawing in.
class CachingDock : public DockPaintView {
public:
    TdxBarDockingStyle Side() const override { return dsTop; }
    SIZE SiteSize() const override { return SIZE{200, 30}; }
    int RowCount() const override { return 0; }
    void RowExtent(int, int& From, int& To) const override { From = To = 0; }
    bool RowBorderless(int) const override { return false; }
    TBitmap* PainterCache() override { return &cache; }
    TBitmap cache;
};

TEST_F(Office11PartsTest, TheDockGradientIsDrawnOnceIntoTheSitesBitmapAndCopiedFromIt) {
    CachingDock dock;
    // The site lies 20 pixels left of the DC's origin: the DC's x 60 is the site's 80.
    auto paint = [&] {
        office.DrawDockBackground(dc.Get(), RECT{50, 0, 100, 30}, RECT{-20, 0, 180, 30}, clNone, nullptr,
                                  dsTop, &dock);
        return At(60, 5);
    };
    const COLORREF gradient =
        Rgb(GetGradientColorAt(RECT{0, 0, 200, 30}, 80, c.DockColor1, true, c.DockColor2));
    EXPECT_EQ(paint(), gradient);
    EXPECT_EQ(dock.cache.Width(), 200);
    EXPECT_EQ(At(49, 5), kWhite);
    // Later paints copy the bitmap as it is, until the site empties it.
    dock.cache.Canvas().SetPixel(80, 5, clRed);
    EXPECT_EQ(paint(), Rgb(clRed));
    dock.cache.SetSize(0, 0);
    EXPECT_EQ(paint(), gradient);
}

TEST_F(Office11PartsTest, ADropDownsCaptionEndsInATriangleBesideItsBox) {
    class Combo : public FakeItemView {
    public:
        using FakeItemView::FakeItemView;
        int ComboButtonWidth() const override { return width; }
        int width = 13;
    } combo(*view);
    // The text colour in the five columns between the text and the box, from row 19 (of 10 to 32) on.
    auto rows = [&] {
        RECT box{10, 10, 200, 32};
        office.DrawEditCaption(combo, dc.Get(), ItemState{}, box);
        std::vector<int> counts;
        for (int y = 19; y < 24; ++y) {
            int n = 0;
            for (int x = box.left - 5; x < box.left; ++x)
                n += At(x, y) == Rgb(c.TextColor);
            counts.push_back(n);
        }
        return counts;
    };
    // Pointing down, five wide at its base, centred on the line.
    const std::vector<int> drawn = rows();
    EXPECT_EQ(drawn, (std::vector<int>{0, 5, drawn[2], 1, 0}));
    EXPECT_GT(drawn[2], 0);
    combo.width = 0;
    EXPECT_EQ(rows(), (std::vector<int>{0, 0, 0, 0, 0}));
}

TEST_F(Office11PartsTest, ADropDownArrowPartIsFramedBySeparatorColourOrTheSchemeFrameWithoutAGradient) {
    const HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    ItemState state;
    state.Enabled = true;
    office.DrawDropDownButton(*line, dc.Get(), state, true, black, RECT{10, 10, 24, 32});
    EXPECT_EQ(At(10, 20), Rgb(c.SeparatorColor1));
    EXPECT_EQ(At(23, 12), Rgb(c.SeparatorColor1));
    state.Selected = true;
    office.DrawDropDownButton(*line, dc.Get(), state, true, black, RECT{40, 10, 54, 32});
    EXPECT_EQ(At(40, 20), Rgb(c.FrameColor));
    // The brush, the same at the top and at the bottom.
    EXPECT_EQ(At(42, 11), 0u);
    EXPECT_EQ(At(42, 30), 0u);
    // On a toolbar the unselected part's ring is the bar's face; it starts one pixel further left.
    state.Selected = false;
    office.DrawDropDownButton(*item, dc.Get(), state, false, black, RECT{80, 10, 94, 32});
    EXPECT_EQ(At(79, 20), BrushColor(view->BkBrush()));
    EXPECT_NE(At(79, 20), Rgb(c.SeparatorColor1));
}

TEST_F(Office11PartsTest, TheEndMarkTakesItsPartOfTheRoundedBorder) {
    const RECT flat = FlatBarPainter().GetMarkRect(*view);
    EXPECT_EQ(office.CalcMarkRect(*view), (RECT{flat.left, flat.top - 1, flat.right + 2, flat.bottom + 1}));
    FakeBarView left(manager, bar, dsLeft);
    const RECT side = FlatBarPainter().GetMarkRect(left);
    EXPECT_EQ(office.CalcMarkRect(left), (RECT{side.left - 1, side.top, side.right + 1, side.bottom + 2}));
    bar->SetIsMainMenu(true);
    EXPECT_EQ(office.CalcMarkRect(*view), flat);
    // The main menu's non-client borders lie across its docking direction only.
    EXPECT_EQ(office.GetNonClientBorders(*view), (RECT{0, 2, 0, 2}));
    EXPECT_EQ(office.GetNonClientBorders(left), (RECT{2, 0, 2, 0}));
}

LRESULT CountingWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
int ncPaints = 0;

LRESULT CountingWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCPAINT) ++ncPaints;
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

TEST_F(Office11PartsTest, ADockedMarkRepaintsTheNonClientRingAndAFloatingOneDoesNot) {
    WNDCLASS wc;
    wc.lpfnWndProc = &CountingWndProc;
    wc.lpszClassName = "Office11MarkTestWindow";
    RegisterClass(wc);
    HWND wnd = CreateWindowEx(0, "Office11MarkTestWindow", "", WS_POPUP, 0, 0, 200, 30, nullptr, nullptr,
                              nullptr, nullptr);
    ASSERT_NE(wnd, nullptr);
    view->window = wnd;
    ncPaints = 0;
    office.InvalidateMark(*view);
    EXPECT_EQ(ncPaints, 1);
    FlatBarPainter().InvalidateMark(*view);
    EXPECT_EQ(ncPaints, 1);
    FakeBarView floating(manager, bar, dsNone);
    floating.window = wnd;
    floating.markVisible = true;
    office.InvalidateMark(floating);
    EXPECT_EQ(ncPaints, 1);
    DestroyWindow(wnd);
}

TEST_F(Office11PartsTest, TheExpandLineIsAsHighAsTheSchemesPictureWhichItShowsCentred) {
    int line = 0, check = 0, arrow = 0, glyph = 0, mark = 0;
    office.CalcSubMenuMetrics(*menu, 17, line, check, arrow, glyph, mark);
    EXPECT_EQ(line, 18);
    EXPECT_EQ(check, 20);
    EXPECT_EQ(mark, Office11ExpandBitmapSize().cy + 2);
    FlatBarPainter().CalcSubMenuMetrics(*menu, 17, line, check, arrow, glyph, mark);
    EXPECT_EQ(mark, 18);
    office.DrawExpandArrows(*menu, dc.Get(), false, RECT{10, 10, 60, 20});
    // The picture's first chevron starts at its left edge, one row down, inside the rectangle less 1.
    const int x = (11 + 59 - Office11ExpandBitmapSize().cx) / 2;
    EXPECT_EQ(At(x, 12), Rgb(c.MarkArrowColor));
    EXPECT_EQ(At(x + 3, 12), kWhite);
    EXPECT_EQ(At(x + 3, 14), Rgb(c.MarkArrowColor));
    EXPECT_EQ(At(x, 11), kWhite);
}

TEST_F(Office11PartsTest, ValuesBrushesAndButtonWidthsOfTheScheme) {
    EXPECT_TRUE(office.IsSubMenuItemWide());
    EXPECT_TRUE(office.IsButtonHotTracked());
    EXPECT_EQ(office.CalcButtonWidth(*item, 30), 41);
    EXPECT_EQ(office.CalcButtonWidth(*line, 30), 41 + office.GetSubMenuGlyphIndent(*line) + 1);
    EXPECT_EQ(office.GetTrackBarExtra(*item), 0);
    EXPECT_EQ(office.GetTrackBarExtra(*line), office.GetSubMenuGlyphIndent(*line));
    // A selected line is highlighted across the glyph band.
    line->selected = true;
    EXPECT_EQ(office.GetTrackBarExtra(*line), 0);
    line->selected = false;
    EXPECT_EQ(office.GetProgressBackColor(), c.DockColor1);
    EXPECT_EQ(BrushColor(office.GetProgressFrameBrush()), Rgb(c.FrameColor));
    EXPECT_EQ(BrushColor(office.GetBevelBrush(*item, 1)), Rgb(c.FrameColor));
    ItemState hot;
    hot.Selected = true;
    ItemState pressed = hot;
    pressed.Pressed = true;
    ItemState checked;
    checked.Down = true;
    EXPECT_EQ(BrushColor(office.GetButtonBrush(*item, 0, hot)), Rgb(c.SelectedColor));
    EXPECT_EQ(BrushColor(office.GetButtonBrush(*item, 0, pressed)), Rgb(c.PressedColor));
    EXPECT_EQ(BrushColor(office.GetButtonBrush(*item, 0, checked)), Rgb(c.CheckedColor));
    EXPECT_EQ(office.GetButtonBrush(*line, 1, ItemState{}), menu->BkBrush());
}

TEST_F(Office11PartsTest, BeveledFacesAreHotPressedLightOrDisabled) {
    RECT r{10, 10, 30, 30};
    office.DrawBeveledRect(*item, dc.Get(), true, true, r);
    EXPECT_EQ(r, (RECT{11, 11, 29, 29}));
    EXPECT_EQ(At(10, 20), Rgb(c.FrameColor));
    EXPECT_EQ(At(20, 20), Rgb(c.PressedColor));
    r = RECT{40, 10, 60, 30};
    office.DrawBeveledRect(*item, dc.Get(), false, false, r);
    EXPECT_EQ(At(40, 20), BrushColor(view->BkBrush()));
    EXPECT_EQ(At(50, 20), Rgb(c.LightBarColor));
    item->enabled = false;
    r = RECT{70, 10, 90, 30};
    office.DrawBeveledRect(*item, dc.Get(), false, false, r);
    EXPECT_EQ(At(70, 20), Rgb(c.DisabledTextColor));
    EXPECT_EQ(At(80, 20), GetSysColor(COLOR_BTNFACE));
}

TEST_F(Office11PartsTest, AJointTakesTheBarGradientsEndOnItsSide) {
    // Below a button on a horizontal bar: the lower half, the gradient's second colour.
    const RECT button{10, 10, 40, 32};
    office.DrawDroppedDownFrame(*view, dc.Get(), button, RECT{11, 31, 39, 32});
    EXPECT_EQ(At(20, 31), Rgb(c.BarColor2));
    // Left of a button on a vertical bar whose menu opens leftwards: the first colour.
    office.DrawDroppedDownFrame(*view, dc.Get(), RECT{50, 10, 72, 40}, RECT{50, 11, 51, 39});
    EXPECT_EQ(At(50, 20), Rgb(c.BarColor1));
    EXPECT_EQ(At(71, 20), Rgb(c.FrameColor));
}

TEST_F(Office11PartsTest, AFloatingToolbarsFaceRunsDownTheBarGradient) {
    ASSERT_NE(c.BarColor1, c.BarColor2);
    FakeBarView floating(manager, bar, dsNone, 100, 40);
    office.DrawBarBackground(floating, dc.Get(), RECT{0, 0, 100, 40}, floating.BkBrush());
    EXPECT_EQ(At(50, 0), Rgb(c.BarColor1));
    EXPECT_EQ(At(50, 39), Rgb(c.BarColor2));
    EXPECT_EQ(At(0, 20), At(99, 20));
    // Only the part asked for is painted.
    const RECT all{0, 0, 220, 80};
    FillRect(dc.Get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    office.DrawBarBackground(floating, dc.Get(), RECT{10, 10, 20, 20}, floating.BkBrush());
    EXPECT_EQ(At(9, 15), kWhite);
    EXPECT_NE(At(15, 15), kWhite);
}

} // namespace

// The standard and enhanced painters on a bitmap with the fixed colour table: edges, grips, marks,
// check marks and menu lines, pixel by pixel.
#include <gtest/gtest.h>

#include <memory>

#include "bars/core/toolbar.h"
#include "bars/core/toolbars.h"
#include "bars/painters/standard_painter.h"
#include "bars/painters/tests/fake_views.h"

using namespace bars;
using namespace bars::paint_test;

namespace {

const COLORREF kWhite = 0xFFFFFF;

class StandardPainterTest : public ::testing::Test {
protected:
    StandardPainterTest() {
        manager = new TdxBarManager(&form);
        manager->SetStyle(bmsStandard);
        bar = manager->Bars()->Add();
        bar->SetCaption("Tools");
        view = std::make_unique<FakeBarView>(manager, bar, dsTop);
        item = std::make_unique<FakeItemView>(*view);
        Clear(kWhite);
    }
    void Clear(COLORREF color) {
        const RECT all{0, 0, 220, 60};
        const pw::gdi::OwnedObject<HBRUSH> brush(CreateSolidBrush(color));
        FillRect(dc.Get(), &all, brush.Get());
    }
    COLORREF At(int x, int y) const { return GetPixel(dc.Get(), x, y); }
    static COLORREF Sys(int index) { return GetSysColor(index); }
    const TdxBarItemControlStandardPainter& standard = StandardBarPainter();
    const TdxBarItemControlEnhancedPainter& enhanced = EnhancedBarPainter();
    PainterTestForm form;
    TdxBarManager* manager = nullptr;
    TdxBar* bar = nullptr;
    std::unique_ptr<FakeBarView> view;
    std::unique_ptr<FakeItemView> item;
    pw::gdi::MemoryDC dc{nullptr, 220, 60};
};

TEST_F(StandardPainterTest, EachStyleDrawsWithItsPainterAndCachesItsGripAndSeparatorMetrics) {
    EXPECT_EQ(&TdxBarItemControlPainter::Of(manager), &standard);
    EXPECT_EQ(manager->BeforeGripSize(), 2);
    EXPECT_EQ(manager->GripAreaSize(), 9);
    EXPECT_EQ(manager->SeparatorMargin(), 2);
    EXPECT_EQ(manager->ButtonWidth(), 23);
    EXPECT_EQ(manager->ButtonHeight(), 22);
    manager->SetStyle(bmsEnhanced);
    EXPECT_EQ(&TdxBarItemControlPainter::Of(manager), &enhanced);
    EXPECT_EQ(manager->BeforeGripSize(), 1);
    EXPECT_EQ(manager->GripAreaSize(), 6);
    EXPECT_EQ(manager->SeparatorMargin(), 12);
    // Without visual styles the XP style is drawn by the enhanced painter.
    manager->SetStyle(bmsXP);
    EXPECT_EQ(&TdxBarItemControlPainter::Of(manager), &enhanced);
    EXPECT_FALSE(standard.IsMarkAllowed());
    EXPECT_TRUE(enhanced.IsMarkAllowed());
    EXPECT_EQ(standard.GetMenuItemSpacing(), 2);
    EXPECT_TRUE(standard.UseSystemFloatingFrame());
}

TEST_F(StandardPainterTest, HotGlyphsAreRaisedPressedAndCheckedOnesSunkenAndAPressedGlyphMoves) {
    struct Case {
        ItemState state;
        int topLeft, bottomRight;
    } cases[] = {{{true, false, false, true, false}, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW},
                 {{true, false, true, true, false}, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT},
                 {{false, true, false, true, false}, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT}};
    for (const Case& c : cases) {
        Clear(kWhite);
        const RECT button{10, 10, 33, 32};
        standard.DrawGlyphFrame(*item, dc.Get(), c.state, button, true, view->BkBrush());
        EXPECT_EQ(At(10, 10), Sys(c.topLeft));
        EXPECT_EQ(At(20, 10), Sys(c.topLeft));
        EXPECT_EQ(At(32, 31), Sys(c.bottomRight));
        EXPECT_EQ(At(32, 20), Sys(c.bottomRight));
        // One-pixel edges: the inside is left alone.
        EXPECT_EQ(At(11, 11), kWhite);
    }
    RECT r{0, 0, 10, 10};
    standard.OffsetPressedContent(ItemState{true, false, true, true, false}, r);
    EXPECT_EQ(r.left, 1);
    EXPECT_EQ(r.top, 1);
    // A selected check item shows its mark without a frame.
    Clear(kWhite);
    item->check = true;
    standard.DrawGlyphFrame(*item, dc.Get(), ItemState{true, false, false, true, false, true},
                            RECT{10, 10, 30, 30}, true, view->BkBrush());
    EXPECT_EQ(At(10, 10), kWhite);
}

TEST_F(StandardPainterTest, TheCheckMarkIsRowsOfSilverBlackAndWhiteTimesItsScaleAndEtchedWhenDisabled) {
    for (int f : {1, 2}) {
        Clear(Sys(COLOR_WINDOW) == kWhite ? 0x00FF00 : kWhite);
        const COLORREF ground = At(0, 0);
        const int x = 20, y = 20;
        standard.DrawCheckMark(*item, dc.Get(), x, y, f);
        // Down the middle vertex: f silver rows, 2f black, f white, nothing below.
        for (int k = 0; k < f; ++k)
            EXPECT_EQ(At(x + 3 * f, y + 4 * f + k), 0xC0C0C0u) << f << " " << k;
        for (int k = f; k < 3 * f; ++k)
            EXPECT_EQ(At(x + 3 * f, y + 4 * f + k), 0x000000u) << f << " " << k;
        for (int k = 3 * f; k < 4 * f; ++k)
            EXPECT_EQ(At(x + 3 * f, y + 4 * f + k), kWhite) << f << " " << k;
        EXPECT_EQ(At(x + 3 * f, y + 8 * f), ground);
        EXPECT_EQ(At(x + 3 * f, y + 4 * f - 1), ground);
        // The black core is closed at its left end.
        EXPECT_EQ(At(x + f - 1, y + 3 * f), 0x000000u);
    }
    Clear(0x00FF00);
    item->enabled = false;
    standard.DrawCheckMark(*item, dc.Get(), 20, 20, 1);
    // Shadow rows begin one row lower; the highlight strokes lie below and right of them.
    EXPECT_EQ(At(23, 24), 0x00FF00u);
    EXPECT_EQ(At(23, 25), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(At(23, 26), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(At(24, 27), Sys(COLOR_BTNHIGHLIGHT));
}

TEST_F(StandardPainterTest, TheDockedBorderIsARaisedEdgeWithTwoRaisedGripLinesTwoPixelsIn) {
    const RECT window{0, 0, 200, 30};
    FillRect(dc.Get(), &window, view->BkBrush());
    {
        // The grip lines leave the clip region, as on the bar's own frame paint.
        const pw::gdi::SavedDC saved(dc.Get());
        standard.DrawDockedBorder(*view, dc.Get(), view->BkBrush(), window);
    }
    const COLORREF face = Sys(COLOR_BTNFACE), light = Sys(COLOR_BTNHIGHLIGHT), dark = Sys(COLOR_BTNSHADOW);
    EXPECT_EQ(At(0, 0), light);
    EXPECT_EQ(At(199, 29), dark);
    // Two 3-pixel lines over the whole inner height from x = 2 + 2.
    EXPECT_EQ(At(3, 15), face);
    EXPECT_EQ(At(4, 2), light);
    EXPECT_EQ(At(4, 15), light);
    EXPECT_EQ(At(5, 15), face);
    EXPECT_EQ(At(6, 15), dark);
    EXPECT_EQ(At(7, 15), light);
    EXPECT_EQ(At(9, 15), dark);
    EXPECT_EQ(At(10, 15), face);
    EXPECT_EQ(At(6, 27), dark);
    // Each line's bottom-left corner is light.
    EXPECT_EQ(At(4, 27), light);
    EXPECT_EQ(At(7, 27), light);

    // The enhanced grip: one line 1 pixel in, 1 pixel shorter at both ends.
    manager->SetStyle(bmsEnhanced);
    const RECT other{0, 0, 200, 30};
    FillRect(dc.Get(), &other, view->BkBrush());
    {
        const pw::gdi::SavedDC saved(dc.Get());
        enhanced.DrawDockedBorder(*view, dc.Get(), view->BkBrush(), other);
    }
    EXPECT_EQ(At(3, 2), face);
    EXPECT_EQ(At(3, 3), light);
    EXPECT_EQ(At(4, 15), face);
    EXPECT_EQ(At(5, 15), dark);
    EXPECT_EQ(At(5, 26), dark);
    EXPECT_EQ(At(5, 27), face);
    EXPECT_EQ(At(6, 15), face);
}

TEST_F(StandardPainterTest, TheFloatingFrameIsARaisedEdgeAndTwoRingsOfFace) {
    standard.DrawFloatingBorder(*view, dc.Get(), view->BkBrush(), false, RECT{4, 20, 196, 56},
                                RECT{0, 0, 200, 60});
    EXPECT_EQ(At(1, 1), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(At(199, 59), Sys(COLOR_3DDKSHADOW));
    EXPECT_EQ(At(198, 58), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(At(2, 30), Sys(COLOR_BTNFACE));
    EXPECT_EQ(At(3, 30), Sys(COLOR_BTNFACE));
    EXPECT_EQ(At(4, 30), kWhite);
}

TEST_F(StandardPainterTest, EndMarksSitAtTheTopRightInTheStandardStyleAndSpanTheBarInTheEnhanced) {
    RECT mark = standard.GetMarkRect(*view);
    EXPECT_EQ(mark.left, 189);
    EXPECT_EQ(mark.bottom - mark.top, 9);
    view->itemsHidden = true;
    standard.DrawMark(*view, dc.Get(), view->BkBrush(), mark);
    // A chevron is a light stroke with a shadow one beside it.
    EXPECT_EQ(At(mark.left + 1, 1), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(At(mark.left + 2, 1), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(At(mark.left + 4, 3), Sys(COLOR_BTNSHADOW));

    mark = enhanced.GetMarkRect(*view);
    EXPECT_EQ(mark.bottom - mark.top, 30);
    for (int state : {1, 2}) {
        view->markState = state;
        enhanced.DrawMark(*view, dc.Get(), view->BkBrush(), mark);
        EXPECT_EQ(At(mark.left, mark.top), Sys(state == 1 ? COLOR_BTNHIGHLIGHT : COLOR_BTNSHADOW));
        EXPECT_EQ(At(mark.right - 1, mark.bottom - 1),
                  Sys(state == 1 ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT));
    }
    // Two-pixel chevrons from y = 4, the customize arrow 7 above the bottom.
    EXPECT_EQ(At(mark.left + 2, 4), Sys(COLOR_BTNTEXT));
    EXPECT_EQ(At(mark.left + 3, 4), Sys(COLOR_BTNTEXT));
    EXPECT_EQ(At(mark.left + 3, mark.bottom - 7), Sys(COLOR_BTNTEXT));
    EXPECT_EQ(At(mark.left + 7, mark.bottom - 7), Sys(COLOR_BTNTEXT));
    EXPECT_EQ(At(mark.left + 5, mark.bottom - 5), Sys(COLOR_BTNTEXT));
    EXPECT_NE(At(mark.left + 5, mark.bottom - 4), Sys(COLOR_BTNTEXT));
}

TEST_F(StandardPainterTest, ASelectedMenuLineIsAHighlightBarRightOfItsGlyphCell) {
    view->subMenu = true;
    item->caption = "Open";
    const RECT line{4, 10, 150, 30};
    ItemState state{true, false, false, true, false, true};
    standard.DrawButtonBackground(*item, dc.Get(), state, line);
    const COLORREF highlight = Sys(COLOR_HIGHLIGHT);
    // An unchecked item without picture: its cell, the column after it and the caption all highlighted.
    EXPECT_EQ(At(5, 11), highlight);
    EXPECT_EQ(At(24, 20), highlight);
    EXPECT_EQ(At(149, 20), highlight);
    int text = 0;
    for (int x = 27; x < 60; ++x)
        for (int y = 10; y < 30; ++y)
            text += At(x, y) == Sys(COLOR_HIGHLIGHTTEXT);
    EXPECT_GT(text, 10);

    // Checked: the cell keeps the face inside a sunken edge, the column the menu's own background.
    item->check = true;
    state.Down = true;
    standard.DrawButtonBackground(*item, dc.Get(), state, line);
    EXPECT_EQ(At(4, 10), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(At(23, 29), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(At(6, 12), Sys(COLOR_BTNFACE));
    EXPECT_EQ(At(24, 20), BrushColor(view->BkBrush()));
    EXPECT_EQ(At(25, 20), highlight);

    // Not selected: no highlight anywhere.
    state = ItemState{false, false, false, true, false, true};
    standard.DrawButtonBackground(*item, dc.Get(), state, line);
    EXPECT_EQ(At(100, 20), BrushColor(view->BkBrush()));
    EXPECT_EQ(At(24, 20), BrushColor(view->BkBrush()));
}

TEST_F(StandardPainterTest, RarelyUsedLinesLieOnASunkenBandAndTheFlatMdiCloseButtonHasItsOwnEdge) {
    view = std::make_unique<FakeBarView>(manager, nullptr, dsNone, 200, 60);
    item = std::make_unique<FakeItemView>(*view);
    view->subMenu = true;
    const RECT line{10, 10, 150, 30};
    standard.DrawSubMenuSideStrip(*view, *item, 3, 0, SideStripLine{true, false, false}, line, dc.Get());
    EXPECT_EQ(At(7, 9), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(At(150, 9), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(At(151, 9), kWhite);
    Clear(kWhite);
    standard.DrawSubMenuSideStrip(*view, *item, 3, 0, SideStripLine{false, true, true}, line, dc.Get());
    const COLORREF band = BrushColor(view->BkBrush());
    EXPECT_EQ(At(7, 9), band);
    EXPECT_EQ(At(151, 8), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(At(9, 20), band);
    EXPECT_EQ(At(10, 20), kWhite); // the line itself is its control's
    EXPECT_EQ(At(151, 20), band);
    EXPECT_EQ(At(152, 20), kWhite);
    EXPECT_EQ(At(100, 29), kWhite);
    EXPECT_EQ(At(100, 30), band); // down to the client bottom under the last line
    EXPECT_EQ(At(8, 59), Sys(COLOR_BTNHIGHLIGHT));

    Clear(kWhite);
    manager->SetFlatCloseButton(true);
    standard.DrawMDIButton(*view, 2, false, RECT{10, 10, 26, 24}, dc.Get(), true, true);
    EXPECT_EQ(At(10, 10), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(At(25, 23), Sys(COLOR_BTNHIGHLIGHT));
    manager->SetFlatCloseButton(false);
    standard.DrawMDIButton(*view, 2, false, RECT{40, 10, 56, 24}, dc.Get(), false, false);
    EXPECT_NE(At(48, 17), kWhite);
}

} // namespace

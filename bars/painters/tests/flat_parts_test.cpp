// The flat painter's measures of menu lines and its bevels, tear-off frame and edit window.
#include <gtest/gtest.h>

#include <memory>

#include "bars/core/toolbar.h"
#include "bars/core/toolbars.h"
#include "bars/painters/flat_painter.h"
#include "bars/painters/tests/fake_views.h"
#include "platform/commctrl/std_controls.h"
#include "platform/gdi/stock.h"

using namespace bars;
using namespace bars::paint_test;

namespace {

const COLORREF kWhite = 0xFFFFFF;

class FlatPartsTest : public ::testing::Test {
protected:
    FlatPartsTest() {
        manager = new TdxBarManager(&form);
        manager->SetStyle(bmsFlat);
        bar = manager->Bars()->Add();
        view = std::make_unique<FakeBarView>(manager, bar, dsTop);
        menu = std::make_unique<FakeBarView>(manager, nullptr, dsNone, 150, 120);
        menu->subMenu = true;
        item = std::make_unique<FakeItemView>(*view);
        line = std::make_unique<FakeItemView>(*menu);
        const RECT all{0, 0, 220, 60};
        FillRect(dc.Get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    COLORREF At(int x, int y) const { return GetPixel(dc.Get(), x, y); }
    const TdxBarItemControlFlatPainter& flat = FlatBarPainter();
    PainterTestForm form;
    TdxBarManager* manager = nullptr;
    TdxBar* bar = nullptr;
    std::unique_ptr<FakeBarView> view, menu;
    std::unique_ptr<FakeItemView> item, line;
    pw::gdi::MemoryDC dc{nullptr, 220, 60};
};

TEST_F(FlatPartsTest, TheMenuArrowStepsDownByOneWhenItWouldBeOddFromFiveOn) {
    // (h - 4) / 2, made even from 5 on: 13 -> 4, 14 -> 5 -> 4, 15 -> 4, 16 -> 6, 17 -> 6, 18 -> 7 -> 6.
    const int expected[] = {4, 4, 4, 6, 6, 6};
    for (int h = 13; h <= 18; ++h)
        EXPECT_EQ(flat.CalcMenuArrowSize(h), expected[h - 13]) << h;
    EXPECT_EQ(flat.CalcMenuArrowSize(11), 3);
    EXPECT_EQ(BaseBarPainter().CalcMenuArrowSize(18), 6);
}

TEST_F(FlatPartsTest, SubItemLinesAndTheMenuAreaFollowTheFlatMeasures) {
    line->caption = "File";
    const int height = flat.CalcSubItemHeight(*line, true, false);
    const int width = flat.CalcSubItemWidth(*line, true, false);
    EXPECT_EQ(height, BaseBarPainter().CalcSubItemHeight(*line, true, false) + 2);
    EXPECT_EQ(height, menu->MenuLineHeight() + 2);
    EXPECT_EQ(width, BaseBarPainter().CalcSubItemWidth(*line, true, false) + 9);
    // On a toolbar both are the base measures.
    item->caption = "File";
    EXPECT_EQ(flat.CalcSubItemHeight(*item, true, false),
              BaseBarPainter().CalcSubItemHeight(*item, true, false));
    menu->sideBar = 20;
    menu->markLineHeight = 9;
    int maxBottom = 0;
    const RECT items = flat.CalcSubMenuItemsRect(*menu, false, true, maxBottom);
    EXPECT_EQ(items, (RECT{21, 1, 149, 1}));
    EXPECT_EQ(maxBottom, 120 - 1 - 9);
    flat.CalcSubMenuItemsRect(*menu, true, true, maxBottom);
    EXPECT_EQ(maxBottom, 0x7FFFFFFF);
    // The base keeps 2 pixels and its full line for the expand button.
    BaseBarPainter().CalcSubMenuItemsRect(*menu, false, true, maxBottom);
    EXPECT_EQ(maxBottom, 120 - 2 - 9);
}

TEST_F(FlatPartsTest, BevelsAreRingsOfShadowAndABeveledFaceTakesTheHotOrPressedBrush) {
    RECT r{10, 10, 40, 40};
    flat.DrawBevel(*item, dc.Get(), 3, 2, r);
    EXPECT_EQ(r, (RECT{12, 12, 38, 38}));
    EXPECT_EQ(At(10, 20), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(At(11, 20), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(At(12, 20), kWhite);
    RECT face{50, 10, 80, 40};
    flat.DrawBeveledRect(*item, dc.Get(), true, true, face);
    EXPECT_EQ(face, (RECT{51, 11, 79, 39}));
    EXPECT_EQ(At(50, 20), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(At(60, 20), BrushColor(manager->FlatBrush(3)));
    face = RECT{50, 10, 80, 40};
    flat.DrawBeveledRect(*item, dc.Get(), false, true, face);
    EXPECT_EQ(At(60, 20), BrushColor(manager->FlatBrush(4)));
    face = RECT{50, 10, 80, 40};
    flat.DrawBeveledRect(*item, dc.Get(), false, false, face);
    EXPECT_EQ(At(50, 20), BrushColor(view->BkBrush()));
    EXPECT_EQ(At(60, 20), BrushColor(view->BkBrush()));
}

TEST_F(FlatPartsTest, TheEditWindowIsMultiLineAndCustomizingTextSitsTwoPixelsLower) {
    EXPECT_EQ(flat.GetEditWindowStyle(), static_cast<DWORD>(ES_AUTOHSCROLL | ES_MULTILINE));
    EXPECT_EQ(BaseBarPainter().GetEditWindowStyle(), static_cast<DWORD>(ES_AUTOHSCROLL));
    RECT r{0, 0, 10, 10};
    flat.AdjustCustomizingTextRect(r);
    EXPECT_EQ(r, (RECT{0, 2, 10, 10}));
    EXPECT_EQ(flat.GetProgressBorder(), 1);
    EXPECT_EQ(flat.GetTrackBarExtra2(), 9);
    EXPECT_EQ(flat.CalcButtonWidth(*item, 30), 41);
    HBRUSH brush = nullptr;
    flat.DrawSubMenuShadowPart(*menu, brush);
    EXPECT_EQ(brush, flat.GetSubMenuBkBrush());
}

TEST_F(FlatPartsTest, TheTearOffFrameIsTheMenusRingWithItsLeftColumnInTheBrush) {
    const HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    flat.DrawSubMenuDetachFrame(*menu, dc.Get(), black, RECT{10, 10, 60, 30});
    EXPECT_EQ(At(10, 10), BrushColor(menu->BkBrush()));
    EXPECT_EQ(At(10, 20), 0u);
    EXPECT_EQ(At(59, 20), BrushColor(menu->BkBrush()));
    EXPECT_EQ(At(10, 29), BrushColor(menu->BkBrush()));
}

TEST_F(FlatPartsTest, APictureCellTakesTheStatesBrushUnlessItsLineIsRarelyUsed) {
    const HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    const RECT cell{10, 10, 34, 34}, image{14, 14, 30, 30};
    flat.DrawGlyphImage(*item, dc.Get(), ItemState{}, cell, image, true, black);
    EXPECT_EQ(At(11, 11), 0u);
    EXPECT_EQ(At(10, 10), kWhite);
    // A rarely used line's band lies behind it already.
    item->rarelyUsed = true;
    flat.DrawGlyphImage(*item, dc.Get(), ItemState{}, RECT{40, 10, 64, 34}, RECT{44, 14, 60, 30}, true,
                        black);
    EXPECT_EQ(At(41, 11), kWhite);
}

} // namespace

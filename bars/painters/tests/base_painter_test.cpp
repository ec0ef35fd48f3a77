// The base painter's parts that every style inherits: bevels, centred button text, the tear-off frame,
// the background routes of menus and floating toolbars, and the parts of item kinds built on the
// library (text, spin and ellipsis buttons, progress bars, expand lines, sizeable drop-downs).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "bars/core/backgrounds.h"
#include "bars/core/bar_combo.h"
#include "bars/core/bar_edit.h"
#include "bars/core/toolbar.h"
#include "bars/core/toolbars.h"
#include "bars/painters/flat_painter.h"
#include "bars/painters/tests/fake_views.h"
#include "lookandfeel/size_grip.h"
#include "platform/gdi/stock.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"
#include "platform/graphics/graphics_objects.h"
#include "platform/rtl/string_list.h"

using namespace bars;
using namespace bars::paint_test;

namespace {

const COLORREF kWhite = 0xFFFFFF;

class BasePainterTest : public ::testing::Test {
protected:
    BasePainterTest() {
        manager = new TdxBarManager(&form);
        manager->SetStyle(bmsStandard);
        bar = manager->Bars()->Add();
        view = std::make_unique<FakeBarView>(manager, bar, dsTop);
        item = std::make_unique<FakeItemView>(*view);
        Clear();
    }
    void Clear() {
        const RECT all{0, 0, 220, 60};
        FillRect(dc.Get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    COLORREF At(int x, int y) const { return GetPixel(dc.Get(), x, y); }
    // The leftmost and rightmost columns in R holding a pixel of the colour (-1 when none).
    std::pair<int, int> Columns(const RECT& r, COLORREF c) const {
        int first = -1, last = -1;
        for (int x = r.left; x < r.right; ++x)
            for (int y = r.top; y < r.bottom; ++y)
                if (At(x, y) == c) {
                    if (first < 0) first = x;
                    last = x;
                    break;
                }
        return {first, last};
    }
    const TdxBarItemControlPainter& base = BaseBarPainter();
    PainterTestForm form;
    TdxBarManager* manager = nullptr;
    TdxBar* bar = nullptr;
    std::unique_ptr<FakeBarView> view;
    std::unique_ptr<FakeItemView> item;
    pw::gdi::MemoryDC dc{nullptr, 220, 60};
};

TEST_F(BasePainterTest, BevelsDrawTheirEdgeAndShrinkByTheirWidth) {
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW), light = GetSysColor(COLOR_BTNHIGHLIGHT);
    RECT r{10, 10, 40, 40};
    base.DrawBevel(*item, dc.Get(), 0, 3, r);
    EXPECT_EQ(r, (RECT{10, 10, 40, 40}));
    EXPECT_EQ(At(10, 10), kWhite);
    base.DrawBevel(*item, dc.Get(), 1, 3, r);
    EXPECT_EQ(r, (RECT{13, 13, 37, 37}));
    // Sunken: shadow at the top left, light at the bottom right.
    EXPECT_EQ(At(10, 20), shadow);
    EXPECT_EQ(At(39, 20), light);
    RECT raised{50, 10, 80, 40};
    base.DrawBevel(*item, dc.Get(), 2, 1, raised);
    EXPECT_EQ(raised, (RECT{51, 11, 79, 39}));
    EXPECT_EQ(At(50, 20), light);
    EXPECT_EQ(At(79, 20), shadow);
    // Raised then sunken: two rings whatever the width.
    RECT both{90, 10, 120, 40};
    base.DrawBevel(*item, dc.Get(), 4, 5, both);
    EXPECT_EQ(both, (RECT{92, 12, 118, 38}));
    EXPECT_EQ(At(90, 20), light);
    EXPECT_EQ(At(91, 20), shadow);
}

TEST_F(BasePainterTest, CentredButtonTextMovesByItsOffsetAndFillsOnlyWhenOpaque) {
    const RECT r{10, 10, 110, 40};
    base.DrawCenteredButtonText(dc.Get(), r, false, "Wide", 0);
    EXPECT_EQ(At(11, 11), kWhite);
    const auto [left, right] = Columns(r, GetSysColor(COLOR_BTNTEXT));
    ASSERT_GE(left, 0);
    // Centred across the rectangle, to a pixel.
    EXPECT_LE(std::abs((left - r.left) - (r.right - 1 - right)), 2);
    Clear();
    base.DrawCenteredButtonText(dc.Get(), r, true, "Wide", 1);
    EXPECT_EQ(At(11, 11), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(Columns(r, GetSysColor(COLOR_BTNTEXT)).first, left + 1);
}

TEST_F(BasePainterTest, TheTearOffFrameIsARaisedEdgeAndARingLeavingTwoRowsFree) {
    view->subMenu = true;
    const HBRUSH red = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    base.DrawSubMenuDetachFrame(*view, dc.Get(), red, RECT{10, 10, 60, 30});
    EXPECT_EQ(At(10, 20), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(At(11, 20), 0u);
    EXPECT_EQ(At(30, 28), 0u);
    view->detachBar = true;
    Clear();
    base.DrawSubMenuDetachFrame(*view, dc.Get(), red, RECT{10, 10, 60, 30});
    EXPECT_EQ(At(30, 26), 0u);
    EXPECT_EQ(At(30, 27), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(At(30, 28), kWhite);
}

TEST_F(BasePainterTest, AMenusBorderIsFaceAtTheLeftAndTopDarkAtTheRightAndBottomAndRingsItsTearOffBar) {
    // The light 3-D colour is the face in the classic scheme: made different, it must not show.
    const ScopedSysColor light3d(COLOR_3DLIGHT, RGB(1, 2, 3));
    view->subMenu = view->detachBar = true;
    const int h = base.GetSubMenuDetachHeight(*view);
    base.DrawSubMenuBorder(*view, dc.Get(), RECT{0, 0, 150, 60});
    // Round the tear-off bar a raised edge along the top and down both sides, inside it a face ring.
    const std::pair<POINT, int> pixels[] = {
        {{0, 30}, COLOR_BTNFACE},     {{70, 0}, COLOR_BTNFACE},         {{149, 0}, COLOR_3DDKSHADOW},
        {{0, 59}, COLOR_3DDKSHADOW},  {{70, 59}, COLOR_3DDKSHADOW},     {{70, 1}, COLOR_BTNHIGHLIGHT},
        {{1, 5}, COLOR_BTNHIGHLIGHT}, {{148, 5}, COLOR_BTNSHADOW},      {{2, 5}, COLOR_BTNFACE},
        {{70, h}, COLOR_BTNFACE},     {{70, 3}, COLOR_INACTIVECAPTION}, {{70, h - 1}, COLOR_INACTIVECAPTION}};
    for (const auto& [p, color] : pixels)
        EXPECT_EQ(At(p.x, p.y), GetSysColor(color)) << p.x << "," << p.y;
    EXPECT_EQ(At(70, h + 1), kWhite);
}

TEST_F(BasePainterTest, AGroupUnderTheBottomArrowGetsARowAboveItAndTheArrowStaysOverTheSpace) {
    view->subMenu = true;
    SubMenuParts parts;
    parts.Items = RECT{2, 2, 198, 20};
    parts.LinesBottom = 20;
    parts.SpaceBottom = 60;
    parts.BottomArrow = RECT{2, 40, 198, 58};
    parts.BottomArrowSeparator = true;
    auto draw = [&](const TdxBarItemControlPainter& painter) {
        painter.DrawSubMenuFrame(*view, dc.Get(), parts);
        // The arrow is not painted over by the space it lies in.
        EXPECT_GT(Columns(parts.BottomArrow, GetSysColor(COLOR_BTNTEXT)).first, 0);
        return At(100, 39);
    };
    EXPECT_EQ(draw(base), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(At(2, 39), At(197, 39));
    EXPECT_EQ(At(100, 30), GetSysColor(COLOR_BTNFACE));
    parts.BottomArrowRarelyUsed = true;
    EXPECT_EQ(draw(base), GetSysColor(COLOR_BTNSHADOW));
    parts.BottomArrowSeparator = false;
    EXPECT_EQ(draw(base), GetSysColor(COLOR_BTNFACE));
    draw(FlatBarPainter());
}

TEST_F(BasePainterTest, MenusPaintTheirPictureAndFloatingToolbarsTheirBrush) {
    view->subMenu = true;
    TBitmap picture;
    picture.SetSize(2, 1);
    picture.Canvas().SetPixel(0, 0, clRed);
    picture.Canvas().SetPixel(1, 0, clBlue);
    manager->Backgrounds()->SetSubMenu(&picture);
    base.DrawBarBackground(*view, dc.Get(), RECT{10, 10, 14, 12}, GetSysColorBrush(COLOR_BTNFACE));
    // Tiled from the rectangle's own corner.
    EXPECT_EQ(At(10, 10), ColorToRGB(clRed));
    EXPECT_EQ(At(11, 11), ColorToRGB(clBlue));
    EXPECT_EQ(At(12, 10), ColorToRGB(clRed));
    manager->Backgrounds()->SetSubMenu(nullptr);
    base.DrawBarBackground(*view, dc.Get(), RECT{10, 10, 14, 12}, GetSysColorBrush(COLOR_BTNFACE));
    EXPECT_EQ(At(10, 10), GetSysColor(COLOR_BTNFACE));
    FakeBarView floating(manager, bar, dsNone);
    base.DrawBarBackground(floating, dc.Get(), RECT{20, 10, 30, 20}, GetSysColorBrush(COLOR_HIGHLIGHT));
    EXPECT_EQ(At(25, 15), GetSysColor(COLOR_HIGHLIGHT));
}

TEST_F(BasePainterTest, BordersCaptionButtonAndMinimumWidthComeFromTheirOperations) {
    EXPECT_EQ(base.GetNonClientBorders(*view), (RECT{1, 1, 1, 1}));
    const SIZE button = base.GetCaptionButtonSize();
    EXPECT_EQ(button.cx, base.GetCaptionHeight());
    EXPECT_EQ(button.cy, base.GetCaptionHeight());
    view->minWidth = 40;
    EXPECT_EQ(base.GetBarMinWidth(*view), 40);
    EXPECT_EQ(FlatBarPainter().GetBarMinWidth(*view), 39);
    EXPECT_FALSE(base.IsSubMenuItemWide());
    EXPECT_EQ(base.GetComboButtonKind(), 1);
    EXPECT_EQ(base.GetSizeGripHeight(), GetSizeGripAreaHeight());
    EXPECT_EQ(base.GetProgressStep(), 12);
    EXPECT_EQ(base.GetProgressBackColor(), clBtnFace);
    EXPECT_EQ(base.GetProgressBarColor(), GetSysColor(COLOR_HIGHLIGHT));
}

// The caption's text stops at the square at its right end, even where a smaller close button leaves part
// of the square bare: a long caption leaves the bare part as an empty one does.
TEST_F(BasePainterTest, AFloatingCaptionsTextStopsAtTheSquareOfItsCloseButton) {
    FakeBarView floating(manager, bar, dsNone);
    const RECT caption{4, 4, 200, 4 + base.GetCaptionHeight()};
    const int square = caption.right - base.GetCaptionHeight();
    floating.closeRect = RECT{square + 5, caption.top + 3, caption.right - 5, caption.bottom - 3};
    auto bare = [&](const std::string& Text) {
        bar->SetCaption(Text);
        Clear();
        base.DrawFloatingCaption(floating, dc.Get(), GetSysColorBrush(COLOR_BTNFACE), caption);
        std::vector<COLORREF> pixels;
        for (int y = caption.top; y < caption.bottom; ++y)
            for (int x = square; x < floating.closeRect.left; ++x)
                pixels.push_back(At(x, y));
        return pixels;
    };
    ASSERT_TRUE(bar->CanClose());
    EXPECT_EQ(bare(std::string(60, 'W')), bare(""));
}

TEST_F(BasePainterTest, ADropDownWindowLosesItsRingAndItsGripStripOnTheGripsSide) {
    int corner = -1;
    RECT r{0, 0, 100, 200};
    base.CalcDropDownWindowRect(false, RECT{}, RECT{}, corner, r);
    EXPECT_EQ(r, (RECT{1, 1, 99, 199}));
    EXPECT_EQ(corner, -1);
    const int grip = base.GetSizeGripHeight();
    // Its corner comes from where it lies against its owner: a grip at the bottom takes the bottom strip.
    r = RECT{0, 0, 100, 200};
    base.CalcDropDownWindowRect(true, RECT{50, -200, 150, 0}, RECT{0, 0, 100, 40}, corner, r);
    EXPECT_EQ(corner, GetSizeGripCorner(RECT{50, -200, 150, 0}, RECT{0, 0, 100, 40}));
    ASSERT_GE(corner, 2);
    EXPECT_EQ(r, (RECT{1, 1, 99, 199 - grip}));
    // Left of its owner and above it: the grip at the bottom left.
    r = RECT{0, 0, 100, 200};
    base.CalcDropDownWindowRect(true, RECT{150, -200, 250, 0}, RECT{0, 0, 100, 40}, corner, r);
    EXPECT_EQ(corner, 2);
    EXPECT_EQ(r, (RECT{1, 1, 99, 199 - grip}));
    // A grip at the top takes the top strip.
    r = RECT{0, 0, 100, 200};
    base.CalcDropDownWindowRect(true, RECT{50, 50, 150, 250}, RECT{0, 0, 100, 40}, corner, r);
    ASSERT_LT(corner, 2);
    EXPECT_EQ(r, (RECT{1, 1 + grip, 99, 199}));
}

TEST_F(BasePainterTest, AProgressBarFillsItsShareSolidlyOrInBlocksWithTwoPixelGaps) {
    const COLORREF face = BrushColor(view->BkBrush());
    base.DrawProgressBar(*item, dc.Get(), 200, 100, 150, true, 1, clRed, RECT{10, 10, 110, 22});
    EXPECT_EQ(At(10, 15), ColorToRGB(clRed));
    EXPECT_EQ(At(59, 15), ColorToRGB(clRed));
    EXPECT_EQ(At(60, 15), face);
    // Blocks of two thirds of 12 (8) with 2 of background after each.
    base.DrawProgressBar(*item, dc.Get(), 100, 0, 100, false, 1, clBlue, RECT{10, 30, 110, 42});
    EXPECT_EQ(At(17, 35), ColorToRGB(clBlue));
    EXPECT_EQ(At(18, 35), face);
    EXPECT_EQ(At(19, 35), face);
    EXPECT_EQ(At(20, 35), ColorToRGB(clBlue));
    // Vertical: filled from the bottom.
    base.DrawProgressBar(*item, dc.Get(), 4, 0, 1, true, 2, clRed, RECT{150, 10, 160, 50});
    EXPECT_EQ(At(155, 49), ColorToRGB(clRed));
    EXPECT_EQ(At(155, 40), ColorToRGB(clRed));
    EXPECT_EQ(At(155, 39), face);
}

TEST_F(BasePainterTest, ATextButtonIsRaisedWithItsCornerPixelOrPushed) {
    const RECT r{10, 10, 60, 40};
    base.DrawTextButton(*view, dc.Get(), r, false, "OK");
    EXPECT_EQ(At(10, 39), GetSysColor(COLOR_BTNTEXT));
    EXPECT_EQ(At(59, 20), GetSysColor(COLOR_BTNTEXT));
    EXPECT_EQ(At(10, 20), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(At(11, 20), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(At(58, 20), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(At(58, 11), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(At(30, 13), GetSysColor(COLOR_BTNFACE));
    const RECT inside{12, 12, 58, 38};
    const int unpushed = Columns(inside, GetSysColor(COLOR_BTNTEXT)).first;
    ASSERT_NE(unpushed, -1);
    Clear();
    base.DrawTextButton(*view, dc.Get(), r, true, "OK");
    EXPECT_EQ(At(11, 20), GetSysColor(COLOR_BTNSHADOW));
    // The pushed caption moves one pixel.
    EXPECT_EQ(Columns(inside, GetSysColor(COLOR_BTNTEXT)).first, unpushed + 1);
}

TEST_F(BasePainterTest, SpinHalvesTakeTheirTriangleAndADisabledOneIsEmbossed) {
    const RECT r{10, 10, 30, 40};
    base.DrawSpinArrow(*item, dc.Get(), false, false, 1, 6, r);
    auto rows = [&](const RECT& part, COLORREF c) {
        int first = -1, last = -1;
        for (int y = part.top; y < part.bottom; ++y)
            for (int x = part.left; x < part.right; ++x)
                if (At(x, y) == c) {
                    if (first < 0) first = y;
                    last = y;
                }
        return std::pair{first, last};
    };
    const auto up = rows(RECT{10, 10, 30, 25}, GetSysColor(COLOR_BTNTEXT));
    ASSERT_GE(up.first, 10);
    EXPECT_LT(up.second, 25);
    EXPECT_EQ(rows(RECT{10, 25, 30, 40}, GetSysColor(COLOR_BTNTEXT)).first, -1);
    item->enabled = false;
    const RECT lower{10, 25, 30, 40};
    FillRect(dc.Get(), &lower, GetSysColorBrush(COLOR_BTNFACE));
    base.DrawSpinArrow(*item, dc.Get(), false, false, 2, 6, r);
    const auto shadow = rows(RECT{10, 25, 30, 40}, GetSysColor(COLOR_BTNSHADOW));
    const auto light = rows(RECT{12, 27, 28, 38}, GetSysColor(COLOR_BTNHIGHLIGHT));
    ASSERT_GE(shadow.first, 0);
    // The light copy lies a pixel lower, under the shadow one.
    EXPECT_GT(light.second, shadow.second);
}

TEST_F(BasePainterTest, AnExpandLineHasItsBottomLineInTheFrameOrHotBrushAndAnArrowWhenEnabled) {
    const RECT r{10, 10, 110, 30};
    item->caption = "More";
    base.DrawExpandItem(*item, dc.Get(), r, false, true);
    EXPECT_EQ(At(50, 29), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(At(12, 12), BrushColor(view->BkBrush()));
    const RECT arrowPart{110 - view->LineHeight(), 10, 110, 29};
    const int arrow = Columns(arrowPart, GetSysColor(COLOR_BTNTEXT)).first;
    EXPECT_GE(arrow, 0);
    // Not the first line: the arrow stands one arrow size further in.
    base.DrawExpandItem(*item, dc.Get(), r, false, false);
    EXPECT_EQ(Columns(RECT{70, 10, 110, 29}, GetSysColor(COLOR_BTNTEXT)).first, arrow - view->ArrowSize());
    base.DrawExpandItem(*item, dc.Get(), r, true, true);
    EXPECT_EQ(At(50, 29), GetSysColor(COLOR_HIGHLIGHT));
    item->enabled = false;
    base.DrawExpandItem(*item, dc.Get(), r, false, true);
    EXPECT_EQ(Columns(arrowPart, GetSysColor(COLOR_BTNTEXT)).first, -1);
}

TEST_F(BasePainterTest, TheEllipsisButtonsDotsAreASeventhOfItsWidth) {
    RECT inner{};
    base.DrawEllipsisButton(*item, dc.Get(), false, false, inner, RECT{10, 10, 45, 40});
    EXPECT_EQ(inner, (RECT{11, 12, 44, 38}));
    // d = 33 / 7 = 4: dots at x 15, 23, 31, each 4 square, 4 above the bottom.
    const COLORREF text = GetSysColor(COLOR_BTNTEXT);
    EXPECT_EQ(At(15, 30), text);
    EXPECT_EQ(At(18, 33), text);
    EXPECT_NE(At(19, 30), text);
    EXPECT_EQ(At(23, 30), text);
    EXPECT_EQ(At(31, 30), text);
    EXPECT_NE(At(35, 30), text);
    EXPECT_NE(At(15, 34), text);
    EXPECT_NE(At(15, 29), text);
}

TEST_F(BasePainterTest, EditItemsDrawTheirTextForTheCustomizingListThroughThePainter) {
    auto* edit = new TdxBarEdit(&form);
    edit->SetText("site");
    TBitmap picture;
    picture.SetSize(100, 20);
    TCanvas& canvas = picture.Canvas();
    canvas.Brush().SetColor(clYellow);
    canvas.Font().SetColor(clBlack);
    edit->DrawCustomizingImage(0, &canvas, nullptr, RECT{0, 0, 100, 20});
    // The brush fills it; the text starts two pixels in, at the top in the base style.
    EXPECT_EQ(canvas.Pixel(0, 0), clYellow);
    int firstInk = 100, top = 20;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 100; ++x)
            if (canvas.Pixel(x, y) == clBlack) {
                firstInk = std::min(firstInk, x);
                top = std::min(top, y);
            }
    EXPECT_GE(firstInk, 2);
    EXPECT_LE(firstInk, 3);
    manager->SetStyle(bmsFlat);
    canvas.FillRect(RECT{0, 0, 100, 20});
    edit->DrawCustomizingImage(0, &canvas, nullptr, RECT{0, 0, 100, 20});
    int flatTop = 20;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 100; ++x)
            if (canvas.Pixel(x, y) == clBlack) flatTop = std::min(flatTop, y);
    EXPECT_EQ(flatTop, top + 2);
}

// A control whose text differs from its item's, standing at entry 3 of its list.
class TypedControl : public ItemControl {
public:
    TdxBarItemLink* Link() const override { return nullptr; }
    BarControl* Parent() const override { return nullptr; }
    std::string EditText() const override { return "typed"; }
    int ListIndex() const override { return 3; }
};

TEST_F(BasePainterTest, TheCustomizingTextIsTheControlsOnlyForTheEntryItStandsAt) {
    auto* edit = new TdxBarEdit(&form);
    edit->SetText("site");
    TypedControl control;
    TBitmap picture;
    picture.SetSize(100, 20);
    picture.Canvas().Brush().SetColor(clWhite);
    // The ink's right end: "typed" is wider than "site".
    auto inkRight = [&](int index) {
        base.DrawEditInCustomizing(edit, &picture.Canvas(), index, RECT{0, 0, 100, 20}, &control);
        int right = -1;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 100; ++x)
                if (picture.Canvas().Pixel(x, y) != clWhite) right = std::max(right, x);
        return right;
    };
    const int item = inkRight(0);
    EXPECT_GT(inkRight(3), item);
    EXPECT_EQ(inkRight(-1), item);
}

TEST_F(BasePainterTest, ACombosCustomizingImageIsItsOwnerDrawnEntry) {
    auto* combo = new TdxBarCombo(&form);
    for (const char* s : {"a", "b", "c"})
        combo->Items()->Add(s);
    combo->SetItemIndex(2);
    int drawn = -1;
    combo->OnDrawItem = [&](TdxBarCustomCombo*, int Index, const RECT&, TOwnerDrawState) { drawn = Index; };
    TBitmap picture;
    picture.SetSize(50, 20);
    combo->DrawCustomizingImage(0, &picture.Canvas(), nullptr, RECT{0, 0, 50, 20});
    EXPECT_EQ(drawn, 2);
    // Without its own drawing the painter draws the entry, two pixels down in the box.
    combo->OnDrawItem = nullptr;
    picture.Canvas().Brush().SetColor(clWhite);
    picture.Canvas().Font().SetColor(clBlack);
    combo->DrawCustomizingImage(0, &picture.Canvas(), nullptr, RECT{0, 0, 50, 20});
    int top = 20;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 50; ++x)
            if (picture.Canvas().Pixel(x, y) == clBlack) top = std::min(top, y);
    EXPECT_GE(top, 2);
    EXPECT_LT(top, 20);
}

} // namespace

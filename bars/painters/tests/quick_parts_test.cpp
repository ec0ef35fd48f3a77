// The parts of the end mark's drop-down each style draws: its background brush, the check square of a
// line of "Add or Remove Buttons" and the frame of a hot line.
#include <gtest/gtest.h>

#include <memory>

#include "bars/core/toolbar.h"
#include "bars/core/toolbars.h"
#include "bars/painters/flat_painter.h"
#include "bars/painters/office11_painter.h"
#include "bars/painters/tests/fake_views.h"
#include "bars/painters/xp_painter.h"
#include "lookandfeel/office11.h"
#include "platform/gdi/stock.h"
#include "platform/graphics/graphics_types.h"

using namespace bars;
using namespace bars::paint_test;

namespace {

const COLORREF kWhite = 0xFFFFFF;

// The menu of "Add or Remove Buttons", or the window of some other bar.
class QuickMenuView : public FakeBarView {
public:
    using FakeBarView::FakeBarView;
    bool IsQuickCustomizingMenu() const override { return quickMenu; }
    bool IsQuickControl() const override { return quickControl; }
    bool quickMenu = true;
    bool quickControl = false;
};

class QuickPartsTest : public ::testing::TestWithParam<TdxBarManagerStyle> {
protected:
    QuickPartsTest() {
        manager = new TdxBarManager(&form);
        manager->SetStyle(GetParam());
        bar = manager->Bars()->Add();
        view = std::make_unique<QuickMenuView>(manager, bar, dsNone);
        view->subMenu = true;
        item = std::make_unique<FakeItemView>(*view);
        const RECT all{0, 0, 120, 40};
        FillRect(dc.Get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    COLORREF At(int x, int y) const { return GetPixel(dc.Get(), x, y); }
    const TdxBarItemControlPainter& Painter() const { return TdxBarItemControlPainter::Of(manager); }
    PainterTestForm form;
    TdxBarManager* manager = nullptr;
    TdxBar* bar = nullptr;
    std::unique_ptr<QuickMenuView> view;
    std::unique_ptr<FakeItemView> item;
    pw::gdi::MemoryDC dc{nullptr, 120, 40};
};

TEST_P(QuickPartsTest, TheCheckSquareStandsAtTheLineStartAndTheRestOfTheLineStartsAfterIt) {
    RECT r{10, 5, 110, 27};
    int size = 0;
    Painter().CalcQuickCheckRect(*item, dc.Get(), true, size, r);
    if (GetParam() == bmsStandard) {
        // The whole height of the line, square.
        EXPECT_EQ(r.left, 10);
        EXPECT_EQ(r.top, 5);
        EXPECT_EQ(r.right, 32);
        EXPECT_EQ(r.bottom, 27);
        EXPECT_EQ(size, 32);
    } else {
        // Inside a one-pixel ring, and one pixel more before the rest.
        EXPECT_EQ(r.left, 11);
        EXPECT_EQ(r.top, 6);
        EXPECT_EQ(r.right, 31);
        EXPECT_EQ(r.bottom, 26);
        EXPECT_EQ(size, 32);
    }
    // Measuring draws nothing.
    for (int x = 10; x < 34; ++x)
        ASSERT_EQ(At(x, 5), kWhite) << x;
}

INSTANTIATE_TEST_SUITE_P(Styles, QuickPartsTest, ::testing::Values(bmsStandard, bmsFlat, bmsOffice11));

using QuickFlatTest = QuickPartsTest;

TEST_P(QuickFlatTest, TheFlatCheckSquareIsRingedInTheFaceAndAHotLineIsFramedWithAStripAfterTheSquare) {
    const auto& flat = FlatBarPainter();
    EXPECT_EQ(BrushColor(flat.GetQuickControlBrush(*view)), GetSysColor(COLOR_WINDOW));
    EXPECT_TRUE(flat.IsQuickItemFlat());
    EXPECT_TRUE(XPBarPainter().IsQuickItemFlat());
    EXPECT_FALSE(BaseBarPainter().IsQuickItemFlat());
    // The base takes the toolbar's brush for the drop-down.
    EXPECT_EQ(BaseBarPainter().GetQuickControlBrush(*view), BaseBarPainter().GetToolbarBrush(*view));

    RECT check{10, 5, 110, 27};
    int size = 0;
    flat.CalcQuickCheckRect(*item, dc.Get(), false, size, check);
    const COLORREF face = BrushColor(manager->FlatBrush(1));
    EXPECT_EQ(At(10, 5), face);
    EXPECT_EQ(At(31, 26), face);
    EXPECT_EQ(At(20, 26), face);
    EXPECT_EQ(At(32, 15), kWhite); // the ring is as high as the line, square
    EXPECT_EQ(At(11, 6), kWhite);  // and only a ring

    // Not hot: nothing. Hot: the selection frame round the line, a 2-pixel strip after the square.
    const RECT line{10, 5, 110, 27};
    flat.CalcQuickItemRects(*item, dc.Get(), false, check, line);
    EXPECT_EQ(At(60, 5), kWhite);
    flat.CalcQuickItemRects(*item, dc.Get(), true, check, line);
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT), hot = BrushColor(manager->FlatBrush(4));
    EXPECT_EQ(At(60, 5), highlight);
    EXPECT_EQ(At(109, 26), highlight);
    EXPECT_EQ(At(31, 15), hot);
    EXPECT_EQ(At(32, 15), hot);
    EXPECT_EQ(At(33, 15), kWhite);
    EXPECT_EQ(At(30, 15), kWhite);
}

INSTANTIATE_TEST_SUITE_P(Flat, QuickFlatTest, ::testing::Values(bmsFlat));

using QuickOffice11Test = QuickPartsTest;

TEST_P(QuickOffice11Test, TheOffice2003LinesAreOneColourAndTheSquareIsFilledWithTheBarBrush) {
    const auto& office = Office11BarPainter();
    const TOffice11Colors& c = Office11Colors();
    EXPECT_EQ(BrushColor(office.GetQuickControlBrush(*view)), ColorToRGB(c.MenuColor));
    TColor c1, c2;
    office.GetButtonColors(*view, true, true, c1, c2);
    EXPECT_EQ(c1, c.LightBarColor);
    EXPECT_EQ(c2, c.LightBarColor);
    office.GetButtonColors(*view, false, true, c1, c2);
    EXPECT_EQ(c1, c.HotColor1);
    EXPECT_EQ(c2, c.HotColor1);
    // Another window's buttons keep their gradients.
    view->quickMenu = false;
    office.GetButtonColors(*view, false, true, c1, c2);
    EXPECT_EQ(c1, c.HotColor1);
    EXPECT_EQ(c2, c.HotColor2);

    RECT check{10, 5, 110, 27};
    int size = 0;
    office.CalcQuickCheckRect(*item, dc.Get(), false, size, check);
    EXPECT_EQ(At(10, 5), ColorToRGB(c.MenuColor));
    EXPECT_EQ(At(20, 15), BrushColor(office.GetBarBrush(*view)));
    EXPECT_EQ(At(32, 15), kWhite);

    const RECT line{10, 5, 110, 27};
    office.CalcQuickItemRects(*item, dc.Get(), true, check, line);
    EXPECT_EQ(At(60, 5), ColorToRGB(c.FrameColor));
    EXPECT_EQ(At(31, 15), ColorToRGB(c.SelectedColor));
}

TEST_P(QuickOffice11Test, TheOffice2003DropDownIsFramedOnceAndFloatsUnlikeOtherToolbars) {
    const auto& office = Office11BarPainter();
    const TOffice11Colors& c = Office11Colors();
    view->subMenu = false;
    view->quickMenu = false;
    // A floating toolbar is no floating bar in this style; the drop-down is.
    EXPECT_FALSE(office.IsFloatingBarStyle(*view));
    view->quickControl = true;
    EXPECT_TRUE(office.IsFloatingBarStyle(*view));
    const HBRUSH face = office.GetQuickControlBrush(*view);
    office.DrawFloatingBorder(*view, dc.Get(), face, false, RECT{3, 3, 97, 37}, RECT{0, 0, 100, 40});
    EXPECT_EQ(At(0, 20), ColorToRGB(c.FrameColor));
    EXPECT_EQ(At(99, 39), ColorToRGB(c.FrameColor));
    EXPECT_EQ(At(1, 20), ColorToRGB(c.MenuColor));
    EXPECT_EQ(At(2, 20), ColorToRGB(c.MenuColor));
    EXPECT_EQ(At(3, 20), kWhite);
}

INSTANTIATE_TEST_SUITE_P(Office11, QuickOffice11Test, ::testing::Values(bmsOffice11));

} // namespace

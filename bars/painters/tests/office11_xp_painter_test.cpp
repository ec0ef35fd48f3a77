// The Office 2003 painter's colour rules and parts, and the XP painter without visual styles: the
// theme draws nothing, so only what it paints itself shows.
#include <gtest/gtest.h>

#include <memory>

#include "bars/core/toolbar.h"
#include "bars/core/toolbars.h"
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

class Office11PainterTest : public ::testing::Test {
protected:
    Office11PainterTest() {
        manager = new TdxBarManager(&form);
        manager->SetStyle(bmsOffice11);
        bar = manager->Bars()->Add();
        view = std::make_unique<FakeBarView>(manager, bar, dsTop);
        item = std::make_unique<FakeItemView>(*view);
        const RECT all{0, 0, 220, 60};
        FillRect(dc.Get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    COLORREF At(int x, int y) const { return GetPixel(dc.Get(), x, y); }
    static COLORREF Rgb(TColor c) { return ColorToRGB(c); }
    const TdxBarItemControlOffice11Painter& office = Office11BarPainter();
    PainterTestForm form;
    TdxBarManager* manager = nullptr;
    TdxBar* bar = nullptr;
    std::unique_ptr<FakeBarView> view;
    std::unique_ptr<FakeItemView> item;
    pw::gdi::MemoryDC dc{nullptr, 220, 60};
};

TEST_F(Office11PainterTest, MetricsBordersAndBrushesComeFromTheScheme) {
    EXPECT_EQ(&TdxBarItemControlPainter::Of(manager), &office);
    EXPECT_EQ(manager->BeforeGripSize(), 3);
    EXPECT_EQ(office.GetFloatingBorderWidth(), 3);
    const RECT plain = office.GetDockedBorders(bar, dsTop);
    EXPECT_EQ(plain.left, 2);
    bar->SetIsMainMenu(true);
    const RECT menuTop = office.GetDockedBorders(bar, dsTop), menuLeft = office.GetDockedBorders(bar, dsLeft);
    EXPECT_EQ(menuTop.left, 0);
    EXPECT_EQ(menuTop.top, 2);
    EXPECT_EQ(menuLeft.left, 2);
    EXPECT_EQ(menuLeft.top, 0);
    const TOffice11Colors& c = Office11Colors();
    EXPECT_EQ(BrushColor(office.GetSelectedBrush(*view)), Rgb(c.SelectedColor));
    EXPECT_EQ(BrushColor(office.GetSubMenuBkBrush()), Rgb(c.MenuColor));
    EXPECT_EQ(BrushColor(office.GetManagerBrush(manager)), Rgb(c.LightBarColor));
    // The menu bar keeps the button face.
    EXPECT_EQ(BrushColor(office.GetToolbarBrush(*view)), GetSysColor(COLOR_BTNFACE));
}

TEST_F(Office11PainterTest, HotPressedAndCheckedButtonsTakeTheirColourPairsInsideTheSchemeFrame) {
    const TOffice11Colors& c = Office11Colors();
    TColor c1, c2;
    office.GetButtonColors(false, true, c1, c2);
    EXPECT_EQ(c1, c.HotColor1);
    EXPECT_EQ(c2, c.HotColor2);
    office.GetButtonColors(true, true, c1, c2);
    EXPECT_EQ(c1, c.DownColor2);
    EXPECT_EQ(c2, c.DownColor1);
    // Outside the XP schemes the down ends are equal: a checked button is one colour.
    ASSERT_EQ(c.DownColor1, c.DownColor2);
    office.GetButtonColors(true, false, c1, c2);
    EXPECT_EQ(c1, c.CheckedColor);
    EXPECT_EQ(c2, c.CheckedColor);

    const RECT button{10, 10, 33, 32};
    office.DrawGlyphFrame(*item, dc.Get(), ItemState{false, true, false, true, false}, button, true,
                          view->BkBrush());
    EXPECT_EQ(At(10, 10), Rgb(c.FrameColor));
    EXPECT_EQ(At(20, 20), Rgb(c.CheckedColor));
    office.DrawGlyphFrame(*item, dc.Get(), ItemState{true, false, false, true, false}, button, true,
                          view->BkBrush());
    EXPECT_EQ(At(20, 11), Rgb(c.HotColor1));
    EXPECT_EQ(At(20, 30), Rgb(c.HotColor2));
}

TEST_F(Office11PainterTest, ASeparatorIsADarkAndALightLineShortenedAtTheirEnds) {
    const TOffice11Colors& c = Office11Colors();
    const RECT r{100, 0, 105, 30};
    office.DrawSeparator(*view, dc.Get(), true, office.GetBarBrush(*view), r);
    const int x = 100 + office.GetSeparatorLineOffset();
    EXPECT_EQ(At(x, 2), Rgb(c.MenuColor));
    EXPECT_EQ(At(x, 3), Rgb(c.SeparatorColor1));
    EXPECT_EQ(At(x, 25), Rgb(c.SeparatorColor1));
    EXPECT_EQ(At(x, 26), Rgb(c.MenuColor));
    EXPECT_EQ(At(x + 1, 3), Rgb(c.MenuColor));
    EXPECT_EQ(At(x + 1, 4), Rgb(c.SeparatorColor2));
    EXPECT_EQ(At(x + 1, 26), Rgb(c.SeparatorColor2));
    EXPECT_EQ(At(x + 1, 27), Rgb(c.MenuColor));
}

TEST_F(Office11PainterTest, TheFloatingBorderIsTwoDarkRingsAndALightOneWithDarkCorners) {
    const TOffice11Colors& c = Office11Colors();
    office.DrawFloatingBorder(*view, dc.Get(), view->BkBrush(), false, RECT{3, 20, 97, 47},
                              RECT{0, 0, 100, 50});
    EXPECT_EQ(At(0, 25), Rgb(c.FloatingBorderColor1));
    EXPECT_EQ(At(1, 25), Rgb(c.FloatingBorderColor1));
    EXPECT_EQ(At(2, 25), Rgb(c.FloatingBorderColor2));
    EXPECT_EQ(At(2, 2), Rgb(c.FloatingBorderColor1));
    EXPECT_EQ(At(97, 47), Rgb(c.FloatingBorderColor1));
    EXPECT_EQ(At(3, 25), kWhite);
}

TEST_F(Office11PainterTest, WithoutVisualStylesTheXPPainterDrawsOnlyItsOwnFallbacks) {
    const TdxBarItemControlXPPainter& xp = XPBarPainter();
    // The theme measures nothing: its part sizes are zero.
    EXPECT_EQ(xp.GetGripLineWidth(), 0);
    EXPECT_EQ(xp.GetSeparatorSize(), 0);
    // Every themed part leaves the background it paints first alone.
    FakeBarView xpBar(manager, bar, dsTop);
    const RECT r{10, 10, 40, 40};
    xp.DrawSeparator(xpBar, dc.Get(), true, GetSysColorBrush(COLOR_BTNFACE), r);
    EXPECT_EQ(At(25, 25), GetSysColor(COLOR_BTNFACE));
    xp.DrawSubMenuBorder(xpBar, dc.Get(), RECT{50, 10, 90, 40});
    EXPECT_EQ(At(50, 10), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(At(51, 11), kWhite);
    // Its caption mark and caption text follow the flat style.
    const RECT caption{4, 4, 164, 19};
    EXPECT_EQ(xp.GetCaptionMarkRect(caption, true).right,
              FlatBarPainter().GetCaptionMarkRect(caption, true).right);
    EXPECT_EQ(xp.GetCaptionMarkRect(caption, true).right, 164 - 16);
    // The base style puts it at the caption's left, 13 pixels wide.
    EXPECT_EQ(BaseBarPainter().GetCaptionMarkRect(caption, true).left, 4);
    EXPECT_EQ(BaseBarPainter().GetCaptionMarkRect(caption, true).right, 17);
}

} // namespace

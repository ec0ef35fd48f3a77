// The theme calls with and without a theme layer, against the plain drawing layer.
#include <gtest/gtest.h>

#include "platform/gdi/dc.h"
#include "platform/gdi/drawing_theme.h"
#include "platform/gdi/scoped.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/stock.h"
#include "platform/gdi/theme.h"

namespace {

class ThemeLayerTest : public testing::Test {
protected:
    void SetUp() override { pw::gdi::SetThemeLayer(&layer); }
    void TearDown() override { pw::gdi::SetThemeLayer(nullptr); }
    pw::gdi::DrawingThemeLayer layer;
};

TEST_F(ThemeLayerTest, AnInstalledLayerMakesThemesActiveUntilItIsTakenAway) {
    EXPECT_TRUE(IsThemeActive());
    EXPECT_TRUE(AreVisualStylesAvailable());
    const HTHEME toolbar = OpenThemeData(nullptr, "ToolBar");
    ASSERT_NE(toolbar, nullptr);
    EXPECT_EQ(OpenThemeData(nullptr, "TOOLBAR"), toolbar);
    EXPECT_NE(OpenThemeData(nullptr, "Rebar"), toolbar);
    EXPECT_EQ(OpenThemeData(nullptr, "NoSuchClass"), nullptr);
    EXPECT_EQ(CloseThemeData(toolbar), S_OK);
    pw::gdi::SetThemeLayer(nullptr);
    EXPECT_FALSE(IsThemeActive());
    EXPECT_EQ(OpenThemeData(nullptr, "ToolBar"), nullptr);
    SIZE size{7, 7};
    // A handle kept from before answers nothing any more.
    EXPECT_LT(GetThemePartSize(toolbar, nullptr, TP_BUTTON, 1, nullptr, TS_TRUE, &size), 0);
    EXPECT_EQ(size.cx, 7);
}

TEST_F(ThemeLayerTest, PartsAreFramedBoxesInTheirOwnColoursAndBackgroundsAreNot) {
    pw::gdi::MemoryDC dc(nullptr, 60, 40);
    const RECT all{0, 0, 60, 40};
    FillRect(dc.Get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    const HTHEME toolbar = OpenThemeData(nullptr, "ToolBar");
    const RECT button{10, 10, 30, 30};
    ASSERT_EQ(DrawThemeBackground(toolbar, dc.Get(), TP_BUTTON, TS_HOT, &button, nullptr), S_OK);
    const COLORREF hot = pw::gdi::DrawingThemeLayer::PartColor("toolbar", TP_BUTTON, TS_HOT);
    EXPECT_EQ(GetPixel(dc.Get(), 20, 20), hot);
    EXPECT_EQ(GetPixel(dc.Get(), 10, 10), pw::gdi::DrawingThemeLayer::FrameColor(hot));
    EXPECT_EQ(GetPixel(dc.Get(), 29, 29), pw::gdi::DrawingThemeLayer::FrameColor(hot));
    EXPECT_EQ(GetPixel(dc.Get(), 30, 30), RGB(255, 255, 255));
    EXPECT_NE(hot, pw::gdi::DrawingThemeLayer::PartColor("toolbar", TP_BUTTON, TS_PRESSED));
    // The clip rectangle keeps the part to its left half; a background has no frame.
    const RECT clip{40, 0, 50, 40}, band{40, 0, 60, 40};
    DrawThemeBackground(OpenThemeData(nullptr, "Rebar"), dc.Get(), 0, 1, &band, &clip);
    const COLORREF rebar = pw::gdi::DrawingThemeLayer::PartColor("Rebar", 0, 1);
    EXPECT_EQ(GetPixel(dc.Get(), 40, 0), rebar);
    EXPECT_EQ(GetPixel(dc.Get(), 49, 20), rebar);
    EXPECT_EQ(GetPixel(dc.Get(), 50, 20), RGB(255, 255, 255));
    EXPECT_LT(DrawThemeBackground(nullptr, dc.Get(), TP_BUTTON, 1, &button, nullptr), 0);
}

TEST_F(ThemeLayerTest, MeasuresContentAndColoursComeFromTheLayersTable) {
    SIZE size{0, 0};
    ASSERT_EQ(
        GetThemePartSize(OpenThemeData(nullptr, "Rebar"), nullptr, RP_GRIPPER, 1, nullptr, TS_TRUE, &size),
        S_OK);
    EXPECT_EQ(size.cx, 5);
    GetThemePartSize(OpenThemeData(nullptr, "ToolBar"), nullptr, TP_SEPARATOR, 1, nullptr, TS_MIN, &size);
    EXPECT_EQ(size.cx, 6);
    GetThemePartSize(OpenThemeData(nullptr, "Window"), nullptr, WP_SMALLCLOSEBUTTON, 1, nullptr, TS_TRUE,
                     &size);
    EXPECT_EQ(size.cx, 13);
    GetThemePartSize(OpenThemeData(nullptr, "Status"), nullptr, SP_GRIPPER, 0, nullptr, TS_TRUE, &size);
    EXPECT_EQ(size.cy, 14);
    const RECT bounds{0, 0, 100, 100};
    RECT content{};
    GetThemeBackgroundContentRect(OpenThemeData(nullptr, "Edit"), nullptr, EP_EDITTEXT, 1, &bounds, &content);
    EXPECT_EQ(content, (RECT{2, 2, 98, 98}));
    GetThemeBackgroundContentRect(OpenThemeData(nullptr, "ToolBar"), nullptr, TP_SPLITBUTTON, 1, &bounds,
                                  &content);
    EXPECT_EQ(content, (RECT{3, 3, 97, 97}));
    COLORREF color = 0;
    ASSERT_EQ(GetThemeColor(OpenThemeData(nullptr, "ToolBar"), 0, 0, TMT_FILLCOLOR, &color), S_OK);
    EXPECT_EQ(color, pw::gdi::DrawingThemeLayer::PartColor("ToolBar", 0, 0));
    EXPECT_EQ(GetThemeColor(OpenThemeData(nullptr, "Edit"), EP_EDITTEXT, ETS_DISABLED, TMT_TEXTCOLOR, &color),
              S_OK);
    EXPECT_EQ(color, RGB(109, 109, 109));
    EXPECT_LT(GetThemeColor(OpenThemeData(nullptr, "ToolBar"), 0, 0, TMT_TEXTCOLOR, &color), 0);
}

} // namespace

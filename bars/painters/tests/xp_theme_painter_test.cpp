// The XP painter against a theme layer that draws each part as a box in its own colour: which part and
// state each element asks for, and the measures it takes from the theme.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "bars/core/toolbar.h"
#include "bars/core/toolbars.h"
#include "bars/painters/standard_painter.h"
#include "bars/painters/tests/fake_views.h"
#include "bars/painters/xp_painter.h"
#include "lookandfeel/colors.h"
#include "lookandfeel/themes.h"
#include "platform/gdi/drawing_theme.h"
#include "platform/gdi/stock.h"

using namespace bars;
using namespace bars::paint_test;
using pw::gdi::DrawingThemeLayer;

namespace {

const COLORREF kWhite = 0xFFFFFF;

COLORREF Part(const char* cls, int part, int state) {
    return DrawingThemeLayer::PartColor(cls, part, state);
}

// A dock site of rows as the painter sees it.
class FakeDock : public DockPaintView {
public:
    FakeDock(TdxBarDockingStyle side, std::vector<bool> borderless)
        : side_(side), borderless_(std::move(borderless)) {}
    TdxBarDockingStyle Side() const override { return side_; }
    SIZE SiteSize() const override { return SIZE{200, 60}; }
    int RowCount() const override { return static_cast<int>(borderless_.size()); }
    void RowExtent(int Index, int& From, int& To) const override {
        From = 20 * Index;
        To = From + 20;
    }
    bool RowBorderless(int Index) const override { return borderless_[static_cast<size_t>(Index)]; }

private:
    TdxBarDockingStyle side_;
    std::vector<bool> borderless_;
};

class XPThemePainterTest : public ::testing::Test {
protected:
    XPThemePainterTest() {
        pw::gdi::SetThemeLayer(&layer);
        NotifyThemeChanged();
        manager = new TdxBarManager(&form);
        manager->SetStyle(bmsXP);
        bar = manager->Bars()->Add();
        view = std::make_unique<FakeBarView>(manager, bar, dsTop);
        menu = std::make_unique<FakeBarView>(manager, nullptr, dsNone, 150, 120);
        menu->subMenu = true;
        item = std::make_unique<FakeItemView>(*view);
        line = std::make_unique<FakeItemView>(*menu);
        Clear();
    }
    ~XPThemePainterTest() override {
        pw::gdi::SetThemeLayer(nullptr);
        NotifyThemeChanged();
    }
    void Clear() {
        const RECT all{0, 0, 220, 80};
        FillRect(dc.Get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    COLORREF At(int x, int y) const { return GetPixel(dc.Get(), x, y); }
    DrawingThemeLayer layer;
    const TdxBarItemControlXPPainter& xp = XPBarPainter();
    PainterTestForm form;
    TdxBarManager* manager = nullptr;
    TdxBar* bar = nullptr;
    std::unique_ptr<FakeBarView> view, menu;
    std::unique_ptr<FakeItemView> item, line;
    pw::gdi::MemoryDC dc{nullptr, 220, 80};
};

TEST_F(XPThemePainterTest, WithAThemeTheManagerTakesTheXPPainterAndItsMeasuresComeFromTheTheme) {
    EXPECT_TRUE(manager->ThemesAvailable());
    EXPECT_EQ(&TdxBarItemControlPainter::Of(manager), &xp);
    EXPECT_EQ(xp.GetGripLineWidth(), 5);
    EXPECT_EQ(manager->GripAreaSize(), 7);
    EXPECT_EQ(xp.GetSeparatorSize(), 6);
    EXPECT_EQ(xp.GetSeparatorLineOffset(), 2);
    EXPECT_EQ(xp.GetSizeGripSize(bar), 14);
    EXPECT_EQ(xp.GetSizeGripHeight(), 16);
    // The split button's content lies 3 pixels in: 6 of margin on each image side.
    EXPECT_EQ(xp.GetButtonHeightMargin(), 6);
    EXPECT_EQ(manager->ButtonWidth(), 16 + 6);
    EXPECT_EQ(xp.GetTextHeightMargin(), (100 - 96) + 5);
    EXPECT_EQ(xp.CalcComboButtonWidth(7), 17);
    EXPECT_EQ(xp.GetSubMenuSeparatorHeight(), 6);
    EXPECT_EQ(xp.GetCaptionButtonSize().cx, 13);
    EXPECT_EQ(xp.GetBorderSize(), 0);
    EXPECT_EQ(xp.GetComboButtonKind(), 0);
    EXPECT_EQ(xp.CalcButtonWidth(*item, 30), 41);
    view->minWidth = 40;
    EXPECT_EQ(xp.GetBarMinWidth(*view), 43);
    EXPECT_EQ(xp.GetCheckedGlyphOffset(false), 1);
    EXPECT_EQ(xp.GetCheckedGlyphOffset(true), 0);
    EXPECT_EQ(StandardBarPainter().GetCheckedGlyphOffset(true), 1);
    EXPECT_EQ(BrushColor(xp.GetBarBrush(*view)), Part("ToolBar", 0, 0));
    EXPECT_EQ(xp.GetFadedGlyphColor(*view),
              BlendColors(static_cast<TColor>(Part("ToolBar", 0, 0)), clBtnShadow, 70));
    // Without the theme the style falls back to the enhanced painter.
    pw::gdi::SetThemeLayer(nullptr);
    NotifyThemeChanged();
    EXPECT_FALSE(manager->ThemesAvailable());
    EXPECT_EQ(&TdxBarItemControlPainter::Of(manager), &EnhancedBarPainter());
}

TEST_F(XPThemePainterTest, ButtonFacesAskForTheToolbarButtonStateOfTheirItem) {
    struct Case {
        ItemState state;
        int themeState;
    };
    ItemState disabled;
    disabled.Enabled = false;
    disabled.Pressed = true;
    ItemState pressed;
    pressed.Pressed = true;
    pressed.Down = true;
    ItemState checked;
    checked.Down = true;
    checked.Selected = true;
    ItemState hot;
    hot.Selected = true;
    const Case cases[] = {{disabled, 4}, {pressed, 3}, {checked, 5}, {hot, 2}, {ItemState{}, 1}};
    for (const Case& c : cases) {
        xp.DrawGlyphFrame(*item, dc.Get(), c.state, RECT{10, 10, 33, 32}, true, view->BkBrush());
        EXPECT_EQ(At(20, 20), Part("ToolBar", TP_BUTTON, c.themeState)) << c.themeState;
    }
    // A button whose menu is open is the split button.
    ItemState open = hot;
    open.DroppedDown = true;
    xp.DrawGlyphFrame(*item, dc.Get(), open, RECT{10, 10, 33, 32}, true, view->BkBrush());
    EXPECT_EQ(At(20, 20), Part("ToolBar", TP_SPLITBUTTON, 2));
    // The menu bar's sub-items keep the flat highlight and their captions still.
    bar->SetIsMainMenu(true);
    item->subItem = true;
    EXPECT_TRUE(xp.NoPressedTextShift(*item));
    xp.DrawGlyphFrame(*item, dc.Get(), hot, RECT{10, 10, 33, 32}, true, view->BkBrush());
    EXPECT_EQ(At(20, 20), GetSysColor(COLOR_HIGHLIGHT));
    item->subItem = false;
    EXPECT_FALSE(xp.NoPressedTextShift(*item));
    // A selected menu line's cell is the highlight brush the painter gives it.
    line->check = true;
    xp.DrawGlyphFrame(*line, dc.Get(), ItemState{true, false, false, true, false, true}, RECT{50, 10, 70, 30},
                      true, xp.GetButtonBrush(*line, 1, ItemState{true, false, false, true, false, true}));
    EXPECT_EQ(At(60, 20), GetSysColor(COLOR_HIGHLIGHT));
}

TEST_F(XPThemePainterTest, DropDownPartsFollowTheirOwnStateRule) {
    struct Case {
        bool enabled, pressed, dropped, hot;
        int themeState;
    } cases[] = {{false, true, false, true, 4},
                 {true, true, false, false, 3},
                 {true, false, true, false, 3},
                 {true, false, false, true, 2},
                 {true, false, false, false, 1}};
    for (const Case& c : cases) {
        ItemState state;
        state.Enabled = c.enabled;
        state.Pressed = c.pressed;
        state.DroppedDown = c.dropped;
        state.Selected = c.hot;
        xp.DrawDropDownButton(*item, dc.Get(), state, false, view->BkBrush(), RECT{10, 10, 24, 32});
        EXPECT_EQ(At(17, 20), Part("ToolBar", TP_SPLITBUTTONDROPDOWN, c.themeState)) << c.themeState;
        xp.DrawDropDownButton(*line, dc.Get(), state, true, menu->BkBrush(), RECT{40, 10, 60, 32});
        EXPECT_EQ(At(41, 11), Part("ToolBar", TP_BUTTON, c.themeState)) << c.themeState;
    }
}

TEST_F(XPThemePainterTest, ABorderlessBarsEndMarkIsTwoPixelsNarrowerAcrossTheBar) {
    const RECT mark{100, 0, 111, 30};
    xp.DrawMarkBackground(*view, dc.Get(), view->BkBrush(), mark);
    EXPECT_EQ(At(100, 15), DrawingThemeLayer::FrameColor(Part("ToolBar", TP_BUTTON, 1)));
    bar->SetBorderStyle(bbsNone);
    view->markState = 1;
    xp.DrawMarkBackground(*view, dc.Get(), view->BkBrush(), mark);
    EXPECT_EQ(At(101, 15), BrushColor(view->BkBrush()));
    EXPECT_EQ(At(102, 15), DrawingThemeLayer::FrameColor(Part("ToolBar", TP_BUTTON, 2)));
    EXPECT_EQ(At(105, 15), Part("ToolBar", TP_BUTTON, 2));
}

TEST_F(XPThemePainterTest, EditBoxesTakeTheirEditStateAndShrinkToTheThemesContent) {
    const COLORREF background = BrushColor(view->BkBrush());
    struct Case {
        bool enabled, readOnly, hot;
        int themeState;
    } cases[] = {{false, false, false, ETS_DISABLED},
                 {true, true, true, ETS_READONLY},
                 {true, false, true, ETS_NORMAL}};
    for (const Case& c : cases) {
        item->enabled = c.enabled;
        item->readOnly = c.readOnly;
        ItemState state;
        state.Enabled = c.enabled;
        state.Selected = c.hot;
        RECT r{10, 10, 80, 32};
        xp.DrawEditBorder(*item, dc.Get(), state, r);
        EXPECT_EQ(r, (RECT{12, 12, 78, 30}));
        EXPECT_EQ(At(11, 20), Part("Edit", EP_EDITTEXT, c.themeState)) << c.themeState;
    }
    // An idle enabled box on a toolbar shows the bar behind its frame.
    item->enabled = true;
    item->readOnly = false;
    RECT r{10, 40, 80, 62};
    xp.DrawEditBorder(*item, dc.Get(), ItemState{}, r);
    EXPECT_EQ(At(11, 50), background);
    // The value: the theme's text colour on the window colour.
    Clear();
    xp.DrawEditText(*item, dc.Get(), "Find", RECT{10, 10, 80, 30});
    EXPECT_EQ(At(11, 11), GetSysColor(COLOR_WINDOW));
    bool themedText = false;
    for (int y = 10; y < 30; ++y)
        for (int x = 10; x < 80; ++x)
            themedText = themedText || At(x, y) == RGB(0, 0, 64);
    EXPECT_TRUE(themedText);
    item->enabled = false;
    xp.DrawEditText(*item, dc.Get(), "Find", RECT{10, 10, 80, 30});
    EXPECT_EQ(At(11, 11), Part("Edit", EP_EDITTEXT, ETS_DISABLED));
}

TEST_F(XPThemePainterTest, DockRowsGetALightAndADarkLineExceptAlongTheFormsEdges) {
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT), dark = GetSysColor(COLOR_BTNSHADOW);
    const COLORREF rebar = Part("Rebar", 0, 1);
    const RECT site{0, 0, 200, 60};
    // Top: no light line on the first row, no dark one on the last; a borderless row has none.
    FakeDock top(dsTop, {false, false, true});
    xp.DrawDockBackground(dc.Get(), site, site, clNone, nullptr, dsTop, &top);
    EXPECT_EQ(At(50, 0), rebar);
    EXPECT_EQ(At(50, 19), dark);
    EXPECT_EQ(At(50, 20), light);
    EXPECT_EQ(At(50, 39), dark);
    EXPECT_EQ(At(50, 40), rebar);
    EXPECT_EQ(At(50, 59), rebar);
    FakeDock bottom(dsBottom, {false, false});
    xp.DrawDockBackground(dc.Get(), site, site, clNone, nullptr, dsBottom, &bottom);
    EXPECT_EQ(At(50, 0), light);
    EXPECT_EQ(At(50, 19), dark);
    EXPECT_EQ(At(50, 20), light);
    EXPECT_EQ(At(50, 39), rebar);
    FakeDock left(dsLeft, {false, false});
    xp.DrawDockBackground(dc.Get(), site, site, clNone, nullptr, dsLeft, &left);
    EXPECT_EQ(At(0, 30), rebar);
    EXPECT_EQ(At(19, 30), dark);
    EXPECT_EQ(At(20, 30), light);
    EXPECT_EQ(At(39, 30), dark);
    FakeDock right(dsRight, {false, false});
    xp.DrawDockBackground(dc.Get(), site, site, clNone, nullptr, dsRight, &right);
    EXPECT_EQ(At(0, 30), light);
    EXPECT_EQ(At(19, 30), dark);
    EXPECT_EQ(At(39, 30), rebar);
}

TEST_F(XPThemePainterTest, CaptionsGripsAndFloatingBackgroundsComeFromTheWindowAndStatusClasses) {
    FakeBarView floating(manager, bar, dsNone);
    xp.FillCaption(floating, dc.Get(), nullptr, RECT{10, 10, 60, 20});
    EXPECT_EQ(At(30, 15), GetSysColor(COLOR_INACTIVECAPTION));
    manager->SetParentFormActive(true);
    xp.FillCaption(floating, dc.Get(), nullptr, RECT{10, 10, 60, 20});
    EXPECT_EQ(At(30, 15), GetSysColor(COLOR_ACTIVECAPTION));
    xp.DrawBarSizeGrip(*view, dc.Get(), view->BkBrush(), RECT{100, 10, 114, 24});
    EXPECT_EQ(At(107, 17), Part("Status", SP_GRIPPER, 0));
    xp.DrawBarBackground(floating, dc.Get(), RECT{120, 10, 140, 30}, floating.BkBrush());
    EXPECT_EQ(At(130, 20), Part("Status", 0, 0));
    xp.DrawCloseButton(floating, dc.Get(), RECT{150, 10, 163, 23});
    EXPECT_EQ(At(156, 16), Part("Window", WP_SMALLCLOSEBUTTON, 1));
}

TEST_F(XPThemePainterTest, TextSpinAndProgressPartsDrawThroughTheirClasses) {
    xp.DrawTextButton(*view, dc.Get(), RECT{10, 10, 60, 30}, true, "");
    EXPECT_EQ(At(20, 12), Part("ToolBar", TP_BUTTON, TS_PRESSED));
    xp.DrawSpinArrow(*item, dc.Get(), false, true, 1, 5, RECT{70, 10, 90, 30});
    EXPECT_EQ(At(80, 15), Part("Spin", SPNP_UP, 2));
    EXPECT_EQ(At(80, 25), kWhite);
    xp.DrawSpinArrow(*item, dc.Get(), true, false, 2, 5, RECT{70, 10, 90, 30});
    EXPECT_EQ(At(80, 25), Part("Spin", SPNP_DOWN, 3));
    xp.DrawProgressBar(*item, dc.Get(), 10, 0, 5, false, 1, clRed, RECT{100, 10, 200, 30});
    EXPECT_EQ(At(105, 20), Part("Progress", PP_CHUNK, 1));
    EXPECT_EQ(At(190, 20), Part("Progress", PP_BAR, 1));
    EXPECT_EQ(xp.GetProgressBarColor(), Part("Progress", PP_CHUNK, 1));
    EXPECT_EQ(xp.GetProgressStep(), 16);
    // The hot caption of an edit line in a menu is the highlight, with no frame.
    line->caption = "Find";
    RECT r{10, 40, 120, 60};
    xp.DrawEditCaption(*line, dc.Get(), ItemState{true, false, false, true, false, true}, r);
    EXPECT_EQ(At(10, 40), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_GT(r.left, 10);
}

} // namespace

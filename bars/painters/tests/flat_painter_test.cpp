// The flat painter on a bitmap with the fixed colour table and font: which pixels each part sets.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "bars/core/bar_manager.h"
#include "bars/core/bar_unit.h"
#include "bars/core/toolbar.h"
#include "bars/core/toolbars.h"
#include "bars/core/window_services.h"
#include "bars/painters/flat_painter.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/fonts.h"
#include "platform/gdi/scoped.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/stock.h"
#include "platform/gdi/syscolors.h"
#include "platform/vcl/application.h"
#include "platform/vcl/form.h"
#include "tests/support/gui/environment_steps.h"

using namespace bars;

namespace {

// The toolbar library and its painters, started once the application runs.
class Painters : public WindowServices {
public:
    const Painter* FindPainter(TdxBarManagerStyle Style) const override { return StylePainter(Style); }
};
const Painters painters;
[[maybe_unused]] const bool barsStarted = testsupport::AddEnvironmentStep(
    [] {
        StartBarUnit();
        SetWindowServices(&painters);
    },
    [] {
        SetWindowServices(nullptr);
        ShutdownBarUnit();
    });

class PainterForm : public TForm {
public:
    PainterForm() : TForm(nullptr) {}
    std::string ClassName() const override { return "TPainterTestForm"; }
};

COLORREF BrushColor(HBRUSH brush) {
    pw::gdi::MemoryDC dc(nullptr, 1, 1);
    const RECT r{0, 0, 1, 1};
    FillRect(dc.Get(), &r, brush);
    return GetPixel(dc.Get(), 0, 0);
}

// A toolbar window as the painter sees it: its background is the toolbar brush.
class FakeBar : public BarPaintView {
public:
    FakeBar(TdxBarManager* manager, TdxBar* bar, TdxBarDockingStyle style)
        : manager_(manager), bar_(bar), style_(style) {}
    TdxBarManager* Manager() const override { return manager_; }
    TdxBar* Bar() const override { return bar_; }
    TdxBarDockingStyle PaintDockingStyle() const override { return style_; }
    int LineHeight() const override { return 20; }
    HFONT PaintFont() const override { return manager_->FontHandle(); }
    HBRUSH BkBrush() const override { return FlatBarPainter().GetToolbarBrush(const_cast<FakeBar&>(*this)); }
    void PaintBackground(HDC DC, const RECT& R, HBRUSH Brush) override { FillRect(DC, &R, Brush); }
    int ClientWidth() const override { return 200; }
    int ClientHeight() const override { return 30; }
    int MarkState() const override { return markState; }
    bool MarkVisible() const override { return markVisible; }
    bool ItemsHidden() const override { return itemsHidden; }
    int CloseButtonState() const override { return closeState; }
    RECT CloseButtonRect() const override { return RECT{150, 4, 164, 18}; }
    RECT CaptionMarkRect() const override { return RECT{136, 4, 150, 18}; }
    int markState = 0;
    bool markVisible = false;
    bool itemsHidden = false;
    int closeState = 0;

private:
    TdxBarManager* manager_;
    TdxBar* bar_;
    TdxBarDockingStyle style_;
};

class FakeItem : public ItemPaintView {
public:
    explicit FakeItem(FakeBar& bar) : bar_(bar) {}
    BarPaintView& ParentView() const override { return bar_; }
    bool PaintEnabled() const override { return enabled; }
    std::string PaintCaption() const override { return caption; }
    bool IsCheckItem() const override { return check; }
    bool enabled = true;
    bool check = false;
    std::string caption = "&Open";

private:
    FakeBar& bar_;
};

class FlatPainterTest : public ::testing::Test {
protected:
    FlatPainterTest() {
        manager = new TdxBarManager(&form);
        manager->SetStyle(bmsFlat);
        bar = manager->Bars()->Add();
        bar->SetCaption("Tools");
        view = std::make_unique<FakeBar>(manager, bar, dsTop);
        item = std::make_unique<FakeItem>(*view);
        const RECT all{0, 0, 220, 60};
        FillRect(dc.Get(), &all,
                 GetStockObject(WHITE_BRUSH) ? static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)) : nullptr);
    }
    COLORREF At(int x, int y) const { return GetPixel(dc.Get(), x, y); }
    const TdxBarItemControlFlatPainter& painter = FlatBarPainter();
    PainterForm form;
    TdxBarManager* manager = nullptr;
    TdxBar* bar = nullptr;
    std::unique_ptr<FakeBar> view;
    std::unique_ptr<FakeItem> item;
    pw::gdi::MemoryDC dc{nullptr, 220, 60};
};

TEST_F(FlatPainterTest, TheManagerOfTheFlatStyleDrawsWithTheFlatPainterAndItsMetrics) {
    EXPECT_EQ(&TdxBarItemControlPainter::Of(manager), &painter);
    EXPECT_EQ(manager->GripAreaSize(), 6);
    EXPECT_EQ(manager->BeforeGripSize(), 1);
    EXPECT_EQ(manager->ButtonArrowWidthMetric(), 10);
    EXPECT_EQ(painter.GetSeparatorSize(), 5);
    EXPECT_EQ(painter.CalcItemHeight(13), 20);
}

TEST_F(FlatPainterTest, HotPressedAndCheckedFacesTakeTheirBlendsInsideAOnePixelHighlightFrame) {
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    struct Case {
        ItemState state;
        int brush;
    } cases[] = {{{true, false, false, true, false}, 4},  // hot
                 {{true, false, true, true, false}, 3},   // pressed
                 {{false, true, false, true, false}, 2}}; // checked, not hot
    for (const Case& c : cases) {
        const RECT button{10, 10, 40, 38};
        item->caption.clear();
        painter.DrawGlyph(*item, dc.Get(), button, c.state, &button);
        EXPECT_EQ(At(10, 10), highlight);
        EXPECT_EQ(At(39, 37), highlight);
        EXPECT_EQ(At(11, 11), BrushColor(manager->FlatBrush(c.brush)));
        EXPECT_EQ(At(25, 24), BrushColor(manager->FlatBrush(c.brush)));
    }
    // A plain button has no frame: its ring takes the toolbar's lighter face.
    const RECT button{50, 10, 80, 38};
    painter.DrawGlyph(*item, dc.Get(), button, ItemState{}, &button);
    EXPECT_EQ(At(50, 10), BrushColor(manager->FlatBrush(1)));
    EXPECT_NE(BrushColor(manager->FlatBrush(1)), GetSysColor(COLOR_BTNFACE));
}

TEST_F(FlatPainterTest, TheMainMenuKeepsTheButtonFaceWhileOtherToolbarsTakeTheLighterFlatFace) {
    EXPECT_EQ(BrushColor(painter.GetToolbarBrush(*view)), BrushColor(manager->FlatBrush(1)));
    bar->SetIsMainMenu(true);
    EXPECT_EQ(BrushColor(painter.GetToolbarBrush(*view)), GetSysColor(COLOR_BTNFACE));
}

TEST_F(FlatPainterTest, AToolbarSeparatorIsTwoPixelsOfFaceAShadowLineAndTwoMore) {
    const RECT r{100, 5, 105, 30};
    painter.DrawSeparator(*view, dc.Get(), true, manager->FlatBrush(1), r);
    const COLORREF face = BrushColor(manager->FlatBrush(1));
    EXPECT_EQ(At(100, 15), face);
    EXPECT_EQ(At(101, 15), face);
    EXPECT_EQ(At(102, 15), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(At(103, 15), face);
    EXPECT_EQ(At(104, 15), face);
    // Across a horizontal bar the line runs the whole height.
    EXPECT_EQ(At(102, 5), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(At(102, 29), GetSysColor(COLOR_BTNSHADOW));
}

TEST_F(FlatPainterTest, TheDockedBorderHasRoundedCornersAndADottedGrip) {
    const RECT window{0, 0, 200, 30};
    const HBRUSH brush = manager->FlatBrush(1);
    FillRect(dc.Get(), &window, brush);
    painter.DrawDockedBorder(*view, dc.Get(), brush, window);
    const COLORREF face = GetSysColor(COLOR_BTNFACE), shadow = GetSysColor(COLOR_BTNSHADOW);
    EXPECT_EQ(At(0, 0), face);
    EXPECT_EQ(At(1, 1), face); // the rounded corner
    EXPECT_EQ(At(2, 2), BrushColor(brush));
    // Grip: one pixel after the 2-pixel border, 3 wide, 3 in from top and bottom, every other row dark.
    EXPECT_EQ(At(3, 5), shadow);
    EXPECT_EQ(At(5, 5), shadow);
    EXPECT_EQ(At(3, 6), BrushColor(brush));
    EXPECT_EQ(At(3, 7), shadow);
    EXPECT_EQ(At(6, 5), BrushColor(brush));
    EXPECT_EQ(At(3, 4), BrushColor(brush));
}

TEST_F(FlatPainterTest, TheEndMarkShowsChevronsOnlyWhenItemsAreHidden) {
    const RECT mark = painter.GetMarkRect(*view);
    EXPECT_EQ(mark.left, 189);
    EXPECT_EQ(mark.right - mark.left, 11);
    auto darkPixels = [&] {
        int n = 0;
        for (int y = mark.top; y < mark.bottom; ++y)
            for (int x = mark.left; x < mark.right; ++x)
                n += At(x, y) == GetSysColor(COLOR_BTNTEXT);
        return n;
    };
    painter.DrawMark(*view, dc.Get(), manager->FlatBrush(1), mark);
    const int arrowOnly = darkPixels();
    EXPECT_GT(arrowOnly, 0);
    view->itemsHidden = true;
    painter.DrawMark(*view, dc.Get(), manager->FlatBrush(1), mark);
    EXPECT_GT(darkPixels(), arrowOnly + 8);
    // The chevrons start at x = left + 2, y = 4.
    EXPECT_EQ(At(mark.left + 2, 4), GetSysColor(COLOR_BTNTEXT));
}

TEST_F(FlatPainterTest, AFloatingCaptionIsInactiveCaptionColouredWithADarkCrossOnAHotCloseButton) {
    view = std::make_unique<FakeBar>(manager, bar, dsNone);
    const RECT caption{4, 4, 164, 18};
    painter.DrawFloatingCaption(*view, dc.Get(), manager->FlatBrush(1), caption);
    EXPECT_EQ(At(100, 5), GetSysColor(COLOR_INACTIVECAPTION));
    EXPECT_EQ(At(100, 18), BrushColor(manager->FlatBrush(1)));
    view->closeState = 1;
    painter.DrawFloatingCaption(*view, dc.Get(), manager->FlatBrush(1), caption);
    EXPECT_EQ(At(150, 4), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(At(151, 5), BrushColor(manager->FlatBrush(4)));
    // The cross: its first diagonal from the top-left of the button inset by (3, 4).
    EXPECT_EQ(At(153, 8), GetSysColor(COLOR_BTNTEXT));
    EXPECT_EQ(At(154, 8), GetSysColor(COLOR_BTNTEXT));
}

TEST_F(FlatPainterTest, ACheckedItemWithoutPictureGetsAFlatTickCentredInItsCell) {
    item->check = true;
    const RECT cell{10, 10, 32, 32};
    ItemState state;
    state.Down = true;
    painter.DrawGlyph(*item, dc.Get(), cell, state, nullptr);
    int black = 0, left = 99, right = 0;
    for (int y = 10; y < 32; ++y)
        for (int x = 10; x < 32; ++x)
            if (At(x, y) == 0) {
                ++black;
                left = std::min(left, x);
                right = std::max(right, x);
            }
    EXPECT_GT(black, 10);
    // Three-point polylines from x + 1 to x + 8, the last point left out.
    EXPECT_EQ(right - left, 6);
    EXPECT_EQ(left, (10 + 32 - 9) / 2 + 1);
}

TEST_F(FlatPainterTest, DisabledTextIsPlainGreyInTheFlatStyleAndEtchedInTheBase) {
    const RECT r{10, 10, 100, 40};
    auto count = [&](COLORREF c) {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                n += At(x, y) == c;
        return n;
    };
    const RECT all{0, 0, 220, 60};
    FillRect(dc.Get(), &all, GetSysColorBrush(COLOR_BTNFACE));
    painter.DrawItemText(*item, dc.Get(), "Open", r, 0, false, false, false, true);
    EXPECT_GT(count(GetSysColor(COLOR_GRAYTEXT)), 10);
    EXPECT_EQ(count(GetSysColor(COLOR_BTNHIGHLIGHT)), 0);
    FillRect(dc.Get(), &all, GetSysColorBrush(COLOR_BTNFACE));
    BaseBarPainter().DrawItemText(*item, dc.Get(), "Open", r, 0, false, false, false, true);
    EXPECT_GT(count(GetSysColor(COLOR_BTNHIGHLIGHT)), 10);
}

} // namespace

// The rows of the customizing window's command list in each style, pixel by pixel on a bitmap with the
// fixed colour table and font.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "bars/core/bar_button.h"
#include "bars/core/bar_combo.h"
#include "bars/core/bar_drawing.h"
#include "bars/core/bar_edit.h"
#include "bars/core/bar_manager.h"
#include "bars/core/bar_unit.h"
#include "bars/core/container_item.h"
#include "bars/core/sub_item.h"
#include "bars/customizing/customizing_painters.h"
#include "bars/painters/flat_painter.h"
#include "bars/windows/dock_control.h"
#include "lookandfeel/office11.h"
#include "platform/gdi/edges.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/syscolors.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"
#include "platform/graphics/graphics_types.h"
#include "platform/vcl/application.h"
#include "platform/vcl/form.h"
#include "tests/support/gui/environment_steps.h"

using namespace bars;

namespace {

// The toolbar library, its painters and its window classes, started once the application runs.
[[maybe_unused]] const bool barsStarted = testsupport::AddEnvironmentStep(
    [] {
        StartBarUnit();
        RegisterBarWindows();
    },
    [] { ShutdownBarUnit(); });

class CustomizingForm : public TForm {
public:
    CustomizingForm() : TForm(nullptr) {}
    std::string ClassName() const override { return "TCustomizingPaintersTestForm"; }
};

class CustomizingPaintersTest : public ::testing::Test {
protected:
    CustomizingPaintersTest() {
        manager = new TdxBarManager(&form);
        bitmap.SetWidth(240);
        bitmap.SetHeight(60);
        canvas().Brush().SetColor(clFuchsia);
        canvas().FillRect(TRect{0, 0, 240, 60});
    }
    TCanvas& canvas() { return bitmap.Canvas(); }
    COLORREF At(int x, int y) { return GetPixel(canvas().Handle(), x, y); }
    int Count(const RECT& r, COLORREF c) {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                n += At(x, y) == c;
        return n;
    }
    static COLORREF Rgb(TColor c) { return ColorToRGB(c); }
    static COLORREF Sys(int i) { return GetSysColor(i); }
    template <class T> T* Item(const std::string& caption) {
        auto* item = new T(&form);
        item->SetCaption(caption);
        return item;
    }
    const TdxBarCustomizingFormPainter& Painter(TdxBarManagerStyle style) {
        manager->SetStyle(style);
        return TdxBarCustomizingFormPainter::For(manager);
    }

    CustomizingForm form;
    TdxBarManager* manager = nullptr;
    TBitmap bitmap;
    const RECT row{10, 10, 210, 32};
};

TEST_F(CustomizingPaintersTest, TheListTakesThePainterOfTheBarsStyle) {
    EXPECT_NE(dynamic_cast<const TdxBarCustomizingFormStandardPainter*>(&Painter(bmsStandard)), nullptr);
    EXPECT_NE(dynamic_cast<const TdxBarCustomizingFormStandardPainter*>(&Painter(bmsEnhanced)), nullptr);
    // Without visual styles the XP bars are drawn in the enhanced style, and so is the list.
    EXPECT_NE(dynamic_cast<const TdxBarCustomizingFormStandardPainter*>(&Painter(bmsXP)), nullptr);
    const TdxBarCustomizingFormPainter& flat = Painter(bmsFlat);
    EXPECT_NE(dynamic_cast<const TdxBarCustomizingFormFlatPainter*>(&flat), nullptr);
    EXPECT_EQ(dynamic_cast<const TdxBarCustomizingFormOffice11Painter*>(&flat), nullptr);
    EXPECT_NE(dynamic_cast<const TdxBarCustomizingFormOffice11Painter*>(&Painter(bmsOffice11)), nullptr);
}

TEST_F(CustomizingPaintersTest, AStandardRowIsAGlyphColumnAndACaptionFrom26PixelsInHighlightedWhenSelected) {
    const TdxBarCustomizingFormPainter& painter = Painter(bmsStandard);
    TdxBarButton* open = Item<TdxBarButton>("Open");
    painter.DrawCommand(canvas(), row, false, "Open", open);
    EXPECT_EQ(At(10, 20), Sys(COLOR_BTNFACE));
    EXPECT_EQ(At(33, 20), Sys(COLOR_BTNFACE));
    EXPECT_EQ(At(209, 31), Sys(COLOR_BTNFACE));
    EXPECT_EQ(Count(RECT{10, 10, 36, 32}, Sys(COLOR_BTNTEXT)), 0);
    EXPECT_GT(Count(RECT{36, 10, 80, 32}, Sys(COLOR_BTNTEXT)), 10);
    EXPECT_EQ(At(210, 20), Rgb(clFuchsia));

    painter.DrawCommand(canvas(), row, true, "Open", open);
    // Without a picture the glyph column is highlighted with the caption.
    EXPECT_EQ(At(10, 20), Sys(COLOR_HIGHLIGHT));
    EXPECT_EQ(At(209, 20), Sys(COLOR_HIGHLIGHT));
    EXPECT_GT(Count(RECT{36, 10, 80, 32}, Sys(COLOR_HIGHLIGHTTEXT)), 10);
    // The focus rectangle is drawn by inverting: a second one takes the first away.
    painter.DrawFocusRect(canvas(), row, open);
    EXPECT_NE(At(12, 12), Sys(COLOR_HIGHLIGHT));
    painter.DrawFocusRect(canvas(), row, open);
    EXPECT_EQ(At(12, 12), Sys(COLOR_HIGHLIGHT));
}

TEST_F(CustomizingPaintersTest, DropDownButtonsSubMenusAndContainersEndTheirRowsDifferently) {
    const TdxBarCustomizingFormPainter& painter = Painter(bmsStandard);
    TdxBarButton* more = Item<TdxBarButton>("More");
    more->SetButtonStyle(bsDropDown);
    painter.DrawCommand(canvas(), row, false, "More", more);
    // An etched line a pixel before the 13-pixel part, the arrow 9 pixels from the right.
    EXPECT_EQ(At(210 - 13 - 1, 20), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(At(210 - 13, 20), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(At(201, 20), Sys(COLOR_BTNTEXT));
    EXPECT_EQ(At(201, 17), Sys(COLOR_BTNTEXT));
    EXPECT_EQ(At(204, 20), Sys(COLOR_BTNTEXT));
    EXPECT_EQ(At(205, 20), Sys(COLOR_BTNFACE));

    TdxBarSubItem* sub = Item<TdxBarSubItem>("File");
    painter.DrawCommand(canvas(), row, false, "File", sub);
    EXPECT_EQ(At(201, 20), Sys(COLOR_BTNTEXT));
    EXPECT_EQ(At(197, 20), Sys(COLOR_BTNFACE));

    TdxBarContainerItem* list = Item<TdxBarContainerItem>("List");
    painter.DrawCommand(canvas(), row, false, "List", list);
    EXPECT_EQ(Count(RECT{190, 10, 210, 32}, Sys(COLOR_BTNTEXT)), 0);
    // Its caption is put in parentheses, so it reaches further than the bare one.
    int bare = 0, wrapped = 0;
    painter.DrawCommand(canvas(), row, false, "List", sub);
    for (int x = 36; x < 120; ++x)
        if (Count(RECT{x, 10, x + 1, 32}, Sys(COLOR_BTNTEXT)) > 0) bare = x;
    painter.DrawCommand(canvas(), row, false, "List", list);
    for (int x = 36; x < 120; ++x)
        if (Count(RECT{x, 10, x + 1, 32}, Sys(COLOR_BTNTEXT)) > 0) wrapped = x;
    EXPECT_GT(wrapped, bare + 4);
}

TEST_F(CustomizingPaintersTest, EditAndComboRowsShowTheirCaptionAWindowColouredBoxAndTheComboButton) {
    const TdxBarCustomizingFormPainter& painter = Painter(bmsStandard);
    TdxBarEdit* edit = Item<TdxBarEdit>("Find");
    painter.DrawEditCommand(canvas(), row, false, "Find", edit);
    EXPECT_EQ(At(150, 20), Sys(COLOR_WINDOW));
    EXPECT_EQ(At(209, 20), Sys(COLOR_BTNFACE)); // the second ring of the box
    EXPECT_EQ(At(207, 20), Sys(COLOR_WINDOW));
    painter.DrawEditCommand(canvas(), row, true, "Find", edit);
    EXPECT_EQ(At(209, 31), Sys(COLOR_BTNHIGHLIGHT)); // sunken
    EXPECT_EQ(At(150, 10), Sys(COLOR_BTNSHADOW));

    TdxBarCombo* combo = Item<TdxBarCombo>("Size");
    painter.DrawEditCommand(canvas(), row, false, "Size", combo);
    // The box ends 12 pixels early; an 11-pixel button with a light frame holds the arrow.
    EXPECT_EQ(At(197, 20), Sys(COLOR_BTNFACE));
    EXPECT_EQ(At(198, 20), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(At(199, 20), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(At(209, 20), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_GT(Count(RECT{200, 11, 209, 31}, Sys(COLOR_BTNTEXT)), 3);
}

TEST_F(CustomizingPaintersTest, FlatAndOffice2003RowsFrameTheSelectionAndShadeTheGlyphSquare) {
    const TdxBarCustomizingFormPainter& flat = Painter(bmsFlat);
    TdxBarButton* open = Item<TdxBarButton>("Open");
    flat.DrawCommand(canvas(), row, false, "Open", open);
    // A square of the row height in the face, the rest in the window colour.
    EXPECT_EQ(At(10 + 21, 20), Sys(COLOR_BTNFACE));
    EXPECT_EQ(At(10 + 22, 20), Sys(COLOR_WINDOW));
    flat.DrawCommand(canvas(), row, true, "Open", open);
    EXPECT_EQ(At(10, 10), Sys(COLOR_HIGHLIGHT));
    EXPECT_EQ(At(209, 31), Sys(COLOR_HIGHLIGHT));
    EXPECT_EQ(At(100, 11), Rgb(GetNearestScreenColor(TdxBarManager::MakeFlatColor(-2, 30, 72))));

    const TdxBarCustomizingFormPainter& office = Painter(bmsOffice11);
    const TOffice11Colors& c = Office11Colors();
    office.DrawCommand(canvas(), row, false, "Open", open);
    EXPECT_EQ(At(10, 20), Rgb(c.MenuStripColor1));
    EXPECT_EQ(At(150, 20), Rgb(c.MenuColor));
    office.DrawCommand(canvas(), row, true, "Open", open);
    EXPECT_EQ(At(10, 10), Rgb(c.FrameColor));
    EXPECT_EQ(At(150, 20), Rgb(c.SelectedColor));
}

} // namespace

// The combo button and the edit box as each style draws them: where the arrow lies, its colour for
// the item's state, the frames around the button and the box.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "bars/core/toolbars.h"
#include "bars/painters/flat_painter.h"
#include "bars/painters/office11_painter.h"
#include "bars/painters/standard_painter.h"
#include "bars/painters/tests/fake_views.h"
#include "lookandfeel/office11.h"
#include "platform/gdi/stock.h"
#include "platform/graphics/graphics_types.h"

using namespace bars;
using namespace bars::paint_test;

namespace {

class ComboView : public FakeItemView {
public:
    using FakeItemView::FakeItemView;
    int ComboButtonWidth() const override { return 13; }
};

struct Style {
    TdxBarManagerStyle style;
    const TdxBarItemControlPainter* painter;
    // The arrow's top-left corner and width for the edit part (10, 5, 110, 27).
    int x, y, w;
};

class EditPartsTest : public ::testing::TestWithParam<Style> {
protected:
    EditPartsTest() {
        manager = new TdxBarManager(&form);
        manager->SetStyle(GetParam().style);
        bar = manager->Bars()->Add();
        view = std::make_unique<FakeBarView>(manager, bar, dsTop);
        item = std::make_unique<ComboView>(*view);
        Clear();
    }
    void Clear() {
        const RECT all{0, 0, 130, 40};
        FillRect(dc.Get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    RECT DrawButton(bool hot, bool enabled, bool dropped) {
        Clear();
        ItemState state;
        state.Selected = hot;
        state.Enabled = enabled;
        state.DroppedDown = dropped;
        item->enabled = enabled;
        return Painter().DrawComboButton(*item, dc.Get(), state, RECT{10, 5, 110, 27});
    }
    const TdxBarItemControlPainter& Painter() const { return TdxBarItemControlPainter::Of(manager); }
    COLORREF At(int x, int y) const { return GetPixel(dc.Get(), x, y); }
    static COLORREF Sys(int index) { return GetSysColor(index); }

    PainterTestForm form;
    TdxBarManager* manager = nullptr;
    TdxBar* bar = nullptr;
    std::unique_ptr<FakeBarView> view;
    std::unique_ptr<ComboView> item;
    pw::gdi::MemoryDC dc{nullptr, 130, 40};
};

// The button keeps to the right end of the edit part; its arrow is a triangle half the button wide
// (made odd), in the text colour, in the shadow colour when the item is disabled, one pixel lower and
// further right while the list is down.
TEST_P(EditPartsTest, ComboArrowPerState) {
    const Style s = GetParam();
    ASSERT_EQ(&Painter(), s.painter);
    const RECT button = DrawButton(false, true, false);
    EXPECT_EQ(button.left, 97);
    EXPECT_EQ(button.right, 110);
    COLORREF arrow = s.style == bmsOffice11 ? ColorToRGB(Office11Colors().TextColor) : Sys(COLOR_BTNTEXT);
    const int mid = s.x + s.w / 2;
    EXPECT_EQ(At(s.x, s.y), arrow);
    EXPECT_EQ(At(s.x + s.w - 1, s.y), arrow);
    EXPECT_EQ(At(mid, s.y + s.w / 2), arrow);
    EXPECT_NE(At(mid, s.y + s.w / 2 + 1), arrow);
    EXPECT_NE(At(s.x - 1, s.y), arrow);
    EXPECT_NE(At(s.x + s.w, s.y), arrow);

    DrawButton(false, true, true);
    EXPECT_NE(At(s.x, s.y), arrow);
    EXPECT_EQ(At(s.x + 1, s.y + 1), arrow);
    EXPECT_EQ(At(mid + 1, s.y + s.w / 2 + 1), arrow);

    DrawButton(false, false, false);
    const COLORREF disabled =
        s.style == bmsOffice11 ? ColorToRGB(Office11Colors().DisabledTextColor) : Sys(COLOR_BTNSHADOW);
    EXPECT_EQ(At(mid, s.y), disabled);
    EXPECT_NE(At(mid, s.y), arrow);
}

// Not hot the button is framed apart from the box by a light column; hot it gets the style's hot frame.
TEST_P(EditPartsTest, ButtonFrames) {
    const Style s = GetParam();
    DrawButton(false, true, false);
    switch (s.style) {
    case bmsFlat:
    case bmsStandard:
    case bmsEnhanced:
    case bmsXP:
        EXPECT_EQ(At(97, 5), Sys(COLOR_BTNHIGHLIGHT));
        EXPECT_EQ(At(96, 15), Sys(COLOR_BTNHIGHLIGHT));
        EXPECT_EQ(At(109, 26), Sys(COLOR_BTNHIGHLIGHT));
        break;
    default:
        EXPECT_EQ(At(97, 5), BrushColor(view->BkBrush()));
        EXPECT_EQ(At(96, 15), BrushColor(view->BkBrush()));
        break;
    }
    DrawButton(true, true, false);
    switch (s.style) {
    case bmsFlat:
        // The selection frame lies one pixel outside the button.
        EXPECT_EQ(At(96, 4), Sys(COLOR_HIGHLIGHT));
        EXPECT_EQ(At(110, 27), Sys(COLOR_HIGHLIGHT));
        break;
    case bmsOffice11:
        EXPECT_EQ(At(96, 4), ColorToRGB(Office11Colors().FrameColor));
        EXPECT_NE(At(103, 7), BrushColor(view->BkBrush()));
        break;
    default:
        // Raised: light at the top left, dark at the bottom right; sunken while down.
        EXPECT_EQ(At(97, 5), Sys(COLOR_BTNHIGHLIGHT));
        EXPECT_EQ(At(109, 26), Sys(COLOR_BTNSHADOW));
        DrawButton(true, true, true);
        EXPECT_EQ(At(97, 5), Sys(COLOR_BTNSHADOW));
        EXPECT_EQ(At(109, 26), Sys(COLOR_BTNHIGHLIGHT));
        break;
    }
}

// The box: the inside comes back smaller by the border's width; hot it is framed as selected.
TEST_P(EditPartsTest, EditBorder) {
    const Style s = GetParam();
    ItemState state;
    RECT r{10, 5, 110, 27};
    Painter().DrawEditBorder(*item, dc.Get(), state, r);
    const int border = s.style == bmsStandard || s.style == bmsEnhanced || s.style == bmsXP ? 2 : 1;
    EXPECT_EQ(r.left, 10 + border);
    EXPECT_EQ(r.bottom, 27 - border);
    state.Selected = true;
    r = RECT{10, 5, 110, 27};
    Painter().DrawEditBorder(*item, dc.Get(), state, r);
    switch (s.style) {
    case bmsFlat:
        EXPECT_EQ(At(10, 5), Sys(COLOR_HIGHLIGHT));
        break;
    case bmsOffice11:
        EXPECT_EQ(At(10, 5), ColorToRGB(Office11Colors().FrameColor));
        break;
    default:
        EXPECT_EQ(At(10, 5), Sys(COLOR_BTNSHADOW)); // sunken
        EXPECT_EQ(At(109, 26), Sys(COLOR_BTNHIGHLIGHT));
        break;
    }
    state.Selected = false;
    state.Enabled = false;
    item->enabled = false;
    r = RECT{10, 5, 110, 27};
    Painter().DrawEditBorder(*item, dc.Get(), state, r);
    if (s.style == bmsFlat) {
        EXPECT_EQ(At(10, 5), Sys(COLOR_BTNSHADOW));
    } else if (s.style == bmsOffice11) {
        EXPECT_EQ(At(10, 5), ColorToRGB(Office11Colors().DisabledTextColor));
    }
}

// Flat and Office 2003 centre a five-pixel arrow in the button's inside; Standard, Enhanced and the XP
// style without visual styles (drawn as Enhanced) a seven-pixel one from half the whole button.
std::string StyleName(const ::testing::TestParamInfo<Style>& info) {
    static const char* const names[] = {"Flat", "Standard", "Enhanced", "XP", "Office2003"};
    return names[info.index];
}

INSTANTIATE_TEST_SUITE_P(Styles, EditPartsTest,
                         ::testing::Values(Style{bmsFlat, &FlatBarPainter(), 101, 15, 5},
                                           Style{bmsStandard, &StandardBarPainter(), 100, 14, 7},
                                           Style{bmsEnhanced, &EnhancedBarPainter(), 100, 14, 7},
                                           Style{bmsXP, &EnhancedBarPainter(), 100, 14, 7},
                                           Style{bmsOffice11, &Office11BarPainter(), 101, 15, 5}),
                         StyleName);

} // namespace

#include <gtest/gtest.h>

#include <memory>

#include "controls/si_flat_btn.h"
#include "platform/gdi/shapes.h"
#include "platform/graphics/bitmap.h"
#include "platform/gui/input.h"
#include "platform/gui/paint.h"
#include "platform/vcl/form.h"
#include "test_support.h"

using namespace controls_test;

namespace {

// A strip of glyph cells of 8 x 8, cell i filled with Colors[i].
std::unique_ptr<TBitmap> Strip(std::initializer_list<TColor> Colors) {
    auto strip = std::make_unique<TBitmap>(8 * static_cast<int>(Colors.size()), 8);
    int i = 0;
    for (TColor c : Colors) {
        strip->Canvas().Brush().SetColor(c);
        strip->Canvas().FillRect(TRect{8 * i, 0, 8 * i + 8, 8});
        ++i;
    }
    return strip;
}

} // namespace

TEST(FlatButton, ShowsItsEdgeOnlyUnderThePointerAndPicksTheGlyphCellOfItsState) {
    std::unique_ptr<TForm> form(MakeForm(200, 100));
    auto* button = new TsiFlatBtn(form.get());
    button->SetParent(form.get());
    button->SetBounds(20, 20, 75, 25);
    button->SetElliptic(false);
    int clicks = 0;
    button->OnClick = [&](TObject*) { ++clicks; };
    auto strip = Strip({clRed, clGray, clGreen, clBlue});
    button->SetGlyph(strip.get());
    EXPECT_EQ(button->NumGlyphs(), 4) << "width / height of the strip";
    form->Show();
    const COLORREF face = ColorToRGB(clBtnFace);
    EXPECT_EQ(ClientPixel(form.get(), 20, 20), face) << "flat while the pointer is elsewhere";
    EXPECT_EQ(button->GlyphCell(), 0);
    // The glyph sits at W/8 across, H/2 - gh/2 down.
    EXPECT_EQ(ClientPixel(form.get(), 20 + 75 / 8 + 2, 20 + 25 / 2), ColorToRGB(clRed));

    const TPoint centre = button->ClientToScreen(TPoint{37, 12});
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, POINT{centre.x, centre.y});
    Pump();
    EXPECT_TRUE(button->MouseInside());
    EXPECT_EQ(button->GlyphCell(), 2);
    EXPECT_EQ(ClientPixel(form.get(), 20, 20), ColorToRGB(clBtnHighlight)) << "raised: lit outer edge";
    pw::gui::SimulateMouse(pw::gui::MouseAction::Down, POINT{centre.x, centre.y}, pw::gui::MouseButton::Left);
    Pump();
    EXPECT_TRUE(button->Pressed());
    EXPECT_EQ(button->GlyphCell(), 3);
    EXPECT_EQ(ClientPixel(form.get(), 20, 20), ColorToRGB(clBtnShadow)) << "lowered: shaded outer edge";
    pw::gui::SimulateMouse(pw::gui::MouseAction::Up, POINT{centre.x, centre.y}, pw::gui::MouseButton::Left);
    Pump();
    EXPECT_FALSE(button->Pressed());
    EXPECT_EQ(clicks, 1);

    button->SetEnabled(false);
    EXPECT_EQ(button->GlyphCell(), 1);
    button->SetNumGlyphs(9);
    EXPECT_EQ(button->NumGlyphs(), 4);
    auto odd = Strip({clRed, clRed, clRed, clRed, clRed});
    button->SetGlyph(odd.get());
    EXPECT_EQ(button->NumGlyphs(), 1) << "five cells are more than a strip may hold";
}

TEST(FlatButton, ItsAcceleratorClicksIt) {
    std::unique_ptr<TForm> form(MakeForm(200, 100));
    auto* button = new TsiFlatBtn(form.get());
    button->SetParent(form.get());
    button->SetCaption("&Help");
    int clicks = 0;
    button->OnClick = [&](TObject*) { ++clicks; };
    form->Show();
    EXPECT_EQ(button->Perform(CM_DIALOGCHAR, 'h', 0), 1);
    EXPECT_EQ(button->Perform(CM_DIALOGCHAR, 'x', 0), 0);
    button->SetEnabled(false);
    EXPECT_EQ(button->Perform(CM_DIALOGCHAR, 'h', 0), 0);
    EXPECT_EQ(clicks, 1);
}

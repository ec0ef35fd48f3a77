#include <gtest/gtest.h>

#include <memory>

#include "controls/tran_btn.h"
#include "platform/gdi/shapes.h"
#include "platform/graphics/bitmap.h"
#include "platform/gui/input.h"
#include "platform/gui/paint.h"
#include "platform/vcl/form.h"
#include "test_support.h"

using namespace controls_test;

namespace {

// A 10 x 10 picture: a red square of 4 x 4 in the middle of fuchsia, the colour left out.
std::unique_ptr<TBitmap> Picture() {
    auto bitmap = std::make_unique<TBitmap>(10, 10);
    bitmap->Canvas().Brush().SetColor(clFuchsia);
    bitmap->Canvas().FillRect(TRect{0, 0, 10, 10});
    bitmap->Canvas().Brush().SetColor(clRed);
    bitmap->Canvas().FillRect(TRect{3, 3, 7, 7});
    return bitmap;
}

} // namespace

TEST(TransparentButton, DrawsItsPictureWithoutTheTransparentColourAndPressesDown) {
    std::unique_ptr<TForm> form(MakeForm(200, 100));
    form->SetColor(clWhite);
    auto* button = new TMTranBtn(form.get());
    button->SetParent(form.get());
    button->SetLeft(20);
    button->SetTop(20);
    EXPECT_EQ(button->Width(), 30);
    EXPECT_EQ(button->Font().Name(), "Arial");
    auto picture = Picture();
    button->SetBitMap(picture.get());
    int clicks = 0;
    button->OnClick = [&](TObject*) { ++clicks; };
    form->Show();
    const TRect image = button->BitmapRect();
    EXPECT_EQ(image, (TRect{10, 10, 20, 20}));
    const int x = 20 + image.left, y = 20 + image.top;
    EXPECT_EQ(ClientPixel(form.get(), x + 4, y + 4), RGB(255, 0, 0));
    EXPECT_EQ(ClientPixel(form.get(), x + 1, y + 1), RGB(255, 255, 255)) << "the fuchsia is left out";
    EXPECT_NE(ClientPixel(form.get(), 49, 49), RGB(255, 255, 255)) << "the normal border's frame";

    // Held down, the picture moves one pixel right and down.
    const TPoint centre = button->ClientToScreen(TPoint{15, 15});
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, POINT{centre.x, centre.y});
    pw::gui::SimulateMouse(pw::gui::MouseAction::Down, POINT{centre.x, centre.y}, pw::gui::MouseButton::Left);
    Pump();
    EXPECT_TRUE(button->Down());
    EXPECT_EQ(ClientPixel(form.get(), x + 7, y + 7), RGB(255, 0, 0));
    EXPECT_EQ(ClientPixel(form.get(), x + 3, y + 3), RGB(255, 255, 255));
    pw::gui::SimulateMouse(pw::gui::MouseAction::Up, POINT{centre.x, centre.y}, pw::gui::MouseButton::Left);
    Pump();
    EXPECT_FALSE(button->Down());
    EXPECT_EQ(clicks, 1);

    // Without a border only the picture's own pixels are the button.
    button->SetBorder(BSnone);
    Pump();
    EXPECT_EQ(ClientPixel(form.get(), 49, 49), RGB(255, 255, 255));
    EXPECT_EQ(button->Perform(CM_HITTEST, 0, MAKELPARAM(15, 15)), HTCLIENT);
    EXPECT_EQ(button->Perform(CM_HITTEST, 0, MAKELPARAM(11, 11)), 0) << "a transparent pixel";
    EXPECT_EQ(button->Perform(CM_HITTEST, 0, MAKELPARAM(2, 2)), 0) << "outside the picture";
    const TPoint corner = button->ClientToScreen(TPoint{11, 11});
    pw::gui::SimulateClick(POINT{corner.x, corner.y});
    Pump();
    EXPECT_EQ(clicks, 1);
    button->SetBorder(BsIe);
    EXPECT_EQ(button->Perform(CM_HITTEST, 0, MAKELPARAM(2, 2)), HTCLIENT);

    // A caption goes under the picture, which moves up to make room for it.
    button->SetCaption("Go");
    button->SetHeight(40);
    EXPECT_LT(button->BitmapRect().top, 15);
}

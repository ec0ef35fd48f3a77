#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/colorpicker/color_picker_button.h"
#include "app/colorpicker/color_popup.h"
#include "picker_fixture.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/text.h"
#include "platform/graphics/graphics_types.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/paint.h"
#include "platform/gui/screenshot.h"
#include "platform/gui/window.h"
#include "platform/rtl/paths.h"
#include "platform/vcl/form.h"

namespace colorpicker_test {
namespace {

using PickerButtonTest = PickerTest;

// A pixel of the form's client area as painted now.
COLORREF FormPixel(TForm& Form, TPoint P) {
    Pump();
    HDC dc = GetDC(Form.Handle());
    const COLORREF c = GetPixel(dc, P.x, P.y);
    ReleaseDC(Form.Handle(), dc);
    return c;
}

TEST_F(PickerButtonTest, SelectionColorAndTheDropDownEvents) {
    AddPicker(20, 20);
    int changes = 0, dropChanged = 0;
    bool allow = false;
    picker_->OnChange = [&](TObject*) { ++changes; };
    picker_->OnDropChanging = [&](TObject*, bool& allowed) { allowed = allow; };
    picker_->OnDropChanged = [&](TObject*) { ++dropChanged; };
    picker_->SetSelectionColor(clBlack);
    EXPECT_EQ(changes, 0) << "black already";
    picker_->SetSelectionColor(clRed);
    picker_->SetSelectionColor(clRed);
    EXPECT_EQ(changes, 1);

    ClickButton(picker_->Width() - 2, 10);
    EXPECT_FALSE(picker_->PopupOpen()) << "vetoed";
    EXPECT_EQ(dropChanged, 0);
    allow = true;
    ClickButton(picker_->Width() - 2, 10);
    EXPECT_TRUE(picker_->PopupOpen());
    EXPECT_EQ(picker_->State(), bsDown);
    EXPECT_TRUE(picker_->InDropDownZone());
    picker_->SetPopupOpen(false);
    EXPECT_EQ(dropChanged, 2);
    EXPECT_EQ(picker_->State(), bsUp);
    EXPECT_EQ(GetCapture(), nullptr);

    // After closing, keys reach the form again.
    int keys = 0;
    form_->SetKeyPreview(true);
    form_->OnKeyDown = [&](TObject*, WORD&, TShiftState) { ++keys; };
    Key(VK_DOWN);
    EXPECT_EQ(keys, 1);

    picker_->SetPopupSpacing(-3);
    EXPECT_EQ(picker_->PopupSpacing(), 0);
    picker_->SetNumGlyphs(7);
    EXPECT_EQ(picker_->NumGlyphs(), 4);
}

TEST_F(PickerButtonTest, TheIndicatorShowsTheColourWhereTheRulesPutIt) {
    AddPicker(20, 20);
    picker_->SetSelectionColor(clRed);
    Pump();
    const int w = picker_->Width(), h = picker_->Height(), dd = picker_->DropDownWidth();
    EXPECT_EQ(picker_->IndicatorRect(), (TRect{2, 2, w - dd - 4, h - 2}));
    EXPECT_EQ(FormPixel(*form_, TPoint{20 + 20, 20 + 10}), RGB(255, 0, 0));
    EXPECT_EQ(FormPixel(*form_, TPoint{20 + 2, 20 + 2}), RGB(128, 128, 128))
        << "the flat indicator's frame, in the button shadow colour";
    // The arrow sits in the drop-down zone, in its own colour.
    const int ax = w - dd + (dd + 5) / 2 - 6;
    EXPECT_EQ(FormPixel(*form_, TPoint{20 + ax + 3, 20 + h / 2 + 1}), RGB(0, 0, 0));

    picker_->SetCaption("Text");
    Pump();
    const TRect bar = picker_->IndicatorRect();
    EXPECT_EQ(bar.bottom - bar.top, std::min(6, h - 2 - bar.top));
    EXPECT_GT(bar.top, h / 2) << "under the caption";

    picker_->SetEnabled(false);
    Pump();
    EXPECT_EQ(picker_->State(), bsDisabled);
    picker_->SetEnabled(true);
    Pump();
    EXPECT_EQ(picker_->State(), bsUp);
}

TEST_F(PickerButtonTest, ButtonsOfAGroupExcludeEachOther) {
    TColorPickerButton* first = AddPicker(20, 20);
    TColorPickerButton* second = AddPicker(20, 60);
    int clicks = 0;
    first->OnClick = [&](TObject*) { ++clicks; };
    for (TColorPickerButton* b : {first, second})
        b->SetGroupIndex(1);
    picker_ = first;
    ClickButton(10, 10);
    EXPECT_TRUE(first->Down());
    EXPECT_EQ(first->State(), bsExclusive);
    EXPECT_EQ(clicks, 1);
    ClickButton(10, 10);
    EXPECT_TRUE(first->Down()) << "one button of the group stays down";
    picker_ = second;
    ClickButton(10, 10);
    EXPECT_TRUE(second->Down());
    EXPECT_FALSE(first->Down());
    EXPECT_EQ(first->State(), bsUp);
    second->SetAllowAllUp(true);
    ClickButton(10, 10);
    EXPECT_FALSE(second->Down());
    // Without a group the button springs back up.
    first->SetGroupIndex(0);
    picker_ = first;
    ClickButton(10, 10);
    EXPECT_FALSE(first->Down());
    EXPECT_EQ(first->State(), bsUp);
}

TEST_F(PickerButtonTest, Screenshots) {
    const std::filesystem::path shots = std::filesystem::path(ProgramDir()) / "screenshots";
    std::filesystem::create_directories(shots);
    AddPicker(20, 20);
    picker_->SetSelectionColor(0x00CC99);
    ClickButton(picker_->Width() - 5, 10);
    ASSERT_TRUE(picker_->PopupOpen());
    Key(VK_RIGHT);
    RECT area;
    GetWindowRect(form_->Handle(), area);
    area.bottom += 200;
    EXPECT_TRUE(pw::gui::SaveScreenImage(area, (shots / "color-popup.png").string()));
    pw::gui::SimulateClick([&] {
        POINT p{(Popup().Grid().CustomTextRect().left + Popup().Grid().CustomTextRect().right) / 2,
                Popup().Grid().CustomTextRect().top + 5};
        return OnScreen(p);
    }());
    Pump();
    area.bottom += 150;
    EXPECT_TRUE(pw::gui::SaveScreenImage(area, (shots / "color-popup-custom.png").string()));
    picker_->SetPopupOpen(false);
}

} // namespace
} // namespace colorpicker_test

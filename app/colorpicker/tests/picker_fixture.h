#pragma once
// A form with one colour picker button on a screen of known size, and the input a person gives it.
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "platform/rtl/wintypes.h"
#include "tests/support/gui/pump.h"

class TColorPickerButton;
class TColorPopup;
class TForm;

namespace colorpicker_test {

using testsupport::Pump;

class PickerTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // The button as the options window sets it up.
    TColorPickerButton* AddPicker(int Left, int Top);
    TColorPopup& Popup();
    // A press and release at a client point of the button, or of the popup.
    void ClickButton(int X, int Y);
    void ClickPopup(POINT P);
    void Key(BYTE VK);
    // A client point of the popup on the screen.
    POINT OnScreen(POINT P);

    std::unique_ptr<TForm> form_;
    TColorPickerButton* picker_ = nullptr;
};

} // namespace colorpicker_test

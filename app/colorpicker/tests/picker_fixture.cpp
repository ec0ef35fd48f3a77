#include "picker_fixture.h"

#include <cstdlib>

#include "app/colorpicker/color_picker_button.h"
#include "app/colorpicker/color_popup.h"
#include "platform/gui/input.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/system.h"
#include "platform/gui/window.h"
#include "platform/vcl/application.h"
#include "platform/vcl/form.h"

namespace colorpicker_test {
void PickerTest::SetUp() {
    pw::gui::SetScreens({{RECT{0, 0, 1024, 768}, RECT{0, 0, 1024, 740}}});
    form_.reset(new TForm(nullptr));
    form_->SetBounds(100, 100, 400, 300);
    form_->Show();
    Pump();
}

void PickerTest::TearDown() {
    form_.reset();
    Pump();
}

TColorPickerButton* PickerTest::AddPicker(int Left, int Top) {
    auto* picker = new TColorPickerButton(form_.get());
    picker->SetParent(form_.get());
    picker->SetBounds(Left, Top, 100, 25);
    picker->SetCustomText("More Colors");
    picker->SetDefaultText("None");
    picker->SetPopupSpacing(8);
    picker->SetShowSystemColors(false);
    picker_ = picker;
    Pump();
    return picker;
}

TColorPopup& PickerTest::Popup() {
    return picker_->Popup();
}

void PickerTest::ClickButton(int X, int Y) {
    const TPoint p = picker_->ClientToScreen(TPoint{X, Y});
    pw::gui::SimulateClick(POINT{p.x, p.y});
    Pump();
}

POINT PickerTest::OnScreen(POINT P) {
    POINT s = P;
    ClientToScreen(Popup().Handle(), s);
    return s;
}

void PickerTest::ClickPopup(POINT P) {
    pw::gui::SimulateClick(OnScreen(P));
    Pump();
}

void PickerTest::Key(BYTE VK) {
    pw::gui::SimulateKeyStroke(VK);
    Pump();
}

} // namespace colorpicker_test

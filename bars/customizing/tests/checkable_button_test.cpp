// The "... modify" button: down while its menu is open below it, up when the menu closes, and the
// click on the button that closes the menu does not open it again.
#include <gtest/gtest.h>

#include <functional>

#include "bars/core/bar_button.h"
#include "bars/core/bar_manager.h"
#include "bars/core/item_links.h"
#include "bars/core/popup_menu.h"
#include "bars/customizing/checkable_button.h"
#include "platform/gui/input.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/paint.h"
#include "platform/gui/window.h"
#include "platform/vcl/form.h"
#include "tests/support/gui/pump.h"

using namespace bars;

namespace {

std::function<void()> step;
void RunStep(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    const std::function<void()> now = std::move(step);
    step = nullptr;
    if (now) now();
}
// Runs once the menu's own loop turns, as a person's next step would.
void Soon(std::function<void()> Step) {
    step = std::move(Step);
    SetTimer(nullptr, 0, 1, &RunStep);
}

class ButtonForm : public TForm {
public:
    ButtonForm() : TForm(nullptr) {}
    std::string ClassName() const override { return "TCheckableButtonTestForm"; }
};

using testsupport::Pump;

TEST(CheckableButtonTest, ItIsDownWhileItsMenuIsOpenBelowItAndTheClickThatClosesItDoesNotReopenIt) {
    ButtonForm form;
    form.SetBounds(60, 60, 320, 240);
    auto* manager = new TdxBarManager(&form);
    auto* item = new TdxBarButton(&form);
    item->SetCaption("Reset");
    auto* menu = new TdxBarPopupMenu(&form);
    menu->ItemLinks()->Add()->SetItem(item);
    int popups = 0;
    menu->OnPopup = [&](TObject*) { ++popups; };
    auto* button = new TCheckableButton(&form);
    button->SetParent(&form);
    button->SetBounds(20, 20, 120, 24);
    button->SetCaption("Modify");
    button->SetPopupMenu(menu);
    form.Show();
    Pump();
    const TPoint centre = button->ClientToScreen(TPoint{60, 12});
    const TPoint corner = button->ClientToScreen(TPoint{0, 24});
    bool downWhileOpen = false;
    RECT shown{0, 0, 0, 0};
    Soon([&] {
        downWhileOpen = button->Down() && menu->IsShowing();
        if (auto* window = menu->ItemLinks()->BarControl(); window != nullptr && window->Handle() != nullptr)
            GetWindowRect(window->Handle(), shown);
        // Pressing the button again closes the menu.
        pw::gui::SimulateClick(POINT{centre.x, centre.y});
    });
    pw::gui::SimulateClick(POINT{centre.x, centre.y});
    Pump();
    Pump();
    EXPECT_TRUE(downWhileOpen);
    EXPECT_EQ(shown.left, corner.x);
    EXPECT_EQ(shown.top, corner.y);
    EXPECT_EQ(popups, 1);
    EXPECT_FALSE(menu->IsShowing());
    EXPECT_FALSE(button->Down());
    EXPECT_FALSE(button->IgnoreNextMouseDown());
    (void)manager;
}

} // namespace

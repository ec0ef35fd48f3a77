// The drop-down of a toolbar's end mark: the buttons that did not fit, and "&Add or Remove Buttons"
// whose check lines show or hide the toolbar's buttons while the menu stays open.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "bar_windows_fixture.h"
#include "bars/core/bar_routines.h"
#include "bars/core/bar_unit.h"
#include "bars/core/item_registry.h"
#include "bars/windows/bar_control.h"
#include "bars/windows/quick_customize.h"
#include "platform/gdi/shapes.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/paint.h"
#include "platform/gui/system.h"
#include "platform/gui/window.h"

namespace bars_windows_test {
namespace {

// The menu windows that show, the drop-down first.
std::vector<bars::BarControl*> Menus() {
    std::vector<bars::BarControl*> menus;
    for (bars::BarControl* control : BarControls())
        if (!control->IsToolbar() && control->Handle() != nullptr && IsWindowVisible(control->Handle()))
            menus.push_back(control);
    return menus;
}

void ClickElsewhere();

std::vector<std::function<void()>> steps;
int ticksWithoutMenu = 0;
void RunStep(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    if (steps.empty()) return;
    // The click that opens the drop-down may still be on its way when the timer first fires (a loaded
    // machine): wait for a menu to show rather than take the step against none.
    if (Menus().empty() && ++ticksWithoutMenu < 500) {
        SetTimer(nullptr, 0, 20, &RunStep);
        return;
    }
    const std::function<void()> now = std::move(steps.front());
    steps.erase(steps.begin());
    now();
    if (::testing::Test::HasFatalFailure()) {
        // A failed step would leave the drop-down's loop turning for ever: close it and skip the rest.
        steps.clear();
        ClickElsewhere();
        return;
    }
    if (!steps.empty()) SetTimer(nullptr, 0, 20, &RunStep);
}
// Steps a person takes one after the other once the drop-down's loop turns.
void Then(std::vector<std::function<void()>> Steps) {
    steps = std::move(Steps);
    ticksWithoutMenu = 0;
    SetTimer(nullptr, 0, 20, &RunStep);
}

std::vector<std::string> Captions(bars::BarControl* Menu) {
    std::vector<std::string> captions;
    TdxBarItemLinks* links = Menu->ItemLinks();
    for (int i = 0; i < links->Count(); ++i)
        captions.push_back(links->Items(i)->Item()->Caption());
    return captions;
}

// Any pixel of the line's box that is not the menu's white: the line was drawn.
bool LineDrawn(bars::BarControl* Menu, int Index) {
    const RECT r = Menu->ItemLinks()->Items(Index)->ItemRect();
    HDC dc = GetDC(Menu->Handle());
    bool drawn = false;
    for (int y = r.top; y < r.bottom && !drawn; ++y)
        for (int x = r.left; x < r.right && !drawn; ++x)
            drawn = GetPixel(dc, x, y) != RGB(255, 255, 255);
    ReleaseDC(Menu->Handle(), dc);
    return drawn;
}

// A click on the form, away from its toolbar and the menus, closes them all.
void ClickElsewhere() {
    pw::gui::SimulateClick(POINT{70, 300});
}

void ClickLine(bars::BarControl* Menu, const std::string& Caption) {
    TdxBarItemLinks* links = Menu->ItemLinks();
    for (int i = 0; i < links->Count(); ++i)
        if (links->Items(i)->Item()->Caption() == Caption) {
            auto* control = dynamic_cast<bars::TdxBarItemControl*>(links->Items(i)->Control());
            ASSERT_NE(control, nullptr) << Caption;
            const RECT r = control->ScreenRect();
            const POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
            pw::gui::SimulateMouse(pw::gui::MouseAction::Move, p);
            pw::gui::SimulateClick(p);
            return;
        }
    ADD_FAILURE() << "no line " << Caption;
}

class QuickCustomizeTest : public BarWindowsTest {
protected:
    QuickCustomizeTest() {
        form.SetBounds(50, 50, 220, 300);
        Pump();
        for (int i = 1; i <= 6; ++i)
            buttons.push_back(Button("Button " + std::to_string(i)));
        bar = Toolbar("Long", {buttons[0], buttons[1], buttons[2], buttons[3], buttons[4], buttons[5]});
    }
    ~QuickCustomizeTest() override { steps.clear(); }
    // The buttons that got no place on the toolbar.
    std::vector<std::string> Hidden() const {
        std::vector<std::string> hidden;
        for (TdxBarItemLink* link : bar->ItemLinks()->VisibleLinks()) {
            const RECT r = link->ItemRect();
            if (link->Control() == nullptr || IsRectEmpty(r)) hidden.push_back(link->Item()->Caption());
        }
        return hidden;
    }
    void PressMark() {
        const RECT mark = Window(bar)->MarkScreenRect();
        const POINT p{(mark.left + mark.right) / 2, (mark.top + mark.bottom) / 2};
        MoveTo(p);
        pw::gui::SimulateClick(p);
        Pump();
    }
    std::vector<TdxBarButton*> buttons;
    TdxBar* bar = nullptr;
};

TEST_F(QuickCustomizeTest, TheMarkListsTheHiddenButtonsAndAddOrRemoveTogglesOneInPlace) {
    ASSERT_TRUE(Window(bar)->IsMarkVisible());
    const std::vector<std::string> hidden = Hidden();
    ASSERT_FALSE(hidden.empty());
    std::vector<std::string> first, second;
    bool stillOpen = false, unchecked = false, nestedDrawn = false;
    Then({[&] {
              ASSERT_EQ(Menus().size(), 1u);
              first = Captions(Menus()[0]);
              ClickLine(Menus()[0], "&Add or Remove Buttons");
          },
          [&] {
              ASSERT_EQ(Menus().size(), 2u);
              second = Captions(Menus()[1]);
              // The nested menu paints with its manager's painter, not as an empty white box.
              nestedDrawn = LineDrawn(Menus()[1], 0);
              ClickLine(Menus()[1], "Button 1");
          },
          [&] {
              stillOpen = Menus().size() == 2;
              TdxBarItemLinks* lines = Menus().back()->ItemLinks();
              auto* line = dynamic_cast<TdxBarButton*>(lines->Items(0)->Item());
              unchecked = line != nullptr && !line->Down();
              ClickElsewhere();
          }});
    PressMark();
    Pump();
    // The drop-down: the hidden buttons, then the command after a group line.
    std::vector<std::string> expected = hidden;
    expected.push_back("&Add or Remove Buttons");
    EXPECT_EQ(first, expected);
    // Every button of the toolbar with its check, and no reset for a bar made in code.
    EXPECT_EQ(second, (std::vector<std::string>{"Button 1", "Button 2", "Button 3", "Button 4", "Button 5",
                                                "Button 6"}));
    EXPECT_TRUE(nestedDrawn);
    EXPECT_TRUE(stillOpen);
    EXPECT_TRUE(unchecked);
    EXPECT_FALSE(bar->ItemLinks()->Items(0)->Visible());
    EXPECT_TRUE(Menus().empty());
    EXPECT_EQ(Window(bar)->MarkState(), 0);
}

TEST_F(QuickCustomizeTest, WithoutQuickCustomizingAddOrRemoveIsGreyed) {
    bar->SetAllowQuickCustomizing(false);
    Pump();
    ASSERT_TRUE(Window(bar)->IsMarkVisible()); // buttons are still hidden
    bool greyed = false, known = false;
    Then({[&] {
        ASSERT_EQ(Menus().size(), 1u);
        // The model knows that a drop-down shows (groups then leave the redraw alone).
        known = QuickControlExists();
        TdxBarItemLinks* links = Menus()[0]->ItemLinks();
        TdxBarItem* addRemove = links->Items(links->Count() - 1)->Item();
        greyed = !addRemove->Enabled() && dynamic_cast<bars::TdxBarQuickSubItem*>(addRemove) != nullptr;
        ClickElsewhere();
    }});
    PressMark();
    Pump();
    EXPECT_TRUE(greyed);
    EXPECT_TRUE(known);
    EXPECT_FALSE(QuickControlExists());
    EXPECT_TRUE(Menus().empty());
}

TEST_F(QuickCustomizeTest, TheDropDownOfABarAtTheScreensCornerStaysOnTheScreen) {
    MONITORINFO info;
    GetMonitorInfo(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTONEAREST), info);
    const RECT work = info.rcWork;
    form.SetBounds(work.right - 220, work.bottom - 120, 220, 120);
    Pump();
    ASSERT_TRUE(Window(bar)->IsMarkVisible());
    RECT shown{0, 0, 0, 0};
    Then({[&] {
        ASSERT_EQ(Menus().size(), 1u);
        GetWindowRect(Menus()[0]->Handle(), shown);
        // On the form, below the toolbar and away from the drop-down.
        pw::gui::SimulateClick(POINT{work.right - 200, work.bottom - 15});
    }});
    PressMark();
    Pump();
    const RECT mark = Window(bar)->MarkScreenRect();
    EXPECT_GE(shown.left, work.left);
    EXPECT_LE(shown.right, work.right);
    EXPECT_GE(shown.top, work.top);
    EXPECT_LE(shown.bottom, work.bottom);
    // Right-aligned with the mark, and above it for want of room below.
    EXPECT_EQ(shown.right, mark.right);
    EXPECT_EQ(shown.bottom, mark.top);
}

} // namespace
// Every item class of the library is known by the time its windows are, in this order, the drop-down's
// own classes not offered for adding; each makes its objects by name, as a stream asks for them.
TEST(ItemClassRegistry, HoldsTheElevenClassesInOrder) {
    const std::vector<std::pair<std::string, bool>> expected{
        {"TdxBarButton", true},         {"TdxBarEdit", true},
        {"TCustomdxBarCombo", true},    {"TdxBarCombo", true},
        {"TdxBarSubItem", true},        {"TdxBarListItem", true},
        {"TdxBarContainerItem", true},  {"TdxBarQuickCustExtButton", false},
        {"TdxBarQuickCustItem", false}, {"TdxBarQuickSubItem", false},
        {"TSystemMenuSubItem", false}};
    std::vector<std::pair<std::string, bool>> registered;
    for (int i = 0; i < RegisteredItemClassCount(); ++i) {
        const TRegItemRecord* record = RegisteredItemClass(i);
        registered.emplace_back(record->ItemClassName, record->ShowInAddList);
        EXPECT_NE(record->ItemControlClass, nullptr) << record->ItemClassName;
        const std::unique_ptr<TComponent> made(record->ItemClass(nullptr));
        EXPECT_EQ(made->ClassName(), record->ItemClassName);
    }
    EXPECT_EQ(registered, expected);
}

} // namespace bars_windows_test

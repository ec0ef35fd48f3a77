// Drop-down buttons: the arrow or a key opens the button's menu beside or below it, and the menu hands
// the button back when it closes, however it closes.
#include <gtest/gtest.h>

#include "bar_windows_fixture.h"
#include "bars/core/bar_routines.h"
#include "bars/core/popup_menu.h"
#include "bars/core/sub_item.h"
#include "bars/windows/sub_menu_control.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/window.h"
#include "platform/vcl/shortcut.h"

namespace bars_windows_test {
namespace {

using bars::TdxBarButtonControl;
using bars::TdxBarSubMenuControl;

class DropDownTest : public BarWindowsTest {
protected:
    DropDownTest() {
        manager->SetMenusShowRecentItemsFirst(false);
        first = Button("&First");
        second = Button("&Second");
        menu = new TdxBarPopupMenu(&form);
        menu->ItemLinks()->Add()->SetItem(first);
        menu->ItemLinks()->Add()->SetItem(second);
        menu->OnCloseUp = [this](TObject*) { ++closeUps; };
        split = Button("Split");
        split->SetButtonStyle(bsDropDown);
        split->SetDropDownMenu(menu);
    }
    ~DropDownTest() override {
        if (auto* active = dynamic_cast<bars::TCustomdxBarControl*>(GetActiveBarControl())) active->HideAll();
        Pump();
    }
    TdxBarSubMenuControl* Shown() const {
        if (menu == nullptr) return nullptr;
        return dynamic_cast<TdxBarSubMenuControl*>(menu->ItemLinks()->BarControl());
    }
    POINT LineCentre(TdxBarItem* item) const {
        for (int i = 0; i < menu->ItemLinks()->Count(); ++i)
            if (menu->ItemLinks()->Items(i)->Item() == item) {
                const RECT r = menu->ItemLinks()->Items(i)->Control()->ScreenRect();
                return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
            }
        return POINT{0, 0};
    }
    bars::TdxBarItemControl* Line(TdxBarItem* item) const {
        for (int i = 0; i < menu->ItemLinks()->Count(); ++i)
            if (menu->ItemLinks()->Items(i)->Item() == item)
                return dynamic_cast<bars::TdxBarItemControl*>(menu->ItemLinks()->Items(i)->Control());
        return nullptr;
    }
    TdxBarButtonControl* SplitOn(TdxBar* bar) const {
        return dynamic_cast<TdxBarButtonControl*>(Control(split, bar));
    }
    void Key(HWND window, WORD key) {
        SendMessage(window, WM_KEYDOWN, key, 0);
        Pump();
    }

    TdxBarButton *first = nullptr, *second = nullptr, *split = nullptr;
    TdxBarPopupMenu* menu = nullptr;
    int closeUps = 0;
};

TEST_F(DropDownTest, TheArrowOpensTheMenuBelowTheButtonAndAChosenLineRunsAndBringsTheButtonUp) {
    TdxBar* bar = Toolbar("Tools", {split});
    TdxBarButtonControl* button = SplitOn(bar);
    ASSERT_NE(button, nullptr);
    const RECT r = button->ScreenRect();
    // The face of the button is a plain click; only the arrow drops the menu down.
    Press(POINT{r.left + 3, (r.top + r.bottom) / 2});
    Release(POINT{r.left + 3, (r.top + r.bottom) / 2});
    EXPECT_EQ(Clicks(split), 1);
    EXPECT_EQ(Shown(), nullptr);
    Press(POINT{r.right - 2, (r.top + r.bottom) / 2});
    TdxBarSubMenuControl* window = Shown();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(button->DroppedDown());
    EXPECT_TRUE(menu->IsShowing());
    EXPECT_EQ(window->DropDownOwner(), button);
    EXPECT_EQ(window->ParentBar(), Window(bar));
    EXPECT_EQ(button->GetChildBarControl(), window);
    RECT placed{0, 0, 0, 0};
    GetWindowRect(window->Handle(), placed);
    EXPECT_EQ(placed.left, r.left);
    EXPECT_GE(placed.top, r.bottom - 1);
    // The loop is the form's: nothing waits inside the press.
    EXPECT_FALSE(menu->NoModalLoop);
    EXPECT_EQ(menu->ParentBarControl(), nullptr);
    Release(POINT{r.right - 2, (r.top + r.bottom) / 2});
    ASSERT_EQ(Shown(), window);
    MoveTo(LineCentre(second));
    Press(LineCentre(second));
    Release(LineCentre(second));
    EXPECT_EQ(Clicks(second), 1);
    EXPECT_EQ(Clicks(split), 1);
    EXPECT_EQ(Shown(), nullptr);
    EXPECT_EQ(closeUps, 1);
    EXPECT_FALSE(menu->IsShowing());
    ASSERT_EQ(SplitOn(bar), button);
    EXPECT_FALSE(button->DroppedDown());
    EXPECT_EQ(GetActiveBarControl(), nullptr);
    // A disabled arrow opens nothing.
    split->SetDropDownEnabled(false);
    Press(POINT{r.right - 2, (r.top + r.bottom) / 2});
    Release(POINT{r.right - 2, (r.top + r.bottom) / 2});
    EXPECT_EQ(Shown(), nullptr);
}

TEST_F(DropDownTest, InAMenuRightOpensItBesideTheLineWithItsFirstLineAndEscapeClosesThatLevelOnly) {
    TdxBarButton* other = Button("&Other");
    auto* file = new TdxBarSubItem(&form);
    file->SetCaption("&File");
    file->ItemLinks()->Add()->SetItem(other);
    file->ItemLinks()->Add()->SetItem(split);
    TdxBar* bar = Toolbar("Menu", {file});
    bar->SetIsMainMenu(true);
    Pump();
    Press(Centre(file, bar));
    Release(Centre(file, bar));
    auto* fileMenu = dynamic_cast<TdxBarSubMenuControl*>(file->ItemLinks()->BarControl());
    ASSERT_NE(fileMenu, nullptr);
    Key(fileMenu->Handle(), VK_DOWN);
    Key(fileMenu->Handle(), VK_DOWN);
    auto* line = dynamic_cast<TdxBarButtonControl*>(file->ItemLinks()->Items(1)->Control());
    ASSERT_NE(line, nullptr);
    ASSERT_TRUE(line->IsSelected());
    Key(fileMenu->Handle(), VK_RIGHT);
    TdxBarSubMenuControl* window = Shown();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(fileMenu->ChildBar(), window);
    EXPECT_EQ(GetActiveBarControl(), window);
    EXPECT_TRUE(Line(first)->IsSelected());
    RECT placed{0, 0, 0, 0};
    GetWindowRect(window->Handle(), placed);
    EXPECT_GE(placed.left, line->ScreenRect().right - 1);
    Key(window->Handle(), VK_DOWN);
    EXPECT_TRUE(Line(second)->IsSelected());
    Key(window->Handle(), VK_ESCAPE);
    EXPECT_EQ(Shown(), nullptr);
    EXPECT_EQ(closeUps, 1);
    ASSERT_EQ(file->ItemLinks()->BarControl(), fileMenu);
    EXPECT_EQ(fileMenu->ChildBar(), nullptr);
    EXPECT_EQ(GetActiveBarControl(), fileMenu);
    EXPECT_FALSE(line->DroppedDown());
    // Again, and Enter on a line closes the whole chain and runs it.
    Key(fileMenu->Handle(), VK_RIGHT);
    ASSERT_NE(Shown(), nullptr);
    Key(Shown()->Handle(), VK_RETURN);
    EXPECT_EQ(Clicks(first), 1);
    EXPECT_EQ(Shown(), nullptr);
    EXPECT_EQ(file->ItemLinks()->BarControl(), nullptr);
    EXPECT_EQ(GetActiveBarControl(), nullptr);
}

TEST_F(DropDownTest, AMenuThatClosesByItselfHandsTheButtonBackAndOneThatOutlivesItsButtonTouchesNothing) {
    TdxBar* bar = Toolbar("Tools", {split, Button("x")});
    TdxBarButtonControl* button = SplitOn(bar);
    ASSERT_NE(button, nullptr);
    const RECT r = button->ScreenRect();
    Press(POINT{r.right - 2, (r.top + r.bottom) / 2});
    Release(POINT{r.right - 2, (r.top + r.bottom) / 2});
    ASSERT_NE(Shown(), nullptr);
    // Closed from outside its chain (as the mouse hook does): the button comes up, the bar's chain ends.
    Shown()->FreeMenu();
    Pump();
    EXPECT_EQ(Shown(), nullptr);
    EXPECT_FALSE(button->DroppedDown());
    EXPECT_EQ(closeUps, 1);
    EXPECT_EQ(GetActiveBarControl(), nullptr);
    // The toolbar makes its controls again while the menu shows: the old button is gone.
    Press(POINT{r.right - 2, (r.top + r.bottom) / 2});
    Release(POINT{r.right - 2, (r.top + r.bottom) / 2});
    ASSERT_NE(Shown(), nullptr);
    Window(bar)->RecreateItemControls();
    Pump();
    if (Shown() != nullptr) Shown()->FreeMenu();
    Pump();
    EXPECT_EQ(Shown(), nullptr);
    EXPECT_EQ(closeUps, 2);
    // The popup menu itself freed while it shows.
    ASSERT_NE(SplitOn(bar), nullptr);
    const RECT again = SplitOn(bar)->ScreenRect();
    Press(POINT{again.right - 2, (again.top + again.bottom) / 2});
    Release(POINT{again.right - 2, (again.top + again.bottom) / 2});
    ASSERT_NE(menu->ItemLinks()->BarControl(), nullptr);
    delete menu;
    menu = nullptr;
    Pump();
    EXPECT_EQ(split->DropDownMenu(), nullptr);
    EXPECT_FALSE(SplitOn(bar)->DroppedDown());
}

TEST_F(DropDownTest, ASecondPressOnTheArrowClosesTheMenuAndTheButtonKeepsThePressUntilItsRelease) {
    TdxBar* bar = Toolbar("Tools", {split, Button("x")});
    TdxBarButtonControl* button = SplitOn(bar);
    ASSERT_NE(button, nullptr);
    const RECT r = button->ScreenRect();
    const POINT arrow{r.right - 2, (r.top + r.bottom) / 2};
    MoveTo(arrow);
    Press(arrow);
    Release(arrow);
    ASSERT_NE(Shown(), nullptr);
    Press(arrow);
    EXPECT_EQ(Shown(), nullptr);
    EXPECT_EQ(closeUps, 1);
    EXPECT_FALSE(button->DroppedDown());
    // The toolbar holds the press on the arrow: the button stays down under the pointer.
    EXPECT_EQ(Window(bar)->PressedControl(), button);
    Release(arrow);
    // The release opens nothing again and clicks nothing.
    EXPECT_EQ(Shown(), nullptr);
    EXPECT_EQ(Clicks(split), 0);
    EXPECT_EQ(Window(bar)->PressedControl(), nullptr);
    EXPECT_EQ(GetActiveBarControl(), nullptr);
    // The next press opens the menu again.
    Press(arrow);
    EXPECT_NE(Shown(), nullptr);
    Release(arrow);
}

TEST_F(DropDownTest, AKeyMessageIsAPopupMenusShortCutWithTheHeldShiftAndCtrlAndTheMessagesAlt) {
    first->SetShortCut(scCtrl | 'F');
    second->SetShortCut(scAlt | 'S');
    TMessage plain{WM_KEYDOWN, 'F', 0, 0};
    EXPECT_FALSE(menu->IsShortCut(plain));
    pw::gui::SimulateKey(VK_CONTROL, true);
    Pump();
    ASSERT_LT(GetKeyState(VK_CONTROL), 0);
    EXPECT_TRUE(menu->IsShortCut(plain));
    EXPECT_EQ(Clicks(first), 1);
    // Ctrl held adds to Alt: Ctrl+Alt+S is no item's.
    TMessage altS{WM_SYSKEYDOWN, 'S', 1 << 29, 0};
    EXPECT_FALSE(menu->IsShortCut(altS));
    pw::gui::SimulateKey(VK_CONTROL, false);
    Pump();
    // Alt is read from the message, not from the keyboard (where it is up).
    ASSERT_GE(GetKeyState(VK_MENU), 0);
    EXPECT_TRUE(menu->IsShortCut(altS));
    EXPECT_EQ(Clicks(second), 1);
    TMessage s{WM_KEYDOWN, 'S', 0, 0};
    EXPECT_FALSE(menu->IsShortCut(s));
    TMessage none{WM_KEYDOWN, 0, 1 << 29, 0};
    EXPECT_FALSE(menu->IsShortCut(none));
    EXPECT_EQ(Clicks(second), 1);
    // A drop-down button's menu answers for its lines through the links that hold the button.
    auto* other = new TdxBarPopupMenu(&form);
    other->ItemLinks()->Add()->SetItem(split);
    EXPECT_TRUE(other->IsShortCut(altS));
    EXPECT_EQ(Clicks(second), 2);
}

} // namespace
} // namespace bars_windows_test

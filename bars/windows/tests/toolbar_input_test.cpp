// Toolbars driven by the pointer and the keyboard: hot tracking, presses and clicks, keyboard mode,
// handlers that hide or free what was clicked, and the controls that go while a button is held.
#include <gtest/gtest.h>

#include "bar_windows_fixture.h"
#include "bars/core/bar_routines.h"
#include "bars/core/bar_unit.h"
#include "bars/core/sub_item.h"
#include "bars/windows/bar_windows.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/window.h"

namespace bars_windows_test {
namespace {

using bars::TdxBarItemControl;

TEST_F(BarWindowsTest, ThePointerHotTracksOneButtonAtATimeAndLeavingClearsIt) {
    TdxBarButton* open = Button("&Open");
    TdxBarButton* save = Button("&Save");
    TdxBar* bar = Toolbar("Tools", {open, save});
    ASSERT_NE(Window(bar), nullptr);
    MoveTo(Centre(open, bar));
    EXPECT_TRUE(Control(open, bar)->IsSelected());
    EXPECT_EQ(manager->SelectedItem(), Control(open, bar));
    MoveTo(Centre(save, bar));
    EXPECT_FALSE(Control(open, bar)->IsSelected());
    EXPECT_TRUE(Control(save, bar)->IsSelected());
    // Away from every bar window: nothing is hot.
    MoveTo(POINT{300, 350});
    pw::gui::InjectMouseExit();
    Pump();
    EXPECT_EQ(Window(bar)->Selected(), nullptr);
    EXPECT_EQ(Clicks(open) + Clicks(save), 0);
}

TEST_F(BarWindowsTest, TheFirstColumnOfAButtonBelongsToItAndNotToTheButtonBeforeIt) {
    TdxBarButton* open = Button("&Open");
    TdxBarButton* save = Button("&Save");
    TdxBar* bar = Toolbar("Tools", {open, save});
    const RECT left = Control(open, bar)->ScreenRect(), right = Control(save, bar)->ScreenRect();
    ASSERT_EQ(left.right, right.left);
    const int y = (right.top + right.bottom) / 2;
    MoveTo(POINT{right.left, y});
    EXPECT_TRUE(Control(save, bar)->IsSelected());
    EXPECT_FALSE(Control(open, bar)->IsSelected());
    MoveTo(POINT{left.right - 1, y});
    EXPECT_TRUE(Control(open, bar)->IsSelected());
    // A click on the shared edge presses the button on its right.
    Press(POINT{right.left, y});
    Release(POINT{right.left, y});
    EXPECT_EQ(Clicks(save), 1);
    EXPECT_EQ(Clicks(open), 0);
}

TEST_F(BarWindowsTest, APressHoldsTheButtonUntilReleaseAndOnlyAReleaseOverItClicks) {
    TdxBarButton* open = Button("&Open");
    TdxBarButton* save = Button("&Save");
    TdxBar* bar = Toolbar("Tools", {open, save});
    Press(Centre(open, bar));
    EXPECT_EQ(Window(bar)->PressedControl(), Control(open, bar));
    EXPECT_TRUE(Window(bar)->PressedControlHot());
    EXPECT_EQ(GetCapture(), Window(bar)->Handle());
    MoveTo(Centre(save, bar));
    EXPECT_FALSE(Window(bar)->PressedControlHot());
    Release(Centre(save, bar));
    EXPECT_EQ(Clicks(open), 0);
    EXPECT_EQ(Clicks(save), 0);
    EXPECT_EQ(GetCapture(), nullptr);

    Press(Centre(open, bar));
    MoveTo(Centre(save, bar));
    MoveTo(Centre(open, bar));
    EXPECT_TRUE(Window(bar)->PressedControlHot());
    Release(Centre(open, bar));
    EXPECT_EQ(Clicks(open), 1);
    EXPECT_EQ(Window(bar)->PressedControl(), nullptr);
    // The click leaves no keyboard mode behind.
    EXPECT_FALSE(Window(bar)->IsActive());
    EXPECT_EQ(GetActiveBarControl(), nullptr);
}

TEST_F(BarWindowsTest, DisabledButtonsNeitherHotTrackNorClickAndACheckButtonTogglesBeforeItsHandler) {
    TdxBarButton* open = Button("&Open");
    TdxBarButton* bold = Button("&Bold");
    bold->SetButtonStyle(bsChecked);
    bool downSeen = false;
    bold->SetOnClick([&](TObject*) { downSeen = bold->Down(); });
    open->SetEnabled(false);
    TdxBar* bar = Toolbar("Tools", {open, bold});
    Press(Centre(open, bar));
    Release(Centre(open, bar));
    EXPECT_EQ(Clicks(open), 0);
    EXPECT_FALSE(Control(open, bar)->IsSelected());
    Press(Centre(bold, bar));
    Release(Centre(bold, bar));
    EXPECT_TRUE(bold->Down());
    EXPECT_TRUE(downSeen);
}

TEST_F(BarWindowsTest, KeyboardModeMovesWithArrowsHomeEndAndTabAndEnterClicks) {
    TdxBarButton* open = Button("&Open");
    TdxBarButton* save = Button("&Save");
    TdxBarButton* saveAs = Button("Sa&ve As");
    TdxBar* bar = Toolbar("Tools", {open, save, saveAs});
    bars::TdxBarControl* window = Window(bar);
    window->EnterKeyboardMode(nullptr);
    EXPECT_EQ(window->Selected(), Control(open, bar));
    EXPECT_EQ(GetActiveBarControl(), window);
    auto key = [&](WORD vk) {
        SendMessage(window->Handle(), WM_KEYDOWN, vk, 0);
        Pump();
    };
    key(VK_RIGHT);
    EXPECT_EQ(window->Selected(), Control(save, bar));
    key(VK_DOWN); // across a horizontal toolbar Up and Down do not move
    EXPECT_EQ(window->Selected(), Control(save, bar));
    key(VK_END);
    EXPECT_EQ(window->Selected(), Control(saveAs, bar));
    key(VK_TAB); // wraps to the first
    EXPECT_EQ(window->Selected(), Control(open, bar));
    pw::gui::SetKeyDown(VK_SHIFT, true);
    key(VK_TAB);
    pw::gui::SetKeyDown(VK_SHIFT, false);
    EXPECT_EQ(window->Selected(), Control(saveAs, bar));
    key(VK_HOME);
    key(VK_RETURN);
    EXPECT_EQ(Clicks(open), 1);
    EXPECT_FALSE(window->InKeyboardMode());
}

TEST_F(BarWindowsTest, AUniqueAcceleratorClicksAndASharedOneOnlyMovesTheSelection) {
    TdxBarButton* open = Button("&Open");
    TdxBarButton* save = Button("&Save");
    TdxBarButton* send = Button("&Send");
    TdxBar* bar = Toolbar("Tools", {open, save, send});
    bars::TdxBarControl* window = Window(bar);
    window->EnterKeyboardMode(nullptr);
    SendMessage(window->Handle(), WM_KEYDOWN, 'S', 0);
    Pump();
    EXPECT_EQ(window->Selected(), Control(save, bar));
    SendMessage(window->Handle(), WM_KEYDOWN, 'S', 0);
    Pump();
    EXPECT_EQ(window->Selected(), Control(send, bar));
    EXPECT_EQ(Clicks(save) + Clicks(send), 0);
    SendMessage(window->Handle(), WM_KEYDOWN, 'O', 0);
    Pump();
    EXPECT_EQ(Clicks(open), 1);
    // Escape leaves keyboard mode; F10 and Alt close the chain too.
    window->EnterKeyboardMode(nullptr);
    SendMessage(window->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(window->IsActive());
    window->EnterKeyboardMode(nullptr);
    SendMessage(window->Handle(), WM_KEYDOWN, VK_MENU, 0);
    EXPECT_FALSE(window->IsActive());
}

TEST_F(BarWindowsTest, AHandlerThatHidesOrFreesItsOwnItemEndsTheClickSafely) {
    TdxBarButton* hide = Button("&Hide");
    TdxBarButton* free = Button("&Free");
    TdxBarButton* stay = Button("S&tay");
    TdxBar* bar = Toolbar("Tools", {hide, free, stay});
    int hidden = 0, freed = 0;
    hide->SetOnClick([&](TObject*) {
        ++hidden;
        hide->SetVisible(ivNever);
    });
    free->SetOnClick([&](TObject*) {
        ++freed;
        delete free;
    });
    Press(Centre(hide, bar));
    Release(Centre(hide, bar));
    EXPECT_EQ(hidden, 1);
    EXPECT_EQ(Control(hide, bar), nullptr);
    Press(Centre(free, bar));
    Release(Centre(free, bar));
    EXPECT_EQ(freed, 1);
    EXPECT_EQ(bar->ItemLinks()->Count(), 2);
    // The bar still works.
    Press(Centre(stay, bar));
    Release(Centre(stay, bar));
    EXPECT_EQ(Clicks(stay), 1);
}

TEST_F(BarWindowsTest, AHandlerThatHidesTheWholeBarEndsTheClickSafely) {
    TdxBarButton* close = Button("&Close");
    TdxBar* bar = Toolbar("Tools", {close});
    int runs = 0;
    close->SetOnClick([&](TObject*) {
        ++runs;
        bar->SetVisible(false);
    });
    Press(Centre(close, bar));
    Release(Centre(close, bar));
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(bar->Control(), nullptr);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(BarWindowsTest, ControlsMadeAgainWhileAButtonIsHeldLeaveNoPressedControlOrCapture) {
    TdxBarButton* open = Button("&Open");
    TdxBarButton* save = Button("&Save");
    TdxBar* bar = Toolbar("Tools", {open, save});
    Press(Centre(open, bar));
    ASSERT_EQ(Window(bar)->PressedControl(), Control(open, bar));
    // Another item's change makes every control of the bar again.
    Window(bar)->RecreateItemControls();
    EXPECT_EQ(Window(bar)->PressedControl(), nullptr);
    EXPECT_NE(GetCapture(), Window(bar)->Handle());
    MoveTo(Centre(save, bar));
    Release(Centre(save, bar));
    EXPECT_EQ(Clicks(open) + Clicks(save), 0);
}

TEST_F(BarWindowsTest, HidingTheHotItemClearsTheManagersSelection) {
    TdxBarButton* open = Button("&Open");
    TdxBarButton* save = Button("&Save");
    TdxBar* bar = Toolbar("Tools", {open, save});
    MoveTo(Centre(open, bar));
    ASSERT_EQ(manager->SelectedItem(), Control(open, bar));
    open->SetVisible(ivNever);
    EXPECT_EQ(manager->SelectedItem(), nullptr);
    EXPECT_EQ(Window(bar)->Selected(), nullptr);
}

TEST_F(BarWindowsTest, AMenuBarEntryWithoutMenuWindowsHotTracksAndAClickLeavesNoKeyboardModeBehind) {
    auto* file = new TdxBarSubItem(&form);
    file->SetCaption("&File");
    auto* help = new TdxBarSubItem(&form);
    help->SetCaption("&Help");
    TdxBar* bar = Toolbar("Menu", {file, help});
    bar->SetIsMainMenu(true);
    Pump();
    // No menu window can be made from here on.
    struct NoMenus : bars::BarWindowServices {
        std::unique_ptr<bars::BarControl> MakeBarControl(TdxBarItemLinks*, bool) const override {
            return nullptr;
        }
    };
    const NoMenus noMenus;
    const bars::WindowServices& windows = bars::Windows();
    bars::SetWindowServices(&noMenus);
    MoveTo(Centre(file, bar));
    EXPECT_TRUE(Control(file, bar)->IsSelected());
    Press(Centre(file, bar));
    Release(Centre(file, bar));
    bars::SetWindowServices(&windows);
    EXPECT_FALSE(Window(bar)->IsActive());
    EXPECT_EQ(GetActiveBarControl(), nullptr);
    // The keys still walk the entries.
    Window(bar)->EnterKeyboardMode(nullptr);
    SendMessage(Window(bar)->Handle(), WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_EQ(Window(bar)->Selected(), Control(help, bar));
    SendMessage(Window(bar)->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(Window(bar)->IsActive());
}

} // namespace
} // namespace bars_windows_test

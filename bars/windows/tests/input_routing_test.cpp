// What the hooks make of F1 on an open menu, of a press on a form's frame, and of keys typed into an
// item being edited.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bar_windows_fixture.h"
#include "bars/core/bar_edit.h"
#include "bars/core/bar_routines.h"
#include "bars/core/sub_item.h"
#include "bars/windows/bar_hooks.h"
#include "bars/windows/edit_control.h"
#include "bars/windows/sub_menu_control.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/message_views.h"
#include "platform/gui/window.h"
#include "platform/stdctrls/edit.h"
#include "platform/vcl/application.h"
#include "platform/vcl/shortcut.h"

namespace bars_windows_test {
namespace {

using pw::gui::MouseAction;
using pw::gui::MouseButton;

// A keyboard hook set before the bars' own, so that theirs calls it next; it keeps the keys pressed.
class NextKeyboardHook {
protected:
    NextKeyboardHook() {
        EXPECT_FALSE(bars::BarHooksInstalled()) << "the bars' hook must come first";
        current = this;
        hook = SetWindowsHookEx(WH_KEYBOARD, &Heard, nullptr, GetCurrentThreadId());
    }
    ~NextKeyboardHook() {
        UnhookWindowsHookEx(hook);
        current = nullptr;
    }
    std::vector<WPARAM> pressesHeard;

private:
    static LRESULT Heard(int Code, WPARAM Key, LPARAM Data) {
        if (Code >= 0 && (Data & (LPARAM{1} << 31)) == 0) current->pressesHeard.push_back(Key);
        return CallNextHookEx(current->hook, Code, Key, Data);
    }
    static inline NextKeyboardHook* current = nullptr;
    HHOOK hook = nullptr;
};

class InputRoutingTest : public NextKeyboardHook, public BarWindowsTest {
protected:
    InputRoutingTest() {
        edit = new TEdit(&form);
        edit->SetParent(&form);
        edit->SetBounds(20, 200, 200, 24);
        open = Button("&Open...");
        open->SetShortCut(ShortCut('O', TShiftState{ssCtrl}));
        save = Button("&Save");
        file = new TdxBarSubItem(&form);
        file->SetCaption("&File");
        file->ItemLinks()->Add()->SetItem(open);
        file->ItemLinks()->Add()->SetItem(save);
        menuBar = Toolbar("Menu", {file});
        menuBar->SetIsMainMenu(true);
        manager->SetMainMenuBar(menuBar);
        Pump();
        SetActiveWindow(form.Handle());
        edit->SetFocus();
        Pump();
        Application->OnHelp = [this](WORD Command, intptr_t Data, bool&) {
            help.push_back({Command, Data});
            return true;
        };
    }
    ~InputRoutingTest() override { Application->OnHelp = nullptr; }
    // Each key handled before the next goes down, as a person types: the windows read the keys held
    // as they are when they get a message.
    void Stroke(BYTE vk, std::initializer_list<BYTE> held = {}) {
        for (BYTE k : held) {
            pw::gui::SimulateKey(k, true);
            Pump();
        }
        pw::gui::SimulateKey(vk, true);
        Pump();
        pw::gui::SimulateKey(vk, false);
        Pump();
        for (auto it = std::rbegin(held); it != std::rend(held); ++it) {
            pw::gui::SimulateKey(*it, false);
            Pump();
        }
    }
    // File's menu open by the keyboard (its first line selected), the line given (from 1) selected.
    void OpenFileAt(int line) {
        Stroke('F', {VK_MENU});
        for (int i = 1; i < line; ++i)
            Stroke(VK_DOWN);
        ASSERT_NE(Menu(), nullptr);
    }
    bars::TdxBarSubMenuControl* Menu() const {
        return dynamic_cast<bars::TdxBarSubMenuControl*>(file->ItemLinks()->BarControl());
    }
    struct Help {
        WORD command;
        intptr_t data;
        bool operator==(const Help&) const = default;
    };

    TEdit* edit = nullptr;
    TdxBarButton *open = nullptr, *save = nullptr;
    TdxBarSubItem* file = nullptr;
    TdxBar* menuBar = nullptr;
    std::vector<Help> help;
};

TEST_F(InputRoutingTest, F1OnAnOpenMenuShowsTheHelpOfItsLineOrOfTheLineAboveIt) {
    open->SetHelpContext(42);
    file->SetHelpContext(7);
    OpenFileAt(1);
    ASSERT_EQ(Menu()->Selected()->Item(), open);
    Stroke(VK_F1);
    EXPECT_EQ(help, (std::vector<Help>{{HELP_CONTEXT, 42}}));
    // The menus close before the help shows.
    EXPECT_EQ(GetActiveBarControl(), nullptr);
    EXPECT_EQ(Menu(), nullptr);
    // A line without help of its own: the menu entry that opened it.
    help.clear();
    OpenFileAt(2);
    ASSERT_EQ(Menu()->Selected()->Item(), save);
    Stroke(VK_F1);
    EXPECT_EQ(help, (std::vector<Help>{{HELP_CONTEXT, 7}}));
    // Nobody has any: the menus close and no help shows.
    help.clear();
    file->SetHelpContext(0);
    OpenFileAt(2);
    Stroke(VK_F1);
    EXPECT_TRUE(help.empty());
    EXPECT_EQ(GetActiveBarControl(), nullptr);
    // On a form with the help button: a popup below the middle of the line.
    form.SetBorderIcons(TBorderIcons{biSystemMenu, biHelp});
    Pump();
    SetActiveWindow(form.Handle());
    edit->SetFocus();
    Pump();
    OpenFileAt(1);
    const RECT line = Menu()->Selected()->ScreenRect();
    Stroke(VK_F1);
    EXPECT_EQ(help, (std::vector<Help>{
                        {HELP_SETPOPUP_POS, MAKELPARAM(static_cast<WORD>((line.left + line.right) / 2),
                                                       static_cast<WORD>(line.bottom))},
                        {HELP_CONTEXTPOPUP, 42}}));
}

TEST_F(InputRoutingTest, HelpAskedOfAnotherWindowWhileAMenuIsOpenIsTheMenus) {
    open->SetHelpContext(42);
    OpenFileAt(1);
    HELPINFO info;
    info.iContextType = HELPINFO_MENUITEM;
    info.hItemHandle = edit->Handle();
    SendMessage(edit->Handle(), WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    Pump();
    EXPECT_EQ(help, (std::vector<Help>{{HELP_CONTEXT, 42}}));
    EXPECT_EQ(GetActiveBarControl(), nullptr);
    // So is help asked of another form, or of a control on it, which would pass it to that form only.
    BarsForm other;
    auto* otherEdit = new TEdit(&other);
    otherEdit->SetParent(&other);
    other.SetBounds(660, 50, 300, 200);
    other.Show();
    Pump();
    SetActiveWindow(form.Handle());
    edit->SetFocus();
    Pump();
    for (const HWND asked : {otherEdit->Handle(), other.Handle()}) {
        help.clear();
        OpenFileAt(1);
        info.hItemHandle = asked;
        SendMessage(asked, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
        Pump();
        EXPECT_EQ(help, (std::vector<Help>{{HELP_CONTEXT, 42}}));
        EXPECT_EQ(GetActiveBarControl(), nullptr);
    }
    // Help of a window (not of a menu line) is none of the bars' business.
    help.clear();
    OpenFileAt(1);
    info.iContextType = HELPINFO_WINDOW;
    SendMessage(form.Handle(), WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_TRUE(help.empty());
    EXPECT_NE(GetActiveBarControl(), nullptr);
    // Without an open menu: the line under the pointer of the bar that asks.
    Stroke(VK_ESCAPE);
    Stroke(VK_ESCAPE);
    file->SetHelpContext(9);
    info.iContextType = HELPINFO_MENUITEM;
    info.hItemHandle = Window(menuBar)->Handle();
    info.MousePos = Centre(file, menuBar);
    SendMessage(form.Handle(), WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(help, (std::vector<Help>{{HELP_CONTEXT, 9}}));
}

TEST_F(InputRoutingTest, APressOnTheFormsFrameClosesTheOpenMenus) {
    // Another form, disabled as behind a modal window.
    BarsForm other;
    other.SetBounds(660, 50, 300, 200);
    other.Show();
    Pump();
    other.SetEnabled(false);
    SetActiveWindow(form.Handle());
    edit->SetFocus();
    Pump();
    OpenFileAt(1);
    RECT frame{0, 0, 0, 0};
    GetWindowRect(form.Handle(), frame);
    // Just inside the top and the left edge: the window manager draws the frame here, so these land on
    // the menu bar and the client area, whose presses close the menus as well.
    for (const POINT p : {POINT{frame.left + 60, frame.top + 8}, POINT{frame.left + 1, frame.top + 100}}) {
        OpenFileAt(1);
        ASSERT_NE(GetActiveBarControl(), nullptr);
        pw::gui::SimulateMouse(MouseAction::Move, p);
        pw::gui::SimulateMouse(MouseAction::Down, p, MouseButton::Left);
        pw::gui::SimulateMouse(MouseAction::Up, p, MouseButton::Left);
        Pump();
        EXPECT_EQ(GetActiveBarControl(), nullptr) << p.x << "," << p.y;
        EXPECT_EQ(Menu(), nullptr);
    }
    // A press on the disabled form moves and activates nothing and reaches the hooks only as a
    // non-client press: the press itself closes the menus, before any release.
    OpenFileAt(1);
    RECT otherFrame{0, 0, 0, 0};
    GetWindowRect(other.Handle(), otherFrame);
    const POINT onOther{otherFrame.left + 60, otherFrame.top + 8};
    pw::gui::SimulateMouse(MouseAction::Move, onOther);
    pw::gui::SimulateMouse(MouseAction::Down, onOther, MouseButton::Left);
    Pump();
    EXPECT_EQ(GetActiveBarControl(), nullptr);
    EXPECT_EQ(Menu(), nullptr);
    pw::gui::SimulateMouse(MouseAction::Up, onOther, MouseButton::Left);
    Pump();
}

TEST_F(InputRoutingTest, AnItemBeingEditedKeepsTheShortcutsKeysAndHandsAltKeysToTheBars) {
    auto* find = new TdxBarEdit(&form);
    find->SetCaption("Find");
    find->SetText("");
    TdxBar* tools = Toolbar("Tools", {find}, dsTop, 1);
    auto* control = dynamic_cast<bars::TdxBarEditControl*>(Control(find, tools));
    ASSERT_NE(control, nullptr);
    const RECT r = control->ScreenRect();
    const POINT box{r.right - 10, (r.top + r.bottom) / 2};
    auto startEditing = [&] {
        MoveTo(box);
        pw::gui::SimulateClick(box);
        Pump();
        ASSERT_TRUE(control->IsEditing());
    };
    startEditing();
    EXPECT_EQ(manager->FocusedBarControl(), Window(tools));
    // Ctrl+O is the box's, not the Open command's.
    Stroke('O', {VK_CONTROL});
    EXPECT_EQ(Clicks(open), 0);
    EXPECT_TRUE(control->IsEditing());
    // Alt with File's letter leaves the box and drops File's menu. The box hands both keys to the bars
    // itself; the hooks after theirs heard them already and hear them no second time.
    pressesHeard.clear();
    Stroke('F', {VK_MENU});
    EXPECT_EQ(pressesHeard, (std::vector<WPARAM>{VK_MENU, 'F'}));
    EXPECT_FALSE(control->IsEditing());
    EXPECT_EQ(manager->FocusedBarControl(), Window(menuBar));
    EXPECT_NE(Menu(), nullptr);
    Stroke(VK_ESCAPE);
    Stroke(VK_ESCAPE);
    EXPECT_EQ(manager->FocusedBarControl(), nullptr);
    // Away from the box the shortcut is the command's again.
    edit->SetFocus();
    Pump();
    Stroke('O', {VK_CONTROL});
    EXPECT_EQ(Clicks(open), 1);
}

} // namespace
} // namespace bars_windows_test

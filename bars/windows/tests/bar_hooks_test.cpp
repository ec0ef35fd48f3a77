// The keys and clicks the bar managers take before the form's controls see them: Alt and F10 entering
// the menu bar, shortcuts and accelerators typed in any control, the keys of an open menu, clicks that
// close it, and the context menus of controls linked to popup menus.
#include <gtest/gtest.h>

#include <vector>

#include "bar_windows_fixture.h"
#include "bars/core/bar_routines.h"
#include "bars/core/bar_unit.h"
#include "bars/core/popup_menu.h"
#include "bars/core/sub_item.h"
#include "bars/windows/bar_hints.h"
#include "bars/windows/bar_hooks.h"
#include "platform/gui/caret.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/window.h"
#include "platform/stdctrls/edit.h"
#include "platform/vcl/shortcut.h"

namespace bars_windows_test {
namespace {

using pw::gui::MouseAction;
using pw::gui::MouseButton;

bool IsModifier(WORD key) {
    return key == VK_SHIFT || key == VK_CONTROL || key == VK_MENU;
}

class BarHooksTest : public BarWindowsTest {
protected:
    BarHooksTest() {
        edit = new TEdit(&form);
        edit->SetParent(&form);
        edit->SetBounds(20, 200, 200, 24);
        // The keys the edit hears, without the shift keys.
        edit->OnKeyDown = [this](TObject*, WORD& Key, TShiftState) {
            if (!IsModifier(Key)) keysSeen.push_back(Key);
        };
        edit->OnKeyUp = [this](TObject*, WORD& Key, TShiftState) {
            if (!IsModifier(Key)) releasesSeen.push_back(Key);
        };
        Pump();
        SetActiveWindow(form.Handle());
        edit->SetFocus();
        Pump();
    }
    // A menu bar (File with Open and Save, Ctrl+O and Ctrl+S; Help) and a toolbar (Print, Preview).
    void MakeBars() {
        open = Button("&Open...");
        open->SetShortCut(ShortCut('O', TShiftState{ssCtrl}));
        save = Button("&Save");
        save->SetShortCut(ShortCut('S', TShiftState{ssCtrl}));
        file = new TdxBarSubItem(&form);
        file->SetCaption("&File");
        file->ItemLinks()->Add()->SetItem(open);
        file->ItemLinks()->Add()->SetItem(save);
        help = Button("&Help");
        menuBar = Toolbar("Menu", {file, help});
        menuBar->SetIsMainMenu(true);
        manager->SetMainMenuBar(menuBar);
        print = Button("&Print");
        preview = Button("P&review");
        toolbar = Toolbar("Tools", {print, preview}, dsTop, 1);
        Pump();
    }
    void Stroke(BYTE vk, std::initializer_list<BYTE> held = {}) {
        for (BYTE k : held)
            pw::gui::SimulateKey(k, true);
        pw::gui::SimulateKeyStroke(vk);
        for (auto it = std::rbegin(held); it != std::rend(held); ++it)
            pw::gui::SimulateKey(*it, false);
        Pump();
    }
    bars::TdxBarControl* MenuWindow() const { return Window(menuBar); }

    TEdit* edit = nullptr;
    std::vector<WORD> keysSeen, releasesSeen;
    TdxBarButton *open = nullptr, *save = nullptr, *help = nullptr, *print = nullptr, *preview = nullptr;
    TdxBarSubItem* file = nullptr;
    TdxBar *menuBar = nullptr, *toolbar = nullptr;
};

TEST_F(BarHooksTest, AltAloneAndF10EnterTheMenuBarAndItsKeysStayInIt) {
    MakeBars();
    // Alt pressed and released alone: keyboard mode on the first entry; the edit keeps the focus.
    Stroke(VK_MENU);
    ASSERT_TRUE(MenuWindow()->InKeyboardMode());
    EXPECT_EQ(MenuWindow()->Selected(), Control(file, menuBar));
    EXPECT_EQ(GetActiveBarControl(), MenuWindow());
    EXPECT_TRUE(edit->Focused());
    // The menu's keys are the menu's: Right moves along it, the edit hears nothing.
    keysSeen.clear();
    Stroke(VK_RIGHT);
    EXPECT_EQ(MenuWindow()->Selected(), Control(help, menuBar));
    // Escape leaves it, and its release is swallowed with it.
    releasesSeen.clear();
    Stroke(VK_ESCAPE);
    EXPECT_FALSE(MenuWindow()->InKeyboardMode());
    EXPECT_EQ(GetActiveBarControl(), nullptr);
    EXPECT_TRUE(keysSeen.empty());
    EXPECT_TRUE(releasesSeen.empty());

    // Alt with another key is no menu key.
    Stroke('Z', {VK_MENU});
    EXPECT_FALSE(MenuWindow()->InKeyboardMode());
    // F10 enters, Alt inside the menu leaves, and that Alt's release does not enter again.
    Stroke(VK_F10);
    ASSERT_TRUE(MenuWindow()->InKeyboardMode());
    Stroke(VK_MENU);
    EXPECT_FALSE(MenuWindow()->InKeyboardMode());
    // Shift+F10 and F10 without the manager's consent do not enter.
    Stroke(VK_F10, {VK_SHIFT});
    EXPECT_FALSE(MenuWindow()->InKeyboardMode());
    manager->SetUseF10ForMenu(false);
    Stroke(VK_F10);
    EXPECT_FALSE(MenuWindow()->InKeyboardMode());
    // Ordinary keys go on to the focused control.
    keysSeen.clear();
    Stroke('A');
    EXPECT_EQ(keysSeen, (std::vector<WORD>{'A'}));
}

TEST_F(BarHooksTest, ShortcutsAndAcceleratorsWorkFromAnyControlAndTheKeyGoesNoFurther) {
    MakeBars();
    keysSeen.clear();
    // A shortcut of an item inside the File menu, typed in the edit.
    Stroke('O', {VK_CONTROL});
    EXPECT_EQ(Clicks(open), 1);
    Stroke('S', {VK_CONTROL});
    EXPECT_EQ(Clicks(save), 1);
    // A disabled item's shortcut does nothing and the key reaches the edit.
    save->SetEnabled(false);
    Stroke('S', {VK_CONTROL});
    EXPECT_EQ(Clicks(save), 1);
    EXPECT_EQ(keysSeen, (std::vector<WORD>{'S'}));
    // Alt with a toolbar button's letter clicks it; without Alt the letter is the edit's.
    keysSeen.clear();
    Stroke('P', {VK_MENU});
    EXPECT_EQ(Clicks(print), 1);
    EXPECT_FALSE(Window(toolbar)->InKeyboardMode());
    Stroke('P');
    EXPECT_EQ(Clicks(print), 1);
    EXPECT_EQ(keysSeen, (std::vector<WORD>{'P'}));
    // A letter two buttons of one bar share selects the first without clicking either.
    preview->SetCaption("&Preview");
    Stroke('P', {VK_MENU});
    EXPECT_EQ(Clicks(print) + Clicks(preview), 1);
    EXPECT_TRUE(Window(toolbar)->InKeyboardMode());
    EXPECT_EQ(Window(toolbar)->Selected(), Control(print, toolbar));
    Stroke(VK_ESCAPE);
    // The menu bar's letters come first and select the menu's entry.
    print->SetCaption("&File print");
    Stroke('F', {VK_MENU});
    EXPECT_TRUE(MenuWindow()->InKeyboardMode());
    EXPECT_EQ(MenuWindow()->Selected(), Control(file, menuBar));
    EXPECT_EQ(Clicks(print), 1);
    Stroke(VK_ESCAPE);
}

// A bar window that stays active whatever it is told.
class StubbornBar : public bars::TCustomdxBarControl {
public:
    explicit StubbornBar(TdxBarManager* manager) : TCustomdxBarControl(manager, nullptr) {
        CreateWindowHandle(WS_POPUP, WS_EX_TOPMOST, nullptr, RECT{400, 60, 480, 120});
        ShowWindow(Handle(), SW_SHOWNA);
    }
    bool IsToolbar() const override { return false; }
    int GetSeparatorSize() const override { return 0; }
    void SetMarkState(int) override {}
    void HideAll() override { ++hides; }
    int hides = 0;

protected:
    void Paint(HDC) override {}
};

TEST_F(BarHooksTest, AClickOutsideClosesTheOpenChainAndARightReleaseOutsideIsSwallowed) {
    MakeBars();
    Stroke(VK_MENU);
    ASSERT_TRUE(MenuWindow()->InKeyboardMode());
    // A right click on the edit: the release goes nowhere while the menu is open, the press closes it.
    RECT r{0, 0, 0, 0};
    GetWindowRect(edit->Handle(), r);
    const POINT onEdit{r.left + 5, r.top + 5};
    std::vector<TMouseButton> releases;
    edit->OnMouseUp = [&](TObject*, TMouseButton Button, TShiftState, int, int) {
        releases.push_back(Button);
    };
    pw::gui::SimulateMouse(MouseAction::Move, onEdit);
    pw::gui::SimulateMouse(MouseAction::Up, onEdit, MouseButton::Right);
    Pump();
    EXPECT_TRUE(MenuWindow()->InKeyboardMode());
    EXPECT_TRUE(releases.empty());
    pw::gui::SimulateMouse(MouseAction::Down, onEdit, MouseButton::Left);
    pw::gui::SimulateMouse(MouseAction::Up, onEdit, MouseButton::Left);
    Pump();
    EXPECT_FALSE(MenuWindow()->InKeyboardMode());
    EXPECT_EQ(GetActiveBarControl(), nullptr);
    // The click that closed the menu still reaches the edit.
    EXPECT_EQ(releases, (std::vector<TMouseButton>{mbLeft}));

    // A window that does not close when told to ends the closing at once instead of spinning.
    StubbornBar stubborn(manager);
    stubborn.SetActive(true);
    ASSERT_EQ(GetActiveBarControl(), &stubborn);
    pw::gui::SimulateClick(onEdit);
    Pump();
    EXPECT_EQ(stubborn.hides, 1);
    EXPECT_EQ(GetActiveBarControl(), &stubborn);
    stubborn.SetActive(false);
}

TEST_F(BarHooksTest, LinkedControlsAskTheirPopupMenusOnRightClickAndContextKeys) {
    MakeBars();
    auto* menu = new TdxBarPopupMenu(&form);
    menu->NoModalLoop = true;
    menu->ItemLinks()->Add()->SetItem(print);
    TdxBarButton* copy = Button("&Copy");
    copy->SetShortCut(ShortCut('C', TShiftState{ssCtrl}));
    menu->ItemLinks()->Add()->SetItem(copy);
    // The edit's own link refuses; its form's link, serving children, takes over.
    TdxBarPopupMenuLink* own = manager->PopupMenuLinks()->Add();
    own->SetControl(edit);
    own->SetPopupMenu(menu);
    struct Call {
        int x, y;
        bool byMouse;
    };
    std::vector<Call> ownCalls, formCalls;
    own->OnAction = [&](TdxBarPopupMenuLink*, int& X, int& Y, bool ByMouse, bool& Allow) {
        ownCalls.push_back({X, Y, ByMouse});
        Allow = false;
    };
    TdxBarPopupMenuLink* ofForm = manager->PopupMenuLinks()->Add();
    ofForm->SetControl(&form);
    ofForm->SetPopupMenu(menu);
    ofForm->OnAction = [&](TdxBarPopupMenuLink*, int& X, int& Y, bool ByMouse, bool&) {
        formCalls.push_back({X, Y, ByMouse});
    };
    POINT at{7, 4};
    ClientToScreen(edit->Handle(), at);
    pw::gui::SimulateClick(at, MouseButton::Right);
    Pump();
    ASSERT_EQ(ownCalls.size(), 1u);
    EXPECT_TRUE(ownCalls[0].byMouse);
    EXPECT_EQ(ownCalls[0].x, 7);
    EXPECT_EQ(ownCalls[0].y, 4);
    ASSERT_EQ(formCalls.size(), 1u);
    // The form's link showed the menu, at the click; Escape closes it.
    ASSERT_TRUE(menu->IsShowing());
    RECT shown{0, 0, 0, 0};
    GetWindowRect(menu->ItemLinks()->BarControl()->Handle(), shown);
    EXPECT_EQ(shown.left, at.x);
    EXPECT_EQ(shown.top, at.y);
    Stroke(VK_ESCAPE);
    EXPECT_FALSE(menu->IsShowing());
    // The menu key and Shift+F10: no point, the keyboard's way, and the key goes no further. (The
    // links also hear each key pressed in the edit, as its shortcut may be theirs.)
    for (BYTE key : {VK_APPS, VK_F10}) {
        const size_t before = formCalls.size();
        keysSeen.clear();
        releasesSeen.clear();
        if (key == VK_F10)
            Stroke(key, {VK_SHIFT});
        else
            Stroke(key);
        ASSERT_GT(formCalls.size(), before);
        EXPECT_FALSE(ownCalls.back().byMouse);
        // Each link's handler sees the edit's caret, where the menu opens, as its own control sees it.
        POINT caret{0, 0};
        ASSERT_TRUE(GetCaretPos(caret));
        EXPECT_EQ(ownCalls.back().x, caret.x);
        EXPECT_EQ(ownCalls.back().y, caret.y);
        MapWindowPoints(edit->Handle(), form.Handle(), &caret, 1);
        EXPECT_EQ(formCalls.back().x, caret.x);
        EXPECT_EQ(formCalls.back().y, caret.y);
        // The menu key acts on its release, Shift+F10 on its press.
        EXPECT_EQ(key == VK_APPS ? releasesSeen : keysSeen, std::vector<WORD>{});
        EXPECT_TRUE(menu->IsShowing());
        Stroke(VK_ESCAPE);
    }
    // A shortcut of a linked popup menu works in its control only.
    own->OnAction = nullptr;
    ofForm->SetPopupMenu(nullptr);
    Stroke('C', {VK_CONTROL});
    EXPECT_EQ(Clicks(copy), 1);
    auto* other = new TEdit(&form);
    other->SetParent(&form);
    other->SetBounds(20, 240, 200, 24);
    other->SetFocus();
    Pump();
    Stroke('C', {VK_CONTROL});
    EXPECT_EQ(Clicks(copy), 1);
}

TEST_F(BarHooksTest, WhileAModalDialogRunsTheFormAndItsFloatingBarsAnswerNoClick) {
    manager->SetHideFloatingBarsWhenInactive(false);
    TdxBarButton* open = Button("&Open");
    TdxBar* floating = Toolbar("Floating", {open}, dsNone);
    SetWindowPos(Window(floating)->Handle(), nullptr, 60, 500, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    auto* menu = new TdxBarPopupMenu(&form);
    menu->NoModalLoop = true;
    menu->ItemLinks()->Add()->SetItem(Button("&Copy"));
    TdxBarPopupMenuLink* link = manager->PopupMenuLinks()->Add();
    link->SetControl(&form);
    link->SetPopupMenu(menu);
    POINT onForm{300, 300};
    ClientToScreen(form.Handle(), onForm);
    auto* dialog = new TForm(&form);
    dialog->SetBounds(700, 100, 200, 100);
    dialog->OnActivate = [&](TObject*) {
        pw::gui::SimulateClick(Centre(open, floating));
        // The form's linked menu opens neither over its floating bar nor over the form.
        for (POINT p : {Centre(open, floating), onForm})
            pw::gui::SimulateClick(p, MouseButton::Right);
        Pump();
        EXPECT_FALSE(menu->IsShowing());
        EXPECT_EQ(Clicks(open), 0);
        dialog->SetModalResult(mrOk);
    };
    EXPECT_EQ(dialog->ShowModal(), mrOk);
    pw::gui::SimulateClick(Centre(open, floating));
    Pump();
    EXPECT_EQ(Clicks(open), 1);
    pw::gui::SimulateClick(onForm, MouseButton::Right);
    Pump();
    EXPECT_TRUE(menu->IsShowing());
    Stroke(VK_ESCAPE);
}

TEST_F(BarHooksTest, AKeyOrAClickEndsAShownHint) {
    MakeBars();
    for (int round = 0; round < 2; ++round) {
        MoveTo(Centre(print, toolbar));
        bars::ShowHintNow(manager);
        ASSERT_TRUE(bars::IsHintShown());
        if (round == 0)
            Stroke('A');
        else
            pw::gui::SimulateClick(Centre(preview, toolbar));
        Pump();
        EXPECT_FALSE(bars::IsHintShown()) << round;
    }
    bars::CancelHint();
}

// The form's activation reaches its manager by each way the window system tells it, and messages the
// manager has no use for leave it alone.
TEST_F(BarHooksTest, TheFormsActivationMessagesReachItsManager) {
    MakeBars();
    const HWND window = form.Handle();
    manager->SetParentFormActive(false);
    SendMessage(window, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_TRUE(manager->ParentFormActive());
    // Leaving the program lets go of the item under the pointer: the pointer may never come back to
    // take it off.
    MoveTo(Centre(print, toolbar));
    ASSERT_EQ(manager->SelectedItem(), Control(print, toolbar));
    SendMessage(window, WM_ACTIVATEAPP, 0, 0);
    EXPECT_FALSE(manager->ParentFormActive());
    EXPECT_EQ(manager->SelectedItem(), nullptr);
    EXPECT_EQ(Window(toolbar)->Selected(), nullptr);
    // So does it of the item chosen for customizing, which the pointer leaving keeps.
    manager->SetIsCustomizing(true);
    Press(Centre(print, toolbar));
    Release(Centre(print, toolbar));
    ASSERT_EQ(manager->SelectedItem(), Control(print, toolbar));
    SendMessage(window, WM_ACTIVATEAPP, 0, 0);
    EXPECT_EQ(manager->SelectedItem(), nullptr);
    manager->SetIsCustomizing(false);
    manager->SetParentFormActive(true);
    SendMessage(window, WM_GETTEXTLENGTH, 0, 0);
    SendMessage(window, WM_NULL, 0, 0);
    EXPECT_TRUE(manager->ParentFormActive());
    WINDOWPOS pos{};
    pos.hwnd = window;
    pos.flags = SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER;
    SendMessage(window, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
    EXPECT_FALSE(manager->ParentFormActive());
    // A form docked in this one tells this one's manager.
    BarsForm docked;
    SetParent(docked.Handle(), window);
    ShowWindow(window, SW_SHOWNA);
    SendMessage(docked.Handle(), WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_TRUE(manager->ParentFormActive());
    SetParent(docked.Handle(), nullptr);
}

TEST_F(BarHooksTest, TheHooksLiveWhileAnyManagerDoes) {
    EXPECT_TRUE(bars::BarHooksInstalled());
    BarsForm other;
    auto* second = new TdxBarManager(&other);
    delete manager;
    manager = nullptr;
    EXPECT_TRUE(bars::BarHooksInstalled());
    delete second;
    EXPECT_FALSE(bars::BarHooksInstalled());
    // Keys pass untouched with no manager left.
    keysSeen.clear();
    Stroke('Q', {VK_CONTROL});
    EXPECT_EQ(keysSeen, (std::vector<WORD>{'Q'}));
}

} // namespace
} // namespace bars_windows_test

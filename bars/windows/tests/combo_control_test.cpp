// Combo items on a toolbar: typing, stepping through the entries, the drop-down list by key and by
// mouse, and the item's events.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bar_windows_fixture.h"
#include "bars/core/bar_combo.h"
#include "bars/core/bar_routines.h"
#include "bars/core/sub_item.h"
#include "bars/windows/combo_control.h"
#include "platform/commctrl/std_controls.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/paint.h"
#include "platform/gui/system.h"
#include "platform/gui/window.h"
#include "platform/rtl/string_list.h"

namespace bars_windows_test {
namespace {

class ComboControlTest : public BarWindowsTest {
protected:
    ComboControlTest() : oldDoubleClick(GetDoubleClickTime()) {
        SetDoubleClickTime(1);
        combo = new TdxBarCombo(&form);
        combo->SetCaption("Size");
        for (const char* s : {"Small", "Medium", "Large"})
            combo->Items()->Add(s);
        combo->OnChange = [this](TObject*) { ++changes; };
        combo->OnCurChange = [this](TObject*) { curTexts.push_back(combo->CurText()); };
        bar = Toolbar("Tools", {combo, Button("Go")});
    }
    ~ComboControlTest() override { SetDoubleClickTime(oldDoubleClick); }
    bars::TdxBarComboControl* Control() const {
        return dynamic_cast<bars::TdxBarComboControl*>(bar->ItemLinks()->Items(0)->Control());
    }
    void ClickAt(POINT client) {
        POINT p = client;
        ClientToScreen(Window(bar)->Handle(), p);
        MoveTo(p);
        pw::gui::SimulateClick(p);
        Pump();
    }
    void ClickText() {
        const RECT r = Control()->Bounds();
        ClickAt(POINT{r.left + 10, (r.top + r.bottom) / 2});
    }
    void ClickButton() {
        const RECT b = Control()->ButtonRect();
        ClickAt(POINT{(b.left + b.right) / 2, (b.top + b.bottom) / 2});
    }
    void Key(BYTE vk) {
        pw::gui::SimulateKeyStroke(vk);
        Pump();
    }
    void AltKey(BYTE vk) {
        pw::gui::SimulateKey(VK_MENU, true);
        pw::gui::SimulateKeyStroke(vk);
        pw::gui::SimulateKey(VK_MENU, false);
        Pump();
    }
    std::string Shown() const { return GetWindowText(Control()->EditHandle()); }
    HWND List() const { return combo->GetDropDownWindow(); }
    bool ListShown() const { return List() != nullptr && IsWindowVisible(List()); }

    UINT oldDoubleClick;
    TdxBarCombo* combo = nullptr;
    TdxBar* bar = nullptr;
    int changes = 0;
    std::vector<std::string> curTexts;
};

// Typed text and stepped entries: Up and Down walk the entries while the list is closed, each step a
// change of the current text; Enter takes the entry as the item's choice.
TEST_F(ComboControlTest, TypingSteppingAndEnter) {
    ClickText();
    ASSERT_TRUE(Control()->IsEditing());
    EXPECT_FALSE(ListShown());
    pw::gui::SimulateText(U"Med");
    Pump();
    EXPECT_EQ(combo->CurText(), "Med");
    EXPECT_EQ(curTexts.back(), "Med");
    Key(VK_RETURN);
    EXPECT_FALSE(Control()->IsEditing());
    EXPECT_EQ(combo->Text(), "Med");
    EXPECT_EQ(combo->ItemIndex(), -1);
    EXPECT_EQ(changes, 1);

    ClickText();
    curTexts.clear();
    Key(VK_DOWN);
    EXPECT_EQ(Shown(), "Small");
    Key(VK_DOWN);
    Key(VK_DOWN);
    Key(VK_DOWN); // past the last entry: stays
    EXPECT_EQ(Shown(), "Large");
    Key(VK_UP);
    EXPECT_EQ(Shown(), "Medium");
    EXPECT_EQ(curTexts, (std::vector<std::string>{"Small", "Medium", "Large", "Medium"}));
    // The wheel steps as well: towards the user is the next entry.
    SendMessage(Control()->EditHandle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0);
    EXPECT_EQ(Shown(), "Large");
    SendMessage(Control()->EditHandle(), WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0);
    EXPECT_EQ(combo->ItemIndex(), -1); // nothing chosen before Enter
    Key(VK_RETURN);
    EXPECT_EQ(combo->ItemIndex(), 1);
    EXPECT_EQ(combo->Text(), "Medium");
    EXPECT_FALSE(ListShown());
}

// F4 and Alt+Down open the list below the box, Alt+Up and F4 close it; while it is open Down moves its
// choice and the edit shows it, Escape closes it and drops the text, Tab keeps the choice.
TEST_F(ComboControlTest, KeysOpenTheListAndMoveItsChoice) {
    ClickText();
    Key(VK_F4);
    ASSERT_TRUE(ListShown());
    EXPECT_TRUE(Control()->DroppedDown());
    RECT list{}, box = Control()->ScreenRect();
    GetWindowRect(List(), list);
    EXPECT_EQ(list.top, box.bottom);
    EXPECT_GE(list.right - list.left, 3); // sized for its entries
    EXPECT_EQ(SendMessage(List(), LB_GETCOUNT, 0, 0), 3);
    Key(VK_DOWN);
    Key(VK_DOWN);
    EXPECT_EQ(SendMessage(List(), LB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(Shown(), "Medium");
    EXPECT_TRUE(Control()->IsEditing()); // the edit kept the focus
    Key(VK_F4);
    EXPECT_FALSE(ListShown());
    // Typing follows in the open list: a whole entry (in any case) is chosen there, a part is not.
    Key(VK_F4);
    pw::gui::SimulateText(U"la");
    Pump();
    EXPECT_EQ(SendMessage(List(), LB_GETCURSEL, 0, 0), LB_ERR);
    pw::gui::SimulateText(U"RGE");
    Pump();
    EXPECT_EQ(SendMessage(List(), LB_GETCURSEL, 0, 0), 2);
    Key(VK_F4);
    AltKey(VK_DOWN);
    EXPECT_TRUE(ListShown());
    AltKey(VK_UP);
    EXPECT_FALSE(ListShown());
    EXPECT_TRUE(Control()->IsEditing());
    AltKey(VK_DOWN);
    Key(VK_ESCAPE);
    EXPECT_FALSE(ListShown());
    EXPECT_FALSE(Control()->IsEditing());
    EXPECT_EQ(combo->ItemIndex(), -1);
    EXPECT_EQ(changes, 0);

    ClickText();
    Key(VK_F4);
    Key(VK_DOWN);
    Key(VK_TAB);
    EXPECT_FALSE(ListShown());
    EXPECT_EQ(combo->ItemIndex(), 0);
    EXPECT_EQ(Window(bar)->Selected()->Item()->Caption(), "Go");
}

// The button opens the list, a click on an entry chooses it and closes the list; a read-only combo
// never opens; a handler that eats a key keeps it from the edit.
TEST_F(ComboControlTest, MouseChoosesAnEntryAndReadOnlyNeverOpens) {
    ClickButton();
    ASSERT_TRUE(ListShown());
    EXPECT_TRUE(Control()->IsEditing());
    RECT item{};
    SendMessage(List(), LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&item));
    POINT p{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
    ClientToScreen(List(), p);
    MoveTo(p);
    EXPECT_EQ(SendMessage(List(), LB_GETCURSEL, 0, 0), 2); // the pointer picks the entry under it
    pw::gui::SimulateClick(p);
    Pump();
    EXPECT_FALSE(ListShown());
    EXPECT_EQ(combo->ItemIndex(), 2);
    EXPECT_EQ(combo->Text(), "Large");
    EXPECT_EQ(Shown(), "Large");
    Key(VK_ESCAPE);

    combo->OnKeyPress = [](TObject*, char& key) {
        if (key == 'x') key = 0;
    };
    ClickText();
    pw::gui::SimulateText(U"axb");
    Pump();
    EXPECT_EQ(Shown(), "ab");
    Key(VK_ESCAPE);
    combo->OnKeyPress = nullptr;

    combo->SetReadOnly(true);
    ClickButton();
    EXPECT_TRUE(Control()->IsEditing());
    Key(VK_F4);
    AltKey(VK_DOWN);
    EXPECT_FALSE(ListShown());
    EXPECT_FALSE(Control()->DroppedDown());
}

// Opened by a press still held, the list tracks the pointer; a further press on it goes to the combo's
// edit (which decides on the list) at that point, and the list lets the pointer go.
TEST_F(ComboControlTest, APressOnTheListWhileItTracksGoesToTheEdit) {
    const RECT b = Control()->ButtonRect();
    POINT button{(b.left + b.right) / 2, (b.top + b.bottom) / 2};
    ClientToScreen(Window(bar)->Handle(), button);
    MoveTo(button);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Down, button, pw::gui::MouseButton::Left);
    Pump();
    ASSERT_TRUE(ListShown());
    ASSERT_EQ(GetCapture(), List());
    RECT item{};
    SendMessage(List(), LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
    const POINT inList{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
    SendMessage(List(), WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(inList));
    EXPECT_NE(GetCapture(), List());
    MSG posted{};
    ASSERT_TRUE(PeekMessage(posted, Control()->EditHandle(), WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE));
    POINT at{static_cast<short>(posted.lParam & 0xFFFF), static_cast<short>((posted.lParam >> 16) & 0xFFFF)};
    MapWindowPoints(Control()->EditHandle(), List(), &at, 1);
    EXPECT_EQ(at.x, inList.x);
    EXPECT_EQ(at.y, inList.y);
    EXPECT_EQ(posted.wParam, static_cast<WPARAM>(MK_LBUTTON));
    pw::gui::SimulateMouse(pw::gui::MouseAction::Up, button, pw::gui::MouseButton::Left);
    Pump();
    Key(VK_ESCAPE);
}

// Without an editor the whole box opens the list, the keys step and drop down, nothing is typed.
TEST_F(ComboControlTest, WithoutAnEditorTheWholeBoxOpensTheList) {
    combo->SetShowEditor(false);
    ClickText();
    ASSERT_TRUE(Control()->IsEditing());
    EXPECT_TRUE(ListShown());
    Key(VK_F4);
    EXPECT_FALSE(ListShown());
    Key(VK_DOWN);
    EXPECT_EQ(Shown(), "Small");
    pw::gui::SimulateText(U"x");
    Pump();
    EXPECT_EQ(Shown(), "Small");
    RECT window{};
    GetWindowRect(Control()->EditHandle(), window);
    EXPECT_EQ(window.right, window.left);
    Key(VK_RETURN);
    EXPECT_EQ(combo->ItemIndex(), 0);
}

// The toolbar's combo on a line of a menu too: the line edits in the menu, opens its list beside
// itself, and Enter keeps the entry chosen and closes the menus.
TEST_F(ComboControlTest, InAMenuTheListOpensBesideTheLine) {
    auto* zoom = new TdxBarSubItem(&form);
    zoom->SetCaption("&Zoom");
    zoom->ItemLinks()->Add()->SetItem(combo);
    TdxBar* other = Toolbar("Other", {zoom}, dsTop, 1);
    const POINT p = Centre(zoom, other);
    MoveTo(p);
    pw::gui::SimulateClick(p);
    Pump();
    auto* line = dynamic_cast<bars::TdxBarComboControl*>(zoom->ItemLinks()->Items(0)->Control());
    ASSERT_NE(line, nullptr);
    const RECT r = line->ScreenRect();
    const POINT at{r.right - 30, (r.top + r.bottom) / 2};
    MoveTo(at);
    pw::gui::SimulateClick(at);
    Pump();
    ASSERT_TRUE(line->IsEditing());
    EXPECT_EQ(GetFocus(), line->EditHandle());
    Key(VK_F4);
    ASSERT_TRUE(ListShown());
    RECT list{};
    GetWindowRect(List(), list);
    EXPECT_EQ(list.left, r.right);
    EXPECT_EQ(list.top, r.top);
    // As wide as the line's box, not as the toolbar's combo, though both show the same item.
    EXPECT_GE(list.right - list.left, r.right - r.left - line->ComboButtonWidth() - 4);
    Key(VK_DOWN);
    Key(VK_RETURN);
    EXPECT_FALSE(ListShown());
    EXPECT_EQ(combo->ItemIndex(), 0);
    EXPECT_EQ(zoom->ItemLinks()->BarControl(), nullptr);
    EXPECT_EQ(GetActiveBarControl(), nullptr);
}

// An owner-drawn combo draws the entry its box shows itself, inside the box, while it is not edited;
// an ordinary one leaves the box to the painter's text.
TEST_F(ComboControlTest, AnOwnerDrawnComboDrawsTheEntryInItsBox) {
    combo->SetItemIndex(1);
    std::vector<int> drawn;
    RECT where{};
    combo->OnDrawItem = [&](TdxBarCustomCombo*, int Index, const RECT& Rect, TOwnerDrawState) {
        drawn.push_back(Index);
        where = Rect;
    };
    InvalidateRect(Window(bar)->Handle(), nullptr, FALSE_);
    Pump();
    ASSERT_FALSE(drawn.empty());
    EXPECT_EQ(drawn.back(), 1);
    const RECT box = Control()->Bounds();
    EXPECT_GT(where.left, box.left);
    EXPECT_LT(where.right, Control()->ButtonRect().left + 1);
    EXPECT_GE(where.top, box.top);
    EXPECT_LE(where.bottom, box.bottom);
    combo->OnDrawItem = nullptr;
    drawn.clear();
    InvalidateRect(Window(bar)->Handle(), nullptr, FALSE_);
    Pump();
    EXPECT_TRUE(drawn.empty());
}

// Alt let go after Alt+Down stays in the box (it was no Alt alone); Alt alone leaves it for the menu
// bar, each key handled before the next goes down.
TEST_F(ComboControlTest, AltLetGoAfterTheListKeyKeepsTheEditingAndAltAloneLeavesIt) {
    auto* file = new TdxBarSubItem(&form);
    file->SetCaption("&File");
    TdxBar* menuBar = Toolbar("Menu", {file}, dsTop, 1);
    menuBar->SetIsMainMenu(true);
    manager->SetMainMenuBar(menuBar);
    ClickText();
    ASSERT_TRUE(Control()->IsEditing());
    auto step = [this](BYTE vk, bool down) {
        pw::gui::SimulateKey(vk, down);
        Pump();
    };
    step(VK_MENU, true);
    step(VK_DOWN, true);
    step(VK_DOWN, false);
    step(VK_MENU, false);
    EXPECT_TRUE(ListShown());
    EXPECT_TRUE(Control()->IsEditing());
    EXPECT_FALSE(Window(menuBar)->InKeyboardMode());
    Key(VK_F4);
    step(VK_MENU, true);
    EXPECT_TRUE(Control()->IsEditing());
    step(VK_MENU, false);
    EXPECT_FALSE(Control()->IsEditing());
    EXPECT_TRUE(Window(menuBar)->InKeyboardMode());
}

// While the list is down and something holds the mouse, a release beside the bar is the list's
// business: the bar and its editing stay.
TEST_F(ComboControlTest, AReleaseElsewhereWhileTheListIsDownUnderCaptureLeavesTheBarOpen) {
    ClickText();
    Key(VK_F4);
    ASSERT_TRUE(ListShown());
    HWND holder = AllocateHWnd([](TMessage&) {});
    SetCapture(holder);
    POINT beside{400, 300};
    ClientToScreen(form.Handle(), beside);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, beside);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Up, beside, pw::gui::MouseButton::Left);
    Pump();
    EXPECT_TRUE(ListShown());
    EXPECT_TRUE(Control()->IsEditing());
    ReleaseCapture();
    // Without the capture the same release closes them.
    pw::gui::SimulateMouse(pw::gui::MouseAction::Up, beside, pw::gui::MouseButton::Left);
    Pump();
    EXPECT_FALSE(ListShown());
    EXPECT_FALSE(Control()->IsEditing());
    DeallocateHWnd(holder);
}

} // namespace
} // namespace bars_windows_test

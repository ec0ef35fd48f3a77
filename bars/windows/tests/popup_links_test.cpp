// Popup menus linked to the form's controls: where the keyboard's menu opens (the caret, else the
// control's corner), the control's own say first, and which links serve a control's children.
#include <gtest/gtest.h>

#include <vector>

#include "bar_windows_fixture.h"
#include "bars/core/bar_routines.h"
#include "bars/core/popup_menu.h"
#include "platform/commctrl/std_controls.h"
#include "platform/gui/caret.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/window.h"
#include "platform/stdctrls/buttons.h"
#include "platform/stdctrls/edit.h"

namespace bars_windows_test {
namespace {

using pw::gui::MouseButton;

class PopupLinksTest : public BarWindowsTest {
protected:
    PopupLinksTest() {
        edit = new TEdit(&form);
        edit->SetParent(&form);
        edit->SetBounds(40, 120, 200, 24);
        button = new TButton(&form);
        button->SetParent(&form);
        button->SetBounds(40, 200, 90, 26);
        menu = new TdxBarPopupMenu(&form);
        // The test checks the shown menu, then closes it; the hooks run while nobody loops.
        menu->NoModalLoop = true;
        menu->ItemLinks()->Add()->SetItem(Button("&Copy"));
        Pump();
        SetActiveWindow(form.Handle());
    }
    ~PopupLinksTest() override { Close(); }
    TdxBarPopupMenuLink* Link(TWinControl* control) {
        TdxBarPopupMenuLink* link = manager->PopupMenuLinks()->Add();
        link->SetControl(control);
        link->SetPopupMenu(menu);
        return link;
    }
    // The menu's top-left on the screen, (-1, -1) when it does not show.
    POINT Shown() const {
        bars::BarControl* window = menu->ItemLinks()->BarControl();
        if (window == nullptr || window->Handle() == nullptr || !IsWindowVisible(window->Handle()))
            return POINT{-1, -1};
        RECT r{0, 0, 0, 0};
        GetWindowRect(window->Handle(), r);
        return POINT{r.left, r.top};
    }
    void Close() {
        if (auto* active = dynamic_cast<bars::TCustomdxBarControl*>(GetActiveBarControl())) active->HideAll();
        Pump();
    }
    void MenuKey() {
        pw::gui::SimulateKeyStroke(VK_APPS);
        Pump();
    }
    static POINT OnScreen(TWinControl* control, POINT p) {
        ClientToScreen(control->Handle(), p);
        return p;
    }

    TEdit* edit = nullptr;
    TButton* button = nullptr;
    TdxBarPopupMenu* menu = nullptr;
};

TEST_F(PopupLinksTest, FromTheKeyboardTheMenuOpensAtTheCaretElseAtTheControlsCorner) {
    Link(edit);
    Link(button);
    edit->SetFocus();
    edit->SetText("some typed text");
    SendMessage(edit->Handle(), EM_SETSEL, 4, 4);
    Pump();
    POINT caret{0, 0};
    ASSERT_TRUE(GetCaretPos(caret));
    ASSERT_GT(caret.x, 10);
    MenuKey();
    EXPECT_EQ(Shown(), OnScreen(edit, caret));
    // The caret is back as it was: shown, in its place.
    EXPECT_TRUE(pw::gui::CaretShown(edit->Handle()));
    Close();
    // Shift+F10 the same, after the caret moved to the end.
    SendMessage(edit->Handle(), EM_SETSEL, 15, 15);
    Pump();
    ASSERT_TRUE(GetCaretPos(caret));
    pw::gui::SimulateKey(VK_SHIFT, true);
    pw::gui::SimulateKeyStroke(VK_F10);
    pw::gui::SimulateKey(VK_SHIFT, false);
    Pump();
    EXPECT_EQ(Shown(), OnScreen(edit, caret));
    Close();
    // A button has no caret: its client area's corner.
    button->SetFocus();
    Pump();
    MenuKey();
    EXPECT_EQ(Shown(), OnScreen(button, POINT{0, 0}));
}

TEST_F(PopupLinksTest, TheControlsOwnHandlerComesFirstAndTheLinkSeesThePointAsTheControlDoes) {
    TdxBarPopupMenuLink* link = Link(edit);
    std::vector<POINT> asked, acted;
    bool handle = true;
    edit->OnContextPopup = [&](TObject*, TPoint At, bool& Handled) {
        asked.push_back(At);
        Handled = handle;
    };
    // (Every key pressed in the edit asks the link too, for its shortcuts: those calls are not counted.)
    link->OnAction = [&](TdxBarPopupMenuLink*, int& X, int& Y, bool ByMouse, bool&) {
        if (!ByMouse) return;
        acted.push_back(POINT{X, Y});
        // The handler may move the menu: 10 pixels right of where the control was asked.
        X += 10;
    };
    edit->SetFocus();
    Pump();
    // A right click: the control hears the point in its own client coordinates and shows its own.
    pw::gui::SimulateClick(OnScreen(edit, POINT{30, 6}), MouseButton::Right);
    Pump();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], (POINT{30, 6}));
    EXPECT_TRUE(acted.empty());
    EXPECT_EQ(Shown(), (POINT{-1, -1}));
    // The keyboard asks with no point at all.
    MenuKey();
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[1], (POINT{-1, -1}));
    EXPECT_EQ(Shown(), (POINT{-1, -1}));

    // Left to the link: its handler sees the click where it was, and the menu opens where it says.
    handle = false;
    pw::gui::SimulateClick(OnScreen(edit, POINT{30, 6}), MouseButton::Right);
    Pump();
    ASSERT_EQ(acted.size(), 1u);
    EXPECT_EQ(acted[0], (POINT{30, 6}));
    EXPECT_EQ(Shown(), OnScreen(edit, POINT{40, 6}));
    Close();

    // A link of the form sees a point inside its child in the form's coordinates.
    link->SetControl(nullptr);
    TdxBarPopupMenuLink* ofForm = Link(&form);
    ofForm->OnAction = link->OnAction;
    pw::gui::SimulateClick(OnScreen(edit, POINT{30, 6}), MouseButton::Right);
    Pump();
    ASSERT_EQ(acted.size(), 2u);
    POINT inForm{30, 6};
    MapWindowPoints(edit->Handle(), form.Handle(), &inForm, 1);
    EXPECT_EQ(acted[1], inForm);
}

TEST_F(PopupLinksTest, ALinkThatDoesNotServeChildrenLeavesThemAlone) {
    TdxBarPopupMenuLink* ofForm = Link(&form);
    ofForm->SetProcessChildren(false);
    pw::gui::SimulateClick(OnScreen(edit, POINT{30, 6}), MouseButton::Right);
    Pump();
    EXPECT_EQ(Shown(), (POINT{-1, -1}));
    edit->SetFocus();
    Pump();
    MenuKey();
    EXPECT_EQ(Shown(), (POINT{-1, -1}));
    // On the form itself it serves.
    pw::gui::SimulateClick(OnScreen(&form, POINT{300, 300}), MouseButton::Right);
    Pump();
    EXPECT_EQ(Shown(), OnScreen(&form, POINT{300, 300}));
    Close();
    // Serving children again, the edit's click is the form's.
    ofForm->SetProcessChildren(true);
    pw::gui::SimulateClick(OnScreen(edit, POINT{30, 6}), MouseButton::Right);
    Pump();
    EXPECT_EQ(Shown(), OnScreen(edit, POINT{30, 6}));
}

} // namespace
} // namespace bars_windows_test

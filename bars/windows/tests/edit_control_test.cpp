// Edit items on a toolbar: a real edit window over the item's box while the user edits.
#include <gtest/gtest.h>

#include <string>

#include "bar_windows_fixture.h"
#include "bars/core/bar_edit.h"
#include "bars/core/sub_item.h"
#include "bars/windows/bar_control.h"
#include "bars/windows/edit_control.h"
#include "bars/windows/toolbar_control.h"
#include "platform/commctrl/std_controls.h"
#include "platform/gdi/surface.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/paint.h"
#include "platform/gui/system.h"
#include "platform/gui/window.h"

namespace bars_windows_test {
namespace {

class EditControlTest : public BarWindowsTest {
protected:
    EditControlTest() : oldDoubleClick(GetDoubleClickTime()) {
        // Each click here stands alone, never paired into a double click.
        SetDoubleClickTime(1);
        edit = new TdxBarEdit(&form);
        edit->SetCaption("Find");
        edit->SetText("start");
        edit->OnChange = [this](TObject*) { ++changes; };
        bar = Toolbar("Tools", {edit, Button("Go")});
    }
    ~EditControlTest() override { SetDoubleClickTime(oldDoubleClick); }
    bars::TdxBarEditControl* Control() const {
        return dynamic_cast<bars::TdxBarEditControl*>(bar->ItemLinks()->Items(0)->Control());
    }
    void ClickEdit() {
        ASSERT_NE(Control(), nullptr);
        const RECT r = Control()->ScreenRect();
        const POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        MoveTo(p);
        pw::gui::SimulateClick(p);
        Pump();
    }
    void Type(const std::u32string& text) {
        pw::gui::SimulateText(text);
        Pump();
    }
    void Key(BYTE vk) {
        pw::gui::SimulateKeyStroke(vk);
        Pump();
    }
    bool Editing() const { return Control()->IsEditing() && IsWindowVisible(Control()->EditHandle()); }

    UINT oldDoubleClick;
    TdxBarEdit* edit = nullptr;
    TdxBar* bar = nullptr;
    int changes = 0;
};

TEST_F(EditControlTest, ClickTypeAndEnterKeepsTheText) {
    int enters = 0, exits = 0;
    edit->OnEnter = [&](TObject*) { ++enters; };
    edit->OnExit = [&](TObject*) { ++exits; };
    ClickEdit();
    ASSERT_TRUE(Editing());
    EXPECT_EQ(enters, 1);
    EXPECT_EQ(exits, 0);
    EXPECT_EQ(GetFocus(), Control()->EditHandle());
    EXPECT_EQ(GetWindowText(Control()->EditHandle()), "start");
    Type(U"profile"); // the whole text was selected: typing replaces it
    EXPECT_EQ(edit->Text(), "start");
    EXPECT_EQ(edit->CurText(), "profile");
    Key(VK_RETURN);
    EXPECT_FALSE(Editing());
    EXPECT_EQ(edit->Text(), "profile");
    EXPECT_EQ(changes, 1);
    EXPECT_NE(GetFocus(), Control()->EditHandle());
    EXPECT_EQ(exits, 1);
    // Enter closes the bar's keyboard mode; the next click edits again.
    EXPECT_FALSE(Window(bar)->InKeyboardMode());
    ClickEdit();
    EXPECT_TRUE(Editing());
    EXPECT_EQ(enters, 2);
    edit->OnEnter = nullptr;
    edit->OnExit = nullptr;
}

// The text being edited stands where the toolbar draws it: the first letter's leftmost and topmost dark
// pixels do not move when the edit window takes over (in the flat style, whose edit formats its text two
// pixels inside its window).
TEST_F(EditControlTest, TheTextBeingEditedStandsWhereTheToolbarDrawsIt) {
    edit->SetText("Hb");
    Pump();
    auto inkCorner = [this] {
        pw::gui::PaintPendingWindows();
        // The box, inside its border (the toolbar shows no caption for it).
        const Surface shown = pw::gui::ComposeScreen(Control()->ScreenRect());
        auto dark = [&shown](int x, int y) {
            const uint32_t p = shown.Pixel(x, y);
            return ((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF) < 200;
        };
        POINT corner{-1, -1};
        for (int x = 2; x < shown.Width() - 2 && corner.x < 0; ++x)
            for (int y = 2; y < shown.Height() - 2; ++y)
                if (dark(x, y)) {
                    corner.x = x;
                    break;
                }
        if (corner.x < 0) return corner;
        // The top of the H's stem, clear of the caret at the text's end.
        for (int y = 2; y < shown.Height() - 2 && corner.y < 0; ++y)
            for (int x = corner.x; x < corner.x + 2; ++x)
                if (dark(x, y)) {
                    corner.y = y;
                    break;
                }
        return corner;
    };
    const POINT drawn = inkCorner();
    ASSERT_GE(drawn.x, 0);
    ClickEdit();
    ASSERT_TRUE(Editing());
    Key(VK_END);
    const POINT editing = inkCorner();
    EXPECT_EQ(editing.x, drawn.x);
    EXPECT_EQ(editing.y, drawn.y);
    Key(VK_ESCAPE);
}

TEST_F(EditControlTest, EscapeDropsTheTextEvenWhereFocusLossKeepsIt) {
    manager->SetAlwaysSaveText(true);
    ClickEdit();
    Type(U"typed");
    Key(VK_ESCAPE);
    EXPECT_FALSE(Editing());
    EXPECT_EQ(edit->Text(), "start");
    EXPECT_EQ(changes, 0);
    // The bar keeps the item selected by key; a click edits again, a second Escape closes the bar.
    EXPECT_TRUE(Window(bar)->InKeyboardMode());
    EXPECT_EQ(Window(bar)->Selected(), Control());
    ClickEdit();
    ASSERT_TRUE(Editing());
    Key(VK_ESCAPE);
    Key(VK_ESCAPE);
    EXPECT_FALSE(Window(bar)->InKeyboardMode());
    // Focus taken away: kept only with AlwaysSaveText.
    ClickEdit();
    ASSERT_TRUE(Editing());
    Type(U"kept");
    EXPECT_EQ(edit->CurText(), "kept");
    SetFocus(form.Handle());
    Pump();
    EXPECT_FALSE(Editing());
    EXPECT_EQ(edit->Text(), "kept");
    manager->SetAlwaysSaveText(false);
    ClickEdit();
    Type(U"lost");
    SetFocus(form.Handle());
    Pump();
    EXPECT_EQ(edit->Text(), "kept");
}

// Tab keeps the text too; a text far beyond 255 characters is kept whole.
TEST_F(EditControlTest, TabKeepsALongTextWhole) {
    ClickEdit();
    const std::string text(1000, 'x');
    SetWindowText(Control()->EditHandle(), text + "y");
    Key(VK_TAB);
    EXPECT_FALSE(Editing());
    // Tab moves on to the next item of the bar.
    ASSERT_NE(Window(bar)->Selected(), nullptr);
    EXPECT_EQ(Window(bar)->Selected()->Item()->Caption(), "Go");
    EXPECT_EQ(edit->Text().size(), 1001u);
    EXPECT_EQ(edit->Text().back(), 'y');
}

// Alt pressed alone while editing leaves the editing (the text not kept) and puts the menu bar in
// keyboard mode; a click on the caption beside the box leaves the caret where it was.
TEST_F(EditControlTest, AltAloneGoesToTheMenuBarAndTheCaptionKeepsTheCaret) {
    auto* file = new TdxBarSubItem(&form);
    file->SetCaption("&File");
    TdxBar* menuBar = Toolbar("Menu", {file}, dsTop, 1);
    menuBar->SetIsMainMenu(true);
    manager->SetMainMenuBar(menuBar);
    edit->SetShowCaption(true);
    Pump();
    ClickEdit();
    ASSERT_TRUE(Editing());
    SendMessage(Control()->EditHandle(), EM_SETSEL, 2, 2);
    const RECT r = Control()->ScreenRect();
    const POINT caption{r.left + 3, (r.top + r.bottom) / 2};
    MoveTo(caption);
    pw::gui::SimulateClick(caption);
    Pump();
    ASSERT_TRUE(Editing());
    DWORD from = 0, to = 0;
    SendMessage(Control()->EditHandle(), EM_GETSEL, reinterpret_cast<WPARAM>(&from),
                reinterpret_cast<LPARAM>(&to));
    EXPECT_EQ(from, 2u);
    EXPECT_EQ(to, 2u);
    Type(U"X");
    EXPECT_EQ(edit->CurText(), "stXart");
    pw::gui::SimulateKey(VK_MENU, true);
    pw::gui::SimulateKey(VK_MENU, false);
    Pump();
    EXPECT_FALSE(Editing());
    EXPECT_EQ(edit->Text(), "start");
    EXPECT_TRUE(Window(menuBar)->InKeyboardMode());
}

} // namespace
} // namespace bars_windows_test

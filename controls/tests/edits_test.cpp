#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "controls/rz_edits.h"
#include "controls/rz_list_controls.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/window.h"
#include "platform/vcl/form.h"
#include "test_support.h"

using namespace controls_test;

namespace {

template <class T> T* Add(TForm* form, int top) {
    auto* c = new T(form);
    c->SetParent(form);
    c->SetBounds(10, top, 160, 21);
    return c;
}

TWinControl* ShownHint() {
    for (HWND h = GetTopWindow(nullptr); h; h = GetWindow(h, GW_HWNDNEXT)) {
        TWinControl* c = FindControl(h);
        if (c && c->ClassName() == "THintWindow" && IsWindowVisible(h)) return c;
    }
    return nullptr;
}

} // namespace

TEST(ButtonEdit, TheButtonClicksFocusesAndShowsItsHint) {
    std::unique_ptr<TForm> form(MakeForm());
    auto* edit = Add<TRzButtonEdit>(form.get(), 10);
    edit->SetButtonHint("Choose a page");
    auto* other = Add<TRzEdit>(form.get(), 40);
    form->Show();
    other->SetFocus();
    Pump();
    int clicks = 0;
    edit->OnButtonClick = [&](TObject*) { ++clicks; };
    ClickWindow(edit, 20, 10);
    EXPECT_EQ(clicks, 0) << "the text area is no button";
    other->SetFocus();
    Pump();
    ClickWindow(edit, edit->Width() - 6, 10);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(edit->Focused()) << "as a click in the text would";
    EXPECT_EQ(edit->ClientWidth(), edit->Width() - 4 - 17);

    // Resting on the button shows its hint below it; moving on to the text takes it away.
    RECT r;
    GetWindowRect(edit->Handle(), r);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, POINT{r.left + 20, r.top + 10});
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, POINT{r.right - 6, r.top + 10});
    Pump();
    TWinControl* hint = ShownHint();
    ASSERT_NE(hint, nullptr);
    EXPECT_EQ(hint->Caption(), "Choose a page");
    EXPECT_GE(hint->Top(), r.bottom);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, POINT{r.left + 20, r.top + 10});
    Pump();
    EXPECT_EQ(ShownHint(), nullptr);

    edit->SetButtonVisible(false);
    Pump();
    EXPECT_EQ(edit->ClientWidth(), edit->Width() - 4);
    ClickWindow(edit, edit->Width() - 6, 10);
    EXPECT_EQ(clicks, 1);
}

// The frame sits between the window and the control: the notifications the windows rely on still
// arrive, and a choice made by the program still fires nothing.
TEST(FramedControls, KeepTheirEventsAndLookUp) {
    std::unique_ptr<TForm> form(MakeForm());
    auto* edit = Add<TRzButtonEdit>(form.get(), 10);
    auto* combo = Add<TRzComboBox>(form.get(), 40);
    combo->SetStyle(csDropDownList);
    combo->Items().SetText("Always\nHourly\nDaily\n");
    auto* list = new TRzListBox(form.get());
    list->Items().SetText("index.html\nDocs/About.HTML\n");
    EXPECT_EQ(list->IndexOf("DOCS/about.html"), 1) << "before the window exists";
    list->SetParent(form.get());
    list->SetTop(70);
    form->Show();
    Pump();
    EXPECT_EQ(list->IndexOf("Index.HTML"), 0);
    EXPECT_EQ(list->IndexOf("index"), -1) << "whole items only";

    int editChanges = 0, comboChanges = 0;
    edit->OnChange = [&](TObject*) { ++editChanges; };
    combo->OnChange = [&](TObject*) { ++comboChanges; };
    edit->SetText("index.html");
    EXPECT_EQ(editChanges, 1);
    combo->SetItemIndex(2);
    EXPECT_EQ(combo->Text(), "Daily");
    EXPECT_EQ(comboChanges, 0);
    combo->SetItemIndex(-1);
    combo->SetFocus();
    Pump();
    Key(VK_DOWN);
    EXPECT_EQ(combo->ItemIndex(), 0);
    EXPECT_EQ(comboChanges, 1) << "a choice the user makes does fire it";
}

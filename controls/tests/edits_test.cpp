#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "controls/rz_edits.h"
#include "platform/commctrl/std_controls.h"
#include "platform/gui/input.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/window.h"
#include "platform/vcl/clipboard.h"
#include "platform/vcl/form.h"
#include "test_support.h"

using namespace controls_test;

namespace {

TWinControl* ShownHint() {
    for (HWND h = GetTopWindow(nullptr); h; h = GetWindow(h, GW_HWNDNEXT)) {
        TWinControl* c = FindControl(h);
        if (c && c->ClassName() == "THintWindow" && IsWindowVisible(h)) return c;
    }
    return nullptr;
}

} // namespace

TEST(Memo, SettingTheCaretScrollsItIntoViewAndEverythingCanBeCopied) {
    std::unique_ptr<TForm> form(MakeForm());
    auto* memo = new TRzMemo(form.get());
    memo->SetParent(form.get());
    memo->SetBounds(10, 10, 200, 60);
    form->Show();
    for (int i = 1; i <= 40; ++i)
        memo->Lines().Add("file" + std::to_string(i) + ".html");
    memo->SetSelStart(static_cast<int>(memo->Text().size()));
    EXPECT_GT(SendMessage(memo->Handle(), EM_GETFIRSTVISIBLELINE, 0, 0), 30);
    memo->SetSelStart(0);
    EXPECT_EQ(SendMessage(memo->Handle(), EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    memo->SelectAll();
    EXPECT_EQ(memo->SelLength(), static_cast<int>(memo->Text().size()));
    memo->CopyToClipboard();
    EXPECT_EQ(Clipboard().AsText(), memo->Text());
}

TEST(ButtonEdit, TheButtonClicksFocusesAndShowsItsHint) {
    std::unique_ptr<TForm> form(MakeForm());
    auto* edit = new TRzButtonEdit(form.get());
    edit->SetParent(form.get());
    edit->SetBounds(10, 10, 160, 21);
    edit->SetButtonHint("Choose a page");
    auto* other = new TRzEdit(form.get());
    other->SetParent(form.get());
    other->SetTop(40);
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

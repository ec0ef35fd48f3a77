#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/messages.h"
#include "platform/stdctrls/buttons.h"
#include "platform/stdctrls/label.h"
#include "platform/stdctrls/message_form.h"
#include "platform/vcl/dialogs.h"
#include "platform/vcl/screen.h"
#include "test_support.h"

using namespace stdctrls_test;
using pw::stdctrls::TMessageForm;

namespace {

pw::vcl::PromptRequest YesNoCancel(const std::string& text) {
    pw::vcl::PromptRequest r;
    r.caption = "Confirm";
    r.text = text;
    r.icon = MB_ICONQUESTION;
    r.buttons = {{"&Yes", IDYES}, {"&No", IDNO}, {"Cancel", IDCANCEL}};
    r.defaultButton = 1;
    r.cancelResult = IDCANCEL;
    return r;
}

// The answer of the box once the keys have been pressed in it (shown as a modal box is, without the
// modal loop: the box's answer is what closing it would give).
int AnswerTo(const pw::vcl::PromptRequest& request, const std::vector<std::vector<BYTE>>& keys) {
    std::unique_ptr<TMessageForm> form(new TMessageForm(request));
    form->Show();
    Pump();
    for (const auto& stroke : keys) {
        for (size_t i = 0; i + 1 < stroke.size(); ++i)
            pw::gui::SimulateKey(stroke[i], true);
        pw::gui::SimulateKeyStroke(stroke.back());
        for (size_t i = stroke.size() - 1; i-- > 0;)
            pw::gui::SimulateKey(stroke[i], false);
        Pump();
        if (form->ModalResult() != mrNone) break;
    }
    // Keys that answer nothing leave the box open: closing it then answers the close result.
    if (form->ModalResult() == mrNone) form->SetModalResult(mrCancel);
    return form->Answer();
}

} // namespace

// The box is one of the program's own dialogs: its colours and font, its icon beside the text, its
// buttons centred under them, in the request's order.
TEST(MessageForm, IsLaidOutAroundItsTextInTheColoursAndFontOfTheOtherWindows) {
    TForm* other = MakeForm();
    std::unique_ptr<TMessageForm> box(new TMessageForm(YesNoCancel("Save the changes to the profile?")));
    EXPECT_EQ(box->Caption(), "Confirm");
    EXPECT_EQ(box->BorderStyle(), bsDialog);
    EXPECT_EQ(box->Color(), other->Color());
    EXPECT_EQ(box->Font().Name(), other->Font().Name());
    EXPECT_EQ(box->Font().Height(), other->Font().Height());
    ASSERT_NE(box->Icon, nullptr);
    ASSERT_EQ(box->Buttons.size(), 3u);
    EXPECT_EQ(box->Buttons[0]->Caption(), "&Yes");
    EXPECT_EQ(box->Buttons[2]->Caption(), "Cancel");
    EXPECT_TRUE(box->Buttons[1]->Default());
    EXPECT_FALSE(box->Buttons[0]->Default());
    EXPECT_TRUE(box->Buttons[2]->Cancel());
    EXPECT_EQ(box->ActiveControl(), box->Buttons[1]) << "the default button has the focus";
    // Icon at the left, the text beside it, the buttons in one row centred below both.
    EXPECT_LT(box->Icon->Left() + box->Icon->Width(), box->Message->Left());
    EXPECT_EQ(box->Message->Caption(), "Save the changes to the profile?");
    EXPECT_FALSE(box->Message->ShowAccelChar());
    const TButton* first = box->Buttons[0];
    const TButton* last = box->Buttons[2];
    EXPECT_GT(first->Top(), box->Icon->Top() + box->Icon->Height());
    EXPECT_EQ(first->Top(), last->Top());
    EXPECT_EQ(first->Width(), last->Width());
    EXPECT_LT(first->Left() + first->Width(), box->Buttons[1]->Left());
    EXPECT_NEAR(first->Left(), box->ClientWidth() - last->Left() - last->Width(), 1);
    EXPECT_LT(box->ClientWidth(), Screen->Width() / 2 + 100);

    // A long text wraps within half the screen and the box grows downwards for it.
    std::string story;
    for (int i = 0; i < 200; ++i)
        story += "word ";
    std::unique_ptr<TMessageForm> tall(new TMessageForm(YesNoCancel(story)));
    EXPECT_LE(tall->Message->Width(), std::max(200, Screen->Width() / 2));
    EXPECT_GT(tall->Message->Height(), 3 * box->Message->Height());
    EXPECT_GT(tall->ClientHeight(), box->ClientHeight() + 2 * box->Message->Height());
    EXPECT_GE(tall->Buttons[0]->Top(), tall->Message->Top() + tall->Message->Height());
    // No icon asked, none shown; no buttons given, OK.
    pw::vcl::PromptRequest plain;
    plain.text = "Done.";
    std::unique_ptr<TMessageForm> bare(new TMessageForm(plain));
    EXPECT_EQ(bare->Icon, nullptr);
    ASSERT_EQ(bare->Buttons.size(), 1u);
    EXPECT_EQ(bare->Buttons[0]->Caption(), "OK");
    EXPECT_LT(bare->Message->Left(), box->Message->Left());
    delete other;
}

// Enter presses the default button, Escape closes, arrows and Tab go from button to button, a
// button's letter presses it.
TEST(MessageForm, AnswersFromTheKeyboard) {
    const pw::vcl::PromptRequest r = YesNoCancel("Save?");
    EXPECT_EQ(AnswerTo(r, {{VK_RETURN}}), IDNO);
    EXPECT_EQ(AnswerTo(r, {{VK_ESCAPE}}), IDCANCEL);
    EXPECT_EQ(AnswerTo(r, {{VK_LEFT}, {VK_RETURN}}), IDYES);
    EXPECT_EQ(AnswerTo(r, {{VK_RIGHT}, {VK_RETURN}}), IDCANCEL);
    EXPECT_EQ(AnswerTo(r, {{VK_TAB}, {VK_RETURN}}), IDCANCEL);
    EXPECT_EQ(AnswerTo(r, {{VK_SHIFT, VK_TAB}, {VK_SPACE}}), IDYES);
    EXPECT_EQ(AnswerTo(r, {{VK_SPACE}}), IDNO);
    EXPECT_EQ(AnswerTo(r, {{'Y'}}), IDYES);
    EXPECT_EQ(AnswerTo(r, {{VK_MENU, 'N'}}), IDNO);
    // Buttons of the caller's own, none of them for closing: Escape answers the close result.
    pw::vcl::PromptRequest own;
    own.text = "Which?";
    own.buttons = {{"&First", 0}, {"&Second", 1}};
    own.cancelResult = -1;
    EXPECT_EQ(AnswerTo(own, {{VK_ESCAPE}}), -1);
    EXPECT_EQ(AnswerTo(own, {{VK_RETURN}}), 0);
    EXPECT_EQ(AnswerTo(own, {{'S'}}), 1);
}

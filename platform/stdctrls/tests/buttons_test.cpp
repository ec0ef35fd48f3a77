#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/commctrl/std_controls.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/syscolors.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/paint.h"
#include "platform/stdctrls/buttons.h"
#include "platform/stdctrls/edit.h"
#include "platform/vcl/form.h"
#include "test_support.h"

using namespace stdctrls_test;

TEST(CheckBox, WritingCheckedFiresOnClickOnlyOnAChangeAndClicksCycleTheStates) {
    TForm* form = MakeForm();
    auto* box = new TCheckBox(form);
    box->SetParent(form);
    box->SetCaption("&Remember");
    int clicks = 0;
    box->OnClick = [&](TObject*) { ++clicks; };
    box->SetChecked(true); // before the window
    EXPECT_EQ(clicks, 1);
    form->Show();
    Pump();
    EXPECT_EQ(SendMessage(box->Handle(), BM_GETCHECK, 0, 0), static_cast<LRESULT>(BST_CHECKED));
    box->SetChecked(true);
    EXPECT_EQ(clicks, 1);
    box->SetChecked(false);
    EXPECT_EQ(clicks, 2);

    Click(box, 5, 8);
    EXPECT_TRUE(box->Checked());
    EXPECT_EQ(clicks, 3);
    box->SetAllowGrayed(true);
    Click(box, 5, 8);
    EXPECT_EQ(box->State(), cbUnchecked);
    Click(box, 5, 8);
    EXPECT_EQ(box->State(), cbGrayed);
    EXPECT_EQ(SendMessage(box->Handle(), BM_GETCHECK, 0, 0), static_cast<LRESULT>(BST_INDETERMINATE));
    Click(box, 5, 8);
    EXPECT_EQ(box->State(), cbChecked);
    EXPECT_EQ(clicks, 6);
    // The accelerator toggles it from anywhere on the form.
    KeyWith(VK_MENU, 'R');
    EXPECT_FALSE(box->Checked());
    EXPECT_EQ(clicks, 7);
    delete form;
}

TEST(CheckBox, AWrappedCaptionGoesOnOverTwoLines) {
    TForm* form = MakeForm();
    auto* box = new TCheckBox(form);
    box->SetParent(form);
    box->SetBounds(10, 10, 120, 40);
    box->SetCaption("Only where the entries still have the defaults");
    form->Show();
    Pump();
    // Rows of the label below and above the box's middle line hold text only when it wraps.
    auto inkRows = [&] {
        HDC dc = GetDC(box->Handle());
        int rows = 0;
        for (int y = 0; y < 40; ++y) {
            bool ink = false;
            for (int x = 20; x < 120 && !ink; ++x)
                ink = GetPixel(dc, x, y) == GetSysColor(COLOR_BTNTEXT);
            rows += ink ? 1 : 0;
        }
        ReleaseDC(box->Handle(), dc);
        return rows;
    };
    const int oneLine = inkRows();
    box->SetWordWrap(true);
    Pump();
    EXPECT_GT(inkRows(), oneLine + 5);
    EXPECT_NE(GetWindowLong(box->Handle(), GWL_STYLE) & BS_MULTILINE, 0);
    delete form;
}

TEST(RadioButton, ButtonsOfOneParentFormAGroupAndOnlyCheckingFiresOnClick) {
    TForm* form = MakeForm();
    auto* panel = new TWinControl(form);
    panel->SetParent(form);
    panel->SetBounds(200, 0, 150, 100);
    std::vector<std::string> log;
    TRadioButton* group[3];
    for (int i = 0; i < 3; ++i) {
        group[i] = new TRadioButton(form);
        group[i]->SetParent(form);
        group[i]->SetBounds(10, 10 + 25 * i, 100, 17);
        group[i]->SetName("r" + std::to_string(i));
        group[i]->OnClick = [&log, b = group[i]](TObject*) { log.push_back(b->Name()); };
    }
    auto* elsewhere = new TRadioButton(form);
    elsewhere->SetParent(panel);
    elsewhere->SetChecked(true);
    log.clear();
    form->Show();
    Pump();

    group[0]->SetChecked(true);
    EXPECT_EQ(log, std::vector<std::string>{"r0"});
    group[2]->SetChecked(true);
    EXPECT_FALSE(group[0]->Checked());
    EXPECT_TRUE(elsewhere->Checked());
    EXPECT_EQ(log, (std::vector<std::string>{"r0", "r2"}));
    group[2]->SetChecked(false);
    EXPECT_EQ(log.size(), 2u);

    Click(group[1], 5, 8);
    EXPECT_TRUE(group[1]->Checked());
    EXPECT_FALSE(group[2]->Checked());
    EXPECT_EQ(log.back(), "r1");
    // Clicking the checked one again is no change.
    Click(group[1], 5, 8);
    EXPECT_EQ(log.size(), 3u);
    EXPECT_EQ(SendMessage(group[1]->Handle(), BM_GETCHECK, 0, 0), static_cast<LRESULT>(BST_CHECKED));
    EXPECT_EQ(SendMessage(group[0]->Handle(), BM_GETCHECK, 0, 0), static_cast<LRESULT>(BST_UNCHECKED));
    // Arrow keys walk the group and check where they land; only the checked one is a tab stop.
    group[1]->SetFocus();
    Pump();
    Key(VK_DOWN);
    EXPECT_TRUE(group[2]->Focused());
    EXPECT_TRUE(group[2]->Checked());
    EXPECT_FALSE(group[1]->Checked());
    EXPECT_EQ(log.back(), "r2");
    EXPECT_TRUE(group[2]->TabStop());
    EXPECT_FALSE(group[1]->TabStop());
    delete form;
}

TEST(Button, DefaultAndCancelButtonsCloseAModalFormWithTheirResult) {
    TForm* form = MakeForm();
    auto* edit = new TEdit(form);
    edit->SetParent(form);
    auto* ok = new TButton(form);
    ok->SetParent(form);
    ok->SetBounds(10, 50, 75, 25);
    ok->SetCaption("OK");
    ok->SetDefault(true);
    ok->SetModalResult(mrOk);
    auto* cancel = new TButton(form);
    cancel->SetParent(form);
    cancel->SetBounds(100, 50, 75, 25);
    cancel->SetCaption("Cancel");
    cancel->SetCancel(true);
    cancel->SetModalResult(mrCancel);
    auto* apply = new TButton(form);
    apply->SetParent(form);
    apply->SetBounds(200, 50, 75, 25);
    apply->SetCaption("&Apply");
    int okClicks = 0, applyClicks = 0;
    ok->OnClick = [&](TObject*) { ++okClicks; };
    apply->OnClick = [&](TObject*) { ++applyClicks; };
    form->SetActiveControl(edit);

    form->OnActivate = [](TObject*) { pw::gui::SimulateKeyStroke(VK_RETURN); };
    EXPECT_EQ(form->ShowModal(), mrOk);
    EXPECT_EQ(okClicks, 1);

    form->OnActivate = [](TObject*) { pw::gui::SimulateKeyStroke(VK_ESCAPE); };
    EXPECT_EQ(form->ShowModal(), mrCancel);
    EXPECT_EQ(okClicks, 1);

    // With another button focused, Enter presses that one; it has no result, so the form stays.
    form->OnActivate = [&](TObject*) {
        apply->SetFocus();
        pw::gui::SimulateKeyStroke(VK_RETURN);
        pw::gui::SimulateKey(VK_MENU, true);
        pw::gui::SimulateKeyStroke('A');
        pw::gui::SimulateKey(VK_MENU, false);
        pw::gui::SimulateKeyStroke(VK_ESCAPE);
    };
    EXPECT_EQ(form->ShowModal(), mrCancel);
    EXPECT_EQ(applyClicks, 2);
    EXPECT_EQ(okClicks, 1);
    delete form;
}

TEST(Button, TabMovesTheFocusAcrossTheControlsInTabOrder) {
    TForm* form = MakeForm();
    auto* first = new TEdit(form);
    first->SetParent(form);
    auto* box = new TCheckBox(form);
    box->SetParent(form);
    box->SetTop(30);
    auto* button = new TButton(form);
    button->SetParent(form);
    button->SetTop(60);
    auto* memo = new TMemo(form);
    memo->SetParent(form);
    memo->SetTop(100);
    button->SetTabOrder(0);
    form->Show();
    Pump();
    button->SetFocus();
    Pump();
    Key(VK_TAB);
    EXPECT_TRUE(first->Focused());
    Key(VK_TAB);
    EXPECT_TRUE(box->Focused());
    Key(VK_TAB);
    EXPECT_TRUE(memo->Focused());
    Key(VK_TAB);
    EXPECT_TRUE(button->Focused());
    KeyWith(VK_SHIFT, VK_TAB);
    EXPECT_TRUE(memo->Focused());
    delete form;
}

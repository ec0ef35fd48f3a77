#include <gtest/gtest.h>

#include <memory>

#include "controls/rz_buttons.h"
#include "controls/rz_edits.h"
#include "controls/rz_list_controls.h"
#include "controls/rz_page_control.h"
#include "controls/rz_spin_edit.h"
#include "platform/gui/keys.h"
#include "platform/vcl/form.h"
#include "test_support.h"

using namespace controls_test;

namespace {

struct Counter {
    int count = 0;
    TNotifyEvent Handler() {
        return [this](TObject*) { ++count; };
    }
};

} // namespace

// The windows' state handlers run on OnClick when the program checks a box and must not run when
// it unchecks a radio button or selects a list item.
TEST(Events, CheckedTrueClicksAndUncheckingARadioButtonDoesNot) {
    std::unique_ptr<TForm> form(MakeForm());
    auto* box = new TRzCheckBox(form.get());
    box->SetParent(form.get());
    auto* first = new TRzRadioButton(form.get());
    first->SetParent(form.get());
    auto* second = new TRzRadioButton(form.get());
    second->SetParent(form.get());
    form->Show();
    Pump();

    Counter boxClicks, firstClicks, secondClicks;
    box->OnClick = boxClicks.Handler();
    first->OnClick = firstClicks.Handler();
    second->OnClick = secondClicks.Handler();

    box->SetChecked(true);
    EXPECT_TRUE(box->Checked());
    EXPECT_EQ(boxClicks.count, 1);
    box->SetChecked(true);
    EXPECT_EQ(boxClicks.count, 1) << "no change, no click";

    first->SetChecked(true);
    EXPECT_EQ(firstClicks.count, 1);
    second->SetChecked(true);
    EXPECT_EQ(secondClicks.count, 1);
    EXPECT_FALSE(first->Checked()) << "one group under one parent";
    EXPECT_EQ(firstClicks.count, 1) << "being unchecked is no click";
    second->SetChecked(false);
    EXPECT_EQ(secondClicks.count, 1);

    // Before its window exists as well.
    auto* late = new TRzCheckBox(form.get());
    Counter lateClicks;
    late->OnClick = lateClicks.Handler();
    late->SetChecked(true);
    EXPECT_EQ(lateClicks.count, 1);
    late->SetParent(form.get());
    Pump();
    EXPECT_TRUE(late->Checked());
}

TEST(Events, WritingTextFiresOnChangeOfEveryEdit) {
    std::unique_ptr<TForm> form(MakeForm());
    auto* edit = new TRzEdit(form.get());
    edit->SetParent(form.get());
    auto* buttonEdit = new TRzButtonEdit(form.get());
    buttonEdit->SetParent(form.get());
    buttonEdit->SetTop(30);
    auto* memo = new TRzMemo(form.get());
    memo->SetParent(form.get());
    memo->SetTop(60);
    form->Show();
    Pump();

    Counter editChanges, buttonEditChanges, memoChanges;
    edit->OnChange = editChanges.Handler();
    buttonEdit->OnChange = buttonEditChanges.Handler();
    memo->OnChange = memoChanges.Handler();

    edit->SetText("http://127.0.0.1/");
    buttonEdit->SetText("index.html");
    memo->SetText("one\r\ntwo");
    EXPECT_EQ(editChanges.count, 1);
    EXPECT_EQ(buttonEditChanges.count, 1);
    EXPECT_EQ(memoChanges.count, 1);
    EXPECT_EQ(edit->Text(), "http://127.0.0.1/");
    EXPECT_EQ(buttonEdit->Text(), "index.html");
    EXPECT_EQ(memo->Lines().Count(), 2);

    // Typed text fires it too, and focus goes where the program sends it.
    buttonEdit->SetFocus();
    Pump();
    EXPECT_TRUE(buttonEdit->Focused());
    Type("x");
    EXPECT_EQ(buttonEditChanges.count, 2);
}

TEST(Events, ItemIndexWrittenByTheProgramFiresNoChange) {
    std::unique_ptr<TForm> form(MakeForm());
    auto* combo = new TRzComboBox(form.get());
    combo->SetParent(form.get());
    combo->SetStyle(csDropDownList);
    combo->Items().SetText("Always\nHourly\nDaily\n");
    auto* list = new TRzListBox(form.get());
    list->SetParent(form.get());
    list->SetTop(40);
    list->Items().SetText("a.html\nb.html\n");
    form->Show();
    Pump();

    Counter changes, selects, listClicks;
    combo->OnChange = changes.Handler();
    combo->OnSelect = selects.Handler();
    list->OnClick = listClicks.Handler();
    ASSERT_EQ(combo->Items().Count(), 3);
    EXPECT_EQ(combo->ItemIndex(), -1);
    combo->SetItemIndex(2);
    EXPECT_EQ(combo->ItemIndex(), 2);
    EXPECT_EQ(combo->Text(), "Daily");
    combo->SetItemIndex(-1);
    EXPECT_EQ(combo->Text(), "");
    list->SetItemIndex(1);
    EXPECT_EQ(list->ItemIndex(), 1);
    EXPECT_EQ(changes.count, 0);
    EXPECT_EQ(selects.count, 0);
    EXPECT_EQ(listClicks.count, 0);

    // A choice the user makes does fire it.
    combo->SetFocus();
    Pump();
    Key(VK_DOWN);
    EXPECT_EQ(combo->ItemIndex(), 0);
    EXPECT_EQ(changes.count + selects.count, 1);
}

TEST(Events, PagesWithHiddenTabsAreChosenByIndex) {
    std::unique_ptr<TForm> form(MakeForm());
    auto* pages = new TRzPageControl(form.get());
    pages->SetParent(form.get());
    pages->SetAlign(alClient);
    TRzTabSheet* sheets[3];
    for (auto*& sheet : sheets) {
        sheet = new TRzTabSheet(form.get());
        sheet->SetPageControl(pages);
        sheet->SetTabVisible(false);
    }
    form->Show();
    Pump();
    Counter changes;
    pages->OnChange = changes.Handler();
    pages->SetActivePageIndex(2);
    EXPECT_EQ(pages->ActivePage(), sheets[2]);
    EXPECT_TRUE(sheets[2]->Visible());
    EXPECT_FALSE(sheets[0]->Visible());
    pages->SetActivePageIndex(0);
    EXPECT_EQ(pages->ActivePageIndex(), 0);
    EXPECT_EQ(changes.count, 0);
}

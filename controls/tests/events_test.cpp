#include <gtest/gtest.h>

#include <memory>

#include "controls/rz_buttons.h"
#include "controls/rz_edits.h"
#include "controls/rz_list_controls.h"
#include "platform/gui/keys.h"
#include "platform/vcl/form.h"
#include "test_support.h"

using namespace controls_test;

namespace {

template <class T> T* Add(TForm* form, int top) {
    auto* c = new T(form);
    c->SetParent(form);
    c->SetTop(top);
    return c;
}

} // namespace

// The windows' handlers run on OnClick when the program checks a box, and must not run when it
// unchecks a radio button or selects an item.
TEST(Events, WritesByTheProgramFireExactlyTheEventsTheWindowsRelyOn) {
    std::unique_ptr<TForm> form(MakeForm());
    auto* box = Add<TRzCheckBox>(form.get(), 0);
    auto* first = Add<TRzRadioButton>(form.get(), 20);
    auto* second = Add<TRzRadioButton>(form.get(), 40);
    auto* edit = Add<TRzEdit>(form.get(), 60);
    auto* buttonEdit = Add<TRzButtonEdit>(form.get(), 90);
    auto* combo = Add<TRzComboBox>(form.get(), 120);
    combo->SetStyle(csDropDownList);
    combo->Items().SetText("Always\nHourly\nDaily\n");
    auto* list = Add<TRzListBox>(form.get(), 150);
    list->Items().SetText("a.html\nb.html\n");
    form->Show();
    Pump();
    int boxClicks = 0, firstClicks = 0, secondClicks = 0, editChanges = 0, buttonEditChanges = 0,
        comboChanges = 0, listClicks = 0;
    box->OnClick = [&](TObject*) { ++boxClicks; };
    first->OnClick = [&](TObject*) { ++firstClicks; };
    second->OnClick = [&](TObject*) { ++secondClicks; };
    edit->OnChange = [&](TObject*) { ++editChanges; };
    buttonEdit->OnChange = [&](TObject*) { ++buttonEditChanges; };
    combo->OnChange = [&](TObject*) { ++comboChanges; };
    list->OnClick = [&](TObject*) { ++listClicks; };

    box->SetChecked(true);
    box->SetChecked(true);
    EXPECT_EQ(boxClicks, 1) << "no change, no click";
    first->SetChecked(true);
    second->SetChecked(true);
    EXPECT_FALSE(first->Checked()) << "one group under one parent";
    second->SetChecked(false);
    EXPECT_EQ(firstClicks, 1);
    EXPECT_EQ(secondClicks, 1);

    edit->SetText("http://127.0.0.1/");
    buttonEdit->SetText("index.html");
    EXPECT_EQ(editChanges, 1);
    EXPECT_EQ(buttonEditChanges, 1);

    combo->SetItemIndex(2);
    EXPECT_EQ(combo->Text(), "Daily");
    combo->SetItemIndex(-1);
    EXPECT_EQ(combo->Text(), "");
    list->SetItemIndex(1);
    EXPECT_EQ(comboChanges, 0);
    EXPECT_EQ(listClicks, 0);
    // A choice the user makes does fire it.
    combo->SetFocus();
    Pump();
    Key(VK_DOWN);
    EXPECT_EQ(combo->ItemIndex(), 0);
    EXPECT_EQ(comboChanges, 1);
}

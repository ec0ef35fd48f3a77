#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/gui/keys.h"
#include "platform/rtl/exception.h"
#include "platform/stdctrls/list_controls.h"
#include "platform/vcl/form.h"
#include "test_support.h"

using namespace stdctrls_test;

namespace {
TPoint Middle(const TRect& r) {
    return TPoint{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}
} // namespace

TEST(ListBox, ItemIndexWritesAreSilentAndClicksSelectWithCtrlAndShift) {
    TForm* form = MakeForm();
    auto* list = new TListBox(form);
    list->SetParent(form);
    list->SetBounds(10, 10, 150, 200);
    TObject tag;
    // Items gathered before the window exists reach it, objects included.
    for (const char* s : {"alpha", "beta", "gamma", "delta", "epsilon"})
        list->Items().Add(s);
    list->Items().SetObjects(2, &tag);
    list->SetItemIndex(1);
    int clicks = 0;
    list->OnClick = [&](TObject*) { ++clicks; };
    form->Show();
    Pump();
    EXPECT_EQ(list->ItemIndex(), 1);
    EXPECT_EQ(list->Items().Objects(2), &tag);
    list->SetItemIndex(3);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(list->ItemIndex(), 3);

    TPoint p = Middle(list->ItemRect(0));
    Click(list, p.x, p.y);
    EXPECT_EQ(list->ItemIndex(), 0);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(list->ItemAtPos(Middle(list->ItemRect(4)), true), 4);
    EXPECT_EQ(list->ItemAtPos(TPoint{5, 190}, true), -1);
    EXPECT_EQ(list->ItemAtPos(TPoint{5, 190}, false), 5);

    // Switching to several selected items makes a new window; the items and their objects stay.
    list->SetMultiSelect(true);
    EXPECT_EQ(list->Items().Count(), 5);
    EXPECT_EQ(list->Items().Objects(2), &tag);
    EXPECT_EQ(list->Items()[4], "epsilon");
    p = Middle(list->ItemRect(1));
    Click(list, p.x, p.y);
    p = Middle(list->ItemRect(3));
    ClickWith(VK_CONTROL, list, p.x, p.y);
    EXPECT_EQ(list->SelCount(), 2);
    EXPECT_TRUE(list->Selected(1));
    EXPECT_FALSE(list->Selected(2));
    EXPECT_TRUE(list->Selected(3));
    p = Middle(list->ItemRect(4));
    ClickWith(VK_SHIFT, list, p.x, p.y);
    EXPECT_EQ(list->SelCount(), 2); // from the anchor (3) to 4
    EXPECT_TRUE(list->Selected(4));
    EXPECT_THROW(list->Selected(5), EListError);

    // The Delete key removes the selected items through OnKeyDown, as a form does it.
    list->OnKeyDown = [&](TObject*, WORD& key, TShiftState) {
        if (key == VK_DELETE) list->DeleteSelected();
    };
    Key(VK_DELETE);
    EXPECT_EQ(list->Items().Count(), 3);
    EXPECT_EQ(list->Items().CommaText(), "alpha,beta,gamma");
    EXPECT_EQ(list->SelCount(), 0);
    delete form;
}

TEST(ListBox, SortedItemsAreKeptInOrderAcrossRecreation) {
    TForm* form = MakeForm();
    auto* list = new TListBox(form);
    list->SetParent(form);
    list->SetSorted(true);
    list->Items().Add("pear");
    list->Items().Add("Apple");
    form->Show();
    Pump();
    EXPECT_EQ(list->Items().Add("banana"), 1);
    EXPECT_EQ(list->Items().CommaText(), "Apple,banana,pear");
    EXPECT_EQ(list->Items().IndexOf("PEAR"), 2);
    list->SetItemIndex(2);
    list->SetExtendedSelect(false);
    EXPECT_EQ(list->Items().CommaText(), "Apple,banana,pear");
    EXPECT_EQ(list->ItemIndex(), 2);

    // Switching the selection mode of a shown, empty list remakes its window without a stale index.
    auto* empty = new TListBox(form);
    empty->SetParent(form);
    Pump();
    EXPECT_NO_THROW(empty->SetMultiSelect(true));
    EXPECT_NO_THROW(empty->SetMultiSelect(false));
    EXPECT_EQ(empty->ItemIndex(), -1);
    delete form;
}

TEST(ComboBox, WritesFireNothingWhileTheUserChoiceFiresChangeAndSelect) {
    TForm* form = MakeForm();
    auto* combo = new TComboBox(form);
    combo->SetParent(form);
    combo->SetBounds(10, 10, 150, 21);
    combo->SetStyle(csDropDownList);
    for (const char* s : {"one", "two", "three"})
        combo->Items().Add(s);
    std::vector<std::string> log;
    combo->OnChange = [&](TObject*) { log.push_back("change " + combo->Text()); };
    combo->OnSelect = [&](TObject*) { log.push_back("select " + std::to_string(combo->ItemIndex())); };
    combo->OnClick = [&](TObject*) { log.push_back("click"); };
    combo->OnDropDown = [&](TObject*) { log.push_back("drop"); };
    combo->OnCloseUp = [&](TObject*) { log.push_back("close"); };
    form->Show();
    Pump();

    combo->SetItemIndex(1);
    EXPECT_EQ(combo->Text(), "two");
    combo->SetText("three");
    EXPECT_EQ(combo->ItemIndex(), 2);
    EXPECT_TRUE(log.empty());

    combo->SetFocus();
    Pump();
    Key(VK_UP);
    EXPECT_EQ(combo->ItemIndex(), 1);
    EXPECT_EQ(log, (std::vector<std::string>{"click", "select 1"}));
    log.clear();
    // Without OnSelect, choosing is a change.
    combo->OnSelect = nullptr;
    Key(VK_DOWN);
    EXPECT_EQ(log, (std::vector<std::string>{"click", "change three"}));
    log.clear();
    combo->SetDroppedDown(true);
    Pump();
    EXPECT_TRUE(combo->DroppedDown());
    Key(VK_ESCAPE);
    EXPECT_FALSE(combo->DroppedDown());
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log.front(), "drop");
    EXPECT_EQ(log.back(), "close");
    delete form;
}

TEST(ComboBox, TypingInTheEditFiresOnChangeAndTheTextSurvivesAStyleChange) {
    TForm* form = MakeForm();
    auto* combo = new TComboBox(form);
    combo->SetParent(form);
    combo->Items().Add("first");
    int changes = 0;
    combo->OnChange = [&](TObject*) { ++changes; };
    combo->SetText("typed");
    form->Show();
    Pump();
    EXPECT_EQ(combo->Text(), "typed");
    combo->SetText("other");
    EXPECT_EQ(changes, 0);
    combo->SetFocus();
    Pump();
    Type("xy");
    EXPECT_EQ(changes, 2);
    const std::string text = combo->Text();
    EXPECT_NE(text.find("xy"), std::string::npos);
    combo->SetSorted(true);
    EXPECT_EQ(combo->Text(), text);
    EXPECT_EQ(combo->Items().Count(), 1);
    delete form;
}

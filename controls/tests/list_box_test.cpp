#include <gtest/gtest.h>

#include <memory>

#include "controls/rz_list_controls.h"
#include "platform/vcl/form.h"
#include "test_support.h"

using namespace controls_test;

TEST(ListBox, IndexOfIgnoresLetterCaseAndFollowsDeletions) {
    std::unique_ptr<TForm> form(MakeForm());
    auto* list = new TRzListBox(form.get());
    list->Items().SetText("index.html\nDocs/About.HTML\ncontact.html\n");
    // Before the window exists and after.
    EXPECT_EQ(list->IndexOf("DOCS/about.html"), 1);
    list->SetParent(form.get());
    form->Show();
    Pump();
    EXPECT_EQ(list->IndexOf("Index.HTML"), 0);
    EXPECT_EQ(list->IndexOf("contact.html"), 2);
    EXPECT_EQ(list->IndexOf("contact"), -1) << "whole items only";
    EXPECT_EQ(list->IndexOf(""), -1);

    list->Items().Delete(0);
    EXPECT_EQ(list->Items().Count(), 2);
    EXPECT_EQ(list->IndexOf("docs/about.html"), 0);
    EXPECT_EQ(list->IndexOf("index.html"), -1);
    EXPECT_EQ(list->Items().Text(), "Docs/About.HTML\r\ncontact.html\r\n");

    list->Items().SetText("");
    EXPECT_EQ(list->IndexOf("contact.html"), -1);
}

TEST(ListBox, SelectedItemsAreCountedAndKeptThroughDeletion) {
    std::unique_ptr<TForm> form(MakeForm());
    auto* list = new TRzListBox(form.get());
    list->SetMultiSelect(true);
    list->SetParent(form.get());
    list->Items().SetText("a\nb\nc\nd\n");
    form->Show();
    Pump();
    ASSERT_EQ(list->Items().Count(), 4);
    EXPECT_EQ(list->SelCount(), 0);
    list->SetSelected(1, true);
    list->SetSelected(3, true);
    EXPECT_EQ(list->SelCount(), 2);
    EXPECT_TRUE(list->Selected(3));
    EXPECT_FALSE(list->Selected(2));

    // Deleting the selected items from the last one down, as the windows do.
    for (int i = list->Items().Count() - 1; i >= 0; --i)
        if (list->Selected(i)) list->Items().Delete(i);
    EXPECT_EQ(list->Items().Text(), "a\r\nc\r\n");
    EXPECT_EQ(list->SelCount(), 0);
}

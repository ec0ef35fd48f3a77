#include <gtest/gtest.h>

#include <memory>

#include "controls/rz_list_controls.h"
#include "platform/vcl/form.h"
#include "test_support.h"

using namespace controls_test;

TEST(ListBox, IndexOfIgnoresLetterCaseAndFollowsDeletionsOfSelectedItems) {
    std::unique_ptr<TForm> form(MakeForm());
    auto* list = new TRzListBox(form.get());
    list->SetMultiSelect(true);
    list->Items().SetText("index.html\nDocs/About.HTML\ncontact.html\nnews.html\n");
    EXPECT_EQ(list->IndexOf("DOCS/about.html"), 1) << "before the window exists";
    list->SetParent(form.get());
    form->Show();
    Pump();
    EXPECT_EQ(list->IndexOf("Index.HTML"), 0);
    EXPECT_EQ(list->IndexOf("contact"), -1) << "whole items only";
    EXPECT_EQ(list->IndexOf(""), -1);

    list->SetSelected(0, true);
    list->SetSelected(2, true);
    EXPECT_EQ(list->SelCount(), 2);
    EXPECT_FALSE(list->Selected(1));
    for (int i = list->Items().Count() - 1; i >= 0; --i)
        if (list->Selected(i)) list->Items().Delete(i);
    EXPECT_EQ(list->Items().Text(), "Docs/About.HTML\r\nnews.html\r\n");
    EXPECT_EQ(list->SelCount(), 0);
    EXPECT_EQ(list->IndexOf("news.HTML"), 1);
    EXPECT_EQ(list->IndexOf("index.html"), -1);
}

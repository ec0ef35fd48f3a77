// The customizing window of a designed form: categories and commands added, moved and deleted from
// the Commands page, with the name and add-item dialogs answered as they come up.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "bars/core/bar_button.h"
#include "bars/core/bar_errors.h"
#include "bars/core/bar_group.h"
#include "bars/core/bar_manager.h"
#include "bars/core/categories.h"
#include "bars/core/sub_item.h"
#include "bars/customizing/add_group_items_dialog.h"
#include "bars/customizing/add_item_dialog.h"
#include "bars/customizing/commands_list.h"
#include "bars/customizing/customizing_form.h"
#include "bars/customizing/name_dialog.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/system.h"
#include "platform/rtl/exception.h"
#include "platform/stdctrls/buttons.h"
#include "platform/stdctrls/edit.h"
#include "platform/stdctrls/list_controls.h"
#include "platform/stdctrls/page_control.h"
#include "platform/vcl/dialogs.h"
#include "platform/vcl/form.h"
#include "platform/vcl/prompt.h"
#include "platform/vcl/screen.h"

using namespace bars;

namespace {

class DesignedForm : public TForm {
public:
    DesignedForm() : TForm(nullptr) { SetDesigning(true); }
    std::string ClassName() const override { return "TDesignedForm"; }
};

class Yes : public pw::vcl::Prompter {
public:
    Yes() { pw::vcl::SetPrompter(this); }
    ~Yes() override { pw::vcl::SetPrompter(nullptr); }
    pw::vcl::PromptAnswer Ask(const pw::vcl::PromptRequest& Request) override {
        Asked.push_back(Request.text);
        pw::vcl::PromptAnswer answer;
        answer.result = IDOK;
        return answer;
    }
    std::vector<std::string> Asked;
};

class CustomizingDesignTest : public ::testing::Test {
protected:
    CustomizingDesignTest() {
        InstallCustomizingForm();
        manager = new TdxBarManager(&form);
        form.Show();
        manager->SetIsCustomizing(true);
        window = GetCustomizingForm();
        // Each dialog that comes up is answered once by the step given for it.
        Screen->OnActiveFormChange = [this](TObject*) {
            TCustomForm* active = Screen->ActiveForm();
            if (active == nullptr || active == window || active == &form || !answer) return;
            auto step = std::move(answer);
            answer = nullptr;
            step(active);
        };
    }
    ~CustomizingDesignTest() override {
        Screen->OnActiveFormChange = nullptr;
        manager->SetIsCustomizing(false);
    }
    TdxBarButton* Button(const std::string& Caption, int Category) {
        auto* button = new TdxBarButton(&form);
        button->SetName(Caption);
        button->SetBarManager(manager);
        button->SetCaption(Caption);
        button->SetCategory(Category);
        return button;
    }
    static std::vector<std::string> Rows(TListBox* List) {
        std::vector<std::string> rows;
        for (int i = 0; i < List->Items().Count(); ++i)
            rows.push_back(List->Items().Strings(i));
        return rows;
    }
    // Answers the add-group-items dialog by choosing the rows of these texts.
    void Choose(std::vector<std::string> Texts) {
        answer = [this, Texts](TCustomForm* shown) {
            auto* dialog = dynamic_cast<TfrmAddGroupItems*>(shown);
            ASSERT_NE(dialog, nullptr);
            offered = Rows(dialog->lbGroupItems);
            for (const std::string& text : Texts)
                dialog->lbGroupItems->SetSelected(dialog->lbGroupItems->Items().IndexOf(text), true);
            dialog->btnOk->Click();
        };
    }
    std::vector<std::string> Commands() {
        std::vector<std::string> rows;
        for (int i = 0; i < window->CommandsListBox->Items().Count(); ++i)
            rows.push_back(window->CommandsListBox->ItemOf(i)->Caption());
        return rows;
    }

    DesignedForm form;
    TdxBarManager* manager = nullptr;
    TdxBarCustomizingForm* window = nullptr;
    std::function<void(TCustomForm*)> answer;
    std::vector<std::string> offered;
    Yes person;
};

TEST_F(CustomizingDesignTest, ACategoryAndAnItemAreAddedThroughTheirDialogs) {
    ASSERT_NE(window, nullptr);
    ASSERT_NE(window->CategoriesPopupMenu, nullptr);
    answer = [](TCustomForm* shown) {
        auto* dialog = dynamic_cast<TdxBarNameEd*>(shown);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->Caption(), "Add Category");
        dialog->EName->SetText("Edit");
        dialog->BOK->Click();
    };
    window->CategoriesAddClick();
    ASSERT_EQ(manager->Categories()->Count(), 2);
    EXPECT_EQ(window->LCategories->Items().Strings(1), "Edit");
    EXPECT_EQ(window->LCategories->ItemIndex(), 1);

    answer = [](TCustomForm* shown) {
        auto* dialog = dynamic_cast<TdxBarItemAddEditor*>(shown);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->ComboBox2->ItemIndex(), 1) << "the category chosen in the window";
        dialog->Edit2->SetText("Paste");
        dialog->BOk->Click();
    };
    window->CommandsAddClick();
    EXPECT_EQ(Commands(), (std::vector<std::string>{"Paste"}));
    EXPECT_EQ(window->CommandsListBox->ItemIndex(), 0);
    TdxBarItem* paste = window->CommandsListBox->ItemOf(0);
    EXPECT_EQ(paste->Category(), 1);
    EXPECT_EQ(paste->Owner(), &form);
    EXPECT_EQ(paste->BarManager(), manager);

    // A name the form has already keeps the dialog open with another one proposed.
    TdxBarItemAddEditor dialog(manager, 1);
    const std::string proposed = dialog.Edit1->Text();
    EXPECT_NE(proposed, paste->Name());
    dialog.Edit1->SetText(paste->Name());
    dialog.BOk->Click();
    EXPECT_EQ(dialog.CreatedItem(), nullptr);
    EXPECT_EQ(dialog.ModalResult(), mrNone);
    EXPECT_EQ(dialog.Edit1->Text(), proposed);
    EXPECT_EQ(manager->ItemCount(), 1);
}

TEST_F(CustomizingDesignTest, CommandsMoveAndGoAndADeletedCategoryTakesItsItems) {
    manager->Categories()->Add("Edit");
    TdxBarButton* cut = Button("Cut", 1);
    TdxBarButton* copy = Button("Copy", 1);
    Button("Open", 0);
    window->LCategories->SetItemIndex(1);
    window->LCategoriesClick();
    window->CommandsListBox->SetItemIndex(0);
    window->CommandsPopupMenuPopup();
    EXPECT_FALSE(window->CommandsMoveUp->Enabled());
    EXPECT_TRUE(window->CommandsMoveDown->Enabled());

    window->MoveCommand(1);
    EXPECT_EQ(Commands(), (std::vector<std::string>{"Copy", "Cut"}));
    EXPECT_EQ(manager->IndexOfItem(copy), 0);
    EXPECT_EQ(manager->IndexOfItem(cut), 1);
    EXPECT_EQ(window->CommandsListBox->ItemIndex(), 1);
    window->MoveCommand(1);
    EXPECT_EQ(Commands(), (std::vector<std::string>{"Copy", "Cut"})) << "the last row stays";

    window->CommandsDeleteClick();
    EXPECT_EQ(Commands(), (std::vector<std::string>{"Copy"}));
    EXPECT_EQ(manager->ItemCount(), 2);
    EXPECT_EQ(window->CommandsListBox->ItemIndex(), 0);

    window->CategoriesPopupMenuPopup();
    EXPECT_TRUE(window->CategoriesDelete->Enabled());
    window->CategoriesDeleteClick();
    ASSERT_EQ(person.Asked.size(), 1u);
    EXPECT_EQ(person.Asked[0], "Are you sure you want to delete the 'Edit' category?");
    EXPECT_EQ(manager->Categories()->Count(), 1);
    EXPECT_EQ(manager->ItemCount(), 1);
    EXPECT_EQ(window->LCategories->Items().Count(), 1);
    EXPECT_EQ(Commands(), (std::vector<std::string>{"Open"}));
    window->CategoriesPopupMenuPopup();
    EXPECT_FALSE(window->CategoriesDelete->Enabled()) << "the only category stays";
}

TEST_F(CustomizingDesignTest, GroupsTakeItemsAndGroupsAndGatherTheChosenEntriesWhenMoved) {
    Button("Cut", 0);
    Button("Copy", 0);
    Button("Paste", 0);
    window->btnGroupAddClick();
    window->btnGroupAddClick();
    ASSERT_EQ(Rows(window->lbGroups), (std::vector<std::string>{"dxBarGroup1", "dxBarGroup2"}));
    EXPECT_EQ(window->lbGroups->ItemIndex(), 1);
    window->lbGroups->SetItemIndex(0);
    window->RefreshGroupItems();
    auto* first = static_cast<TdxBarGroup*>(manager->Groups(0));

    // Headings (and the group itself) add nothing.
    Choose({"~< Groups >", "dxBarGroup2", "Cut", "Paste", "~Default"});
    window->btnGroupItemAddClick();
    EXPECT_EQ(offered,
              (std::vector<std::string>{"~< Groups >", "dxBarGroup2", "~Default", "Cut", "Copy", "Paste"}));
    EXPECT_EQ(first->Count(), 3);
    ASSERT_EQ(Rows(window->lbGroupItems), (std::vector<std::string>{"dxBarGroup2", "Cut", "Paste"}));
    EXPECT_EQ(window->lbGroupItems->SelCount(), 3);

    // A scattered choice holding the first row gathers at the top.
    window->PageControl->SetActivePage(window->TabSheet5);
    window->lbGroupItems->SetFocus();
    window->lbGroupItems->ClearSelection();
    window->lbGroupItems->SetSelected(0, true);
    window->lbGroupItems->SetSelected(2, true);
    window->UpdateGroupButtons();
    EXPECT_TRUE(window->btnMoveUp->Enabled());
    window->btnMoveUpClick();
    EXPECT_EQ(Rows(window->lbGroupItems), (std::vector<std::string>{"dxBarGroup2", "Paste", "Cut"}));
    EXPECT_FALSE(window->btnMoveUp->Enabled()) << "the chosen ones are the first rows";
    EXPECT_TRUE(window->btnMoveDown->Enabled());
    window->btnMoveDownClick();
    EXPECT_EQ(Rows(window->lbGroupItems), (std::vector<std::string>{"Cut", "dxBarGroup2", "Paste"}));

    window->lbGroupItems->ClearSelection();
    window->lbGroupItems->SetSelected(0, true);
    window->btnGroupItemDeleteClick();
    EXPECT_EQ(Rows(window->lbGroupItems), (std::vector<std::string>{"dxBarGroup2", "Paste"}));

    // The second group may not hold the first, which holds it; alone, a group offers no groups.
    window->lbGroups->SetItemIndex(1);
    window->RefreshGroupItems();
    Choose({"dxBarGroup1"});
    EXPECT_THROW(window->btnGroupItemAddClick(), EdxBarError);
    window->btnGroupDeleteClick();
    EXPECT_EQ(Rows(window->lbGroups), (std::vector<std::string>{"dxBarGroup1"}));
    EXPECT_EQ(Rows(window->lbGroupItems), (std::vector<std::string>{"Paste"}));
    Choose({});
    window->btnGroupItemAddClick();
    EXPECT_EQ(offered.front(), "~Default");
}

TEST_F(CustomizingDesignTest, AllCommandsListsTheItemsThatMayHaveAShortcut) {
    TdxBarButton* open = Button("Open", 0);
    auto* recent = new TdxBarSubItem(&form);
    recent->SetBarManager(manager);
    recent->SetName("Recent");
    recent->SetCategory(0);
    Button("Loose", -1);
    ASSERT_NE(window->LAllCommands, nullptr);
    EXPECT_EQ(Rows(window->LAllCommands), (std::vector<std::string>{open->Name()}));
    window->CBShowCommandsWithShortCut->SetChecked(false);
    EXPECT_EQ(Rows(window->LAllCommands), (std::vector<std::string>{open->Name(), "Recent"}));
    delete open;
    EXPECT_EQ(Rows(window->LAllCommands), (std::vector<std::string>{"Recent"}));
}

} // namespace

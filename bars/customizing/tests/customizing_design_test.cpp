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
#include "bars/core/item_links.h"
#include "bars/core/popup_menu.h"
#include "bars/core/sub_item.h"
#include "bars/core/toolbar.h"
#include "bars/core/toolbars.h"
#include "bars/customizing/add_group_items_dialog.h"
#include "bars/customizing/add_item_dialog.h"
#include "bars/customizing/commands_list.h"
#include "bars/customizing/customizing_form.h"
#include "bars/customizing/name_dialog.h"
#include "bars/windows/dock_control.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/system.h"
#include "platform/gui/window.h"
#include "platform/rtl/exception.h"
#include "platform/stdctrls/buttons.h"
#include "platform/stdctrls/edit.h"
#include "platform/stdctrls/label.h"
#include "platform/stdctrls/list_controls.h"
#include "platform/stdctrls/page_control.h"
#include "platform/vcl/dialogs.h"
#include "platform/vcl/form.h"
#include "platform/vcl/prompt.h"
#include "platform/vcl/screen.h"
#include "tests/support/gui/pump.h"

using namespace bars;

namespace {

using testsupport::Pump;

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

// A press on a link of the designed form's bar shows its command in the window.
TEST_F(CustomizingDesignTest, APressOnALinkShowsItsCommand) {
    RegisterBarWindows();
    manager->Categories()->Add("Edit");
    TdxBar* bar = manager->Bars()->Add();
    bar->ItemLinks()->Add()->SetItem(Button("Cut", 1));
    bar->SetDockingStyle(dsTop);
    bar->SetVisible(true);
    Pump();
    window->LCategories->SetItemIndex(0);
    window->LCategoriesClick();
    const RECT r = bar->ItemLinks()->Items(0)->Control()->ScreenRect();
    POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ScreenToClient(bar->Control()->Handle(), p);
    SendMessage(bar->Control()->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(p));
    SendMessage(bar->Control()->Handle(), WM_LBUTTONUP, 0, PackPoint(p));
    EXPECT_EQ(window->LCategories->ItemIndex(), 1);
    EXPECT_EQ(Commands(), (std::vector<std::string>{"Cut"}));
    EXPECT_EQ(window->CommandsListBox->ItemIndex(), 0);
}

// Showing the Commands page of a designed form shows the chosen command's description again.
TEST_F(CustomizingDesignTest, TheCommandsPageShowsTheChosenCommandWhenShown) {
    Button("Cut", 0)->SetDescription("Cuts the selection");
    window->LCategories->SetItemIndex(0);
    window->LCategoriesClick();
    window->PageControl->SetActivePage(window->TabSheet2);
    window->CommandsListBox->SetItemIndex(0);
    window->DescriptionLabel->SetCaption("");
    window->PageControlChange();
    EXPECT_EQ(window->DescriptionLabel->Caption(), "Cuts the selection");
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

// A category dragged along the list moves row by row under the pointer, its items with it; a right
// click on a command chooses its row and pops the commands menu up for it.
TEST_F(CustomizingDesignTest, CategoriesAreDraggedAlongTheirListAndCommandsHaveTheirMenu) {
    manager->Categories()->Add("Edit");
    manager->Categories()->Add("View");
    TdxBarButton* open = Button("Open", 0);
    Button("Cut", 1);
    Button("Copy", 1);
    TListBox* list = window->LCategories;
    auto at = [list](int Row) { return PackPoint(POINT{10, list->ItemRect(Row).top + 2}); };
    SendMessage(list->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at(0));
    for (int row : {1, 2})
        SendMessage(list->Handle(), WM_MOUSEMOVE, MK_LBUTTON, at(row));
    SendMessage(list->Handle(), WM_LBUTTONUP, 0, at(2));
    SendMessage(list->Handle(), WM_MOUSEMOVE, 0, at(0)); // without the button nothing moves
    EXPECT_EQ(Rows(list), (std::vector<std::string>{"Edit", "View", "Default"}));
    EXPECT_EQ(open->Category(), 2);
    EXPECT_EQ(list->ItemIndex(), 2);

    list->SetItemIndex(0);
    window->LCategoriesClick();
    SetTimer(nullptr, 0, 1, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        if (TdxBarCustomizingForm* form = GetCustomizingForm();
            form != nullptr && form->CommandsPopupMenu->IsShowing())
            pw::gui::SimulateKeyStroke(VK_ESCAPE);
    });
    SendMessage(window->CommandsListBox->Handle(), WM_RBUTTONDOWN, 0,
                PackPoint(POINT{5, window->CommandsListBox->ItemRect(1).top + 2}));
    Pump();
    EXPECT_EQ(window->CommandsListBox->ItemIndex(), 1);
    EXPECT_TRUE(window->CommandsMoveUp->Enabled()) << "the menu was set up for the row clicked";
    EXPECT_FALSE(window->CommandsMoveDown->Enabled());
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

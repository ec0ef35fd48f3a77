// A customizing session: toolbars made, renamed and deleted through the window and its name dialog,
// the lists following bars and items changed in code, the options and the help button.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "bars/core/bar_button.h"
#include "bars/core/bar_manager.h"
#include "bars/core/categories.h"
#include "bars/core/item_links.h"
#include "bars/core/sub_item.h"
#include "bars/core/toolbar.h"
#include "bars/core/toolbars.h"
#include "bars/customizing/bars_list.h"
#include "bars/customizing/commands_list.h"
#include "bars/customizing/customizing_form.h"
#include "bars/customizing/name_dialog.h"
#include "bars/customizing/sub_menu_editor.h"
#include "bars/windows/sub_menu_control.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/messages.h"
#include "platform/gui/system.h"
#include "platform/gui/window.h"
#include "platform/stdctrls/bit_btn.h"
#include "platform/stdctrls/buttons.h"
#include "platform/stdctrls/edit.h"
#include "platform/stdctrls/label.h"
#include "platform/stdctrls/list_controls.h"
#include "platform/stdctrls/panels.h"
#include "platform/vcl/application.h"
#include "platform/vcl/dialogs.h"
#include "platform/vcl/form.h"
#include "platform/vcl/prompt.h"
#include "platform/vcl/screen.h"

using namespace bars;

namespace {

class SessionForm : public TForm {
public:
    SessionForm() : TForm(nullptr) {}
    std::string ClassName() const override { return "TSessionOwnerForm"; }
};

// Answers every message box with Answer and keeps what was asked.
class Person : public pw::vcl::Prompter {
public:
    Person() { pw::vcl::SetPrompter(this); }
    ~Person() override { pw::vcl::SetPrompter(nullptr); }
    pw::vcl::PromptAnswer Ask(const pw::vcl::PromptRequest& Request) override {
        Asked.push_back(Request.text);
        pw::vcl::PromptAnswer answer;
        answer.result = Answer;
        return answer;
    }
    int Answer = IDOK;
    std::vector<std::string> Asked;
};

class CustomizingSessionTest : public ::testing::Test {
protected:
    CustomizingSessionTest() {
        InstallCustomizingForm();
        form.SetBounds(300, 200, 300, 200);
        manager = new TdxBarManager(&form);
        standard = manager->Bars()->Add();
        standard->SetCaption("Standard");
        standard->ApplyLoadedState();
        standard->SetVisible(true);
        form.Show();
        manager->SetIsCustomizing(true);
        window = GetCustomizingForm();
        // The name dialog is answered as it comes up: the name typed, then OK or Cancel.
        Screen->OnActiveFormChange = [this](TObject*) {
            auto* dialog = dynamic_cast<TdxBarNameEd*>(Screen->ActiveForm());
            if (dialog == nullptr || !typed.empty()) return;
            proposed = dialog->EName->Text();
            typed = name;
            dialog->EName->SetText(name);
            (ok ? dialog->BOK : dialog->BCancel)->Click();
        };
    }
    ~CustomizingSessionTest() override {
        Screen->OnActiveFormChange = nullptr;
        manager->SetIsCustomizing(false);
    }
    // Clicks Button with the name dialog answered by Name.
    void Answer(TButton* Button, const std::string& Name, bool Ok = true) {
        name = Name;
        ok = Ok;
        typed.clear();
        Button->Click();
        ProcessMessages();
    }
    std::vector<std::string> Rows() {
        std::vector<std::string> rows;
        for (int i = 0; i < window->BarsListBox->Items().Count(); ++i)
            rows.push_back(window->BarsListBox->Items().Strings(i));
        return rows;
    }

    SessionForm form;
    TdxBarManager* manager = nullptr;
    TdxBar* standard = nullptr;
    TdxBarCustomizingForm* window = nullptr;
    Person person;
    std::string name, typed, proposed;
    bool ok = true;
};

TEST_F(CustomizingSessionTest, AToolbarIsMadeRenamedAndDeletedThroughTheWindow) {
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(window->BBarRename->Enabled()) << "a predefined bar keeps its name";
    TdxBar* taken = manager->Bars()->Add();
    taken->SetCaption("Custom 1");
    EXPECT_EQ(Rows(), (std::vector<std::string>{"Standard", "Custom 1"})) << "a bar made in code is listed";

    Answer(window->BBarNew, "Mine", false);
    EXPECT_EQ(proposed, "Custom 2");
    EXPECT_EQ(manager->Bars()->Count(), 2);
    Answer(window->BBarNew, "Mine");
    ASSERT_EQ(manager->Bars()->Count(), 3);
    TdxBar* mine = manager->Bars()->Items(2);
    EXPECT_EQ(mine->Caption(), "Mine");
    EXPECT_TRUE(mine->Visible());
    EXPECT_EQ(mine->DockingStyle(), dsNone);
    EXPECT_EQ(mine->FloatLeft(), window->Left() - 50);
    EXPECT_EQ(mine->FloatTop(), window->Top());
    EXPECT_EQ(window->BarsListBox->ItemIndex(), 2);
    EXPECT_TRUE(window->BBarRename->Enabled());
    EXPECT_TRUE(window->BBarDelete->Enabled());

    // Another bar's caption in other letters is a name of its own.
    Answer(window->BBarRename, "standard");
    EXPECT_EQ(proposed, "Mine");
    EXPECT_EQ(mine->Caption(), "standard");
    EXPECT_EQ(Rows(), (std::vector<std::string>{"Standard", "Custom 1", "standard"}));
    EXPECT_EQ(window->BarsListBox->ItemIndex(), 2);
    EXPECT_TRUE(person.Asked.empty());

    person.Answer = IDCANCEL;
    window->BBarDelete->Click();
    EXPECT_EQ(manager->Bars()->Count(), 3);
    person.Answer = IDOK;
    window->BBarDelete->Click();
    ASSERT_EQ(person.Asked.size(), 2u);
    EXPECT_EQ(person.Asked[1], "Are you sure you want to delete the 'standard' toolbar?");
    EXPECT_EQ(manager->Bars()->Count(), 2);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"Standard", "Custom 1"}));
    EXPECT_EQ(window->BarsListBox->ItemIndex(), 1) << "the new last row";

    // A bar renamed, hidden or freed in code: its row follows, and none is left for a bar that went.
    taken->SetCaption("Renamed");
    EXPECT_EQ(Rows(), (std::vector<std::string>{"Standard", "Renamed"}));
    EXPECT_EQ(window->BarsListBox->ItemIndex(), 1);
    delete taken;
    EXPECT_EQ(Rows(), (std::vector<std::string>{"Standard"}));
    EXPECT_EQ(window->BarsListBox->ItemIndex(), 0);
    EXPECT_FALSE(window->BBarDelete->Enabled());
}

TEST_F(CustomizingSessionTest, TheNameDialogRefusesAnotherToolbarsCaptionButNotItsOwn) {
    TdxBarNameEd dialog(false, NameDialogKind::InsertOrRename, standard, manager);
    EXPECT_EQ(dialog.Caption(), "Rename Toolbar");
    dialog.EName->SetText("x");
    dialog.EName->SetText("");
    EXPECT_FALSE(dialog.BOK->Enabled());
    dialog.EName->SetText("Standard");
    EXPECT_TRUE(dialog.BOK->Enabled());
    dialog.SetModalResult(mrOk);
    EXPECT_TRUE(dialog.CloseQuery());
    TdxBarNameEd other(false, NameDialogKind::Add, nullptr, manager);
    other.EName->SetText("Standard");
    other.SetModalResult(mrOk);
    EXPECT_FALSE(other.CloseQuery());
    ASSERT_EQ(person.Asked.size(), 1u);
    EXPECT_EQ(person.Asked[0], "A toolbar named 'Standard' already exists. Type another name.");
    // Categories may share names; cancelling is never refused.
    TdxBarNameEd category(true, NameDialogKind::Add, nullptr, manager);
    category.EName->SetText("Standard");
    category.SetModalResult(mrOk);
    EXPECT_TRUE(category.CloseQuery());
    other.SetModalResult(mrCancel);
    EXPECT_TRUE(other.CloseQuery());
}

TEST_F(CustomizingSessionTest, AToolbarMadeBesideTheScreensLeftEdgeFloatsRightOfTheWindow) {
    window->SetLeft(Screen->WorkAreaRect().left + 10);
    Answer(window->BBarNew, "Left");
    TdxBar* made = manager->Bars()->Items(1);
    EXPECT_EQ(made->FloatLeft(), window->Left() + window->Width() + 10);
}

TEST_F(CustomizingSessionTest, ACategoryItemAddedOrFreedInCodeIsShownAndChosen) {
    manager->Categories()->Add("Edit");
    auto* cut = new TdxBarButton(&form);
    cut->SetBarManager(manager);
    cut->SetCaption("Cut");
    cut->SetCategory(1);
    EXPECT_EQ(window->LCategories->ItemIndex(), 1);
    ASSERT_EQ(window->CommandsListBox->Items().Count(), 1);
    EXPECT_EQ(window->CommandsListBox->ItemIndex(), 0);
    // A second item of the category shown gets its row too.
    auto* copy = new TdxBarButton(&form);
    copy->SetBarManager(manager);
    copy->SetCaption("Copy");
    copy->SetDescription("Copies the selection");
    copy->SetCategory(1);
    ASSERT_EQ(window->CommandsListBox->Items().Count(), 2);
    EXPECT_EQ(window->CommandsListBox->ItemOf(window->CommandsListBox->ItemIndex()), copy);
    EXPECT_EQ(window->DescriptionLabel->Caption(), "Copies the selection");
    delete copy;
    ASSERT_EQ(window->CommandsListBox->Items().Count(), 1);
    EXPECT_EQ(window->CommandsListBox->ItemOf(0), cut);
    EXPECT_EQ(window->CommandsListBox->ItemIndex(), 0);
}

TEST_F(CustomizingSessionTest, TheOptionsFollowTheManagerAndTheStyle) {
    EXPECT_TRUE(window->EnhancedOptionsPanel->Visible());
    EXPECT_FALSE(window->StandardOptionsPanel->Visible());
    window->CBMenusShowRecentItemsFirst->SetChecked(false);
    EXPECT_FALSE(manager->MenusShowRecentItemsFirst());
    EXPECT_FALSE(window->CBShowFullMenusAfterDelay->Enabled());
    window->CBHint1Ex->SetChecked(false);
    EXPECT_FALSE(manager->ShowHint());
    EXPECT_FALSE(window->CBHint2Ex->Enabled());
    ASSERT_EQ(window->ComboBoxMenuAnimationsEx->Items().Count(), 5);
    manager->SetMenuAnimations(maFade);
    EXPECT_EQ(window->ComboBoxMenuAnimationsEx->ItemIndex(), 4);

    manager->SetStyle(bmsStandard);
    EXPECT_TRUE(window->StandardOptionsPanel->Visible());
    EXPECT_FALSE(window->EnhancedOptionsPanel->Visible());
    EXPECT_EQ(window->ComboBoxMenuAnimations->ItemIndex(), 4);
    EXPECT_FALSE(window->CBHint1->Checked());
    EXPECT_FALSE(window->CBHint2->Enabled());
}

TEST_F(CustomizingSessionTest, TheHelpButtonShowsAsTheManagerSaysAndAsksForItsTopic) {
    EXPECT_FALSE(window->BHelp->Visible());
    manager->SetShowHelpButton(true);
    EXPECT_TRUE(window->BHelp->Visible());
    std::vector<std::string> calls;
    manager->OnHelpButtonClick = [&](TObject*) { calls.push_back("button"); };
    Application->OnHelp = [&](WORD Command, intptr_t Data, bool&) {
        calls.push_back(std::to_string(Command) + ":" + std::to_string(Data));
        return true;
    };
    window->BHelp->Click();
    manager->SetHelpContext(42);
    window->BHelp->Click();
    Application->OnHelp = nullptr;
    EXPECT_EQ(calls, (std::vector<std::string>{"button", "button", "1:42"}));
}

TEST_F(CustomizingSessionTest, TheWindowHidesAndShowsWithTheCustomizedForm) {
    form.Hide();
    ProcessMessages();
    EXPECT_FALSE(IsWindowVisible(window->Handle()));
    form.Show();
    ProcessMessages();
    EXPECT_TRUE(IsWindowVisible(window->Handle()));
}

TEST_F(CustomizingSessionTest, TheWheelScrollsTheListUnderThePointerWhileTheKeyboardIsElsewhere) {
    for (int i = 0; i < 30; ++i)
        manager->Bars()->Add()->SetCaption("Bar " + std::to_string(i));
    window->BClose->SetFocus();
    const TRect rect = window->BarsListBox->ClientRect();
    POINT over{rect.right / 2, rect.bottom / 2};
    ClientToScreen(window->BarsListBox->Handle(), over);
    const auto wheel = [&](int Delta) {
        SendMessage(window->Handle(), WM_MOUSEWHEEL, static_cast<WPARAM>(static_cast<uint16_t>(Delta)) << 16,
                    static_cast<LPARAM>((over.y << 16) | (over.x & 0xFFFF)));
    };
    wheel(-120);
    EXPECT_EQ(window->BarsListBox->TopIndex(), 3) << "as many lines as the system scrolls";
    wheel(120);
    EXPECT_EQ(window->BarsListBox->TopIndex(), 0);
    // With a list holding the keyboard, the wheel is the list's own, not the window's to pass on.
    window->BarsListBox->SetFocus();
    wheel(-120);
    EXPECT_EQ(window->BarsListBox->TopIndex(), 0);
}

TEST_F(CustomizingSessionTest, TheSubMenuEditorHoldsTheMenuBeneathItselfAndGoesWithItsOwner) {
    auto* recent = new TdxBarSubItem(&form);
    recent->SetBarManager(manager);
    for (const char* caption : {"One", "Two"}) {
        auto* button = new TdxBarButton(&form);
        button->SetBarManager(manager);
        button->SetCaption(caption);
        recent->ItemLinks()->Add()->SetItem(button);
    }
    ShowSubMenuEditor(recent->ItemLinks());
    ProcessMessages();
    TdxBarSubMenuEditor* editor = GetSubMenuEditor();
    ASSERT_NE(editor, nullptr);
    TdxBarSubMenuControl* menu = editor->Menu();
    ASSERT_NE(menu, nullptr);
    ASSERT_TRUE(IsWindowVisible(menu->Handle()));
    RECT bounds{};
    GetWindowRect(menu->Handle(), bounds);
    EXPECT_EQ(bounds.left, editor->Left());
    EXPECT_EQ(bounds.top, editor->Top() + editor->Height());
    EXPECT_EQ(editor->Width(), bounds.right - bounds.left);

    editor->SetBounds(editor->Left() + 40, editor->Top() + 30, editor->Width(), editor->Height());
    ProcessMessages();
    GetWindowRect(menu->Handle(), bounds);
    EXPECT_EQ(bounds.left, editor->Left());
    EXPECT_EQ(bounds.top, editor->Top() + editor->Height());
    // A person cannot size it: the smallest and largest sizes are the ones it has.
    MINMAXINFO limits{};
    SendMessage(editor->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(limits.ptMinTrackSize.x, editor->Width());
    EXPECT_EQ(limits.ptMaxTrackSize.x, editor->Width());
    EXPECT_EQ(limits.ptMaxTrackSize.y, editor->Height());

    // With the menu closed, a drag of the sub-item itself does not open it again (it may not go into
    // itself), a drag of a button that may go into it does.
    editor->Menu()->FreeMenu();
    ProcessMessages();
    ASSERT_EQ(editor->Menu(), nullptr);
    manager->SetDraggingItem(true);
    for (TdxBarItem* dragged : {static_cast<TdxBarItem*>(recent), recent->ItemLinks()->Items(0)->Item()}) {
        manager->SetDragged(dragged, nullptr);
        editor->FormActivate();
        EXPECT_EQ(editor->Menu() != nullptr, dragged != recent);
    }
    manager->SetDraggingItem(false);
    manager->SetDragged(nullptr, nullptr);

    // The sub-item going takes the editor along; so does the customizing window closing.
    delete recent;
    ProcessMessages();
    EXPECT_EQ(GetSubMenuEditor(), nullptr);
    auto* other = new TdxBarSubItem(&form);
    other->SetBarManager(manager);
    ShowSubMenuEditor(other->ItemLinks());
    ASSERT_NE(GetSubMenuEditor(), nullptr);
    window->BClose->Click();
    ProcessMessages();
    EXPECT_EQ(GetSubMenuEditor(), nullptr);
}

// The menu the editor holds open closes once the selection leaves it for a toolbar, from the loop (the
// line that had it is not freed under whoever moved it); a selection back on it first keeps it open.
TEST_F(CustomizingSessionTest, TheSubMenuEditorsMenuClosesWhenTheSelectionLeavesIt) {
    auto* recent = new TdxBarSubItem(&form);
    recent->SetBarManager(manager);
    for (TdxBarItemLinks* links : {recent->ItemLinks(), standard->ItemLinks()}) {
        auto* button = new TdxBarButton(&form);
        button->SetBarManager(manager);
        links->Add()->SetItem(button);
    }
    ShowSubMenuEditor(recent->ItemLinks());
    ProcessMessages();
    TdxBarSubMenuControl* menu = GetSubMenuEditor()->Menu();
    ItemControl* line = recent->ItemLinks()->Items(0)->Control();
    ItemControl* button = standard->ItemLinks()->Items(0)->Control();
    ASSERT_TRUE(menu != nullptr && line != nullptr && button != nullptr);
    for (bool back : {true, false}) {
        menu->SetSelectedControl(line);
        standard->Control()->SetSelectedControl(button);
        if (back) manager->SetSelectedItem(line);
        EXPECT_EQ(GetSubMenuEditor()->Menu(), menu);
        ProcessMessages();
        EXPECT_EQ(GetSubMenuEditor()->Menu(), back ? menu : nullptr);
    }
}

} // namespace

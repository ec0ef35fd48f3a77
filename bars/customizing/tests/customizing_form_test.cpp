// The customizing window: opened from the toolbars popup's entry and closed by its Close button, with
// the bar managers' forms disabled meanwhile; its toolbar buttons follow the chosen bar and its commands
// follow the chosen category.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bars/core/bar_button.h"
#include "bars/core/bar_manager.h"
#include "bars/core/categories.h"
#include "bars/core/toolbar.h"
#include "bars/core/toolbars.h"
#include "bars/customizing/bars_list.h"
#include "bars/customizing/commands_list.h"
#include "bars/customizing/customizing_form.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/window.h"
#include "platform/stdctrls/buttons.h"
#include "platform/stdctrls/label.h"
#include "platform/stdctrls/list_controls.h"
#include "platform/vcl/form.h"
#include "tests/support/gui/pump.h"

using namespace bars;
using testsupport::Pump;

namespace {

class OwnerForm : public TForm {
public:
    OwnerForm() : TForm(nullptr) {}
    std::string ClassName() const override { return "TCustomizingOwnerForm"; }
};

class CustomizingFormTest : public ::testing::Test {
protected:
    CustomizingFormTest() {
        InstallCustomizingForm();
        form.SetBounds(40, 40, 300, 200);
        manager = new TdxBarManager(&form);
        manager->OnShowCustomizingForm = [this](TObject*) {
            events.push_back(GetCustomizingForm() == nullptr ? "show before" : "show after");
        };
        manager->OnHideCustomizingForm = [this](TObject*) {
            events.push_back(GetCustomizingForm() == nullptr ? "hide after" : "hide before");
        };
        form.Show();
        Pump();
    }
    ~CustomizingFormTest() override { manager->SetIsCustomizing(false); }
    TdxBar* Bar(TdxBarManager* m, const std::string& caption, bool visible = true) {
        TdxBar* bar = m->Bars()->Add();
        bar->SetCaption(caption);
        bar->SetVisible(visible);
        return bar;
    }

    OwnerForm form;
    TdxBarManager* manager = nullptr;
    std::vector<std::string> events;
};

TEST_F(CustomizingFormTest, TheEntryOpensTheWindowOnceAndItsCloseButtonEndsCustomizing) {
    manager->ToolbarsPopupClick(1000);
    TdxBarCustomizingForm* window = GetCustomizingForm();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(manager->IsCustomizing());
    EXPECT_TRUE(IsWindowVisible(window->Handle()));
    EXPECT_FALSE(IsWindowEnabled(form.Handle()));
    EXPECT_EQ(GetWindow(window->Handle(), GW_OWNER), form.Handle());
    // A second open changes nothing and tells nobody.
    manager->ToolbarsPopupClick(1000);
    EXPECT_EQ(GetCustomizingForm(), window);

    window->BClose->Click();
    Pump();
    EXPECT_EQ(GetCustomizingForm(), nullptr);
    EXPECT_FALSE(manager->IsCustomizing());
    EXPECT_TRUE(IsWindowEnabled(form.Handle()));
    EXPECT_EQ(events, (std::vector<std::string>{"show before", "hide after"}));

    // Leaving customizing mode from the manager closes the window too; so does the manager going.
    manager->SetIsCustomizing(true);
    ASSERT_NE(GetCustomizingForm(), nullptr);
    manager->SetIsCustomizing(false);
    EXPECT_EQ(GetCustomizingForm(), nullptr);
    EXPECT_TRUE(IsWindowEnabled(form.Handle()));
    manager->SetIsCustomizing(true);
    delete manager;
    manager = new TdxBarManager(&form);
    EXPECT_EQ(GetCustomizingForm(), nullptr);
    EXPECT_TRUE(IsWindowEnabled(form.Handle()));
}

TEST_F(CustomizingFormTest, AFormThatWentWhileTheWindowWasOpenIsNotEnabledAgain) {
    auto* other = new OwnerForm;
    other->SetBounds(400, 40, 200, 150);
    new TdxBarManager(other);
    other->Show();
    Pump();
    const HWND otherWindow = other->Handle();
    manager->SetIsCustomizing(true);
    EXPECT_FALSE(IsWindowEnabled(otherWindow));
    delete other;
    EXPECT_FALSE(IsWindow(otherWindow));
    // A window made now must not be touched through the dead handle.
    OwnerForm later;
    later.Show();
    EnableWindow(later.Handle(), false);
    GetCustomizingForm()->BClose->Click();
    Pump();
    EXPECT_TRUE(IsWindowEnabled(form.Handle()));
    EXPECT_FALSE(IsWindowEnabled(later.Handle()));
}

TEST_F(CustomizingFormTest, ToolbarButtonsFollowTheBarAndCommandsTheCategory) {
    TdxBar* hidden = Bar(manager, "Hidden");
    hidden->SetHidden(true);
    Bar(manager, "Off", false);
    TdxBar* predefined = Bar(manager, "Standard");
    predefined->ApplyLoadedState();
    predefined->SetVisible(true);
    TdxBar* mine = Bar(manager, "Mine");
    manager->Categories()->Add("Edit");
    auto* cut = new TdxBarButton(&form);
    cut->SetBarManager(manager);
    cut->SetCaption("Cu&t");
    cut->SetDescription("Removes the selection");
    cut->SetCategory(1);
    manager->SetIsCustomizing(true);
    TdxBarCustomizingForm* window = GetCustomizingForm();
    ASSERT_NE(window, nullptr);

    // The hidden bar is not listed; the first listed bar that shows is chosen.
    ASSERT_EQ(window->BarsListBox->Items().Count(), 3);
    EXPECT_EQ(window->BarsListBox->ItemIndex(), 1);
    EXPECT_FALSE(window->BBarDelete->Enabled());
    EXPECT_TRUE(window->BBarReset->Enabled());
    window->BarsListBox->SetItemIndex(2);
    window->BarsListBoxClick();
    EXPECT_EQ(window->BarsListBox->BarOf(2), mine);
    EXPECT_TRUE(window->BBarDelete->Enabled());
    EXPECT_FALSE(window->BBarReset->Enabled());
    mine->SetAllowClose(false);
    window->BarsListBoxClick();
    EXPECT_FALSE(window->BBarDelete->Enabled());

    ASSERT_EQ(window->LCategories->Items().Count(), 2);
    EXPECT_EQ(window->CommandsListBox->Items().Count(), 0);
    window->LCategories->SetItemIndex(1);
    window->LCategoriesClick();
    ASSERT_EQ(window->CommandsListBox->Items().Count(), 1);
    EXPECT_EQ(window->CommandsListBox->ItemOf(0), cut);
    window->CommandsListBox->SetItemIndex(0);
    window->LCommandsClick();
    EXPECT_EQ(window->DescriptionLabel->Caption(), "Removes the selection");

    // The options write through to the manager and come back from it.
    window->CBHint1->SetChecked(!manager->ShowHint());
    EXPECT_EQ(window->CBHint1->Checked(), manager->ShowHint());
    EXPECT_EQ(window->CBHint2->Enabled(), manager->ShowHint());
}

} // namespace

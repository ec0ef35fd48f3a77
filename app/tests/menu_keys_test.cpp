// The main window driven from the keyboard: the menus' shortcuts and the menu bar's letters from any
// control, Alt and F10 entering the menu bar, and each Alt+letter doing one thing on every page.
#include <filesystem>
#include <vector>

#include "app/core/map_profile.h"
#include "app/main_form.h"
#include "app/site_map_options_form.h"
#include "bars/core/bar_button.h"
#include "bars/core/bar_manager.h"
#include "bars/core/bar_routines.h"
#include "bars/core/sub_item.h"
#include "bars/core/toolbar.h"
#include "bars/windows/item_control.h"
#include "bars/windows/toolbar_control.h"
#include "controls/rz_buttons.h"
#include "controls/rz_edits.h"
#include "controls/rz_page_control.h"
#include "dialog_hook.h"
#include "main_form_fixture.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "shellcontrols/rz_tree_view.h"

namespace app_test {
namespace {

class MenuKeysTest : public MainFormTest {
protected:
    void Stroke(BYTE vk, std::initializer_list<BYTE> held = {}) {
        for (BYTE k : held)
            pw::gui::SimulateKey(k, true);
        pw::gui::SimulateKeyStroke(vk);
        for (auto it = std::rbegin(held); it != std::rend(held); ++it)
            pw::gui::SimulateKey(*it, false);
        Pump();
    }
    bars::TdxBarControl* MenuBar() const {
        return dynamic_cast<bars::TdxBarControl*>(form_->barMainMenu->Control());
    }
    // Every item of the bars that runs, in order.
    void RecordClicks() {
        form_->dxBarManager1->OnClickItem = [this](TObject*, TdxBarItem* Item) { clicked.push_back(Item); };
    }
    std::vector<TdxBarItem*> clicked;
};

TEST_F(MenuKeysTest, TheMenusShortcutsWorkFromEveryControlOfTheWindow) {
    Start({MakeSampleProfile("sample.qpw", dir_ / "out")});
    RecordClicks();
    for (TWinControl* control : std::initializer_list<TWinControl*>{form_->editWebsite, form_->editIndex,
                                                                    form_->btnNext, form_->optLocal}) {
        control->SetFocus();
        Pump();
        const size_t asked = prompter_->Asked.size();
        prompter_->File("");
        Stroke('O', {VK_CONTROL});
        ASSERT_EQ(prompter_->Asked.size(), asked + 1) << control->Name();
        EXPECT_EQ(prompter_->Asked.back().kind, pw::vcl::PromptKind::OpenFile);
        prompter_->File("");
        Stroke('S', {VK_CONTROL, VK_SHIFT});
        ASSERT_EQ(prompter_->Asked.size(), asked + 2) << control->Name();
        EXPECT_EQ(prompter_->Asked.back().kind, pw::vcl::PromptKind::SaveFile);
    }
    // Ctrl+S saves the named profile without asking.
    form_->editWebsite->SetFocus();
    form_->Profile().SetModified(true);
    Stroke('S', {VK_CONTROL});
    EXPECT_FALSE(form_->Profile().Modified());
    EXPECT_EQ(clicked, (std::vector<TdxBarItem*>{form_->miOpen, form_->miSaveAs, form_->miOpen,
                                                 form_->miSaveAs, form_->miOpen, form_->miSaveAs,
                                                 form_->miOpen, form_->miSaveAs, form_->miSave}));
    // The shortcut went no further: the edit holds no "s".
    EXPECT_EQ(form_->editWebsite->Text().find('s', 8), std::string::npos);
}

TEST_F(MenuKeysTest, AltAndF10EnterTheMenuBarAndItsLettersComeBeforeTheControls) {
    Start({MakeSampleProfile("sample.qpw", dir_ / "out")});
    RecordClicks();
    DialogHook hook;
    int ftpPage = -1;
    hook.On<TfrmSiteMapOptions>([&](TfrmSiteMapOptions& f) {
        ftpPage = f.pcMain->ActivePageIndex();
        f.btnCancel->Click();
    });
    form_->editWebsite->SetFocus();
    Pump();
    for (BYTE key : {VK_MENU, VK_F10}) {
        Stroke(key);
        ASSERT_TRUE(MenuBar()->InKeyboardMode());
        EXPECT_EQ(MenuBar()->Selected()->Item(), static_cast<TdxBarItem*>(form_->mnuFile));
        EXPECT_TRUE(form_->editWebsite->Focused());
        Stroke(VK_ESCAPE);
        EXPECT_FALSE(MenuBar()->InKeyboardMode());
        EXPECT_EQ(GetActiveBarControl(), nullptr);
    }
    // Alt+F is the File menu's, no longer the FTP settings button's.
    Stroke('F', {VK_MENU});
    EXPECT_EQ(hook.Count(), 0);
    EXPECT_TRUE(MenuBar()->InKeyboardMode());
    EXPECT_EQ(MenuBar()->Selected()->Item(), static_cast<TdxBarItem*>(form_->mnuFile));
    Stroke(VK_ESCAPE);
    // The button has a letter of its own.
    Stroke('E', {VK_MENU});
    EXPECT_EQ(hook.Count(), 1);
    EXPECT_EQ(ftpPage, 2);
    EXPECT_TRUE(clicked.empty());
}

TEST_F(MenuKeysTest, EachAltLetterDoesOneThingOnEveryPage) {
    const fs::path out = dir_ / "out";
    Start({MakeSampleProfile("sample.qpw", out)});
    RecordClicks();
    DialogHook hook;
    std::vector<int> optionPages;
    hook.On<TfrmSiteMapOptions>([&](TfrmSiteMapOptions& f) {
        optionPages.push_back(f.pcMain->ActivePageIndex());
        f.btnCancel->Click();
    });
    // Alt+P: the options, from the first page and from the results.
    form_->editWebsite->SetFocus();
    Pump();
    Stroke('P', {VK_MENU});
    ASSERT_EQ(optionPages.size(), 1u);
    form_->ButtonClick(form_->btnNext);
    ASSERT_EQ(form_->PageIndex(), 2);
    form_->tvMap->SetFocus();
    Pump();
    Stroke('P', {VK_MENU});
    ASSERT_EQ(optionPages.size(), 2u);
    EXPECT_EQ(optionPages[0], optionPages[1]);
    EXPECT_EQ(clicked, (std::vector<TdxBarItem*>{form_->miOptions, form_->miOptions}));
    // Alt+S on the results is the wizard's Save: the site map is written, the toolbar's Save is not run.
    clicked.clear();
    ASSERT_FALSE(fs::exists(out / "sitemap.html"));
    Stroke('S', {VK_MENU});
    EXPECT_TRUE(fs::exists(out / "sitemap.html"));
    EXPECT_TRUE(clicked.empty());
}

} // namespace
} // namespace app_test

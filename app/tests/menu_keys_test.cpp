// The main window driven from the keyboard: the menus' shortcuts and the menu bar's letters from any
// control, Alt and F10 entering the menu bar, and each Alt+letter doing one thing on every page.
#include <filesystem>
#include <vector>

#include "app/core/map_profile.h"
#include "app/main_form.h"
#include "app/site_map_item_prop_form.h"
#include "app/site_map_options_form.h"
#include "bars/core/bar_button.h"
#include "bars/core/bar_manager.h"
#include "bars/core/bar_routines.h"
#include "bars/core/item_links.h"
#include "bars/core/popup_menu.h"
#include "bars/core/sub_item.h"
#include "bars/core/toolbar.h"
#include "bars/windows/item_control.h"
#include "bars/windows/sub_menu_control.h"
#include "bars/windows/toolbar_control.h"
#include "controls/rz_buttons.h"
#include "controls/rz_edits.h"
#include "controls/rz_page_control.h"
#include "dialog_hook.h"
#include "main_form_fixture.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/paint.h"
#include "platform/gui/screenshot.h"
#include "platform/gui/window.h"
#include "platform/rtl/paths.h"
#include "platform/stdctrls/image.h"
#include "shellcontrols/rz_tree_view.h"

namespace app_test {
namespace {

// One step a person takes once a popup menu's own loop runs, from a timer as a hand would.
std::function<void()> step;
void Soon(std::function<void()> Step) {
    step = std::move(Step);
    SetTimer(nullptr, 0, 1, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        const std::function<void()> now = std::move(step);
        step = nullptr;
        if (now) now();
    });
}

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
    // The open menu window of a sub-item, nullptr when closed.
    bars::TdxBarSubMenuControl* MenuOf(TdxBarSubItem* Item) const {
        auto* menu = dynamic_cast<bars::TdxBarSubMenuControl*>(Item->ItemLinks()->BarControl());
        return menu != nullptr && menu->Handle() != nullptr && IsWindowVisible(menu->Handle()) ? menu
                                                                                               : nullptr;
    }
    TdxBarItem* SelectedIn(bars::TdxBarSubMenuControl* Menu) const {
        return Menu != nullptr && Menu->Selected() != nullptr ? Menu->Selected()->Item() : nullptr;
    }
    // The window and what is open over it, as the screen shows them.
    void Shot(const std::string& Name) const {
        const fs::path shots = fs::path(ProgramDir()) / "screenshots";
        fs::create_directories(shots);
        pw::gui::PaintPendingWindows();
        RECT r{0, 0, 0, 0};
        GetWindowRect(form_->Handle(), r);
        r.right += 80;
        r.bottom += 40;
        EXPECT_TRUE(pw::gui::SaveScreenImage(r, (shots / Name).string()));
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
    // Alt+F is the File menu's, no longer the FTP settings button's: the menu drops down.
    Stroke('F', {VK_MENU});
    EXPECT_EQ(hook.Count(), 0);
    EXPECT_TRUE(MenuBar()->InKeyboardMode());
    EXPECT_EQ(MenuBar()->Selected()->Item(), static_cast<TdxBarItem*>(form_->mnuFile));
    EXPECT_EQ(clicked, (std::vector<TdxBarItem*>{form_->mnuFile}));
    // Escape closes the menu, then the menu bar.
    Stroke(VK_ESCAPE);
    Stroke(VK_ESCAPE);
    EXPECT_FALSE(MenuBar()->InKeyboardMode());
    clicked.clear();
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

TEST_F(MenuKeysTest, TheMenusOpenFromTheKeyboardAndRunTheirCommands) {
    Start({MakeSampleProfile("sample.qpw", dir_ / "out")});
    RecordClicks();
    form_->editWebsite->SetFocus();
    Pump();
    // Alt+F drops the File menu with its first line selected; Enter runs it.
    Stroke('F', {VK_MENU});
    ASSERT_NE(MenuOf(form_->mnuFile), nullptr);
    EXPECT_EQ(SelectedIn(MenuOf(form_->mnuFile)), form_->miOpen);
    Shot("menu-file-by-keyboard.png");
    prompter_->File("");
    Stroke(VK_RETURN);
    EXPECT_EQ(MenuOf(form_->mnuFile), nullptr);
    // The menu's entry counts as clicked as its menu opens.
    EXPECT_EQ(clicked, (std::vector<TdxBarItem*>{form_->mnuFile, form_->miOpen}));
    ASSERT_FALSE(prompter_->Asked.empty());
    EXPECT_EQ(prompter_->Asked.back().kind, pw::vcl::PromptKind::OpenFile);
    EXPECT_EQ(GetActiveBarControl(), nullptr);
    EXPECT_TRUE(form_->editWebsite->Focused());

    // F10, Right to Tools, Down opens it; Escape closes the menu, a second Escape the menu bar.
    Stroke(VK_F10);
    Stroke(VK_RIGHT);
    Stroke(VK_DOWN);
    ASSERT_NE(MenuOf(form_->mnuTools), nullptr);
    EXPECT_EQ(SelectedIn(MenuOf(form_->mnuTools)), form_->miOptions);
    Shot("menu-tools-by-keyboard.png");
    Stroke(VK_ESCAPE);
    EXPECT_EQ(MenuOf(form_->mnuTools), nullptr);
    if (MenuBar()->InKeyboardMode()) Stroke(VK_ESCAPE);
    EXPECT_FALSE(MenuBar()->InKeyboardMode());
    EXPECT_EQ(GetActiveBarControl(), nullptr);
    // A shortcut of a menu that is closed still works, and runs once.
    Stroke('S', {VK_CONTROL, VK_SHIFT});
    EXPECT_EQ(clicked.back(), form_->miSaveAs);
}

TEST_F(MenuKeysTest, TheTreesPopupMenuOpensAtTheCursorAndClosesOnEscapeOrAClickElsewhere) {
    Start({MakeSampleProfile("sample.qpw", dir_ / "out")});
    form_->ButtonClick(form_->btnNext);
    ASSERT_EQ(form_->PageIndex(), 2);
    TTreeNode* root = form_->tvMap->Items().GetFirstNode();
    ASSERT_NE(root, nullptr);
    const TRect label = root->DisplayRect(true);
    POINT onRoot{(label.left + label.right) / 2, (label.top + label.bottom) / 2};
    ClientToScreen(form_->tvMap->Handle(), onRoot);
    RECT shown{0, 0, 0, 0};
    bool rename = false;
    auto noteMenu = [&] {
        auto* window = form_->pumResults->ItemLinks()->BarControl();
        if (window != nullptr && window->Handle() != nullptr) GetWindowRect(window->Handle(), shown);
        rename = form_->miRename->Enabled();
    };
    // A right click on the root: the menu at the cursor, what suits the root enabled; Escape closes it.
    Soon([&] {
        noteMenu();
        Shot("tree-popup-menu.png");
        pw::gui::SimulateKeyStroke(VK_ESCAPE);
    });
    pw::gui::SimulateClick(onRoot, pw::gui::MouseButton::Right);
    Pump();
    EXPECT_EQ(shown.left, onRoot.x);
    EXPECT_EQ(shown.top, onRoot.y);
    EXPECT_TRUE(rename);
    EXPECT_FALSE(form_->miDelete->Enabled());
    EXPECT_FALSE(form_->pumResults->IsShowing());
    EXPECT_EQ(form_->pumResults->ItemLinks()->BarControl(), nullptr);

    // The menu key with the focus on the tree: at the cursor too; a click on the header closes it.
    form_->tvMap->SetFocus();
    SetCursorPos(onRoot.x + 30, onRoot.y + 10);
    shown = RECT{0, 0, 0, 0};
    POINT outside{form_->imgLogo->Left() + 5, form_->imgLogo->Top() + 5};
    ClientToScreen(form_->Handle(), outside);
    Soon([&] {
        noteMenu();
        pw::gui::SimulateClick(outside);
    });
    Stroke(VK_APPS);
    Pump();
    EXPECT_EQ(shown.left, onRoot.x + 30);
    EXPECT_FALSE(form_->pumResults->IsShowing());
    EXPECT_EQ(GetActiveBarControl(), nullptr);

    // A command of the menu runs on the node it was opened on.
    Soon([&] {
        pw::gui::SimulateKeyStroke(VK_END);
        pw::gui::SimulateKeyStroke(VK_RETURN);
    });
    DialogHook hook;
    hook.On<TfrmSiteMapItemProp>([](TfrmSiteMapItemProp& f) { f.SetModalResult(mrCancel); });
    pw::gui::SimulateClick(onRoot, pw::gui::MouseButton::Right);
    Pump();
    EXPECT_EQ(hook.Count(), 1) << "Properties... opened the item properties";
}

} // namespace
} // namespace app_test

// The main window's bar manager: its menus, toolbar and the result tree's popup menu, their state and
// their commands.
#include <string>
#include <vector>

#include "app/main_form.h"
#include "app/results/result_tree.h"
#include "bars/core/bar_button.h"
#include "bars/core/bar_manager.h"
#include "bars/core/item_links.h"
#include "bars/core/popup_menu.h"
#include "bars/core/sub_item.h"
#include "bars/core/toolbars.h"
#include "controls/rz_buttons.h"
#include "main_form_fixture.h"
#include "platform/rtl/component_stream.h"
#include "platform/rtl/object_text.h"
#include "platform/rtl/stream.h"
#include "platform/rtl/string_list.h"
#include "platform/rtl/string_stream.h"
#include "platform/stdctrls/tree_view.h"
#include "shellcontrols/rz_tree_view.h"

namespace app_test {
namespace {

std::string Captions(TdxBarItemLinks* links) {
    std::string text;
    for (TdxBarItemLink* link : links->ShownLinks())
        text += std::string(text.empty() ? "" : " ") + (link->BeginGroup() ? "| " : "") + link->Caption();
    return text;
}

TEST_F(MainFormTest, MenusTheMenuBarToolbarAndPopupMenuAreBuiltAsTheFormStoresThem) {
    Start();
    TdxBarManager* manager = form_->dxBarManager1;
    ASSERT_NE(manager, nullptr);
    EXPECT_EQ(manager->GetEffectivePaintStyle(), bmsFlat);
    EXPECT_TRUE(manager->LargeIcons());
    EXPECT_FALSE(manager->ComponentState().Contains(csLoading));
    ASSERT_EQ(manager->Bars()->Count(), 2);
    TdxBar* menuBar = form_->barMainMenu;
    EXPECT_EQ(manager->MainMenuBar(), menuBar);
    EXPECT_TRUE(menuBar->MultiLine());
    for (TdxBar* bar : {menuBar, form_->barMainToolbar}) {
        EXPECT_EQ(bar->DockingStyle(), dsTop);
        EXPECT_TRUE(bar->Visible());
        EXPECT_FALSE(bar->AllowClose() || bar->AllowCustomizing() || bar->AllowQuickCustomizing() ||
                     bar->AllowReset());
    }
    EXPECT_EQ(Captions(menuBar->ItemLinks()), "&File &Tools &Help");
    EXPECT_EQ(Captions(form_->mnuFile->ItemLinks()), "&Open... &Save Sa&ve As... | E&xit");
    EXPECT_EQ(Captions(form_->mnuTools->ItemLinks()), "&Options... | FTP Upload...");
    EXPECT_EQ(Captions(form_->mnuHelp->ItemLinks()), "Help... Help Online... Support... | About...");
    EXPECT_EQ(Captions(form_->pumResults->ItemLinks()),
              "Add Folder to Ignore List Add File to Ignore List | Delete Item and SubItems Edit Item Text | "
              "Properties...");
    EXPECT_EQ(form_->miOpen->ShortCut(), ShortCut('O', TShiftState{ssCtrl}));
    EXPECT_EQ(form_->miSaveAs->ShortCut(), ShortCut('S', TShiftState{ssCtrl, ssShift}));
    // Nothing has been written yet: no upload.
    EXPECT_FALSE(form_->miFTP->Enabled());
    EXPECT_FALSE(form_->FtpEnabled());
    // The accelerators of the menu bar answer their plain letters.
    EXPECT_EQ(menuBar->ItemLinks()->FindAccelLink('T', TShiftState{}, nullptr)->Item(), form_->mnuTools);
    EXPECT_EQ(form_->mnuFile->ItemLinks()->FindAccelLink('X', TShiftState{}, nullptr)->Item(), form_->miExit);
}

TEST_F(MainFormTest, MenusShortcutsAndClicksRunTheWindowsCommands) {
    Start();
    // Ctrl+O through the menu bar opens a profile: the open dialog is asked (and cancelled).
    prompter_->File("");
    EXPECT_TRUE(form_->barMainMenu->ExecuteShortCut(ShortCut('O', TShiftState{ssCtrl})));
    ASSERT_EQ(prompter_->Asked.size(), 1u);
    EXPECT_EQ(prompter_->Asked[0].kind, pw::vcl::PromptKind::OpenFile);
    // The disabled upload command does nothing.
    form_->miFTP->Click();
    EXPECT_EQ(prompter_->Asked.size(), 1u);
    // Exit closes the window.
    form_->miExit->Click();
    EXPECT_FALSE(form_->Visible());
}

TEST_F(MainFormTest, MenusTheTreesPopupMenuOffersWhatSuitsTheNodeAndRunsOnIt) {
    const std::string profile = MakeSampleProfile("sample.qpw", dir_ / "out");
    Start({profile});
    form_->ButtonClick(form_->btnNext);
    ASSERT_EQ(form_->PageIndex(), 2);
    TTreeNode* root = form_->tvMap->Items().GetFirstNode();
    ASSERT_NE(root, nullptr);
    POINT at{5, 5};
    bool handled = false;
    EscapeWhenShown();
    form_->ResultTree().tvMapNodeContextMenu(form_->tvMap, root, at, handled);
    EXPECT_FALSE(form_->miAddIgnoreFolder->Enabled());
    EXPECT_FALSE(form_->miIgnoreFile->Enabled());
    EXPECT_FALSE(form_->miDelete->Enabled());
    EXPECT_TRUE(form_->miRename->Enabled());
    TTreeNode* folder = nullptr;
    for (TTreeNode* node = root->GetFirstChild(); node != nullptr && folder == nullptr;
         node = node->GetNextSibling())
        if (node->ImageIndex() == results::kFolderImage) folder = node;
    ASSERT_NE(folder, nullptr);
    const int before = form_->tvMap->Items().Count();
    EscapeWhenShown();
    form_->ResultTree().tvMapNodeContextMenu(form_->tvMap, folder, at, handled);
    ASSERT_TRUE(form_->miAddIgnoreFolder->Enabled());
    form_->miAddIgnoreFolder->Click();
    EXPECT_LT(form_->tvMap->Items().Count(), before);
    EXPECT_EQ(form_->IgnoreFolderList().Count(), 1);
}

TEST_F(MainFormTest, MenusTheFormStoresItsBarsThroughTheComponentStream) {
    Start();
    TMemoryStream binary;
    WriteComponent(binary, form_);
    binary.SetPosition(0);
    TStringStream text;
    ObjectBinaryToText(binary, text);
    const std::string stored = text.DataString();
    for (const char* expected :
         {"object dxBarManager1: TdxBarManager", "Style = bmsFlat", "LargeIcons = True",
          "Caption = 'Main Menu'", "IsMainMenu = True", "Item = mnuFile", "DockControlHeights = (",
          "Categories.ItemsVisibles = (", "Categories.Visibles = (", "object miFTP: TdxBarButton",
          "Enabled = False", "ShortCut = 16463", "object pumResults: TdxBarPopupMenu", "Item = miProperties"})
        EXPECT_NE(stored.find(expected), std::string::npos) << expected;
}

} // namespace
} // namespace app_test

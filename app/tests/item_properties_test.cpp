// The item-properties window, alone and as the result tree opens it.
#include <filesystem>

#include "app/core/data_rec.h"
#include "app/main_form.h"
#include "app/results/result_tree.h"
#include "app/site_map_item_prop_form.h"
#include "controls/rz_buttons.h"
#include "controls/rz_edits.h"
#include "controls/rz_list_controls.h"
#include "controls/rz_spin_edit.h"
#include "dialog_hook.h"
#include "main_form_fixture.h"
#include "platform/commctrl/common_controls.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/screenshot.h"
#include "platform/gui/system.h"
#include "platform/rtl/paths.h"
#include "platform/rtl/scope_guard.h"
#include "platform/rtl/sync.h"
#include "platform/stdctrls/buttons.h"
#include "platform/stdctrls/label.h"
#include "shellcontrols/rz_tree_view.h"

namespace app_test {
namespace {

using ItemPropertiesTest = MainFormTest;

void Keys(std::initializer_list<BYTE> keys) {
    for (BYTE key : keys)
        pw::gui::SimulateKeyStroke(key);
}

TEST_F(ItemPropertiesTest, TheWindowsOwnRules) {
    DialogHook hook;
    // Enter moves from the text to the address, and Enter there is OK.
    hook.On<TfrmSiteMapItemProp>([](TfrmSiteMapItemProp& f) {
        EXPECT_EQ(f.lblLinkFileName->Caption(), "http://site/a/page.html");
        EXPECT_EQ(f.cboChangeFreq->ItemIndex(), 0) << "unspecified";
        EXPECT_FALSE(f.chkApplySubPropDef->Enabled());
        f.chkApplySubProp->SetChecked(true);
        EXPECT_TRUE(f.chkApplySubPropDef->Enabled());
        f.chkApplySubPropDef->SetChecked(true);
        f.editLinkText->SetFocus();
        f.editLinkText->SetText("");
        Keys({'N', 'E', 'W', VK_RETURN});
        Pump();
        EXPECT_TRUE(f.editLinkURL->Focused());
        EXPECT_EQ(f.ModalResult(), mrNone);
        f.spinPriority->SetValue(0.8L);
        f.cboChangeFreq->SetItemIndex(-1);
        Keys({VK_RETURN});
    });
    std::string text = "Page", url = "http://site/a/page.html";
    bool onlyDefaults = false, apply = false;
    double priority = 0.5;
    uint8_t freq = 0;
    ASSERT_TRUE(EditItemProperties(url, text, url, onlyDefaults, apply, priority, freq));
    EXPECT_EQ(text, "new");
    EXPECT_EQ(url, "http://site/a/page.html");
    EXPECT_TRUE(apply);
    EXPECT_TRUE(onlyDefaults);
    EXPECT_DOUBLE_EQ(priority, 0.8);
    EXPECT_EQ(freq, 0) << "no entry chosen is unspecified";

    // Cancel changes nothing; several nodes leave the texts alone.
    hook.Clear();
    hook.On<TfrmSiteMapItemProp>([](TfrmSiteMapItemProp& f) {
        if (f.lblLinkFileName->Caption() == "Multiple Files Selected") {
            EXPECT_FALSE(f.editLinkText->Enabled());
            EXPECT_FALSE(f.editLinkURL->Enabled());
            f.cboChangeFreq->SetItemIndex(3);
            f.btnOk->Click();
        } else {
            f.editLinkText->SetText("changed");
            f.btnCancel->Click();
        }
    });
    std::string cancelled = "kept";
    EXPECT_FALSE(EditItemProperties("one", cancelled, url, onlyDefaults, apply, priority, freq));
    EXPECT_EQ(cancelled, "kept");
    std::string many = "Multiple Files Selected";
    std::string manyUrl = many;
    ASSERT_TRUE(EditItemProperties(many, many, manyUrl, onlyDefaults, apply, priority, freq));
    EXPECT_EQ(many, "Multiple Files Selected");
    EXPECT_EQ(freq, 3);
}

// OK is no default button: Enter closes the window from the address alone, and elsewhere (the frequency
// list, the check boxes) it ends nothing. Cancel is the cancel button: Escape cancels from anywhere.
TEST_F(ItemPropertiesTest, EnterClosesFromTheAddressOnlyAndEscapeCancels) {
    DialogHook hook;
    std::string where;
    hook.On<TfrmSiteMapItemProp>([&](TfrmSiteMapItemProp& f) {
        EXPECT_FALSE(f.btnOk->Default());
        EXPECT_TRUE(f.btnCancel->Cancel());
        if (where == "frequency") {
            f.cboChangeFreq->SetFocus();
            Pump();
            Keys({VK_DOWN, VK_RETURN});
            Pump();
            EXPECT_EQ(f.ModalResult(), mrNone) << "Enter in the frequency list";
            f.chkApplySubProp->SetFocus();
            Pump();
            Keys({VK_RETURN});
            Pump();
            EXPECT_EQ(f.ModalResult(), mrNone) << "Enter in a check box";
            // The link text moves on to the address rather than closing; Enter there is OK.
            f.editLinkText->SetFocus();
            Pump();
            Keys({VK_RETURN});
            Pump();
            EXPECT_EQ(f.ModalResult(), mrNone);
            EXPECT_TRUE(f.editLinkURL->Focused());
            Keys({VK_RETURN});
        } else {
            f.spinPriority->SetFocus();
            Pump();
            Keys({VK_ESCAPE});
        }
        Pump();
        // A key that closed nothing: the window is closed for the next case, and the case fails below.
        if (f.ModalResult() == mrNone) {
            ADD_FAILURE() << "the keys in " << where << " closed nothing";
            f.SetModalResult(mrAbort);
        }
    });
    std::string text = "Page", url = "http://site/page.html";
    bool onlyDefaults = false, apply = false;
    double priority = 0.5;
    uint8_t freq = cfWeekly;
    where = "frequency";
    ASSERT_TRUE(EditItemProperties(url, text, url, onlyDefaults, apply, priority, freq));
    EXPECT_EQ(freq, cfWeekly + 1);
    EXPECT_FALSE(apply) << "Enter in the check box ticks nothing";
    where = "priority";
    EXPECT_FALSE(EditItemProperties(url, text, url, onlyDefaults, apply, priority, freq));
    EXPECT_EQ(hook.Count(), 2);
}

TEST_F(ItemPropertiesTest, DoubleClickAndAltEnterOnTheTreeEditTheNodes) {
    Start({MakeSampleProfile("sample.qpw", dir_ / "out")});
    form_->ButtonClick(form_->btnNext);
    ASSERT_EQ(form_->PageIndex(), 2);
    TRzTreeView& tree = *form_->tvMap;
    TTreeNode* root = tree.Items().GetFirstNode();
    ASSERT_NE(root, nullptr);
    TTreeNode* folder = nullptr;
    for (int i = 0; i < tree.Items().Count() && !folder; ++i)
        if (tree.Items()[i]->HasChildren() && tree.Items()[i] != root) folder = tree.Items()[i];
    ASSERT_NE(folder, nullptr);

    DialogHook hook;
    const std::filesystem::path shots = std::filesystem::path(ProgramDir()) / "screenshots";
    std::filesystem::create_directories(shots);
    hook.On<TfrmSiteMapItemProp>([&](TfrmSiteMapItemProp& f) {
        Pump();
        EXPECT_TRUE(pw::gui::SaveWindowImage(f.Handle(), (shots / "item-properties.png").string()));
        EXPECT_EQ(f.lblLinkFileName->Caption(), results::TResultTree::Rec(folder)->URL);
        f.editLinkText->SetText("Our Products");
        f.editLinkURL->SetText("http://www.meadowbrook.example/products/");
        f.cboChangeFreq->SetItemIndex(cfDaily);
        f.spinPriority->SetValue(0.9L);
        f.chkApplySubProp->SetChecked(true);
        f.btnOk->Click();
    });
    tree.Select({folder});
    tree.OnDblClick(&tree);
    Pump();
    ASSERT_EQ(hook.Count(), 1);
    EXPECT_EQ(folder->Text(), "Our Products");
    const TDataRec* rec = results::TResultTree::Rec(folder);
    EXPECT_EQ(rec->Text, "Our Products");
    EXPECT_EQ(rec->Loc, "http://www.meadowbrook.example/products/");
    EXPECT_EQ(rec->ChangeFreq, cfDaily);
    // The line under the tree shows the node as it is now, without another selection first.
    EXPECT_EQ(form_->lblLinkFileName->Caption(), std::string(rec->URL) + "  [Change Freq: Daily Pri: 0.9]");
    for (int i = 0; i < folder->Count(); ++i) {
        EXPECT_EQ(results::TResultTree::Rec(folder->Item(i))->ChangeFreq, cfDaily);
        EXPECT_DOUBLE_EQ(results::TResultTree::Rec(folder->Item(i))->Priority, 0.9);
    }

    // Alt+Enter with two nodes selected: frequency and priority for both, texts kept.
    TTreeNode* child = folder->Item(0);
    const std::string childText(results::TResultTree::Rec(child)->Text.View());
    hook.Clear();
    hook.On<TfrmSiteMapItemProp>([](TfrmSiteMapItemProp& f) {
        EXPECT_EQ(f.lblLinkFileName->Caption(), "Multiple Files Selected");
        f.cboChangeFreq->SetItemIndex(cfNever);
        f.btnOk->Click();
    });
    tree.Select({root, child});
    tree.SetFocus();
    Pump();
    pw::gui::SimulateKey(VK_MENU, true);
    pw::gui::SimulateKeyStroke(VK_RETURN);
    pw::gui::SimulateKey(VK_MENU, false);
    Pump();
    EXPECT_EQ(hook.Count(), 2);
    EXPECT_EQ(results::TResultTree::Rec(root)->ChangeFreq, cfNever);
    EXPECT_EQ(results::TResultTree::Rec(child)->ChangeFreq, cfNever);
    EXPECT_EQ(results::TResultTree::Rec(child)->Text, childText);
    EXPECT_EQ(form_->PageIndex(), 2) << "Alt+Enter presses no wizard button";

    // Alt let go before Enter, as fingers often do: still Alt+Enter.
    hook.Clear();
    hook.On<TfrmSiteMapItemProp>([](TfrmSiteMapItemProp& f) { f.btnCancel->Click(); });
    tree.Select({child});
    Pump();
    pw::gui::SimulateKey(VK_MENU, true);
    pw::gui::SimulateKey(VK_RETURN, true, U'\r');
    pw::gui::SimulateKey(VK_MENU, false);
    pw::gui::SimulateKey(VK_RETURN, false);
    Pump();
    EXPECT_EQ(hook.Count(), 3);
}

// A click on an item, a pause, a double click on it: the first click of the pair starts no label edit
// under the item's window, so none is left to write the old text back over the one given there.
TEST_F(ItemPropertiesTest, ADoubleClickOnTheChosenItemLeavesNoLabelEdit) {
    Start({MakeSampleProfile("sample.qpw", dir_ / "out")});
    form_->ButtonClick(form_->btnNext);
    TRzTreeView& tree = *form_->tvMap;
    TTreeNode* node = tree.Items().GetFirstNode()->Item(0);
    const TRect label = node->DisplayRect(true);
    const TPoint at = tree.ClientToScreen(TPoint{label.left + 3, label.top + 3});
    const UINT oldTime = GetDoubleClickTime();
    SetDoubleClickTime(40);
    ScopeGuard restore([oldTime] { SetDoubleClickTime(oldTime); });
    auto editBox = [&] { return SendMessage(tree.Handle(), TVM_GETEDITCONTROL, 0, 0); };
    DialogHook hook;
    hook.On<TfrmSiteMapItemProp>([&](TfrmSiteMapItemProp& f) {
        testsupport::PumpFor(200); // longer than a double click
        EXPECT_EQ(editBox(), 0);
        f.editLinkText->SetText("Our Products");
        f.btnOk->Click();
    });
    pw::gui::SimulateClick(POINT{at.x, at.y});
    Pump();
    Sleep(GetDoubleClickTime() + 2);
    pw::gui::SimulateClick(POINT{at.x, at.y});
    pw::gui::SimulateClick(POINT{at.x, at.y});
    Pump();
    ASSERT_EQ(hook.Count(), 1);
    testsupport::PumpFor(200);
    EXPECT_EQ(editBox(), 0);
    tree.Items().GetFirstNode()->EditText(); // F2 on another item
    Keys({VK_RETURN});
    EXPECT_EQ(results::TResultTree::Rec(node)->Text, "Our Products");
}

} // namespace
} // namespace app_test

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "bars/core/bar_button.h"
#include "bars/core/bar_combo.h"
#include "bars/core/bar_manager.h"
#include "bars/core/item_links.h"
#include "bars/core/popup_menu.h"
#include "bars/core/sub_item.h"
#include "bars/core/toolbars.h"
#include "bars_test_support.h"
#include "lookandfeel/object_links.h"
#include "platform/gui/keys.h"
#include "platform/rtl/string_list.h"
#include "platform/vcl/actions.h"

using namespace bars_test;

namespace {

class ItemsTest : public ::testing::Test {
protected:
    void SetUp() override {
        manager = new TdxBarManager(form.get());
        toolbar = manager->Bars()->Add();
        toolbar->SetCaption("Main Toolbar");
        menu = AddSubItem(form.get(), "mnuFile", "&File");
        open = AddButton(form.get(), "miOpen", "&Open...");
        save = AddButton(form.get(), "miSave", "&Save");
        for (TdxBarItem* item : {static_cast<TdxBarItem*>(open), static_cast<TdxBarItem*>(save)}) {
            toolbar->ItemLinks()->Add()->SetItem(item);
            menu->ItemLinks()->Add()->SetItem(item);
        }
        toolbar->SetVisible(true);
        Log().clear();
    }

    FakeWindows windows;
    std::unique_ptr<TestForm> form = std::make_unique<TestForm>();
    TdxBarManager* manager = nullptr;
    TdxBar* toolbar = nullptr;
    TdxBarSubItem* menu = nullptr;
    TdxBarButton* open = nullptr;
    TdxBarButton* save = nullptr;
};

TEST_F(ItemsTest, EnablingAndHidingReachEveryPlaceTheItemIsLinked) {
    ASSERT_NE(toolbar->Control(), nullptr);
    // The menu has a window too, as if it were open.
    menu->ItemLinks()->CreateBarControl();
    Log().clear();
    open->SetEnabled(false);
    EXPECT_EQ(Joined(), "enabled &Open..., enabled &Open...");
    EXPECT_FALSE(open->Enabled());

    Log().clear();
    open->SetVisible(ivNever);
    for (TdxBarItemLinks* links : {toolbar->ItemLinks(), menu->ItemLinks()}) {
        EXPECT_EQ(links->AvailableItemCount(), 1);
        EXPECT_EQ(links->VisibleLinks().front()->Item(), save);
        EXPECT_EQ(links->ShownLinks().size(), 1u);
        EXPECT_EQ(links->Items(0)->Control(), nullptr);
        // Hidden links go to the end of the recent-use order.
        EXPECT_EQ(links->RecentOrder().back()->Item(), open);
    }
    EXPECT_EQ(FakeItemControl::alive, 2);
    open->SetVisible(ivAlways);
    EXPECT_NE(toolbar->ItemLinks()->Items(0)->Control(), nullptr);
    EXPECT_EQ(toolbar->ItemLinks()->RecentOrder().front()->Item(), open);
    EXPECT_EQ(FakeItemControl::alive, 4);
}

TEST_F(ItemsTest, CustomizingShowsAndEnablesWhatItemsCanBeCustomized) {
    open->SetEnabled(false);
    save->SetVisible(ivInCustomizing);
    EXPECT_FALSE(save->IsVisibleNow());
    manager->ToolbarsPopupClick(1000); // opens customizing
    EXPECT_TRUE(manager->IsCustomizing());
    EXPECT_TRUE(open->Enabled());
    EXPECT_TRUE(save->IsVisibleNow());
    // An item without a category is not customized: its own value holds.
    open->SetCategoryField(-1);
    EXPECT_FALSE(open->Enabled());
}

TEST_F(ItemsTest, TheHintFollowsTheCaptionOnlyWhileItMatchedIt) {
    // An empty hint takes the cleaned caption.
    EXPECT_EQ(open->Hint(), "Open");
    open->SetCaption("&Open File...");
    EXPECT_EQ(open->Hint(), "Open File");
    open->SetHint("Open File|Opens a profile");
    open->SetCaption("Op&en Profile...");
    EXPECT_EQ(open->Hint(), "Open Profile|Opens a profile");
    open->SetHint("Something else");
    open->SetCaption("&Open");
    EXPECT_EQ(open->Hint(), "Something else");
    // A sub-item's hint never follows.
    menu->SetHint("");
    menu->SetCaption("&Tools");
    EXPECT_EQ(menu->Hint(), "");
}

TEST_F(ItemsTest, ClicksReportToTheManagerThenRunTheHandler) {
    std::vector<std::string> order;
    manager->OnClickItem = [&](TdxBarManager*, TdxBarItem* item) {
        order.push_back("manager " + item->Name());
    };
    open->SetOnClick(
        [&](TObject* sender) { order.push_back("item " + static_cast<TdxBarItem*>(sender)->Name()); });
    open->Click();
    EXPECT_EQ(order, (std::vector<std::string>{"manager miOpen", "item miOpen"}));
    // Disabled items, sub-items and window items do not click.
    order.clear();
    open->SetEnabled(false);
    open->Click();
    menu->SetOnClick([&](TObject*) { order.push_back("menu"); });
    menu->Click();
    EXPECT_TRUE(order.empty());
    // An item without a handler and without an action does nothing.
    save->Click();
    EXPECT_EQ(order, std::vector<std::string>{"manager miSave"});
}

TEST_F(ItemsTest, AnActionRunsOnceWhetherTheHandlerIsItsOwnOrNot) {
    TCustomAction action(nullptr);
    int executed = 0;
    action.SetOnExecute([&](TObject*) { ++executed; });
    action.SetCaption("&Save Profile");
    action.SetShortCut(ShortCut('S', TShiftState{ssCtrl}));
    save->SetAction(&action);
    // The item took the action's caption, shortcut and handler.
    EXPECT_EQ(save->Caption(), "&Save Profile");
    EXPECT_EQ(save->ShortCut(), ShortCut('S', TShiftState{ssCtrl}));
    save->Click();
    EXPECT_EQ(executed, 1);
    // The action's later changes reach the item; its own handler runs instead of the action's.
    action.SetEnabled(false);
    EXPECT_FALSE(save->Enabled());
    action.SetEnabled(true);
    int own = 0;
    save->SetOnClick([&](TObject*) { ++own; });
    save->Click();
    EXPECT_EQ(executed, 1);
    EXPECT_EQ(own, 1);
    // Written back to an action, the item gives its own values.
    TCustomAction copy(nullptr);
    save->SetCaption("&Keep");
    copy.Assign(save);
    EXPECT_EQ(copy.Caption(), "&Keep");
    save->SetAction(nullptr);
    EXPECT_EQ(save->Action(), nullptr);
}

TEST_F(ItemsTest, AHandlerMayFreeTheItemItWasClickedFrom) {
    TcxObjectLinkPtr alive = MakeObjectLink(open);
    open->SetOnClick([this](TObject* sender) {
        delete static_cast<TdxBarItem*>(sender);
        open = nullptr;
    });
    open->Click();
    EXPECT_EQ(alive->Ref, nullptr);
    EXPECT_EQ(toolbar->ItemLinks()->Count(), 1);
    EXPECT_EQ(menu->ItemLinks()->Count(), 1);
    // The manager's click report may free it too.
    manager->OnClickItem = [](TdxBarManager*, TdxBarItem* item) { delete item; };
    save->SetOnClick([](TObject*) { FAIL() << "the freed item's handler ran"; });
    save->Click();
    EXPECT_EQ(toolbar->ItemLinks()->Count(), 0);
}

TEST_F(ItemsTest, CheckButtonsOfAGroupExcludeEachOther) {
    TdxBarButton* buttons[3];
    for (int i = 0; i < 3; ++i) {
        buttons[i] = AddButton(form.get(), "btnCheck" + std::to_string(i), "Check");
        buttons[i]->SetButtonStyle(bsChecked);
        buttons[i]->SetGroupIndex(1);
    }
    buttons[0]->SetDown(true);
    buttons[1]->Click();
    EXPECT_FALSE(buttons[0]->Down());
    EXPECT_TRUE(buttons[1]->Down());
    // The down button of a group without AllowAllUp stays down.
    buttons[1]->Click();
    EXPECT_TRUE(buttons[1]->Down());
    buttons[2]->SetAllowAllUp(true);
    EXPECT_TRUE(buttons[0]->AllowAllUp());
    buttons[1]->Click();
    EXPECT_FALSE(buttons[1]->Down());
    // A plain button keeps no group and never goes down.
    open->SetGroupIndex(4);
    EXPECT_EQ(open->GroupIndex(), 0);
    open->SetDown(true);
    EXPECT_FALSE(open->Down());
}

TEST_F(ItemsTest, CombosFindEntriesAndKeepTheirIndexInRange) {
    auto* combo = new TdxBarCombo(form.get());
    for (const char* entry : {"a", "abc", "ab", "Beta"})
        combo->Items()->Add(entry);
    EXPECT_EQ(combo->FindItem("ab"), 1);
    EXPECT_EQ(combo->FindItem("AB"), 1);
    EXPECT_EQ(combo->FindItem("abz"), 1);
    EXPECT_EQ(combo->FindItem("be"), 3);
    EXPECT_EQ(combo->FindItem("x"), -1);
    combo->SetItemIndex(3);
    EXPECT_EQ(combo->Text(), "Beta");
    combo->SetItemIndex(5);
    EXPECT_EQ(combo->ItemIndex(), -1);
    EXPECT_EQ(combo->Text(), "");
    combo->SetText("abc");
    EXPECT_EQ(combo->ItemIndex(), 1);
    combo->Items()->Delete(3);
    combo->Items()->Delete(2);
    combo->Items()->Delete(1);
    EXPECT_EQ(combo->ItemIndex(), -1);
    EXPECT_FALSE(combo->CanClicked());
    EXPECT_TRUE(combo->CheckKeyForDropDownWindow(VK_DOWN, TShiftState{}));
    EXPECT_FALSE(combo->CheckKeyForDropDownWindow(VK_DOWN, TShiftState{ssAlt}));
}

TEST(ComboPlacement, AListOpensWhereThereIsRoom) {
    const RECT area{0, 0, 800, 600};
    const SIZE list{200, 150}, control{100, 22};
    // Below the control on a toolbar; above it near the bottom when there is more room above.
    EXPECT_EQ(TCustomdxBarCombo::DropDownPosition(POINT{10, 100}, list, control, false, area).y, 100);
    EXPECT_EQ(TCustomdxBarCombo::DropDownPosition(POINT{10, 500}, list, control, false, area).y, 500 - 172);
    EXPECT_EQ(TCustomdxBarCombo::DropDownPosition(POINT{700, 100}, list, control, false, area).x, 600);
    // In a menu it opens to the left when the right has less room, and never above the work area.
    const POINT inMenu = TCustomdxBarCombo::DropDownPosition(POINT{700, 560}, list, control, true, area);
    EXPECT_EQ(inMenu.x, 700 - 300);
    EXPECT_EQ(inMenu.y, 450);
    EXPECT_EQ(TCustomdxBarCombo::DropDownPosition(POINT{-50, -9}, list, control, true, area).x, 0);
}

} // namespace

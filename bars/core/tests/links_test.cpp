#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "bars/core/bar_button.h"
#include "bars/core/bar_errors.h"
#include "bars/core/bar_manager.h"
#include "bars/core/item_links.h"
#include "bars/core/popup_menu.h"
#include "bars/core/sub_item.h"
#include "bars/core/toolbars.h"
#include "bars_test_support.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "tests/support/thrown_message.h"

using namespace bars_test;
using testsupport::ThrownMessage;

namespace {

class LinksTest : public ::testing::Test {
protected:
    void SetUp() override {
        manager = new TdxBarManager(form.get());
        menu = AddSubItem(form.get(), "mnuFile", "&File");
        for (const char* caption : {"&Open...", "&Save", "Sa&ve As...", "E&xit"})
            Add(caption);
    }
    TdxBarItemLink* Add(const std::string& caption) {
        auto* button = AddButton(form.get(), "btn" + std::to_string(buttons.size()), caption);
        buttons.push_back(button);
        TdxBarItemLink* link = menu->ItemLinks()->Add();
        link->SetItem(button);
        return link;
    }
    TdxBarItemLinks* Links() { return menu->ItemLinks(); }
    std::string Captions(const std::vector<TdxBarItemLink*>& list) {
        std::string text;
        for (TdxBarItemLink* link : list)
            text += (text.empty() ? "" : " ") + link->Item()->Name() + (link->BeginGroup() ? "|" : "");
        return text;
    }

    FakeWindows windows;
    std::unique_ptr<TestForm> form = std::make_unique<TestForm>();
    TdxBarManager* manager = nullptr;
    TdxBarSubItem* menu = nullptr;
    std::vector<TdxBarButton*> buttons;
};

TEST_F(LinksTest, ListsAndGroupSeparatorsFollowVisibility) {
    Links()->Items(1)->SetBeginGroup(true);
    Links()->Items(3)->SetBeginGroup(true);
    EXPECT_EQ(Captions(Links()->ShownLinks()), "btn0 btn1| btn2 btn3|");
    // A hidden link's separator moves to the next shown link; the first shown link never draws one.
    Links()->Items(1)->SetVisible(false);
    EXPECT_EQ(Captions(Links()->AvailableLinks()), "btn0 btn1| btn2| btn3|");
    EXPECT_EQ(Captions(Links()->VisibleLinks()), "btn0 btn2| btn3|");
    buttons[0]->SetVisible(ivNever);
    EXPECT_EQ(Captions(Links()->ShownLinks()), "btn2 btn3|");
    EXPECT_EQ(Links()->Items(2)->AvailableIndex(), 1);
    EXPECT_EQ(Links()->Items(2)->ShownIndex(), 0);
    EXPECT_EQ(Links()->Items(0)->ShownIndex(), -1);
}

TEST_F(LinksTest, RecentUseOrdersLinksAndDecidesHowManyAShortMenuShows) {
    manager->SetStyle(bmsFlat);
    // Each link starts with the threshold as its use count, most recently used first in creation order.
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(Links()->Items(i)->UseCount(), 20);
    EXPECT_EQ(Links()->GetRecentItemCount(), -1); // all equally used: nothing to hide
    Links()->Items(2)->Use(true);
    EXPECT_EQ(Links()->RecentOrder().front(), Links()->Items(2));
    EXPECT_EQ(Links()->Items(2)->UseCount(), 21);
    // Use counts 20, 20, 21, 40: the threshold is 20 + 20 x 5 / 100 = 21.
    Links()->Items(3)->SetUseCount(40);
    Links()->Items(3)->Use(false);
    EXPECT_EQ(Links()->RecentOrder()[0], Links()->Items(3));
    EXPECT_EQ(Links()->RecentOrder()[1], Links()->Items(2));
    EXPECT_EQ(Links()->GetRecentItemCount(), 2);
    Links()->SetRecentItemCount(Links()->GetRecentItemCount());
    EXPECT_EQ(Captions(Links()->ShownLinks()), "btn2 btn3");
    Links()->RestoreRecentItemCount();
    EXPECT_EQ(Links()->ShownLinks().size(), 4u);
    // Making a link visible again brings it to the front without counting a use.
    Links()->Items(0)->SetVisible(false);
    EXPECT_EQ(Links()->RecentOrder().back(), Links()->Items(0));
    Links()->Items(0)->SetVisible(true);
    EXPECT_EQ(Links()->RecentOrder().front(), Links()->Items(0));
    EXPECT_EQ(Links()->Items(0)->UseCount(), 20);
    // An unmarked link starts at the end with no uses.
    Links()->Items(1)->SetMostRecentlyUsed(false);
    EXPECT_EQ(Links()->Items(1)->UseCount(), 0);
    EXPECT_EQ(Links()->RecentOrder().back(), Links()->Items(1));
    // The standard style has no short menus.
    manager->SetStyle(bmsStandard);
    EXPECT_EQ(Links()->GetRecentItemCount(), -1);
    // A menu with no visible links hides nothing.
    manager->SetStyle(bmsFlat);
    for (TdxBarButton* button : buttons)
        button->SetVisible(ivNever);
    EXPECT_EQ(Links()->GetRecentItemCount(), -1);
}

TEST_F(LinksTest, UsingALinkCountsForTheMenusAboveIt) {
    manager->SetStyle(bmsFlat);
    TdxBar* bar = manager->Bars()->Add();
    bar->SetCaption("Main Menu");
    TdxBarItemLink* fileLink = bar->ItemLinks()->Add();
    fileLink->SetItem(menu);
    bar->SetVisible(true);
    ASSERT_NE(fileLink->Control(), nullptr);
    fileLink->SetUseCount(5);
    Links()->Items(3)->Use(true);
    EXPECT_EQ(fileLink->UseCount(), 6);
    EXPECT_EQ(bar->ItemLinks()->RecentOrder().front(), fileLink);
}

TEST_F(LinksTest, AMenuMayNotHoldItself) {
    auto* inner = AddSubItem(form.get(), "mnuRecent", "&Recent");
    Links()->Add()->SetItem(inner);
    TdxBarItemLink* self = Links()->Add();
    EXPECT_EQ(ThrownMessage<EdxBarError>([&] { self->SetItem(menu); }),
              "You cannot create recursive subitems");
    EXPECT_EQ(self->Item(), nullptr);
    TdxBarItemLink* loop = inner->ItemLinks()->Add();
    EXPECT_THROW(loop->SetItem(menu), EdxBarError);
    // A drop-down button whose menu holds the sub-item is refused too.
    auto* popup = new TdxBarPopupMenu(form.get());
    popup->ItemLinks()->Add()->SetItem(menu);
    buttons[0]->SetDropDownMenu(popup);
    auto* unrelated = AddSubItem(form.get(), "mnuHelp", "&Help");
    EXPECT_NO_THROW(unrelated->ItemLinks()->Add()->SetItem(buttons[0]));
    TdxBarItemLink* viaMenu = Links()->Add();
    EXPECT_THROW(viaMenu->SetItem(buttons[0]), EdxBarError);
    EXPECT_TRUE(menu->ItemLinks()->ContainsItem(buttons[1]));
    EXPECT_TRUE(Links()->ContainsItem(inner));
}

TEST_F(LinksTest, AssignFromALinkWithoutItemFreesTheLinkAndTouchesNothingAfter) {
    TdxBarItemLinks other(manager, nullptr);
    TdxBarItemLink* empty = other.Add();
    empty->SetBeginGroup(true);
    TdxBarItemLink* target = Links()->Items(1);
    target->Assign(empty);
    EXPECT_EQ(Links()->Count(), 3);
    EXPECT_EQ(buttons[1]->LinkCount(), 0);
    // From a link with an item every setting comes over.
    TdxBarItemLink* source = other.Add();
    source->SetItem(buttons[3]);
    source->SetUserCaption("Quit");
    source->SetBeginGroup(true);
    Links()->Items(0)->Assign(source);
    EXPECT_EQ(Links()->Items(0)->Item(), buttons[3]);
    EXPECT_EQ(Links()->Items(0)->Caption(), "Quit");
    EXPECT_EQ(Links()->Items(0)->UserDefine(), TdxBarUserDefines{udCaption});
    // The separator that comes over is the one the source draws: none for a first link.
    EXPECT_FALSE(Links()->Items(0)->StoredBeginGroup());
}

TEST_F(LinksTest, AFreedLinkLeavesItsCollectionBeforeItsWindowRebuilds) {
    Links()->CreateBarControl();
    auto* window = static_cast<FakeBarControl*>(Links()->BarControl());
    ASSERT_NE(window, nullptr);
    Log().clear();
    TdxBarItemLink* dying = Links()->Items(2);
    delete dying;
    EXPECT_EQ(Joined(), "rebuild &File");
    EXPECT_EQ(window->shownAtLastRebuild.size(), 3u);
    EXPECT_EQ(Links()->Count(), 3);
    // Clearing the item frees the link the same way.
    Links()->Items(0)->SetItem(nullptr);
    EXPECT_EQ(Links()->Count(), 2);
    EXPECT_EQ(FakeItemControl::alive, 2);
}

TEST_F(LinksTest, ShortcutsClickTheFirstEnabledItemOnceAndSearchSubMenus) {
    std::vector<std::string> clicks;
    for (TdxBarButton* button : buttons)
        button->SetOnClick(
            [&](TObject* sender) { clicks.push_back(static_cast<TdxBarItem*>(sender)->Name()); });
    buttons[0]->SetShortCut(ShortCut('O', TShiftState{ssCtrl}));
    buttons[2]->SetShortCut(ShortCut('S', TShiftState{ssCtrl, ssShift}));
    TdxBar* bar = manager->Bars()->Add();
    bar->ItemLinks()->Add()->SetItem(menu);
    EXPECT_TRUE(bar->ExecuteShortCut(ShortCut('O', TShiftState{ssCtrl})));
    EXPECT_TRUE(bar->ExecuteShortCut(ShortCut('S', TShiftState{ssCtrl, ssShift})));
    EXPECT_FALSE(bar->ExecuteShortCut(ShortCut('S', TShiftState{ssCtrl})));
    EXPECT_EQ(clicks, (std::vector<std::string>{"btn0", "btn2"}));
    buttons[0]->SetEnabled(false);
    EXPECT_FALSE(bar->ExecuteShortCut(ShortCut('O', TShiftState{ssCtrl})));
    // A checked button toggles once per shortcut.
    buttons[2]->SetButtonStyle(bsChecked);
    bar->ExecuteShortCut(ShortCut('S', TShiftState{ssCtrl, ssShift}));
    EXPECT_TRUE(buttons[2]->Down());
}

TEST(Accelerators, LettersAndDigitsAnswerTheirKeyWithOrWithoutShift) {
    struct Case {
        const char* caption;
        WORD key;
        TShiftState shift;
        bool accepted;
    } cases[] = {
        {"&File", 'F', {}, true},
        {"&File", 'F', {ssShift}, true},
        {"&File", 'F', {ssAlt}, true},
        {"&File", 'F', {ssCtrl}, false},
        {"&file", 'F', {ssShift}, true},
        {"E&xit", 'X', {}, true},
        {"E&xit", 'E', {}, false},
        {"&1 Recent", '1', {ssShift}, true},
        {"Save && Close", 'C', {}, false},
        {"Tom && &Jerry", 'J', {}, true},
        {"&A & &B", 'B', {}, true},
        {"&A & &B", 'A', {}, false},
        {"What&?", VK_OEM_2, {ssShift}, true},
        {"What&?", VK_OEM_2, {}, false},
        {"Path &/", VK_OEM_2, {}, true},
        {"No accelerator", 'N', {}, false},
        {"Ends with &", '&', {}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CaptionAcceptsKey(c.caption, c.key, c.shift - TShiftState{ssAlt}), c.accepted)
            << c.caption << " key " << c.key;
}

TEST(Accelerators, ADoubledAmpersandIsTextAndMarksNothing) {
    // Neither the ampersand itself, nor the letter after the pair, nor the space after it.
    EXPECT_FALSE(CaptionAcceptsKey("R&&D", 'D', {}));
    EXPECT_FALSE(CaptionAcceptsKey("R&&D", '7', {ssShift}));
    EXPECT_FALSE(CaptionAcceptsKey("Save && Close", VK_SPACE, {}));
    EXPECT_FALSE(CaptionAcceptsKey("&&&&x", 'X', {}));
    EXPECT_TRUE(CaptionAcceptsKey("R&&&D", 'D', {}));
}

TEST_F(LinksTest, AcceleratorSearchInAMenuStartsAfterTheCurrentLink) {
    Add("&Options");
    // Two captions share O; the search cycles from the link after the current one.
    EXPECT_EQ(Links()->FindAccelLink('O', TShiftState{}, nullptr), Links()->Items(4));
    EXPECT_EQ(Links()->FindAccelLink('O', TShiftState{ssAlt}, Links()->Items(4)), Links()->Items(0));
    EXPECT_EQ(Links()->FindAccelLink('X', TShiftState{ssShift}, Links()->Items(0)), Links()->Items(3));
    buttons[3]->SetEnabled(false);
    EXPECT_EQ(Links()->FindAccelLink('X', TShiftState{}, nullptr), nullptr);
    EXPECT_EQ(Links()->FindAccelLink('Q', TShiftState{}, nullptr), nullptr);
}

TEST_F(LinksTest, ADockedToolbarLaysItselfOutWhenALinkItShowedNotBeforeIsUsed) {
    manager->SetStyle(bmsFlat);
    TdxBar* bar = manager->Bars()->Add();
    bar->SetCaption("Tools");
    bar->SetDockingStyle(dsTop);
    for (TdxBarButton* button : buttons)
        bar->ItemLinks()->Add()->SetItem(button);
    bar->SetVisible(true);
    bar->ItemLinks()->SetRecentItemCount(2);
    Log().clear();
    bar->ItemLinks()->Items(0)->Use(true);
    MSG msg;
    while (PeekMessage(msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessage(msg);
    EXPECT_EQ(Joined(), "relayout Tools");
}

} // namespace

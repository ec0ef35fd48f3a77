#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "bars/core/bar_button.h"
#include "bars/core/bar_manager.h"
#include "bars/core/categories.h"
#include "bars/core/item_links.h"
#include "bars/core/sub_item.h"
#include "bars/core/toolbars.h"
#include "bars_test_support.h"
#include "platform/rtl/string_list.h"
#include "platform/vcl/dialogs.h"

using namespace bars_test;

namespace {

class ToolbarsTest : public ::testing::Test {
protected:
    void SetUp() override {
        manager = new TdxBarManager(form.get());
        manager->SetName("dxBarManager1");
        mainMenu = AddBar("Main Menu");
        mainMenu->SetIsMainMenu(true);
        toolbar = AddBar("Main Toolbar");
        file = AddSubItem(form.get(), "mnuFile", "&File");
        open = AddButton(form.get(), "miOpen", "&Open...");
        exit = AddButton(form.get(), "miExit", "E&xit");
        file->ItemLinks()->Add()->SetItem(open);
        TdxBarItemLink* exitLink = file->ItemLinks()->Add();
        exitLink->SetItem(exit);
        exitLink->SetBeginGroup(true);
        mainMenu->ItemLinks()->Add()->SetItem(file);
        toolbar->ItemLinks()->Add()->SetItem(open);
    }
    TdxBar* AddBar(const std::string& caption) {
        TdxBar* bar = manager->Bars()->Add();
        bar->SetCaption(caption);
        return bar;
    }
    TdxBarManager* Read(TestForm& copy) {
        return dynamic_cast<TdxBarManager*>(copy.FindComponent("dxBarManager1"));
    }

    FakeWindows windows;
    std::unique_ptr<TestForm> form = std::make_unique<TestForm>();
    TdxBarManager* manager = nullptr;
    TdxBar* mainMenu = nullptr;
    TdxBar* toolbar = nullptr;
    TdxBarSubItem* file = nullptr;
    TdxBarButton* open = nullptr;
    TdxBarButton* exit = nullptr;
};

TEST_F(ToolbarsTest, MainMenuAndCaptionRules) {
    EXPECT_EQ(manager->MainMenuBar(), mainMenu);
    EXPECT_TRUE(mainMenu->WholeRow());
    EXPECT_TRUE(mainMenu->MultiLine());
    mainMenu->SetMultiLine(false);
    EXPECT_TRUE(mainMenu->MultiLine());
    // A second main menu takes over from the first.
    toolbar->SetIsMainMenu(true);
    EXPECT_FALSE(mainMenu->IsMainMenu());
    EXPECT_FALSE(mainMenu->MultiLine());
    EXPECT_EQ(manager->MainMenuBar(), toolbar);
    EXPECT_FALSE(toolbar->CanClose());
    toolbar->SetIsMainMenu(false);
    // Captions are unique; the first caption names the bar.
    toolbar->SetCaption("Main Menu");
    EXPECT_EQ(toolbar->Caption(), "Main Toolbar");
    EXPECT_EQ(toolbar->Name(), "Main Toolbar");
    TdxBar* extra = AddBar("Extra");
    extra->SetName("");
    extra->SetCaption("Main Toolbar2");
    extra->SetCaption("Main Toolbar");
    EXPECT_EQ(extra->Caption(), "Main Toolbar2");
    EXPECT_EQ(manager->Bars()->GetUniqueName("Main Toolbar"), "Main Toolbar1");
    // Positions are never negative; a bar that may dock nowhere cannot move.
    toolbar->SetDockedLeft(-5);
    EXPECT_EQ(toolbar->DockedLeft(), 0);
    EXPECT_TRUE(toolbar->CanMove());
    toolbar->SetNotDocking(AllDockingStyles);
    EXPECT_FALSE(toolbar->CanMove());
}

TEST_F(ToolbarsTest, DockingAndVisibilityMakeAndPlaceTheWindow) {
    toolbar->SetDockingStyle(dsTop);
    toolbar->SetDockedLeft(40);
    Log().clear();
    toolbar->SetVisible(true);
    ASSERT_NE(toolbar->Control(), nullptr);
    EXPECT_EQ(Joined(), "docked Main Toolbar 2, insert Main Toolbar at 40,0");
    EXPECT_EQ(toolbar->RealDockControl(), manager->Bars()->DockControls(dsTop));
    // Moving to another side hides and shows the bar around the change.
    Log().clear();
    toolbar->SetDockingStyle(dsLeft);
    EXPECT_EQ(Joined(),
              "save Main Toolbar, docked Main Toolbar 1, insert Main Toolbar at 40,0, docked Main Toolbar 1");
    // Floating: the window takes its floating size at the floating place.
    Log().clear();
    toolbar->SetDockingStyle(dsNone);
    EXPECT_EQ(Joined(), "save Main Toolbar, docked Main Toolbar 0, docked Main Toolbar 0");
    toolbar->SetVisible(false);
    EXPECT_EQ(toolbar->Control(), nullptr);
    EXPECT_EQ(FakeBarControl::alive, 0);
    // A site placed on the form takes the bar with its own side.
    auto* site = new FakeDockControl(form.get(), manager, dsBottom, false);
    site->SetName("dcBottom");
    toolbar->SetDockControl(site);
    EXPECT_EQ(toolbar->DockingStyle(), dsBottom);
    EXPECT_EQ(manager->FindDockControl("dcBottom"), site);
    EXPECT_TRUE(manager->CanDocking(toolbar, dsTop, site));
    // A site that goes leaves the bars that used it.
    delete site;
    EXPECT_EQ(toolbar->DockControl(), nullptr);
}

TEST_F(ToolbarsTest, DockingStateSwitchesAndLinksStreamAndReadBack) {
    toolbar->SetDockingStyle(dsBottom);
    toolbar->SetDockedLeft(12);
    toolbar->SetRow(2);
    toolbar->SetFloatLeft(300);
    toolbar->SetFloatClientWidth(150);
    toolbar->SetAllowClose(false);
    toolbar->SetShowMark(false);
    toolbar->SetNotDocking(TdxBarDockingStyles{dsLeft, dsRight});
    toolbar->SetVisible(true);
    toolbar->ItemLinks()->Items(0)->SetUserCaption("Open profile");
    mainMenu->SetDockingStyle(dsTop);
    mainMenu->SetVisible(true);
    manager->Bars()->DockControls(dsTop)->SetHeight(26);
    manager->Bars()->DockControls(dsLeft)->SetWidth(7);
    open->SetVisible(ivInCustomizing);
    const std::string text = StreamText(*form);
    EXPECT_NE(text.find("DockControlHeights = (\r\n      7\r\n      0\r\n      26\r\n      0)"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("Item = mnuFile"), std::string::npos);

    std::unique_ptr<TestForm> copy = ReadForm(Stream(*form));
    TdxBarManager* read = Read(*copy);
    ASSERT_NE(read, nullptr);
    ASSERT_EQ(read->Bars()->Count(), 2);
    TdxBar* bar = read->Bars()->Items(1);
    EXPECT_EQ(bar->Caption(), "Main Toolbar");
    EXPECT_EQ(bar->DockingStyle(), dsBottom);
    EXPECT_EQ(bar->DockedLeft(), 12);
    EXPECT_EQ(bar->Row(), 2);
    EXPECT_EQ(bar->FloatLeft(), 300);
    EXPECT_EQ(bar->FloatClientWidth(), 150);
    EXPECT_FALSE(bar->AllowClose());
    EXPECT_FALSE(bar->ShowMark());
    EXPECT_EQ(bar->NotDocking(), (TdxBarDockingStyles{dsLeft, dsRight}));
    EXPECT_TRUE(bar->Visible());
    EXPECT_NE(bar->Control(), nullptr);
    EXPECT_TRUE(bar->CreatedFromStream());
    EXPECT_EQ(read->MainMenuBar(), read->Bars()->Items(0));
    EXPECT_EQ(read->Bars()->DockControls(dsTop)->Height(), 26);
    EXPECT_EQ(read->Bars()->DockControls(dsLeft)->Width(), 7);
    // The links point at the copy's own items, with their own settings.
    auto* copyFile = dynamic_cast<TdxBarSubItem*>(copy->FindComponent("mnuFile"));
    ASSERT_NE(copyFile, nullptr);
    EXPECT_EQ(read->Bars()->Items(0)->ItemLinks()->Items(0)->Item(), copyFile);
    ASSERT_EQ(copyFile->ItemLinks()->Count(), 2);
    EXPECT_TRUE(copyFile->ItemLinks()->Items(1)->StoredBeginGroup());
    EXPECT_EQ(bar->ItemLinks()->Items(0)->Caption(), "Open profile");
    EXPECT_EQ(copyFile->ItemLinks()->Items(0)->Item()->Visible(), ivInCustomizing);
    EXPECT_EQ(bar->ItemLinks()->ShownLinks().size(), 0u);
}

TEST_F(ToolbarsTest, ResetBringsBackTheDesignedLinksAndSwitches) {
    toolbar->SetDockingStyle(dsTop);
    toolbar->SetVisible(true);
    const std::vector<uint8_t> designed = Stream(*form);
    // The user changes the bar.
    toolbar->ItemLinks()->Add()->SetItem(exit);
    toolbar->ItemLinks()->Items(0)->SetVisible(false);
    toolbar->SetRow(3);
    toolbar->SetAllowClose(false);
    std::vector<std::string> events;
    manager->OnBarBeforeReset = [&](TdxBarManager*, TdxBar* bar) {
        events.push_back("before " + bar->Caption());
    };
    manager->OnBarAfterReset = [&](TdxBarManager*, TdxBar* bar) {
        events.push_back("after " + bar->Caption());
    };

    std::unique_ptr<TestForm> design = ReadForm(designed);
    TdxBar* designBar = Read(*design)->Bars()->Items(1);
    toolbar->ResetToDesign(designBar);

    ASSERT_EQ(toolbar->ItemLinks()->Count(), 1);
    EXPECT_EQ(toolbar->ItemLinks()->Items(0)->Item(), open);
    EXPECT_TRUE(toolbar->ItemLinks()->Items(0)->Visible());
    EXPECT_EQ(toolbar->Row(), 3); // only the links come back without a full reset
    EXPECT_EQ(events, (std::vector<std::string>{"before Main Toolbar", "after Main Toolbar"}));

    manager->SetUseFullReset(true);
    toolbar->ResetToDesign(designBar);
    EXPECT_EQ(toolbar->Row(), 0);
    EXPECT_TRUE(toolbar->AllowClose());
    EXPECT_TRUE(toolbar->Visible());
    EXPECT_NE(toolbar->Control(), nullptr);

    // Reset asks first; Cancel changes nothing.
    ScriptedPrompter cancel(IDCANCEL);
    toolbar->SetRow(1);
    toolbar->Reset();
    ASSERT_EQ(cancel.texts.size(), 1u);
    EXPECT_EQ(cancel.texts[0],
              "Are you sure you want to reset the changes made to the 'Main Toolbar' toolbar?");
    EXPECT_EQ(toolbar->Row(), 1);
}

TEST_F(ToolbarsTest, BarsBuiltWhileTheManagerLoadsTakeEffectInLoaded) {
    auto copy = std::make_unique<TestForm>();
    auto* loading = new TdxBarManager(copy.get());
    loading->Loading();
    TdxBar* bar = loading->Bars()->Add();
    bar->SetCaption("Late");
    bar->SetDockingStyle(dsTop);
    bar->SetVisible(true);
    EXPECT_EQ(bar->Control(), nullptr);
    EXPECT_EQ(bar->DockingStyle(), dsNone);
    Log().clear();
    loading->Loaded();
    EXPECT_EQ(bar->DockingStyle(), dsTop);
    EXPECT_NE(bar->Control(), nullptr);
    EXPECT_EQ(Joined(), "docked Late 2, insert Late at 0,0, realign 1, realign 2, realign 3, realign 4");
}

TEST_F(ToolbarsTest, NonClientExtentsComeFromThePainter) {
    // Enhanced fake: grip 6, docked borders 2 on each side, floating border 3, caption 15.
    EXPECT_EQ(toolbar->GetNonClientWidth(dsTop), 4 + 6);
    EXPECT_EQ(toolbar->GetNonClientHeight(dsTop), 4);
    EXPECT_EQ(toolbar->GetNonClientHeight(dsLeft), 4 + 6);
    EXPECT_EQ(toolbar->GetNonClientWidth(dsNone), 6);
    EXPECT_EQ(toolbar->GetNonClientHeight(dsNone), 6 + 15);
    toolbar->SetBorderStyle(bbsNone);
    EXPECT_EQ(toolbar->GetNonClientWidth(dsTop), 0);
}

class CategoriesTest : public ToolbarsTest {
protected:
    void SetUp() override {
        ToolbarsTest::SetUp();
        manager->Categories()->Add("File");
        manager->Categories()->Add("Help");
        about = AddButton(form.get(), "miAbout", "About...");
        about->SetCategory(2);
        open->SetCategory(1);
    }
    TdxBarButton* about = nullptr;
};

TEST_F(CategoriesTest, ItemsKeepTheirCategoryWhenCategoriesMove) {
    TdxBarManagerCategories* categories = manager->Categories();
    // Moving category 0 to position 2: its items follow, the others move up.
    categories->Move(0, 2);
    EXPECT_EQ(categories->Strings(2), "Default");
    EXPECT_EQ(exit->Category(), 2);
    EXPECT_EQ(open->Category(), 0);
    EXPECT_EQ(about->Category(), 1);
    categories->Exchange(0, 1);
    EXPECT_EQ(open->Category(), 1);
    EXPECT_EQ(about->Category(), 0);
    categories->Insert(0, "Tools");
    EXPECT_EQ(about->Category(), 1);
    EXPECT_EQ(open->Category(), 2);
    // Deleting a category frees its items; later categories move down.
    categories->Delete(1);
    EXPECT_EQ(form->FindComponent("miAbout"), nullptr);
    EXPECT_EQ(open->Category(), 1);
    EXPECT_EQ(exit->Category(), 2);
    // Out-of-range indexes change nothing.
    categories->Move(0, 9);
    categories->Delete(7);
    EXPECT_EQ(categories->Count(), 3);
}

TEST_F(CategoriesTest, DeletingTheLastCategoryLeavesDefault) {
    TdxBarManagerCategories* categories = manager->Categories();
    while (categories->Count() > 1)
        categories->Delete(categories->Count() - 1);
    categories->Delete(0);
    EXPECT_EQ(categories->Count(), 1);
    EXPECT_EQ(categories->Strings(0), "Default");
    EXPECT_EQ(manager->ItemCount(), 0);
}

TEST_F(CategoriesTest, VisibilityOfCategoriesStreamsAndHidesTheirItems) {
    manager->SetCategoryItemsVisible(1, ivNever);
    manager->SetCategoryVisible(2, false);
    EXPECT_EQ(open->Visible(), ivNever);
    EXPECT_EQ(manager->CategoryIndexOfVisible(1), 1);
    EXPECT_EQ(manager->CategoryIndexOfVisible(2), -1);
    const std::string text = StreamText(*form);
    EXPECT_NE(text.find("Categories.ItemsVisibles = (\r\n      2\r\n      0\r\n      2)"), std::string::npos)
        << text;
    EXPECT_NE(text.find("Categories.Visibles = (\r\n      True\r\n      True\r\n      False)"),
              std::string::npos);

    std::unique_ptr<TestForm> copy = ReadForm(Stream(*form));
    TdxBarManager* read = Read(*copy);
    ASSERT_EQ(read->Categories()->Count(), 3);
    EXPECT_EQ(read->Categories()->Strings(1), "File");
    EXPECT_EQ(read->CategoryItemsVisible(1), ivNever);
    EXPECT_FALSE(read->CategoryVisible(2));
    EXPECT_EQ(dynamic_cast<TdxBarItem*>(copy->FindComponent("miOpen"))->Visible(), ivNever);
    // Showing the category again shows its items.
    read->SetCategoryItemsVisible(1, ivAlways);
    EXPECT_EQ(dynamic_cast<TdxBarItem*>(copy->FindComponent("miOpen"))->Visible(), ivAlways);
}

} // namespace

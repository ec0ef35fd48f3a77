#include <gtest/gtest.h>

#include <vector>

#include "bars/core/bar_button.h"
#include "bars/core/bar_manager.h"
#include "bars/core/bar_unit.h"
#include "bars/core/customizing_notify.h"
#include "bars/core/toolbar.h"
#include "bars/core/toolbars.h"
#include "bars_test_support.h"
#include "lookandfeel/colors.h"
#include "platform/graphics/graphics_types.h"

using namespace bars_test;

// Bars are found by name and caption with letter case, items by name without; the item list reorders
// and category queries follow it, leaving out items that do not show.
TEST(ManagerLookups, NamesCaptionsCategoriesAndOrder) {
    FakeWindows windows;
    TestForm form;
    auto* manager = new TdxBarManager(&form);
    TdxBar* bar = manager->Bars()->Add();
    bar->SetName("MainBar");
    bar->SetCaption("Main Toolbar");
    TdxBarButton* open = AddButton(&form, "OpenButton", "Open");
    TdxBarButton* save = AddButton(&form, "SaveButton", "Save");
    TdxBarButton* hidden = AddButton(&form, "HiddenButton", "Hidden");
    hidden->SetVisible(ivNever);

    EXPECT_EQ(manager->BarByName("MainBar"), bar);
    EXPECT_EQ(manager->BarByName("mainbar"), nullptr);
    EXPECT_EQ(manager->BarByCaption("Main Toolbar"), bar);
    EXPECT_EQ(manager->BarByCaption("main toolbar"), nullptr);
    EXPECT_EQ(manager->ItemByName("openBUTTON"), open);
    EXPECT_EQ(manager->ItemByName("Nothing"), nullptr);

    std::vector<TdxBarItem*> list{save};
    EXPECT_EQ(manager->GetItemsByCategory(0, list), 3);
    EXPECT_EQ(manager->GetVisibleItemsByCategory(0, list), 2);
    EXPECT_EQ(list, (std::vector<TdxBarItem*>{open, save}));
    EXPECT_EQ(manager->GetVisibleItemsByCategory(5, list), 0);
    EXPECT_TRUE(list.empty());

    manager->MoveItem(manager->IndexOfItem(open), 2);
    EXPECT_EQ(manager->Items(2), open);
    manager->GetVisibleItemsByCategory(0, list);
    EXPECT_EQ(list, (std::vector<TdxBarItem*>{save, open}));
    manager->ExchangeItems(0, 2);
    EXPECT_EQ(manager->Items(0), open);
    EXPECT_EQ(manager->Items(2), save);
    manager->MoveItem(0, 9); // outside the list: nothing moves
    manager->ExchangeItems(-1, 1);
    EXPECT_EQ(manager->Items(0), open);
}

// The metrics a bar window asks: the painter's floating border, and the grip of a bar unless it may
// dock nowhere.
TEST(ManagerLookups, BarMetricsFromThePainter) {
    FakeWindows windows;
    TestForm form;
    auto* manager = new TdxBarManager(&form);
    manager->SetStyle(bmsFlat);
    TdxBar* bar = manager->Bars()->Add();
    EXPECT_EQ(manager->GetBarFloatingBorderWidth(), 3);
    EXPECT_EQ(manager->GetBarFloatingBorderHeight(), 3);
    EXPECT_EQ(manager->GetBarGripSize(bar), manager->GripAreaSize());
    bar->SetNotDocking(TdxBarDockingStyles{dsLeft, dsTop, dsRight, dsBottom}); // may still float
    EXPECT_EQ(manager->GetBarGripSize(bar), manager->GripAreaSize());
    bar->SetNotDocking(AllDockingStyles);
    EXPECT_EQ(manager->GetBarGripSize(bar), 0);
    EXPECT_EQ(TdxBarManager::MakeFlatColor(100, 0, 0), ColorToRGB(clBtnFace));
}

namespace {
int refreshes = 0;
struct CommandsWindow : bars::CustomizingReceiver {
    void RefreshCommands(TdxBarManager*) const override { ++refreshes; }
};
} // namespace

// A designed item that changes refreshes the customizing window's command list, except for items
// without a category and while the customizing popup writes the caption itself.
TEST(ManagerLookups, DesignChangesRefreshTheCommandList) {
    FakeWindows windows;
    TestForm form;
    form.SetDesigning(true);
    auto* manager = new TdxBarManager(&form);
    const CommandsWindow window;
    bars::SetCustomizingReceiver(&window);
    TdxBarButton* open = AddButton(&form, "OpenButton", "Open");
    TdxBarButton* loose = AddButton(&form, "Loose", "Loose");
    loose->SetCategoryField(-1);
    refreshes = 0;
    open->SetCaption("Open...");
    loose->SetCaption("Loose ends");
    manager->SetCustomizingPopupEditing(true);
    open->SetCaption("Open");
    manager->SetCustomizingPopupEditing(false);
    bars::SetCustomizingReceiver(nullptr);
    EXPECT_EQ(refreshes, 1);
}

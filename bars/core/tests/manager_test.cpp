#include <gtest/gtest.h>

#include <memory>

#include "bars/core/bar_button.h"
#include "bars/core/bar_errors.h"
#include "bars/core/bar_manager.h"
#include "bars/core/bar_unit.h"
#include "bars/core/categories.h"
#include "bars/core/item_links.h"
#include "bars/core/item_registry.h"
#include "bars/core/popup_menu.h"
#include "bars/core/toolbars.h"
#include "bars_test_support.h"
#include "lookandfeel/look_and_feel.h"
#include "lookandfeel/object_links.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/gdi_structs.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/image_list.h"
#include "platform/vcl/application.h"
#include "tests/support/thrown_message.h"

using namespace bars_test;
using testsupport::ThrownMessage;

namespace {

COLORREF BrushColor(HBRUSH brush) {
    LOGBRUSH info{};
    GetObject(brush, sizeof info, &info);
    return info.lbColor;
}

TEST(BarManager, OneManagerPerFormAndOnlyFormsOwnThem) {
    FakeWindows windows;
    TestForm form;
    TComponent plain(nullptr);
    EXPECT_EQ(ThrownMessage<EdxBarError>([&] { new TdxBarManager(&plain); }),
              "TdxBarManager should have as its Owner - TForm (TCustomForm)");
    // Without an owner the application's main form is asked for; there is none here.
    EXPECT_EQ(ThrownMessage<EdxBarError>([&] { new TdxBarManager(nullptr); }),
              "TdxBarManager should have as its Owner - TForm (TCustomForm)");
    auto* manager = new TdxBarManager(&form);
    EXPECT_EQ(ThrownMessage<EdxBarError>([&] { new TdxBarManager(&form); }),
              "A Form should contain only a single TdxBarManager");
    // The refused managers left nothing behind on the form or in the list.
    EXPECT_EQ(form.ComponentCount(), 1);
    EXPECT_EQ(BarManagerList().Items(BarManagerList().Count() - 1), manager);
    EXPECT_EQ(manager->ParentForm(), &form);
}

TEST(BarManager, ConstructionDefaultsAndTheRecentItemsThreshold) {
    FakeWindows windows;
    TestForm form;
    auto* manager = new TdxBarManager(&form);
    EXPECT_EQ(manager->Style(), bmsEnhanced);
    EXPECT_EQ(manager->PainterClass(), &windows.enhanced);
    EXPECT_EQ(manager->GripAreaSize(), 6);
    EXPECT_TRUE(manager->UseSystemFont());
    EXPECT_EQ(manager->Categories()->Count(), 1);
    EXPECT_EQ(manager->Categories()->Strings(0), "Default");
    EXPECT_EQ(manager->ImageSize(), 16);
    EXPECT_EQ(manager->ButtonWidth(), 23);
    EXPECT_EQ(manager->ButtonHeight(), 22);
    EXPECT_EQ(manager->ButtonArrowWidthMetric(), 11);
    EXPECT_EQ(manager->RecentItemsThreshold(), 20);
    manager->SetMostRecentItemsPercents(100);
    EXPECT_EQ(manager->RecentItemsThreshold(), 0);
    manager->SetMostRecentItemsPercents(0);
    EXPECT_EQ(manager->RecentItemsThreshold(), 1);
    manager->SetMostRecentItemsPercents(250);
    EXPECT_EQ(manager->MostRecentItemsPercents(), 100);
    // Invalid numbers are ignored.
    manager->SetButtonArrowWidth(1);
    manager->SetWaitForDockingTime(-3);
    EXPECT_EQ(manager->ButtonArrowWidth(), 11);
    EXPECT_EQ(manager->WaitForDockingTime(), 21);
    manager->SetLargeIcons(true);
    EXPECT_EQ(manager->ImageSize(), 32);
    EXPECT_EQ(manager->ButtonArrowWidthMetric(), 23);
}

TEST(BarManager, PainterFollowsTheEffectiveStyle) {
    FakeWindows windows;
    TestForm form;
    auto* manager = new TdxBarManager(&form);
    manager->SetStyle(bmsFlat);
    EXPECT_EQ(manager->PainterClass(), &windows.flat);
    EXPECT_EQ(manager->SeparatorMargin(), 9);
    // Without visual styles the XP style paints as Enhanced.
    manager->SetStyle(bmsXP);
    EXPECT_EQ(manager->PainterClass(), &windows.enhanced);
    manager->SetStyle(bmsUseLookAndFeel);
    manager->LookAndFeel()->SetKind(lfUltraFlat);
    EXPECT_EQ(manager->GetEffectivePaintStyle(), bmsFlat);
    EXPECT_EQ(manager->PainterClass(), &windows.flat);
    manager->LookAndFeel()->SetKind(lfOffice11);
    EXPECT_EQ(manager->PainterClass(), &windows.office);
    manager->LookAndFeel()->SetKind(lfStandard);
    EXPECT_FALSE(manager->IsNotStandardStyle());
    EXPECT_FALSE(manager->UseRecentItems());
}

TEST(BarManager, DockColourFollowsTheFormUntilItIsSet) {
    FakeWindows windows;
    TestForm form;
    auto* manager = new TdxBarManager(&form);
    form.SetColor(clTeal);
    EXPECT_EQ(manager->DockColor(), clTeal);
    EXPECT_EQ(StreamText(form).find("DockColor"), std::string::npos);
    manager->SetDockColor(clNavy);
    EXPECT_FALSE(manager->AutoDockColor());
    EXPECT_EQ(manager->DockColor(), clNavy);
    EXPECT_NE(StreamText(form).find("DockColor = clNavy"), std::string::npos);
}

TEST(BarManager, FlatBrushesBlendTheSystemColours) {
    FakeWindows windows;
    TestForm form;
    auto* manager = new TdxBarManager(&form);
    // Shadow 808080 at 8/10, face D4D0C8 raised by 16 % towards white, then three blends.
    EXPECT_EQ(BrushColor(manager->FlatBrush(0)), RGB(102, 102, 102));
    EXPECT_EQ(BrushColor(manager->FlatBrush(1)), RGB(219, 216, 209));
    EXPECT_EQ(BrushColor(manager->FlatBrush(2)), RGB(210, 212, 218));
    EXPECT_EQ(BrushColor(manager->FlatBrush(3)), RGB(136, 147, 177));
    EXPECT_EQ(BrushColor(manager->FlatBrush(4)), RGB(183, 191, 212));
    EXPECT_EQ(manager->XPBrush(), nullptr);
}

TEST(BarManager, LoadedAppliesTheStreamedStyleAndImageSizeOnce) {
    FakeWindows windows;
    TestForm form;
    auto* manager = new TdxBarManager(&form);
    manager->SetName("dxBarManager1");
    manager->SetStyle(bmsFlat);
    manager->SetLargeIcons(true);
    const std::vector<uint8_t> stream = Stream(form);
    std::unique_ptr<TestForm> copy = ReadForm(stream);
    auto* read = dynamic_cast<TdxBarManager*>(copy->FindComponent(manager->Name()));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->Style(), bmsFlat);
    // A flat manager read from a stream paints flat, with large images.
    EXPECT_EQ(read->PainterClass(), &windows.flat);
    EXPECT_EQ(read->GripAreaSize(), 8);
    EXPECT_EQ(read->ImageSize(), 32);
    EXPECT_EQ(read->ReadStateCount(), 1);
    EXPECT_TRUE(read->CanReset());
}

TEST(BarManager, ImageListsAreFollowedAndForgottenWhenFreed) {
    FakeWindows windows;
    TestForm form;
    auto* manager = new TdxBarManager(&form);
    auto* images = new TImageList(24, 24, &form);
    images->SetName("ilLarge");
    manager->SetUseLargeImagesForLargeIcons(true);
    manager->SetLargeIcons(true);
    manager->SetLargeImages(images);
    EXPECT_EQ(manager->ImageSize(), 24);
    EXPECT_NE(StreamText(form).find("LargeImages = ilLarge"), std::string::npos);
    delete images;
    EXPECT_EQ(manager->LargeImages(), nullptr);
    EXPECT_EQ(manager->ImageSize(), 32);

    // A change of the small images reaches the items that show one of them.
    auto* small = new TImageList(16, 16, &form);
    manager->SetImages(small);
    TdxBar* bar = manager->Bars()->Add();
    auto* pictured = AddButton(&form, "btnPictured", "Pictured");
    pictured->SetImageIndex(0);
    bar->ItemLinks()->Add()->SetItem(pictured);
    bar->ItemLinks()->Add()->SetItem(AddButton(&form, "btnPlain", "Plain"));
    bar->SetVisible(true);
    Log().clear();
    TBitmap picture(16, 16);
    small->AddMasked(&picture, clFuchsia);
    EXPECT_EQ(Joined(), "glyph Pictured");
}

TEST(BarManager, AnItemJoinsOnlyTheManagerOfItsOwnForm) {
    FakeWindows windows;
    TestForm withManager;
    auto* manager = new TdxBarManager(&withManager);
    auto other = std::make_unique<TestForm>();
    auto* stray = new TdxBarButton(other.get());
    EXPECT_EQ(stray->BarManager(), nullptr);
    EXPECT_EQ(manager->IndexOfItem(stray), -1);
    // Moving an item to another manager takes it out of the first one's items.
    TestForm third;
    auto* thirdManager = new TdxBarManager(&third);
    auto* item = AddButton(&withManager, "btnMove", "Move");
    item->SetBarManager(thirdManager);
    EXPECT_EQ(manager->IndexOfItem(item), -1);
    EXPECT_EQ(thirdManager->IndexOfItem(item), thirdManager->ItemCount() - 1);
    // Freeing the other form frees its item; no manager keeps a pointer to it.
    other.reset();
    delete item;
    EXPECT_EQ(thirdManager->ItemCount(), 0);
}

TEST(BarManager, ShutdownFreesSurvivingManagersFirst) {
    FakeWindows windows;
    // A form that outlives the unit: its manager and items go at shutdown, while the lists they leave
    // still exist (the sanitizer build checks that nothing freed is touched).
    auto form = std::make_unique<TestForm>();
    auto* manager = new TdxBarManager(form.get());
    auto* item = AddButton(form.get(), "btnSurvivor", "Survivor");
    TdxBar* bar = manager->Bars()->Add();
    bar->ItemLinks()->Add()->SetItem(item);
    bar->SetVisible(true);
    auto* popup = new TdxBarPopupMenu(form.get());
    popup->ItemLinks()->Add()->SetItem(item);
    TcxObjectLinkPtr itemLink = MakeObjectLink(item);
    const int before = BarManagerList().Count();
    ShutdownBarUnit();
    EXPECT_EQ(itemLink->Ref, nullptr);
    EXPECT_EQ(form->ComponentCount(), 0);
    EXPECT_EQ(FakeBarControl::alive, 0);
    StartBarUnit();
    EXPECT_EQ(BarManagerList().Count(), 0);
    EXPECT_GE(before, 1);
    EXPECT_NE(FindRegisteredItemClass("TdxBarButton"), nullptr);
}

} // namespace

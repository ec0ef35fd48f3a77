#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

#include "bars/core/bar_button.h"
#include "bars/core/bar_drawing.h"
#include "bars/core/bar_errors.h"
#include "bars/core/bar_manager.h"
#include "bars/core/bar_routines.h"
#include "bars/core/bar_strings.h"
#include "bars/core/bar_unit.h"
#include "bars/core/item_links.h"
#include "bars/core/item_registry.h"
#include "bars/core/popup_menu.h"
#include "bars_test_support.h"
#include "lookandfeel/localizer.h"
#include "platform/gdi/bitmaps.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/syscolors.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"
#include "tests/support/thrown_message.h"

using namespace bars_test;

namespace {

TEST(BarStrings, EveryTextKeepsItsIdAndItsBlanks) {
    const std::vector<int> ids = BarStringIds();
    EXPECT_EQ(ids.size(), 82u);
    EXPECT_EQ(ids.front(), 65072);
    EXPECT_EQ(ids.back(), 65167);
    for (int id : ids) {
        EXPECT_FALSE(LoadBarString(id).empty()) << id;
        EXPECT_FALSE((id >= 65078 && id <= 65087) || (id >= 65152 && id <= 65155)) << id;
    }
    EXPECT_EQ(LoadBarString(65080), "");
    EXPECT_EQ(LoadBarString(barstr::ToolbarsPage), " Toolbars ");
    EXPECT_EQ(LoadBarString(barstr::PersonalizedHeading), "Personalized Menus and Toolbars  ");
    EXPECT_EQ(LoadBarString(barstr::CustomToolbarPrefix), "Custom ");
    EXPECT_NE(LoadBarString(barstr::ConfirmResetUsageData).find("customizations.   Are you sure"),
              std::string::npos);
    EXPECT_EQ(FormatBarString(barstr::ConfirmDeleteToolbar, "Main Toolbar"),
              "Are you sure you want to delete the 'Main Toolbar' toolbar?");
    // Every text goes through the replacements.
    AddLocalizedString("More Buttons", "Weitere Schaltfl\xC3\xA4"
                                       "chen");
    EXPECT_EQ(LoadBarString(barstr::MoreButtons), "Weitere Schaltfl\xC3\xA4"
                                                  "chen");
    ClearLocalizedStrings();
    EXPECT_EQ(LoadBarString(barstr::DefaultCategory), "Default");
}

TEST(BarRoutines, AmpersandsAndUniqueNames) {
    EXPECT_EQ(StripAmpersands("&File"), "File");
    EXPECT_EQ(StripAmpersands("Sa&ve As..."), "Save As...");
    EXPECT_EQ(StripAmpersands("Save && Close"), "Save & Close");
    EXPECT_EQ(StripAmpersands("Trailing&"), "Trailing&");
    EXPECT_EQ(StripAmpersands("&&&x"), "&x");

    FakeWindows windows;
    TestForm form;
    auto* manager = new TdxBarManager(&form);
    TdxBarButton probe(nullptr);
    EXPECT_EQ(GetUniqueItemName(manager, &probe), "dxBarButton1");
    AddButton(&form, "dxBarButton1", "One");
    AddButton(&form, "DXBARBUTTON2", "Two");
    EXPECT_EQ(GetUniqueItemName(manager, &probe), "dxBarButton3");
    EXPECT_EQ(FindBarManagerOfForm(&form), manager);
    EXPECT_EQ(FindBarManagerOfForm(nullptr), nullptr);
    int width = 7;
    MakeMinWidth20(width);
    EXPECT_EQ(width, 20);
}

TEST(BarRoutines, TheRegistryListsTheItemClassesInOrder) {
    const char* expected[] = {"TdxBarButton", "TdxBarEdit", "TCustomdxBarCombo", "TdxBarCombo",
                              "TdxBarSubItem"};
    ASSERT_GE(RegisteredItemClassCount(), 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(RegisteredItemClass(i)->ItemClassName, expected[i]);
    EXPECT_EQ(GetAddListItemClassCount(), 5);
    EXPECT_EQ(GetAddListItemClass(5), nullptr);
    EXPECT_NE(GetClass("TdxBarCombo"), nullptr);
    // An extra class goes at the end, offered or not, and leaves again.
    RegisterBarItemClass<TdxBarButton>("TTestBarButton", nullptr, false);
    EXPECT_EQ(RegisteredItemClass(RegisteredItemClassCount() - 1)->ItemClassName, "TTestBarButton");
    EXPECT_EQ(GetAddListItemClassCount(), 5);
    UnRegisterBarItemClass("TTestBarButton");
    UnRegisterBarItemClass("TNeverRegistered");
    EXPECT_EQ(FindRegisteredItemClass("TTestBarButton"), nullptr);
    EXPECT_EQ(GetClass("TTestBarButton"), nullptr);
}

TEST(BarDrawing, ArrowsAreSizedFromTheirRectangle) {
    EXPECT_EQ(ArrowSize(RECT{0, 0, 10, 20}, true), 3);
    EXPECT_EQ(ArrowSize(RECT{0, 0, 17, 20}, true), 5);
    EXPECT_EQ(ArrowSize(RECT{0, 0, 18, 20}, true), 4);
    EXPECT_EQ(ArrowSize(RECT{0, 0, 20, 17}, false), 6);

    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateBitmap(20, 20, 1, 32, nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all{0, 0, 20, 20};
    FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
    // A down arrow of size 5 in 17 x 20: corners (4, 7), (12, 7), (8, 11).
    DrawArrow(dc, RECT{0, 0, 17, 20}, true, true, false, false);
    EXPECT_EQ(GetPixel(dc, 4, 7), GetSysColor(COLOR_BTNTEXT));
    EXPECT_EQ(GetPixel(dc, 12, 7), GetSysColor(COLOR_BTNTEXT));
    EXPECT_EQ(GetPixel(dc, 8, 11), GetSysColor(COLOR_BTNTEXT));
    EXPECT_EQ(GetPixel(dc, 8, 12), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(GetPixel(dc, 3, 7), GetSysColor(COLOR_BTNFACE));
    // Disabled and not flat: the shadow colour with an embossed edge below and right.
    FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
    DrawArrow(dc, RECT{0, 0, 17, 20}, true, false, false, false);
    EXPECT_EQ(GetPixel(dc, 8, 11), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(GetPixel(dc, 9, 11), GetSysColor(COLOR_BTNHIGHLIGHT));
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

TEST(BarDrawing, TiledPicturesStartAtTheirOrigin) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateBitmap(20, 20, 1, 32, nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    TBitmap tile(4, 4);
    RECT all{0, 0, 4, 4};
    tile.Canvas().Brush().SetColor(clRed);
    tile.Canvas().FillRect(TRect(0, 0, 4, 4));
    tile.Canvas().SetPixel(0, 0, clBlue);
    FillRectWithBitmap(dc, RECT{0, 0, 20, 20}, RECT{1, 2, 20, 20}, &tile, clNone, nullptr);
    EXPECT_EQ(GetPixel(dc, 1, 2), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(dc, 5, 6), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(dc, 2, 2), RGB(255, 0, 0));
    // Without a picture the colour fills.
    FillRectWithBitmap(dc, RECT{0, 0, 20, 20}, RECT{0, 0, 0, 0}, nullptr, clLime, nullptr);
    EXPECT_EQ(GetPixel(dc, 10, 10), RGB(0, 255, 0));
    (void)all;
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

TEST(BarUnit, TheCheckerBrushAndScreenDepthExistFromStartToShutdown) {
    EXPECT_TRUE(BarUnitStarted());
    EXPECT_NE(PatternBrush(), nullptr);
    EXPECT_EQ(ScreenBitsPerPixel(), 32);
    EXPECT_NE(User32Procs().TrackMouseEvent, nullptr);
    RefreshBarUnitColors();
    EXPECT_NE(PatternBrush(), nullptr);
}

} // namespace

namespace {

TEST(PopupMenus, NeedAManagerAndLinkOnlyControlsOfTheManagersForm) {
    TestForm lonely;
    EXPECT_EQ(testsupport::ThrownMessage<EdxBarError>([&] { new TdxBarPopupMenu(&lonely); }),
              "There are no TdxBarManagers available");
    EXPECT_EQ(lonely.ComponentCount(), 0);

    FakeWindows windows;
    TestForm form;
    auto* manager = new TdxBarManager(&form);
    auto* popup = new TdxBarPopupMenu(&form);
    EXPECT_EQ(popup->BarManager(), manager);
    EXPECT_EQ(manager->PopupMenus(0), popup);
    EXPECT_FALSE(popup->ItemLinks()->UseRecentItems());
    TdxBarPopupMenuLink* link = manager->PopupMenuLinks()->Add();
    link->SetControl(&lonely);
    EXPECT_EQ(link->Control(), nullptr) << "a control of another form";
    link->SetControl(&form);
    link->SetPopupMenu(popup);
    EXPECT_EQ(link->Control(), &form);
    // Shortcuts reach the popup menu's items through the link of the control.
    auto* item = AddButton(&form, "miFind", "&Find");
    item->SetShortCut(ShortCut('F', TShiftState{ssCtrl}));
    int clicks = 0;
    item->SetOnClick([&](TObject*) { ++clicks; });
    popup->ItemLinks()->Add()->SetItem(item);
    EXPECT_TRUE(manager->PopupMenuLinks()->ExecuteShortCut(&form, ShortCut('F', TShiftState{ssCtrl})));
    EXPECT_EQ(clicks, 1);
    link->OnAction = [](TdxBarPopupMenuLink*, int&, int&, bool, bool& allow) { allow = false; };
    EXPECT_FALSE(manager->PopupMenuLinks()->ExecuteShortCut(&form, ShortCut('F', TShiftState{ssCtrl})));
    // A popup menu that goes leaves the links that named it.
    delete popup;
    EXPECT_EQ(link->PopupMenu(), nullptr);
    EXPECT_EQ(manager->PopupMenuCount(), 0);
}

} // namespace

// A bar window freed after the unit has finished (a closed menu still waiting to be freed as the program
// ends) leaves no list and does not start the unit again, whose class registry is gone by then.
TEST(BarControlList, AWindowFreedAfterTheUnitFinishedDoesNotStartItAgain) {
    ShutdownBarUnit();
    ASSERT_FALSE(BarUnitStarted());
    int late = 0;
    UnregisterBarControl(reinterpret_cast<bars::BarControl*>(&late));
    EXPECT_FALSE(BarUnitStarted());
    StartBarUnit();
    EXPECT_TRUE(BarUnitStarted());
}

// Menus driven by the pointer and the keyboard: opening from a menu bar, switching along it, clicking
// items, cascades on the shared delay, scrolling, recent-items expansion, placement, and menus that
// close or re-open themselves inside their own handlers.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "bar_windows_fixture.h"
#include "bars/core/bar_routines.h"
#include "bars/core/container_item.h"
#include "bars/core/item_registry.h"
#include "bars/core/sub_item.h"
#include "bars/windows/bar_dock_control.h"
#include "bars/windows/item_control.h"
#include "bars/windows/sub_item_control.h"
#include "bars/windows/sub_menu_control.h"
#include "lookandfeel/colors.h"
#include "platform/gdi/scoped.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/surface.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"
#include "platform/graphics/image_list.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/paint.h"
#include "platform/gui/system.h"
#include "platform/gui/window.h"
#include "platform/rtl/string_list.h"
#include "platform/vcl/application.h"
#include "platform/vcl/shortcut.h"

namespace bars_windows_test {
namespace {

using bars::TdxBarSubItemControl;
using bars::TdxBarSubMenuControl;

class MenuTest : public BarWindowsTest {
protected:
    MenuTest() {
        pw::gui::SetTickSource([this] { return now; });
        manager->SetMenusShowRecentItemsFirst(false);
    }
    ~MenuTest() override {
        CloseMenus();
        pw::gui::SetTickSource(nullptr);
    }

    TdxBarSubItem* SubItem(const std::string& caption, std::initializer_list<TdxBarItem*> items) {
        auto* item = new TdxBarSubItem(&form);
        item->SetCaption(caption);
        for (TdxBarItem* i : items)
            item->ItemLinks()->Add()->SetItem(i);
        return item;
    }
    TdxBar* MenuBar(std::initializer_list<TdxBarItem*> items) {
        TdxBar* bar = Toolbar("Menu", items);
        bar->SetIsMainMenu(true);
        Pump();
        return bar;
    }
    static TdxBarSubMenuControl* Menu(TCustomdxBarSubItem* item) {
        return dynamic_cast<TdxBarSubMenuControl*>(item->ItemLinks()->BarControl());
    }
    // The centre of an item's line in a menu.
    static POINT LineCentre(TCustomdxBarSubItem* menu, TdxBarItem* item) {
        for (int i = 0; i < menu->ItemLinks()->Count(); ++i) {
            TdxBarItemLink* link = menu->ItemLinks()->Items(i);
            if (link->Item() != item) continue;
            RECT r = link->ItemRect();
            MapWindowPoints(Menu(menu)->Handle(), nullptr, r);
            return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        }
        ADD_FAILURE() << "no line";
        return POINT{0, 0};
    }
    static bars::TdxBarItemControl* LineControl(TdxBarSubItem* menu, TdxBarItem* item) {
        for (int i = 0; i < menu->ItemLinks()->Count(); ++i)
            if (menu->ItemLinks()->Items(i)->Item() == item)
                return dynamic_cast<bars::TdxBarItemControl*>(menu->ItemLinks()->Items(i)->Control());
        return nullptr;
    }
    void Click(POINT p) {
        Press(p);
        Release(p);
    }
    void Key(HWND window, WORD key) {
        SendMessage(window, WM_KEYDOWN, key, 0);
        Pump();
    }
    void Wait(DWORD ms) {
        now += ms;
        Pump();
    }
    void CloseMenus() {
        if (bars::BarControl* active = GetActiveBarControl())
            if (auto* bar = dynamic_cast<bars::TCustomdxBarControl*>(active)) bar->HideAll();
        Pump();
    }

    DWORD now = 100000;
};

TEST_F(MenuTest, AClickOnAMenuBarEntryOpensItsMenuJoinedBelowItAndAChosenItemClosesTheChainAndRuns) {
    TdxBarButton* open = Button("&Open");
    TdxBarButton* save = Button("&Save");
    save->SetShortCut(ShortCut('S', {ssCtrl}));
    TdxBarSubItem* file = SubItem("&File", {open, save});
    int popups = 0, closeUps = 0;
    file->OnPopup = [&](TObject*) { ++popups; };
    file->OnCloseUp = [&](TObject*) {
        // The menu window is gone before its close-up is told.
        EXPECT_EQ(Menu(file), nullptr);
        ++closeUps;
    };
    TdxBar* bar = MenuBar({file});
    Click(Centre(file, bar));
    TdxBarSubMenuControl* menu = Menu(file);
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(IsWindowVisible(menu->Handle()));
    EXPECT_EQ(popups, 1);
    // Below the entry, its left edge under the entry's, and never the active window.
    RECT entry = Control(file, bar)->ScreenRect(), window{0, 0, 0, 0};
    GetWindowRect(menu->Handle(), window);
    EXPECT_EQ(window.left, entry.left);
    EXPECT_EQ(window.top, entry.bottom);
    EXPECT_NE(GetActiveWindow(), menu->Handle());
    EXPECT_EQ(GetActiveBarControl(), menu);
    EXPECT_EQ(menu->ParentBar(), Window(bar));
    EXPECT_EQ(Window(bar)->ChildBar(), menu);
    // The entry is drawn open, joined to the menu: the stretch of border they share.
    const RECT joint = Control(file, bar)->DroppedDownJoint();
    EXPECT_FALSE(IsRectEmpty(joint));
    EXPECT_GT(window.right - window.left, 0);

    MoveTo(LineCentre(file, open));
    EXPECT_TRUE(LineControl(file, open)->IsSelected());
    MoveTo(LineCentre(file, save));
    EXPECT_FALSE(LineControl(file, open)->IsSelected());
    EXPECT_TRUE(LineControl(file, save)->IsSelected());
    const HWND handle = menu->Handle();
    Click(LineCentre(file, save));
    EXPECT_EQ(Clicks(save), 1);
    EXPECT_EQ(Clicks(open), 0);
    EXPECT_EQ(Menu(file), nullptr);
    EXPECT_FALSE(IsWindow(handle));
    EXPECT_EQ(GetActiveBarControl(), nullptr);
    EXPECT_EQ(closeUps, 1);
    EXPECT_FALSE(Window(bar)->InKeyboardMode());
}

TEST_F(MenuTest, LargePicturesShowOnTheToolbarButNeverInAMenu) {
    auto* large = new TImageList(32, 32, &form);
    TBitmap picture(32, 32);
    large->AddMasked(&picture, clFuchsia);
    manager->SetLargeIcons(true);
    manager->SetUseLargeImagesForLargeIcons(true);
    manager->SetLargeImages(large);
    TdxBarButton* open = Button("&Open");
    open->SetImageIndex(0);
    TdxBarSubItem* file = SubItem("&File", {open});
    TdxBar* bar = MenuBar({file});
    TdxBar* tools = Toolbar("Tools", {open}, dsTop, 1);
    EXPECT_TRUE(Control(open, tools)->HasPicture());
    EXPECT_EQ(Control(open, tools)->PaintImages(), large);
    Click(Centre(file, bar));
    ASSERT_NE(Menu(file), nullptr);
    // The 32-pixel picture would be cut by the menu's glyph column.
    EXPECT_FALSE(LineControl(file, open)->HasPicture());
    EXPECT_EQ(LineControl(file, open)->PaintImages(), nullptr);
    CloseMenus();
}

TEST_F(MenuTest, MovingAlongTheMenuBarSwitchesMenusAndASecondClickOnTheEntryClosesIt) {
    TdxBarButton* open = Button("&Open");
    TdxBarButton* options = Button("&Options");
    TdxBarSubItem* file = SubItem("&File", {open});
    TdxBarSubItem* tools = SubItem("&Tools", {options});
    TdxBar* bar = MenuBar({file, tools});
    // Without menu mode the pointer only hot-tracks.
    MoveTo(Centre(tools, bar));
    EXPECT_EQ(Menu(tools), nullptr);
    Click(Centre(file, bar));
    ASSERT_NE(Menu(file), nullptr);
    MoveTo(Centre(tools, bar));
    EXPECT_EQ(Menu(file), nullptr);
    ASSERT_NE(Menu(tools), nullptr);
    EXPECT_TRUE(IsWindowVisible(Menu(tools)->Handle()));
    MoveTo(Centre(file, bar));
    ASSERT_NE(Menu(file), nullptr);
    EXPECT_EQ(Menu(tools), nullptr);
    Click(Centre(file, bar));
    EXPECT_EQ(Menu(file), nullptr);
    EXPECT_EQ(GetActiveBarControl(), nullptr);
    EXPECT_EQ(Clicks(open) + Clicks(options), 0);
}

TEST_F(MenuTest, ACascadeOpensAfterTheDelayAndClosesTheDelayAfterThePointerLeftIt) {
    TdxBarButton* open = Button("&Open");
    TdxBarButton* first = Button("First");
    TdxBarButton* second = Button("Second");
    TdxBarSubItem* recent = SubItem("&Recent", {first, second});
    TdxBarSubItem* file = SubItem("&File", {open, recent});
    TdxBar* bar = MenuBar({file});
    Click(Centre(file, bar));
    ASSERT_NE(Menu(file), nullptr);
    MoveTo(LineCentre(file, recent));
    Wait(399);
    EXPECT_EQ(Menu(recent), nullptr);
    Wait(1);
    TdxBarSubMenuControl* cascade = Menu(recent);
    ASSERT_NE(cascade, nullptr);
    EXPECT_EQ(cascade->ParentBar(), Menu(file));
    EXPECT_EQ(GetActiveBarControl(), cascade);
    // Beside its line, its first line level with it.
    RECT line = LineControl(file, recent)->ScreenRect(), window{0, 0, 0, 0};
    GetWindowRect(cascade->Handle(), window);
    EXPECT_EQ(window.left, line.right);
    EXPECT_EQ(cascade->OwnerWidth(), line.right - line.left);

    // Onto another line and back before the delay: the cascade stays.
    MoveTo(LineCentre(file, open));
    Wait(300);
    MoveTo(LineCentre(file, recent));
    Wait(500);
    EXPECT_EQ(Menu(recent), cascade);
    // Onto another line for the whole delay: it closes.
    MoveTo(LineCentre(file, open));
    Wait(399);
    EXPECT_NE(Menu(recent), nullptr);
    Wait(1);
    EXPECT_EQ(Menu(recent), nullptr);
    EXPECT_EQ(GetActiveBarControl(), Menu(file));

    // Into the cascade: its line stays selected in the parent, and a click closes everything.
    MoveTo(LineCentre(file, recent));
    Wait(400);
    ASSERT_NE(Menu(recent), nullptr);
    MoveTo(LineCentre(recent, second));
    Wait(1000);
    ASSERT_NE(Menu(recent), nullptr);
    EXPECT_TRUE(LineControl(file, recent)->IsSelected());
    Click(LineCentre(recent, second));
    EXPECT_EQ(Clicks(second), 1);
    EXPECT_EQ(Menu(recent), nullptr);
    EXPECT_EQ(Menu(file), nullptr);
    EXPECT_EQ(GetActiveBarControl(), nullptr);
}

TEST_F(MenuTest, OnlyTheLastOfTwoQuicklyHoveredCascadesOpensAndAPendingOpenSurvivesTheHandlerOfAnother) {
    TdxBarSubItem* a = SubItem("A", {Button("a1")});
    TdxBarSubItem* b = SubItem("B", {Button("b1")});
    TdxBarSubItem* c = SubItem("C", {Button("c1")});
    TdxBarSubItem* file = SubItem("&File", {a, b, c});
    TdxBar* bar = MenuBar({file});
    Click(Centre(file, bar));
    MoveTo(LineCentre(file, a));
    Wait(200);
    MoveTo(LineCentre(file, b));
    Wait(399);
    EXPECT_EQ(Menu(a), nullptr);
    EXPECT_EQ(Menu(b), nullptr);
    Wait(1);
    EXPECT_EQ(Menu(a), nullptr);
    ASSERT_NE(Menu(b), nullptr);

    // While the timer opens C, its handler lets the pointer rest on A: A's open stays pending.
    MoveTo(LineCentre(file, c));
    c->OnPopup = [&](TObject*) {
        MoveTo(LineCentre(file, a));
        c->OnPopup = nullptr;
    };
    Wait(400);
    EXPECT_EQ(bars::PendingSubItem(), LineControl(file, a));
    EXPECT_TRUE(bars::PendingOpen());
    Wait(400);
    EXPECT_NE(Menu(a), nullptr);
    EXPECT_EQ(Menu(c), nullptr);
}

TEST_F(MenuTest, KeysMoveTheSelectionOpenCascadesAndCloseOneLevelAtATime) {
    TdxBarButton* open = Button("&Open");
    TdxBarButton* save = Button("&Save");
    TdxBarButton* first = Button("First");
    TdxBarSubItem* recent = SubItem("&Recent", {first});
    TdxBarSubItem* file = SubItem("&File", {open, save, recent});
    TdxBarButton* options = Button("&Options");
    TdxBarSubItem* tools = SubItem("&Tools", {options});
    TdxBar* bar = MenuBar({file, tools});
    Click(Centre(file, bar));
    TdxBarSubMenuControl* menu = Menu(file);
    ASSERT_NE(menu, nullptr);
    Key(menu->Handle(), VK_DOWN);
    EXPECT_TRUE(LineControl(file, open)->IsSelected());
    Key(menu->Handle(), VK_DOWN);
    Key(menu->Handle(), VK_DOWN);
    EXPECT_TRUE(LineControl(file, recent)->IsSelected());
    // Right opens the cascade at once, its first line selected.
    Key(menu->Handle(), VK_RIGHT);
    ASSERT_NE(Menu(recent), nullptr);
    EXPECT_TRUE(LineControl(recent, first)->IsSelected());
    // Left closes the cascade only.
    Key(Menu(recent)->Handle(), VK_LEFT);
    EXPECT_EQ(Menu(recent), nullptr);
    ASSERT_EQ(Menu(file), menu);
    EXPECT_EQ(GetActiveBarControl(), menu);
    // Up wraps; Right in a line that opens nothing moves to the next menu of the bar.
    Key(menu->Handle(), VK_UP);
    EXPECT_TRUE(LineControl(file, save)->IsSelected());
    Key(menu->Handle(), VK_RIGHT);
    EXPECT_EQ(Menu(file), nullptr);
    ASSERT_NE(Menu(tools), nullptr);
    EXPECT_TRUE(LineControl(tools, options)->IsSelected());
    Key(Menu(tools)->Handle(), VK_LEFT);
    ASSERT_NE(Menu(file), nullptr);
    // Escape closes the menu and leaves its entry selected on the bar; Enter runs a line.
    Key(Menu(file)->Handle(), VK_ESCAPE);
    EXPECT_EQ(Menu(file), nullptr);
    EXPECT_TRUE(Control(file, bar)->IsSelected());
    EXPECT_EQ(GetActiveBarControl(), Window(bar));
    Key(Window(bar)->Handle(), VK_DOWN);
    ASSERT_NE(Menu(file), nullptr);
    Key(Menu(file)->Handle(), VK_DOWN);
    Key(Menu(file)->Handle(), VK_RETURN);
    EXPECT_EQ(Clicks(save), 1);
    EXPECT_EQ(Menu(file), nullptr);
    EXPECT_EQ(GetActiveBarControl(), nullptr);
}

TEST_F(MenuTest, AMenuTallerThanTheWorkAreaScrollsWhileThePointerRestsOnAnArrow) {
    std::vector<TdxBarItem*> items;
    TdxBarSubItem* file = SubItem("&File", {});
    for (int i = 0; i < 120; ++i) {
        TdxBarButton* button = Button("Line " + std::to_string(i));
        file->ItemLinks()->Add()->SetItem(button);
        items.push_back(button);
    }
    TdxBar* bar = MenuBar({file});
    Click(Centre(file, bar));
    TdxBarSubMenuControl* menu = Menu(file);
    ASSERT_NE(menu, nullptr);
    MONITORINFO info;
    GetMonitorInfo(MonitorFromWindow(menu->Handle(), MONITOR_DEFAULTTONEAREST), info);
    RECT window{0, 0, 0, 0};
    GetWindowRect(menu->Handle(), window);
    EXPECT_EQ(window.bottom, info.rcWork.bottom);
    EXPECT_FALSE(menu->HasTopArrow());
    ASSERT_TRUE(menu->HasBottomArrow());
    const int visible = menu->VisibleCount();
    EXPECT_LT(visible, 120);
    // The arrow takes the last row: the line under it is not shown.
    EXPECT_TRUE(IsRectEmpty(file->ItemLinks()->Items(visible - 1)->ItemRect()));
    RECT bottom = menu->BottomArrowRect();
    MapWindowPoints(menu->Handle(), nullptr, bottom);
    const POINT arrow{(bottom.left + bottom.right) / 2, (bottom.top + bottom.bottom) / 2};
    MoveTo(arrow);
    EXPECT_EQ(menu->TopIndex(), 0);
    Wait(80);
    EXPECT_EQ(menu->TopIndex(), 1);
    EXPECT_TRUE(menu->HasTopArrow());
    Wait(80);
    Wait(80);
    EXPECT_EQ(menu->TopIndex(), 3);
    // Off the arrow the scrolling stops.
    MoveTo(POINT{arrow.x, (window.top + window.bottom) / 2});
    Wait(400);
    EXPECT_EQ(menu->TopIndex(), 3);
    // The keyboard brings a line into view: End then Home.
    Key(menu->Handle(), VK_END);
    EXPECT_FALSE(menu->HasBottomArrow());
    EXPECT_FALSE(IsRectEmpty(file->ItemLinks()->Items(119)->ItemRect()));
    Key(menu->Handle(), VK_HOME);
    EXPECT_EQ(menu->TopIndex(), 0);
    EXPECT_FALSE(IsRectEmpty(file->ItemLinks()->Items(0)->ItemRect()));
}

TEST_F(MenuTest, PlacementFlipsMenusToTheSideWithMoreRoomInsideTheWorkArea) {
    TdxBarSubItem* inner = SubItem("Inner", {Button("x")});
    TdxBarSubItem* file = SubItem("&File", {Button("a"), inner});
    TdxBar* bar = MenuBar({file});
    Click(Centre(file, bar));
    TdxBarSubMenuControl* menu = Menu(file);
    ASSERT_NE(menu, nullptr);
    MONITORINFO info;
    GetMonitorInfo(MonitorFromWindow(menu->Handle(), MONITOR_DEFAULTTONEAREST), info);
    const RECT work = info.rcWork;
    CloseMenus();

    // A menu at a point near the bottom right corner opens above and left of it.
    auto* popup = dynamic_cast<TdxBarSubMenuControl*>(file->ItemLinks()->CreateBarControl());
    ASSERT_NE(popup, nullptr);
    popup->SetRequestedPos(POINT{work.right - 5, work.bottom - 5});
    popup->ShowMenu();
    RECT r{0, 0, 0, 0};
    GetWindowRect(popup->Handle(), r);
    EXPECT_EQ(r.right, work.right);
    EXPECT_EQ(r.bottom, work.bottom - 5);
    EXPECT_TRUE(popup->FlippedUp());
    EXPECT_TRUE(popup->IsFreePopup());
    // A cascade that does not fit on the right opens on the left of its line.
    SendMessage(popup->Handle(), WM_KEYDOWN, VK_DOWN, 0);
    SendMessage(popup->Handle(), WM_KEYDOWN, VK_DOWN, 0);
    SendMessage(popup->Handle(), WM_KEYDOWN, VK_RIGHT, 0);
    Pump();
    TdxBarSubMenuControl* cascade = Menu(inner);
    ASSERT_NE(cascade, nullptr);
    RECT c{0, 0, 0, 0};
    GetWindowRect(cascade->Handle(), c);
    EXPECT_TRUE(cascade->FlippedLeft());
    EXPECT_EQ(c.right, LineControl(file, inner)->ScreenRect().left);
    // Escape in a menu without a parent frees it inside its own handler; it goes from the loop.
    SendMessage(cascade->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    const HWND popupHandle = popup->Handle();
    SendMessage(popupHandle, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(file->ItemLinks()->BarControl(), nullptr);
    EXPECT_FALSE(IsWindow(popupHandle));
    Pump();
}

TEST_F(MenuTest, RecentItemsAppearAfterTheDelayAndCtrlDownExpandsEveryMenuOfTheChain) {
    manager->SetMenusShowRecentItemsFirst(true);
    TdxBarButton* open = Button("&Open");
    TdxBarButton* save = Button("&Save");
    TdxBarButton* exit = Button("E&xit");
    TdxBarSubItem* file = SubItem("&File", {open, save, exit});
    TdxBar* bar = MenuBar({file});
    // Open is used far more than the others: they become rarely used.
    file->ItemLinks()->Items(0)->SetUseCount(40);
    file->ItemLinks()->MoveInRecentOrder(file->ItemLinks()->Items(0), 0);
    file->ItemLinks()->MoveInRecentOrder(file->ItemLinks()->Items(2), 1);
    Click(Centre(file, bar));
    TdxBarSubMenuControl* menu = Menu(file);
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->IsMarkVisible());
    EXPECT_EQ(file->ItemLinks()->CanVisibleItemCount(), 1);
    Wait(3999);
    EXPECT_EQ(Menu(file), menu);
    EXPECT_EQ(file->ItemLinks()->CanVisibleItemCount(), 1);
    Wait(1);
    // Expanded: the window was made again, with every item.
    ASSERT_NE(Menu(file), nullptr);
    EXPECT_EQ(file->ItemLinks()->CanVisibleItemCount(), 3);
    EXPECT_TRUE(IsWindowVisible(Menu(file)->Handle()));
    EXPECT_TRUE(MenusExpanded());
    CloseMenus();

    // Hovering the expand button expands after its shorter delay.
    Click(Centre(file, bar));
    menu = Menu(file);
    ASSERT_NE(menu, nullptr);
    ASSERT_TRUE(menu->IsMarkVisible());
    RECT mark = menu->MarkRect();
    MapWindowPoints(menu->Handle(), nullptr, mark);
    MoveTo(POINT{(mark.left + mark.right) / 2, (mark.top + mark.bottom) / 2});
    Wait(999);
    EXPECT_EQ(file->ItemLinks()->CanVisibleItemCount(), 1);
    Wait(1);
    EXPECT_EQ(file->ItemLinks()->CanVisibleItemCount(), 3);
    CloseMenus();

    // Ctrl+Down expands inside the window's own key handler.
    Click(Centre(file, bar));
    menu = Menu(file);
    ASSERT_NE(menu, nullptr);
    pw::gui::SetKeyDown(VK_CONTROL, true);
    Key(menu->Handle(), VK_DOWN);
    pw::gui::SetKeyDown(VK_CONTROL, false);
    ASSERT_NE(Menu(file), nullptr);
    EXPECT_EQ(file->ItemLinks()->CanVisibleItemCount(), 3);
    EXPECT_TRUE(IsWindowVisible(Menu(file)->Handle()));
}

TEST_F(MenuTest, HandlersThatFreeTheirItemsOrOpenALoopLeaveNothingDangling) {
    TdxBarButton* open = Button("&Open");
    TdxBarSubItem* file = SubItem("&File", {open});
    TdxBarSubItem* tools = SubItem("&Tools", {Button("x")});
    TdxBar* bar = MenuBar({file, tools});
    // A popup handler that frees the very item whose menu opens: nothing opens, nothing crashes.
    tools->OnPopup = [&](TObject*) { delete tools; };
    Click(Centre(tools, bar));
    EXPECT_EQ(GetActiveBarControl(), nullptr);
    CloseMenus();
    // A click handler that turns the message loop while the menu it came from is being released.
    open->SetOnClick([&](TObject*) {
        for (int i = 0; i < 3; ++i)
            Pump();
        ++clicks[open];
    });
    Click(Centre(file, bar));
    ASSERT_NE(Menu(file), nullptr);
    Click(LineCentre(file, open));
    EXPECT_EQ(Clicks(open), 1);
    EXPECT_EQ(Menu(file), nullptr);
    // And the menu opens again afresh.
    Click(Centre(file, bar));
    EXPECT_NE(Menu(file), nullptr);
}

TEST_F(MenuTest, AListItemExpandsIntoNumberedLinesInItsMenuAndAChosenLineSelectsItsEntry) {
    auto* list = new TdxBarListItem(&form);
    list->SetCaption("Recent");
    for (const char* entry : {"one", "-", "two", "c", "d", "e", "f", "g", "h", "i", "j", "k"})
        list->Items()->Add(entry);
    int listClicks = 0, fills = 0;
    list->SetOnClick([&](TObject*) { ++listClicks; });
    list->OnGetData = [&](TObject*) {
        ++fills;
        EXPECT_TRUE(list->Filling());
    };
    TdxBarButton* open = Button("&Open");
    TdxBarSubItem* file = SubItem("&File", {open, list});
    TdxBar* bar = MenuBar({file});
    list->SetItemIndex(2);
    EXPECT_EQ(list->DataIndex(), 1);
    list->SetDataIndex(50);
    EXPECT_EQ(list->ItemIndex(), list->Items()->Count());

    Click(Centre(file, bar));
    ASSERT_NE(Menu(file), nullptr);
    EXPECT_EQ(fills, 1);
    EXPECT_FALSE(list->Filling());
    // The list's own line gives way to one line per entry that is not a separator.
    const auto& shown = file->ItemLinks()->ShownLinks();
    ASSERT_EQ(shown.size(), 12u);
    EXPECT_EQ(shown[1]->Caption(), "&1 one");
    EXPECT_EQ(shown[2]->Caption(), "&2 two");
    EXPECT_TRUE(shown[1]->BeginGroup());
    EXPECT_TRUE(shown[2]->BeginGroup());
    EXPECT_FALSE(shown[3]->BeginGroup());
    EXPECT_EQ(shown[10]->Caption(), "&A j");
    EXPECT_EQ(shown[11]->Caption(), "&B k");
    auto* two = dynamic_cast<TdxBarButton*>(shown[2]->Item());
    ASSERT_NE(two, nullptr);
    Click(LineCentre(file, two));
    EXPECT_EQ(listClicks, 1);
    EXPECT_EQ(list->ItemIndex(), 2);
    EXPECT_EQ(list->DataIndex(), 1);
    // Closed: the menu holds its own two links again.
    EXPECT_EQ(Menu(file), nullptr);
    EXPECT_EQ(file->ItemLinks()->Count(), 2);
    EXPECT_EQ(file->ItemLinks()->ShownLinks().size(), 2u);

    // A data handler that fails leaves the menu open with the list as it was; its failure reaches the
    // application's handler.
    std::vector<std::string> failures;
    Application->OnException = [&](TObject*, const Exception& E) { failures.push_back(E.Message()); };
    list->OnGetData = [&](TObject*) { throw std::runtime_error("no data"); };
    Click(Centre(file, bar));
    Application->OnException = nullptr;
    ASSERT_NE(Menu(file), nullptr);
    EXPECT_FALSE(list->Filling());
    EXPECT_EQ(file->ItemLinks()->ShownLinks().size(), 12u);
    EXPECT_EQ(failures, std::vector<std::string>{"no data"});
    CloseMenus();
    // Deleting the list while nothing shows it frees its generated buttons with it.
    delete list;
    EXPECT_EQ(file->ItemLinks()->Count(), 1);
}

// The cascade's delayed opening and closing run from timers: a handler that fails there is reported by
// the application, and the menus go on working.
TEST_F(MenuTest, AFailingHandlerOfADelayedCascadeReachesTheApplication) {
    TdxBarButton* open = Button("&Open");
    TdxBarSubItem* recent = SubItem("&Recent", {Button("First")});
    TdxBarSubItem* file = SubItem("&File", {open, recent});
    TdxBar* bar = MenuBar({file});
    std::vector<std::string> failures;
    Application->OnException = [&](TObject*, const Exception& E) { failures.push_back(E.Message()); };
    recent->OnPopup = [](TObject*) { throw Exception("popup failed"); };
    recent->OnCloseUp = [](TObject*) { throw Exception("close-up failed"); };
    Click(Centre(file, bar));
    MoveTo(LineCentre(file, recent));
    Wait(400);
    EXPECT_EQ(failures, std::vector<std::string>{"popup failed"});
    ASSERT_NE(Menu(file), nullptr);
    // Opened without the failure, then left for another line: the closing fails in turn.
    recent->OnPopup = nullptr;
    MoveTo(LineCentre(file, open));
    Wait(400);
    MoveTo(LineCentre(file, recent));
    Wait(400);
    ASSERT_NE(Menu(recent), nullptr);
    MoveTo(LineCentre(file, open));
    Wait(400);
    Application->OnException = nullptr;
    EXPECT_EQ(failures, (std::vector<std::string>{"popup failed", "close-up failed"}));
    EXPECT_EQ(Menu(recent), nullptr);
    EXPECT_EQ(GetActiveBarControl(), Menu(file));
}

TEST_F(MenuTest, AMenuAtAPointTakesTheRightButtonAsTheLeftAndAListOnAToolbarOpensItsEntries) {
    TdxBarButton* first = Button("First");
    TdxBarSubItem* context = SubItem("Context", {first, Button("Second")});
    auto* popup = dynamic_cast<TdxBarSubMenuControl*>(context->ItemLinks()->CreateBarControl());
    ASSERT_NE(popup, nullptr);
    popup->SetRequestedPos(POINT{200, 200});
    popup->ShowMenu();
    Pump();
    EXPECT_TRUE(popup->IsFreePopup());
    const POINT p = LineCentre(context, first);
    MoveTo(p);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Down, p, pw::gui::MouseButton::Right);
    Pump();
    pw::gui::SimulateMouse(pw::gui::MouseAction::Up, p, pw::gui::MouseButton::Right);
    Pump();
    EXPECT_EQ(Clicks(first), 1);
    EXPECT_EQ(context->ItemLinks()->BarControl(), nullptr);

    auto* list = new TdxBarListItem(&form);
    list->SetCaption("Recent");
    list->Items()->Add("x");
    list->Items()->Add("y");
    TdxBar* tools = Toolbar("Tools", {list});
    Click(Centre(list, tools));
    ASSERT_NE(list->ItemLinks()->BarControl(), nullptr);
    ASSERT_EQ(list->ItemLinks()->Count(), 2);
    EXPECT_EQ(list->ItemLinks()->Items(1)->Caption(), "&2 y");
    auto* y = dynamic_cast<TdxBarButton*>(list->ItemLinks()->Items(1)->Item());
    Click(LineCentre(list, y));
    EXPECT_EQ(list->ItemIndex(), 1);
    EXPECT_EQ(list->ItemLinks()->BarControl(), nullptr);
    EXPECT_EQ(list->ItemLinks()->Count(), 0);
}

TEST_F(MenuTest, ADetachableMenuTearsOffIntoItsToolbarWhenItsStripIsDraggedAway) {
    TdxBar* torn = Toolbar("Torn", {Button("t")}, dsNone);
    torn->SetVisible(false);
    TdxBarSubItem* file = SubItem("&File", {Button("a")});
    TdxBar* bar = MenuBar({file});
    file->SetDetachable(true);
    file->SetDetachingBar(torn->Index());
    int detaching = 0;
    file->OnDetaching = [&](TObject*) { ++detaching; };
    const POINT* releaseAt = nullptr;
    manager->OnBarVisibleChange = [&](TdxBarManager*, TdxBar* shown) {
        // The button comes up while the torn-off toolbar follows the pointer.
        if (shown == torn && torn->Visible() && releaseAt != nullptr)
            pw::gui::SimulateMouse(pw::gui::MouseAction::Up, *releaseAt, pw::gui::MouseButton::Left);
    };
    Click(Centre(file, bar));
    TdxBarSubMenuControl* menu = Menu(file);
    ASSERT_NE(menu, nullptr);
    ASSERT_TRUE(menu->HasDetachBar());
    RECT window{0, 0, 0, 0};
    GetWindowRect(menu->Handle(), window);
    POINT client{0, 0};
    ClientToScreen(menu->Handle(), client);
    EXPECT_GT(client.y - window.top, 2);
    const POINT strip{(window.left + window.right) / 2, window.top + 2};
    MoveTo(strip);
    EXPECT_TRUE(menu->DetachHot());
    // A press and a release on the strip (queued together: the press holds the pointer) tear nothing off.
    pw::gui::SimulateMouse(pw::gui::MouseAction::Down, strip, pw::gui::MouseButton::Left);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Up, strip, pw::gui::MouseButton::Left);
    Pump();
    ASSERT_EQ(Menu(file), menu);
    EXPECT_FALSE(torn->Visible());
    // Pressed and pulled away: the menu closes and its toolbar floats where the pointer went.
    const POINT away{strip.x + 150, strip.y + 200};
    releaseAt = &away;
    Wait(1000);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Down, strip, pw::gui::MouseButton::Left);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, away);
    Pump();
    EXPECT_EQ(detaching, 1);
    EXPECT_EQ(Menu(file), nullptr);
    EXPECT_TRUE(torn->Visible());
    EXPECT_EQ(torn->DockingStyle(), dsNone);
    ASSERT_NE(Window(torn), nullptr);
    RECT r{0, 0, 0, 0};
    GetWindowRect(Window(torn)->Handle(), r);
    fprintf(stderr, "r %ld %ld %ld %ld away %ld %ld\n", (long)r.left, (long)r.top, (long)r.right,
            (long)r.bottom, (long)away.x, (long)away.y);
    EXPECT_LE(r.left, away.x);
    EXPECT_GT(r.right, away.x);
    EXPECT_EQ(GetActiveBarControl(), nullptr);
}

TEST_F(MenuTest, ATornOffMenuComesBackOverItsStripAndEscapePutsItsToolbarAway) {
    TdxBar* torn = Toolbar("Torn", {Button("t")}, dsNone);
    torn->SetVisible(false);
    TdxBarSubItem* file = SubItem("&File", {Button("a")});
    TdxBar* bar = MenuBar({file});
    file->SetDetachable(true);
    file->SetDetachingBar(torn->Index());
    int detaching = 0, popups = 0;
    bool menuOnReturn = false;
    file->OnDetaching = [&](TObject*) {
        // The second tear-off starts from the menu that opened again.
        if (++detaching == 2) menuOnReturn = Menu(file) != nullptr && IsWindowVisible(Menu(file)->Handle());
    };
    file->OnPopup = [&](TObject*) { ++popups; };
    Click(Centre(file, bar));
    ASSERT_NE(Menu(file), nullptr);
    RECT window{0, 0, 0, 0};
    GetWindowRect(Menu(file)->Handle(), window);
    const POINT strip{(window.left + window.right) / 2, window.top + 2};
    const POINT away{strip.x + 150, strip.y + 200};
    // The person's hand, at each change of the toolbar: away, back over the strip, away, then Escape.
    int shows = 0, hides = 0;
    manager->OnBarVisibleChange = [&](TdxBarManager*, TdxBar* changed) {
        if (changed != torn) return;
        if (torn->Visible()) {
            if (++shows == 1) pw::gui::SimulateMouse(pw::gui::MouseAction::Move, strip);
            if (shows == 2) pw::gui::SimulateKey(VK_ESCAPE, true);
        } else if (++hides == 1) {
            pw::gui::SimulateMouse(pw::gui::MouseAction::Move, away);
        }
    };
    MoveTo(strip);
    Wait(1000);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Down, strip, pw::gui::MouseButton::Left);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Move, away);
    Pump();
    pw::gui::SimulateKey(VK_ESCAPE, false);
    pw::gui::SimulateMouse(pw::gui::MouseAction::Up, away, pw::gui::MouseButton::Left);
    Pump();
    EXPECT_EQ(shows, 2);
    EXPECT_EQ(hides, 2);
    EXPECT_TRUE(menuOnReturn);
    EXPECT_EQ(popups, 2);
    EXPECT_EQ(detaching, 2);
    EXPECT_FALSE(torn->Visible());
    EXPECT_EQ(Menu(file), nullptr);
    EXPECT_EQ(GetActiveBarControl(), nullptr);
}

TEST_F(MenuTest, AnOpenMenuClosesWhenItsDockSiteChangesSizeButNotForAPlacedSiteElsewhere) {
    TdxBarSubItem* file = SubItem("&File", {Button("&Open")});
    TdxBar* bar = MenuBar({file});
    Click(Centre(file, bar));
    ASSERT_NE(Menu(file), nullptr);
    auto* placed = new bars::TdxBarDockControl(&form);
    placed->SetAlign(alNone);
    placed->SetParent(&form);
    placed->SetBounds(50, 200, 300, 0);
    placed->SetBarManager(manager);
    TdxBar* elsewhere = manager->Bars()->Add();
    elsewhere->ItemLinks()->Add()->SetItem(Button("&Far"));
    elsewhere->SetDockControl(placed);
    elsewhere->SetVisible(true);
    Pump();
    ASSERT_GT(placed->Height(), 0);
    EXPECT_NE(GetActiveBarControl(), nullptr);
    // A second row in the menu bar's own site moves the edge the menu hangs from.
    Toolbar("Second", {Button("&Save")}, dsTop, 1);
    EXPECT_EQ(GetActiveBarControl(), nullptr);
    EXPECT_EQ(Menu(file), nullptr);
}

// A button whose menu lines note what their menu told them about being in view.
class InViewButton : public TdxBarButton {
public:
    using TdxBarButton::TdxBarButton;
    std::string ClassName() const override { return "TInViewTestButton"; }
    // The last answer, -1 before any.
    int inView = -1;
};
class InViewButtonControl : public bars::TdxBarButtonControl {
public:
    using TdxBarButtonControl::TdxBarButtonControl;
    void SetInView(bool Value) override {
        if (auto* item = dynamic_cast<InViewButton*>(Item())) item->inView = Value ? 1 : 0;
    }
};

TEST_F(MenuTest, LinesAreToldWhetherTheyAreInViewAndTheLastOneShownKnowsIt) {
    RegisterBarItemClass<InViewButton>(
        "TInViewTestButton",
        [](TdxBarItemLink* Link) -> std::unique_ptr<bars::ItemControl> {
            return std::make_unique<InViewButtonControl>(Link);
        },
        false);
    std::vector<InViewButton*> lines;
    TdxBarSubItem* file = SubItem("&File", {});
    for (int i = 0; i < 120; ++i) {
        auto* button = new InViewButton(&form);
        button->SetCaption("Line " + std::to_string(i));
        file->ItemLinks()->Add()->SetItem(button);
        lines.push_back(button);
    }
    TdxBar* bar = MenuBar({file});
    Click(Centre(file, bar));
    TdxBarSubMenuControl* menu = Menu(file);
    ASSERT_NE(menu, nullptr);
    ASSERT_TRUE(menu->HasBottomArrow());
    const int visible = menu->VisibleCount();
    auto lastInView = [&] {
        std::vector<int> last;
        for (int i = 0; i < 120; ++i)
            if (LineControl(file, lines[static_cast<size_t>(i)])->IsLastInView) last.push_back(i);
        return last;
    };
    // The row under the bottom arrow is not in view; the line above it is the last one shown.
    EXPECT_EQ(lines[0]->inView, 1);
    EXPECT_EQ(lines[static_cast<size_t>(visible - 2)]->inView, 1);
    EXPECT_EQ(lines[static_cast<size_t>(visible - 1)]->inView, 0);
    EXPECT_EQ(lines[119]->inView, 0);
    EXPECT_EQ(lastInView(), (std::vector<int>{visible - 2}));
    // Scrolled by one: the first line is gone and the top arrow covers the second.
    menu->SetTopIndex(1);
    UpdateWindow(menu->Handle());
    EXPECT_EQ(lines[0]->inView, 0);
    EXPECT_EQ(lines[1]->inView, 0);
    EXPECT_EQ(lines[2]->inView, 1);
    EXPECT_EQ(lastInView(), (std::vector<int>{menu->TopIndex() + menu->VisibleCount() - 2}));
    CloseMenus();
    UnRegisterBarItemClass("TInViewTestButton");
}

TEST_F(MenuTest, AMenusOwnerPaintsItsSideBandAndItsLinesStartBesideIt) {
    TdxBarButton* open = Button("&Open");
    TdxBarSubItem* file = SubItem("&File", {open, Button("&Save")});
    file->SetBarSize(24);
    RECT band{0, 0, 0, 0};
    TObject* sender = nullptr;
    file->OnPaintBar = [&](TObject* Sender, TCanvas* Canvas, const RECT& R) {
        sender = Sender;
        band = R;
        const RECT r = R;
        FillRectByColor(Canvas->Handle(), r, static_cast<TColor>(RGB(200, 0, 0)));
    };
    TdxBar* bar = MenuBar({file});
    Click(Centre(file, bar));
    TdxBarSubMenuControl* menu = Menu(file);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(sender, file);
    EXPECT_EQ(band.left, 0);
    EXPECT_EQ(band.top, 0);
    EXPECT_EQ(band.right, 24);
    EXPECT_EQ(band.bottom, menu->ClientHeight());
    POINT p{3, menu->ClientHeight() / 2};
    ClientToScreen(menu->Handle(), p);
    const Surface s = pw::gui::ComposeScreen(RECT{p.x, p.y, p.x + 1, p.y + 1});
    EXPECT_EQ(s.Pixel(0, 0) & 0xFFFFFF, 0xC80000u);
    EXPECT_GE(file->ItemLinks()->Items(0)->ItemRect().left, 24);
}

TEST_F(MenuTest, AMenuPrintsItselfFrameAndLinesIntoAnotherDC) {
    TdxBarButton* open = Button("&Open");
    TdxBarSubItem* file = SubItem("&File", {open, Button("&Save"), Button("E&xit")});
    file->ItemLinks()->Items(2)->SetBeginGroup(true);
    TdxBar* bar = MenuBar({file});
    Click(Centre(file, bar));
    TdxBarSubMenuControl* menu = Menu(file);
    ASSERT_NE(menu, nullptr);
    MoveTo(LineCentre(file, open));
    RECT window{0, 0, 0, 0};
    GetWindowRect(menu->Handle(), window);
    const int w = window.right - window.left, h = window.bottom - window.top;
    pw::gdi::MemoryDC printed(nullptr, w, h);
    SendMessage(menu->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(printed.Get()),
                PRF_NONCLIENT | PRF_CLIENT);
    const Surface shown = pw::gui::ComposeScreen(window);
    int differ = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint32_t argb = shown.Pixel(x, y);
            differ +=
                GetPixel(printed.Get(), x, y) != RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
        }
    // The frame came into the DC given, not onto the window: the copy is the menu as shown.
    EXPECT_EQ(differ, 0);
}

TEST_F(MenuTest, ALineSelectedInAShortMenuLightsTheExpandButtonAfterItsOwnDelayUnlessACascadeShows) {
    manager->SetMenusShowRecentItemsFirst(true);
    TdxBarButton* open = Button("&Open");
    TdxBarSubItem* recent = SubItem("&Recent", {Button("First")});
    TdxBarSubItem* file = SubItem("&File", {open, recent, Button("E&xit")});
    TdxBar* bar = MenuBar({file});
    // Open and Recent are the recent ones.
    file->ItemLinks()->Items(0)->SetUseCount(40);
    file->ItemLinks()->Items(1)->SetUseCount(40);
    file->ItemLinks()->MoveInRecentOrder(file->ItemLinks()->Items(0), 0);
    file->ItemLinks()->MoveInRecentOrder(file->ItemLinks()->Items(1), 1);
    Click(Centre(file, bar));
    TdxBarSubMenuControl* menu = Menu(file);
    ASSERT_NE(menu, nullptr);
    ASSERT_TRUE(menu->IsMarkVisible());
    // A second after the menu opened a line is selected: its timer takes the place of the menu's own.
    Wait(1000);
    MoveTo(LineCentre(file, open));
    Wait(3000);
    EXPECT_EQ(file->ItemLinks()->CanVisibleItemCount(), 2);
    EXPECT_EQ(menu->MarkState(), 0);
    Wait(999);
    EXPECT_EQ(menu->MarkState(), 0);
    // Due now: the selection's timer, number 2 on the menu's window.
    now += 1;
    MSG due;
    ASSERT_TRUE(PeekMessage(due, menu->Handle(), WM_TIMER, WM_TIMER, PM_NOREMOVE));
    EXPECT_EQ(due.wParam, 2u);
    Pump();
    // The button lights up; nothing expands.
    EXPECT_EQ(menu->MarkState(), 1);
    EXPECT_EQ(Menu(file), menu);
    EXPECT_EQ(file->ItemLinks()->CanVisibleItemCount(), 2);
    EXPECT_FALSE(MenusExpanded());
    CloseMenus();

    // With a cascade open when the time is up, the button stays dark.
    Click(Centre(file, bar));
    menu = Menu(file);
    ASSERT_NE(menu, nullptr);
    MoveTo(LineCentre(file, recent));
    Wait(400);
    ASSERT_NE(Menu(recent), nullptr);
    Wait(3600);
    EXPECT_EQ(menu->MarkState(), 0);
    EXPECT_EQ(file->ItemLinks()->CanVisibleItemCount(), 2);
}

} // namespace
} // namespace bars_windows_test

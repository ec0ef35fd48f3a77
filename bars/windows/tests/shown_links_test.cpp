// Links added to, moved in or taken from a bar or a menu that is showing: its window follows.
#include <gtest/gtest.h>

#include "bar_windows_fixture.h"
#include "bars/core/bar_routines.h"
#include "bars/core/popup_menu.h"
#include "bars/core/sub_item.h"
#include "bars/windows/sub_menu_control.h"
#include "platform/gui/window.h"

namespace bars_windows_test {
namespace {

RECT WindowRect(HWND window) {
    RECT r{0, 0, 0, 0};
    GetWindowRect(window, r);
    return r;
}

using ShownLinksTest = BarWindowsTest;

TEST_F(ShownLinksTest, ALinkAddedToAShownToolbarOrMenuGetsItsControlAndTheWindowItsSize) {
    TdxBarButton* one = Button("One");
    // A caption with neither mark nor close button beside it, narrower than a button: the window's
    // width is the buttons'.
    TdxBar* bar = Toolbar("T", {one}, dsNone);
    bar->SetAllowClose(false);
    bar->SetAllowQuickCustomizing(false);
    Pump();
    ASSERT_NE(Window(bar), nullptr);
    const RECT before = WindowRect(Window(bar)->Handle());
    TdxBarButton* two = Button("Two");
    TdxBarButton* three = Button("Three");
    bar->ItemLinks()->Add()->SetItem(two);
    bar->ItemLinks()->Add()->SetItem(three);
    Pump();
    ASSERT_NE(Control(two, bar), nullptr);
    ASSERT_NE(Control(three, bar), nullptr);
    const RECT after = WindowRect(Window(bar)->Handle());
    EXPECT_GT(after.right - after.left, before.right - before.left);
    // The new button is where a click finds it.
    const POINT p = Centre(three, bar);
    Press(p);
    Release(p);
    EXPECT_EQ(Clicks(three), 1);
    // Moved to the front, it is laid out there.
    bar->ItemLinks()->Items(2)->SetIndex(0);
    Pump();
    ASSERT_NE(Control(three, bar), nullptr);
    const RECT front = Control(three, bar)->ScreenRect(), next = Control(one, bar)->ScreenRect();
    EXPECT_TRUE(front.top < next.top || (front.top == next.top && front.left < next.left))
        << front.left << "," << front.top << " " << next.left << "," << next.top;

    // A popup menu that shows takes a line its handler adds.
    manager->SetMenusShowRecentItemsFirst(false);
    auto* menu = new TdxBarPopupMenu(&form);
    menu->ItemLinks()->Add()->SetItem(Button("First"));
    menu->NoModalLoop = true;
    menu->Popup(200, 200);
    auto* window = dynamic_cast<bars::TdxBarSubMenuControl*>(menu->ItemLinks()->BarControl());
    ASSERT_NE(window, nullptr);
    const RECT shown = WindowRect(window->Handle());
    TdxBarButton* added = Button("Added");
    menu->ItemLinks()->Add()->SetItem(added);
    Pump();
    ASSERT_EQ(menu->ItemLinks()->BarControl(), window);
    const RECT grown = WindowRect(window->Handle());
    EXPECT_GT(grown.bottom - grown.top, shown.bottom - shown.top);
    EXPECT_EQ(grown.top, shown.top);
    TdxBarItemLink* link = menu->ItemLinks()->Items(1);
    ASSERT_NE(link->Control(), nullptr);
    const RECT line = link->Control()->ScreenRect();
    EXPECT_GT(line.bottom, line.top);
    EXPECT_LE(line.bottom, grown.bottom);
    window->HideAll();
    Pump();
    EXPECT_EQ(menu->ItemLinks()->BarControl(), nullptr);
}

} // namespace
} // namespace bars_windows_test

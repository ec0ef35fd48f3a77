// Keys typed in an open menu of a main menu bar of three menus: Left and Right move to the menu before
// and after, and in a menu that hides its rarely used lines Down or Tab on the last line shown shows
// them all and moves on into them.
#include <gtest/gtest.h>

#include <string>

#include "bar_windows_fixture.h"
#include "bars/core/bar_routines.h"
#include "bars/core/sub_item.h"
#include "bars/windows/sub_menu_control.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"

namespace bars_windows_test {
namespace {

class MenuBarKeysTest : public BarWindowsTest {
protected:
    // The clock stands still: no delay of a menu runs out while the keys are typed.
    MenuBarKeysTest() {
        pw::gui::SetTickSource([this] { return now; });
    }
    ~MenuBarKeysTest() override {
        if (auto* active = dynamic_cast<bars::TCustomdxBarControl*>(GetActiveBarControl())) active->HideAll();
        Pump();
        pw::gui::SetTickSource(nullptr);
    }

    TdxBarSubItem* SubItem(const std::string& caption, std::initializer_list<TdxBarItem*> items) {
        auto* item = new TdxBarSubItem(&form);
        item->SetCaption(caption);
        for (TdxBarItem* i : items)
            item->ItemLinks()->Add()->SetItem(i);
        return item;
    }
    // File, Tools and Help, as the program's own menu bar.
    void Build(bool recentFirst) {
        manager->SetMenusShowRecentItemsFirst(recentFirst);
        open = Button("&Open");
        save = Button("&Save");
        print = Button("&Print");
        exit = Button("E&xit");
        file = SubItem("&File", {open, save, print, exit});
        tools = SubItem("&Tools", {Button("&Options")});
        help = SubItem("&Help", {Button("&About")});
        menuBar = Toolbar("Menu", {file, tools, help});
        menuBar->SetIsMainMenu(true);
        Pump();
    }
    static bars::TdxBarSubMenuControl* Menu(TdxBarSubItem* item) {
        return dynamic_cast<bars::TdxBarSubMenuControl*>(item->ItemLinks()->BarControl());
    }
    void OpenByClick(TdxBarSubItem* item) {
        Press(Centre(item, menuBar));
        Release(Centre(item, menuBar));
    }
    static void Stroke(BYTE vk) {
        pw::gui::SimulateKeyStroke(vk);
        Pump();
    }
    // Which of the three menus is open, by caption; "" for none, "+" for more than one.
    std::string OpenMenu() const {
        std::string shown;
        for (TdxBarSubItem* item : {file, tools, help})
            if (Menu(item) != nullptr && IsWindowVisible(Menu(item)->Handle()))
                shown = shown.empty() ? item->Caption() : "+";
        return shown;
    }
    bool LineSelected(TdxBarSubItem* menu, TdxBarItem* item) const {
        for (int i = 0; i < menu->ItemLinks()->Count(); ++i)
            if (TdxBarItemLink* link = menu->ItemLinks()->Items(i); link->Item() == item)
                if (auto* control = dynamic_cast<bars::TdxBarItemControl*>(link->Control()))
                    return control->IsSelected();
        return false;
    }

    DWORD now = 100000;
    TdxBarButton *open = nullptr, *save = nullptr, *print = nullptr, *exit = nullptr;
    TdxBarSubItem *file = nullptr, *tools = nullptr, *help = nullptr;
    TdxBar* menuBar = nullptr;
};

TEST_F(MenuBarKeysTest, LeftAndRightInAMenuOpenTheMenuBeforeAndTheMenuAfterOnTheBar) {
    Build(false);
    OpenByClick(tools);
    ASSERT_EQ(OpenMenu(), "&Tools");
    Stroke(VK_LEFT);
    EXPECT_EQ(OpenMenu(), "&File");
    Stroke(VK_RIGHT);
    EXPECT_EQ(OpenMenu(), "&Tools");
    Stroke(VK_RIGHT);
    EXPECT_EQ(OpenMenu(), "&Help");
    // From the ends the bar goes round.
    Stroke(VK_RIGHT);
    EXPECT_EQ(OpenMenu(), "&File");
    Stroke(VK_LEFT);
    EXPECT_EQ(OpenMenu(), "&Help");
    Stroke(VK_LEFT);
    EXPECT_EQ(OpenMenu(), "&Tools");
    // A menu reached by the keys shows its first line selected.
    EXPECT_TRUE(LineSelected(tools, tools->ItemLinks()->Items(0)->Item()));
}

TEST_F(MenuBarKeysTest, DownOrTabOnTheLastLineOfAShortMenuShowsEveryLineAndMovesIntoThem) {
    Build(true);
    // Open and Save are the recent lines; Print and Exit wait behind the expand button.
    TdxBarItemLinks* links = file->ItemLinks();
    links->Items(0)->SetUseCount(40);
    links->Items(1)->SetUseCount(40);
    links->MoveInRecentOrder(links->Items(0), 0);
    links->MoveInRecentOrder(links->Items(1), 1);
    for (BYTE key : {VK_DOWN, VK_TAB}) {
        SCOPED_TRACE(key == VK_DOWN ? "Down" : "Tab");
        // Each chain of menus starts short again.
        OpenByClick(file);
        ASSERT_EQ(OpenMenu(), "&File");
        ASSERT_TRUE(Menu(file)->IsMarkVisible());
        ASSERT_EQ(links->CanVisibleItemCount(), 2);
        Stroke(key);
        Stroke(key);
        // On the last line shown, not yet past it.
        EXPECT_TRUE(LineSelected(file, save));
        EXPECT_FALSE(MenusExpanded());
        EXPECT_EQ(links->CanVisibleItemCount(), 2);
        Stroke(key);
        ASSERT_EQ(OpenMenu(), "&File");
        EXPECT_TRUE(MenusExpanded());
        EXPECT_EQ(links->CanVisibleItemCount(), 4);
        EXPECT_FALSE(Menu(file)->IsMarkVisible());
        EXPECT_TRUE(LineSelected(file, print));
        // The expanded menu then moves on as any other.
        Stroke(key);
        EXPECT_TRUE(LineSelected(file, exit));
        Stroke(VK_ESCAPE);
        Stroke(VK_ESCAPE);
        ASSERT_EQ(GetActiveBarControl(), nullptr);
    }
}

} // namespace
} // namespace bars_windows_test

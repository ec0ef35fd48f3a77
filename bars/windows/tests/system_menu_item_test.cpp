// The system-menu entry of a main menu bar: a window's system menu mirrored as bar items.
#include <gtest/gtest.h>

#include "bar_windows_fixture.h"
#include "bars/core/bar_unit.h"
#include "bars/core/sub_item.h"
#include "bars/core/system_menu_item.h"
#include "platform/gdi/metrics.h"
#include "platform/graphics/bitmap.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/menus.h"
#include "platform/gui/window.h"
#include "platform/vcl/shortcut.h"

namespace bars_windows_test {
namespace {

class SystemMenuItemTest : public BarWindowsTest {
protected:
    SystemMenuItemTest() {
        auto* file = new TdxBarSubItem(&form);
        file->SetCaption("&File");
        menuBar = Toolbar("Menu", {file});
        menuBar->SetIsMainMenu(true);
        child.SetBounds(700, 500, 300, 200);
        child.Show();
        Pump();
    }
    TSystemMenuSubItem* Entry() const {
        return dynamic_cast<TSystemMenuSubItem*>(menuBar->ItemLinks()->Items(0)->Item());
    }
    TdxBarItem* Line(const std::string& caption) const {
        TdxBarItemLinks* links = Entry()->ItemLinks();
        for (int i = 0; i < links->Count(); ++i)
            if (links->Items(i)->Item()->Caption() == caption) return links->Items(i)->Item();
        return nullptr;
    }
    TdxBar* menuBar = nullptr;
    BarsForm child;
};

TEST_F(SystemMenuItemTest, TheEntryMirrorsTheWindowsMenuAndSendsItsCommands) {
    bars::AddSystemMenuItem(manager, child.Handle());
    Pump();
    ASSERT_NE(Entry(), nullptr);
    EXPECT_EQ(menuBar->ItemLinks()->Count(), 2);
    auto* control = dynamic_cast<bars::TdxBarItemControl*>(menuBar->ItemLinks()->Items(0)->Control());
    ASSERT_NE(control, nullptr);
    const RECT r = control->Bounds();
    EXPECT_EQ(r.right - r.left, GetSystemMetrics(SM_CXSMICON));

    bars::BuildSystemMenuItems(Entry());
    TdxBarItemLinks* links = Entry()->ItemLinks();
    ASSERT_EQ(links->Count(), 6); // the separator is a group line, no item
    EXPECT_EQ(links->Items(0)->Item()->Caption(), "&Restore");
    TdxBarItem* close = Line("&Close"); // the shortcut is cut off the caption...
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->ShortCut(), TextToShortCut("Alt+F4")); // ...and becomes the item's shortcut
    EXPECT_EQ(close->ShortCut(), ShortCut(VK_F4, TShiftState{ssAlt}));
    EXPECT_TRUE(links->Items(5)->BeginGroup());
    EXPECT_FALSE(Line("&Restore")->Enabled()); // the window is not maximized
    EXPECT_TRUE(Line("Ma&ximize")->Enabled());
    EXPECT_FALSE(Line("Ma&ximize")->Glyph()->Empty());
    EXPECT_TRUE(Line("&Move")->Glyph()->Empty());

    // A line sends its command to the window; the next opening reads the window's new state.
    Line("Ma&ximize")->Click();
    Pump();
    EXPECT_TRUE(IsZoomed(child.Handle()));
    bars::BuildSystemMenuItems(Entry());
    EXPECT_EQ(Entry()->ItemLinks()->Count(), 6);
    EXPECT_TRUE(Line("&Restore")->Enabled());
    EXPECT_FALSE(Line("Ma&ximize")->Enabled());

    bars::RemoveSystemMenuItem(manager);
    Pump();
    EXPECT_EQ(menuBar->ItemLinks()->Count(), 1);
    EXPECT_EQ(dynamic_cast<TSystemMenuSubItem*>(menuBar->ItemLinks()->Items(0)->Item()), nullptr);
    bars::RemoveSystemMenuItem(manager); // nothing left to remove
    EXPECT_EQ(menuBar->ItemLinks()->Count(), 1);
}

// A double click on the icon runs the menu's default command, closing the window.
TEST_F(SystemMenuItemTest, ADoubleClickRunsTheDefaultCommand) {
    auto* other = new BarsForm;
    other->SetBounds(700, 500, 200, 150); // clear of the menu bar
    other->Show();
    Pump();
    bars::AddSystemMenuItem(manager, other->Handle());
    Pump();
    auto* control = dynamic_cast<bars::TdxBarItemControl*>(menuBar->ItemLinks()->Items(0)->Control());
    ASSERT_NE(control, nullptr);
    bool closed = false;
    other->OnClose = [&](TObject*, TCloseAction& action) {
        closed = true;
        action = caHide;
    };
    const RECT r = control->ScreenRect();
    const POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    MoveTo(p);
    pw::gui::SimulateClick(p);
    pw::gui::SimulateClick(p);
    Pump();
    EXPECT_TRUE(closed);
    bars::RemoveSystemMenuItem(manager);
    delete other;
}

} // namespace
} // namespace bars_windows_test

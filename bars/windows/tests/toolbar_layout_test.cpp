// Toolbar layout with controls of fixed sizes: rows, groups, the widest control, the searches for a
// floating size, and the rows of a dock site.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "bar_windows_fixture.h"
#include "bars/core/item_registry.h"
#include "platform/gui/window.h"

namespace bars_windows_test {
namespace {

using bars::TdxBarItemControl;

// A button whose caption gives its size: "40x22".
class FixedControl : public bars::TdxBarButtonControl {
public:
    using TdxBarButtonControl::TdxBarButtonControl;
    int GetWidth() const override { return std::atoi(GetCaption().c_str()); }
    int GetHeight() const override {
        return std::atoi(GetCaption().substr(GetCaption().find('x') + 1).c_str());
    }
};

class ToolbarLayoutTest : public BarWindowsTest {
protected:
    ToolbarLayoutTest() {
        SetBarItemControlClass("TdxBarButton",
                               [](TdxBarItemLink* link) -> std::unique_ptr<bars::ItemControl> {
                                   return std::make_unique<FixedControl>(link);
                               });
    }
    ~ToolbarLayoutTest() override { SetBarItemControlClass("TdxBarButton", &bars::CreateButtonControl); }

    TdxBarButton* Fixed(int width, int height = 22, bool group = false) {
        TdxBarButton* button =
            Button(std::to_string(width) + "x" + std::to_string(height) + "#" + std::to_string(++made));
        groups[button] = group;
        return button;
    }
    TdxBar* Floating(std::initializer_list<TdxBarItem*> items) {
        TdxBar* bar = manager->Bars()->Add();
        bar->SetCaption("Floating " + std::to_string(++made));
        bar->SetShowMark(false);
        for (TdxBarItem* item : items) {
            TdxBarItemLink* link = bar->ItemLinks()->Add();
            link->SetItem(item);
            link->SetBeginGroup(groups[item]);
        }
        bar->SetDockingStyle(dsNone);
        bar->SetFloatLeft(100);
        bar->SetFloatTop(450);
        bar->SetVisible(true);
        Pump();
        return bar;
    }
    // Wraps the floating bar at a client width and places its controls in a client that size.
    SIZE Wrap(TdxBar* bar, int width) {
        bars::TdxBarControl* window = Window(bar);
        SIZE size{0, 0};
        window->CalcSize(dsNone, width, size);
        SetWindowPos(window->Handle(), nullptr, 0, 0, size.cx + bar->GetNonClientWidth(dsNone),
                     size.cy + bar->GetNonClientHeight(dsNone), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        window->CalcSize(dsNone, width, size);
        return size;
    }
    RECT At(TdxBarItem* item, TdxBar* bar) { return Control(item, bar)->Bounds(); }

    std::map<TdxBarItem*, bool> groups;
    int made = 0;
};

TEST_F(ToolbarLayoutTest, AFloatingToolbarWrapsIntoRowsNoLongerThanItsWidth) {
    TdxBarButton *a = Fixed(40), *b = Fixed(40), *c = Fixed(40), *d = Fixed(40), *e = Fixed(40);
    TdxBar* bar = Floating({a, b, c, d, e});
    const SIZE size = Wrap(bar, 100);
    EXPECT_EQ(size.cx, 80);
    EXPECT_EQ(size.cy, 66);
    EXPECT_EQ(At(b, bar).left, 40);
    EXPECT_EQ(At(c, bar).left, 0);
    EXPECT_EQ(At(c, bar).top, 22);
    EXPECT_EQ(At(e, bar).top, 44);
    EXPECT_TRUE(Control(b, bar)->LastInRow);
    EXPECT_TRUE(Control(c, bar)->StartsRow);
}

TEST_F(ToolbarLayoutTest, AGroupThatOverflowsMovesWholeToTheNextRowWithItsSeparatorBetweenTheRows) {
    TdxBarButton *a = Fixed(40), *b = Fixed(30, 22, true), *c = Fixed(40);
    TdxBar* bar = Floating({a, b, c});
    const SIZE size = Wrap(bar, 110);
    EXPECT_EQ(At(b, bar).left, 0);
    EXPECT_EQ(At(b, bar).top, 22 + 5);
    EXPECT_EQ(At(c, bar).left, 30);
    EXPECT_EQ(size.cx, 70);
    EXPECT_EQ(size.cy, 22 + 5 + 22);
}

TEST_F(ToolbarLayoutTest, AGroupLongerThanARowBreaksAndTheNextGroupThenStartsARow) {
    TdxBarButton *a = Fixed(40), *b = Fixed(40, 22, true), *c = Fixed(40), *d = Fixed(40),
                 *e = Fixed(40, 22, true);
    TdxBar* bar = Floating({a, b, c, d, e});
    Wrap(bar, 100);
    EXPECT_EQ(At(b, bar).left, 0);
    EXPECT_EQ(At(c, bar).left, 40);
    EXPECT_EQ(At(d, bar).left, 0);
    // E and its separator would fit after D, yet it starts a row of its own.
    EXPECT_EQ(At(e, bar).left, 0);
    EXPECT_GT(At(e, bar).top, At(d, bar).top);
}

TEST_F(ToolbarLayoutTest, ARowNarrowerThanOneControlKeepsOneControlPerRowAsWideAsTheWidest) {
    TdxBarButton *a = Fixed(40), *b = Fixed(60), *c = Fixed(30);
    TdxBar* bar = Floating({a, b, c});
    const SIZE size = Wrap(bar, 10);
    EXPECT_EQ(size.cx, 60);
    EXPECT_EQ(size.cy, 66);
    EXPECT_EQ(At(c, bar).top, 44);
}

TEST_F(ToolbarLayoutTest, TheSearchForAFloatingHeightStopsAtTheNarrowestWidth) {
    TdxBarButton *a = Fixed(40), *b = Fixed(40), *c = Fixed(40);
    TdxBar* bar = Floating({a, b, c});
    // No width gives this height: the search ends at one control per row.
    const SIZE tall = Window(bar)->FloatingSizeForHeight(100000);
    EXPECT_EQ(tall.cx, 40);
    EXPECT_EQ(tall.cy, 66);
    const SIZE low = Window(bar)->FloatingSizeForHeight(10);
    EXPECT_EQ(low.cx, 120);
    EXPECT_EQ(low.cy, 22);
}

TEST_F(ToolbarLayoutTest, ColumnsOfAMultiLineSideBarStopAtTheirSmallestHeight) {
    TdxBarButton *a = Fixed(40), *b = Fixed(40), *c = Fixed(40);
    TdxBar* bar = Floating({a, b, c});
    bar->SetMultiLine(true);
    SIZE size{0, 0};
    // A width no set of columns reaches.
    Window(bar)->CalcSize(dsLeft, 100000, size);
    EXPECT_EQ(size.cy, 22);
    EXPECT_EQ(size.cx, 120);
}

TEST_F(ToolbarLayoutTest, ADockedRowSqueezesItsLastToolbarWhichThenShowsItsMark) {
    form.SetBounds(50, 50, 200, 300);
    Pump();
    TdxBarButton *a = Fixed(40), *b = Fixed(40), *c = Fixed(40), *d = Fixed(40);
    TdxBar* first = Toolbar("First", {a, b});
    // Placed after the first one in its row.
    TdxBar* second = Toolbar("Second", {c, d}, dsTop, 0, 150);
    bars::TdxDockControl* site = Site(dsTop);
    ASSERT_EQ(site->RowCount(), 1);
    int row = -1, col = -1;
    ASSERT_TRUE(site->FindBarControl(Window(second), row, col));
    EXPECT_EQ(col, 1);
    RECT r1{}, r2{};
    GetWindowRect(Window(first)->Handle(), r1);
    GetWindowRect(Window(second)->Handle(), r2);
    EXPECT_EQ(r2.left, r1.right);
    EXPECT_EQ(r2.right - r1.left, 200);
    EXPECT_TRUE(Window(second)->ItemsHidden());
    EXPECT_TRUE(Window(second)->IsMarkVisible());
    // One link shows whole (the most recently used), the other has no place on the bar.
    EXPECT_NE(IsRectEmpty(At(c, second)), IsRectEmpty(At(d, second)));
}

TEST_F(ToolbarLayoutTest, ASqueezedRowLeavesEveryToolbarAtLeastItsSmallestLength) {
    form.SetBounds(50, 50, 200, 300);
    Pump();
    TdxBar* first = Toolbar("First", {Fixed(40), Fixed(40)});
    TdxBar* second = Toolbar("Second", {Fixed(40), Fixed(40)}, dsTop, 0, 90);
    // Dropped just after the second: squeezing it pushes the second one back onto the first.
    TdxBar* third = Toolbar("Third", {Fixed(40), Fixed(40)}, dsTop, 0, 100);
    bars::TdxDockControl* site = Site(dsTop);
    ASSERT_EQ(site->RowCount(), 1);
    ASSERT_EQ(site->Rows(0)->Columns.size(), 3u);
    const int length = site->ClientRect().right;
    int end = 0;
    for (TdxBar* bar : {first, second, third}) {
        bars::TdxBarControl* window = Window(bar);
        RECT r{};
        GetWindowRect(window->Handle(), r);
        MapWindowPoints(nullptr, site->Handle(), r);
        // One button shows whole, with the mark beside it.
        const int least = window->GetMinWidth(dsTop) + bar->GetNonClientWidth(dsTop);
        EXPECT_GE(r.right - r.left, least) << bar->Caption();
        EXPECT_GE(r.left, end) << bar->Caption();
        end = r.right;
    }
    EXPECT_EQ(end, length);
}

TEST_F(ToolbarLayoutTest, RowsOfTheTopSiteStackAndTheSiteIsAsHighAsThem) {
    TdxBarButton *a = Fixed(40, 22), *b = Fixed(40, 30);
    TdxBar* first = Toolbar("First", {a});
    TdxBar* second = Toolbar("Second", {b}, dsTop, 1);
    bars::TdxDockControl* site = Site(dsTop);
    ASSERT_EQ(site->RowCount(), 2);
    // Docked rows add the docked frame (2 on each side) to their controls.
    EXPECT_EQ(site->GetRowsSize(), 26 + 34);
    EXPECT_EQ(site->TControl::Height(), 60);
    RECT r{};
    GetWindowRect(Window(second)->Handle(), r);
    MapWindowPoints(nullptr, site->Handle(), r);
    EXPECT_EQ(r.top, 26);
    (void)first;
    // The middle band of a boundary makes a new row, the bands beside it join the rows.
    auto rowAt = [&](int y, bool& fresh) {
        POINT p{10, y};
        ClientToScreen(site->Handle(), p);
        return site->GetRowAtPos(p, fresh);
    };
    bool fresh = false;
    EXPECT_EQ(rowAt(3, fresh), 0);
    EXPECT_FALSE(fresh);
    EXPECT_EQ(rowAt(10, fresh), 1);
    EXPECT_TRUE(fresh);
    EXPECT_EQ(rowAt(20, fresh), 1);
    EXPECT_FALSE(fresh);
    EXPECT_EQ(rowAt(58, fresh), 2);
    EXPECT_TRUE(fresh);
}

// A whole-row bar takes a row of its own wherever it is added, also at the row another toolbar holds,
// and no toolbar joins its row afterwards.
TEST_F(ToolbarLayoutTest, AWholeRowBarTakesARowOfItsOwnAndSharesItWithNone) {
    TdxBar* tools = Toolbar("Tools", {Fixed(40)});
    TdxBar* other = Toolbar("Other", {Fixed(40)}, dsTop, 0, 150);
    bars::TdxDockControl* site = Site(dsTop);
    ASSERT_EQ(site->RowCount(), 1);
    ASSERT_EQ(site->Rows(0)->Columns.size(), 2u);
    auto rowOf = [&](TdxBar* bar) {
        int row = -1, col = -1;
        return site->FindBarControl(Window(bar), row, col) ? row : -1;
    };
    auto alone = [&](TdxBar* bar) {
        const int row = rowOf(bar);
        return row >= 0 && site->Rows(row)->Columns.size() == 1u;
    };
    // Made whole-row where it stands, it comes back on a row of its own as long as the site is wide.
    other->SetWholeRow(true);
    Pump();
    ASSERT_EQ(site->RowCount(), 2);
    EXPECT_TRUE(alone(other));
    EXPECT_TRUE(alone(tools));
    EXPECT_EQ(rowOf(other), 0);
    RECT r{};
    GetWindowRect(Window(other)->Handle(), r);
    EXPECT_EQ(r.right - r.left, site->ClientRect().right);

    // A main menu shown at the toolbar's row takes a new row there.
    TdxBar* menu = manager->Bars()->Add();
    menu->SetCaption("Menu");
    menu->ItemLinks()->Add()->SetItem(Fixed(30));
    menu->SetIsMainMenu(true);
    menu->SetDockingStyle(dsTop);
    menu->SetRow(rowOf(tools));
    menu->SetVisible(true);
    Pump();
    ASSERT_EQ(site->RowCount(), 3);
    EXPECT_TRUE(alone(menu));
    EXPECT_TRUE(alone(tools));
    EXPECT_EQ(rowOf(menu), 1);

    // A toolbar sent to the menu's row does not join it.
    TdxBar* late = Toolbar("Late", {Fixed(40)}, dsTop, rowOf(menu), 200);
    EXPECT_EQ(site->RowCount(), 4);
    EXPECT_TRUE(alone(late));
    EXPECT_TRUE(alone(menu));
}

} // namespace
} // namespace bars_windows_test

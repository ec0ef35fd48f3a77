// The customizing cursors in the screen's table while the bar unit runs.
#include <gtest/gtest.h>

#include <set>

#include "bars/core/bar_cursors.h"
#include "bars/core/bar_unit.h"
#include "bars_test_support.h"
#include "platform/gui/system.h"
#include "platform/vcl/screen.h"

namespace {

TEST(BarCursorsTest, TheFourCustomizingCursorsAreTheirOwnWhileTheUnitRunsAndGoWithIt) {
    ASSERT_TRUE(BarUnitStarted());
    std::set<HCURSOR> seen;
    for (TCursor cursor : {crdxBarDrag, crdxBarDragCopy, crdxBarDragNoDrop, crdxBarEditSizing}) {
        HCURSOR handle = Screen->Cursors(cursor);
        ASSERT_NE(handle, nullptr) << cursor;
        // Not the arrow a missing entry would give.
        EXPECT_NE(pw::gui::CursorId(handle), IDC_ARROW) << cursor;
        seen.insert(handle);
    }
    EXPECT_EQ(seen.size(), 4u);
    ShutdownBarUnit();
    EXPECT_EQ(pw::gui::CursorId(Screen->Cursors(crdxBarDrag)), IDC_ARROW);
    StartBarUnit();
    EXPECT_NE(pw::gui::CursorId(Screen->Cursors(crdxBarDragNoDrop)), IDC_ARROW);
}

} // namespace

// The rectangle helpers' edges: left and top belong to a rectangle, right and bottom do not. Hit tests
// of every window and toolbar button rest on this, so a neighbour's first pixel is never also ours.
#include <gtest/gtest.h>

#include "platform/rtl/wintypes.h"

TEST(RectHelpers, RightAndBottomEdgesAreOutside) {
    const RECT r{10, 20, 30, 40};
    EXPECT_TRUE(PtInRect(r, POINT{10, 20}));
    EXPECT_TRUE(PtInRect(r, POINT{29, 39}));
    EXPECT_FALSE(PtInRect(r, POINT{30, 25}));
    EXPECT_FALSE(PtInRect(r, POINT{15, 40}));
    EXPECT_FALSE(PtInRect(r, POINT{9, 25}));
    EXPECT_FALSE(PtInRect(r, POINT{15, 19}));
    // Two buttons side by side: the shared edge belongs to the right one only.
    const RECT right{30, 20, 50, 40};
    EXPECT_TRUE(PtInRect(right, POINT{30, 25}));
    RECT both{};
    EXPECT_FALSE(IntersectRect(both, r, right));
}

TEST(RectHelpers, EmptyRectanglesHoldNothing) {
    const RECT flat{5, 5, 5, 9};
    EXPECT_TRUE(IsRectEmpty(flat));
    EXPECT_FALSE(PtInRect(flat, POINT{5, 6}));
    EXPECT_FALSE(PtInRect(RECT{8, 8, 4, 4}, POINT{6, 6}));
    RECT all{};
    EXPECT_TRUE(UnionRect(all, flat, RECT{1, 2, 3, 4}));
    EXPECT_EQ(all, (RECT{1, 2, 3, 4}));
}

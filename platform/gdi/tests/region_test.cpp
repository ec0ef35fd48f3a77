#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/region.h"
#include "platform/gdi/regions.h"

namespace {

int CountPoints(const Region& r, const RECT& area) {
    int n = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            n += r.Contains(x, y);
    return n;
}

TEST(Region, AlgebraMatchesPointSets) {
    const Region a(RECT{0, 0, 10, 10}), b(RECT{5, 5, 15, 15});
    const RECT area{-2, -2, 20, 20};
    const Region both = Region::Combine(a, b, Region::Op::And);
    const Region either = Region::Combine(a, b, Region::Op::Or);
    const Region onlyOne = Region::Combine(a, b, Region::Op::Xor);
    const Region aNotB = Region::Combine(a, b, Region::Op::Diff);
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) {
            const bool ia = a.Contains(x, y), ib = b.Contains(x, y);
            ASSERT_EQ(both.Contains(x, y), ia && ib) << x << "," << y;
            ASSERT_EQ(either.Contains(x, y), ia || ib);
            ASSERT_EQ(onlyOne.Contains(x, y), ia != ib);
            ASSERT_EQ(aNotB.Contains(x, y), ia && !ib);
        }
    EXPECT_EQ(CountPoints(either, area), 175);
    EXPECT_EQ(both.Complexity(), SIMPLEREGION);
    EXPECT_EQ(either.Complexity(), COMPLEXREGION);
    EXPECT_EQ(Region::Combine(a, a, Region::Op::Diff).Complexity(), NULLREGION);
    // Canonical form: the same set built two ways compares equal.
    const Region halves =
        Region::Combine(Region(RECT{0, 0, 5, 10}), Region(RECT{5, 0, 10, 10}), Region::Op::Or);
    EXPECT_EQ(halves, a);
    EXPECT_EQ(halves.Rects().size(), 1u);
    const Region stacked =
        Region::Combine(Region(RECT{0, 0, 10, 4}), Region(RECT{0, 4, 10, 10}), Region::Op::Or);
    EXPECT_EQ(stacked, a);
}

// Regions of several bands with gaps, holes and touching edges, combined every way: the result holds
// exactly the points the operation keeps and has the one canonical form of that set.
TEST(Region, CombiningBandedRegionsGivesTheCanonicalPointSet) {
    unsigned seed = 7;
    auto next = [&seed](int n) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 16) % static_cast<unsigned>(n));
    };
    auto randomRegion = [&] {
        Region r;
        for (int i = 0, n = 1 + next(5); i < n; ++i) {
            const int x = next(20), y = next(20);
            const RECT piece{x, y, x + 1 + next(10), y + 1 + next(10)};
            r = Region::Combine(r, Region(piece), next(4) == 0 ? Region::Op::Diff : Region::Op::Or);
        }
        return r;
    };
    const RECT area{-1, -1, 32, 32};
    for (int round = 0; round < 200; ++round) {
        const Region a = randomRegion(), b = randomRegion();
        for (Region::Op op : {Region::Op::And, Region::Op::Or, Region::Op::Xor, Region::Op::Diff}) {
            Region::Builder expected;
            for (int y = area.top; y < area.bottom; ++y) {
                std::vector<std::pair<int, int>> row;
                for (int x = area.left; x < area.right; ++x) {
                    const bool ia = a.Contains(x, y), ib = b.Contains(x, y);
                    const bool in = op == Region::Op::And   ? ia && ib
                                    : op == Region::Op::Or  ? ia || ib
                                    : op == Region::Op::Xor ? ia != ib
                                                            : ia && !ib;
                    if (in) row.emplace_back(x, x + 1);
                }
                expected.AddRow(y, row);
            }
            ASSERT_EQ(Region::Combine(a, b, op), expected.Finish()) << "round " << round;
        }
    }
}

TEST(Region, PolygonAndEllipseCoverPixelCentres) {
    const POINT tri[] = {{0, 0}, {10, 0}, {0, 10}};
    const Region t = Region::Polygon(tri, 3, ALTERNATE);
    EXPECT_TRUE(t.Contains(0, 0));
    EXPECT_TRUE(t.Contains(8, 0));
    EXPECT_FALSE(t.Contains(9, 9));
    EXPECT_FALSE(t.Contains(10, 0));
    EXPECT_EQ(CountPoints(t, RECT{0, 0, 11, 11}), 45); // x + y <= 8
    // A self-overlapping star: WINDING fills the centre, ALTERNATE leaves it empty.
    const POINT star[] = {{10, 0}, {16, 20}, {0, 7}, {20, 7}, {4, 20}};
    EXPECT_TRUE(Region::Polygon(star, 5, WINDING).Contains(10, 10));
    EXPECT_FALSE(Region::Polygon(star, 5, ALTERNATE).Contains(10, 10));
    const Region e = Region::Ellipse(RECT{0, 0, 20, 10});
    EXPECT_TRUE(e.Contains(10, 5));
    EXPECT_FALSE(e.Contains(0, 0));
    EXPECT_FALSE(e.Contains(19, 9));
    EXPECT_EQ(e.Bounds(), (RECT{0, 0, 20, 10}));
}

TEST(RegionHandles, CombineOffsetAndQueries) {
    HRGN a = CreateRectRgn(0, 0, 10, 10);
    HRGN b = CreateRectRgn(5, 5, 15, 15);
    HRGN d = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(CombineRgn(d, a, b, RGN_AND), SIMPLEREGION);
    RECT box;
    EXPECT_EQ(GetRgnBox(d, &box), SIMPLEREGION);
    EXPECT_EQ(box, (RECT{5, 5, 10, 10}));
    EXPECT_EQ(CombineRgn(d, a, b, RGN_OR), COMPLEXREGION);
    EXPECT_TRUE(PtInRegion(d, 14, 14));
    EXPECT_FALSE(PtInRegion(d, 14, 2));
    const RECT probe{11, 0, 14, 4};
    EXPECT_FALSE(RectInRegion(d, &probe));
    EXPECT_EQ(CombineRgn(d, a, nullptr, RGN_COPY), SIMPLEREGION);
    EXPECT_TRUE(EqualRgn(d, a));
    EXPECT_EQ(OffsetRgn(d, 3, 4), SIMPLEREGION);
    GetRgnBox(d, &box);
    EXPECT_EQ(box, (RECT{3, 4, 13, 14}));
    EXPECT_TRUE(SetRectRgn(d, 10, 10, 2, 2)); // reversed corners are ordered
    GetRgnBox(d, &box);
    EXPECT_EQ(box, (RECT{2, 2, 10, 10}));
    EXPECT_EQ(CombineRgn(d, a, a, RGN_DIFF), NULLREGION);

    // Stale and wrong-kind handles answer failure.
    EXPECT_TRUE(DeleteObject(b));
    EXPECT_EQ(CombineRgn(d, a, b, RGN_OR), ERROR_);
    EXPECT_FALSE(PtInRegion(b, 6, 6));
    EXPECT_FALSE(DeleteObject(b));
    HGDIOBJ pen = GetStockObject(BLACK_PEN);
    EXPECT_EQ(OffsetRgn(static_cast<HRGN>(pen), 1, 1), ERROR_);
    // A new region never reuses the deleted handle's value.
    HRGN c = CreateRectRgn(0, 0, 1, 1);
    EXPECT_NE(c, b);
    for (HRGN h : {a, c, d})
        EXPECT_TRUE(DeleteObject(h));
}

} // namespace

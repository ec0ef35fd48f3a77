#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/gdi/bitmaps.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/scoped.h"

namespace {

using pw::gdi::MemoryDC;
using pw::gdi::OwnedObject;
using pw::gdi::SavedDC;
using pw::gdi::SelectedObject;

bool Alive(HGDIOBJ object) {
    BITMAP bm;
    LOGBRUSH lb;
    return GetObject(object, sizeof bm, &bm) != 0 || GetObject(object, sizeof lb, &lb) != 0;
}

TEST(Scoped, SelectionsAndSavedStatesAreUndoneHoweverTheScopeEnds) {
    const MemoryDC dc(nullptr, 4, 4);
    const HGDIOBJ original = GetCurrentObject(dc.Get(), OBJ_BRUSH);
    const OwnedObject<HBRUSH> red(CreateSolidBrush(RGB(255, 0, 0)));
    try {
        const SelectedObject selected(dc.Get(), red.Get());
        EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BRUSH), red.Get());
        const SavedDC saved(dc.Get());
        SetTextColor(dc.Get(), RGB(1, 2, 3));
        SetViewportOrgEx(dc.Get(), 5, 5, nullptr);
        throw std::runtime_error("drawing failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BRUSH), original);
    EXPECT_NE(GetTextColor(dc.Get()), RGB(1, 2, 3));
    POINT origin{};
    GetViewportOrgEx(dc.Get(), &origin);
    EXPECT_EQ(origin, (POINT{0, 0}));
    // Selecting nothing changes nothing.
    { const SelectedObject none(dc.Get(), nullptr); }
    EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_BRUSH), original);
}

TEST(Scoped, MemoryDcsOwnTheBitmapsTheyMakeOrAreGivenAndLeaveTheCallersOnes) {
    HBITMAP mine = CreateBitmap(3, 3, 1, 32, nullptr);
    HBITMAP made = nullptr, given = nullptr;
    {
        const MemoryDC sized(nullptr, 7, 5);
        made = sized.Bitmap();
        BITMAP bm{};
        ASSERT_TRUE(GetObject(made, sizeof bm, &bm));
        EXPECT_EQ(bm.bmWidth, 7);
        EXPECT_EQ(bm.bmHeight, 5);
        EXPECT_EQ(GetCurrentObject(sized.Get(), OBJ_BITMAP), made);
        const MemoryDC owning(nullptr, OwnedObject(CreateBitmap(2, 2, 1, 1, nullptr)));
        given = owning.Bitmap();
        const MemoryDC lent(nullptr, mine);
        EXPECT_EQ(lent.Bitmap(), mine);
    }
    EXPECT_FALSE(Alive(made));
    EXPECT_FALSE(Alive(given));
    EXPECT_TRUE(Alive(mine));
    // Released, an object outlives its first owner.
    HBRUSH kept = nullptr;
    {
        OwnedObject<HBRUSH> brush(CreateSolidBrush(RGB(0, 0, 255)));
        kept = brush.Release();
    }
    EXPECT_TRUE(Alive(kept));
    DeleteObject(kept);
    DeleteObject(mine);
}

} // namespace

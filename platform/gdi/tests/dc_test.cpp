#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>

#include "platform/gdi/bitmaps.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/regions.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/surface.h"
#include "platform/gdi/syscolors.h"
#include "platform/gdi/tests/gdi_test_support.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFFu, kRed = 0xFFFF0000u, kBlue = 0xFF0000FFu;

long ResidentPages() {
    long size = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &size, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return resident;
}

TEST(Surface, PixelsOfZeroTakeNoMemoryUntilDrawnOnAndAResizeKeepsWhatWasThere) {
    const long pageBytes = ::sysconf(_SC_PAGESIZE);
    // 64 MB of pixels: a screen's DC that only answers questions must not cost that much.
    const long before = ResidentPages();
    Surface big(4096, 4096, 0);
    EXPECT_LT((ResidentPages() - before) * pageBytes, 4L << 20);
    EXPECT_EQ(big.Pixel(4095, 4095), 0u);
    EXPECT_EQ(big.Pixel(0, 0), 0u);
    // Drawing on it is as on any surface; other fills are written out.
    HDC dc = CreateSurfaceDC(&big, POINT{0, 0}, nullptr);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    RECT box{10, 10, 20, 20};
    FillRect(dc, &box, red);
    DeleteObject(red);
    DeleteDC(dc);
    EXPECT_EQ(big.Pixel(15, 15), kRed);
    EXPECT_EQ(big.Pixel(25, 25), 0u);

    Surface s(4, 3, kWhite);
    s.SetPixel(3, 2, kBlue);
    s.Resize(6, 5, 0);
    EXPECT_EQ(s.Pixel(0, 0), kWhite);
    EXPECT_EQ(s.Pixel(3, 2), kBlue);
    EXPECT_EQ(s.Pixel(4, 2), 0u);
    EXPECT_EQ(s.Pixel(5, 4), 0u);
    s.Resize(2, 2, kRed);
    EXPECT_EQ(s.Pixel(1, 1), kWhite);
    s.Resize(3, 3, kRed);
    EXPECT_EQ(s.Pixel(2, 2), kRed);
    const Surface copy = s;
    EXPECT_EQ(copy.Pixel(2, 2), kRed);
    EXPECT_EQ(copy.Pixel(0, 0), kWhite);
}

// A window's store is laid out again and again before anyone draws on it: only the last size is filled,
// once, when the pixels are first read or drawn on, and what was drawn before a later resize is kept.
TEST(Surface, ALazyResizeFillsOnFirstUseAndKeepsWhatWasDrawn) {
    Surface s;
    s.ResizeLazily(600, 500, kWhite);
    s.ResizeLazily(4, 3, kRed);
    EXPECT_FALSE(s.Allocated());
    EXPECT_EQ(s.Width(), 4);
    EXPECT_EQ(s.Height(), 3);
    const Surface pending = s;
    EXPECT_EQ(pending.Pixel(3, 2), kRed); // read through a copy and a const reader alike
    EXPECT_TRUE(pending.Allocated());
    EXPECT_FALSE(s.Allocated());
    s.SetPixel(0, 0, kBlue);
    EXPECT_TRUE(s.Allocated());
    EXPECT_EQ(s.Pixel(1, 0), kRed);
    s.ResizeLazily(6, 5, kWhite);
    EXPECT_EQ(s.Pixel(0, 0), kBlue);
    EXPECT_EQ(s.Pixel(3, 2), kRed);
    EXPECT_EQ(s.Pixel(5, 4), kWhite);
    s.ResizeLazily(0, 0, kWhite);
    EXPECT_EQ(s.Bits(), nullptr);
}

TEST(SurfaceDc, DrawsAtTheDeviceOriginInsideTheSystemClip) {
    Surface s(20, 20, kWhite);
    HRGN clip = CreateRectRgn(0, 0, 8, 8);
    HDC dc = CreateSurfaceDC(&s, POINT{4, 4}, clip);
    DeleteObject(clip); // the DC keeps its own copy
    ASSERT_NE(dc, nullptr);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    const RECT all{-10, -10, 30, 30};
    EXPECT_TRUE(FillRect(dc, &all, red));
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            const bool inside = x >= 4 && x < 12 && y >= 4 && y < 12;
            ASSERT_EQ(s.Pixel(x, y), inside ? kRed : kWhite) << x << "," << y;
        }
    RECT box;
    EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
    EXPECT_EQ(box, (RECT{0, 0, 8, 8}));
    // No clip region of the application's own yet.
    HRGN probe = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetClipRgn(dc, probe), 0);
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_FALSE(DeleteDC(dc));
    EXPECT_FALSE(FillRect(dc, &all, red)); // stale DC
    DeleteObject(probe);
    DeleteObject(red);
}

TEST(SurfaceDc, SystemColourPseudoBrushesAndStockBrushes) {
    gdi_test::Canvas s(4, 1, 0xFF000000u);
    const RECT r0{0, 0, 1, 1}, r1{1, 0, 2, 1}, r2{2, 0, 3, 1};
    FillRect(s.dc, &r0, reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_BTNFACE + 1)));
    FillRect(s.dc, &r1, GetSysColorBrush(COLOR_HIGHLIGHT));
    FillRect(s.dc, &r2, static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)));
    EXPECT_EQ(GetPixel(s.dc, 0, 0), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(GetPixel(s.dc, 1, 0), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(GetPixel(s.dc, 2, 0), RGB(192, 192, 192));
    EXPECT_EQ(GetPixel(s.dc, 9, 0), CLR_INVALID);
    // Neither pseudo-handles nor stock objects are ever destroyed.
    EXPECT_TRUE(DeleteObject(reinterpret_cast<HGDIOBJ>(static_cast<uintptr_t>(COLOR_BTNFACE + 1))));
    EXPECT_TRUE(DeleteObject(GetStockObject(LTGRAY_BRUSH)));
    FillRect(s.dc, &r0, static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)));
    EXPECT_EQ(GetPixel(s.dc, 0, 0), RGB(192, 192, 192));
    // A system-colour brush follows the colour table.
    const int index = COLOR_HIGHLIGHT;
    const COLORREF old = GetSysColor(index), changed = RGB(1, 2, 3);
    SetSysColors(1, &index, &changed);
    FillRect(s.dc, &r1, GetSysColorBrush(COLOR_HIGHLIGHT));
    EXPECT_EQ(GetPixel(s.dc, 1, 0), changed);
    SetSysColors(1, &index, &old);
}

TEST(SurfaceDc, ClipRegionsAndSavedStates) {
    gdi_test::Canvas s(10, 10, kWhite);
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    const RECT all{0, 0, 10, 10};

    const int saved = SaveDC(s.dc);
    EXPECT_EQ(IntersectClipRect(s.dc, 2, 2, 8, 8), SIMPLEREGION);
    EXPECT_EQ(ExcludeClipRect(s.dc, 4, 4, 6, 6), COMPLEXREGION);
    SetWindowOrgEx(s.dc, 1, 0, nullptr); // later rectangles are logical
    RECT box;
    GetClipBox(s.dc, &box);
    EXPECT_EQ(box, (RECT{3, 2, 9, 8}));
    SetWindowOrgEx(s.dc, 0, 0, nullptr);
    FillRect(s.dc, &all, blue);
    EXPECT_EQ(s.Pixel(2, 2), kBlue);
    EXPECT_EQ(s.Pixel(7, 7), kBlue);
    EXPECT_EQ(s.Pixel(1, 1), kWhite);
    EXPECT_EQ(s.Pixel(8, 8), kWhite);
    EXPECT_EQ(s.Pixel(4, 4), kWhite);
    EXPECT_EQ(s.Pixel(5, 5), kWhite);
    HRGN copy = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetClipRgn(s.dc, copy), 1);
    EXPECT_FALSE(PtInRegion(copy, 4, 4));
    EXPECT_TRUE(PtInRegion(copy, 3, 3));

    EXPECT_TRUE(RestoreDC(s.dc, saved));
    EXPECT_EQ(GetClipRgn(s.dc, copy), 0);
    EXPECT_FALSE(RestoreDC(s.dc, saved)); // already popped
    s.surface.Resize(10, 10, kWhite);
    FillRect(s.dc, &all, blue);
    EXPECT_EQ(s.Pixel(4, 4), kBlue);

    // Nested saves restore by relative index, and RGN_DIFF / NULL selection work as in Win32.
    SaveDC(s.dc);
    SetTextColor(s.dc, RGB(1, 1, 1));
    SaveDC(s.dc);
    SetTextColor(s.dc, RGB(2, 2, 2));
    EXPECT_TRUE(RestoreDC(s.dc, -2));
    EXPECT_EQ(GetTextColor(s.dc), RGB(0, 0, 0));
    HRGN hole = CreateRectRgn(0, 0, 5, 10);
    EXPECT_EQ(ExtSelectClipRgn(s.dc, hole, RGN_DIFF), SIMPLEREGION);
    GetClipBox(s.dc, &box);
    EXPECT_EQ(box, (RECT{5, 0, 10, 10}));
    EXPECT_EQ(SelectClipRgn(s.dc, nullptr), SIMPLEREGION);
    GetClipBox(s.dc, &box);
    EXPECT_EQ(box, (RECT{0, 0, 10, 10}));
    for (HGDIOBJ o : {static_cast<HGDIOBJ>(hole), static_cast<HGDIOBJ>(copy), static_cast<HGDIOBJ>(blue)})
        DeleteObject(o);
}

// What a DC may draw on is worked out once and kept: a clip given back by RestoreDC and another bitmap
// selected into a memory DC change it.
TEST(SurfaceDc, TheDrawableAreaFollowsEveryClipAndBitmapChange) {
    gdi_test::Canvas s(10, 10, kWhite);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    const RECT all{0, 0, 10, 10};
    IntersectClipRect(s.dc, 0, 0, 5, 10);
    const int saved = SaveDC(s.dc);
    ExcludeClipRect(s.dc, 0, 0, 5, 5);
    FillRect(s.dc, &all, red);
    RestoreDC(s.dc, saved);
    FillRect(s.dc, &all, red);
    EXPECT_EQ(s.Pixel(2, 2), kRed);
    EXPECT_EQ(s.Pixel(7, 2), kWhite);

    HDC mem = CreateCompatibleDC(nullptr);
    HBITMAP small = CreateBitmap(4, 4, 1, 32, nullptr), large = CreateBitmap(12, 12, 1, 32, nullptr);
    HGDIOBJ old = SelectObject(mem, small);
    RECT box;
    GetClipBox(mem, &box);
    SelectObject(mem, large);
    GetClipBox(mem, &box);
    EXPECT_EQ(box, (RECT{0, 0, 12, 12}));
    SelectObject(mem, old);
    DeleteDC(mem);
    for (HGDIOBJ o : {static_cast<HGDIOBJ>(small), static_cast<HGDIOBJ>(large), static_cast<HGDIOBJ>(red)})
        DeleteObject(o);
}

} // namespace

#include <gtest/gtest.h>

#include <string>

#include "platform/gdi/bitmaps.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/surface.h"
#include "platform/gdi/tests/gdi_test_support.h"

namespace {

using gdi_test::Canvas, gdi_test::kBlack, gdi_test::kWhite;

// The canvas's picture with rows joined by '/'.
std::string Rows(const Canvas& c) {
    std::string s = c.Picture();
    std::replace(s.begin(), s.end(), '\n', '/');
    s.pop_back();
    return s;
}

TEST(Shapes, LinesLeaveOutTheirEndPointAndFollowPenStyles) {
    Canvas c(8, 3);
    MoveToEx(c.dc, 1, 0, nullptr);
    LineTo(c.dc, 6, 0);
    POINT cp;
    GetCurrentPositionEx(c.dc, &cp);
    EXPECT_EQ(cp, (POINT{6, 0}));
    HPEN dot = CreatePen(PS_DOT, 1, RGB(0, 0, 0));
    SelectObject(c.dc, dot);
    SetBkMode(c.dc, TRANSPARENT);
    MoveToEx(c.dc, 0, 1, nullptr);
    LineTo(c.dc, 8, 1);
    SetBkMode(c.dc, OPAQUE);
    SetBkColor(c.dc, RGB(0, 0, 0));
    SelectObject(c.dc, GetStockObject(WHITE_PEN));
    const POINT pts[] = {{0, 2}, {3, 2}, {3, 3}};
    Polyline(c.dc, pts, 3);
    EXPECT_EQ(Rows(c), ".#####../###...##/........");
    SelectObject(c.dc, GetStockObject(BLACK_PEN));
    DeleteObject(dot);
}

TEST(Shapes, RectanglesEllipsesAndRop2) {
    Canvas c(6, 5);
    SelectObject(c.dc, GetStockObject(BLACK_BRUSH));
    SelectObject(c.dc, GetStockObject(WHITE_PEN));
    Rectangle(c.dc, 0, 0, 5, 4);
    EXPECT_EQ(Rows(c), "....../.###../.###../....../......");
    // Without a pen the filled area loses its right column and bottom row, as in Win32.
    SelectObject(c.dc, GetStockObject(NULL_PEN));
    Rectangle(c.dc, 0, 0, 6, 5);
    EXPECT_EQ(Rows(c), "#####./#####./#####./#####./......");
    // XOR twice restores; R2_NOT inverts whatever is there.
    const std::string before = Rows(c);
    SelectObject(c.dc, GetStockObject(WHITE_PEN));
    SelectObject(c.dc, GetStockObject(NULL_BRUSH));
    SetROP2(c.dc, R2_XORPEN);
    Rectangle(c.dc, 1, 1, 6, 5);
    EXPECT_NE(Rows(c), before);
    Rectangle(c.dc, 1, 1, 6, 5);
    EXPECT_EQ(Rows(c), before);
    SetROP2(c.dc, R2_NOT);
    MoveToEx(c.dc, 3, 4, nullptr);
    LineTo(c.dc, 6, 4);
    EXPECT_EQ(Rows(c).substr(4 * 7), "...###");
    SetROP2(c.dc, R2_COPYPEN);

    Canvas e(7, 7);
    SelectObject(e.dc, GetStockObject(BLACK_BRUSH));
    Ellipse(e.dc, 0, 0, 7, 7);
    EXPECT_EQ(Rows(e), "..###../.#####./#######/#######/#######/.#####./..###..");
}

TEST(Shapes, HatchPatternBrushesAndInversions) {
    Canvas c(8, 2);
    HBRUSH hatch = CreateHatchBrush(HS_VERTICAL, RGB(0, 0, 0));
    SetBkMode(c.dc, TRANSPARENT);
    const RECT r{0, 0, 8, 1};
    FillRect(c.dc, &r, hatch);
    SetBkMode(c.dc, OPAQUE);
    SetBkColor(c.dc, RGB(255, 0, 0));
    const RECT r2{0, 1, 8, 2};
    FillRect(c.dc, &r2, hatch);
    EXPECT_EQ(c.Pixel(7, 0), kBlack);
    EXPECT_EQ(c.Pixel(3, 0), kWhite);      // gaps left alone in TRANSPARENT mode
    EXPECT_EQ(c.Pixel(3, 1), 0xFFFF0000u); // and filled with the background when OPAQUE
    DeleteObject(hatch);

    // A monochrome pattern paints 0 bits in the text colour and 1 bits in the background colour,
    // aligned to the brush origin.
    const uint8_t checker[] = {0x55, 0, 0xAA, 0};
    HBITMAP bits = CreateBitmap(8, 2, 1, 1, checker);
    HBRUSH pattern = CreatePatternBrush(bits);
    DeleteObject(bits); // the brush keeps a copy
    Canvas p(4, 2);
    SetTextColor(p.dc, RGB(0, 0, 0));
    SetBkColor(p.dc, RGB(255, 255, 255));
    const RECT all{0, 0, 4, 2};
    FillRect(p.dc, &all, pattern);
    EXPECT_EQ(Rows(p), "#.#./.#.#");
    SetBrushOrgEx(p.dc, 1, 0, nullptr);
    FillRect(p.dc, &all, pattern);
    EXPECT_EQ(Rows(p), ".#.#/#.#.");
    LOGBRUSH lb;
    EXPECT_EQ(GetObject(pattern, sizeof lb, &lb), static_cast<int>(sizeof lb));
    EXPECT_EQ(lb.lbStyle, BS_PATTERN);
    DeleteObject(pattern);

    // PATINVERT and InvertRect twice restore the picture; FrameRect draws a one-pixel frame.
    const std::string before = Rows(p);
    SelectObject(p.dc, GetStockObject(WHITE_BRUSH));
    PatBlt(p.dc, 0, 0, 4, 2, PATINVERT);
    EXPECT_EQ(Rows(p), "#.#./.#.#");
    PatBlt(p.dc, 0, 0, 4, 2, PATINVERT);
    InvertRect(p.dc, &all);
    InvertRect(p.dc, &all);
    EXPECT_EQ(Rows(p), before);
    Canvas f(4, 4);
    const RECT fr{0, 0, 4, 4};
    FrameRect(f.dc, &fr, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EXPECT_EQ(Rows(f), "####/#..#/#..#/####");
}

TEST(Shapes, PolygonFillModesAndOrigins) {
    Canvas c(5, 5);
    SelectObject(c.dc, GetStockObject(BLACK_BRUSH));
    SelectObject(c.dc, GetStockObject(NULL_PEN));
    SetViewportOrgEx(c.dc, 1, 1, nullptr);
    const POINT square[] = {{0, 0}, {3, 0}, {3, 3}, {0, 3}};
    Polygon(c.dc, square, 4);
    EXPECT_EQ(Rows(c), "...../.###./.###./.###./.....");
    POINT org;
    OffsetWindowOrgEx(c.dc, 1, 1, &org);
    EXPECT_EQ(org, (POINT{0, 0}));
    EXPECT_EQ(SetPixel(c.dc, 1, 1, RGB(255, 255, 255)), RGB(255, 255, 255));
    EXPECT_EQ(c.Pixel(1, 1), kWhite);
    EXPECT_EQ(GetPixel(c.dc, 2, 2), RGB(0, 0, 0));
}

TEST(Shapes, HugeShapesCostOnlyTheirVisiblePart) {
    Canvas c(8, 8);
    SelectObject(c.dc, GetStockObject(BLACK_BRUSH));
    EXPECT_TRUE(Ellipse(c.dc, -200000000, -200000000, 200000000, 200000000));
    EXPECT_TRUE(RoundRect(c.dc, -200000000, -200000000, 200000000, 200000000, 100000, 100000));
    const POINT huge[] = {{-200000000, -200000000}, {200000000, -200000000}, {0, 200000000}};
    EXPECT_TRUE(Polygon(c.dc, huge, 3));
    EXPECT_EQ(c.Count(kBlack, c.All()), 64);
    // Bitmaps too large to hold are refused instead of exhausting memory.
    EXPECT_EQ(CreateBitmap(30000, 30000, 1, 32, nullptr), nullptr);
    EXPECT_EQ(CreateCompatibleBitmap(c.dc, 1 << 20, 1), nullptr);
}

} // namespace

#include <gtest/gtest.h>

#include "platform/gdi/bitmaps.h"
#include "platform/gdi/blit.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/edges.h"
#include "platform/gdi/fonts.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/icons.h"
#include "platform/gdi/regions.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/surface.h"
#include "platform/gdi/text.h"

namespace {

// Every call given a dead DC, a garbage value or an object of the wrong kind fails cleanly.
TEST(StaleHandles, EveryCallRefusesDeadOrWrongHandles) {
    Surface s(4, 4);
    HDC dead = CreateSurfaceDC(&s, POINT{0, 0}, nullptr);
    ASSERT_TRUE(DeleteDC(dead));
    HPEN pen = CreatePen(PS_SOLID, 1, 0);
    HRGN rgn = CreateRectRgn(0, 0, 1, 1);
    HBITMAP bm = CreateBitmap(1, 1, 1, 32, nullptr);
    const HDC wrongKind = reinterpret_cast<HDC>(pen);
    const HDC garbage = reinterpret_cast<HDC>(static_cast<uintptr_t>(0x7FFFFFF0));
    RECT r{0, 0, 2, 2};
    POINT p;
    SIZE size;
    TEXTMETRIC tm;
    for (HDC dc : {dead, wrongKind, garbage, static_cast<HDC>(nullptr)}) {
        EXPECT_FALSE(FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))));
        EXPECT_FALSE(FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))));
        EXPECT_FALSE(InvertRect(dc, &r));
        EXPECT_FALSE(Rectangle(dc, 0, 0, 2, 2));
        EXPECT_FALSE(Ellipse(dc, 0, 0, 2, 2));
        EXPECT_FALSE(LineTo(dc, 1, 1));
        EXPECT_FALSE(MoveToEx(dc, 1, 1, &p));
        EXPECT_EQ(GetPixel(dc, 0, 0), CLR_INVALID);
        EXPECT_EQ(SetPixel(dc, 0, 0, 0), CLR_INVALID);
        EXPECT_FALSE(PatBlt(dc, 0, 0, 1, 1, PATCOPY));
        EXPECT_FALSE(BitBlt(dc, 0, 0, 1, 1, nullptr, 0, 0, BLACKNESS));
        EXPECT_EQ(SaveDC(dc), 0);
        EXPECT_FALSE(RestoreDC(dc, -1));
        EXPECT_EQ(SelectObject(dc, GetStockObject(BLACK_PEN)), nullptr);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), nullptr);
        EXPECT_EQ(SetTextColor(dc, 0), CLR_INVALID);
        EXPECT_EQ(SetBkMode(dc, OPAQUE), 0);
        EXPECT_EQ(SelectClipRgn(dc, rgn), ERROR_);
        EXPECT_EQ(IntersectClipRect(dc, 0, 0, 1, 1), ERROR_);
        EXPECT_EQ(GetClipBox(dc, &r), ERROR_);
        EXPECT_EQ(GetClipRgn(dc, rgn), -1);
        EXPECT_FALSE(TextOut(dc, 0, 0, "x", 1));
        EXPECT_EQ(DrawText(dc, "x", 1, &r, 0), 0);
        EXPECT_FALSE(GetTextExtentPoint32(dc, "x", 1, &size));
        EXPECT_FALSE(GetTextMetrics(dc, &tm));
        EXPECT_FALSE(DrawEdge(dc, &r, EDGE_RAISED, BF_RECT));
        EXPECT_FALSE(DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH));
        EXPECT_FALSE(DrawFocusRect(dc, &r));
        EXPECT_FALSE(FillRgn(dc, rgn, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))));
        EXPECT_EQ(GetDCSurface(dc), nullptr);
        EXPECT_FALSE(DeleteDC(dc));
    }
    // Objects of the wrong kind where a specific kind is expected.
    Surface live(2, 2);
    HDC dc = CreateSurfaceDC(&live, POINT{0, 0}, nullptr);
    EXPECT_FALSE(FillRect(dc, &r, reinterpret_cast<HBRUSH>(pen)));
    EXPECT_FALSE(
        FillRect(dc, &r, reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(40)))); // not a colour index
    EXPECT_EQ(SelectClipRgn(dc, reinterpret_cast<HRGN>(bm)), ERROR_);
    EXPECT_EQ(CreateSurfaceDC(&live, POINT{0, 0}, reinterpret_cast<HRGN>(pen)), nullptr);
    EXPECT_EQ(CreateSurfaceDC(nullptr, POINT{0, 0}, nullptr), nullptr);
    EXPECT_EQ(SelectObject(dc, dc), nullptr);
    EXPECT_FALSE(MaskBlt(dc, 0, 0, 1, 1, nullptr, 0, 0, reinterpret_cast<HBITMAP>(pen), 0, 0, SRCCOPY));
    EXPECT_FALSE(BitBlt(dc, 0, 0, 1, 1, dead, 0, 0, SRCCOPY));
    EXPECT_EQ(GetDIBits(dc, reinterpret_cast<HBITMAP>(rgn), 0, 1, nullptr, nullptr, 0), 0);
    EXPECT_EQ(CreatePatternBrush(reinterpret_cast<HBITMAP>(pen)), nullptr);
    EXPECT_FALSE(DrawIcon(dc, 0, 0, reinterpret_cast<HICON>(bm)));
    EXPECT_FALSE(DestroyIcon(reinterpret_cast<HICON>(bm)));
    EXPECT_EQ(CombineRgn(rgn, reinterpret_cast<HRGN>(pen), rgn, RGN_OR), ERROR_);
    EXPECT_EQ(GetObject(dc, sizeof tm, &tm), 0);
    DeleteDC(dc);
    for (HGDIOBJ o : {static_cast<HGDIOBJ>(pen), static_cast<HGDIOBJ>(rgn), static_cast<HGDIOBJ>(bm)})
        EXPECT_TRUE(DeleteObject(o));
}

// A surface DC drawing on a surface that shrank since the DC was made stays inside the pixels.
TEST(StaleHandles, SurfaceResizedUnderADc) {
    Surface s(10, 10, 0xFFFFFFFFu);
    HDC dc = CreateSurfaceDC(&s, POINT{2, 2}, nullptr);
    s.Resize(3, 3);
    const RECT r{0, 0, 10, 10};
    EXPECT_TRUE(FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))));
    EXPECT_EQ(s.Pixel(2, 2), 0xFF000000u);
    EXPECT_EQ(s.Pixel(1, 1), 0xFFFFFFFFu);
    EXPECT_TRUE(TextOut(dc, 0, 0, "Wide text", 9));
    EXPECT_TRUE(Ellipse(dc, -5, -5, 20, 20));
    DeleteDC(dc);
}

} // namespace

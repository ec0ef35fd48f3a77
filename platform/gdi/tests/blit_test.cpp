#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/gdi/bitmaps.h"
#include "platform/gdi/blit.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/regions.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/surface.h"
#include "platform/gdi/tests/gdi_test_support.h"

namespace {

using gdi_test::Canvas;

// One pixel of pattern, source and destination through a raster operation, on real DCs.
COLORREF RunRop(DWORD rop, COLORREF p, COLORREF s, COLORREF d) {
    Canvas dst(1, 1);
    SetPixel(dst.dc, 0, 0, d);
    HDC sdc = CreateCompatibleDC(nullptr);
    HBITMAP sbm = CreateBitmap(1, 1, 1, 32, nullptr);
    SelectObject(sdc, sbm);
    SetPixel(sdc, 0, 0, s);
    HBRUSH brush = CreateSolidBrush(p);
    SelectObject(dst.dc, brush);
    BitBlt(dst.dc, 0, 0, 1, 1, sdc, 0, 0, rop);
    DeleteDC(sdc);
    DeleteObject(sbm);
    DeleteObject(brush);
    return GetPixel(dst.dc, 0, 0);
}

TEST(RasterOps, EveryNamedAndTernaryCodeOnKnownPixels) {
    const COLORREF P = RGB(0xF0, 0x0F, 0x55), S = RGB(0xCC, 0x33, 0xAA), D = RGB(0xAA, 0x55, 0x0F);
    const COLORREF m = 0x00FFFFFF;
    struct Case {
        DWORD rop;
        COLORREF expected;
    } cases[] = {
        {SRCCOPY, S},
        {SRCAND, S & D},
        {SRCPAINT, S | D},
        {SRCINVERT, S ^ D},
        {SRCERASE, S & (~D & m)},
        {NOTSRCCOPY, ~S & m},
        {NOTSRCERASE, ~(S | D) & m},
        {MERGECOPY, P & S},
        {MERGEPAINT, (~S & m) | D},
        {PATCOPY, P},
        {PATPAINT, P | (~S & m) | D},
        {PATINVERT, P ^ D},
        {DSTINVERT, ~D & m},
        {BLACKNESS, 0},
        {WHITENESS, m},
        // Masked-glyph codes: S selects between destination and pattern.
        {0x00B8074A, (S & D) | (~S & P & m)},
        {0x00E20746, (S & P) | (~S & D & m)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RunRop(c.rop, P, S, D), c.expected) << std::hex << c.rop;
}

TEST(Blits, MonochromeToColourUsesDestinationTextAndBackground) {
    // Row bits 01 (padded to 16 bits): pixel 0 black, pixel 1 white.
    const uint8_t bits[] = {0x40, 0x00};
    HBITMAP mono = CreateBitmap(2, 1, 1, 1, bits);
    HDC mdc = CreateCompatibleDC(nullptr);
    SelectObject(mdc, mono);
    Canvas dst(2, 1, 0xFF00FF00u);
    SetTextColor(dst.dc, RGB(255, 0, 0));
    SetBkColor(dst.dc, RGB(0, 0, 255));
    EXPECT_TRUE(BitBlt(dst.dc, 0, 0, 2, 1, mdc, 0, 0, SRCCOPY));
    EXPECT_EQ(dst.Pixels(), (std::vector<uint32_t>{gdi_test::kRed, gdi_test::kBlue}));

    // Colour to monochrome: the source DC's background colour becomes white, all else black.
    HBITMAP colour = CreateBitmap(3, 1, 1, 32, nullptr);
    HDC cdc = CreateCompatibleDC(nullptr);
    SelectObject(cdc, colour);
    SetPixel(cdc, 0, 0, RGB(0, 255, 0));
    SetPixel(cdc, 1, 0, RGB(0, 0, 255));
    SetPixel(cdc, 2, 0, RGB(255, 255, 255));
    SetBkColor(cdc, RGB(0, 255, 0));
    HBITMAP mask = CreateBitmap(3, 1, 1, 1, nullptr);
    SelectObject(mdc, mask);
    EXPECT_TRUE(BitBlt(mdc, 0, 0, 3, 1, cdc, 0, 0, SRCCOPY));
    EXPECT_EQ(GetPixel(mdc, 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(mdc, 1, 0), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(mdc, 2, 0), RGB(0, 0, 0)); // white is not the background colour here

    // A fresh memory DC holds a monochrome bitmap, so its compatible bitmaps are monochrome too.
    HDC fresh = CreateCompatibleDC(nullptr);
    HBITMAP compat = CreateCompatibleBitmap(fresh, 4, 4);
    BITMAP bm;
    ASSERT_EQ(GetObject(compat, sizeof bm, &bm), static_cast<int>(sizeof bm));
    EXPECT_EQ(bm.bmBitsPixel, 1);
    HBITMAP screenCompat = CreateCompatibleBitmap(dst.dc, 4, 4);
    GetObject(screenCompat, sizeof bm, &bm);
    EXPECT_EQ(bm.bmBitsPixel, 32);
    EXPECT_EQ(bm.bmWidth, 4);

    // A bitmap lives in one DC at a time and cannot be deleted while selected.
    EXPECT_EQ(SelectObject(fresh, mask), nullptr);
    EXPECT_FALSE(DeleteObject(mask));
    for (HDC h : {mdc, cdc, fresh})
        DeleteDC(h);
    for (HBITMAP b : {mono, colour, mask, compat, screenCompat})
        EXPECT_TRUE(DeleteObject(b));
}

TEST(Blits, StretchMirrorMaskAndTransparency) {
    HBITMAP bm = CreateBitmap(2, 1, 1, 32, nullptr);
    HDC src = CreateCompatibleDC(nullptr);
    SelectObject(src, bm);
    SetPixel(src, 0, 0, RGB(255, 0, 0));
    SetPixel(src, 1, 0, RGB(0, 0, 255));
    using gdi_test::kBlue, gdi_test::kRed, gdi_test::kWhite;
    Canvas dst(4, 2);
    EXPECT_TRUE(StretchBlt(dst.dc, 0, 0, 4, 2, src, 0, 0, 2, 1, SRCCOPY));
    EXPECT_EQ(dst.Pixels(), (std::vector<uint32_t>{kRed, kRed, kBlue, kBlue, kRed, kRed, kBlue, kBlue}));
    // A negative destination width mirrors.
    EXPECT_TRUE(StretchBlt(dst.dc, 2, 0, -2, 1, src, 0, 0, 2, 1, SRCCOPY));
    EXPECT_EQ(dst.Pixel(0, 0), kBlue);
    EXPECT_EQ(dst.Pixel(1, 0), kRed);

    // Overlapping copy within one surface (scrolling) reads the source before writing.
    Canvas line(4, 1);
    line.surface.SetPixel(0, 0, kRed);
    line.surface.SetPixel(1, 0, kBlue);
    BitBlt(line.dc, 1, 0, 3, 1, line.dc, 0, 0, SRCCOPY);
    EXPECT_EQ(line.Pixels(), (std::vector<uint32_t>{kRed, kRed, kBlue, kWhite}));

    // MaskBlt: source where the mask has 1 bits, destination kept elsewhere.
    Canvas target(2, 1);
    const uint8_t maskBits[] = {0x80, 0x00};
    HBITMAP mask = CreateBitmap(2, 1, 1, 1, maskBits);
    EXPECT_TRUE(MaskBlt(target.dc, 0, 0, 2, 1, src, 0, 0, mask, 0, 0, MAKEROP4(SRCCOPY, 0x00AA0029)));
    EXPECT_EQ(target.Pixels(), (std::vector<uint32_t>{kRed, kWhite}));

    // TransparentBlt skips the key colour.
    target.surface.SetPixel(0, 0, kWhite);
    EXPECT_TRUE(TransparentBlt(target.dc, 0, 0, 2, 1, src, 0, 0, 2, 1, RGB(255, 0, 0)));
    EXPECT_EQ(target.Pixels(), (std::vector<uint32_t>{kWhite, kBlue}));
    DeleteDC(src);
    DeleteObject(bm);
    DeleteObject(mask);
}

TEST(Blits, AlphaBlendConstantAndPremultiplied) {
    BITMAPINFO info{};
    info.bmiHeader.biWidth = 2;
    info.bmiHeader.biHeight = -1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(bits, nullptr);
    DIBSECTION ds;
    ASSERT_EQ(GetObject(dib, sizeof ds, &ds), static_cast<int>(sizeof ds));
    EXPECT_EQ(ds.dsBm.bmBits, bits);
    EXPECT_EQ(ds.dsBm.bmWidthBytes, 8);
    EXPECT_EQ(ds.dsBmih.biHeight, -1);
    auto* px = static_cast<uint32_t*>(bits);
    px[0] = 0xFFFFFFFFu; // opaque white
    px[1] = 0x80800000u; // half-transparent red, premultiplied
    HDC src = CreateCompatibleDC(nullptr);
    SelectObject(src, dib);
    Canvas dst(2, 1, 0xFF000000u);
    EXPECT_TRUE(AlphaBlend(dst.dc, 0, 0, 1, 1, src, 0, 0, 1, 1, BLENDFUNCTION{AC_SRC_OVER, 0, 128, 0}));
    EXPECT_EQ(dst.Pixel(0, 0) & 0xFFFFFF, 0x808080u);
    dst.surface.SetPixel(1, 0, 0xFF0000FFu);
    EXPECT_TRUE(
        AlphaBlend(dst.dc, 1, 0, 1, 1, src, 1, 0, 1, 1, BLENDFUNCTION{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA}));
    EXPECT_EQ(dst.Pixel(1, 0) & 0xFFFFFF, 0x80007Fu);
    // A source rectangle outside the source fails instead of reading past it.
    EXPECT_FALSE(AlphaBlend(dst.dc, 0, 0, 1, 1, src, 1, 0, 2, 1, BLENDFUNCTION{AC_SRC_OVER, 0, 255, 0}));
    DeleteDC(src);
    DeleteObject(dib);
}

TEST(Dibs, SectionsRoundTripInEveryDepthAndOrientation) {
    for (int bpp : {1, 4, 8, 24, 32})
        for (int sign : {1, -1}) {
            SCOPED_TRACE(testing::Message() << bpp << " bpp, height sign " << sign);
            struct {
                BITMAPINFOHEADER h;
                RGBQUAD colors[256];
            } info{};
            info.h.biWidth = 3;
            info.h.biHeight = 2 * sign;
            info.h.biBitCount = static_cast<WORD>(bpp);
            for (int i = 0; i < 256; ++i)
                info.colors[i] = RGBQUAD{BYTE(i), BYTE(255 - i), BYTE(i * 7), 0};
            info.colors[0] = RGBQUAD{0, 0, 0, 0};
            info.colors[1] = RGBQUAD{255, 255, 255, 0};
            void* bits = nullptr;
            HBITMAP dib = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                           &bits, nullptr, 0);
            ASSERT_NE(dib, nullptr);
            HDC dc = CreateCompatibleDC(nullptr);
            SelectObject(dc, dib);
            HBRUSH white = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
            const RECT topLeft{0, 0, 1, 1};
            FillRect(dc, &topLeft, white);
            // Drawing lands in the caller's bits: the top-left pixel is in the first or last memory row.
            const int stride = ((3 * bpp + 31) / 32) * 4;
            const auto* b = static_cast<const uint8_t*>(bits);
            const uint8_t* row = b + (sign < 0 ? 0 : stride);
            if (bpp == 1) {
                EXPECT_EQ(row[0] & 0x80, 0x80);
            } else if (bpp == 24) {
                EXPECT_EQ(row[0], 0xFF);
            } else if (bpp == 32) {
                EXPECT_EQ(row[2], 0xFF);
            }
            EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 255, 255));
            EXPECT_EQ(GetPixel(dc, 1, 1), RGB(0, 0, 0));
            // And the caller's writes show at the next GDI call.
            if (bpp >= 24) {
                uint8_t* bottomRow = static_cast<uint8_t*>(bits) + (sign < 0 ? stride : 0);
                bottomRow[(bpp / 8) * 2 + 2] = 0x7F; // red of the bottom-right pixel
                EXPECT_EQ(GetPixel(dc, 2, 1), RGB(0x7F, 0, 0));
            }
            DeleteDC(dc);
            DeleteObject(dib);
        }
}

TEST(Dibs, GetAndSetBitsOfADeviceBitmap) {
    HBITMAP bm = CreateBitmap(2, 2, 1, 32, nullptr);
    BITMAPINFO info{};
    info.bmiHeader.biWidth = 2;
    info.bmiHeader.biHeight = 2; // bottom-up
    info.bmiHeader.biBitCount = 24;
    // Bottom-up rows, each padded to 4 bytes: bottom row blue, green; top row red, white.
    const uint8_t rows[] = {255, 0, 0, 0, 255, 0, 0, 0, 0, 0, 255, 255, 255, 255, 0, 0};
    EXPECT_EQ(SetDIBits(nullptr, bm, 0, 2, rows, &info, DIB_RGB_COLORS), 2);
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, bm);
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dc, 1, 0), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(dc, 0, 1), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(dc, 1, 1), RGB(0, 255, 0));
    SelectObject(dc, GetStockObject(BLACK_BRUSH)); // unrelated select keeps the bitmap
    BITMAPINFO query{};
    EXPECT_TRUE(GetDIBits(dc, bm, 0, 0, nullptr, &query, DIB_RGB_COLORS));
    EXPECT_EQ(query.bmiHeader.biWidth, 2);
    EXPECT_EQ(query.bmiHeader.biBitCount, 32);
    info.bmiHeader.biHeight = -2; // read top-down this time
    uint8_t back[16] = {};
    EXPECT_EQ(GetDIBits(dc, bm, 0, 2, back, &info, DIB_RGB_COLORS), 2);
    const uint8_t expected[] = {0, 0, 255, 255, 255, 255, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0};
    EXPECT_EQ(std::vector<uint8_t>(back, back + 16), std::vector<uint8_t>(expected, expected + 16));

    // StretchDIBits takes its source origin at the lower-left of a bottom-up DIB.
    Canvas dst(1, 1);
    info.bmiHeader.biHeight = 2;
    EXPECT_TRUE(StretchDIBits(dst.dc, 0, 0, 1, 1, 1, 0, 1, 1, rows, &info, DIB_RGB_COLORS, SRCCOPY));
    EXPECT_EQ(dst.Pixel(0, 0), 0xFF00FF00u);
    // Bad input is refused, not read.
    info.bmiHeader.biBitCount = 13;
    EXPECT_FALSE(SetDIBits(nullptr, bm, 0, 2, rows, &info, DIB_RGB_COLORS));
    EXPECT_EQ(CreateBitmap(-5, 3, 1, 32, nullptr), nullptr);
    DeleteDC(dc);
    DeleteObject(bm);
}

} // namespace

TEST(Blits, PlainCopiesAndFillsKeepToTheClipTheSourceAndOverlaps) {
    using gdi_test::kBlack, gdi_test::kWhite;
    // Each pixel its own colour, so that any pixel taken from the wrong place shows.
    auto numbered = [](Canvas& c) {
        for (int y = 0; y < c.surface.Height(); ++y)
            for (int x = 0; x < c.surface.Width(); ++x)
                c.surface.SetPixel(x, y, 0xFF000000u | static_cast<uint32_t>(y * 16 + x));
    };
    auto at = [](int x, int y) { return 0xFF000000u | static_cast<uint32_t>(y * 16 + x); };
    // Down and right within one surface, overlapping, through a clip that leaves out column 3.
    Canvas c(6, 5);
    numbered(c);
    ExcludeClipRect(c.dc, 3, 0, 4, 5);
    BitBlt(c.dc, 1, 1, 5, 4, c.dc, 0, 0, SRCCOPY);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(c.Pixel(x, y), x == 0 || y == 0 || x == 3 ? at(x, y) : at(x - 1, y - 1))
                << x << "," << y;
    // Up and left, the source running past the surface: those pixels stay as they were.
    Canvas d(6, 5);
    numbered(d);
    BitBlt(d.dc, 0, 0, 6, 5, d.dc, 2, 1, SRCCOPY);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(d.Pixel(x, y), x < 4 && y < 4 ? at(x + 2, y + 1) : at(x, y)) << x << "," << y;
    // Pattern, black and white fills through the clip; a null brush paints nothing.
    Canvas f(4, 1, kWhite);
    IntersectClipRect(f.dc, 1, 0, 3, 1);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    HGDIOBJ old = SelectObject(f.dc, red);
    PatBlt(f.dc, 0, 0, 4, 1, PATCOPY);
    EXPECT_EQ(f.Pixels(), (std::vector<uint32_t>{kWhite, gdi_test::kRed, gdi_test::kRed, kWhite}));
    PatBlt(f.dc, 0, 0, 2, 1, BLACKNESS);
    EXPECT_EQ(f.Pixels(), (std::vector<uint32_t>{kWhite, kBlack, gdi_test::kRed, kWhite}));
    SelectObject(f.dc, GetStockObject(NULL_BRUSH));
    PatBlt(f.dc, 0, 0, 4, 1, PATCOPY);
    EXPECT_EQ(f.Pixel(2, 0), gdi_test::kRed);
    SelectObject(f.dc, old);
    DeleteObject(red);
}

// A call reads and writes back only the pixels it touches: what the caller wrote into the bits
// meanwhile, anywhere, is what the next call sees, and no call puts back stale neighbours of its pixels
// (those sharing a byte at 1 and 4 bits per pixel included).
TEST(Dibs, CallsConvertOnlyTheirPixelsAndSeeTheCallersWritesBetween) {
    constexpr int kW = 13, kH = 3;
    for (int bpp : {1, 4, 8, 24, 32})
        for (int sign : {1, -1}) {
            SCOPED_TRACE(testing::Message() << bpp << " bpp, height sign " << sign);
            struct {
                BITMAPINFOHEADER h;
                RGBQUAD colors[256];
            } info{};
            info.h.biWidth = kW;
            info.h.biHeight = kH * sign;
            info.h.biBitCount = static_cast<WORD>(bpp);
            const int values = bpp >= 8 ? 256 : 1 << bpp;
            for (int i = 0; i < 256; ++i)
                info.colors[i] = RGBQUAD{BYTE(i), BYTE(i * 3), BYTE(255 - i), 0};
            void* bits = nullptr;
            HBITMAP dib = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                           &bits, nullptr, 0);
            ASSERT_NE(dib, nullptr);
            const int stride = ((kW * bpp + 31) / 32) * 4;
            // Values are colour-table indices, or the blue byte of a direct colour.
            auto colorOf = [&](int v) { return bpp > 8 ? RGB(0, 0, v) : RGB(255 - v, v * 3 & 0xFF, v); };
            auto write = [&](int x, int y, int v) {
                uint8_t* row = static_cast<uint8_t*>(bits) + (sign < 0 ? y : kH - 1 - y) * stride;
                if (bpp == 1) row[x / 8] = uint8_t((row[x / 8] & ~(0x80 >> (x % 8))) | (v << (7 - x % 8)));
                if (bpp == 4)
                    row[x / 2] = uint8_t(x % 2 ? (row[x / 2] & 0xF0) | v : (row[x / 2] & 0x0F) | v << 4);
                if (bpp == 8) row[x] = uint8_t(v);
                if (bpp > 8) {
                    std::fill_n(row + x * (bpp / 8), bpp / 8, uint8_t(0));
                    row[x * (bpp / 8)] = uint8_t(v);
                }
            };
            auto value = [&](int x, int y) { return (x * 5 + y * 3) % values; };
            HDC dc = CreateCompatibleDC(nullptr);
            SelectObject(dc, dib);
            EXPECT_EQ(GetPixel(dc, 0, 0), colorOf(0));
            for (int y = 0; y < kH; ++y)
                for (int x = 0; x < kW; ++x)
                    write(x, y, value(x, y));
            for (int y = 0; y < kH; ++y)
                for (int x = 0; x < kW; ++x)
                    ASSERT_EQ(GetPixel(dc, x, y), colorOf(value(x, y))) << x << "," << y;
            // Set single pixels in the middle of bytes; the caller writes a neighbour between the calls.
            const int fresh = (value(4, 1) + 1) % values;
            SetPixel(dc, 3, 1, colorOf(fresh));
            write(4, 1, fresh);
            SetPixel(dc, 5, 1, colorOf(fresh));
            SetPixel(dc, kW - 1, 2, colorOf(fresh));
            for (int y = 0; y < kH; ++y)
                for (int x = 0; x < kW; ++x) {
                    const bool set = (y == 1 && x >= 3 && x <= 5) || (y == 2 && x == kW - 1);
                    EXPECT_EQ(GetPixel(dc, x, y), colorOf(set ? fresh : value(x, y))) << x << "," << y;
                }
            // A copy out reads the caller's latest write.
            write(7, 0, fresh);
            Canvas out(3, 1);
            BitBlt(out.dc, 0, 0, 3, 1, dc, 6, 0, SRCCOPY);
            EXPECT_EQ(GetPixel(out.dc, 1, 0), colorOf(fresh));
            EXPECT_EQ(GetPixel(out.dc, 0, 0), colorOf(value(6, 0)));
            DeleteDC(dc);
            DeleteObject(dib);
        }
}

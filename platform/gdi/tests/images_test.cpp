#include <gtest/gtest.h>

#include "platform/gdi/bitmaps.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/icons.h"
#include "platform/gdi/palettes.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/surface.h"
#include "platform/gdi/tests/gdi_test_support.h"

namespace {

TEST(Images, CopyImageStretchesAndCanDeleteTheOriginal) {
    const uint32_t px[] = {0xFFFF0000u, 0xFF0000FFu};
    HBITMAP bm = CreateBitmap(2, 1, 1, 32, px);
    auto copy = static_cast<HBITMAP>(CopyImage(bm, IMAGE_BITMAP, 4, 2, 0));
    ASSERT_NE(copy, nullptr);
    const Surface* s = GetBitmapSurface(copy);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->Width(), 4);
    EXPECT_EQ(s->Pixel(1, 1), 0xFFFF0000u);
    EXPECT_EQ(s->Pixel(2, 0), 0xFF0000FFu);
    auto mono = static_cast<HBITMAP>(CopyImage(bm, IMAGE_BITMAP, 0, 0, LR_MONOCHROME | LR_COPYDELETEORG));
    BITMAP info;
    GetObject(mono, sizeof info, &info);
    EXPECT_EQ(info.bmBitsPixel, 1);
    EXPECT_EQ(GetObjectType(bm), 0u); // deleted with LR_COPYDELETEORG
    EXPECT_EQ(CopyImage(bm, IMAGE_BITMAP, 0, 0, 0), nullptr);

    ICONINFO ii;
    ii.hbmMask = CreateBitmap(2, 1, 1, 1, nullptr);
    ii.hbmColor = copy;
    HICON icon = CreateIconIndirect(&ii);
    auto big = static_cast<HICON>(CopyImage(icon, IMAGE_ICON, 4, 2, 0));
    ASSERT_NE(big, nullptr);
    gdi_test::Canvas target(4, 2, 0xFFFFFFFFu);
    EXPECT_TRUE(DrawIconEx(target.dc, 0, 0, big, 0, 0, 0, nullptr, DI_NORMAL));
    EXPECT_EQ(target.Pixel(3, 1), 0xFF0000FFu);
    DestroyIcon(icon);
    DestroyIcon(big);
    for (HBITMAP b : {copy, mono, ii.hbmMask})
        DeleteObject(b);
}

TEST(Images, DibBitmapsAndPalettes) {
    BITMAPINFO info{};
    info.bmiHeader.biWidth = 1;
    info.bmiHeader.biHeight = 1;
    info.bmiHeader.biBitCount = 24;
    const uint8_t bits[] = {0x10, 0x20, 0x30, 0};
    HBITMAP bm = CreateDIBitmap(nullptr, &info.bmiHeader, CBM_INIT, bits, &info, DIB_RGB_COLORS);
    ASSERT_NE(bm, nullptr);
    EXPECT_EQ(GetBitmapSurface(bm)->Pixel(0, 0), 0xFF302010u);
    DeleteObject(bm);
    info.bmiHeader.biBitCount = 7;
    EXPECT_EQ(CreateDIBitmap(nullptr, &info.bmiHeader, CBM_INIT, bits, &info, DIB_RGB_COLORS), nullptr);

    struct {
        LOGPALETTE header;
        PALETTEENTRY more[1];
    } lp{};
    lp.header.palNumEntries = 2;
    lp.header.palPalEntry[0] = PALETTEENTRY{1, 2, 3, 0};
    lp.more[0] = PALETTEENTRY{4, 5, 6, 0};
    HPALETTE pal = CreatePalette(&lp.header);
    ASSERT_NE(pal, nullptr);
    EXPECT_EQ(GetObjectType(pal), static_cast<DWORD>(OBJ_PAL));
    PALETTEENTRY out[2];
    EXPECT_EQ(GetPaletteEntries(pal, 0, 2, out), 2u);
    EXPECT_EQ(out[1].peBlue, 6);
    gdi_test::Canvas s(1, 1, 0xFF112233u);
    EXPECT_EQ(SelectPalette(s.dc, pal, 0), GetStockObject(DEFAULT_PALETTE));
    EXPECT_EQ(SelectPalette(s.dc, static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), 0), pal);
    EXPECT_EQ(RealizePalette(s.dc), 0u);
    EXPECT_TRUE(UpdateColors(s.dc));
    EXPECT_EQ(s.Pixel(0, 0), 0xFF112233u); // nothing to realise at 32 bits per pixel
    EXPECT_TRUE(DeleteDC(s.dc));
    EXPECT_TRUE(DeleteObject(pal));
    EXPECT_EQ(RealizePalette(s.dc), GDI_ERROR);
}

// The colour tables of indexed bitmaps and the Win32 calls share one table of palette objects.
TEST(Images, PalettesFromEntriesAreGdiObjects) {
    const PALETTEENTRY two[2] = {{10, 20, 30, 0}, {40, 50, 60, 4}};
    HPALETTE pal = CreatePalette(two, 2);
    ASSERT_NE(pal, nullptr);
    EXPECT_EQ(GetObjectType(pal), static_cast<DWORD>(OBJ_PAL));
    WORD count = 0;
    EXPECT_EQ(GetObject(pal, sizeof count, &count), static_cast<int>(sizeof count));
    EXPECT_EQ(count, 2);
    PALETTEENTRY second;
    EXPECT_EQ(GetPaletteEntries(pal, 1, 5, &second), 1u);
    EXPECT_EQ(second.peBlue, 60);
    EXPECT_EQ(second.peFlags, 4);
    const std::vector<PALETTEENTRY> all = PaletteEntries(pal);
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].peRed, 10);
    EXPECT_EQ(all[1].peGreen, 50);
    EXPECT_TRUE(DeleteObject(pal));
    EXPECT_TRUE(PaletteEntries(pal).empty());
    EXPECT_EQ(GetPaletteEntries(pal, 0, 0, nullptr), 0u);

    std::vector<PALETTEENTRY> many(257);
    EXPECT_EQ(CreatePalette(many.data(), 257), nullptr);
    EXPECT_EQ(CreatePalette(many.data(), 0), nullptr);
    EXPECT_EQ(CreatePalette(nullptr, 1), nullptr);
    HPALETTE full = CreatePalette(many.data(), 256);
    EXPECT_EQ(PaletteEntries(full).size(), 256u);
    EXPECT_TRUE(DeleteObject(full));
}

} // namespace

namespace {

TEST(Images, TheColourTableOfTheSelectedIndexedSectionIsReadInOrder) {
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[4];
    } info;
    info.header.biWidth = 3;
    info.header.biHeight = 2;
    info.header.biBitCount = 8;
    info.header.biClrUsed = 4;
    info.colors[0] = RGBQUAD{10, 20, 30, 0};
    info.colors[1] = RGBQUAD{40, 50, 60, 0};
    info.colors[2] = RGBQUAD{70, 80, 90, 0};
    info.colors[3] = RGBQUAD{1, 2, 3, 0};
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                       &bits, nullptr, 0);
    ASSERT_NE(section, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(GetDIBColorTable(dc, 0, 256, nullptr), 0u) << "no section selected";
    HGDIOBJ old = SelectObject(dc, section);
    RGBQUAD got[4] = {};
    EXPECT_EQ(GetDIBColorTable(dc, 0, 256, nullptr), 4u);
    ASSERT_EQ(GetDIBColorTable(dc, 1, 2, got), 2u);
    EXPECT_EQ(got[0].rgbBlue, 40);
    EXPECT_EQ(got[0].rgbRed, 60);
    EXPECT_EQ(got[1].rgbGreen, 80);
    EXPECT_EQ(GetDIBColorTable(dc, 3, 9, got), 1u);
    EXPECT_EQ(got[0].rgbBlue, 1);
    EXPECT_EQ(GetDIBColorTable(dc, 4, 1, got), 0u);
    // A true-colour bitmap has no colour table.
    HBITMAP colour = CreateBitmap(2, 2, 1, 32, nullptr);
    SelectObject(dc, colour);
    EXPECT_EQ(GetDIBColorTable(dc, 0, 256, got), 0u);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(colour);
    DeleteObject(section);
}

} // namespace

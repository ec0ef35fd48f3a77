#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/gdi/bitmaps.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/palettes.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/graphics_errors.h"
#include "platform/graphics/tests/graphics_test_support.h"
#include "platform/rtl/stream.h"
#include "tests/support/thrown_message.h"

namespace {

using graphics_test::Colours, graphics_test::Fill, graphics_test::Load, graphics_test::Save;

// Colours every format can hold exactly: black and white, and in 4 and 8 bits the VGA primaries.
const TColor kColours[] = {clBlack, clWhite, clRed, clLime, clBlue, clYellow};

int ExactColours(TPixelFormat pf) {
    return pf == pf1bit ? 2 : 6;
}

void PaintStripes(TBitmap& b, int colours) {
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            b.Canvas().SetPixel(x, y, kColours[(x + 2 * y) % colours]);
}

void Put16(std::vector<uint8_t>& v, size_t at, uint32_t x) {
    v[at] = uint8_t(x);
    v[at + 1] = uint8_t(x >> 8);
}
void Put32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
    Put16(v, at, x);
    Put16(v, at + 2, x >> 16);
}

// A BMP file with a 40-byte header; rows and table as given.
std::vector<uint8_t> MakeBmp(int width, int height, int bpp, uint32_t compression,
                             const std::vector<uint32_t>& table, const std::vector<uint8_t>& pixels) {
    const size_t offset = 14 + 40 + table.size() * 4;
    std::vector<uint8_t> v(offset, 0);
    v[0] = 'B';
    v[1] = 'M';
    Put32(v, 2, static_cast<uint32_t>(offset + pixels.size()));
    Put32(v, 10, static_cast<uint32_t>(offset));
    Put32(v, 14, 40);
    Put32(v, 18, static_cast<uint32_t>(width));
    Put32(v, 22, static_cast<uint32_t>(height));
    Put16(v, 26, 1);
    Put16(v, 28, static_cast<uint32_t>(bpp));
    Put32(v, 30, compression);
    Put32(v, 34, static_cast<uint32_t>(pixels.size()));
    Put32(v, 46, static_cast<uint32_t>(table.size()));
    for (size_t i = 0; i < table.size(); ++i)
        Put32(v, 54 + 4 * i, table[i]);
    v.insert(v.end(), pixels.begin(), pixels.end());
    return v;
}

TColor At(TBitmap& b, int x, int y) {
    return b.Canvas().Pixel(x, y);
}

} // namespace

TEST(Bitmap, RoundTripsEveryPixelFormatThroughBmp) {
    for (TPixelFormat pf : {pf1bit, pf4bit, pf8bit, pf24bit, pf32bit, pfDevice}) {
        SCOPED_TRACE(static_cast<int>(pf));
        TBitmap b;
        b.SetPixelFormat(pf);
        b.SetSize(13, 5); // odd width: rows need padding at every depth
        PaintStripes(b, ExactColours(pf));
        const std::vector<uint8_t> bytes = Save(b);
        ASSERT_GT(bytes.size(), 54u);
        EXPECT_EQ(bytes[0], 'B');
        TBitmap back;
        Load(back, bytes);
        EXPECT_EQ(back.Width(), 13);
        EXPECT_EQ(back.Height(), 5);
        EXPECT_EQ(back.PixelFormat(), pf == pfDevice ? pf32bit : pf);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 13; ++x)
                ASSERT_EQ(At(back, x, y), kColours[(x + 2 * y) % ExactColours(pf)]) << x << "," << y;
        EXPECT_EQ(Save(back), bytes);
    }
}

TEST(Bitmap, IndexedFormatsKeepTheirColourTableAndPalette) {
    TBitmap b;
    b.SetPixelFormat(pf8bit);
    b.SetSize(4, 2);
    std::vector<RGBQUAD> table(256);
    table[0] = RGBQUAD{30, 20, 10, 0};
    table[1] = RGBQUAD{3, 2, 1, 0};
    b.SetColorTable(table);
    static_cast<uint8_t*>(b.ScanLine(0))[0] = 1;
    static_cast<uint8_t*>(b.ScanLine(0))[1] = 0;
    EXPECT_EQ(At(b, 0, 0), static_cast<TColor>(RGB(1, 2, 3)));
    EXPECT_EQ(At(b, 1, 0), static_cast<TColor>(RGB(10, 20, 30)));

    HPALETTE pal = b.Palette();
    ASSERT_NE(pal, nullptr);
    EXPECT_EQ(GetPaletteEntries(pal, 0, 0, nullptr), 256u);
    PALETTEENTRY first;
    GetPaletteEntries(pal, 1, 1, &first);
    EXPECT_EQ(first.peRed, 1);
    EXPECT_EQ(first.peBlue, 3);

    // A new palette recolours the same indices.
    PALETTEENTRY entries[2] = {{200, 0, 0, 0}, {0, 0, 200, 0}};
    HPALETTE mine = CreatePalette(entries, 2);
    b.SetPalette(mine);
    EXPECT_TRUE(DeleteObject(mine)); // the bitmap kept a copy
    EXPECT_EQ(At(b, 0, 0), static_cast<TColor>(RGB(0, 0, 200)));
    EXPECT_EQ(At(b, 1, 0), static_cast<TColor>(RGB(200, 0, 0)));

    TBitmap back;
    Load(back, Save(b));
    EXPECT_EQ(back.ColorTable()[1].rgbBlue, 200);
    EXPECT_EQ(At(back, 0, 0), static_cast<TColor>(RGB(0, 0, 200)));

    TBitmap truecolour(2, 2);
    EXPECT_EQ(truecolour.Palette(), nullptr);
}

TEST(Bitmap, ScanLineZeroIsTheTopRowAndMeetsCanvasDrawing) {
    TBitmap b;
    b.SetPixelFormat(pf24bit);
    b.SetSize(3, 4);
    auto* top = static_cast<uint8_t*>(b.ScanLine(0));
    top[0] = 0x11; // blue
    top[1] = 0x22;
    top[2] = 0x33; // red
    EXPECT_EQ(At(b, 0, 0), static_cast<TColor>(RGB(0x33, 0x22, 0x11)));
    EXPECT_EQ(At(b, 0, 3), clWhite);
    // Rows lie bottom-up: the last row comes first in memory.
    EXPECT_EQ(static_cast<uint8_t*>(b.ScanLine(3)) + 3 * 12, top);

    b.Canvas().SetPixel(2, 3, clRed);
    const auto* bottom = static_cast<const uint8_t*>(b.ScanLine(3));
    EXPECT_EQ(bottom[6], 0x00);
    EXPECT_EQ(bottom[8], 0xFF);

    EXPECT_THROW(b.ScanLine(4), EInvalidGraphicOperation);
    EXPECT_THROW(b.ScanLine(-1), EInvalidGraphicOperation);
    TBitmap empty;
    EXPECT_THROW(empty.ScanLine(0), EInvalidGraphicOperation);

    // A monochrome bitmap becomes a one-bit image for scan lines, still monochrome.
    TBitmap mono(9, 2);
    mono.SetMonochrome(true);
    mono.Canvas().SetPixel(0, 0, clBlack);
    const auto* row = static_cast<const uint8_t*>(mono.ScanLine(0));
    EXPECT_EQ(row[0], 0x7F);
    EXPECT_EQ(row[1] & 0x80, 0x80);
    EXPECT_TRUE(mono.Monochrome());
    EXPECT_EQ(mono.PixelFormat(), pf1bit);
}

TEST(Bitmap, ReadsRunLengthCodedAndOtherLayouts) {
    const std::vector<uint32_t> table = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
    // RLE8, 5 x 3 from the bottom: a run, an absolute run, end of line; a delta; end of bitmap.
    const std::vector<uint8_t> rle8 = {3, 1, 0, 3, 2, 3, 2, 0, // row 0: 1 1 1 2 3 2 (cut at 5)
                                       0, 0,                   // end of line
                                       0, 2, 2, 1,             // delta: right 2, up 1
                                       2, 3,                   // row 2, x 2..3
                                       0, 1};
    TBitmap b;
    Load(b, MakeBmp(5, 3, 8, 1, table, rle8));
    EXPECT_EQ(b.PixelFormat(), pf8bit);
    const TColor blue = static_cast<TColor>(RGB(0, 0, 0xFF)), green = static_cast<TColor>(RGB(0, 0xFF, 0));
    const TColor red = static_cast<TColor>(RGB(0xFF, 0, 0));
    EXPECT_EQ(Colours(b, {{0, 2}, {2, 2}, {3, 2}, {4, 2}}), (std::vector<TColor>{red, red, green, blue}));
    EXPECT_EQ(At(b, 0, 1), clBlack); // skipped by no code
    EXPECT_EQ(Colours(b, {{2, 0}, {3, 0}, {4, 0}}), (std::vector<TColor>{blue, blue, clBlack}));

    // RLE4: a run alternates its two nibbles; an absolute run of 3 nibbles is padded to a word.
    const std::vector<uint8_t> rle4 = {5, 0x12, 0, 3, 0x32, 0x10, 0, 1};
    Load(b, MakeBmp(8, 1, 4, 2, table, rle4));
    EXPECT_EQ(b.PixelFormat(), pf4bit);
    const TColor expected[] = {red, green, red, green, red, blue, green, red};
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(At(b, x, 0), expected[x]) << x;

    // Top-down 24 bits: the first row in the file is the top.
    std::vector<uint8_t> rows = {0, 0, 0xFF, 0, 0xFF, 0, 0, 0, 0, 0, 0, 0}; // 2 x 2, padded to 8 per row
    rows.resize(8);
    rows.insert(rows.end(), {0xFF, 0, 0, 0xFF, 0xFF, 0xFF, 0, 0});
    std::vector<uint8_t> file = MakeBmp(2, 2, 24, 0, {}, rows);
    Put32(file, 22, static_cast<uint32_t>(-2));
    Load(b, file);
    EXPECT_EQ(Colours(b, {{0, 0}, {1, 0}, {0, 1}, {1, 1}}), (std::vector<TColor>{red, green, blue, clWhite}));

    // 16 bits with 5-6-5 bit fields are widened to 24 bits.
    std::vector<uint8_t> fields = MakeBmp(2, 1, 16, 3, {0xF800, 0x07E0, 0x001F}, {0x00, 0xF8, 0x1F, 0x00});
    Put32(fields, 46, 0); // the three masks are not a colour table
    Load(b, fields);
    EXPECT_EQ(b.PixelFormat(), pf24bit);
    EXPECT_EQ(At(b, 0, 0), red);
    EXPECT_EQ(At(b, 1, 0), blue);

    // The old 12-byte header with three-byte table entries.
    std::vector<uint8_t> core = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 32, 0,    0,    0,    12,   0, 0, 0,
                                 2,   0,   1, 0, 1, 0, 1, 0, 0, 0, 0,  0xFF, 0xFF, 0xFF, 0x40, 0, 0, 0};
    Load(b, core);
    EXPECT_EQ(At(b, 0, 0), clBlack);
    EXPECT_EQ(At(b, 1, 0), clWhite);
}

TEST(Bitmap, MalformedFilesRaiseInvalidGraphic) {
    TBitmap good;
    good.SetPixelFormat(pf8bit);
    good.SetSize(7, 3);
    PaintStripes(good, 6);
    const std::vector<uint8_t> bytes = Save(good);
    // Every truncation of a valid file.
    for (size_t n = 1; n < bytes.size(); ++n) {
        TBitmap b;
        EXPECT_THROW(Load(b, std::vector<uint8_t>(bytes.begin(), bytes.begin() + n)), EInvalidGraphic) << n;
    }
    auto broken = [&](auto edit) {
        std::vector<uint8_t> v = bytes;
        edit(v);
        TBitmap b;
        EXPECT_THROW(Load(b, v), EInvalidGraphic);
    };
    broken([](auto& v) { v[0] = 'X'; });
    broken([](auto& v) { Put32(v, 14, 39); });                        // header size
    broken([](auto& v) { Put32(v, 14, 0xFFFFFFF0u); });               // header size past the file
    broken([](auto& v) { Put32(v, 18, 0); });                         // width
    broken([](auto& v) { Put32(v, 18, static_cast<uint32_t>(-7)); }); // negative width
    broken([](auto& v) { Put32(v, 18, 100000); });                    // pixels past the file
    broken([](auto& v) {
        Put32(v, 18, 0x7FFFFFFF);
        Put32(v, 22, 0x7FFFFFFF);
    });                                                 // overflowing size
    broken([](auto& v) { Put32(v, 22, 0x80000000u); }); // most negative height
    broken([](auto& v) { Put16(v, 28, 7); });           // depth
    broken([](auto& v) { Put32(v, 30, 9); });           // compression
    broken([](auto& v) { Put32(v, 30, 2); });           // RLE4 on 8 bits
    broken([](auto& v) { Put32(v, 46, 1000); });        // colour count
    broken([](auto& v) { Put32(v, 10, 0x7FFFFFF0); });  // pixel offset
    // A top-down run-length image does not exist.
    const std::vector<uint8_t> rle = {2, 1, 0, 1};
    std::vector<uint8_t> topDown = MakeBmp(2, 1, 8, 1, {0, 0xFFFFFF}, rle);
    Put32(topDown, 22, static_cast<uint32_t>(-1));
    TBitmap b;
    EXPECT_THROW(Load(b, topDown), EInvalidGraphic);
    // Runs and deltas that leave the image are cut off, not written past it.
    const std::vector<uint8_t> wild = {255, 1, 0, 2, 255, 255, 0, 5, 1, 1, 1, 1, 1, 0, 255, 1};
    Load(b, MakeBmp(3, 2, 8, 1, {0, 0xFFFFFF}, wild));
    EXPECT_EQ(At(b, 2, 1), clWhite);
    // Wider than any bitmap can be, though the coded data is tiny.
    EXPECT_THROW(Load(b, MakeBmp(40000, 1, 8, 1, {0}, {0, 1})), EInvalidGraphic);
    // An absolute run longer than the data left.
    EXPECT_THROW(Load(b, MakeBmp(3, 2, 8, 1, {0, 0xFFFFFF}, {0, 200, 1, 1})), EInvalidGraphic);
    // An empty stream is an empty bitmap.
    Load(b, {});
    EXPECT_TRUE(b.Empty());
}

TEST(Bitmap, TransparentDrawingLeavesTheTransparentColourOut) {
    TBitmap glyph(4, 4);
    Fill(glyph, clFuchsia);
    glyph.Canvas().Brush().SetColor(clRed);
    glyph.Canvas().FillRect(Rect(1, 1, 3, 3));
    EXPECT_EQ(glyph.TransparentMode(), tmAuto);
    EXPECT_EQ(glyph.TransparentColor(), clFuchsia); // the bottom-left pixel

    TBitmap target(8, 8);
    Fill(target, clLime);
    target.Canvas().Draw(0, 0, &glyph); // opaque
    EXPECT_EQ(At(target, 0, 0), clFuchsia);

    glyph.SetTransparent(true);
    target.Canvas().FillRect(Rect(0, 0, 8, 8));
    target.Canvas().Draw(2, 2, &glyph);
    EXPECT_EQ(Colours(target, {{2, 2}, {3, 3}, {4, 4}, {5, 5}}),
              (std::vector<TColor>{clLime, clRed, clRed, clLime}));

    // Stretched: twice the size, the mask follows.
    target.Canvas().FillRect(Rect(0, 0, 8, 8));
    target.Canvas().StretchDraw(Rect(0, 0, 8, 8), &glyph);
    EXPECT_EQ(Colours(target, {{1, 1}, {2, 2}, {5, 5}, {6, 6}}),
              (std::vector<TColor>{clLime, clRed, clRed, clLime}));

    // A fixed colour: red is left out instead, and drawing on the glyph renews the mask.
    glyph.SetTransparentColor(clRed);
    EXPECT_EQ(glyph.TransparentMode(), tmFixed);
    target.Canvas().FillRect(Rect(0, 0, 8, 8));
    target.Canvas().Draw(0, 0, &glyph);
    EXPECT_EQ(At(target, 0, 0), clFuchsia);
    EXPECT_EQ(At(target, 1, 1), clLime);
    glyph.Canvas().SetPixel(1, 1, clBlue);
    target.Canvas().Draw(0, 0, &glyph);
    EXPECT_EQ(At(target, 1, 1), clBlue);

    // The mask: white where the transparent colour is.
    TBitmap mask;
    mask.SetHandle(glyph.ReleaseMaskHandle());
    EXPECT_TRUE(mask.Monochrome());
    EXPECT_EQ(At(mask, 2, 2), clWhite);
    EXPECT_EQ(At(mask, 0, 0), clBlack);
}

TEST(Bitmap, SizeFormatAndMonochromeChangesKeepThePicture) {
    TBitmap b(4, 4);
    Fill(b, clRed);
    b.SetSize(6, 3);
    EXPECT_EQ(At(b, 3, 2), clRed);
    EXPECT_EQ(At(b, 5, 0), clWhite); // new pixels are white

    b.SetPixelFormat(pf4bit);
    EXPECT_EQ(At(b, 0, 0), clRed);
    b.Canvas().SetPixel(1, 1, static_cast<TColor>(RGB(250, 5, 5))); // nearest of the table
    EXPECT_EQ(At(b, 1, 1), clRed);
    b.SetPixelFormat(pf24bit);
    EXPECT_EQ(At(b, 1, 1), clRed);

    b.SetMonochrome(true);
    EXPECT_TRUE(b.Monochrome());
    EXPECT_EQ(At(b, 0, 0), clBlack); // anything but white
    EXPECT_EQ(At(b, 5, 0), clWhite);
    TBitmap target(6, 3);
    Fill(target, clBlue);
    target.Canvas().Draw(0, 0, &b); // black and white, whatever the target's text colours
    EXPECT_EQ(At(target, 0, 0), clBlack);
    EXPECT_EQ(At(target, 5, 0), clWhite);

    EXPECT_THROW(b.SetPixelFormat(pf16bit), EInvalidGraphic);
    EXPECT_THROW(b.SetSize(-1, 2), EInvalidGraphic);
    b.SetSize(0, 5);
    EXPECT_TRUE(b.Empty());
    EXPECT_EQ(b.Handle(), nullptr);
}

TEST(Bitmap, AssignDormantHandlesAndFiles) {
    TBitmap a;
    a.SetPixelFormat(pf8bit);
    a.SetSize(5, 5);
    a.Canvas().Brush().SetColor(clBlue);
    a.Canvas().FillRect(Rect(0, 0, 5, 5));
    a.SetTransparent(true);
    TBitmap b;
    b.Assign(&a);
    EXPECT_EQ(b.PixelFormat(), pf8bit);
    EXPECT_TRUE(b.Transparent());
    b.Canvas().SetPixel(0, 0, clRed);
    EXPECT_EQ(At(a, 0, 0), clBlue); // a copy, not a share
    EXPECT_EQ(At(b, 0, 0), clRed);

    b.Dormant();
    EXPECT_FALSE(b.HandleAllocated());
    EXPECT_EQ(b.Width(), 5);
    EXPECT_EQ(At(b, 0, 0), clRed);
    EXPECT_EQ(At(b, 1, 0), clBlue);

    HBITMAP h = b.ReleaseHandle();
    EXPECT_TRUE(b.Empty());
    TBitmap c;
    c.SetHandle(h); // c owns it now
    EXPECT_EQ(c.Width(), 5);
    EXPECT_EQ(At(c, 0, 0), clRed);

    // A foreign top-down DIB section: taken over with its rows in the right order.
    BITMAPINFO256 info;
    info.bmiHeader.biWidth = 2;
    info.bmiHeader.biHeight = -2;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP topDown = CreateDIBSection(nullptr, info.Info(), DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(topDown, nullptr);
    static_cast<uint8_t*>(bits)[2] = 0xFF; // the top-left pixel red
    TBitmap e;
    e.SetHandle(topDown);
    EXPECT_EQ(e.PixelFormat(), pf24bit);
    EXPECT_EQ(At(e, 0, 0), clRed);
    EXPECT_EQ(At(e, 0, 1), clBlack);
    EXPECT_EQ(static_cast<uint8_t*>(e.ScanLine(0))[2], 0xFF);

    int changes = 0;
    c.OnChange = [&](TObject*) { ++changes; };
    c.Canvas().SetPixel(1, 1, clLime);
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(c.Modified());

    TBitmap d;
    EXPECT_THROW(d.LoadFromFile(testing::TempDir() + "graphics_missing.bmp"), EFOpenError);
}

TEST(Bitmap, LoadsBitmapResourcesWithOrWithoutFileHeader) {
    TBitmap b;
    b.LoadFromResourceName(nullptr, "TESTFRAME24");
    EXPECT_EQ(b.Width(), 3);
    EXPECT_EQ(Colours(b, {{0, 0}, {2, 0}, {2, 1}}),
              (std::vector<TColor>{clRed, clBlue, static_cast<TColor>(RGB(128, 128, 128))}));
    b.LoadFromResourceName(nullptr, "testframe8");
    EXPECT_EQ(b.PixelFormat(), pf8bit);
    EXPECT_EQ(At(b, 0, 0), clFuchsia);
    EXPECT_EQ(At(b, 1, 0), static_cast<TColor>(RGB(10, 20, 30)));
    EXPECT_EQ(
        testsupport::ThrownMessage<EResNotFound>([&] { b.LoadFromResourceName(nullptr, "NOSUCHFRAME"); }),
        "Resource NOSUCHFRAME not found");
}

// Colour maps to and from palettes, and icons and metafiles converted into frames with their
// transparency.
#include "imaging/gif/tests/gif_test_support.h"
#include "platform/gdi/bitmaps.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/icons.h"
#include "platform/gdi/palettes.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/icon.h"
#include "platform/graphics/metafile.h"

#include <gtest/gtest.h>

using namespace gif_test;

namespace {

COLORREF ColourAt(TGIFSubImage& frame, int x, int y) {
    const TGIFRGB c = frame.ColorOf(frame.Pixels(x, y));
    return RGB(c.Red, c.Green, c.Blue);
}

// A graphic that knows how to become a bitmap: a 4-bit one of the pixels 9, 12, 3, 12 with its own
// colour table, transparent in the colour of 12 when asked. Drawn, it shows the same pixels.
class IndexedGraphic : public TGraphic {
public:
    explicit IndexedGraphic(bool transparent) {
        bitmap_.SetSize(4, 1);
        bitmap_.SetPixelFormat(pf4bit);
        std::vector<RGBQUAD> table(16);
        for (size_t i = 0; i < table.size(); ++i)
            table[i] = RGBQUAD{static_cast<BYTE>(10 * i), static_cast<BYTE>(200 - 10 * i), 77, 0};
        bitmap_.SetColorTable(table);
        auto* row = static_cast<uint8_t*>(bitmap_.ScanLine(0));
        row[0] = 0x9C;
        row[1] = 0x3C;
        bitmap_.SetModified(true);
        bitmap_.SetTransparentColor(TColor(RGB(77, 80, 120)));
        bitmap_.SetTransparent(transparent);
    }
    int Width() const override { return bitmap_.Width(); }
    int Height() const override { return bitmap_.Height(); }
    void SetWidth(int) override {}
    void SetHeight(int) override {}
    bool Empty() const override { return bitmap_.Empty(); }
    void LoadFromStream(TStream&) override {}
    void SaveToStream(TStream&) override {}
    void AssignTo(TPersistent* Dest) override {
        if (auto* bitmap = dynamic_cast<TBitmap*>(Dest)) return bitmap->Assign(&bitmap_);
        TGraphic::AssignTo(Dest);
    }

protected:
    void Draw(TCanvas& canvas, const TRect& rect) override { canvas.StretchDraw(rect, &bitmap_); }

private:
    TBitmap bitmap_;
};

} // namespace

TEST(GifConversion, AnyOtherGraphicBecomesABitmapItsOwnWayKeepingItsTableAndTransparency) {
    IndexedGraphic opaque(false), transparent(true);
    TGIFImage image, masked; // drawn on a true-colour bitmap, the pixels would go through the web palette
    image.Assign(&opaque);
    masked.Assign(&transparent);
    ASSERT_EQ(image.Images().Count(), 1);
    TGIFSubImage& frame = *image.Images()[0];
    ASSERT_EQ(frame.ColorMap().Count(), 16);
    EXPECT_EQ(frame.ColorMap().Colors(9), RGB(77, 110, 90));
    EXPECT_EQ(
        std::vector<int>({frame.Pixels(0, 0), frame.Pixels(1, 0), frame.Pixels(2, 0), frame.Pixels(3, 0)}),
        std::vector<int>({9, 12, 3, 12}));
    EXPECT_FALSE(frame.Transparent());
    ASSERT_EQ(masked.Images().Count(), 1);
    TGIFSubImage& keyed = *masked.Images()[0];
    ASSERT_TRUE(keyed.Transparent());
    const int index = keyed.GraphicControlExtension()->TransparentColorIndex();
    EXPECT_EQ(keyed.Pixels(1, 0), index);
    EXPECT_EQ(keyed.Pixels(3, 0), index);
    EXPECT_EQ(ColourAt(keyed, 0, 0), RGB(77, 110, 90));
    EXPECT_EQ(ColourAt(keyed, 2, 0), RGB(77, 170, 30));
}

TEST(GifColorMap, PalettesComeInAndGoOutInEntryOrder) {
    TGIFImage image;
    TGIFColorMap& map = image.Header().ColorMap();
    const PALETTEENTRY entries[] = {{255, 0, 0, 0}, {0, 128, 0, 0}, {1, 2, 3, 0}};
    HPALETTE palette = CreatePalette(entries, 3);
    map.SetOptimized(true);
    map.ImportPalette(palette);
    DeleteObject(palette);
    ASSERT_EQ(map.Count(), 3);
    EXPECT_EQ(map.Colors(0), RGB(255, 0, 0));
    EXPECT_EQ(map.Colors(1), RGB(0, 128, 0));
    EXPECT_EQ(map.Colors(2), RGB(1, 2, 3));
    EXPECT_FALSE(map.Optimized());

    HPALETTE exported = map.ExportPalette();
    const std::vector<PALETTEENTRY> out = PaletteEntries(exported);
    DeleteObject(exported);
    ASSERT_EQ(out.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(RGB(out[i].peRed, out[i].peGreen, out[i].peBlue), map.Colors(static_cast<int>(i))) << i;
        EXPECT_EQ(out[i].peFlags, PC_NOCOLLAPSE) << i;
    }
    // The image's palette is the global map's when no web palette applies.
    image.SetPaintOptions(image.PaintOptions() & ~gpWebPalette);
    const std::vector<PALETTEENTRY> shown = PaletteEntries(image.Palette());
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[2].peBlue, 3);
    EXPECT_EQ(shown[2].peFlags, PC_NOCOLLAPSE);

    // The colour table of an indexed bitmap, blue-green-red entries read as colours.
    TBitmap indexed;
    indexed.SetSize(2, 2);
    indexed.SetPixelFormat(pf4bit);
    std::vector<RGBQUAD> table(16);
    table[0] = RGBQUAD{200, 100, 50, 0};
    table[15] = RGBQUAD{7, 8, 9, 0};
    indexed.SetColorTable(table);
    map.ImportDIBColors(indexed.Canvas().Handle());
    ASSERT_EQ(map.Count(), 16);
    EXPECT_EQ(map.Colors(0), RGB(50, 100, 200));
    EXPECT_EQ(map.Colors(15), RGB(9, 8, 7));

    map.Clear();
    EXPECT_EQ(map.ExportPalette(), nullptr);
}

TEST(GifConversion, AnIconKeepsItsMaskAsATransparentBlackAddedAtTheEnd) {
    // 3 x 2: red, black, masked / blue, masked, red.
    const uint32_t colours[] = {0xFFFF0000u, 0xFF000000u, 0, 0xFF0000FFu, 0, 0xFFFF0000u};
    const uint8_t maskRows[] = {0x20, 0, 0x40, 0}; // monochrome rows padded to 16 bits; 1 = see through
    ICONINFO info;
    info.hbmColor = CreateBitmap(3, 2, 1, 32, colours);
    info.hbmMask = CreateBitmap(3, 2, 1, 1, maskRows);
    TIcon icon;
    icon.SetHandle(CreateIconIndirect(&info));
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);

    TGIFImage image;
    image.Assign(&icon);
    ASSERT_EQ(image.Images().Count(), 1);
    TGIFSubImage& frame = *image.Images()[0];
    ASSERT_TRUE(frame.Transparent());
    TGIFGraphicControlExtension* gce = frame.GraphicControlExtension();
    ASSERT_NE(gce, nullptr);
    EXPECT_TRUE(gce->Transparent());
    const int transparent = gce->TransparentColorIndex();
    EXPECT_EQ(transparent, frame.ColorMap().Count() - 1);
    EXPECT_EQ(frame.ColorMap().Colors(transparent), RGB(0, 0, 0));
    EXPECT_EQ(frame.Pixels(2, 0), transparent);
    EXPECT_EQ(frame.Pixels(1, 1), transparent);
    EXPECT_EQ(ColourAt(frame, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(ColourAt(frame, 0, 1), RGB(0, 0, 255));
    EXPECT_EQ(ColourAt(frame, 2, 1), RGB(255, 0, 0));
    // A black pixel of the icon stays black and opaque: another index than the transparent one.
    EXPECT_EQ(ColourAt(frame, 1, 0), RGB(0, 0, 0));
    EXPECT_NE(frame.Pixels(1, 0), transparent);
}

TEST(GifConversion, AMetafileIsTransparentWhereItLeavesTheBackground) {
    // White and black columns drawn, the last two left undrawn.
    TMetafile metafile;
    metafile.SetWidth(6);
    metafile.SetHeight(2);
    metafile.FillRect(RECT{0, 0, 2, 2}, clWhite);
    metafile.FillRect(RECT{2, 0, 4, 2}, clBlack);
    TGIFImage image;
    image.Assign(&metafile);
    ASSERT_EQ(image.Images().Count(), 1);
    TGIFSubImage& frame = *image.Images()[0];
    ASSERT_TRUE(frame.Transparent());
    const int transparent = frame.GraphicControlExtension()->TransparentColorIndex();
    EXPECT_EQ(transparent, frame.ColorMap().Count() - 1);
    for (int y = 0; y < 2; ++y) {
        EXPECT_EQ(ColourAt(frame, 0, y), RGB(255, 255, 255)) << "drawn white is no background";
        EXPECT_NE(frame.Pixels(1, y), transparent);
        EXPECT_EQ(ColourAt(frame, 3, y), RGB(0, 0, 0)) << "drawn black is no background";
        EXPECT_NE(frame.Pixels(2, y), transparent);
        EXPECT_EQ(frame.Pixels(4, y), transparent);
        EXPECT_EQ(frame.Pixels(5, y), transparent);
    }
}

TEST(GifConversion, IndexedBitmapsKeepTheirPixelValuesAndColourTables) {
    // The leftmost pixel in the highest bits: 1 bit per pixel from bit 7 on, 4 bits the high nibble first.
    struct Case {
        TPixelFormat Format;
        uint8_t Row[2];
        std::vector<uint8_t> Values;
    };
    const Case cases[] = {
        {pf1bit, {0xA0, 0}, {1, 0, 1}}, {pf4bit, {0x3A, 0x70}, {3, 10, 7}}, {pf8bit, {200, 7}, {200, 7}}};
    for (const Case& c : cases) {
        TBitmap bitmap;
        bitmap.SetSize(static_cast<int>(c.Values.size()), 1);
        bitmap.SetPixelFormat(c.Format);
        std::vector<RGBQUAD> table(c.Format == pf1bit ? 2 : c.Format == pf4bit ? 16 : 256);
        for (size_t i = 0; i < table.size(); ++i)
            table[i] = RGBQUAD{static_cast<BYTE>(i), static_cast<BYTE>(255 - i), static_cast<BYTE>(i * 7), 0};
        bitmap.SetColorTable(table);
        auto* row = static_cast<uint8_t*>(bitmap.ScanLine(0));
        row[0] = c.Row[0];
        if (c.Format != pf1bit) row[1] = c.Row[1];
        bitmap.SetModified(true);

        TGIFImage image; // its reduction would put true colours on the web palette
        image.Assign(&bitmap);
        ASSERT_EQ(image.Images().Count(), 1) << c.Format;
        TGIFSubImage& frame = *image.Images()[0];
        ASSERT_EQ(frame.ColorMap().Count(), static_cast<int>(table.size())) << c.Format;
        for (size_t i = 0; i < table.size(); ++i)
            ASSERT_EQ(frame.ColorMap().Colors(static_cast<int>(i)),
                      RGB(table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue))
                << c.Format << " entry " << i;
        for (size_t x = 0; x < c.Values.size(); ++x)
            EXPECT_EQ(frame.Pixels(static_cast<int>(x), 0), c.Values[x]) << c.Format << " pixel " << x;
    }
}

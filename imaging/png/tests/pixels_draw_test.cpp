// Pixel access, transparency and drawing.
#include "imaging/png/png_errors.h"
#include "platform/graphics/bitmap.h"
#include "png_builder.h"
#include "png_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

using namespace png_test;

namespace {

constexpr uint32_t kBackground = 0xFF204060u;

// A 32-bit bitmap filled with the background, drawn on through its canvas.
struct Canvas {
    TBitmap bitmap;
    Canvas(int w, int h) {
        bitmap.SetPixelFormat(pf32bit);
        bitmap.SetSize(w, h);
        for (int y = 0; y < h; ++y)
            std::fill_n(static_cast<uint32_t*>(bitmap.ScanLine(y)), w, kBackground);
    }
    void Draw(TPNGObject& image, const TRect& rect) { bitmap.Canvas().StretchDraw(rect, &image); }
    uint32_t At(int x, int y) { return static_cast<uint32_t*>(bitmap.ScanLine(y))[x]; }
};

std::unique_ptr<TPNGObject> Loaded(const Bytes& bytes) {
    auto image = std::make_unique<TPNGObject>();
    Load(*image, bytes);
    return image;
}

uint8_t Blend(uint8_t src, uint8_t a, uint8_t dst) {
    return uint8_t((src * a + 255 + (255 - a) * dst) >> 8);
}

} // namespace

TEST(PngPixels, TwoBitGreyShowsFullRangeAndSavesLosslessly) {
    // Samples 0, 1, 2, 3 in one byte; sample 2 is the transparent grey.
    TPNGObject image;
    Load(image, PngBuilder().Ihdr(4, 1, 2, 0).Chunk("tRNS", {0, 2}).Idat({0, 0x1B}).Iend().Get());
    EXPECT_EQ(image.ReadPixel(0, 0), RGB(0, 0, 0));
    EXPECT_EQ(image.ReadPixel(1, 0), RGB(85, 85, 85));
    EXPECT_EQ(image.ReadPixel(2, 0), RGB(170, 170, 170));
    EXPECT_EQ(image.ReadPixel(3, 0), RGB(255, 255, 255));
    EXPECT_EQ(image.AlphaKind(), pakColorKey);
    EXPECT_EQ(image.ColorKey(), RGB(170, 170, 170));
    Canvas canvas(4, 1);
    canvas.Draw(image, RECT{0, 0, 4, 1});
    EXPECT_EQ(canvas.At(1, 0), 0xFF555555u);
    EXPECT_EQ(canvas.At(2, 0), kBackground);

    const Bytes saved = Save(image);
    EXPECT_EQ(saved[8 + 8 + 8], 4); // written as 4-bit samples
    TPNGObject again;
    Load(again, saved);
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(again.ReadPixel(x, 0), image.ReadPixel(x, 0)) << x;
}

TEST(PngPixels, ColorKeyMatchesTheStoredSample) {
    // 16-bit grey: the key 0x1234 and a pixel of that value; a pixel of 0x5600 stays.
    auto greyOwner = Loaded(PngBuilder()
                                .Ihdr(2, 1, 16, 0)
                                .Chunk("tRNS", {0x12, 0x34})
                                .Idat({0, 0x12, 0x34, 0x56, 0})
                                .Iend()
                                .Get());
    TPNGObject& grey = *greyOwner;
    EXPECT_EQ(grey.ColorKey(), RGB(0x12, 0x12, 0x12));
    Canvas canvas(2, 1);
    canvas.Draw(grey, RECT{0, 0, 2, 1});
    EXPECT_EQ(canvas.At(0, 0), kBackground);
    EXPECT_EQ(canvas.At(1, 0), 0xFF565656u);

    // 16-bit RGB, keyed on its high bytes.
    auto rgbOwner = Loaded(PngBuilder()
                               .Ihdr(2, 1, 16, 2)
                               .Chunk("tRNS", {1, 0, 2, 0, 3, 0})
                               .Idat({0, 1, 0, 2, 0, 3, 0, 9, 0, 2, 0, 3, 0})
                               .Iend()
                               .Get());
    TPNGObject& rgb = *rgbOwner;
    EXPECT_EQ(rgb.ColorKey(), RGB(1, 2, 3));
    Canvas c2(2, 1);
    c2.Draw(rgb, RECT{0, 0, 2, 1});
    EXPECT_EQ(c2.At(0, 0), kBackground);
    EXPECT_EQ(c2.At(1, 0), 0xFF090203u);
}

TEST(PngPixels, PaletteTransparencyChoosesKeyOrAlpha) {
    const Bytes palette = {255, 0, 0, 0, 255, 0, 0, 0, 255};
    auto image = [&](const Bytes& trns, const Bytes& rows) {
        return Loaded(
            PngBuilder().Ihdr(3, 1, 8, 3).Chunk("PLTE", palette).Chunk("tRNS", trns).Idat(rows).Iend().Get());
    };
    // One entry fully transparent, the rest opaque: a colour key, the colour of that entry.
    auto keyedOwner = image({255, 0, 255}, {0, 0, 1, 2});
    TPNGObject& keyed = *keyedOwner;
    EXPECT_EQ(keyed.AlphaKind(), pakColorKey);
    EXPECT_EQ(keyed.ColorKey(), RGB(0, 255, 0));
    Canvas stretched(6, 1); // keyed images stretch: each pixel covers two
    stretched.Draw(keyed, RECT{0, 0, 6, 1});
    EXPECT_EQ(stretched.At(1, 0), 0xFFFF0000u);
    EXPECT_EQ(stretched.At(2, 0), kBackground);
    EXPECT_EQ(stretched.At(3, 0), kBackground);
    EXPECT_EQ(stretched.At(5, 0), 0xFF0000FFu);
    // One entry half transparent: blended, never keyed on black.
    auto halfOwner = image({128}, {0, 0, 1, 2});
    TPNGObject& half = *halfOwner;
    EXPECT_EQ(half.AlphaKind(), pakPartial);
    EXPECT_EQ(half.ColorKey(), 0u);
    Canvas canvas(3, 1);
    canvas.Draw(half, RECT{0, 0, 3, 1});
    EXPECT_EQ(canvas.At(0, 0), 0xFF000000u | uint32_t(Blend(255, 128, 0x20)) << 16 |
                                   uint32_t(Blend(0, 128, 0x40)) << 8 | Blend(0, 128, 0x60));
    EXPECT_EQ(canvas.At(1, 0), 0xFF00FF00u);
    EXPECT_EQ(image({128, 64}, {0, 0, 1, 2})->AlphaKind(), pakPartial);

    // An index past the palette draws black with its transparency entry, and reading it raises.
    auto pastOwner = Loaded(PngBuilder()
                                .Ihdr(2, 1, 8, 3)
                                .Chunk("PLTE", palette)
                                .Chunk("tRNS", {0, 128, 255, 0})
                                .Idat({0, 1, 3})
                                .Iend()
                                .Get());
    TPNGObject& past = *pastOwner;
    Canvas c2(2, 1);
    c2.Draw(past, RECT{0, 0, 2, 1});
    EXPECT_EQ(c2.At(1, 0), 0xFF000000u | uint32_t(Blend(0, 0, 0x20)) << 16 |
                               uint32_t(Blend(0, 0, 0x40)) << 8 | Blend(0, 0, 0x60));
    EXPECT_THROW(past.ReadPixel(1, 0), EPngError);

    // Without a palette the image is drawn opaque, without raising.
    auto bareOwner =
        Loaded(PngBuilder().Ihdr(2, 1, 8, 3).Chunk("tRNS", {0, 128}).Idat({0, 0, 1}).Iend().Get());
    TPNGObject& bare = *bareOwner;
    EXPECT_EQ(bare.AlphaKind(), pakPartial);
    Canvas c3(2, 1);
    EXPECT_NO_THROW(c3.Draw(bare, RECT{0, 0, 2, 1}));
    EXPECT_EQ(c3.At(0, 0), 0xFF000000u);
}

TEST(PngPixels, AlphaImagesBlendAtTheirOwnSizeInsideTheRect) {
    // 3 x 3 RGBA: every pixel (200, 100, 0) at alpha 128, except a clear top-left one.
    Bytes rows;
    for (int y = 0; y < 3; ++y) {
        rows.push_back(0);
        for (int x = 0; x < 3; ++x)
            rows.insert(rows.end(), {200, 100, 0, uint8_t(x == 0 && y == 0 ? 0 : 128)});
    }
    auto imageOwner = Loaded(PngBuilder().Ihdr(3, 3, 8, 6).Idat(rows).Iend().Get());
    TPNGObject& image = *imageOwner;
    EXPECT_TRUE(image.Transparent());
    Canvas canvas(6, 6);
    canvas.Draw(image, RECT{1, 1, 3, 6}); // narrower than the image, taller than it
    const uint32_t blended = 0xFF000000u | uint32_t(Blend(200, 128, 0x20)) << 16 |
                             uint32_t(Blend(100, 128, 0x40)) << 8 | Blend(0, 128, 0x60);
    EXPECT_EQ(canvas.At(1, 1), 0xFF000000u | uint32_t(Blend(200, 0, 0x20)) << 16 |
                                   uint32_t(Blend(100, 0, 0x40)) << 8 | Blend(0, 0, 0x60));
    EXPECT_EQ(canvas.At(2, 1), blended);
    EXPECT_EQ(canvas.At(2, 3), blended);
    EXPECT_EQ(canvas.At(3, 1), kBackground); // outside the rect although inside the image
    EXPECT_EQ(canvas.At(1, 4), kBackground); // inside the rect, below the image: not stretched
    // Off the target's edges nothing is written out of bounds.
    Canvas small(2, 2);
    small.Draw(image, RECT{-1, -1, 10, 10});
    EXPECT_EQ(small.At(0, 0), blended);
}

TEST(PngPixels, OpaqueImagesStretchToTheRect) {
    auto imageOwner = Loaded(PngBuilder().Ihdr(2, 1, 8, 2).Idat({0, 255, 0, 0, 0, 0, 255}).Iend().Get());
    TPNGObject& image = *imageOwner;
    EXPECT_EQ(image.AlphaKind(), pakNone);
    Canvas canvas(4, 2);
    canvas.Draw(image, RECT{0, 0, 4, 2});
    EXPECT_EQ(canvas.At(1, 1), 0xFFFF0000u);
    EXPECT_EQ(canvas.At(2, 0), 0xFF0000FFu);
    TPNGObject empty;
    EXPECT_NO_THROW(canvas.Draw(empty, RECT{0, 0, 4, 2}));
    EXPECT_EQ(empty.Width(), 0);
    EXPECT_THROW((void)empty.Transparent(), EPNGHeaderNotPresent);
}

TEST(PngPixels, ReadAndWriteStayInsideTheImageAndThePixel) {
    Bytes row(400 * 3, 7);
    row[300 * 3] = 99;
    auto wideOwner = Loaded(PngBuilder().Ihdr(400, 1, 8, 2).Idat(RepeatRows(row, 1)).Iend().Get());
    TPNGObject& wide = *wideOwner;
    EXPECT_EQ(wide.ReadPixel(300, 0), RGB(99, 7, 7));
    EXPECT_EQ(wide.ReadPixel(-1, 0), 0u);
    EXPECT_EQ(wide.ReadPixel(400, 0), 0u);
    wide.WritePixel(400, 0, RGB(1, 2, 3)); // ignored
    wide.WritePixel(5, 0, RGB(1, 2, 3));
    EXPECT_EQ(wide.ReadPixel(5, 0), RGB(1, 2, 3));
    EXPECT_EQ(wide.ReadPixel(6, 0), RGB(7, 7, 7));

    // 1-bit grey: writing white sets only its own bit.
    auto bitsOwner = Loaded(PngBuilder().Ihdr(8, 1, 1, 0).Idat({0, 0}).Iend().Get());
    TPNGObject& bits = *bitsOwner;
    bits.WritePixel(3, 0, RGB(250, 250, 250));
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(bits.ReadPixel(x, 0), x == 3 ? RGB(255, 255, 255) : 0u) << x;

    // A 2-entry palette in a 4-bit image: the nearest colour is chosen among the entries that exist.
    auto palOwner = Loaded(
        PngBuilder().Ihdr(2, 1, 4, 3).Chunk("PLTE", {250, 250, 250, 200, 0, 0}).Idat({0, 0x10}).Iend().Get());
    TPNGObject& pal = *palOwner;
    pal.WritePixel(0, 0, RGB(0, 0, 0));
    EXPECT_EQ(pal.ReadPixel(0, 0), RGB(200, 0, 0));
    EXPECT_EQ(pal.ReadPixel(1, 0), RGB(250, 250, 250));

    EXPECT_THROW(wide.SetWidth(10), EPngError);
    try {
        TPNGObject().SetHeight(10);
    } catch (const EPngError& e) {
        EXPECT_EQ(e.Message(), png_text::CannotChangeSize);
    }
}

TEST(PngPixels, PaletteColoursCarryGammaOnce) {
    Bytes gamma;
    PutBe32(gamma, 100000);
    auto imageOwner = Loaded(PngBuilder()
                                 .Ihdr(1, 1, 8, 3)
                                 .Chunk("gAMA", gamma)
                                 .Chunk("PLTE", {64, 128, 192})
                                 .Idat({0, 0})
                                 .Iend()
                                 .Get());
    TPNGObject& image = *imageOwner;
    const auto& g = image.GammaLookup();
    EXPECT_EQ(image.ReadPixel(0, 0), RGB(g[64], g[128], g[192]));
    // Saved back through the inverse table: the file's own palette returns.
    TPNGObject copy;
    copy.Assign(&image);
    const Bytes saved = Save(copy);
    const Bytes plte = {'P', 'L', 'T', 'E', 64, 128, 192};
    EXPECT_NE(std::search(saved.begin(), saved.end(), plte.begin(), plte.end()), saved.end());
}

TEST(PngPixels, MakeColorTransparentKeysOneColour) {
    auto imageOwner = Loaded(PngBuilder()
                                 .Ihdr(3, 1, 8, 3)
                                 .Chunk("PLTE", {9, 9, 9, 0, 200, 0, 1, 2, 3})
                                 .Idat({0, 0, 1, 2})
                                 .Iend()
                                 .Get());
    TPNGObject& image = *imageOwner;
    auto trns = std::make_unique<TChunktRNS>(&image);
    trns->MakeColorTransparent(RGB(0, 200, 0));
    EXPECT_EQ(trns->PayloadSize(), 2u);
    EXPECT_EQ(trns->AlphaTable()[0], 255);
    EXPECT_EQ(trns->AlphaTable()[1], 0);
    auto end = image.ChunkItems().Remove(image.ChunkItems().Item(image.ChunkItems().Count() - 1));
    image.ChunkItems().Add(std::move(trns));
    image.ChunkItems().Add(std::move(end));
    EXPECT_EQ(image.AlphaKind(), pakColorKey);
    EXPECT_EQ(image.ColorKey(), RGB(0, 200, 0));
    // Saved and loaded again, the key is the file's.
    TPNGObject again;
    Load(again, Save(image));
    EXPECT_EQ(again.ColorKey(), RGB(0, 200, 0));
}

// The image as a graphic: drawing on bitmap canvases, conversion to and from bitmaps, palettes and the
// picture-format registry.
#include "imaging/png/png_errors.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/palette.h"
#include "platform/graphics/picture.h"
#include "png_builder.h"
#include "png_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>

using namespace png_test;

namespace {

constexpr uint32_t kGround = 0xFF306090u;

std::unique_ptr<TPNGObject> Loaded(const Bytes& bytes) {
    auto image = std::make_unique<TPNGObject>();
    Load(*image, bytes);
    return image;
}

std::unique_ptr<TBitmap> Background(int w, int h) {
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetPixelFormat(pf32bit);
    bitmap->SetSize(w, h);
    for (int y = 0; y < h; ++y)
        std::fill_n(static_cast<uint32_t*>(bitmap->ScanLine(y)), w, kGround);
    return bitmap;
}

uint32_t At(TBitmap& bitmap, int x, int y) {
    return static_cast<uint32_t*>(bitmap.ScanLine(y))[x] & 0xFFFFFFu;
}

// What a pixel shown as 0xAARRGGBB looks like over the ground.
uint32_t OverGround(uint32_t shown) {
    const uint32_t a = shown >> 24;
    uint32_t out = 0;
    for (int s = 0; s <= 16; s += 8) {
        const uint32_t src = (shown >> s) & 0xFF, dst = (kGround >> s) & 0xFF;
        out |= ((src * a + 255 + (255 - a) * dst) >> 8) << s;
    }
    return out;
}

// A 4 x 3 image of every kind of transparency the class draws.
struct Sample {
    const char* name;
    Bytes png;
};

std::vector<Sample> Samples() {
    std::vector<Sample> samples;
    Bytes rgb, rgba, index, grey;
    for (int y = 0; y < 3; ++y) {
        rgb.push_back(0);
        rgba.push_back(0);
        index.push_back(0);
        grey.push_back(0);
        for (int x = 0; x < 4; ++x) {
            rgb.insert(rgb.end(), {uint8_t(x * 60), uint8_t(y * 100), uint8_t(200 - x * 40)});
            rgba.insert(rgba.end(), {uint8_t(x * 60), uint8_t(y * 100), 77, uint8_t((x + 4 * y) * 23)});
            index.push_back(uint8_t((x + y) % 4));
            grey.push_back(uint8_t(x * 80 + y));
        }
    }
    const Bytes palette = {255, 0, 0, 0, 255, 0, 0, 0, 255, 250, 250, 0};
    samples.push_back({"opaque rgb", PngBuilder().Ihdr(4, 3, 8, 2).Idat(rgb).Iend().Get()});
    samples.push_back(
        {"keyed rgb",
         PngBuilder().Ihdr(4, 3, 8, 2).Chunk("tRNS", {0, 60, 0, 100, 0, 160}).Idat(rgb).Iend().Get()});
    samples.push_back(
        {"keyed grey", PngBuilder().Ihdr(4, 3, 8, 0).Chunk("tRNS", {0, 161}).Idat(grey).Iend().Get()});
    samples.push_back({"keyed palette", PngBuilder()
                                            .Ihdr(4, 3, 8, 3)
                                            .Chunk("PLTE", palette)
                                            .Chunk("tRNS", {255, 0})
                                            .Idat(index)
                                            .Iend()
                                            .Get()});
    samples.push_back({"palette alpha", PngBuilder()
                                            .Ihdr(4, 3, 8, 3)
                                            .Chunk("PLTE", palette)
                                            .Chunk("tRNS", {255, 90, 0, 200})
                                            .Idat(index)
                                            .Iend()
                                            .Get()});
    samples.push_back({"rgba", PngBuilder().Ihdr(4, 3, 8, 6).Idat(rgba).Iend().Get()});
    return samples;
}

} // namespace

TEST(PngGraphic, EveryKindDrawsPixelExactOverTheBackground) {
    for (const Sample& sample : Samples()) {
        SCOPED_TRACE(sample.name);
        auto image = Loaded(sample.png);
        const bool stretches = image->AlphaKind() != pakPartial;
        // At its own size, one pixel in from the corner.
        auto same = Background(6, 5);
        same->Canvas().Draw(1, 1, image.get());
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 6; ++x) {
                const bool inside = x >= 1 && x < 5 && y >= 1 && y < 4;
                const uint32_t want =
                    inside ? OverGround(ShownPixel(*image, x - 1, y - 1)) : kGround & 0xFFFFFF;
                EXPECT_EQ(At(*same, x, y), want) << x << "," << y;
            }
        // Into a rectangle twice the size: opaque and keyed images stretch, alpha images keep their size.
        auto twice = Background(8, 6);
        twice->Canvas().StretchDraw(Rect(0, 0, 8, 6), image.get());
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 8; ++x) {
                uint32_t want = kGround & 0xFFFFFF;
                if (stretches)
                    want = OverGround(ShownPixel(*image, x / 2, y / 2));
                else if (x < 4 && y < 3)
                    want = OverGround(ShownPixel(*image, x, y));
                EXPECT_EQ(At(*twice, x, y), want) << x << "," << y;
            }
        // A rectangle smaller than the image: nothing is drawn outside it.
        auto clipped = Background(6, 5);
        clipped->Canvas().StretchDraw(Rect(1, 1, 3, 3), image.get());
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 6; ++x)
                if (x < 1 || x >= 3 || y < 1 || y >= 3) {
                    EXPECT_EQ(At(*clipped, x, y), kGround & 0xFFFFFF) << x << "," << y;
                }
        if (!stretches) {
            EXPECT_EQ(At(*clipped, 2, 2), OverGround(ShownPixel(*image, 1, 1)));
        }
        // Off the canvas's edges nothing is written out of bounds.
        auto edge = Background(2, 2);
        edge->Canvas().StretchDraw(Rect(-3, -2, 9, 9), image.get());
    }
}

TEST(PngGraphic, ColourKeyTakesTheStoredIndexNotItsColour) {
    // Entries 0 and 1 are the same green; only entry 1 is transparent.
    auto image = Loaded(PngBuilder()
                            .Ihdr(2, 1, 8, 3)
                            .Chunk("PLTE", {0, 200, 0, 0, 200, 0})
                            .Chunk("tRNS", {255, 0})
                            .Idat({0, 0, 1})
                            .Iend()
                            .Get());
    ASSERT_EQ(image->AlphaKind(), pakColorKey);
    auto target = Background(2, 1);
    target->Canvas().Draw(0, 0, image.get());
    EXPECT_EQ(At(*target, 0, 0), 0x00C800u);
    EXPECT_EQ(At(*target, 1, 0), kGround & 0xFFFFFF);
}

TEST(PngGraphic, AssignsToBitmapsByBitCount) {
    Bytes rgba = {0, 10, 20, 30, 0, 40, 50, 60, 128};
    auto alpha = Loaded(PngBuilder().Ihdr(2, 1, 8, 6).Idat(rgba).Iend().Get());
    TBitmap fromAlpha;
    alpha->AssignTo(&fromAlpha);
    EXPECT_EQ(fromAlpha.PixelFormat(), pf24bit);
    EXPECT_FALSE(fromAlpha.Transparent());
    EXPECT_EQ(fromAlpha.Canvas().Pixel(0, 0), TColor(RGB(10, 20, 30))); // alpha is not carried
    EXPECT_EQ(fromAlpha.Canvas().Pixel(1, 0), TColor(RGB(40, 50, 60)));

    auto indexed = Loaded(PngBuilder()
                              .Ihdr(3, 2, 8, 3)
                              .Chunk("PLTE", {1, 2, 3, 40, 50, 60, 200, 100, 0})
                              .Chunk("tRNS", {255, 0})
                              .Idat({0, 0, 1, 2, 0, 2, 1, 0})
                              .Iend()
                              .Get());
    TBitmap fromIndexed;
    fromIndexed.Assign(indexed.get()); // the bitmap asks the image to copy itself, keeping the palette
    EXPECT_EQ(fromIndexed.PixelFormat(), pf8bit);
    ASSERT_GE(fromIndexed.ColorTable().size(), 3u);
    EXPECT_EQ(fromIndexed.ColorTable()[2].rgbRed, 200);
    EXPECT_EQ(static_cast<uint8_t*>(fromIndexed.ScanLine(1))[0], 2);
    EXPECT_EQ(fromIndexed.Canvas().Pixel(1, 0), TColor(RGB(40, 50, 60)));
    EXPECT_TRUE(fromIndexed.Transparent());
    EXPECT_EQ(fromIndexed.TransparentColor(), TColor(RGB(40, 50, 60)));

    auto mono = Loaded(PngBuilder().Ihdr(9, 1, 1, 0).Idat({0, 0xA5, 0x80}).Iend().Get());
    TBitmap fromMono;
    mono->AssignTo(&fromMono);
    EXPECT_EQ(fromMono.PixelFormat(), pf1bit);
    for (int x = 0; x < 9; ++x)
        EXPECT_EQ(fromMono.Canvas().Pixel(x, 0), TColor(mono->ReadPixel(x, 0))) << x;

    auto nibbles = Loaded(PngBuilder().Ihdr(3, 1, 2, 0).Idat({0, 0x6C}).Iend().Get());
    TBitmap fromNibbles;
    nibbles->AssignTo(&fromNibbles);
    EXPECT_EQ(fromNibbles.PixelFormat(), pf4bit);
    EXPECT_EQ(fromNibbles.Canvas().Pixel(1, 0), TColor(RGB(170, 170, 170)));

    // An empty image cannot be a bitmap.
    TPNGObject empty;
    TBitmap target;
    EXPECT_THROW(empty.AssignTo(&target), EConvertError);
}

TEST(PngGraphic, TakesBitmapsOfEveryDepthAndSavesThem) {
    // 32 bits with alpha bytes: the colours come over as RGB, opaque.
    TBitmap deep;
    deep.SetPixelFormat(pf32bit);
    deep.SetSize(3, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            static_cast<uint32_t*>(deep.ScanLine(y))[x] =
                uint32_t(x * 40) << 24 | uint32_t(x * 80) << 16 | uint32_t(y * 90) << 8 | 33;
    TPNGObject fromDeep;
    fromDeep.Assign(&deep);
    EXPECT_EQ(fromDeep.RequireHeader().ColorType(), 2);
    EXPECT_EQ(fromDeep.AlphaKind(), pakNone);
    TPNGObject reloaded;
    Load(reloaded, Save(fromDeep));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(reloaded.ReadPixel(x, y), RGB(uint8_t(x * 80), uint8_t(y * 90), 33)) << x << "," << y;

    // 24 bits with a fixed transparent colour: keyed on it.
    TBitmap keyed;
    keyed.SetPixelFormat(pf24bit);
    keyed.SetSize(2, 1);
    keyed.Canvas().SetPixel(0, 0, TColor(RGB(9, 8, 7)));
    keyed.Canvas().SetPixel(1, 0, TColor(RGB(1, 2, 3)));
    keyed.SetTransparentColor(TColor(RGB(1, 2, 3)));
    keyed.SetTransparent(true);
    TPNGObject fromKeyed;
    fromKeyed.Assign(&keyed);
    EXPECT_EQ(fromKeyed.AlphaKind(), pakColorKey);
    EXPECT_EQ(fromKeyed.ColorKey(), RGB(1, 2, 3));
    auto shown = Background(2, 1);
    shown->Canvas().Draw(0, 0, &fromKeyed);
    EXPECT_EQ(At(*shown, 0, 0), 0x090807u);
    EXPECT_EQ(At(*shown, 1, 0), kGround & 0xFFFFFF);

    // 8 bits: the colour table and the indices, through a saved file.
    TBitmap indexed;
    indexed.SetPixelFormat(pf8bit);
    indexed.SetSize(4, 1);
    std::vector<RGBQUAD> table(256);
    for (int i = 0; i < 256; ++i)
        table[size_t(i)] = RGBQUAD{uint8_t(i), uint8_t(255 - i), uint8_t(i / 2), 0};
    indexed.SetColorTable(table);
    const uint8_t indices[4] = {0, 7, 200, 255};
    std::copy_n(indices, 4, static_cast<uint8_t*>(indexed.ScanLine(0)));
    TPNGObject fromIndexed;
    fromIndexed.Assign(&indexed);
    EXPECT_EQ(fromIndexed.RequireHeader().ColorType(), 3);
    TPNGObject again;
    Load(again, Save(fromIndexed));
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(again.ReadPixel(x, 0), RGB(uint8_t(indices[x] / 2), uint8_t(255 - indices[x]), indices[x]))
            << x;

    // A transparent colour that the table lacks keys nothing (entry 0 stays opaque).
    indexed.SetTransparentColor(TColor(RGB(1, 1, 1)));
    indexed.SetTransparent(true);
    TPNGObject absentKey;
    absentKey.Assign(&indexed);
    EXPECT_EQ(absentKey.AlphaKind(), pakNone);
    indexed.SetTransparentColor(TColor(RGB(3, 248, 7)));
    absentKey.Assign(&indexed);
    EXPECT_EQ(absentKey.AlphaKind(), pakColorKey);
    EXPECT_EQ(absentKey.ColorKey(), RGB(3, 248, 7));
    indexed.SetTransparent(false);

    // A handle of the caller's stays the caller's.
    TPNGObject fromHandle;
    fromHandle.CopyFromBitmapHandle(indexed.Handle(), false, 0);
    EXPECT_EQ(fromHandle.ReadPixel(2, 0), again.ReadPixel(2, 0));
    EXPECT_EQ(indexed.Width(), 4);

    TBitmap none;
    TPNGObject fromNone;
    fromNone.Assign(&deep);
    fromNone.Assign(&none);
    EXPECT_TRUE(fromNone.Empty());
    TPicture picture;
    EXPECT_THROW(fromNone.Assign(&picture), EConvertError);
}

TEST(PngGraphic, PaletteFollowsTheColourTable) {
    auto grey = Loaded(PngBuilder().Ihdr(2, 1, 8, 0).Idat({0, 10, 20}).Iend().Get());
    HPALETTE palette = grey->Palette();
    ASSERT_NE(palette, nullptr);
    EXPECT_EQ(grey->Palette(), palette); // kept
    std::vector<PALETTEENTRY> entries = PaletteEntries(palette);
    ASSERT_EQ(entries.size(), 256u);
    EXPECT_EQ(entries[200].peGreen, 200);

    std::vector<PALETTEENTRY> mine(256);
    for (size_t i = 0; i < 256; ++i)
        mine[i] = PALETTEENTRY{uint8_t(i), 0, 99, 0};
    HPALETTE replacement = CreatePalette(mine.data(), 256);
    grey->SetPalette(replacement);
    DeletePalette(replacement);
    auto shown = Background(2, 1);
    shown->Canvas().Draw(0, 0, grey.get());
    EXPECT_EQ(At(*shown, 1, 0), 0x140063u);
    EXPECT_EQ(PaletteEntries(grey->Palette())[20].peBlue, 99);

    // Reloading rebuilds the pixels and with them the palette.
    Load(*grey, PngBuilder().Ihdr(1, 1, 8, 0).Idat({0, 5}).Iend().Get());
    EXPECT_EQ(PaletteEntries(grey->Palette())[20].peBlue, 20);

    auto rgb = Loaded(PngBuilder().Ihdr(1, 1, 8, 2).Idat({0, 1, 2, 3}).Iend().Get());
    EXPECT_EQ(rgb->Palette(), nullptr);
    EXPECT_EQ(TPNGObject().Palette(), nullptr);
}

TEST(PngGraphic, PicturesChooseTheClassByExtension) {
    const auto dir = std::filesystem::temp_directory_path() / ("png_graphic_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    auto image = Loaded(PngBuilder().Ihdr(5, 3, 8, 2).Idat(RepeatRows(Bytes(15, 44), 3)).Iend().Get());
    image->SaveToFile((dir / "x.png").string());
    image->SaveToFile((dir / "UPPER.PNG").string());
    for (const char* name : {"x.png", "UPPER.PNG"}) {
        TPicture picture;
        picture.LoadFromFile((dir / name).string());
        auto* loaded = dynamic_cast<TPNGObject*>(picture.Graphic());
        ASSERT_NE(loaded, nullptr) << name;
        EXPECT_EQ(picture.Width(), 5);
        EXPECT_EQ(loaded->ReadPixel(4, 2), RGB(44, 44, 44));
    }
    // A picture keeps its own copy of an assigned image.
    TPicture held;
    held.SetGraphic(image.get());
    ASSERT_NE(held.Graphic(), image.get());
    EXPECT_EQ(dynamic_cast<TPNGObject&>(*held.Graphic()).ReadPixel(0, 0), RGB(44, 44, 44));
    EXPECT_NE(TPicture::GraphicFilter().find("Portable Network Graphics (*.png)"), std::string::npos);
    // A broken file raises the class's own exception.
    TPicture broken;
    {
        TMemoryStream bad;
        bad.WriteBuffer("not a png", 9);
        bad.SaveToFile((dir / "bad.png").string());
    }
    EXPECT_THROW(broken.LoadFromFile((dir / "bad.png").string()), EPNGInvalidFileHeader);
    std::filesystem::remove_all(dir);
}

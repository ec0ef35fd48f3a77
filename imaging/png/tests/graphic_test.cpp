// The image as a graphic: drawing every kind of transparency on bitmap canvases, pixel access, conversion
// to and from bitmaps, palettes and the picture-format registry.
#include "imaging/png/chunk_misc.h"
#include "imaging/png/png_errors.h"
#include "platform/gdi/clipboard_formats.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/palettes.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/graphics_errors.h"
#include "platform/graphics/picture.h"
#include "png_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

using namespace png_test;

namespace {

constexpr uint32_t kGround = 0x306090u;

// A 32-bit bitmap filled with the ground colour.
struct Canvas {
    TBitmap bitmap;
    Canvas(int w, int h) {
        bitmap.SetPixelFormat(pf32bit);
        bitmap.SetSize(w, h);
        for (int y = 0; y < h; ++y)
            std::fill_n(static_cast<uint32_t*>(bitmap.ScanLine(y)), w, 0xFF000000u | kGround);
    }
    TCanvas& Draw() { return bitmap.Canvas(); }
    uint32_t At(int x, int y) { return static_cast<uint32_t*>(bitmap.ScanLine(y))[x] & 0xFFFFFFu; }
};

struct Sample {
    std::string name;
    Bytes png;
};

// Every test-suite image, and the keys the suite leaves out: 16-bit keys whose two bytes differ, a 2-bit
// key that is not 0, two palette entries of one colour of which only one is transparent, and an index past
// the palette (black, with its transparency entry).
std::vector<Sample> Samples() {
    const Bytes palette = {255, 0, 0, 0, 255, 0, 0, 0, 255};
    std::vector<Sample> samples = {
        {"grey 16 key", MakePng(2, 1, 16, 0, {0, 0x12, 0x34, 0x56, 0}, {{"tRNS", {0x12, 0x34}}})},
        {"rgb 16 key",
         MakePng(2, 1, 16, 2, {0, 1, 0, 2, 0, 3, 0, 9, 0, 2, 0, 3, 0}, {{"tRNS", {1, 0, 2, 0, 3, 0}}})},
        {"grey 2 key", MakePng(4, 1, 2, 0, {0, 0x1B}, {{"tRNS", {0, 2}}})},
        {"key by index",
         MakePng(2, 1, 8, 3, {0, 0, 1}, {{"PLTE", {0, 200, 0, 0, 200, 0}}, {"tRNS", {255, 0}}})},
        {"past the palette",
         MakePng(2, 1, 8, 3, {0, 1, 3}, {{"PLTE", palette}, {"tRNS", {0, 128, 255, 200}}})},
    };
    for (const auto& entry :
         std::filesystem::directory_iterator(std::filesystem::path(PW_TEST_DATA_DIR) / "data/pngsuite"))
        samples.push_back({entry.path().filename().string(), ReadFile(entry.path())});
    return samples;
}

} // namespace

TEST(PngGraphic, EveryKindDrawsPixelExactOverTheBackground) {
    for (const Sample& sample : Samples()) {
        SCOPED_TRACE(sample.name);
        auto image = Loaded(sample.png);
        const int w = image->Width(), h = image->Height();
        const bool stretches = image->AlphaKind() != pakPartial;
        const auto shown = [&](int x, int y) {
            return Over(ShownPixel(*image, uint32_t(x), uint32_t(y)), kGround);
        };
        // At its own size one pixel in from the corner; into a rectangle twice the size (opaque and keyed
        // images stretch, alpha images keep their size); into a rectangle smaller than the image, where
        // nothing is drawn outside it.
        Canvas same(w + 2, h + 2), twice(2 * w, 2 * h), clipped(w + 2, h + 2);
        same.Draw().Draw(1, 1, image.get());
        twice.Draw().StretchDraw(Rect(0, 0, 2 * w, 2 * h), image.get());
        const TRect clip = Rect(1, 1, 1 + (w + 1) / 2, 1 + (h + 1) / 2);
        clipped.Draw().StretchDraw(clip, image.get());
        int failures = 0;
        const auto expect = [&](const char* what, int x, int y, uint32_t got, uint32_t want) {
            if (got != want && failures++ < 5)
                ADD_FAILURE() << what << " " << x << "," << y << std::hex << ": " << got << " vs " << want;
        };
        for (int y = 0; y < 2 * h; ++y)
            for (int x = 0; x < 2 * w; ++x) {
                const bool inImage = x < w && y < h;
                expect("twice", x, y, twice.At(x, y),
                       stretches ? shown(x / 2, y / 2)
                       : inImage ? shown(x, y)
                                 : kGround);
                if (x >= w + 2 || y >= h + 2) continue;
                const bool inside = x >= 1 && x <= w && y >= 1 && y <= h;
                expect("same", x, y, same.At(x, y), inside ? shown(x - 1, y - 1) : kGround);
                if (x < clip.left || x >= clip.right || y < clip.top || y >= clip.bottom)
                    expect("clipped", x, y, clipped.At(x, y), kGround);
                else if (!stretches)
                    expect("clipped", x, y, clipped.At(x, y), shown(x - 1, y - 1));
            }
        // Off the canvas's edges nothing is written out of bounds.
        Canvas edge(2, 2);
        edge.Draw().StretchDraw(Rect(-3, -2, w + 5, h + 5), image.get());
    }
}

TEST(PngGraphic, TransparencyKindAndKeyColour) {
    const Bytes palette = {255, 0, 0, 0, 255, 0, 0, 0, 255};
    auto indexed = [&](const Bytes& trns) {
        return Loaded(MakePng(3, 1, 8, 3, {0, 0, 1, 2}, {{"PLTE", palette}, {"tRNS", trns}}));
    };
    // One entry fully transparent, the rest opaque: a colour key, the colour of that entry. One entry half
    // transparent: blended, never keyed on black.
    EXPECT_EQ(indexed({255, 0, 255})->AlphaKind(), pakColorKey);
    EXPECT_EQ(indexed({255, 0, 255})->ColorKey(), RGB(0, 255, 0));
    EXPECT_EQ(indexed({128})->AlphaKind(), pakPartial);
    EXPECT_EQ(indexed({128})->ColorKey(), 0u);
    EXPECT_EQ(indexed({128, 64})->AlphaKind(), pakPartial);
    // Keys of 16-bit samples are their high bytes; a 2-bit key is held at the 4-bit level it names.
    EXPECT_EQ(Loaded(Samples()[0].png)->ColorKey(), RGB(0x12, 0x12, 0x12));
    EXPECT_EQ(Loaded(Samples()[1].png)->ColorKey(), RGB(1, 2, 3));
    EXPECT_EQ(Loaded(Samples()[2].png)->ColorKey(), RGB(170, 170, 170));
    // A transparency chunk too short to name a colour gives no colour key.
    for (uint8_t type : {0, 2}) {
        auto image = Loaded(
            MakePng(1, 1, 8, type, Bytes(type == 0 ? 2 : 4, 0), {{"tRNS", Bytes(type == 0 ? 1 : 5, 0)}}));
        EXPECT_EQ(image->AlphaKind(), pakNone) << int(type);
        EXPECT_EQ(image->ColorKey(), 0u);
    }

    // Without a palette the image is drawn opaque, without raising.
    auto bare = Loaded(MakePng(2, 1, 8, 3, {0, 0, 1}, {{"tRNS", {0, 128}}}));
    EXPECT_EQ(bare->AlphaKind(), pakPartial);
    Canvas canvas(2, 1);
    EXPECT_NO_THROW(canvas.Draw().StretchDraw(Rect(0, 0, 2, 1), bare.get()));
    EXPECT_EQ(canvas.At(0, 0), 0u);
    TPNGObject empty;
    EXPECT_NO_THROW(canvas.Draw().StretchDraw(Rect(0, 0, 2, 1), &empty));
    EXPECT_THROW((void)empty.Transparent(), EPNGHeaderNotPresent);

    // A key made from a colour, saved and loaded again.
    auto image = Loaded(MakePng(3, 1, 8, 3, {0, 0, 1, 2}, {{"PLTE", palette}}));
    auto trns = std::make_unique<TChunktRNS>(image.get());
    trns->MakeColorTransparent(RGB(0, 255, 0));
    EXPECT_EQ(trns->PayloadSize(), 2u);
    auto end = image->ChunkItems().Remove(image->ChunkItems().ItemFromClass<TChunkIEND>());
    image->ChunkItems().Add(std::move(trns));
    image->ChunkItems().Add(std::move(end));
    EXPECT_EQ(image->AlphaKind(), pakColorKey);
    EXPECT_EQ(Loaded(Save(*image))->ColorKey(), RGB(0, 255, 0));
}

TEST(PngGraphic, ReadAndWriteStayInsideTheImageAndThePixel) {
    Bytes row(400 * 3, 7);
    row[300 * 3] = 99;
    auto wide = Loaded(MakePng(400, 1, 8, 2, RepeatRows(row, 1)));
    EXPECT_EQ(wide->ReadPixel(300, 0), RGB(99, 7, 7));
    EXPECT_EQ(wide->ReadPixel(-1, 0), 0u);
    EXPECT_EQ(wide->ReadPixel(400, 0), 0u);
    wide->WritePixel(400, 0, RGB(1, 2, 3)); // ignored
    wide->WritePixel(5, 0, RGB(1, 2, 3));
    EXPECT_EQ(wide->ReadPixel(5, 0), RGB(1, 2, 3));
    EXPECT_EQ(wide->ReadPixel(6, 0), RGB(7, 7, 7));

    // Just past the end of a middle row lies the first pixel of a neighbouring row.
    auto tall = Loaded(MakePng(400, 3, 8, 2, RepeatRows(Bytes(400 * 3, 7), 3)));
    EXPECT_EQ(tall->ReadPixel(400, 1), 0u);
    tall->WritePixel(400, 1, RGB(1, 2, 3)); // ignored
    for (int y : {0, 2}) {
        EXPECT_EQ(tall->ReadPixel(0, y), RGB(7, 7, 7)) << y;
        EXPECT_EQ(tall->ReadPixel(399, y), RGB(7, 7, 7)) << y;
    }

    // 1-bit grey: writing white sets only its own bit.
    auto bits = Loaded(MakePng(8, 1, 1, 0, {0, 0}));
    bits->WritePixel(3, 0, RGB(250, 250, 250));
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(bits->ReadPixel(x, 0), x == 3 ? RGB(255, 255, 255) : 0u) << x;

    // A 2-entry palette in a 4-bit image: the nearest colour is chosen among the entries that exist.
    auto pal = Loaded(MakePng(2, 1, 4, 3, {0, 0x10}, {{"PLTE", {250, 250, 250, 200, 0, 0}}}));
    pal->WritePixel(0, 0, RGB(0, 0, 0));
    EXPECT_EQ(pal->ReadPixel(0, 0), RGB(200, 0, 0));
    EXPECT_EQ(pal->ReadPixel(1, 0), RGB(250, 250, 250));

    EXPECT_THROW(wide->SetWidth(10), EPngError);
    EXPECT_EQ(ThrownMessage<EPngError>([] { TPNGObject().SetHeight(10); }), png_text::CannotChangeSize);
}

TEST(PngGraphic, PaletteColoursCarryGammaOnce) {
    auto image = Loaded(MakePng(1, 1, 8, 3, {0, 0}, {{"gAMA", Be32(100000)}, {"PLTE", {64, 128, 192}}}));
    const auto& g = image->GammaLookup();
    EXPECT_EQ(image->ReadPixel(0, 0), RGB(g[64], g[128], g[192]));
    // Saved back through the inverse table: the file's own palette returns.
    TPNGObject copy;
    copy.Assign(image.get());
    const Bytes saved = Save(copy);
    const Bytes plte = {'P', 'L', 'T', 'E', 64, 128, 192};
    EXPECT_NE(std::search(saved.begin(), saved.end(), plte.begin(), plte.end()), saved.end());
}

TEST(PngGraphic, BitmapsTakeEveryKindAndGiveItBack) {
    // Each image to a bitmap of its own depth (the bitmap asks the image to copy itself, keeping the palette;
    // alpha is not carried), and the bitmap back to an image, saved and loaded again.
    const std::map<int, TPixelFormat> formats = {{1, pf1bit}, {4, pf4bit}, {8, pf8bit}, {24, pf24bit}};
    for (const Sample& sample : Samples()) {
        SCOPED_TRACE(sample.name);
        auto image = Loaded(sample.png);
        TBitmap bitmap;
        bitmap.Assign(image.get());
        EXPECT_EQ(bitmap.PixelFormat(), formats.at(image->RequireHeader().BitCount()));
        const bool keyed = image->AlphaKind() == pakColorKey;
        EXPECT_EQ(bitmap.Transparent(), keyed);
        TPNGObject fromBitmap;
        fromBitmap.Assign(&bitmap);
        auto back = Loaded(Save(fromBitmap));
        EXPECT_EQ(back->ColorKey(), keyed ? image->ColorKey() : 0u);
        if (keyed) {
            EXPECT_EQ(bitmap.TransparentColor(), TColor(image->ColorKey()));
        }
        int failures = 0;
        for (uint32_t y = 0; y < uint32_t(image->Height()); ++y)
            for (uint32_t x = 0; x < uint32_t(image->Width()); ++x) {
                const uint32_t rgb = ShownPixel(*image, x, y) & 0xFFFFFF;
                const TColor colour = TColor(RGB(rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF));
                if ((bitmap.Canvas().Pixel(int(x), int(y)) != colour ||
                     (ShownPixel(*back, x, y) & 0xFFFFFF) != rgb) &&
                    failures++ < 5)
                    ADD_FAILURE() << x << "," << y;
            }
    }
    TPNGObject empty;
    TBitmap target;
    EXPECT_THROW(empty.AssignTo(&target), EConvertError);
}

TEST(PngGraphic, TakesBitmapsOfEveryDepth) {
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
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(fromDeep.ReadPixel(x, y), RGB(uint8_t(x * 80), uint8_t(y * 90), 33)) << x << "," << y;

    // 8 bits: a transparent colour that the table lacks keys nothing (entry 0 stays opaque).
    TBitmap indexed;
    indexed.SetPixelFormat(pf8bit);
    indexed.SetSize(4, 1);
    std::vector<RGBQUAD> table(256);
    for (int i = 0; i < 256; ++i)
        table[size_t(i)] = RGBQUAD{uint8_t(i), uint8_t(255 - i), uint8_t(i / 2), 0};
    indexed.SetColorTable(table);
    static_cast<uint8_t*>(indexed.ScanLine(0))[2] = 200;
    indexed.SetTransparent(true);
    TPNGObject keyed;
    for (const auto& [key, kind] :
         {std::pair{RGB(1, 1, 1), pakNone}, std::pair{RGB(3, 248, 7), pakColorKey}}) {
        indexed.SetTransparentColor(TColor(key));
        keyed.Assign(&indexed);
        EXPECT_EQ(keyed.AlphaKind(), kind);
    }
    EXPECT_EQ(keyed.ColorKey(), RGB(3, 248, 7));

    // A handle of the caller's stays the caller's.
    TPNGObject fromHandle;
    fromHandle.CopyFromBitmapHandle(indexed.Handle(), false, 0);
    EXPECT_EQ(fromHandle.ReadPixel(2, 0), RGB(100, 55, 200));
    EXPECT_EQ(indexed.Width(), 4);

    TBitmap none;
    fromHandle.Assign(&none);
    EXPECT_TRUE(fromHandle.Empty());
    TPicture picture;
    EXPECT_THROW(fromHandle.Assign(&picture), EConvertError);
}

TEST(PngGraphic, PaletteFollowsTheColourTable) {
    auto grey = Loaded(MakePng(2, 1, 8, 0, {0, 10, 20}));
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
    DeleteObject(replacement);
    Canvas shown(2, 1);
    shown.Draw().Draw(0, 0, grey.get());
    EXPECT_EQ(shown.At(1, 0), 0x140063u);
    EXPECT_EQ(PaletteEntries(grey->Palette())[20].peBlue, 99);

    // Reloading rebuilds the pixels and with them the palette.
    Load(*grey, MakePng(1, 1, 8, 0, {0, 5}));
    EXPECT_EQ(PaletteEntries(grey->Palette())[20].peBlue, 20);

    EXPECT_EQ(Loaded(MakePng(1, 1, 8, 2, {0, 1, 2, 3}))->Palette(), nullptr);
    EXPECT_EQ(TPNGObject().Palette(), nullptr);
}

TEST(PngGraphic, PicturesChooseTheClassByExtension) {
    const auto dir = std::filesystem::temp_directory_path() / ("png_graphic_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    auto image = Loaded(MakePng(5, 3, 8, 2, RepeatRows(Bytes(15, 44), 3)));
    for (const char* name : {"x.png", "UPPER.PNG"}) {
        image->SaveToFile((dir / name).string());
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
    {
        TMemoryStream bad;
        bad.WriteBuffer("not a png", 9);
        bad.SaveToFile((dir / "bad.png").string());
    }
    EXPECT_THROW(held.LoadFromFile((dir / "bad.png").string()), EPNGInvalidFileHeader);
    std::filesystem::remove_all(dir);
}

TEST(PngGraphic, TheClipboardCarriesItAsABitmap) {
    // Opaque: every pixel comes back as it went.
    auto image = png_test::Loaded(
        png_test::MakePng(3, 2, 8, 2, {0, 255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    UINT format = 0;
    HANDLE data = nullptr;
    HPALETTE palette = nullptr;
    image->SaveToClipboardFormat(format, data, palette);
    EXPECT_EQ(format, CF_BITMAP);
    ASSERT_NE(data, nullptr);
    TPNGObject pasted;
    pasted.LoadFromClipboardFormat(format, data, palette);
    ASSERT_EQ(pasted.Width(), 3);
    ASSERT_EQ(pasted.Height(), 2);
    EXPECT_FALSE(pasted.Transparent());
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(pasted.ReadPixel(x, y), image->ReadPixel(x, y)) << x << "," << y;
    DeleteObject(data);

    // With alpha: drawn over the white of a new bitmap.
    auto clear = png_test::Loaded(png_test::MakePng(2, 1, 8, 6, {0, 10, 20, 30, 0, 10, 20, 30, 255}));
    clear->SaveToClipboardFormat(format, data, palette);
    pasted.LoadFromClipboardFormat(format, data, palette);
    EXPECT_EQ(pasted.ReadPixel(0, 0), RGB(255, 255, 255));
    EXPECT_EQ(pasted.ReadPixel(1, 0), RGB(10, 20, 30));
    DeleteObject(data);

    EXPECT_THROW(pasted.LoadFromClipboardFormat(CF_TEXT, nullptr, nullptr), EInvalidGraphic);
    EXPECT_EQ(pasted.ReadPixel(1, 0), RGB(10, 20, 30)) << "a refused paste keeps the image";
}

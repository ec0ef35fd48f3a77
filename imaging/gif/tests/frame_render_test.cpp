// Masks, renderings, placement and the composition of animations.
#include "imaging/gif/dib_writer.h"
#include "imaging/gif/frame_render.h"
#include "imaging/gif/gif_exception.h"
#include "imaging/gif/tests/gif_test_support.h"

#include <gtest/gtest.h>

using namespace gif_test;

namespace {

TGIFSubImage* MakeFrame(TGIFImage& image, int w, int h, const std::vector<COLORREF>& map,
                        const std::vector<uint8_t>& pixels, int transparent) {
    auto frame = std::make_unique<TGIFSubImage>(&image);
    for (COLORREF c : map)
        frame->ColorMap().Add(c);
    frame->SetBounds(0, 0, w, h);
    std::copy(pixels.begin(), pixels.end(), frame->Data());
    if (transparent >= 0) {
        auto gce = std::make_unique<TGIFGraphicControlExtension>(frame.get());
        gce->SetTransparentColorIndex(transparent);
        gce->SetTransparent(true);
        frame->Extensions().Add(std::move(gce));
    }
    TGIFSubImage* raw = frame.get();
    image.Add(std::move(frame));
    return raw;
}

} // namespace

TEST(GifFrameRender, MasksAndColours) {
    TGIFImage image;
    // 17 pixels wide: mask rows of 4 bytes; value 9 lies past the 3-colour table.
    std::vector<uint8_t> pixels(17 * 2, 1);
    pixels[0] = 2;
    pixels[16] = 2;
    pixels[17 + 8] = 2;
    pixels[17 + 9] = 9;
    TGIFSubImage* frame =
        MakeFrame(image, 17, 2, {RGB(1, 2, 3), RGB(40, 50, 60), RGB(255, 255, 255)}, pixels, 2);
    std::vector<uint8_t> mask = gif::BuildMask(*frame);
    ASSERT_EQ(mask.size(), 8u);
    EXPECT_EQ(mask, (std::vector<uint8_t>{0x80, 0, 0x80, 0, 0, 0x80, 0, 0}));

    TArgbImage argb = gif::RenderFrame(*frame, true);
    EXPECT_EQ(argb.Pixel(0, 0), 0u);
    EXPECT_EQ(argb.Pixel(1, 0), 0xFF28323Cu);
    EXPECT_EQ(argb.Pixel(9, 1), 0xFF010203u); // past the table: colour 0
    EXPECT_EQ(gif::RenderFrame(*frame, false).Pixel(0, 0), 0xFFFFFFFFu);

    // A transparent index that no pixel uses gives no mask.
    TGIFSubImage* unused = MakeFrame(image, 2, 1, {RGB(0, 0, 0), RGB(9, 9, 9)}, {0, 0}, 1);
    EXPECT_TRUE(gif::BuildMask(*unused).empty());

    // On the web palette, a white transparent colour stays inside the palette.
    std::vector<uint8_t> webMask;
    TRaster web = gif::RenderWebPalette(*frame, &webMask);
    ASSERT_EQ(web.BitsPerPixel, 8);
    EXPECT_EQ(web.Bits[0], 215);
    EXPECT_EQ(webMask, mask);
    for (uint8_t index : web.Bits)
        EXPECT_LT(index, 216);
    EXPECT_EQ(web.Bits[17 + 9], 0); // colour 0 is black-ish (1, 2, 3)
}

TEST(GifFrameRender, PlacementScalesAndTiles) {
    TGIFImage image;
    image.Header().SetWidth(10);
    image.Header().SetHeight(10);
    TGIFSubImage* frame =
        MakeFrame(image, 4, 2, {RGB(0, 0, 0), RGB(1, 1, 1)}, std::vector<uint8_t>(8, 0), -1);
    frame->SetBounds(5, 2, 4, 2);
    EXPECT_EQ(gif::ScaleRect(*frame, RECT{100, 100, 120, 130}, 10, 10), (RECT{110, 106, 118, 112}));
    std::vector<RECT> cells = gif::TileCells(*frame, RECT{0, 0, 25, 15}, 10, 10);
    ASSERT_EQ(cells.size(), 4u);
    EXPECT_EQ(cells[0], (RECT{5, 2, 9, 4}));
    EXPECT_EQ(cells[1], (RECT{15, 2, 19, 4}));
    EXPECT_EQ(cells[2], (RECT{5, 12, 9, 14}));
    // A logical screen of width 0 is placed once instead of tiled for ever.
    EXPECT_EQ(gif::TileCells(*frame, RECT{0, 0, 25, 15}, 0, 10).size(), 1u);
    EXPECT_EQ(gif::ScaleRect(*frame, RECT{0, 0, 25, 15}, 0, 0), (RECT{0, 0, 25, 15}));
}

TEST(GifFrameRender, AnimationsComposeLikeImageMagick) {
    if (!HaveImageMagick()) GTEST_SKIP() << "ImageMagick not installed";
    int compared = 0;
    for (const char* name :
         {"anim_background.gif", "anim_previous.gif", "anim_optimized.gif", "anim_local_maps.gif"}) {
        std::vector<uint8_t> bytes = ReadFile(std::string(PW_TEST_DATA_DIR) + "/data/" + name);
        std::vector<std::vector<uint8_t>> coalesced = ImageMagickFrames(bytes, ".gif", "-coalesce", "rgba");
        TGIFImage image;
        Load(image, bytes);
        gif::TGIFCompositor compositor(image);
        for (int index = 0; compositor.Next(); ++index) {
            ASSERT_LT(static_cast<size_t>(index), coalesced.size()) << name;
            const std::vector<uint8_t>& rgba = coalesced[index];
            const TArgbImage& shown = compositor.Display();
            ASSERT_EQ(rgba.size(), shown.Pixels.size() * 4) << name << " " << index;
            for (size_t i = 0; i < shown.Pixels.size(); ++i) {
                const uint32_t p = shown.Pixels[i];
                SCOPED_TRACE(std::string(name) + " frame " + std::to_string(index) + " pixel " +
                             std::to_string(i));
                ASSERT_EQ(rgba[i * 4 + 3] != 0, (p >> 24) != 0);
                if (p >> 24) {
                    ASSERT_EQ(rgba[i * 4], (p >> 16) & 0xFF);
                    ASSERT_EQ(rgba[i * 4 + 1], (p >> 8) & 0xFF);
                    ASSERT_EQ(rgba[i * 4 + 2], p & 0xFF);
                }
            }
            ++compared;
        }
    }
    EXPECT_GE(compared, 10);
}

TEST(GifFrameRender, BitmapFilesReadBackInImageMagick) {
    EXPECT_EQ(gif::BytesPerScanLine(17, 8, 32), 20);
    EXPECT_EQ(gif::BytesPerScanLine(17, 24, 32), 52);
    EXPECT_EQ(gif::BytesPerScanLine(17, 1, 16), 4);
    TRaster empty;
    empty.BitsPerPixel = 8;
    EXPECT_THROW(gif::ComposeBitmapFile(empty), GIFException);
    empty.BitsPerPixel = 4;
    empty.Width = empty.Height = 1;
    EXPECT_THROW(gif::ComposeBitmapFile(empty), GIFException);
    if (!HaveImageMagick()) GTEST_SKIP() << "ImageMagick not installed";
    TGIFImage image;
    image.LoadFromFile(std::string(PW_TEST_DATA_DIR) + "/data/plasma_200.gif");
    TGIFSubImage& frame = *image.Images()[0];
    TRaster indexed;
    indexed.Width = frame.Width();
    indexed.Height = frame.Height();
    indexed.BitsPerPixel = 8;
    indexed.Bits.assign(frame.Data(), frame.Data() + frame.DataSize());
    for (int i = 0; i < frame.ActiveColorMap().Count(); ++i) {
        TGIFRGB c = frame.ColorOf(i);
        indexed.Palette.push_back(RGB(c.Red, c.Green, c.Blue));
    }
    for (const TRaster& picture : {indexed, gif::RenderWebPalette(frame, nullptr), ToRaster24(indexed)}) {
        std::vector<std::vector<uint8_t>> rgb =
            ImageMagickFrames(gif::ComposeBitmapFile(picture), ".bmp", "", "rgb");
        ASSERT_EQ(rgb.size(), 1u);
        TRaster expected = ToRaster24(picture);
        ASSERT_EQ(rgb[0].size(), expected.Bits.size());
        for (size_t i = 0; i < expected.Bits.size(); i += 3) {
            ASSERT_EQ(rgb[0][i], expected.Bits[i + 2]) << i;
            ASSERT_EQ(rgb[0][i + 1], expected.Bits[i + 1]) << i;
            ASSERT_EQ(rgb[0][i + 2], expected.Bits[i]) << i;
        }
    }
}

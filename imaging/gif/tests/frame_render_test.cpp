// Masks, renderings, placement and the composition of animations.
#include "imaging/gif/dib_writer.h"
#include "imaging/gif/frame_render.h"
#include "imaging/gif/tests/gif_test_support.h"

#include <gtest/gtest.h>

using namespace gif_test;

TEST(GifFrameRender, MasksAndColours) {
    TGIFImage image;
    // 17 pixels wide: mask rows of 4 bytes; value 9 lies past the 3-colour table.
    Bytes pixels(17 * 2, 1);
    pixels[0] = pixels[16] = pixels[17 + 8] = 2;
    pixels[17 + 9] = 9;
    TGIFSubImage* frame =
        AddFrame(image, 0, 0, 17, 2, {RGB(1, 2, 3), RGB(40, 50, 60), RGB(255, 255, 255)}, pixels, 2);
    const Bytes mask = gif::BuildMask(*frame);
    EXPECT_EQ(mask, (Bytes{0x80, 0, 0x80, 0, 0, 0x80, 0, 0}));
    const TArgbImage argb = gif::RenderFrame(*frame, true);
    EXPECT_EQ(argb.Pixel(0, 0), 0u);
    EXPECT_EQ(argb.Pixel(1, 0), 0xFF28323Cu);
    EXPECT_EQ(argb.Pixel(9, 1), 0xFF010203u); // past the table: colour 0
    EXPECT_EQ(gif::RenderFrame(*frame, false).Pixel(0, 0), 0xFFFFFFFFu);
    // A transparent index that no pixel uses gives no mask.
    EXPECT_TRUE(
        gif::BuildMask(*AddFrame(image, 0, 0, 2, 1, {RGB(0, 0, 0), RGB(9, 9, 9)}, {0, 0}, 1)).empty());

    // On the web palette, a white transparent colour stays inside the palette.
    Bytes webMask;
    const TRaster web = gif::RenderWebPalette(*frame, &webMask);
    ASSERT_EQ(web.BitsPerPixel, 8);
    EXPECT_EQ(web.Bits[0], 215);
    EXPECT_EQ(web.Bits[17 + 9], 0); // colour 0 is black-ish (1, 2, 3)
    EXPECT_LT(*std::max_element(web.Bits.begin(), web.Bits.end()), 216);
    EXPECT_EQ(webMask, mask);
}

TEST(GifFrameRender, PlacementScalesAndTiles) {
    TGIFImage image;
    image.Header().SetWidth(10);
    image.Header().SetHeight(10);
    TGIFSubImage* frame = AddFrame(image, 5, 2, 4, 2, {RGB(0, 0, 0), RGB(1, 1, 1)}, Bytes(8, 0));
    EXPECT_EQ(gif::ScaleRect(*frame, RECT{100, 100, 120, 130}, 10, 10), (RECT{110, 106, 118, 112}));
    const std::vector<RECT> cells = gif::TileCells(*frame, RECT{0, 0, 25, 15}, 10, 10);
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
        const Bytes bytes = ReadFile(DataFile(name));
        const std::vector<Bytes> coalesced = ImageMagickFrames(bytes, ".gif", "-coalesce", "rgba");
        TGIFImage image;
        Load(image, bytes);
        gif::TGIFCompositor compositor(image);
        for (size_t index = 0; compositor.Next(); ++index, ++compared) {
            ASSERT_LT(index, coalesced.size()) << name;
            const std::vector<uint32_t>& shown = compositor.Display().Pixels;
            ASSERT_EQ(coalesced[index].size(), shown.size() * 4) << name;
            for (size_t i = 0; i < shown.size(); ++i) {
                // Where ImageMagick shows a pixel, the same colour; where it shows none, none.
                const uint8_t* im = &coalesced[index][i * 4];
                const uint32_t want = im[3] ? 0xFF000000u | im[0] << 16 | im[1] << 8 | im[2] : 0;
                ASSERT_EQ(shown[i] >> 24 ? 0xFF000000u | shown[i] : 0, want)
                    << name << " frame " << index << " pixel " << i;
            }
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
    image.LoadFromFile(DataFile("plasma_200.gif"));
    TGIFSubImage& frame = *image.Images()[0];
    TRaster indexed;
    indexed.Width = frame.Width();
    indexed.Height = frame.Height();
    indexed.BitsPerPixel = 8;
    indexed.Bits = Pixels(frame);
    for (int i = 0; i < frame.ActiveColorMap().Count(); ++i) {
        const TGIFRGB c = frame.ColorOf(i);
        indexed.Palette.push_back(RGB(c.Red, c.Green, c.Blue));
    }
    for (const TRaster& picture : {indexed, gif::RenderWebPalette(frame, nullptr), ToRaster24(indexed)}) {
        const std::vector<Bytes> rgb = ImageMagickFrames(gif::ComposeBitmapFile(picture), ".bmp", "", "rgb");
        ASSERT_EQ(rgb.size(), 1u);
        Bytes expected = ToRaster24(picture).Bits; // blue, green, red
        for (size_t i = 0; i < expected.size(); i += 3)
            std::swap(expected[i], expected[i + 2]);
        EXPECT_EQ(rgb[0], expected) << picture.BitsPerPixel;
    }
}

#include "tools/smimages/pixel_art.h"

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <string>

// The shipped images, read back by the reference GIF library, hold exactly the drawn pixels.
TEST(SiteMapImages, ReferenceDecoderReadsTheDrawnPixels) {
    for (const auto& picture : smimages::kPictures) {
        const std::string path = std::string(PW_PROGRAM_DIR) + "smimages/" + picture.FileName;
        int error = 0;
        GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
        ASSERT_NE(gif, nullptr) << path << ": " << GifErrorString(error);
        ASSERT_EQ(DGifSlurp(gif), GIF_OK) << path << ": " << GifErrorString(gif->Error);
        EXPECT_EQ(gif->SWidth, smimages::kSize);
        EXPECT_EQ(gif->SHeight, smimages::kSize);
        ASSERT_EQ(gif->ImageCount, 1);
        GraphicsControlBlock control;
        ASSERT_EQ(DGifSavedExtensionToGCB(gif, 0, &control), GIF_OK);
        EXPECT_EQ(control.TransparentColor, 0);
        const SavedImage& image = gif->SavedImages[0];
        ASSERT_EQ(image.ImageDesc.Width, smimages::kSize);
        const ColorMapObject* map = gif->SColorMap;
        ASSERT_NE(map, nullptr);
        for (int y = 0; y < smimages::kSize; ++y) {
            for (int x = 0; x < smimages::kSize; ++x) {
                const int index = image.RasterBits[y * smimages::kSize + x];
                const char key = picture.Rows[y][x];
                EXPECT_EQ(index, smimages::PaletteIndex(key)) << picture.FileName << " " << x << "," << y;
                const auto& entry = smimages::kPalette[static_cast<size_t>(smimages::PaletteIndex(key))];
                EXPECT_EQ(map->Colors[index].Red, entry.R);
                EXPECT_EQ(map->Colors[index].Blue, entry.B);
            }
        }
        DGifCloseFile(gif, &error);
    }
}

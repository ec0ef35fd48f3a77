#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "platform/graphics/bitmap.h"
#include "platform/graphics/graphics_errors.h"
#include "platform/graphics/jpeg_image.h"
#include "platform/graphics/tests/graphics_test_support.h"
#include "platform/rtl/stream.h"
#include "tests/support/thrown_message.h"

namespace {

// Four flat quadrants: red, lime, blue, white.
void PaintQuadrants(TBitmap& b) {
    const int w = b.Width() / 2, h = b.Height() / 2;
    const TColor colours[] = {clRed, clLime, clBlue, clWhite};
    for (int i = 0; i < 4; ++i) {
        b.Canvas().Brush().SetColor(colours[i]);
        b.Canvas().FillRect(Rect((i % 2) * w, (i / 2) * h, (i % 2 + 1) * w, (i / 2 + 1) * h));
    }
}

bool Near(TColor a, TColor b, int tolerance = 24) {
    for (int shift = 0; shift < 24; shift += 8)
        if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > tolerance) return false;
    return true;
}

using graphics_test::Load, graphics_test::Save;
using testsupport::ThrownMessage;

} // namespace

TEST(Jpeg, RoundTripKeepsSizeAndApproximateColours) {
    TBitmap source(64, 48);
    PaintQuadrants(source);
    TJPEGImage jpeg;
    jpeg.Assign(&source);
    EXPECT_EQ(jpeg.Width(), 64);
    const std::vector<uint8_t> bytes = Save(jpeg);
    ASSERT_GT(bytes.size(), 100u);
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[1], 0xD8);

    TJPEGImage back;
    Load(back, bytes);
    EXPECT_EQ(back.Width(), 64);
    EXPECT_EQ(back.Height(), 48);
    EXPECT_EQ(back.Bitmap().PixelFormat(), pf24bit);
    TBitmap drawn;
    drawn.Assign(&back);
    EXPECT_TRUE(Near(drawn.Canvas().Pixel(8, 8), clRed));
    EXPECT_TRUE(Near(drawn.Canvas().Pixel(56, 8), clLime));
    EXPECT_TRUE(Near(drawn.Canvas().Pixel(8, 40), clBlue));
    EXPECT_TRUE(Near(drawn.Canvas().Pixel(56, 40), clWhite));

    // Unchanged, the loaded bytes are saved as they were.
    EXPECT_EQ(Save(back), bytes);
    // Drawing on the decoded image makes saving compress it again.
    back.Bitmap().Canvas().SetPixel(0, 0, clBlack);
    EXPECT_NE(Save(back), bytes);

    // Lower quality, smaller file.
    TJPEGImage rough;
    TBitmap noisy(64, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            noisy.Canvas().SetPixel(x, y, static_cast<TColor>(RGB(x * 4, y * 4, (x * y) & 0xFF)));
    rough.Assign(&noisy);
    const size_t fine = Save(rough).size();
    rough.SetCompressionQuality(10);
    rough.Compress();
    EXPECT_LT(Save(rough).size(), fine);

    EXPECT_THROW(back.SetWidth(10), EInvalidGraphicOperation);
}

TEST(Jpeg, CorruptDataRaisesTheLibraryMessage) {
    TBitmap source(16, 16);
    PaintQuadrants(source);
    TJPEGImage jpeg;
    jpeg.Assign(&source);
    const std::vector<uint8_t> good = Save(jpeg);

    auto rejects = [](const std::vector<uint8_t>& bytes) {
        TJPEGImage j;
        return !ThrownMessage<EJPEG>([&] { Load(j, bytes); }).empty();
    };
    EXPECT_TRUE(rejects({}));
    EXPECT_TRUE(rejects({'n', 'o', 't', ' ', 'j', 'p', 'e', 'g'}));
    EXPECT_TRUE(rejects({0xFF, 0xD8, 0xFF, 0xD9}));
    std::vector<uint8_t> header(good.begin(), good.begin() + 20);
    EXPECT_TRUE(rejects(header));
    std::vector<uint8_t> noSize = good;
    for (size_t i = 2; i + 9 < noSize.size(); ++i)
        if (noSize[i] == 0xFF && noSize[i + 1] == 0xC0) {
            std::fill(noSize.begin() + i + 5, noSize.begin() + i + 9, 0); // frame of 0 x 0 pixels
            break;
        }
    EXPECT_TRUE(rejects(noSize));

    // Damage anywhere never crashes: either an exception, or an image of the declared size.
    for (size_t at = 2; at < good.size(); at += 7) {
        std::vector<uint8_t> v = good;
        v[at] ^= 0x5A;
        TJPEGImage j;
        try {
            Load(j, v);
            EXPECT_FALSE(j.Empty());
        } catch (const EInvalidGraphic&) {
        }
    }
    // Data that ends early decodes what is there, as viewers do.
    TJPEGImage partial;
    Load(partial, std::vector<uint8_t>(good.begin(), good.end() - 40));
    EXPECT_EQ(partial.Width(), 16);

    // A failed load leaves the previous image.
    TJPEGImage kept;
    Load(kept, good);
    EXPECT_THROW(Load(kept, {1, 2, 3}), EJPEG);
    EXPECT_EQ(kept.Width(), 16);
}

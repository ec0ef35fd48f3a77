// The GIF image on the clipboard, through the class library's clipboard object and the Qt host's
// clipboard: copied out and pasted back unchanged, with a bitmap beside it for programs that know no GIF.
#include "imaging/gif/tests/gif_test_support.h"
#include "platform/gdi/clipboard_formats.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/picture.h"
#include "platform/gui/clipboard.h"
#include "platform/vcl/clipboard.h"

#include <gtest/gtest.h>

using namespace gif_test;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255);

COLORREF At(TBitmap& bitmap, int x, int y) {
    return static_cast<COLORREF>(bitmap.Canvas().Pixel(x, y)) & 0xFFFFFF;
}

void EmptyTheClipboard() {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
}

} // namespace

TEST(GifClipboard, ACopiedImagePastesBackUnchangedBesideItsBitmap) {
    const UINT gifFormat = GIFClipboardFormat();
    EXPECT_EQ(GetClipboardFormatName(gifFormat), "GIF Image");
    EXPECT_TRUE(TPicture::SupportsClipboardFormat(gifFormat)) << "registered at start";
    auto image = MakeAnimation(6, 4, {{kRed, 10, 1, {}, RECT{0, 0, 2, 2}}, {kBlue, 20, 1, {}, {}}}, 3);
    Clipboard().Assign(image.get());
    // The GIF first, so that a picture pasting takes it rather than the bitmap.
    EXPECT_EQ(EnumClipboardFormats(0), gifFormat);
    EXPECT_EQ(EnumClipboardFormats(gifFormat), CF_BITMAP);

    TPicture picture;
    picture.Assign(&Clipboard());
    auto* pasted = dynamic_cast<TGIFImage*>(picture.Graphic());
    ASSERT_NE(pasted, nullptr);
    EXPECT_EQ(Save(*pasted), Save(*image));
    // Loading without data takes the clipboard's own.
    TGIFImage loaded;
    loaded.LoadFromClipboardFormat(gifFormat, nullptr, nullptr);
    EXPECT_EQ(Save(loaded), Save(*image));

    // The bitmap beside it shows the first frame (transparent corner drawn in the background colour).
    TBitmap bitmap;
    bitmap.Assign(&Clipboard());
    ASSERT_EQ(bitmap.Width(), 6);
    EXPECT_EQ(At(bitmap, 5, 3), kRed);
    EXPECT_EQ(At(bitmap, 5, 3), At(*image->GetBitmap(), 5, 3));
    EXPECT_EQ(At(bitmap, 0, 0), At(*image->GetBitmap(), 0, 0));
    // ... and converts into one frame when a GIF image is made from it.
    TGIFImage fromBitmap;
    fromBitmap.LoadFromClipboardFormat(CF_BITMAP, nullptr, nullptr);
    ASSERT_EQ(fromBitmap.Images().Count(), 1);
    EXPECT_EQ(fromBitmap.Width(), 6);
    EXPECT_EQ(fromBitmap.Images()[0]->ColorOf(fromBitmap.Images()[0]->Pixels(5, 3)).Red, 255);
}

TEST(GifClipboard, FormatsItCannotReadAndAClipboardThatWillNotTakeItAreReported) {
    EmptyTheClipboard();
    TGIFImage image;
    EXPECT_EQ(ThrownMessage<GIFException>(
                  [&] { image.LoadFromClipboardFormat(GIFClipboardFormat(), nullptr, nullptr); }),
              "Unsupported clipboard format")
        << "nothing on the clipboard";
    EXPECT_EQ(ThrownMessage<GIFException>([&] { image.LoadFromClipboardFormat(CF_TEXT, nullptr, nullptr); }),
              "Unsupported clipboard format");

    // An empty image gives nothing.
    UINT format = 0;
    HANDLE data = nullptr;
    HPALETTE palette = nullptr;
    image.SaveToClipboardFormat(format, data, palette);
    EXPECT_EQ(format, 0u);
    EXPECT_EQ(data, nullptr);

    // A clipboard that is not open does not take the GIF: the failure is raised, and the bitmap that
    // would have gone beside it is not left behind.
    auto frames = MakeAnimation(2, 2, {{kRed, 10, 1, {}, {}}});
    EXPECT_EQ(ThrownMessage<GIFException>([&] { frames->SaveToClipboardFormat(format, data, palette); }),
              "Failed to store GIF on clipboard");
    EXPECT_EQ(data, nullptr);
    EXPECT_EQ(palette, nullptr);
    EXPECT_FALSE(IsClipboardFormatAvailable(GIFClipboardFormat()));
}

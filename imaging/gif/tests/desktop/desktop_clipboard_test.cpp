// Pictures on the desktop's clipboard of a real X display, shared with another program (xclip): a GIF
// and a PNG copied out reach it as image/gif and image/png and paste back unchanged, and pictures that
// program puts there paste in.
#include "imaging/gif/gif_image.h"
#include "imaging/png/png_object.h"
#include "platform/gdi/clipboard_formats.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/picture.h"
#include "platform/gui/clipboard.h"
#include "platform/rtl/stream.h"
#include "platform/vcl/clipboard.h"
#include "tests/support/gui/pump.h"
#include "tests/support/gui/x_desktop.h"
#include "tests/support/peer_process.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using testsupport::ReadFile;
using testsupport::RunServing;

std::string Saved(TGraphic& graphic) {
    TMemoryStream stream;
    graphic.SaveToStream(stream);
    return std::string(reinterpret_cast<const char*>(stream.Memory()), static_cast<size_t>(stream.Size()));
}

// A picture of a few colours that tells its pixels apart.
void Paint(TBitmap& bitmap, int seed) {
    bitmap.SetSize(7, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            bitmap.Canvas().SetPixel(x, y, TColor(RGB((x + seed) % 3 * 120, y * 60, seed * 40)));
}

// Every pixel of the PNG image, as colours.
std::vector<uint32_t> Pixels(const TPNGObject& image) {
    std::vector<uint32_t> out;
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x)
            out.push_back(image.ReadPixel(x, y));
    return out;
}

std::vector<uint32_t> Pixels(TBitmap& bitmap) {
    TPNGObject png;
    png.Assign(&bitmap);
    return Pixels(png);
}

// What the other program reads from the clipboard in that type.
std::string Fetched(const testsupport::TempDir& dir, const std::string& type) {
    const std::string file = dir.File("fetched");
    EXPECT_EQ(RunServing({"xclip", "-selection", "clipboard", "-t", type, "-o"}, file), 0) << type;
    return ReadFile(file);
}

} // namespace

TEST(DesktopClipboard, GifAndPngPicturesCrossToAnotherProgramAndBack) {
    if (!HaveProgram("xclip")) GTEST_SKIP() << "xclip is not installed";
    testsupport::XDesktop desktop;
    if (!desktop.Problem().empty()) GTEST_SKIP() << desktop.Problem();
    testsupport::TempDir dir;

    // A GIF copied out: the other program reads its whole stream as image/gif and its bitmap as
    // image/png; pasted back it is the same image.
    TBitmap gifPicture;
    Paint(gifPicture, 1);
    TGIFImage gif;
    gif.SetReductionMethod(crNone);
    gif.Assign(&gifPicture);
    Clipboard().Assign(&gif);
    EXPECT_EQ(Fetched(dir, "image/gif"), Saved(gif));
    testsupport::WriteFile(dir.File("shown.png"), Fetched(dir, "image/png"));
    TPNGObject shown;
    shown.LoadFromFile(dir.File("shown.png"));
    EXPECT_EQ(Pixels(shown), Pixels(gifPicture));
    TPicture picture;
    picture.Assign(&Clipboard());
    ASSERT_NE(dynamic_cast<TGIFImage*>(picture.Graphic()), nullptr);
    EXPECT_EQ(Saved(*picture.Graphic()), Saved(gif));

    // A PNG copied out: the other program reads it as image/png; pasted back its pixels are the same.
    TBitmap pngPicture;
    Paint(pngPicture, 2);
    TPNGObject png;
    png.Assign(&pngPicture);
    Clipboard().Assign(&png);
    testsupport::WriteFile(dir.File("png.png"), Fetched(dir, "image/png"));
    shown.LoadFromFile(dir.File("png.png"));
    EXPECT_EQ(Pixels(shown), Pixels(png));
    TPNGObject back;
    back.LoadFromClipboardFormat(CF_BITMAP, Clipboard().GetAsHandle(CF_BITMAP), nullptr);
    EXPECT_EQ(Pixels(back), Pixels(png));

    // Pictures the other program puts on the clipboard paste in: a PNG file as a bitmap, a GIF file as
    // the same GIF image.
    TBitmap theirs;
    Paint(theirs, 4);
    TPNGObject theirPng;
    theirPng.Assign(&theirs);
    theirPng.SaveToFile(dir.File("theirs.png"));
    {
        Clipboard().Clear();
        testsupport::BackgroundProgram owner(
            {"xclip", "-quiet", "-selection", "clipboard", "-t", "image/png", "-i", dir.File("theirs.png")},
            dir.File("owner.log"));
        ASSERT_TRUE(owner.Started());
        ASSERT_TRUE(testsupport::PumpUntil([] { return IsClipboardFormatAvailable(CF_BITMAP) != FALSE_; }));
        TPNGObject pasted;
        pasted.LoadFromClipboardFormat(CF_BITMAP, Clipboard().GetAsHandle(CF_BITMAP), nullptr);
        EXPECT_EQ(Pixels(pasted), Pixels(theirPng));
    }
    gif.SaveToFile(dir.File("theirs.gif"));
    {
        Clipboard().Clear();
        testsupport::BackgroundProgram owner(
            {"xclip", "-quiet", "-selection", "clipboard", "-t", "image/gif", "-i", dir.File("theirs.gif")},
            dir.File("owner.log"));
        ASSERT_TRUE(owner.Started());
        ASSERT_TRUE(testsupport::PumpUntil(
            [] { return IsClipboardFormatAvailable(GIFClipboardFormat()) != FALSE_; }));
        TPicture pasted;
        pasted.Assign(&Clipboard());
        ASSERT_NE(dynamic_cast<TGIFImage*>(pasted.Graphic()), nullptr);
        EXPECT_EQ(Saved(*pasted.Graphic()), ReadFile(dir.File("theirs.gif")));
    }
}

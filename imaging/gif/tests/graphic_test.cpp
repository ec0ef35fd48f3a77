// The GIF image as a graphic: drawing on bitmap canvases, bitmaps and palettes, conversions and the
// picture-format registration.
#include "imaging/gif/frame_render.h"
#include "imaging/gif/gif_painter.h"
#include "imaging/gif/tests/gif_test_support.h"
#include "platform/gdi/palettes.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/graphics_errors.h"
#include "platform/graphics/picture.h"
#include "platform/rtl/thread.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

using namespace gif_test;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255);
constexpr COLORREF kYellow = RGB(255, 255, 0), kKey = RGB(1, 2, 3);
using Colours = std::vector<COLORREF>;

COLORREF At(TBitmap& bitmap, int x, int y) {
    return static_cast<COLORREF>(bitmap.Canvas().Pixel(x, y)) & 0xFFFFFF;
}

// Every pixel, row by row.
Colours All(TBitmap& bitmap) {
    Colours out;
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.Width(); ++x)
            out.push_back(At(bitmap, x, y));
    return out;
}

// A canvas filled with one colour.
void Fill(TBitmap& bitmap, COLORREF colour) {
    bitmap.Canvas().Brush().SetColor(static_cast<TColor>(colour));
    bitmap.Canvas().FillRect(RECT{0, 0, bitmap.Width(), bitmap.Height()});
}

// Fills the canvas, draws the image over all of it with the given options, and answers the colours
// at the given points.
Colours Drawn(TBitmap& canvas, COLORREF ground, TGIFImage& image, TGIFPaintOptions options,
              const std::vector<POINT>& points) {
    Fill(canvas, ground);
    image.SetPaintOptions(options);
    canvas.Canvas().StretchDraw(RECT{0, 0, canvas.Width(), canvas.Height()}, &image);
    Colours out;
    for (const POINT& p : points)
        out.push_back(At(canvas, p.x, p.y));
    return out;
}

COLORREF ArgbToColorRef(uint32_t argb) {
    return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

} // namespace

TEST(GifGraphic, StillImageDrawsStretchedTiledAndThroughItsMask) {
    // 4x4: red with a transparent right half, drawn into 8x8.
    auto image = MakeAnimation(4, 4, {{kRed, 0, 1, {}, RECT{2, 0, 4, 4}}});
    TBitmap canvas(8, 8);
    EXPECT_EQ(Drawn(canvas, kBlue, *image, gpTransparent | gpAnimate | gpThreaded,
                    {{0, 0}, {3, 7}, {4, 0}, {7, 7}}),
              (Colours{kRed, kRed, kBlue, kBlue}));
    EXPECT_EQ(image->Painter(), nullptr) << "one frame never starts a painter";
    EXPECT_EQ(Drawn(canvas, kBlue, *image, 0, {{7, 7}}), Colours{kKey});
    // Tiled: the 4x4 image repeats, its transparent half showing the canvas.
    EXPECT_EQ(Drawn(canvas, kYellow, *image, gpTransparent | gpTile, {{4, 4}, {5, 1}, {6, 6}, {2, 5}}),
              (Colours{kRed, kRed, kYellow, kYellow}));
    // A frame placed inside the screen lands scaled at its offset.
    auto offset = MakeAnimation(4, 4, {{kGreen, 0, 1, RECT{2, 2, 4, 4}, {}}});
    EXPECT_EQ(Drawn(canvas, kBlue, *offset, 0, {{3, 3}, {4, 4}, {7, 7}}), (Colours{kBlue, kGreen, kGreen}));
    // A logical screen of size 0 is drawn once, at the frame's size, instead of tiled for ever.
    auto zero = MakeAnimation(3, 3, {{kGreen}});
    zero->Header().SetWidth(0);
    zero->Header().SetHeight(0);
    TBitmap nine(9, 9);
    EXPECT_EQ(Drawn(nine, kBlue, *zero, gpTile, {{1, 1}, {5, 5}}), (Colours{kGreen, kBlue}));
}

TEST(GifGraphic, BitmapsRoundTripThroughTheImage) {
    TGIFImage image;
    image.LoadFromFile(DataFile("plasma_200.gif"));
    TBitmap* rendering = image.GetBitmap();
    ASSERT_NE(rendering, nullptr);
    EXPECT_EQ(image.GetBitmap(), rendering) << "kept until the image changes";
    ASSERT_EQ(rendering->Width(), image.Width());
    TArgbImage expected = gif::RenderFrame(*image.Images()[0], false);
    for (int y = 0; y < image.Height(); y += 7)
        for (int x = 0; x < image.Width(); x += 5)
            ASSERT_EQ(At(*rendering, x, y), ArgbToColorRef(expected.Pixel(x, y))) << x << "," << y;

    TBitmap copy;
    copy.Assign(&image);
    EXPECT_EQ(At(copy, 10, 20), At(*rendering, 10, 20));

    // Back into a GIF without colour reduction: the same colours, one frame.
    TGIFImage back;
    back.SetReductionMethod(crNone);
    back.Assign(&copy);
    ASSERT_EQ(back.Images().Count(), 1);
    EXPECT_EQ(back.Width(), image.Width());
    TArgbImage again = gif::RenderFrame(*back.Images()[0], false);
    EXPECT_EQ(again.Pixels, expected.Pixels);

    // A transparent bitmap gives a transparent frame with black added for its key colour.
    TBitmap keyed(4, 2);
    Fill(keyed, kGreen);
    keyed.Canvas().SetPixel(1, 1, static_cast<TColor>(kRed));
    keyed.SetTransparentColor(static_cast<TColor>(kRed));
    keyed.SetTransparentMode(tmFixed);
    keyed.SetTransparent(true);
    TGIFImage fromKeyed;
    fromKeyed.SetReductionMethod(crNone);
    fromKeyed.Assign(&keyed);
    TGIFSubImage& frame = *fromKeyed.Images()[0];
    ASSERT_TRUE(frame.GraphicControlExtension());
    EXPECT_TRUE(frame.GraphicControlExtension()->Transparent());
    EXPECT_EQ(frame.Pixels(1, 1), frame.GraphicControlExtension()->TransparentColorIndex());
    EXPECT_NE(frame.Pixels(0, 0), frame.Pixels(1, 1));

    // A changed frame is rendered again.
    TBitmap* before = back.Images()[0]->GetBitmap();
    ASSERT_NE(before, nullptr);
    back.Images()[0]->SetPixels(0, 0, back.Images()[0]->Pixels(5, 5));
    TBitmap* after = back.Images()[0]->GetBitmap();
    EXPECT_EQ(At(*after, 0, 0), At(*after, 5, 5));
}

TEST(GifGraphic, PicturesFindGifsByExtensionAndSignature) {
    auto image = MakeAnimation(5, 3, {{kRed}, {kGreen}});
    const std::string path = ::testing::TempDir() + "/x.gif";
    image->SaveToFile(path);

    TPicture picture;
    picture.LoadFromFile(path);
    auto* loaded = dynamic_cast<TGIFImage*>(picture.Graphic());
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->Width(), 5);
    EXPECT_EQ(loaded->Images().Count(), 2);

    TMemoryStream stream;
    image->SaveToStream(stream);
    stream.SetPosition(0);
    TPicture sniffed;
    sniffed.LoadFromStream(stream);
    EXPECT_NE(dynamic_cast<TGIFImage*>(sniffed.Graphic()), nullptr);

    const std::vector<TFileFormat> formats = TPicture::FileFormats();
    EXPECT_TRUE(std::any_of(formats.begin(), formats.end(), [](const TFileFormat& f) {
        return f.extension == "gif" && f.description == "GIF Image";
    }));

    // Damaged data fails as a graphic error with the codec's text, and the picture keeps its image.
    const std::string bad = ::testing::TempDir() + "/bad.gif";
    std::ofstream(bad) << std::string(64, 'X');
    EXPECT_EQ(ThrownMessage<EInvalidGraphic>([&] { picture.LoadFromFile(bad); }), "Invalid GIF signature");
    EXPECT_NE(dynamic_cast<TGIFImage*>(picture.Graphic()), nullptr);
    std::remove(path.c_str());
    std::remove(bad.c_str());
}

TEST(GifGraphic, PaletteComesFromTheGlobalMapOrTheWebColours) {
    TGIFImage image;
    image.LoadFromFile(DataFile("plasma_200.gif"));
    image.SetPaintOptions(0);
    HPALETTE global = image.Palette();
    if (image.Header().ColorMap().Count() > 0) {
        ASSERT_NE(global, nullptr);
        std::vector<PALETTEENTRY> entries = PaletteEntries(global);
        ASSERT_EQ(static_cast<int>(entries.size()), image.Header().ColorMap().Count());
        const TGIFRGB c = image.Header().ColorMap().Entry(3);
        EXPECT_EQ(entries[3].peRed, c.Red);
        EXPECT_EQ(entries[3].peBlue, c.Blue);
    }
    EXPECT_EQ(image.Palette(), global) << "kept";

    TGIFImage web;
    web.LoadFromFile(DataFile("plasma_200.gif"));
    web.SetPaintOptions(gpWebPalette);
    std::vector<PALETTEENTRY> entries = PaletteEntries(web.Palette());
    ASSERT_EQ(entries.size(), 216u);
    EXPECT_EQ(entries[215].peRed, 255);
    EXPECT_EQ(entries[1].peBlue, 51);
    // Frames are then rendered on those colours.
    const COLORREF c = At(*web.Images()[0]->GetBitmap(), 3, 3);
    EXPECT_EQ(GetRValue(c) % 51 + GetGValue(c) % 51 + GetBValue(c) % 51, 0);
}

TEST(GifGraphic, AnimatedDrawOnABitmapShowsTheFirstFrameThenTheRunningOne) {
    auto image = MakeAnimation(6, 6, {{kRed, 5}, {kGreen, 5}, {kBlue, 5}}, 0);
    image->SetPaintOptions(gpThreaded | gpAnimate | gpLoop | gpTransparent);
    TBitmap canvas(6, 6);
    Fill(canvas, kYellow);
    canvas.Canvas().Draw(0, 0, image.get());
    EXPECT_EQ(At(canvas, 2, 2), kRed);
    TGIFPainter* painter = image->Painter();
    ASSERT_NE(painter, nullptr);
    EXPECT_TRUE(painter->Threaded());

    // The painter keeps playing into the image's bitmap; later draws copy what it shows.
    std::vector<COLORREF> seen;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (seen.size() < 4 && std::chrono::steady_clock::now() < until) {
        CheckSynchronize(10);
        canvas.Canvas().Draw(0, 0, image.get());
        const COLORREF c = At(canvas, 2, 2);
        if (seen.empty() || seen.back() != c) seen.push_back(c);
    }
    EXPECT_EQ(image->Painter(), painter) << "drawing again does not restart the animation";
    ASSERT_GE(seen.size(), 3u);
    for (size_t i = 0; i + 1 < seen.size(); ++i) {
        const COLORREF next = seen[i] == kRed ? kGreen : seen[i] == kGreen ? kBlue : kRed;
        EXPECT_EQ(seen[i + 1], next) << "at " << i;
    }
    // Freed while playing: the painter thread stops and cleans up first.
    image.reset();
}

TEST(GifGraphic, PainterWithoutThreadPlaysInsideDrawButNeverForever) {
    auto image = MakeAnimation(4, 4, {{kRed, 2}, {kGreen, 2}, {kBlue, 2}}, 1);
    image->SetPaintOptions(gpAnimate | gpLoop | gpDirectPaint);
    std::vector<std::string> events;
    image->OnAnimationStart = [&](TObject*) { events.push_back("start"); };
    image->OnFrameDone = [&](TObject* sender) {
        events.push_back("frame" + std::to_string(static_cast<TGIFPainter*>(sender)->ActiveImage()));
    };
    image->OnAnimationLoop = [&](TObject*) { events.push_back("loop"); };
    image->OnAnimationEnd = [&](TObject*) { events.push_back("end"); };
    TBitmap canvas(4, 4);
    canvas.Canvas().Draw(0, 0, image.get());
    // A loop count of 1 plays one pass; the last frame stays.
    EXPECT_EQ(events, (std::vector<std::string>{"start", "frame0", "frame1", "frame2", "end"}));
    EXPECT_EQ(At(canvas, 1, 1), kBlue);
    EXPECT_EQ(image->Painter(), nullptr);
    EXPECT_TRUE(image->Painters().empty());

    // A frame-done handler may choose the next frame; without direct painting the bitmap that
    // the painter drew into reaches the canvas at the end.
    events.clear();
    image->OnFrameDone = [&](TObject* sender) {
        auto* painter = static_cast<TGIFPainter*>(sender);
        events.push_back("frame" + std::to_string(painter->ActiveImage()));
        if (painter->ActiveImage() == 0) painter->SetActiveImage(2);
    };
    image->SetPaintOptions(gpAnimate | gpLoop);
    TBitmap viaBitmap(4, 4);
    Fill(viaBitmap, kYellow);
    viaBitmap.Canvas().Draw(0, 0, image.get());
    EXPECT_EQ(events, (std::vector<std::string>{"start", "frame0", "frame2", "end"}));
    EXPECT_EQ(At(viaBitmap, 1, 1), kBlue);

    // Looping forever is handed to a thread: Draw comes back at once.
    events.clear();
    image->SetPaintOptions(gpAnimate | gpLoop | gpLoopForever | gpDirectPaint);
    TBitmap other(4, 4);
    other.Canvas().Draw(0, 0, image.get());
    ASSERT_NE(image->Painter(), nullptr);
    EXPECT_TRUE(image->Painter()->Threaded());
    image->PaintStop();
    EXPECT_EQ(image->Painter(), nullptr);
    EXPECT_EQ(std::count(events.begin(), events.end(), "end"), 0) << "a stopped painter fires no more events";
}

TEST(GifGraphic, PainterDisposalMatchesTheCompositor) {
    for (const char* name : {"anim_background.gif", "anim_previous.gif", "anim_optimized.gif"}) {
        SCOPED_TRACE(name);
        TGIFImage image;
        image.LoadFromFile(DataFile(name));
        image.SetPaintOptions(gpAnimate | gpTransparent | gpDirectPaint);
        TBitmap canvas(image.Width(), image.Height());
        Fill(canvas, kYellow);
        std::vector<Colours> painted;
        image.OnFrameDone = [&](TObject*) { painted.push_back(All(canvas)); };
        canvas.Canvas().Draw(0, 0, &image);
        gif::TGIFCompositor compositor(image);
        size_t frame = 0;
        for (; compositor.Next() && frame < painted.size(); ++frame) {
            Colours expected;
            for (uint32_t p : compositor.Display().Pixels)
                expected.push_back((p >> 24) ? ArgbToColorRef(p) : kYellow);
            EXPECT_EQ(painted[frame], expected) << "frame " << frame;
        }
        EXPECT_EQ(frame, static_cast<size_t>(image.Images().Count()));
    }
}

TEST(GifGraphic, LoadsFromResourcesOfTypeGif) {
    TGIFImage image;
    image.LoadFromResourceName(nullptr, "testanim");
    TGIFImage file;
    file.LoadFromFile(DataFile("anim_previous.gif"));
    EXPECT_EQ(Save(image), Save(file));
    EXPECT_THROW(image.LoadFromResourceName(nullptr, "NOSUCHGIF"), EResNotFound);
    EXPECT_EQ(image.Images().Count(), file.Images().Count()) << "a missing resource leaves the image";
}

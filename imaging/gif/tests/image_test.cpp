// The image object: copying, settings, size changes, conversion of pictures, frame timing.
#include "imaging/gif/animation_timing.h"
#include "imaging/gif/tests/gif_test_support.h"

#include <gtest/gtest.h>

using namespace gif_test;

namespace {

TRaster Picture24(int w, int h, int colours) {
    Bytes bgr;
    for (int i = 0; i < w * h; ++i)
        bgr.insert(bgr.end(),
                   {static_cast<uint8_t>(i % colours), static_cast<uint8_t>((i % colours) >> 8), 200});
    return Raster24(w, h, bgr);
}

} // namespace

TEST(GifImage, AssignCopiesFramesAndSomeSettings) {
    TGIFImage source;
    source.LoadFromFile(DataFile("anim_previous.gif"));
    source.SetPaintOptions(DefaultPaintOptions | gpDirectPaint);
    source.SetReductionBits(4);
    source.SetCompression(gcRLE);
    source.SetAnimationSpeed(250);
    source.OnWarning = [](TObject*, int, const std::string&) {};
    int progress = 0;
    source.OnProgress = [&](TObject*, TGIFProgressStage, int, bool, const std::string& m) {
        EXPECT_EQ(m, "Copying...");
        ++progress;
    };
    TGIFImage copy;
    copy.Assign(&source);
    EXPECT_EQ(copy.PaintOptions(), source.PaintOptions());
    EXPECT_EQ(copy.ReductionBits(), 8);
    EXPECT_EQ(copy.Compression(), gcLZW);
    EXPECT_EQ(copy.AnimationSpeed(), 100);
    EXPECT_FALSE(copy.OnWarning);
    EXPECT_FALSE(copy.OnProgress);
    EXPECT_GT(progress, 2);
    // Frames and extensions: byte for byte the same file.
    source.OnProgress = nullptr;
    source.SetCompression(gcLZW);
    EXPECT_EQ(Save(copy), Save(source));
    copy.Assign(nullptr);
    EXPECT_TRUE(copy.Empty());
    EXPECT_EQ(copy.Width(), 0);
}

TEST(GifImage, SettingsAndSizeStayInTheirRanges) {
    TGIFImage image;
    image.SetReductionBits(12);
    EXPECT_EQ(image.ReductionBits(), 8);
    image.SetReductionBits(0);
    EXPECT_EQ(image.ReductionBits(), 1);

    // The logical screen cannot shrink below a frame.
    image.LoadFromFile(DataFile("anim_background.gif"));
    EXPECT_EQ(ThrownMessage<Exception>([&] { image.SetWidth(20); }),
              "Image width too small for contained frames");
    EXPECT_EQ(image.Width(), 24);
    EXPECT_THROW(image.SetHeight(9), GIFException);
    image.SetHeight(20);
    EXPECT_EQ(image.Height(), 20);
    EXPECT_EQ(image.GetBackgroundColor(),
              image.Header().ColorMap().Colors(image.Header().BackgroundColorIndex()));
    // Pixel access is checked.
    TGIFSubImage& frame = *image.Images()[0];
    EXPECT_THROW(frame.Pixels(frame.Width(), 0), GIFException);
    EXPECT_THROW(frame.ScanLine(-1), GIFException);
}

TEST(GifImage, ConvertsPicturesIntoFrames) {
    // Up to 256 colours import exactly without a reduction method.
    TGIFImage image;
    image.SetReductionMethod(crNone);
    const TRaster picture = Picture24(20, 16, 256);
    image.Assign(picture);
    ASSERT_EQ(image.Images().Count(), 1);
    TGIFSubImage& frame = *image.Images()[0];
    EXPECT_EQ(frame.ColorMap().Count(), 256);
    Bytes shown;
    for (uint8_t index : Pixels(frame)) {
        const TGIFRGB c = frame.ColorOf(index);
        shown.insert(shown.end(), {c.Blue, c.Green, c.Red});
    }
    EXPECT_EQ(shown, picture.Bits);
    // The 257th colour overflows the table; with a reduction method any picture converts.
    EXPECT_EQ(ThrownMessage<Exception>([&] { image.Assign(Picture24(20, 16, 257)); }),
              "Color table overflow");
    image.SetReductionMethod(crOctree);
    image.SetReductionBits(5);
    image.Assign(Picture24(20, 16, 300));
    EXPECT_LE(image.Images()[0]->ColorMap().Count(), 32);

    // A mask adds black as the transparent colour; a mask without set bits leaves the table as it was.
    TRaster small;
    small.Width = 3;
    small.Height = 1;
    small.BitsPerPixel = 8;
    small.Bits = {0, 1, 1};
    small.Palette = {RGB(255, 0, 0), RGB(0, 0, 255)};
    for (bool masked : {true, false}) {
        TGIFImage converted;
        converted.Assign(small);
        TGIFSubImage& m = *converted.Images()[0];
        m.ApplyMask({0, static_cast<uint8_t>(masked), 0});
        EXPECT_EQ(m.Transparent(), masked);
        EXPECT_EQ(m.ColorMap().Count(), masked ? 3 : 2);
        if (!masked) continue;
        EXPECT_EQ(m.TransparentIndex(), 2);
        EXPECT_EQ(m.Pixels(1, 0), 2);
        EXPECT_EQ(m.ColorMap().Colors(2), RGB(0, 0, 0));
    }
}

TEST(GifImage, FrameTiming) {
    TGIFImage image;
    image.LoadFromFile(DataFile("anim_background.gif"));
    TGIFSubImage& frame = *image.Images()[0];
    EXPECT_EQ(gif::FrameDelay(frame, true), 7);
    const std::pair<int, int> delays[] = {{1, gif::MinimumDelay}, {0, gif::DefaultDelay}, {5000, 5000}};
    for (const auto& [delay, played] : delays) {
        frame.GraphicControlExtension()->SetDelay(static_cast<uint16_t>(delay));
        EXPECT_EQ(gif::FrameDelay(frame, true), played) << delay;
    }
    EXPECT_EQ(gif::FrameDelay(frame, false), gif::MaximumDelay);
    // 10 hundredths at 100 %: 120 ms, less half of an overrun of 20 ms.
    EXPECT_EQ(gif::ScaledDelay(10, 0, 0, 100), 120);
    EXPECT_EQ(gif::ScaledDelay(10, 40, 20, 100), 110);
    EXPECT_EQ(gif::ScaledDelay(10, 0, 0, 200), 60);
    EXPECT_EQ(gif::ScaledDelay(10, 0, 0, 0), -1);
    EXPECT_EQ(gif::ScaledDelay(10, 0, 0, -100), -1);
}

TEST(GifImage, PlayScheduleFollowsLoopsAndOptions) {
    TGIFImage image;
    image.LoadFromFile(DataFile("anim_previous.gif")); // 3 frames, loops 2
    auto frames = [](TGIFImage& played, TGIFPaintOptions options, bool threaded) {
        std::vector<int> out;
        for (const gif::FrameStep& s : gif::PlaySchedule(played, options, threaded, 100))
            out.push_back(s.Frame);
        return out;
    };
    const TGIFPaintOptions options = gpAnimate | gpLoop;
    EXPECT_EQ(frames(image, options, true), (std::vector<int>{0, 1, 2, 0, 1, 2}));
    EXPECT_EQ(gif::PlaySchedule(image, options, true, 100)[1].Delay, 20);
    EXPECT_EQ(frames(image, gpAnimate, true), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(frames(image, gpLoop, true), (std::vector<int>{0}));
    EXPECT_FALSE(gif::PlaysForever(image, options, true));
    EXPECT_TRUE(gif::PlaysForever(image, options | gpLoopForever, false));
    EXPECT_EQ(gif::PlaySchedule(image, options | gpLoopForever, false, 50).size(), 50u);

    // An endless loop extension is endless only on a painter thread.
    TGIFImage endless;
    endless.LoadFromFile(DataFile("anim_background.gif")); // loop 0
    EXPECT_TRUE(gif::PlaysForever(endless, options, true));
    EXPECT_FALSE(gif::PlaysForever(endless, options, false));
    EXPECT_EQ(frames(endless, options, false).size(), 3u);

    // A first frame without pixels ends every pass at once instead of spinning.
    TGIFImage hollow;
    hollow.Add(std::make_unique<TGIFSubImage>(&hollow));
    hollow.Add(std::make_unique<TGIFSubImage>(&hollow));
    EXPECT_TRUE(frames(hollow, options | gpLoopForever, true).empty());
    EXPECT_FALSE(gif::PlaysForever(hollow, options | gpLoopForever, true));
}

// The image object: copying, settings, size changes, conversion of pictures, frame timing.
#include "imaging/gif/animation_timing.h"
#include "imaging/gif/color_reduction.h"
#include "imaging/gif/gif_exception.h"
#include "imaging/gif/tests/gif_test_support.h"

#include <gtest/gtest.h>

using namespace gif_test;

namespace {

std::string Data(const char* name) {
    return std::string(PW_TEST_DATA_DIR) + "/data/" + name;
}

TRaster Picture24(int w, int h, int colours) {
    TRaster r;
    r.Width = w;
    r.Height = h;
    r.BitsPerPixel = 24;
    for (int i = 0; i < w * h; ++i) {
        int c = i % colours;
        r.Bits.push_back(static_cast<uint8_t>(c));      // blue
        r.Bits.push_back(static_cast<uint8_t>(c >> 8)); // green
        r.Bits.push_back(static_cast<uint8_t>(200));    // red
    }
    return r;
}

} // namespace

TEST(GifImage, AssignCopiesFramesAndSomeSettings) {
    TGIFImage source;
    source.LoadFromFile(Data("anim_previous.gif"));
    source.SetPaintOptions(DefaultPaintOptions | gpDirectPaint);
    source.SetReductionBits(4);
    source.SetCompression(gcRLE);
    source.SetAnimationSpeed(250);
    int warnings = 0;
    source.OnWarning = [&](TObject*, int, const std::string&) { ++warnings; };
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
    ASSERT_EQ(copy.Images().Count(), source.Images().Count());
    for (int i = 0; i < copy.Images().Count(); ++i) {
        TGIFSubImage& a = *source.Images()[i];
        TGIFSubImage& b = *copy.Images()[i];
        EXPECT_EQ(std::vector<uint8_t>(a.Data(), a.Data() + a.DataSize()),
                  std::vector<uint8_t>(b.Data(), b.Data() + b.DataSize()));
        EXPECT_EQ(b.TransparentIndex(), a.TransparentIndex());
        ASSERT_NE(b.GraphicControlExtension(), nullptr);
        EXPECT_EQ(b.GraphicControlExtension()->Disposal(), i == 0 ? 1 : 3);
        EXPECT_EQ(b.GraphicControlExtension()->Delay(), 20);
    }
    // Byte for byte the same file.
    source.OnProgress = nullptr;
    EXPECT_EQ(Save(copy), (source.SetCompression(gcLZW), Save(source)));
    copy.Assign(nullptr);
    EXPECT_TRUE(copy.Empty());
    EXPECT_EQ(copy.Width(), 0);
}

TEST(GifImage, SettingsStayInTheirRanges) {
    TGIFImage image;
    image.SetReductionBits(12);
    EXPECT_EQ(image.ReductionBits(), 8);
    image.SetReductionBits(0);
    EXPECT_EQ(image.ReductionBits(), 1);
    image.SetAnimationSpeed(-50);
    EXPECT_EQ(image.AnimationSpeed(), 0);
    EXPECT_EQ(image.PaintOptions(), 0x060F);
    EXPECT_EQ(image.BackgroundColor(), 0x1FFFFFFFu);

    // The logical screen cannot shrink below a frame.
    image.LoadFromFile(Data("anim_background.gif"));
    try {
        image.SetWidth(20);
        FAIL();
    } catch (const GIFException& e) {
        EXPECT_EQ(e.Message(), "Image width too small for contained frames");
    }
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
    TRaster picture = Picture24(20, 16, 256);
    image.Assign(picture);
    ASSERT_EQ(image.Images().Count(), 1);
    TGIFSubImage& frame = *image.Images()[0];
    EXPECT_EQ(frame.ColorMap().Count(), 256);
    for (int i = 0; i < 20 * 16; ++i) {
        TGIFRGB c = frame.ColorOf(frame.Data()[i]);
        ASSERT_EQ(c.Blue, picture.Bits[i * 3]);
        ASSERT_EQ(c.Green, picture.Bits[i * 3 + 1]);
        ASSERT_EQ(c.Red, picture.Bits[i * 3 + 2]);
    }
    // The 257th colour overflows the table.
    try {
        image.Assign(Picture24(20, 16, 257));
        FAIL();
    } catch (const GIFException& e) {
        EXPECT_EQ(e.Message(), "Color table overflow");
    }
    // With a reduction method any picture converts.
    image.SetReductionMethod(crOctree);
    image.SetReductionBits(5);
    image.Assign(Picture24(20, 16, 300));
    EXPECT_LE(image.Images()[0]->ColorMap().Count(), 32);

    // A mask adds black as the transparent colour.
    TRaster small;
    small.Width = 3;
    small.Height = 1;
    small.BitsPerPixel = 8;
    small.Bits = {0, 1, 1};
    small.Palette = {RGB(255, 0, 0), RGB(0, 0, 255)};
    TGIFImage masked;
    masked.Assign(small);
    TGIFSubImage& m = *masked.Images()[0];
    m.ApplyMask({0, 1, 0});
    ASSERT_TRUE(m.Transparent());
    EXPECT_EQ(m.ColorMap().Count(), 3);
    EXPECT_EQ(m.TransparentIndex(), 2);
    EXPECT_EQ(m.Pixels(1, 0), 2);
    EXPECT_EQ(m.ColorMap().Colors(2), RGB(0, 0, 0));
    // A mask without set bits leaves the table as it was.
    TGIFImage unmasked;
    unmasked.Assign(small);
    unmasked.Images()[0]->ApplyMask({0, 0, 0});
    EXPECT_EQ(unmasked.Images()[0]->ColorMap().Count(), 2);
    EXPECT_FALSE(unmasked.Images()[0]->Transparent());
}

TEST(GifImage, FrameTiming) {
    TGIFImage image;
    image.LoadFromFile(Data("anim_background.gif"));
    TGIFSubImage& frame = *image.Images()[0];
    EXPECT_EQ(gif::FrameDelay(frame, true), 7);
    frame.GraphicControlExtension()->SetDelay(1);
    EXPECT_EQ(gif::FrameDelay(frame, true), gif::MinimumDelay);
    frame.GraphicControlExtension()->SetDelay(0);
    EXPECT_EQ(gif::FrameDelay(frame, true), gif::DefaultDelay);
    frame.GraphicControlExtension()->SetDelay(5000);
    EXPECT_EQ(gif::FrameDelay(frame, true), 5000);
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
    image.LoadFromFile(std::string(PW_TEST_DATA_DIR) + "/data/anim_previous.gif"); // 3 frames, loops 2
    auto frames = [](const std::vector<gif::FrameStep>& steps) {
        std::vector<int> out;
        for (const gif::FrameStep& s : steps)
            out.push_back(s.Frame);
        return out;
    };
    const TGIFPaintOptions options = gpAnimate | gpLoop;
    EXPECT_EQ(frames(gif::PlaySchedule(image, options, true, 100)), (std::vector<int>{0, 1, 2, 0, 1, 2}));
    EXPECT_EQ(gif::PlaySchedule(image, options, true, 100)[1].Delay, 20);
    EXPECT_EQ(frames(gif::PlaySchedule(image, gpAnimate, true, 100)), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(frames(gif::PlaySchedule(image, gpLoop, true, 100)), (std::vector<int>{0}));
    EXPECT_FALSE(gif::PlaysForever(image, options, true));
    EXPECT_TRUE(gif::PlaysForever(image, options | gpLoopForever, false));
    EXPECT_EQ(gif::PlaySchedule(image, options | gpLoopForever, false, 50).size(), 50u);

    // An endless loop extension is endless only on a painter thread.
    TGIFImage endless;
    endless.LoadFromFile(std::string(PW_TEST_DATA_DIR) + "/data/anim_background.gif"); // loop 0
    EXPECT_TRUE(gif::PlaysForever(endless, options, true));
    EXPECT_FALSE(gif::PlaysForever(endless, options, false));
    EXPECT_EQ(gif::PlaySchedule(endless, options, false, 100).size(), 3u);

    // A first frame without pixels ends every pass at once instead of spinning.
    TGIFImage hollow;
    hollow.Add(std::make_unique<TGIFSubImage>(&hollow));
    hollow.Add(std::make_unique<TGIFSubImage>(&hollow));
    EXPECT_TRUE(gif::PlaySchedule(hollow, options | gpLoopForever, true, 100).empty());
    EXPECT_FALSE(gif::PlaysForever(hollow, options | gpLoopForever, true));
}

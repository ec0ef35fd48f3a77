// Every test picture decodes exactly as the reference library decodes it, and what we write
// decodes back to the same frames in the reference library and in ImageMagick.
#include "imaging/gif/tests/gif_test_support.h"

#include <gtest/gtest.h>

using namespace gif_test;

namespace {

size_t checkedFrames = 0;
size_t checkedExtensions = 0;

uint32_t Rgb(const TGIFRGB& c) {
    return (c.Red << 16) | (c.Green << 8) | c.Blue;
}

std::vector<uint32_t> MapOf(const TGIFColorMap& map) {
    std::vector<uint32_t> out;
    for (int i = 0; i < map.Count(); ++i)
        out.push_back(Rgb(map.Data()[i]));
    return out;
}

std::vector<TGIFSubImage*> NonEmptyFrames(TGIFImage& image) {
    std::vector<TGIFSubImage*> out;
    for (int i = 0; i < image.Images().Count(); ++i)
        if (!image.Images()[i]->Empty()) out.push_back(image.Images()[i]);
    return out;
}

void ExpectSameAsReference(TGIFImage& ours, const RefImage& ref, const std::string& what, bool exactMaps) {
    ASSERT_TRUE(ref.Ok) << what;
    EXPECT_EQ(ours.Width(), ref.Width) << what;
    EXPECT_EQ(ours.Height(), ref.Height) << what;
    std::vector<uint32_t> global = MapOf(ours.Header().ColorMap());
    if (exactMaps) {
        EXPECT_EQ(global, ref.GlobalMap) << what;
    } else {
        size_t n = std::min(global.size(), ref.GlobalMap.size());
        EXPECT_EQ(global, std::vector<uint32_t>(ref.GlobalMap.begin(), ref.GlobalMap.begin() + n)) << what;
    }
    checkedFrames += ref.Frames.size();
    std::vector<TGIFSubImage*> frames = NonEmptyFrames(ours);
    ASSERT_EQ(frames.size(), ref.Frames.size()) << what;
    for (size_t i = 0; i < frames.size(); ++i) {
        const RefFrame& r = ref.Frames[i];
        TGIFSubImage& f = *frames[i];
        std::string where = what + " frame " + std::to_string(i);
        EXPECT_EQ(f.Left(), r.Left) << where;
        EXPECT_EQ(f.Top(), r.Top) << where;
        ASSERT_EQ(f.Width(), r.Width) << where;
        ASSERT_EQ(f.Height(), r.Height) << where;
        EXPECT_TRUE(std::equal(r.Pixels.begin(), r.Pixels.end(), f.Data())) << where;
        std::vector<uint32_t> local = MapOf(f.ColorMap());
        if (exactMaps) {
            EXPECT_EQ(local, r.LocalMap) << where;
        }
        TGIFGraphicControlExtension* gce = f.GraphicControlExtension();
        if (r.Disposal >= 0) {
            ++checkedExtensions;
            ASSERT_NE(gce, nullptr) << where;
            EXPECT_EQ(gce->Disposal(), r.Disposal) << where;
            EXPECT_EQ(gce->Delay(), r.Delay) << where;
            EXPECT_EQ(f.TransparentIndex(), r.TransparentIndex) << where;
        }
    }
}

} // namespace

TEST(GifConformance, DecodesEveryTestPictureLikeTheReference) {
    if (!HaveReference()) GTEST_SKIP() << "giflib not installed";
    checkedFrames = checkedExtensions = 0;
    std::vector<std::string> files = TestGifs();
    ASSERT_GE(files.size(), 9u);
    for (const std::string& file : files) {
        std::vector<uint8_t> bytes = ReadFile(file);
        TGIFImage image;
        Warnings warnings;
        warnings.Attach(image);
        Load(image, bytes);
        EXPECT_TRUE(warnings.Messages.empty()) << file << ": " << warnings.Messages.front();
        ExpectSameAsReference(image, ReferenceDecode(bytes), file, true);
    }
    // The set holds animations with graphic control extensions, not only still pictures.
    EXPECT_GE(checkedFrames, 20u);
    EXPECT_GE(checkedExtensions, 10u);
}

TEST(GifConformance, WhatWeWriteDecodesIdenticallyInTheReference) {
    if (!HaveReference()) GTEST_SKIP() << "giflib not installed";
    for (const std::string& file : TestGifs()) {
        for (TGIFCompression compression : {gcLZW, gcRLE}) {
            TGIFImage image;
            Load(image, ReadFile(file));
            image.SetCompression(compression);
            std::vector<uint8_t> saved = Save(image);
            std::string what = file + (compression == gcRLE ? " (RLE)" : " (LZW)");
            ExpectSameAsReference(image, ReferenceDecode(saved), what, false);
            TGIFImage again;
            Load(again, saved);
            ExpectSameAsReference(again, ReferenceDecode(saved), what + " reloaded", false);
        }
    }
}

TEST(GifConformance, LargeRandomAndRunHeavyFramesSurviveBothEncoders) {
    if (!HaveReference()) GTEST_SKIP() << "giflib not installed";
    // Long runs cross the run-length encoder's table limits; noise fills the LZW table many times.
    const int w = 640, h = 480;
    uint32_t seed = 12345;
    for (int pattern = 0; pattern < 3; ++pattern) {
        TGIFImage image;
        auto frame = std::make_unique<TGIFSubImage>(&image);
        for (int i = 0; i < 256; ++i)
            frame->ColorMap().Add(
                RGB(static_cast<BYTE>(i), static_cast<BYTE>(255 - i), static_cast<BYTE>(i / 2)));
        frame->SetBounds(0, 0, w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                seed = seed * 1103515245u + 12345u;
                uint8_t v = pattern == 0   ? static_cast<uint8_t>(seed >> 24)
                            : pattern == 1 ? static_cast<uint8_t>((x / 97 + y / 5) % 7)
                                           : static_cast<uint8_t>((seed >> 28) == 0 ? seed >> 16 : 3);
                frame->ScanLine(y)[x] = v;
            }
        frame->SetInterlaced(pattern == 1);
        image.Add(std::move(frame));
        for (TGIFCompression compression : {gcLZW, gcRLE}) {
            image.SetCompression(compression);
            std::vector<uint8_t> saved = Save(image);
            ExpectSameAsReference(
                image, ReferenceDecode(saved),
                "pattern " + std::to_string(pattern) + " compression " + std::to_string(compression), false);
        }
    }
}

TEST(GifConformance, ImageMagickReadsWhatWeWrite) {
    if (!HaveImageMagick()) GTEST_SKIP() << "ImageMagick not installed";
    for (TGIFCompression compression : {gcLZW, gcRLE}) {
        TGIFImage image;
        Load(image, ReadFile(std::string(PW_TEST_DATA_DIR) + "/data/plasma_200.gif"));
        image.SetCompression(compression);
        std::vector<std::vector<uint8_t>> frames = ImageMagickFrames(Save(image), ".gif", "", "rgb");
        ASSERT_EQ(frames.size(), 1u);
        TGIFSubImage& f = *image.Images()[0];
        ASSERT_EQ(frames[0].size(), static_cast<size_t>(f.Width()) * f.Height() * 3);
        for (int i = 0; i < f.Width() * f.Height(); ++i) {
            TGIFRGB c = f.ColorOf(f.Data()[i]);
            ASSERT_EQ(frames[0][i * 3], c.Red) << i;
            ASSERT_EQ(frames[0][i * 3 + 1], c.Green) << i;
            ASSERT_EQ(frames[0][i * 3 + 2], c.Blue) << i;
        }
    }
}

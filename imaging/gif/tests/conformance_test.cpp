// Every test picture decodes exactly as the reference library decodes it, and what we write
// decodes back to the same frames in the reference library and in ImageMagick. Inputs kept from
// fuzzing go through the fuzzing entry again.
#include "imaging/gif/fuzz/fuzz_entry.h"
#include "imaging/gif/tests/gif_test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace gif_test;

namespace {

size_t checkedFrames = 0;
size_t checkedExtensions = 0;

std::vector<uint32_t> MapOf(const TGIFColorMap& map) {
    std::vector<uint32_t> out;
    for (int i = 0; i < map.Count(); ++i)
        out.push_back((map.Data()[i].Red << 16) | (map.Data()[i].Green << 8) | map.Data()[i].Blue);
    return out;
}

// With exactMaps the colour tables must be the reference's; else ours may be a prefix of them.
void ExpectSameAsReference(TGIFImage& ours, const RefImage& ref, const std::string& what, bool exactMaps) {
    ASSERT_TRUE(ref.Ok) << what;
    EXPECT_EQ(ours.Width(), ref.Width) << what;
    EXPECT_EQ(ours.Height(), ref.Height) << what;
    const std::vector<uint32_t> global = MapOf(ours.Header().ColorMap());
    const size_t n = exactMaps ? ref.GlobalMap.size() : std::min(global.size(), ref.GlobalMap.size());
    EXPECT_EQ(global, std::vector<uint32_t>(ref.GlobalMap.begin(), ref.GlobalMap.begin() + n)) << what;
    checkedFrames += ref.Frames.size();
    std::vector<TGIFSubImage*> frames;
    for (int i = 0; i < ours.Images().Count(); ++i)
        if (!ours.Images()[i]->Empty()) frames.push_back(ours.Images()[i]);
    ASSERT_EQ(frames.size(), ref.Frames.size()) << what;
    for (size_t i = 0; i < frames.size(); ++i) {
        const RefFrame& r = ref.Frames[i];
        TGIFSubImage& f = *frames[i];
        const std::string where = what + " frame " + std::to_string(i);
        EXPECT_EQ(f.Left(), r.Left) << where;
        EXPECT_EQ(f.Top(), r.Top) << where;
        ASSERT_EQ(f.Width(), r.Width) << where;
        ASSERT_EQ(f.Height(), r.Height) << where;
        EXPECT_EQ(Pixels(f), r.Pixels) << where;
        EXPECT_TRUE(!exactMaps || MapOf(f.ColorMap()) == r.LocalMap) << where;
        if (r.Disposal < 0) continue;
        ++checkedExtensions;
        TGIFGraphicControlExtension* gce = f.GraphicControlExtension();
        ASSERT_NE(gce, nullptr) << where;
        EXPECT_EQ(gce->Disposal(), r.Disposal) << where;
        EXPECT_EQ(gce->Delay(), r.Delay) << where;
        EXPECT_EQ(f.TransparentIndex(), r.TransparentIndex) << where;
    }
}

} // namespace

TEST(GifConformance, DecodesEveryTestPictureLikeTheReference) {
    if (!HaveReference()) GTEST_SKIP() << "giflib not installed";
    checkedFrames = checkedExtensions = 0;
    const std::vector<std::string> files = TestGifs();
    ASSERT_GE(files.size(), 9u);
    for (const std::string& file : files) {
        const Bytes bytes = ReadFile(file);
        TGIFImage image;
        EXPECT_EQ(LoadWarnings(image, bytes), std::vector<std::string>{}) << file;
        ExpectSameAsReference(image, ReferenceDecode(bytes), file, true);
    }
    // The set holds animations with graphic control extensions, not only still pictures.
    EXPECT_GE(checkedFrames, 20u);
    EXPECT_GE(checkedExtensions, 10u);
}

TEST(GifConformance, WhatWeWriteDecodesIdenticallyInTheReference) {
    if (!HaveReference()) GTEST_SKIP() << "giflib not installed";
    for (const std::string& file : TestGifs())
        for (TGIFCompression compression : {gcLZW, gcRLE}) {
            TGIFImage image;
            Load(image, ReadFile(file));
            image.SetCompression(compression);
            const Bytes saved = Save(image);
            const std::string what = file + (compression == gcRLE ? " (RLE)" : " (LZW)");
            ExpectSameAsReference(image, ReferenceDecode(saved), what, false);
            TGIFImage again;
            Load(again, saved);
            ExpectSameAsReference(again, ReferenceDecode(saved), what + " reloaded", false);
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
                frame->ScanLine(y)[x] = pattern == 0 ? static_cast<uint8_t>(seed >> 24)
                                        : pattern == 1
                                            ? static_cast<uint8_t>((x / 97 + y / 5) % 7)
                                            : static_cast<uint8_t>((seed >> 28) == 0 ? seed >> 16 : 3);
            }
        frame->SetInterlaced(pattern == 1);
        image.Add(std::move(frame));
        for (TGIFCompression compression : {gcLZW, gcRLE}) {
            image.SetCompression(compression);
            ExpectSameAsReference(
                image, ReferenceDecode(Save(image)),
                "pattern " + std::to_string(pattern) + " compression " + std::to_string(compression), false);
        }
    }
}

TEST(GifConformance, ImageMagickReadsWhatWeWrite) {
    if (!HaveImageMagick()) GTEST_SKIP() << "ImageMagick not installed";
    for (TGIFCompression compression : {gcLZW, gcRLE}) {
        TGIFImage image;
        Load(image, ReadFile(DataFile("plasma_200.gif")));
        image.SetCompression(compression);
        const std::vector<Bytes> frames = ImageMagickFrames(Save(image), ".gif", "", "rgb");
        ASSERT_EQ(frames.size(), 1u);
        TGIFSubImage& f = *image.Images()[0];
        Bytes expected;
        for (uint8_t index : Pixels(f)) {
            const TGIFRGB c = f.ColorOf(index);
            expected.insert(expected.end(), {c.Red, c.Green, c.Blue});
        }
        EXPECT_EQ(frames[0], expected) << compression;
    }
}

TEST(GifConformance, KeptFuzzInputsLoadOrFailCleanly) {
    std::vector<std::string> files = TestGifs();
    std::error_code ec;
    for (const auto& entry :
         std::filesystem::directory_iterator(std::string(PW_SOURCE_DIR) + "/imaging/gif/fuzz/corpus", ec))
        files.push_back(entry.path().string());
    ASSERT_GT(files.size(), 10u);
    for (const std::string& file : files) {
        const Bytes bytes = ReadFile(file);
        SCOPED_TRACE(file);
        gif::FuzzLoadFromBytes(bytes.data(), bytes.size());
        // Every prefix of a small input too: truncation anywhere must fail cleanly.
        if (bytes.size() <= 4096)
            for (size_t n = 0; n < bytes.size(); n += 7)
                gif::FuzzLoadFromBytes(bytes.data(), n);
    }
}

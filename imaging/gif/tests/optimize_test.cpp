// Optimisation: colour tables, transparency, cropping and cleanup of extensions.
#include "imaging/gif/tests/gif_test_support.h"

#include <gtest/gtest.h>

using namespace gif_test;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255);
const std::vector<COLORREF> kBlackWhite = {RGB(0, 0, 0), RGB(255, 255, 255)};

void AddGlobalColours(TGIFImage& image, const std::vector<COLORREF>& colours) {
    for (COLORREF c : colours)
        image.Header().ColorMap().Add(c);
}

} // namespace

TEST(GifOptimize, ColourTablesAreSortedByUseAndTrimmed) {
    TGIFImage image;
    TGIFSubImage* f =
        AddFrame(image, 0, 0, 4, 2, {kRed, kGreen, kBlue, RGB(9, 9, 9)}, {2, 2, 2, 1, 1, 2, 1, 2});
    // Already in order of use: unchanged.
    TGIFSubImage* s = AddFrame(image, 0, 0, 3, 1, {kRed, kGreen}, {0, 0, 1});
    image.Optimize(ooColorMaps, crNone, dtNearest, 8);
    EXPECT_EQ(f->ColorMap().Count(), 2);
    EXPECT_EQ(f->ColorMap().Colors(0), kBlue);
    EXPECT_EQ(f->ColorMap().Colors(1), kGreen);
    EXPECT_EQ(Pixels(*f), (Bytes{0, 0, 0, 1, 1, 0, 1, 0}));
    EXPECT_TRUE(f->ColorMap().Optimized());
    EXPECT_EQ(s->ColorMap().Count(), 2);
    EXPECT_EQ(s->ColorMap().Colors(0), kRed);
    EXPECT_EQ(Pixels(*s), (Bytes{0, 0, 1}));

    // The global table follows the frames that use it, and keeps the background colour.
    TGIFImage global;
    AddGlobalColours(global, {kRed, kGreen, kBlue});
    global.Header().SetBackgroundColorIndex(0);
    TGIFSubImage* g = AddFrame(global, 0, 0, 3, 1, {}, {2, 2, 1}, 1);
    global.Optimize(ooColorMaps, crNone, dtNearest, 8);
    EXPECT_EQ(global.Header().ColorMap().Count(), 3);
    EXPECT_EQ(global.Header().ColorMap().Colors(0), kBlue);
    EXPECT_EQ(Pixels(*g), (Bytes{0, 0, 1}));
    EXPECT_EQ(g->TransparentIndex(), 1);
    EXPECT_EQ(global.Header().ColorMap().Colors(global.Header().BackgroundColorIndex()), kRed);
}

TEST(GifOptimize, TransparentFramesAreCroppedOrDropped) {
    TGIFImage image;
    Bytes first(16, 1);
    first[0] = 0; // keep the index in use
    AddFrame(image, 0, 0, 4, 4, kBlackWhite, first, 0, 1, 10);
    AddFrame(image, 0, 0, 4, 4, kBlackWhite, {0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0}, 0, 1, 20);
    AddFrame(image, 0, 0, 4, 4, kBlackWhite, Bytes(16, 0), 0, 1, 30);
    image.Optimize(ooCropTransparent, crNone, dtNearest, 8);
    ASSERT_EQ(image.Images().Count(), 2);
    const TGIFSubImage& cropped = *image.Images()[1];
    EXPECT_EQ((std::vector<int>{cropped.Left(), cropped.Top(), cropped.Width(), cropped.Height()}),
              (std::vector<int>{1, 1, 2, 2}));
    EXPECT_EQ(Pixels(cropped), (Bytes{1, 1, 0, 1}));
    // The empty frame's delay went to the one before it.
    EXPECT_EQ(image.Images()[1]->GraphicControlExtension()->Delay(), 50);
}

TEST(GifOptimize, CleanupDropsWhatHasNoEffect) {
    TGIFImage image;
    TGIFSubImage* a = AddFrame(image, 0, 0, 2, 1, kBlackWhite, {0, 1});
    a->Extensions().Add(std::make_unique<TGIFAppExtNSLoop>(a));
    auto comment = std::make_unique<TGIFCommentExtension>(a);
    comment->Text = {"made here"};
    a->Extensions().Add(std::move(comment));
    auto noEffect = std::make_unique<TGIFGraphicControlExtension>(a); // opaque, no delay, no disposal
    a->Extensions().Add(std::move(noEffect));
    TGIFSubImage* b = AddFrame(image, 0, 0, 2, 1, kBlackWhite, {1, 1}, 0, 1, 10);
    b->Extensions().Add(std::make_unique<TGIFAppExtNSLoop>(b));
    image.Optimize(ooCleanup, crNone, dtNearest, 8);
    ASSERT_EQ(a->Extensions().Count(), 1);
    EXPECT_NE(dynamic_cast<TGIFAppExtNSLoop*>(a->Extensions()[0]), nullptr);
    ASSERT_EQ(b->Extensions().Count(), 1);
    EXPECT_FALSE(b->Transparent()); // index 0 does not occur
    EXPECT_EQ(b->GraphicControlExtension()->Delay(), 10);

    // Without cleanup, a custom palette is refused when colours are to be reduced.
    EXPECT_EQ(
        ThrownMessage<Exception>([&] { image.Optimize(ooReduceColors, crCustomPalette, dtNearest, 8); }),
        "Invalid reduction method");
    EXPECT_EQ(ThrownMessage<Exception>(
                  [&] { image.Optimize(ooReduceColors | ooCleanup, crCustomPalette, dtNearest, 8); }),
              "");
}

TEST(GifOptimize, PixelsRepeatingThePreviousFrameBecomeTransparent) {
    TGIFImage image;
    AddGlobalColours(image, {RGB(10, 10, 10), RGB(20, 20, 20), RGB(30, 30, 30)});
    // Pixel value 7 lies past the table: it shows colour 0, so it matches a 0 before it.
    TGIFSubImage* a = AddFrame(image, 0, 0, 4, 1, {}, {0, 1, 2, 7});
    TGIFSubImage* b = AddFrame(image, 1, 0, 3, 1, {}, {1, 0, 0});
    image.Optimize(ooMatchPrevious, crNone, dtNearest, 8);
    ASSERT_TRUE(b->Transparent());
    EXPECT_EQ(b->TransparentIndex(), 3); // black added to the global table
    EXPECT_EQ(image.Header().ColorMap().Colors(3), RGB(0, 0, 0));
    EXPECT_EQ(Pixels(*b), (Bytes{3, 0, 3}));
    EXPECT_EQ(Pixels(*a), (Bytes{0, 1, 2, 7}));

    // Another frame's transparent index is reused only when this frame does not show it.
    TGIFImage reuse;
    AddGlobalColours(reuse, {RGB(0, 0, 0), RGB(50, 0, 0), RGB(100, 0, 0), RGB(150, 0, 0)});
    AddFrame(reuse, 0, 0, 2, 1, {}, {0, 1}, 3, 1);
    TGIFSubImage* q = AddFrame(reuse, 0, 0, 2, 1, {}, {0, 2});
    TGIFSubImage* r = AddFrame(reuse, 0, 0, 3, 1, {}, {0, 1, 3});
    reuse.Optimize(ooMatchPrevious, crNone, dtNearest, 8);
    EXPECT_EQ(q->TransparentIndex(), 3);
    EXPECT_EQ(Pixels(*q), (Bytes{3, 2}));
    EXPECT_NE(r->TransparentIndex(), 3); // r shows colour 3 itself
    EXPECT_EQ(r->Data()[2], 3);
}

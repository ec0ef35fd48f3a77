// Optimisation: colour tables, transparency, cropping and cleanup of extensions.
#include "imaging/gif/gif_exception.h"
#include "imaging/gif/tests/gif_test_support.h"

#include <gtest/gtest.h>

using namespace gif_test;

namespace {

// A frame with its own table and the given pixels.
TGIFSubImage* AddFrame(TGIFImage& image, int left, int top, int w, int h, const std::vector<COLORREF>& map,
                       const std::vector<uint8_t>& pixels) {
    auto frame = std::make_unique<TGIFSubImage>(&image);
    for (COLORREF c : map)
        frame->ColorMap().Add(c);
    frame->SetBounds(left, top, w, h);
    std::copy(pixels.begin(), pixels.end(), frame->Data());
    TGIFSubImage* raw = frame.get();
    image.Add(std::move(frame));
    return raw;
}

TGIFGraphicControlExtension* AddGce(TGIFSubImage* frame, int disposal, int delay, int transparent = -1) {
    auto gce = std::make_unique<TGIFGraphicControlExtension>(frame);
    TGIFGraphicControlExtension* raw = gce.get();
    frame->Extensions().Add(std::move(gce));
    raw->SetDisposal(disposal);
    raw->SetDelay(static_cast<uint16_t>(delay));
    if (transparent >= 0) {
        raw->SetTransparentColorIndex(transparent);
        raw->SetTransparent(true);
    }
    return raw;
}

std::vector<uint8_t> Pixels(TGIFSubImage* f) {
    return std::vector<uint8_t>(f->Data(), f->Data() + f->DataSize());
}

} // namespace

TEST(GifOptimize, ColourTablesAreSortedByUseAndTrimmed) {
    TGIFImage image;
    const COLORREF red = RGB(255, 0, 0), green = RGB(0, 255, 0), blue = RGB(0, 0, 255), grey = RGB(9, 9, 9);
    TGIFSubImage* f = AddFrame(image, 0, 0, 4, 2, {red, green, blue, grey}, {2, 2, 2, 1, 1, 2, 1, 2});
    image.Optimize(ooColorMaps, crNone, dtNearest, 8);
    EXPECT_EQ(f->ColorMap().Count(), 2);
    EXPECT_EQ(f->ColorMap().Colors(0), blue);
    EXPECT_EQ(f->ColorMap().Colors(1), green);
    EXPECT_EQ(Pixels(f), (std::vector<uint8_t>{0, 0, 0, 1, 1, 0, 1, 0}));
    EXPECT_TRUE(f->ColorMap().Optimized());

    // Already in order of use: unchanged.
    TGIFImage sorted;
    TGIFSubImage* s = AddFrame(sorted, 0, 0, 3, 1, {red, green}, {0, 0, 1});
    sorted.Optimize(ooColorMaps, crNone, dtNearest, 8);
    EXPECT_EQ(s->ColorMap().Count(), 2);
    EXPECT_EQ(s->ColorMap().Colors(0), red);
    EXPECT_EQ(Pixels(s), (std::vector<uint8_t>{0, 0, 1}));

    // The global table follows the frames that use it, and keeps the background colour.
    TGIFImage global;
    global.Header().ColorMap().Add(red);
    global.Header().ColorMap().Add(green);
    global.Header().ColorMap().Add(blue);
    global.Header().SetBackgroundColorIndex(0);
    TGIFSubImage* g = AddFrame(global, 0, 0, 3, 1, {}, {2, 2, 1});
    AddGce(g, 0, 0, 1);
    global.Optimize(ooColorMaps, crNone, dtNearest, 8);
    EXPECT_EQ(global.Header().ColorMap().Count(), 3);
    EXPECT_EQ(global.Header().ColorMap().Colors(0), blue);
    EXPECT_EQ(Pixels(g), (std::vector<uint8_t>{0, 0, 1}));
    EXPECT_EQ(g->TransparentIndex(), 1);
    EXPECT_EQ(global.Header().ColorMap().Colors(global.Header().BackgroundColorIndex()), red);
}

TEST(GifOptimize, TransparentFramesAreCroppedOrDropped) {
    TGIFImage image;
    const std::vector<COLORREF> map = {RGB(0, 0, 0), RGB(255, 255, 255)};
    TGIFSubImage* a = AddFrame(image, 0, 0, 4, 4, map, std::vector<uint8_t>(16, 1));
    AddGce(a, 1, 10, 0);
    a->SetPixels(0, 0, 0); // keep the index in use
    TGIFSubImage* b = AddFrame(image, 0, 0, 4, 4, map, {0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0});
    AddGce(b, 1, 20, 0);
    TGIFSubImage* c = AddFrame(image, 0, 0, 4, 4, map, std::vector<uint8_t>(16, 0));
    AddGce(c, 1, 30, 0);
    image.Optimize(ooCropTransparent, crNone, dtNearest, 8);
    ASSERT_EQ(image.Images().Count(), 2);
    TGIFSubImage* cropped = image.Images()[1];
    EXPECT_EQ(cropped->Left(), 1);
    EXPECT_EQ(cropped->Top(), 1);
    EXPECT_EQ(cropped->Width(), 2);
    EXPECT_EQ(cropped->Height(), 2);
    EXPECT_EQ(Pixels(cropped), (std::vector<uint8_t>{1, 1, 0, 1}));
    // The empty frame's delay went to the one before it.
    EXPECT_EQ(cropped->GraphicControlExtension()->Delay(), 50);
}

TEST(GifOptimize, CleanupDropsWhatHasNoEffect) {
    TGIFImage image;
    const std::vector<COLORREF> map = {RGB(0, 0, 0), RGB(255, 255, 255)};
    TGIFSubImage* a = AddFrame(image, 0, 0, 2, 1, map, {0, 1});
    auto loop = std::make_unique<TGIFAppExtNSLoop>(a);
    a->Extensions().Add(std::move(loop));
    auto comment = std::make_unique<TGIFCommentExtension>(a);
    comment->Text = {"made here"};
    a->Extensions().Add(std::move(comment));
    AddGce(a, 0, 0); // opaque, no delay, no disposal: no effect
    TGIFSubImage* b = AddFrame(image, 0, 0, 2, 1, map, {1, 1});
    b->Extensions().Add(std::make_unique<TGIFAppExtNSLoop>(b));
    AddGce(b, 1, 10, 0); // index 0 does not occur: not transparent after cleanup
    image.Optimize(ooCleanup, crNone, dtNearest, 8);
    ASSERT_EQ(a->Extensions().Count(), 1);
    EXPECT_NE(dynamic_cast<TGIFAppExtNSLoop*>(a->Extensions()[0]), nullptr);
    EXPECT_EQ(a->GraphicControlExtension(), nullptr);
    ASSERT_EQ(b->Extensions().Count(), 1);
    EXPECT_FALSE(b->Transparent());
    EXPECT_EQ(b->GraphicControlExtension()->Delay(), 10);

    // Without cleanup, a custom palette is refused when colours are to be reduced.
    try {
        image.Optimize(ooReduceColors, crCustomPalette, dtNearest, 8);
        FAIL();
    } catch (const GIFException& e) {
        EXPECT_EQ(e.Message(), "Invalid reduction method");
    }
    EXPECT_NO_THROW(image.Optimize(ooReduceColors | ooCleanup, crCustomPalette, dtNearest, 8));
}

TEST(GifOptimize, PixelsRepeatingThePreviousFrameBecomeTransparent) {
    TGIFImage image;
    image.Header().ColorMap().Add(RGB(10, 10, 10));
    image.Header().ColorMap().Add(RGB(20, 20, 20));
    image.Header().ColorMap().Add(RGB(30, 30, 30));
    // Pixel value 7 lies past the table: it shows colour 0, so it matches a 0 before it.
    TGIFSubImage* a = AddFrame(image, 0, 0, 4, 1, {}, {0, 1, 2, 7});
    TGIFSubImage* b = AddFrame(image, 1, 0, 3, 1, {}, {1, 0, 0});
    image.Optimize(ooMatchPrevious, crNone, dtNearest, 8);
    ASSERT_TRUE(b->Transparent());
    const int t = b->TransparentIndex();
    EXPECT_EQ(t, 3); // black added to the global table
    EXPECT_EQ(image.Header().ColorMap().Colors(3), RGB(0, 0, 0));
    EXPECT_EQ(Pixels(b), (std::vector<uint8_t>{static_cast<uint8_t>(t), 0, static_cast<uint8_t>(t)}));
    EXPECT_EQ(Pixels(a), (std::vector<uint8_t>{0, 1, 2, 7}));

    // Another frame's transparent index is reused only when this frame does not show it.
    TGIFImage reuse;
    for (int i = 0; i < 4; ++i)
        reuse.Header().ColorMap().Add(RGB(static_cast<BYTE>(i * 50), 0, 0));
    TGIFSubImage* p = AddFrame(reuse, 0, 0, 2, 1, {}, {0, 1});
    AddGce(p, 1, 0, 3);
    TGIFSubImage* q = AddFrame(reuse, 0, 0, 2, 1, {}, {0, 2});
    TGIFSubImage* r = AddFrame(reuse, 0, 0, 3, 1, {}, {0, 1, 3});
    reuse.Optimize(ooMatchPrevious, crNone, dtNearest, 8);
    EXPECT_EQ(q->TransparentIndex(), 3);
    EXPECT_EQ(Pixels(q), (std::vector<uint8_t>{3, 2}));
    EXPECT_NE(r->TransparentIndex(), 3); // r shows colour 3 itself
    EXPECT_EQ(r->Data()[2], 3);
}

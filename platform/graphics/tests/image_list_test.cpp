#include <gtest/gtest.h>

#include "platform/gdi/syscolors.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/graphics_errors.h"
#include "platform/graphics/image_list.h"
#include "platform/graphics/tests/graphics_test_support.h"
#include "tests/support/thrown_message.h"

namespace {

using graphics_test::Colours, graphics_test::Fill;

// Three 12 x 12 frames side by side on a fuchsia background: a red, a lime and a blue 4 x 4 square
// at (4, 4) of each frame.
void PaintStrip(TBitmap& strip) {
    strip.SetSize(36, 12);
    strip.Canvas().Brush().SetColor(clFuchsia);
    strip.Canvas().FillRect(Rect(0, 0, 36, 12));
    const TColor colours[] = {clRed, clLime, clBlue};
    for (int i = 0; i < 3; ++i) {
        strip.Canvas().Brush().SetColor(colours[i]);
        strip.Canvas().FillRect(Rect(12 * i + 4, 4, 12 * i + 8, 8));
    }
}

// A yellow (or other) 20 x 20 target.
struct Target : graphics_test::Target {
    explicit Target(TColor background = clYellow) : graphics_test::Target(20, 20, background) {}
};

} // namespace

TEST(ImageList, MaskColourLeavesTheBackgroundOrPaintsBkColor) {
    TImageList list(12, 12);
    TBitmap strip;
    PaintStrip(strip);
    EXPECT_EQ(list.AddMasked(&strip, clFuchsia), 0);
    EXPECT_EQ(list.Count(), 3);

    Target t;
    list.Draw(t.Canvas(), 2, 2, 1);
    EXPECT_EQ(t.At(2, 2), clYellow); // fuchsia left out
    EXPECT_EQ(Colours(t.bitmap, {{6, 6}, {9, 9}, {10, 10}}), (std::vector<TColor>{clLime, clLime, clYellow}));

    // A background colour fills the transparent part, as the animation's $FF00FF does.
    list.SetBkColor(clAqua);
    Target u;
    list.Draw(u.Canvas(), 0, 0, 2);
    EXPECT_EQ(u.At(0, 0), clAqua);
    EXPECT_EQ(u.At(5, 5), clBlue);
    EXPECT_EQ(u.At(12, 12), clYellow); // outside the image
    // dsTransparent ignores it.
    Target v;
    list.Draw(v.Canvas(), 0, 0, 2, dsTransparent, itImage);
    EXPECT_EQ(v.At(0, 0), clYellow);
    EXPECT_EQ(v.At(5, 5), clBlue);
    // itMask draws the mask: white where transparent.
    list.Draw(v.Canvas(), 0, 0, 0, dsNormal, itMask);
    EXPECT_EQ(v.At(0, 0), clWhite);
    EXPECT_EQ(v.At(5, 5), clBlack);
}

TEST(ImageList, ExplicitMasksAndUnmaskedLists) {
    TImageList list(12, 12);
    TBitmap strip;
    PaintStrip(strip);
    TBitmap mask(12, 12); // white: transparent, apart from a black frame of the top row
    mask.Canvas().Brush().SetColor(clBlack);
    mask.Canvas().FillRect(Rect(0, 0, 12, 1));
    EXPECT_EQ(list.Add(&strip, &mask), 0);
    EXPECT_EQ(list.Count(), 3);
    Target t;
    list.Draw(t.Canvas(), 0, 0, 0);
    EXPECT_EQ(t.At(0, 0), clFuchsia);
    EXPECT_EQ(t.At(5, 5), clYellow); // the mask wins over the colours
    // No mask given: opaque.
    list.Add(&strip, nullptr);
    Target u;
    list.Draw(u.Canvas(), 0, 0, 3);
    EXPECT_EQ(u.At(0, 0), clFuchsia);

    list.SetMasked(false); // clears
    EXPECT_EQ(list.Count(), 0);
    list.AddMasked(&strip, clFuchsia);
    Target w;
    list.Draw(w.Canvas(), 0, 0, 0);
    EXPECT_EQ(w.At(0, 0), clFuchsia);

    // An image narrower than the list's width is still one image.
    TBitmap small(5, 5);
    TImageList wide(12, 12);
    EXPECT_EQ(wide.AddMasked(&small, clWhite), 0);
    EXPECT_EQ(wide.Count(), 1);
}

TEST(ImageList, DisabledImagesAreEmbossedInButtonColours) {
    TImageList list(12, 12);
    TBitmap strip;
    PaintStrip(strip);
    list.AddMasked(&strip, clFuchsia);
    Target t(clGray);
    list.Draw(t.Canvas(), 0, 0, 0, false);
    const TColor shadow = static_cast<TColor>(GetSysColor(COLOR_BTNSHADOW));
    const TColor light = static_cast<TColor>(GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(t.At(4, 4), shadow);
    EXPECT_EQ(t.At(7, 7), shadow);
    EXPECT_EQ(t.At(8, 8), light); // the highlight, one pixel down and right
    EXPECT_EQ(Colours(t.bitmap, {{8, 5}, {8, 4}, {3, 3}, {9, 9}}),
              (std::vector<TColor>{light, clGray, clGray, clGray}));
    for (int y = 0; y < 14; ++y)
        for (int x = 0; x < 14; ++x) {
            const TColor c = t.At(x, y);
            ASSERT_TRUE(c == shadow || c == light || c == clGray) << x << "," << y; // no image colour
        }
}

TEST(ImageList, IndexesBitmapsAndChanges) {
    TImageList list(12, 12);
    int changes = 0;
    list.OnChange = [&](TObject*) { ++changes; };
    TBitmap strip;
    PaintStrip(strip);
    list.AddMasked(&strip, clFuchsia);
    EXPECT_EQ(changes, 1);

    TBitmap copy;
    list.GetBitmap(2, &copy);
    EXPECT_EQ(copy.Width(), 12);
    EXPECT_EQ(copy.Canvas().Pixel(0, 0), clWhite); // drawn on white
    EXPECT_EQ(copy.Canvas().Pixel(5, 5), clBlue);

    Target t;
    list.Draw(t.Canvas(), 0, 0, 7); // no such image: nothing drawn
    list.Draw(t.Canvas(), 0, 0, -1);
    EXPECT_EQ(t.At(5, 5), clYellow);
    EXPECT_EQ(testsupport::ThrownMessage<EInvalidOperation>([&] { list.Delete(3); }),
              "Invalid ImageList Index");
    list.Delete(0);
    EXPECT_EQ(list.Count(), 2);
    list.Draw(t.Canvas(), 0, 0, 0);
    EXPECT_EQ(t.At(5, 5), clLime);
    TBitmap one(12, 12);
    Fill(one, clNavy);
    list.Replace(1, &one, nullptr);
    list.Draw(t.Canvas(), 0, 0, 1);
    EXPECT_EQ(t.At(0, 0), clNavy);
    EXPECT_THROW(list.Add(nullptr, nullptr), EInvalidOperation);

    list.SetWidth(16);
    EXPECT_EQ(list.Count(), 0); // a new size empties the list
}

namespace {

TEST(ImageList, ChangeLinksHearEveryChangeUntilTheyLeave) {
    auto list = std::make_unique<TImageList>(12, 12);
    int heardA = 0, heardB = 0;
    TCustomImageList* sender = nullptr;
    TChangeLink a, b;
    a.OnChange = [&](TObject* s) {
        ++heardA;
        sender = dynamic_cast<TCustomImageList*>(s);
    };
    b.OnChange = [&](TObject*) { ++heardB; };
    list->RegisterChanges(&a);
    list->RegisterChanges(&a);
    list->RegisterChanges(&b);
    TBitmap frames;
    PaintStrip(frames);
    list->AddMasked(&frames, clFuchsia);
    EXPECT_EQ(heardA, 1);
    EXPECT_EQ(heardB, 1);
    EXPECT_EQ(sender, list.get());
    list->UnRegisterChanges(&b);
    EXPECT_EQ(b.Sender(), nullptr);
    list->Delete(0);
    EXPECT_EQ(heardA, 2);
    EXPECT_EQ(heardB, 1);
    {
        // A link freed first leaves the list.
        TChangeLink c;
        list->RegisterChanges(&c);
    }
    list->Clear();
    EXPECT_EQ(heardA, 3);
    // A list freed first leaves its links without a sender.
    list.reset();
    EXPECT_EQ(a.Sender(), nullptr);
}

} // namespace

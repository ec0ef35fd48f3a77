#include <gtest/gtest.h>

#include "bars/core/item_glyph.h"
#include "platform/gdi/bitmaps.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/shapes.h"
#include "platform/gdi/syscolors.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"
#include "platform/graphics/image_list.h"

namespace {

// A 12 x 12 target on the button face, and a 4 x 4 picture: fuchsia (transparent, from its
// bottom-left pixel) with a 2 x 2 square of Colour at (1, 1).
class GlyphTarget {
public:
    GlyphTarget() {
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateBitmap(12, 12, 1, 32, nullptr);
        old = SelectObject(dc, bitmap);
        glyph.SetSize(4, 4);
        glyph.Canvas().Brush().SetColor(clFuchsia);
        glyph.Canvas().FillRect(TRect(0, 0, 4, 4));
        SetSquare(clRed);
    }
    ~GlyphTarget() {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    void SetSquare(TColor colour) {
        glyph.Canvas().Brush().SetColor(colour);
        glyph.Canvas().FillRect(TRect(1, 1, 3, 3));
    }
    // The picture at (4, 4) of the 12 x 12 target.
    void Draw(bool enabled, bool grey, bool flat, bool hot, bool shadow, TColor fade = clNone) {
        DrawItemGlyph(dc, GetSysColorBrush(COLOR_BTNFACE), RECT{0, 0, 12, 12}, RECT{4, 4, 8, 8}, &glyph,
                      nullptr, -1, enabled, grey, flat, hot, false, false, shadow, false, fade, clFuchsia);
    }
    COLORREF At(int x, int y) { return GetPixel(dc, x, y); }
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ old;
    TBitmap glyph;
};

TEST(ItemGlyph, EachLookRecoloursOnlyThePicturesShowingPixels) {
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    GlyphTarget t;
    t.Draw(true, false, false, false, false);
    EXPECT_EQ(t.At(5, 5), RGB(255, 0, 0));
    EXPECT_EQ(t.At(4, 4), face) << "the transparent colour shows the background";
    EXPECT_EQ(t.At(0, 0), face);

    // Embossed: highlight one pixel down and right, shadow over the shape.
    t.Draw(false, false, false, false, false);
    EXPECT_EQ(t.At(5, 5), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(t.At(7, 7), GetSysColor(COLOR_BTNHIGHLIGHT));
    // The flat style has no highlight.
    t.Draw(false, false, true, false, false);
    EXPECT_EQ(t.At(7, 7), face);

    // Grey: the mean of the channels.
    t.Draw(true, true, false, false, false);
    EXPECT_EQ(t.At(5, 5), RGB(85, 85, 85));
    // Inactive in the flat style: each channel 30 % towards white.
    t.Draw(true, false, true, false, false);
    EXPECT_EQ(t.At(5, 5), RGB(255, 76, 76));
    // Faded: the luminance with red weighing 77, lightened, a quarter of it into the fade colour.
    t.Draw(false, false, false, false, false, clWhite);
    const int grey = 77 * 255 / 256, light = (grey * 192 + 16320) / 256;
    const int mixed = (255 * 192 + light * 64) / 256;
    EXPECT_EQ(t.At(5, 5), RGB(mixed, mixed, mixed));
    t.SetSquare(clBlue);
    t.Draw(false, false, false, false, false, clWhite);
    const int blueLight = (28 * 255 / 256 * 192 + 16320) / 256;
    EXPECT_EQ(t.At(5, 5), RGB((255 * 192 + blueLight * 64) / 256, (255 * 192 + blueLight * 64) / 256,
                              (255 * 192 + blueLight * 64) / 256));
    EXPECT_NE(t.At(5, 5), RGB(mixed, mixed, mixed));

    // Raised when hot: the picture up and left, its shadow down and right.
    t.Draw(true, false, true, true, true);
    EXPECT_EQ(t.At(4, 4), RGB(0, 0, 255));
    EXPECT_EQ(t.At(7, 7), GetSysColor(COLOR_BTNSHADOW));
}

TEST(ItemGlyph, ImageListPicturesAndStretching) {
    GlyphTarget t;
    TImageList list(4, 4);
    list.AddMasked(&t.glyph, clFuchsia);
    // The image drawn on the list background colour, stretched from 4 x 4 to 8 x 8.
    DrawItemGlyph(t.dc, GetSysColorBrush(COLOR_WINDOW), RECT{0, 0, 12, 12}, RECT{2, 2, 10, 10}, nullptr,
                  &list, 0, true, false, false, false, false, false, false, false, clNone, clLime);
    EXPECT_EQ(t.At(4, 4), RGB(255, 0, 0));
    EXPECT_EQ(t.At(7, 7), RGB(255, 0, 0));
    EXPECT_EQ(t.At(3, 3), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(t.At(8, 8), GetSysColor(COLOR_WINDOW));
    // A changed image is drawn as it is now, not as it was drawn before.
    TBitmap blue(4, 4);
    blue.Canvas().Brush().SetColor(clBlue);
    blue.Canvas().FillRect(TRect(0, 0, 4, 4));
    list.Replace(0, &blue, nullptr);
    DrawItemGlyph(t.dc, GetSysColorBrush(COLOR_WINDOW), RECT{0, 0, 12, 12}, RECT{2, 2, 10, 10}, nullptr,
                  &list, 0, true, false, false, false, false, false, false, false, clNone, clLime);
    EXPECT_EQ(t.At(2, 2), RGB(0, 0, 255));
    // The raised look's shadow stays inside the area drawn; the background copied keeps what is beside.
    const RECT all{0, 0, 12, 12};
    FillRect(t.dc, &all, GetSysColorBrush(COLOR_BTNFACE));
    DrawItemGlyph(t.dc, nullptr, RECT{2, 2, 10, 10}, RECT{2, 2, 10, 10}, nullptr, &list, 0, true, false, true,
                  true, false, false, true, true, clNone, clLime);
    EXPECT_EQ(t.At(9, 9), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(t.At(10, 10), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(t.At(2, 2), RGB(0, 0, 255));
    // An index outside the list draws nothing.
    FillRect(t.dc, &all, GetSysColorBrush(COLOR_BTNFACE));
    DrawItemGlyph(t.dc, GetSysColorBrush(COLOR_WINDOW), all, RECT{2, 2, 10, 10}, nullptr, &list, 3, true,
                  false, false, false, false, false, false, true, clNone, clLime);
    EXPECT_EQ(t.At(5, 5), GetSysColor(COLOR_BTNFACE));
}

} // namespace

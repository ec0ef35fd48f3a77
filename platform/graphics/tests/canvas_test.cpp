#include <gtest/gtest.h>

#include "platform/gdi/fonts.h"
#include "platform/gdi/syscolors.h"
#include "platform/gdi/text.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"
#include "platform/graphics/graphics_errors.h"
#include "platform/graphics/tests/graphics_test_support.h"
#include "tests/support/thrown_message.h"

namespace {

using graphics_test::Colours, graphics_test::Fill, graphics_test::Target;

} // namespace

TEST(Canvas, ShapesUseTheCurrentPenAndBrushAfterEachChange) {
    Target t;
    TCanvas& c = t.Canvas();
    c.Brush().SetColor(clRed);
    c.FillRect(Rect(0, 0, 10, 10));
    EXPECT_EQ(Colours(t.bitmap, {{0, 0}, {9, 9}, {10, 10}}), (std::vector<TColor>{clRed, clRed, clWhite}));

    // Changing the pen and brush while they are selected must take effect on the next shape.
    c.Pen().SetColor(clBlue);
    c.Brush().SetColor(clLime);
    c.Rectangle(12, 0, 20, 8);
    EXPECT_EQ(Colours(t.bitmap, {{12, 0}, {19, 7}, {15, 4}}), (std::vector<TColor>{clBlue, clBlue, clLime}));
    c.Pen().SetColor(clYellow);
    c.Brush().SetColor(clNavy);
    c.Rectangle(22, 0, 30, 8);
    EXPECT_EQ(t.At(22, 0), clYellow);
    EXPECT_EQ(t.At(25, 4), clNavy);

    c.Pen().SetStyle(psClear);
    c.Brush().SetStyle(bsClear);
    c.Rectangle(0, 12, 10, 20); // invisible
    EXPECT_EQ(t.Count(Rect(0, 12, 10, 20), clWhite), 80);

    c.Pen().SetStyle(psSolid);
    c.Pen().SetColor(clBlack);
    c.MoveTo(0, 25);
    c.LineTo(10, 25);
    EXPECT_EQ(t.At(0, 25), clBlack);
    EXPECT_EQ(t.At(9, 25), clBlack);
    EXPECT_EQ(t.At(10, 25), clWhite); // the last point is left out
    EXPECT_EQ(c.PenPos(), Point(10, 25));

    const TPoint triangle[] = {{20, 12}, {30, 12}, {20, 22}};
    c.Brush().SetColor(clFuchsia);
    c.Polygon(triangle, 3);
    EXPECT_EQ(t.At(22, 14), clFuchsia);
    EXPECT_EQ(t.At(29, 21), clWhite);
}

TEST(Canvas, XorPenDrawnTwiceRestoresAndNotInverts) {
    Target t(40, 30, static_cast<TColor>(RGB(0x12, 0x34, 0x56)));
    TCanvas& c = t.Canvas();
    c.Pen().SetColor(static_cast<TColor>(RGB(0xFF, 0x00, 0x0F)));
    c.Pen().SetMode(pmXor);
    c.MoveTo(0, 5);
    c.LineTo(30, 5);
    EXPECT_EQ(t.At(3, 5), static_cast<TColor>(RGB(0x12 ^ 0xFF, 0x34, 0x56 ^ 0x0F)));
    c.MoveTo(0, 5);
    c.LineTo(30, 5);
    EXPECT_EQ(t.At(3, 5), static_cast<TColor>(RGB(0x12, 0x34, 0x56)));

    c.Pen().SetMode(pmNot);
    c.MoveTo(0, 8);
    c.LineTo(30, 8);
    EXPECT_EQ(t.At(3, 8), static_cast<TColor>(RGB(0xED, 0xCB, 0xA9)));

    // Back to copying: the mode must not stick to the DC.
    c.Pen().SetMode(pmCopy);
    c.Pen().SetColor(clBlack);
    c.MoveTo(0, 10);
    c.LineTo(30, 10);
    EXPECT_EQ(t.At(3, 10), clBlack);
}

TEST(Canvas, BrushBitmapPaintsItsPattern) {
    TBitmap pattern(2, 2);
    pattern.Canvas().SetPixel(0, 0, clBtnFace);
    pattern.Canvas().SetPixel(1, 1, clBtnFace);
    pattern.Canvas().SetPixel(1, 0, clBtnHighlight);
    pattern.Canvas().SetPixel(0, 1, clBtnHighlight);
    Target t;
    t.Canvas().Brush().SetBitmap(&pattern);
    t.Canvas().FillRect(Rect(4, 4, 12, 12));
    const TColor face = static_cast<TColor>(GetSysColor(COLOR_BTNFACE));
    const TColor light = static_cast<TColor>(GetSysColor(COLOR_BTNHIGHLIGHT));
    for (int y = 4; y < 12; ++y)
        for (int x = 4; x < 12; ++x)
            ASSERT_EQ(t.At(x, y), ((x + y) % 2 == 0) ? face : light) << x << "," << y;
    EXPECT_EQ(t.At(3, 3), clWhite);
    // The pattern stays until it is taken away.
    t.Canvas().Brush().SetColor(clRed);
    t.Canvas().FillRect(Rect(4, 4, 6, 6));
    EXPECT_EQ(t.At(4, 4), face);
    t.Canvas().Brush().SetBitmap(nullptr);
    t.Canvas().Brush().SetColor(clRed);
    t.Canvas().FillRect(Rect(4, 4, 6, 6));
    EXPECT_EQ(t.At(5, 4), clRed);
}

TEST(Canvas, TextColourAndBackgroundFollowFontAndBrush) {
    Target t(120, 60);
    TCanvas& c = t.Canvas();
    c.Font().SetColor(clRed);
    c.Font().SetSize(14);
    const SIZE extent = c.TextExtent("Hello");
    EXPECT_GT(extent.cx, 20);
    EXPECT_GE(extent.cy, 14 * 96 / 72);
    EXPECT_EQ(c.TextWidth("Hello"), extent.cx);
    EXPECT_LT(c.TextWidth("Hel"), extent.cx);

    // Opaque: the text cell is filled with the brush colour.
    c.Brush().SetColor(clYellow);
    c.TextOut(2, 2, "Hello");
    const TRect cell = Rect(2, 2, 2 + extent.cx, 2 + extent.cy);
    EXPECT_GT(t.Count(cell, clRed), 10);
    EXPECT_GT(t.Count(cell, clYellow), 10);
    EXPECT_EQ(t.Count(cell, clWhite), 0);
    EXPECT_EQ(c.PenPos(), Point(2 + extent.cx, 2));

    // Clear brush: the background stays.
    c.Brush().SetStyle(bsClear);
    c.Font().SetColor(clBlue);
    c.TextOut(2, 32, "Hello");
    const TRect cell2 = Rect(2, 32, 2 + extent.cx, 32 + extent.cy);
    EXPECT_GT(t.Count(cell2, clBlue), 10);
    EXPECT_EQ(t.Count(cell2, clYellow), 0);
    EXPECT_GT(t.Count(cell2, clWhite), 10);
}

TEST(Canvas, ItsHandleCarriesTheFontPenAndBrushToDirectCalls) {
    Target t(120, 40);
    TCanvas& c = t.Canvas();
    c.Font().SetColor(clRed);
    c.Font().SetStyle(TFontStyles{fsUnderline});
    c.Brush().SetStyle(bsClear);
    RECT r{2, 2, 118, 38};
    // A control drawing its caption straight on the DC, after changing the canvas font.
    DrawText(c.Handle(), "Link", -1, &r, DT_SINGLELINE | DT_LEFT | DT_TOP);
    EXPECT_GT(t.Count(Rect(2, 2, 60, 38), clRed), 10);
    c.Font().SetColor(clBlue);
    r = RECT{60, 2, 118, 38};
    DrawText(c.Handle(), "Link", -1, &r, DT_SINGLELINE | DT_LEFT | DT_TOP);
    EXPECT_GT(t.Count(Rect(60, 2, 118, 38), clBlue), 10);
    EXPECT_EQ(t.Count(Rect(60, 2, 118, 38), clRed), 0);
}

TEST(Canvas, TextRectClipsMeasuresAndCentres) {
    Target t(100, 30);
    TCanvas& c = t.Canvas();
    c.Font().SetColor(clBlack);
    c.Brush().SetColor(clAqua);
    c.TextRect(Rect(10, 5, 20, 25), 10, 5, "Wide text here");
    EXPECT_EQ(t.At(10, 24), clAqua); // the whole rectangle is filled
    EXPECT_EQ(t.Count(Rect(20, 0, 100, 30), clBlack), 0);
    EXPECT_EQ(t.Count(Rect(20, 0, 100, 30), clAqua), 0);

    std::string text = "Centre";
    TRect measure = Rect(0, 0, 0, 0);
    c.TextRect(measure, text, {tfCalcRect, tfSingleLine});
    EXPECT_EQ(measure.Width(), c.TextWidth("Centre"));
    EXPECT_EQ(t.Count(Rect(30, 0, 100, 30), clWhite), 70 * 30); // measuring drew nothing

    c.Brush().SetStyle(bsClear);
    TRect box = Rect(30, 0, 100, 30);
    c.TextRect(box, text, {tfCenter, tfVerticalCenter, tfSingleLine});
    const int left = 30 + (70 - measure.Width()) / 2;
    EXPECT_EQ(t.Count(Rect(30, 0, left - 1, 30), clBlack), 0);
    EXPECT_GT(t.Count(Rect(left, 0, left + measure.Width(), 30), clBlack), 10);
}

TEST(Canvas, FontSizeAndHeightConvertAtNinetySixDpi) {
    TFont f;
    f.SetSize(9);
    EXPECT_EQ(f.Height(), -12);
    f.SetHeight(-16);
    EXPECT_EQ(f.Size(), 12);
    int changes = 0;
    f.OnChange = [&](TObject*) { ++changes; };
    f.SetStyle({fsBold, fsUnderline});
    f.SetStyle({fsBold, fsUnderline}); // unchanged: no event
    f.SetName("Arial");
    EXPECT_EQ(changes, 2);
    TFont copy;
    copy.Assign(&f);
    EXPECT_EQ(copy.Name(), "Arial");
    EXPECT_TRUE(copy.Style().Contains(fsUnderline));
    EXPECT_EQ(copy.Height(), -16);

    // A handle made from the description describes it back.
    ASSERT_NE(copy.Handle(), nullptr);
    TFont other;
    other.SetHandle(CreateFont(-20, 0, 0, 0, FW_BOLD, 1, 0, 0, 0, 0, 0, 0, 0, "Courier New"));
    EXPECT_EQ(other.Height(), -20);
    EXPECT_TRUE(other.Style().Contains(fsBold));
    EXPECT_TRUE(other.Style().Contains(fsItalic));
    EXPECT_EQ(other.Name(), "Courier New");
}

TEST(Canvas, BrushColourNoneClearsAndAColourMakesItSolid) {
    TBrush b;
    b.SetColor(clNone);
    EXPECT_EQ(b.Style(), bsClear);
    b.SetColor(clRed);
    EXPECT_EQ(b.Style(), bsSolid);
    b.SetStyle(bsCross);
    b.SetColor(clBlue);
    EXPECT_EQ(b.Style(), bsCross);
}

TEST(Canvas, ColorToRgbResolvesSystemColours) {
    EXPECT_EQ(ColorToRGB(clBtnFace), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(ColorToRGB(clHighlight), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(ColorToRGB(clInfoBk), GetSysColor(COLOR_INFOBK));
    EXPECT_EQ(ColorToRGB(clFuchsia), 0xFF00FFu);
    EXPECT_EQ(ColorToRGB(clNone), 0x1FFFFFFFu);
}

TEST(Canvas, CopyRectAppliesTheCopyModeAndBrushCopyReplacesAColour) {
    Target src(10, 10, static_cast<TColor>(RGB(0xF0, 0x0F, 0x33)));
    Target dst(10, 10, static_cast<TColor>(RGB(0x0F, 0x0F, 0x0F)));
    dst.Canvas().SetCopyMode(cmSrcInvert);
    dst.Canvas().CopyRect(Rect(0, 0, 5, 5), src.Canvas(), Rect(0, 0, 5, 5));
    EXPECT_EQ(dst.At(1, 1), static_cast<TColor>(RGB(0xFF, 0x00, 0x3C)));
    dst.Canvas().SetCopyMode(cmSrcCopy);
    dst.Canvas().CopyRect(Rect(5, 5, 10, 10), src.Canvas(), Rect(0, 0, 5, 5));
    EXPECT_EQ(dst.At(7, 7), static_cast<TColor>(RGB(0xF0, 0x0F, 0x33)));

    TBitmap glyph(4, 4);
    Fill(glyph, clFuchsia);
    glyph.Canvas().SetPixel(1, 1, clBlack);
    Target out(4, 4);
    out.Canvas().Brush().SetColor(clLime);
    out.Canvas().BrushCopy(Rect(0, 0, 4, 4), glyph, Rect(0, 0, 4, 4), clFuchsia);
    EXPECT_EQ(out.At(0, 0), clLime);
    EXPECT_EQ(out.At(1, 1), clBlack);
}

TEST(Canvas, EventsAndMissingHandle) {
    Target t;
    int changing = 0, changed = 0;
    t.Canvas().OnChanging = [&](TObject*) { ++changing; };
    t.Canvas().OnChange = [&](TObject*) { ++changed; };
    t.Canvas().FillRect(Rect(0, 0, 2, 2));
    t.Canvas().SetPixel(3, 3, clRed);
    EXPECT_EQ(changing, 2);
    EXPECT_EQ(changed, 2);
    EXPECT_EQ(t.Canvas().Pixel(3, 3), clRed);
    EXPECT_EQ(t.Canvas().ClipRect(), Rect(0, 0, 40, 30));

    TCanvas bare;
    EXPECT_EQ(testsupport::ThrownMessage<EInvalidOperation>([&] { bare.FillRect(Rect(0, 0, 1, 1)); }),
              "Canvas does not allow drawing");
}

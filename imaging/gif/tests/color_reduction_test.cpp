// Colour reduction: lookups, palettes, ditherers and the octree quantizer.
#include "imaging/gif/color_reduction.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

namespace {

TRaster Gradient(int w, int h) {
    TRaster r;
    r.Width = w;
    r.Height = h;
    r.BitsPerPixel = 24;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            r.Bits.push_back(static_cast<uint8_t>(x * 255 / (w - 1)));           // blue
            r.Bits.push_back(static_cast<uint8_t>(y * 255 / (h - 1)));           // green
            r.Bits.push_back(static_cast<uint8_t>((x + y) * 255 / (w + h - 2))); // red
        }
    return r;
}

// Mean of one channel (0 blue, 1 green, 2 red) over the picture, and over its reduced copy.
double MeanIn(const TRaster& r, int channel) {
    double sum = 0;
    for (size_t i = channel; i < r.Bits.size(); i += 3)
        sum += r.Bits[i];
    return sum / (r.Width * r.Height);
}
double MeanOut(const TRaster& r, int channel) {
    double sum = 0;
    for (uint8_t index : r.Bits) {
        COLORREF c = r.Palette[index];
        sum += channel == 0 ? GetBValue(c) : channel == 1 ? GetGValue(c) : GetRValue(c);
    }
    return sum / (r.Width * r.Height);
}

// Floyd-Steinberg written plainly over a whole error array: 7/16 ahead, 3/16 below behind,
// 5/16 below, 1/16 below ahead, rows in alternating directions.
std::vector<uint8_t> PlainFloydSteinberg(const TRaster& picture, TColorLookup& lookup) {
    const int w = picture.Width, h = picture.Height;
    std::vector<int> error(static_cast<size_t>(w) * (h + 1) * 3, 0);
    std::vector<uint8_t> out(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y) {
        const int dir = y % 2 == 0 ? 1 : -1;
        for (int i = 0; i < w; ++i) {
            const int x = dir == 1 ? i : w - 1 - i;
            int value[3];
            for (int c = 0; c < 3; ++c) {
                int in = picture.Bits[(static_cast<size_t>(y) * w + x) * 3 + 2 - c];
                value[c] =
                    std::clamp(in + (error[(static_cast<size_t>(y) * w + x) * 3 + c] + 8) / 16, 0, 255);
            }
            uint8_t r, g, b;
            out[static_cast<size_t>(y) * w + x] = static_cast<uint8_t>(
                lookup.Lookup(static_cast<uint8_t>(value[0]), static_cast<uint8_t>(value[1]),
                              static_cast<uint8_t>(value[2]), r, g, b));
            const int chosen[3] = {r, g, b};
            for (int c = 0; c < 3; ++c) {
                const int d = value[c] - chosen[c];
                auto add = [&](int yy, int xx, int weight) {
                    if (xx >= 0 && xx < w) error[(static_cast<size_t>(yy) * w + xx) * 3 + c] += weight * d;
                };
                add(y, x + dir, 7);
                add(y + 1, x - dir, 3);
                add(y + 1, x, 5);
                add(y + 1, x + dir, 1);
            }
        }
    }
    return out;
}

} // namespace

TEST(GifColorReduction, Lookups) {
    uint8_t r, g, b;
    TNetscapeColorLookup web;
    EXPECT_EQ(web.Lookup(255, 255, 255, r, g, b), 215);
    EXPECT_EQ(r, 255);
    EXPECT_EQ(web.Lookup(47, 47, 47, r, g, b), 0);
    EXPECT_EQ(r, 0);
    EXPECT_EQ(web.Lookup(48, 48, 48, r, g, b), 43);
    EXPECT_EQ(g, 51);

    TMonochromeLookup mono;
    EXPECT_EQ(mono.Lookup(127, 127, 127, r, g, b), 0); // 32512
    EXPECT_EQ(mono.Lookup(128, 127, 127, r, g, b), 1);
    EXPECT_EQ(b, 255);

    TGrayScaleLookup gray;
    EXPECT_EQ(gray.Lookup(100, 100, 100, r, g, b), 100);

    // Nearest by the sum of channel distances; the first of equal entries wins.
    TFastColorLookup fast({RGB(0, 0, 0), RGB(100, 0, 0), RGB(0, 100, 0), RGB(100, 0, 0)});
    EXPECT_EQ(fast.Lookup(90, 10, 0, r, g, b), 1);
    EXPECT_EQ(r, 100);
    EXPECT_EQ(fast.Lookup(60, 40, 0, r, g, b), 1); // entries 1 and 3 tie: the first wins
    EXPECT_EQ(fast.Lookup(50, 50, 0, r, g, b), 0); // 0, 1 and 2 tie
    EXPECT_EQ(fast.Lookup(0, 60, 0, r, g, b), 2);
    // Colours sharing a 15-bit key share the answer.
    EXPECT_EQ(fast.Lookup(0, 63, 7, r, g, b), 2);
}

TEST(GifColorReduction, MethodsGiveTheirPalettes) {
    TRaster picture = Gradient(40, 30);
    const TRaster original = picture;
    struct Case {
        TColorReductionMethod Method;
        size_t Colours;
    } cases[] = {{crWindows20, 20}, {crGray4, 4},   {crMonochrome, 2},      {crGray256, 256},
                 {crWeb216, 216},   {crOctree, 16}, {crOctreeWindows, 256}, {crWindowsHalftone, 236}};
    for (const Case& c : cases) {
        TRaster out = ReduceBitmapColors(picture, c.Method, dtNearest, 4);
        ASSERT_EQ(out.BitsPerPixel, 8) << c.Method;
        EXPECT_EQ(out.Palette.size(), c.Colours) << c.Method;
        EXPECT_EQ(out.Width, 40);
        for (uint8_t index : out.Bits)
            ASSERT_LT(index, c.Colours) << c.Method;
    }
    // The caller's picture is never converted or changed.
    EXPECT_EQ(picture.Bits, original.Bits);
    TRaster indexed;
    indexed.Width = 2;
    indexed.Height = 1;
    indexed.BitsPerPixel = 8;
    indexed.Bits = {0, 1};
    indexed.Palette = {RGB(255, 0, 0), RGB(0, 0, 255)};
    TRaster reduced = ReduceBitmapColors(indexed, crWeb216, dtNearest, 8);
    EXPECT_EQ(indexed.BitsPerPixel, 8);
    EXPECT_EQ(reduced.Bits, (std::vector<uint8_t>{180, 5}));

    // crNone copies; a custom palette is used as given; unknown methods give nothing.
    EXPECT_EQ(ReduceBitmapColors(picture, crNone, dtNearest, 8).Bits, picture.Bits);
    TRaster custom =
        ReduceBitmapColors(picture, crCustomPalette, dtNearest, 8, {RGB(0, 0, 0), RGB(255, 255, 255)});
    EXPECT_EQ(custom.Palette.size(), 2u);
    EXPECT_TRUE(ReduceBitmapColors(picture, crCustomPalette, dtNearest, 8).Empty());
    EXPECT_TRUE(ReduceBitmapColors(picture, static_cast<TColorReductionMethod>(10), dtNearest, 8).Empty());
    EXPECT_TRUE(ReduceBitmapColors(picture, crWeb216, static_cast<TDitherMethod>(7), 8).Empty());

    // Reduction bits beyond 8 are held at 8: never more than 256 colours.
    TRaster many = ReduceBitmapColors(Gradient(200, 200), crOctree, dtNearest, 12);
    EXPECT_LE(many.Palette.size(), 256u);
    EXPECT_EQ(ReduceBitmapColors(picture, crOctree, dtNearest, 0).Palette.size(), 2u);
}

TEST(GifColorReduction, OctreeKeepsFewColoursExactly) {
    TRaster picture;
    picture.Width = 5;
    picture.Height = 1;
    picture.BitsPerPixel = 24;
    const COLORREF colours[] = {RGB(10, 20, 30), RGB(200, 0, 0), RGB(10, 20, 30), RGB(0, 0, 250),
                                RGB(7, 7, 7)};
    for (COLORREF c : colours) {
        picture.Bits.push_back(GetBValue(c));
        picture.Bits.push_back(GetGValue(c));
        picture.Bits.push_back(GetRValue(c));
    }
    TColorQuantizer quantizer(16, 8);
    quantizer.ProcessImage(picture);
    EXPECT_EQ(quantizer.LeafCount(), 4);
    std::vector<COLORREF> table = quantizer.GetColorTable();
    EXPECT_EQ(std::set<COLORREF>(table.begin(), table.end()),
              (std::set<COLORREF>{RGB(10, 20, 30), RGB(200, 0, 0), RGB(0, 0, 250), RGB(7, 7, 7)}));
    TRaster out = ReduceBitmapColors(picture, crOctree, dtNearest, 4);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(out.Palette[out.Bits[i]], colours[i]);

    // More colours than allowed: the tree folds until it fits.
    TColorQuantizer small(8, 8);
    small.ProcessImage(Gradient(64, 64));
    EXPECT_LE(small.LeafCount(), 8);
    EXPECT_EQ(small.GetColorTable().size(), static_cast<size_t>(small.LeafCount()));
}

TEST(GifColorReduction, DitherersWalkSerpentineAndKeepTheMeanColour) {
    // Nearest: each pixel is its own lookup, whatever the direction of its row.
    TRaster picture = Gradient(33, 21);
    TRaster nearest = ReduceBitmapColors(picture, crWeb216, dtNearest, 8);
    TNetscapeColorLookup web;
    for (int i = 0; i < 33 * 21; ++i) {
        uint8_t r, g, b;
        ASSERT_EQ(nearest.Bits[i],
                  web.Lookup(picture.Bits[i * 3 + 2], picture.Bits[i * 3 + 1], picture.Bits[i * 3], r, g, b));
    }
    TDitherEngine engine(4, web);
    uint8_t r, g, b;
    for (int i = 0; i < 4; ++i)
        engine.Dither(0, 0, 0, r, g, b);
    engine.NextLine();
    EXPECT_EQ(engine.Direction(), -1);
    EXPECT_EQ(engine.Column(), 3);

    // Error diffusion on a smooth picture with few grey levels keeps the average brightness,
    // where the nearest colour alone drifts away from it.
    TRaster flat;
    flat.Width = 64;
    flat.Height = 64;
    flat.BitsPerPixel = 24;
    flat.Bits.assign(64 * 64 * 3, 0);
    for (int i = 0; i < 64 * 64; ++i)
        flat.Bits[i * 3] = flat.Bits[i * 3 + 1] = flat.Bits[i * 3 + 2] =
            static_cast<uint8_t>(90 + (i % 64) / 8);
    const double mean = MeanIn(flat, 1);
    EXPECT_GT(std::fabs(MeanOut(ReduceBitmapColors(flat, crGray4, dtNearest, 8), 1) - mean), 20.0);
    // Floyd-Steinberg matches the plain formulation pixel for pixel, also where a pixel's
    // error is exactly zero.
    for (TRaster source : {flat, Gradient(37, 29)}) {
        TRaster out = ReduceBitmapColors(source, crGray4, dtFloydSteinberg, 8);
        TFastColorLookup lookup(out.Palette);
        EXPECT_EQ(out.Bits, PlainFloydSteinberg(source, lookup));
    }
    for (TDitherMethod mode : {dtFloydSteinberg, dtStucki, dtSierra, dtJaJuNi, dtSteveArche, dtBurkes}) {
        TRaster out = ReduceBitmapColors(flat, crGray4, mode, 8);
        EXPECT_NEAR(MeanOut(out, 1), mean, 3.0) << mode;
        std::set<uint8_t> used(out.Bits.begin(), out.Bits.end());
        EXPECT_GE(used.size(), 2u) << mode;
    }
}

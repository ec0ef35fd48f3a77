// Colour reduction: lookups, palettes, ditherers and the octree quantizer.
#include "imaging/gif/tests/gif_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <set>

using namespace gif_test;

namespace {

TRaster Gradient(int w, int h) {
    std::vector<uint8_t> bgr;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            bgr.insert(bgr.end(),
                       {static_cast<uint8_t>(x * 255 / (w - 1)), static_cast<uint8_t>(y * 255 / (h - 1)),
                        static_cast<uint8_t>((x + y) * 255 / (w + h - 2))});
    return Raster24(w, h, bgr);
}

// Mean green of a reduced picture.
double MeanGreen(const TRaster& r) {
    double sum = 0;
    for (uint8_t index : r.Bits)
        sum += GetGValue(r.Palette[index]);
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
            uint8_t value[3], chosen[3];
            for (int c = 0; c < 3; ++c) {
                const int in = picture.Bits[(static_cast<size_t>(y) * w + x) * 3 + 2 - c];
                value[c] = static_cast<uint8_t>(
                    std::clamp(in + (error[(static_cast<size_t>(y) * w + x) * 3 + c] + 8) / 16, 0, 255));
            }
            out[static_cast<size_t>(y) * w + x] = static_cast<uint8_t>(
                lookup.Lookup(value[0], value[1], value[2], chosen[0], chosen[1], chosen[2]));
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

// An error-diffusion kernel as the ditherers' table gives it: weights at (row below, offset in the
// direction of the scan), the divisor and what is added before dividing.
struct Kernel {
    TDitherMethod Mode;
    int Divisor, Rounding;
    std::vector<std::array<int, 3>> Weights; // row, offset, weight
};

const Kernel kKernels[] = {
    {dtFloydSteinberg, 16, 8, {{0, 1, 7}, {1, -1, 3}, {1, 0, 5}, {1, 1, 1}}},
    {dtStucki,
     42,
     21,
     {{0, 1, 8},
      {0, 2, 4},
      {1, -2, 2},
      {1, -1, 4},
      {1, 0, 8},
      {1, 1, 4},
      {1, 2, 2},
      {2, -2, 1},
      {2, -1, 2},
      {2, 0, 4},
      {2, 1, 2},
      {2, 2, 1}}},
    {dtSierra,
     32,
     16,
     {{0, 1, 5},
      {0, 2, 3},
      {1, -2, 2},
      {1, -1, 4},
      {1, 0, 5},
      {1, 1, 4},
      {1, 2, 2},
      {2, -1, 2},
      {2, 0, 3},
      {2, 1, 2}}},
    {dtJaJuNi,
     48,
     24,
     {{0, 1, 7},
      {0, 2, 5},
      {1, -2, 3},
      {1, -1, 5},
      {1, 0, 7},
      {1, 1, 5},
      {1, 2, 3},
      {2, -2, 1},
      {2, -1, 3},
      {2, 0, 5},
      {2, 1, 3},
      {2, 2, 1}}},
    {dtSteveArche,
     200,
     100,
     {{0, 2, 32},
      {1, -3, 12},
      {1, -1, 26},
      {1, 1, 30},
      {1, 3, 16},
      {2, -2, 12},
      {2, 0, 26},
      {2, 2, 12},
      {3, -3, 5},
      {3, -1, 12},
      {3, 1, 12},
      {3, 3, 5}}},
    {dtBurkes, 32, 16, {{0, 1, 8}, {0, 2, 4}, {1, -2, 2}, {1, -1, 4}, {1, 0, 8}, {1, 1, 4}, {1, 2, 2}}},
};

// Any kernel written plainly over a whole error array of the picture, rows in alternating directions;
// errors that fall beside the picture are lost.
std::vector<uint8_t> PlainDiffusion(const TRaster& picture, TColorLookup& lookup, const Kernel& kernel) {
    const int w = picture.Width, h = picture.Height;
    std::vector<int> error(static_cast<size_t>(w) * (h + 4) * 3, 0);
    auto cell = [&](int y, int x, int c) -> int& { return error[(static_cast<size_t>(y) * w + x) * 3 + c]; };
    std::vector<uint8_t> out(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y) {
        const int dir = y % 2 == 0 ? 1 : -1;
        for (int i = 0; i < w; ++i) {
            const int x = dir == 1 ? i : w - 1 - i;
            uint8_t value[3], chosen[3];
            for (int c = 0; c < 3; ++c) {
                const int in = picture.Bits[(static_cast<size_t>(y) * w + x) * 3 + 2 - c];
                value[c] = static_cast<uint8_t>(
                    std::clamp(in + (cell(y, x, c) + kernel.Rounding) / kernel.Divisor, 0, 255));
            }
            out[static_cast<size_t>(y) * w + x] = static_cast<uint8_t>(
                lookup.Lookup(value[0], value[1], value[2], chosen[0], chosen[1], chosen[2]));
            for (int c = 0; c < 3; ++c)
                for (const auto& [row, offset, weight] : kernel.Weights) {
                    const int xx = x + offset * dir;
                    if (xx >= 0 && xx < w) cell(y + row, xx, c) += weight * (value[c] - chosen[c]);
                }
        }
    }
    return out;
}

// Colours that wander over the whole range, so errors of every size and sign are diffused.
TRaster Noise(int w, int h) {
    std::vector<uint8_t> bgr;
    uint32_t seed = 12345;
    for (int i = 0; i < w * h * 3; ++i) {
        seed = seed * 1103515245u + 12345u;
        bgr.push_back(static_cast<uint8_t>(seed >> 16));
    }
    return Raster24(w, h, bgr);
}

} // namespace

TEST(GifColorReduction, Lookups) {
    TNetscapeColorLookup web;
    TMonochromeLookup mono;
    TGrayScaleLookup gray;
    // Nearest by the sum of channel distances; the first of equal entries wins; colours sharing a
    // 15-bit key share the answer.
    TFastColorLookup fast({RGB(0, 0, 0), RGB(100, 0, 0), RGB(0, 100, 0), RGB(100, 0, 0)});
    const struct {
        TColorLookup& Lookup;
        uint8_t R, G, B;
        int Index;
        COLORREF Chosen;
    } cases[] = {
        {web, 255, 255, 255, 215, RGB(255, 255, 255)},
        {web, 47, 47, 47, 0, RGB(0, 0, 0)},
        {web, 48, 48, 48, 43, RGB(51, 51, 51)},
        {mono, 127, 127, 127, 0, RGB(0, 0, 0)},
        {mono, 128, 127, 127, 1, RGB(255, 255, 255)},
        // 77 R + 150 G + 29 B exactly at the threshold (32513) is white; one below is black.
        {mono, 0, 169, 247, 1, RGB(255, 255, 255)},
        {gray, 100, 100, 100, 100, RGB(100, 100, 100)},
        {fast, 90, 10, 0, 1, RGB(100, 0, 0)},
        {fast, 60, 40, 0, 1, RGB(100, 0, 0)},
        {fast, 50, 50, 0, 0, RGB(0, 0, 0)},
        {fast, 0, 60, 0, 2, RGB(0, 100, 0)},
        {fast, 0, 63, 7, 2, RGB(0, 100, 0)},
    };
    for (const auto& c : cases) {
        uint8_t r, g, b;
        EXPECT_EQ(c.Lookup.Lookup(c.R, c.G, c.B, r, g, b), c.Index)
            << int(c.R) << "," << int(c.G) << "," << int(c.B);
        EXPECT_EQ(RGB(r, g, b), c.Chosen) << int(c.R) << "," << int(c.G) << "," << int(c.B);
    }
}

TEST(GifColorReduction, MethodsGiveTheirPalettes) {
    const TRaster picture = Gradient(40, 30);
    const std::pair<TColorReductionMethod, size_t> cases[] = {
        {crWindows20, 20}, {crGray4, 4},   {crMonochrome, 2},      {crGray256, 256},
        {crWeb216, 216},   {crOctree, 16}, {crOctreeWindows, 256}, {crWindowsHalftone, 236}};
    for (const auto& [method, colours] : cases) {
        const TRaster out = ReduceBitmapColors(picture, method, dtNearest, 4);
        ASSERT_EQ(out.BitsPerPixel, 8) << method;
        EXPECT_EQ(out.Palette.size(), colours) << method;
        EXPECT_EQ(out.Width, 40) << method;
        EXPECT_LT(size_t(*std::max_element(out.Bits.begin(), out.Bits.end())), colours) << method;
    }
    // An indexed picture is looked up by its palette's colours.
    TRaster indexed;
    indexed.Width = 2;
    indexed.Height = 1;
    indexed.BitsPerPixel = 8;
    indexed.Bits = {0, 1};
    indexed.Palette = {RGB(255, 0, 0), RGB(0, 0, 255)};
    EXPECT_EQ(ReduceBitmapColors(indexed, crWeb216, dtNearest, 8).Bits, (std::vector<uint8_t>{180, 5}));

    // crNone copies; a custom palette is used as given; unknown methods give nothing.
    EXPECT_EQ(ReduceBitmapColors(picture, crNone, dtNearest, 8).Bits, picture.Bits);
    EXPECT_EQ(ReduceBitmapColors(picture, crCustomPalette, dtNearest, 8, {RGB(0, 0, 0), RGB(255, 255, 255)})
                  .Palette.size(),
              2u);
    EXPECT_TRUE(ReduceBitmapColors(picture, crCustomPalette, dtNearest, 8).Empty());
    EXPECT_TRUE(ReduceBitmapColors(picture, static_cast<TColorReductionMethod>(10), dtNearest, 8).Empty());
    EXPECT_TRUE(ReduceBitmapColors(picture, crWeb216, static_cast<TDitherMethod>(7), 8).Empty());
    // Reduction bits beyond 8 are held at 8: never more than 256 colours.
    EXPECT_LE(ReduceBitmapColors(Gradient(200, 200), crOctree, dtNearest, 12).Palette.size(), 256u);
    EXPECT_EQ(ReduceBitmapColors(picture, crOctree, dtNearest, 0).Palette.size(), 2u);
}

TEST(GifColorReduction, OctreeKeepsFewColoursExactly) {
    const COLORREF colours[] = {RGB(10, 20, 30), RGB(200, 0, 0), RGB(10, 20, 30), RGB(0, 0, 250),
                                RGB(7, 7, 7)};
    std::vector<uint8_t> bgr;
    for (COLORREF c : colours)
        bgr.insert(bgr.end(), {GetBValue(c), GetGValue(c), GetRValue(c)});
    const TRaster picture = Raster24(5, 1, bgr);
    TColorQuantizer quantizer(16, 8);
    quantizer.ProcessImage(picture);
    EXPECT_EQ(quantizer.LeafCount(), 4);
    std::vector<COLORREF> table = quantizer.GetColorTable();
    EXPECT_EQ(std::set<COLORREF>(table.begin(), table.end()),
              (std::set<COLORREF>{RGB(10, 20, 30), RGB(200, 0, 0), RGB(0, 0, 250), RGB(7, 7, 7)}));
    const TRaster out = ReduceBitmapColors(picture, crOctree, dtNearest, 4);
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
    const TRaster picture = Gradient(33, 21);
    const TRaster nearest = ReduceBitmapColors(picture, crWeb216, dtNearest, 8);
    TNetscapeColorLookup web;
    for (int i = 0; i < 33 * 21; ++i) {
        uint8_t r, g, b;
        ASSERT_EQ(nearest.Bits[i],
                  web.Lookup(picture.Bits[i * 3 + 2], picture.Bits[i * 3 + 1], picture.Bits[i * 3], r, g, b));
    }
    // Error diffusion on a smooth picture with few grey levels keeps the average brightness (about 93.5).
    std::vector<uint8_t> levels;
    for (int i = 0; i < 64 * 64; ++i)
        levels.insert(levels.end(), 3, static_cast<uint8_t>(90 + (i % 64) / 8));
    const TRaster flat = Raster24(64, 64, levels);
    // Floyd-Steinberg matches the plain formulation pixel for pixel, also where a pixel's error is
    // exactly zero.
    for (const TRaster& source : {flat, Gradient(37, 29)}) {
        const TRaster out = ReduceBitmapColors(source, crGray4, dtFloydSteinberg, 8);
        TFastColorLookup lookup(out.Palette);
        EXPECT_EQ(out.Bits, PlainFloydSteinberg(source, lookup));
    }
    for (TDitherMethod mode : {dtFloydSteinberg, dtStucki, dtSierra, dtJaJuNi, dtSteveArche, dtBurkes}) {
        const TRaster out = ReduceBitmapColors(flat, crGray4, mode, 8);
        EXPECT_NEAR(MeanGreen(out), 93.5, 3.0) << mode;
        EXPECT_GE(std::set<uint8_t>(out.Bits.begin(), out.Bits.end()).size(), 2u) << mode;
    }
}

TEST(GifColorReduction, EveryKernelDiffusesAsItsTableSays) {
    // Each kernel against the plain formulation of its weights, pixel for pixel: on a coarse palette
    // (large errors) and on the web palette, over noise and over a smooth picture.
    const TRaster pictures[] = {Noise(41, 23), Gradient(37, 29)};
    for (const Kernel& kernel : kKernels)
        for (const TRaster& source : pictures) {
            const TRaster gray = ReduceBitmapColors(source, crGray4, kernel.Mode, 8);
            TFastColorLookup grayLookup(gray.Palette);
            EXPECT_EQ(gray.Bits, PlainDiffusion(source, grayLookup, kernel)) << "gray4, mode " << kernel.Mode;
            const TRaster web = ReduceBitmapColors(source, crWeb216, kernel.Mode, 8);
            TNetscapeColorLookup webLookup;
            EXPECT_EQ(web.Bits, PlainDiffusion(source, webLookup, kernel)) << "web, mode " << kernel.Mode;
        }
}

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

// Each method's kernel as published: weights at (rows below, pixels ahead in the direction of the walk),
// over the divisor, rounded to nearest. The last row of Stevenson and Arce's skips every other pixel.
struct Kernel {
    TDitherMethod Mode;
    int Divisor;
    std::vector<std::array<int, 3>> Weights; // row, offset, weight
};

const Kernel kKernels[] = {
    // Floyd and Steinberg:      . X 7 / 3 5 1
    {dtFloydSteinberg, 16, {{0, 1, 7}, {1, -1, 3}, {1, 0, 5}, {1, 1, 1}}},
    // Stucki:                   . . X 8 4 / 2 4 8 4 2 / 1 2 4 2 1
    {dtStucki,
     42,
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
    // Sierra (three rows):      . . X 5 3 / 2 4 5 4 2 / . 2 3 2 .
    {dtSierra,
     32,
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
    // Jarvis, Judice and Ninke: . . X 7 5 / 3 5 7 5 3 / 1 3 5 3 1
    {dtJaJuNi,
     48,
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
    // Stevenson and Arce:       . . . X . 32 . / 12 . 26 . 30 . 16 / . 12 . 26 . 12 . / 5 . 12 . 12 . 5
    {dtSteveArche,
     200,
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
    // Burkes:                   . . X 8 4 / 2 4 8 4 2
    {dtBurkes, 32, {{0, 1, 8}, {0, 2, 4}, {1, -2, 2}, {1, -1, 4}, {1, 0, 8}, {1, 1, 4}, {1, 2, 2}}},
};

// A kernel applied plainly over a whole error array of the picture, rows in alternating directions;
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
                    std::clamp(in + (cell(y, x, c) + kernel.Divisor / 2) / kernel.Divisor, 0, 255));
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

// Every method of error diffusion, with how far it spreads a pixel's error: pixels ahead on its row,
// rows below, and pixels to either side on those rows.
const struct {
    TDitherMethod Mode;
    int Ahead, Below, Aside;
} kDiffusions[] = {{dtFloydSteinberg, 1, 1, 1}, {dtStucki, 2, 2, 2},     {dtSierra, 2, 2, 2},
                   {dtJaJuNi, 2, 2, 2},         {dtSteveArche, 2, 3, 3}, {dtBurkes, 2, 1, 2}};

constexpr int kSpreadWidth = 11, kSpreadHeight = 6, kSpreadColumn = 5;

// Gives back each colour as it is asked for, so that no pixel makes an error of its own, except the one
// pixel told to make `error` in red.
class ErrorAtOnePixel : public TColorLookup {
public:
    ErrorAtOnePixel() { colors_ = 256; }
    int Lookup(uint8_t red, uint8_t green, uint8_t blue, uint8_t& r, uint8_t& g, uint8_t& b) override {
        r = static_cast<uint8_t>(red - error);
        g = green;
        b = blue;
        return 0;
    }
    int error = 0;
};

// The red each pixel of a black picture is looked up with after the pixel in column kSpreadColumn of
// row `row` (white) made an error of `error`: what that pixel received of the error.
std::vector<int> Received(TDitherMethod mode, int row, int error) {
    ErrorAtOnePixel lookup;
    std::unique_ptr<TDitherEngine> ditherer = CreateDitherer(mode, kSpreadWidth, lookup);
    std::vector<int> received(kSpreadWidth * kSpreadHeight, 0);
    for (int y = 0; y < kSpreadHeight; ++y) {
        for (int x = ditherer->Column(); x >= 0 && x < kSpreadWidth; x = ditherer->Column()) {
            const bool source = x == kSpreadColumn && y == row;
            lookup.error = source ? error : 0;
            uint8_t r, g, b;
            ditherer->Dither(source ? 255 : 0, 0, 0, r, g, b);
            received[y * kSpreadWidth + x] = source ? 0 : r;
        }
        ditherer->NextLine();
    }
    return received;
}

// Each pixel's share of an error: how fast what it receives grows with the error, over errors of 1 to
// 255 (a least-squares slope, over which each share's rounding washes out).
std::vector<double> Shares(TDitherMethod mode, int row) {
    std::vector<std::vector<int>> received;
    for (int error = 1; error <= 255; ++error)
        received.push_back(Received(mode, row, error));
    std::vector<double> shares(received[0].size());
    for (size_t i = 0; i < shares.size(); ++i) {
        double sum = 0, spread = 0;
        for (int e = 0; e < 255; ++e) {
            sum += (e - 127) * received[e][i];
            spread += (e - 127) * (e - 127);
        }
        shares[i] = sum / spread;
    }
    return shares;
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

TEST(GifColorReduction, EachDithererPassesTheWholeErrorOnAheadOfItsWalk) {
    for (const auto& method : kDiffusions) {
        const std::vector<double> rightward = Shares(method.Mode, 0), leftward = Shares(method.Mode, 1);
        double whole = 0;
        for (int y = 0; y < kSpreadHeight; ++y)
            for (int x = 0; x < kSpreadWidth; ++x) {
                const double share = rightward[y * kSpreadWidth + x];
                whole += share;
                // Only to pixels not yet done, and no farther than the method reaches.
                const int ahead = x - kSpreadColumn;
                const bool reached = y == 0 ? ahead > 0 && ahead <= method.Ahead
                                            : y <= method.Below && std::abs(ahead) <= method.Aside;
                if (!reached) {
                    EXPECT_EQ(share, 0) << "mode " << int(method.Mode) << " at " << x << "," << y;
                }
                // A row walked leftwards spreads the mirror image.
                const int mirror = kSpreadColumn - ahead;
                if (y + 1 < kSpreadHeight) {
                    EXPECT_EQ(leftward[(y + 1) * kSpreadWidth + mirror], share)
                        << "mode " << int(method.Mode) << " at " << x << "," << y;
                }
            }
        // Rounding moves the sum by about a thousandth; a weight one unit off, by a two-hundredth or more.
        EXPECT_NEAR(whole, 1.0, 0.0025) << "mode " << int(method.Mode);
        // The method reaches as far as it should.
        EXPECT_GT(rightward[method.Ahead + kSpreadColumn], 0) << "mode " << int(method.Mode);
        double farthestRow = 0, farthestSide = 0;
        for (int x = 0; x < kSpreadWidth; ++x)
            farthestRow += rightward[method.Below * kSpreadWidth + x];
        for (int y = 1; y <= method.Below; ++y)
            farthestSide += rightward[y * kSpreadWidth + kSpreadColumn - method.Aside] +
                            rightward[y * kSpreadWidth + kSpreadColumn + method.Aside];
        EXPECT_GT(farthestRow, 0) << "mode " << int(method.Mode);
        EXPECT_GT(farthestSide, 0) << "mode " << int(method.Mode);
    }
}

TEST(GifColorReduction, DitheringAFlatColourUsesTheEntriesAroundItAsOftenAsKeepsItsMean) {
    // Grey 150 between the greys 128 and 192 of four; a colour between the web palette's steps of 51.
    const struct {
        TColorReductionMethod Method;
        uint8_t Channels[3], Below[3]; // red, green, blue
        int Step;
    } colours[] = {{crGray4, {150, 150, 150}, {128, 128, 128}, 64},
                   {crWeb216, {100, 30, 200}, {51, 0, 153}, 51}};
    for (const auto& colour : colours) {
        std::vector<uint8_t> bgr;
        for (int i = 0; i < 128 * 128; ++i)
            bgr.insert(bgr.end(), {colour.Channels[2], colour.Channels[1], colour.Channels[0]});
        for (const auto& method : kDiffusions) {
            const TRaster out = ReduceBitmapColors(Raster24(128, 128, bgr), colour.Method, method.Mode, 8);
            double sum[3] = {0, 0, 0};
            for (uint8_t index : out.Bits) {
                const COLORREF c = out.Palette[index];
                const int got[3] = {GetRValue(c), GetGValue(c), GetBValue(c)};
                for (int ch = 0; ch < 3; ++ch) {
                    ASSERT_TRUE(got[ch] == colour.Below[ch] || got[ch] == colour.Below[ch] + colour.Step)
                        << "mode " << int(method.Mode) << ", channel " << ch << ": " << got[ch];
                    sum[ch] += got[ch];
                }
            }
            for (int ch = 0; ch < 3; ++ch)
                // Less what falls off the picture's edges.
                EXPECT_NEAR(sum[ch] / out.Bits.size(), colour.Channels[ch], 0.75)
                    << "mode " << int(method.Mode) << ", channel " << ch;
        }
    }
}

TEST(GifColorReduction, EachDithererReducesNoiseAndASmoothPictureAsItsPublishedKernelDoes) {
    // Noise makes errors of every size and sign; the smooth picture long runs of small ones. On a coarse
    // palette (large errors) and on the web palette, each method gives a picture of the method's palette
    // that a second run gives again, and each pixel is the entry nearest to its colour plus what its
    // neighbours passed on by the published weights.
    for (const Kernel& kernel : kKernels)
        for (const TRaster& source : {Noise(41, 23), Gradient(37, 29)})
            for (const auto& [method, colours] : {std::pair{crGray4, 4u}, std::pair{crWeb216, 216u}}) {
                SCOPED_TRACE("mode " + std::to_string(kernel.Mode) + ", palette of " +
                             std::to_string(colours) + ", " + std::to_string(source.Width) + " x " +
                             std::to_string(source.Height));
                const TRaster out = ReduceBitmapColors(source, method, kernel.Mode, 8);
                ASSERT_EQ(out.Palette.size(), colours);
                ASSERT_EQ(out.Bits.size(), static_cast<size_t>(source.Width) * source.Height);
                EXPECT_LT(size_t(*std::max_element(out.Bits.begin(), out.Bits.end())), colours);
                EXPECT_EQ(ReduceBitmapColors(source, method, kernel.Mode, 8).Bits, out.Bits);
                TFastColorLookup grayLookup(out.Palette);
                TNetscapeColorLookup webLookup;
                TColorLookup& lookup = method == crGray4 ? static_cast<TColorLookup&>(grayLookup) : webLookup;
                EXPECT_EQ(out.Bits, PlainDiffusion(source, lookup, kernel));
            }
}

#pragma once
// Mapping true-colour pictures onto palettes of at most 256 colours: palettes, colour lookups,
// error-diffusion ditherers and an octree quantizer.
#include "imaging/gif/gif_types.h"
#include "platform/rtl/wintypes.h"

#include <cstdint>
#include <memory>
#include <vector>

// A plain picture: 8 bits per pixel with a palette, or 24 bits stored blue, green, red.
struct TRaster {
    int Width = 0;
    int Height = 0;
    int BitsPerPixel = 0;      // 0 = empty, 8 or 24
    std::vector<uint8_t> Bits; // rows top-down, no padding
    std::vector<COLORREF> Palette;
    bool Empty() const { return BitsPerPixel == 0 || Width <= 0 || Height <= 0; }
    int RowBytes() const { return Width * (BitsPerPixel / 8); }
};

class TColorLookup {
public:
    virtual ~TColorLookup() = default;
    int Colors() const { return colors_; }
    // The palette index for a colour; r, g, b receive that entry's colour.
    virtual int Lookup(uint8_t red, uint8_t green, uint8_t blue, uint8_t& r, uint8_t& g, uint8_t& b) = 0;

protected:
    int colors_ = 0;
};

// Nearest palette entry by |dR| + |dG| + |dB|, cached per 15-bit colour.
class TFastColorLookup : public TColorLookup {
public:
    explicit TFastColorLookup(const std::vector<COLORREF>& palette);
    int Lookup(uint8_t red, uint8_t green, uint8_t blue, uint8_t& r, uint8_t& g, uint8_t& b) override;

private:
    static int Key(uint8_t red, uint8_t green, uint8_t blue) {
        return (red >> 3) | ((green & 0xF8) << 2) | ((blue & 0xF8) << 7);
    }
    std::vector<COLORREF> palette_;
    std::vector<uint16_t> cache_;
};

class TNetscapeColorLookup : public TColorLookup {
public:
    TNetscapeColorLookup() { colors_ = 216; }
    int Lookup(uint8_t red, uint8_t green, uint8_t blue, uint8_t& r, uint8_t& g, uint8_t& b) override;
};

class TGrayScaleLookup : public TColorLookup {
public:
    TGrayScaleLookup() { colors_ = 256; }
    int Lookup(uint8_t red, uint8_t green, uint8_t blue, uint8_t& r, uint8_t& g, uint8_t& b) override;
};

class TMonochromeLookup : public TColorLookup {
public:
    TMonochromeLookup() { colors_ = 2; }
    int Lookup(uint8_t red, uint8_t green, uint8_t blue, uint8_t& r, uint8_t& g, uint8_t& b) override;
};

// Without error diffusion; rows are still walked in alternating directions.
class TDitherEngine {
public:
    TDitherEngine(int width, TColorLookup& lookup) : width_(width), lookup_(lookup) {}
    virtual ~TDitherEngine() = default;
    int Direction() const { return direction_; }
    int Column() const { return column_; }
    virtual int Dither(uint8_t red, uint8_t green, uint8_t blue, uint8_t& r, uint8_t& g, uint8_t& b);
    virtual void NextLine();

protected:
    int direction_ = 1;
    int column_ = 0;
    int width_;
    TColorLookup& lookup_;
};

class TFloydSteinbergDitherer : public TDitherEngine {
public:
    TFloydSteinbergDitherer(int width, TColorLookup& lookup);
    int Dither(uint8_t red, uint8_t green, uint8_t blue, uint8_t& r, uint8_t& g, uint8_t& b) override;
    void NextLine() override;
    // Passes over one pixel that carries no error of its own.
    void Skip();

private:
    struct Channel {
        std::vector<int32_t> cells;
        int current = 0, belowPrev = 0, below = 0;
    };
    Channel channels_[3];
    int pointer_ = 0;
};

// Error diffusion over a few rows with a fixed kernel.
class TKernelDitherer : public TDitherEngine {
public:
    struct Weight {
        int Row, Offset, Value;
    };
    TKernelDitherer(int width, TColorLookup& lookup, int rows, int margin, int divisor, int rounding,
                    std::vector<Weight> kernel);
    int Dither(uint8_t red, uint8_t green, uint8_t blue, uint8_t& r, uint8_t& g, uint8_t& b) override;
    void NextLine() override;

private:
    int margin_, divisor_, rounding_;
    std::vector<Weight> kernel_;
    // [channel][row] -> cells
    std::vector<std::vector<int32_t>> rows_[3];
    int pointer_;
};

class TStuckiDitherer : public TKernelDitherer {
public:
    TStuckiDitherer(int width, TColorLookup& lookup);
};
class TSierraDitherer : public TKernelDitherer {
public:
    TSierraDitherer(int width, TColorLookup& lookup);
};
class TJaJuNiDitherer : public TKernelDitherer {
public:
    TJaJuNiDitherer(int width, TColorLookup& lookup);
};
class TSteveArcheDitherer : public TKernelDitherer {
public:
    TSteveArcheDitherer(int width, TColorLookup& lookup);
};
class TBurkesDitherer : public TKernelDitherer {
public:
    TBurkesDitherer(int width, TColorLookup& lookup);
};

std::unique_ptr<TDitherEngine> CreateDitherer(TDitherMethod mode, int width, TColorLookup& lookup);

// Octree colour quantizer.
class TColorQuantizer {
public:
    TColorQuantizer(int maxColors, int colorBits);
    ~TColorQuantizer();
    void ProcessImage(const TRaster& source24);
    void AddColor(uint8_t red, uint8_t green, uint8_t blue);
    std::vector<COLORREF> GetColorTable() const;
    int LeafCount() const { return leafCount_; }

private:
    struct Node;
    Node* NewNode(int level);
    bool ReduceTree();
    std::unique_ptr<Node> tree_;
    int leafCount_ = 0;
    Node* reducible_[9] = {};
    int maxColors_;
    int colorBits_;
};

// Palettes.
std::vector<COLORREF> SystemStaticColors(); // 20: the first ten and the last ten
std::vector<COLORREF> BuildWebPalette();
std::vector<COLORREF> BuildGray256Palette();
std::vector<COLORREF> BuildGray4Palette();
std::vector<COLORREF> BuildMonochromePalette();
std::vector<COLORREF> BuildHalftonePalette();
std::vector<COLORREF> BuildOctreePalette(const TRaster& source24, int colors, int colorBits,
                                         bool withStaticColors);

// An 8-bit copy of a 24-bit picture on the method's palette (crNone: a 24-bit copy). The source is
// never changed. Unknown methods or dither modes, or an empty palette, give an empty result.
TRaster ReduceBitmapColors(const TRaster& source, TColorReductionMethod method, TDitherMethod ditherMode,
                           int reductionBits, const std::vector<COLORREF>& customPalette = {});
// Any raster as 24 bits.
TRaster ToRaster24(const TRaster& source);

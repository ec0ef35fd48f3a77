#pragma once
// A PNG image held as the list of its chunks, with the decoded pixels in the header chunk. It loads and saves
// PNG streams, gives access to single pixels and draws itself onto a 32-bit pixel target.
//
// The class library's graphic classes (TGraphic, TBitmap, TCanvas, the picture-format registry) are not part
// of the platform layer yet; this class is their future descendant. Draw takes a plain ARGB target for now,
// and the bitmap, clipboard and palette-handle conversions wait for those classes.
#include "imaging/png/chunk.h"
#include "imaging/png/row_coding.h"
#include "platform/rtl/object.h"
#include "platform/rtl/wintypes.h"

#include <array>
#include <cstdint>
#include <string>

class TStream;
class TChunkIHDR;

enum TPngAlphaKind : uint8_t { pakNone = 0, pakColorKey = 1, pakPartial = 2 };

// A pixel buffer to draw on: 0xAARRGGBB per pixel, rows top-down without padding (the layout of Surface).
struct PngDrawTarget {
    uint32_t* Bits = nullptr;
    int Width = 0;
    int Height = 0;
};

// A set of TPngRowFilter values: bit f stands for filter f.
using TPngRowFilters = uint8_t;
inline constexpr TPngRowFilters RowFilterSet(TPngRowFilter f) {
    return TPngRowFilters(1u << f);
}

class TPNGObject : public TObject {
public:
    TPNGObject();
    ~TPNGObject() override;
    std::string ClassName() const override { return "TPNGObject"; }

    // The graphic interface.
    bool Empty() const { return chunkItems_.Count() == 0; }
    int Width() const;
    int Height() const;
    [[noreturn]] void SetWidth(int value);
    [[noreturn]] void SetHeight(int value);
    bool Transparent() const { return AlphaKind() != pakNone; }
    void Assign(const TPNGObject& source) { CopyFromPng(source); }
    void LoadFromStream(TStream& stream);
    void SaveToStream(TStream& stream);
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName);
    // Draws into rect: opaque and colour-keyed images stretched to it, images with alpha at their own size
    // from its top-left corner, clipped to it. Never raises.
    void Draw(const PngDrawTarget& target, const RECT& rect) const noexcept;

    // Colours are 0x00BBGGRR. Outside the image ReadPixel answers 0 and WritePixel does nothing.
    virtual uint32_t ReadPixel(int x, int y) const;
    virtual void WritePixel(int x, int y, uint32_t color);

    bool HasHeader() const;
    TChunkIHDR& RequireHeader() const;
    TPngAlphaKind AlphaKind() const;
    uint32_t ColorKey() const;
    // Bytes of samples in one row and the filter distance in bytes; both 0 without a header.
    void RowLayout(uint32_t& rowLength, uint32_t& pixelStep) const;
    uint8_t* RowAddress(int y) const;
    void ClearChunkItems();
    void CopyFromPng(const TPNGObject& source);

    std::array<uint8_t, 256>& GammaLookup() { return gammaLookup_; }
    const std::array<uint8_t, 256>& GammaLookup() const { return gammaLookup_; }
    std::array<uint8_t, 256>& InverseGammaLookup() { return inverseGammaLookup_; }
    const std::array<uint8_t, 256>& InverseGammaLookup() const { return inverseGammaLookup_; }
    TPngRowFilters RowFilters() const { return rowFilters_; }
    void SetRowFilters(TPngRowFilters filters) { rowFilters_ = filters; }
    uint8_t DeflateLevel() const { return deflateLevel_; }
    void SetDeflateLevel(uint8_t level) { deflateLevel_ = level; }
    uint32_t IdatChunkLimit() const { return idatChunkLimit_; }
    // Values below 65535 store 65535; PNG chunks end at 2^31 - 1 bytes.
    void SetIdatChunkLimit(uint32_t limit);
    uint8_t InterlaceKind() const { return interlaceKind_; }
    void SetInterlaceKind(uint8_t kind) { interlaceKind_ = kind; }
    TPNGList& ChunkItems() { return chunkItems_; }
    const TPNGList& ChunkItems() const { return chunkItems_; }

    // The cached palette handle belongs with the palette conversions; until they exist there is nothing to
    // release, but the header calls this whenever it rebuilds its pixels.
    void ReleaseCachedPalette() {}

private:
    void ResetGamma();

    std::array<uint8_t, 256> gammaLookup_;
    std::array<uint8_t, 256> inverseGammaLookup_;
    TPngRowFilters rowFilters_ = RowFilterSet(prfSub);
    uint8_t deflateLevel_ = 7;
    uint32_t idatChunkLimit_ = 65535;
    uint8_t interlaceKind_ = 0;
    TPNGList chunkItems_;
};

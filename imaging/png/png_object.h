#pragma once
// A PNG image held as the list of its chunks, with the decoded pixels in the header chunk: a graphic that
// loads and saves PNG streams, draws on canvases, converts to and from bitmaps and gives access to single
// pixels. It is registered as the picture format "png".
#include "imaging/png/chunk.h"
#include "imaging/png/row_coding.h"
#include "platform/graphics/graphic.h"
#include "platform/rtl/wintypes.h"

#include <array>
#include <cstdint>
#include <string>

class TStream;
class TChunkIHDR;
class TBitmap;

enum TPngAlphaKind : uint8_t { pakNone = 0, pakColorKey = 1, pakPartial = 2 };

// A set of TPngRowFilter values: bit f stands for filter f.
using TPngRowFilters = uint8_t;
inline constexpr TPngRowFilters RowFilterSet(TPngRowFilter f) {
    return TPngRowFilters(1u << f);
}

class TPNGObject : public TGraphic {
public:
    TPNGObject();
    ~TPNGObject() override;
    std::string ClassName() const override { return "TPNGObject"; }

    bool Empty() const override { return chunkItems_.Count() == 0; }
    int Width() const override;
    int Height() const override;
    [[noreturn]] void SetWidth(int value) override;
    [[noreturn]] void SetHeight(int value) override;
    // Raises EPNGHeaderNotPresent without an image.
    bool Transparent() const override { return AlphaKind() != pakNone; }
    // Grey and palette images: a palette of the 256 colour-table entries, owned by the image; null otherwise.
    HPALETTE Palette() const override;
    // Grey and palette images take the palette's colours into their colour table; others ignore it.
    void SetPalette(HPALETTE value) override;
    // From another PNG image (a copy of its chunks) or a bitmap; anything else is refused.
    void Assign(TPersistent* Source) override;
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;
    // Through a bitmap (CF_BITMAP): the image is built from its pixels, not transparent.
    void LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE palette) override;
    // The image drawn on a bitmap of its size, which gives the clipboard's format, data and palette.
    void SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette) override;

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
    // A copy of the bitmap's pixels: its colour table for 1, 4 and 8 bits, RGB for deeper ones (alpha is
    // dropped); with transparent, transparentColor becomes the transparency key.
    void CopyFromBitmapHandle(HBITMAP bitmap, bool transparent, COLORREF transparentColor);
    void CopyFromBitmap(TBitmap& bitmap, bool transparent, COLORREF transparentColor);

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

    // The header calls this whenever it rebuilds its pixels.
    void ReleaseCachedPalette();

    // Into another PNG image, or into a bitmap of the header's bit count (pf1bit, pf4bit, pf8bit or
    // pf24bit) with its colour table, keyed when the image is; alpha is not carried. Public because a
    // bitmap assigned from any graphic draws it instead of asking the graphic.
    void AssignTo(TPersistent* Dest) override;

protected:
    // Opaque and colour-keyed images stretch to rect; images with alpha keep their own size from its
    // top-left corner, clipped to it. Never raises: a paint goes on whatever the image holds.
    void Draw(TCanvas& canvas, const TRect& rect) override;

private:
    void ResetGamma();
    void CopyToBitmap(TBitmap& bitmap) const;

    mutable HPALETTE cachedPalette_ = nullptr;

    std::array<uint8_t, 256> gammaLookup_;
    std::array<uint8_t, 256> inverseGammaLookup_;
    TPngRowFilters rowFilters_ = RowFilterSet(prfSub);
    uint8_t deflateLevel_ = 7;
    uint32_t idatChunkLimit_ = 65535;
    uint8_t interlaceKind_ = 0;
    TPNGList chunkItems_;
};

// Registers the class for the picture format "png" again (it is registered at start-up).
void RegisterPNGObject();

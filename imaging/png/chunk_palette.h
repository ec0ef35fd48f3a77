#pragma once
// The palette (PLTE) and transparency (tRNS) chunks; both describe the header's colour table.
#include "imaging/png/chunk.h"

#include <array>
#include <cstdint>

struct PngRgbQuad;

class TChunkPLTE : public TChunk {
public:
    explicit TChunkPLTE(TPNGObject* owner);
    std::string ClassName() const override { return "TChunkPLTE"; }

    void Assign(const TChunk& source) override;
    bool LoadFromStream(TStream& stream, const std::string& chunkType, uint32_t size) override;
    bool SaveToStream(TStream& stream) override;

    int EntryCount() const { return entryCount_; }
    void SetEntryCount(int count) { entryCount_ = count; }
    // Raises EPngError for an index past the palette.
    const PngRgbQuad& PaletteEntry(int index) const;

private:
    int entryCount_ = 0;
};

class TChunktRNS : public TChunk {
public:
    explicit TChunktRNS(TPNGObject* owner);
    std::string ClassName() const override { return "TChunktRNS"; }

    void Assign(const TChunk& source) override;
    bool LoadFromStream(TStream& stream, const std::string& chunkType, uint32_t size) override;
    bool SaveToStream(TStream& stream) override;

    // For a palette image: exactly one entry is fully transparent and every other one opaque, so the image
    // can be drawn with a colour key; any other alpha needs blending.
    bool OneColorTransparent() const { return oneColorTransparent_; }
    const std::array<uint8_t, 256>& AlphaTable() const { return alphaTable_; }

    // Whether the chunk names a usable transparent colour for the image's colour type.
    bool HasColorKey() const;
    // The transparent colour (0x00BBGGRR) as the image shows it; 0 when there is none.
    uint32_t KeyColor() const;
    // The transparent colour in the pixel store: the stored index for colour-table bitmaps, B | G << 8 |
    // R << 16 of the stored bytes for 24-bit ones. False when there is no key.
    bool StoredKey(uint32_t& key) const;
    void MakeColorTransparent(uint32_t color);

private:
    bool oneColorTransparent_ = false;
    std::array<uint8_t, 256> alphaTable_{};
};

#pragma once
// The small chunks: end of image, gamma and last-modification time.
#include "imaging/png/chunk.h"

#include <cstdint>

class TChunkIEND : public TChunk {
public:
    explicit TChunkIEND(TPNGObject* owner) : TChunk(owner) { SetChunkType("IEND"); }
    std::string ClassName() const override { return "TChunkIEND"; }
};

// The data is one big-endian value: the gamma times 100000.
class TChunkgAMA : public TChunk {
public:
    explicit TChunkgAMA(TPNGObject* owner);
    std::string ClassName() const override { return "TChunkgAMA"; }

    void Assign(const TChunk& source) override;
    // Also rebuilds the owner's gamma tables, which then apply to everything decoded after this chunk.
    bool LoadFromStream(TStream& stream, const std::string& chunkType, uint32_t size) override;

    uint32_t GammaValue();
    void SetGammaValue(uint32_t value);
};

class TChunktIME : public TChunk {
public:
    explicit TChunktIME(TPNGObject* owner) : TChunk(owner) { SetChunkType("tIME"); }
    std::string ClassName() const override { return "TChunktIME"; }

    // The fields as well as the data: saving writes the fields.
    void Assign(const TChunk& source) override;
    bool LoadFromStream(TStream& stream, const std::string& chunkType, uint32_t size) override;
    bool SaveToStream(TStream& stream) override;

    uint16_t Year = 0;
    uint8_t Month = 0;
    uint8_t Day = 0;
    uint8_t Hour = 0;
    uint8_t Minute = 0;
    uint8_t Second = 0;
};

#pragma once
// The image data chunk: decodes the zlib-compressed, filtered scan lines of all consecutive IDAT chunks into
// the header's pixel store, and encodes the pixel store back into IDAT chunks. It keeps no data itself.
#include "imaging/png/chunk.h"

class TChunkIDAT : public TChunk {
public:
    explicit TChunkIDAT(TPNGObject* owner) : TChunk(owner) { SetChunkType("IDAT"); }
    std::string ClassName() const override { return "TChunkIDAT"; }

    // Decodes the whole image, reading on through the IDAT chunks that follow this one; leaves the stream at
    // the first chunk after them. Raises on a CRC mismatch, a broken zlib stream or image data that stops
    // before the last row.
    bool LoadFromStream(TStream& stream, const std::string& chunkType, uint32_t size) override;
    // Writes the image as one or more IDAT chunks of at most the owner's IdatChunkLimit bytes each.
    bool SaveToStream(TStream& stream) override;
};

// The Adam7 passes: starting row and column, row and column step.
struct Adam7Pass {
    uint32_t row, column, rowStep, columnStep;
};
inline constexpr Adam7Pass kAdam7[7] = {{0, 0, 8, 8}, {0, 4, 8, 8}, {4, 0, 8, 4}, {0, 2, 4, 4},
                                        {2, 0, 4, 2}, {0, 1, 2, 2}, {1, 0, 2, 1}};

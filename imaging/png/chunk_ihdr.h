#pragma once
// The header chunk: the image's size and sample format, and the decoded pixels in a device-independent
// layout (bottom-up rows padded to 32 bits, 1, 4, 8 or 24 bits per pixel, a 256-entry colour table) with a
// separate alpha plane for the colour types that carry alpha.
#include "imaging/png/chunk.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

struct PngRgbQuad {
    uint8_t rgbBlue = 0;
    uint8_t rgbGreen = 0;
    uint8_t rgbRed = 0;
    uint8_t rgbReserved = 0;
};

class TChunkIHDR : public TChunk {
public:
    explicit TChunkIHDR(TPNGObject* owner);
    std::string ClassName() const override { return "TChunkIHDR"; }

    void Assign(const TChunk& source) override;
    bool LoadFromStream(TStream& stream, const std::string& chunkType, uint32_t size) override;
    bool SaveToStream(TStream& stream) override;

    // Builds zeroed pixel storage for the current header fields (which must be valid).
    void PrepareBitmap();

    uint32_t Width() const { return width_; }
    uint32_t Height() const { return height_; }
    uint8_t BitDepth() const { return bitDepth_; }
    uint8_t ColorType() const { return colorType_; }
    uint8_t CompressionMethod() const { return compressionMethod_; }
    uint8_t FilterMethod() const { return filterMethod_; }
    uint8_t InterlaceMethod() const { return interlaceMethod_; }
    // Sets the header fields of a new image; raises as loading would for values it cannot hold.
    void SetHeader(uint32_t width, uint32_t height, uint8_t bitDepth, uint8_t colorType,
                   uint8_t interlaceMethod = 0);

    bool UsesColorTable() const { return usesColorTable_; }
    uint8_t BitCount() const { return bitCount_; }
    size_t RowStride() const { return rowStride_; }
    uint8_t* DibBits() { return dibBits_.get(); }
    const uint8_t* DibBits() const { return dibBits_.get(); }
    size_t DibSize() const { return rowStride_ * height_; }
    // Row y of the bitmap, 0 = top.
    uint8_t* RowAddress(uint32_t y) { return dibBits_.get() + (height_ - 1 - y) * rowStride_; }
    const uint8_t* RowAddress(uint32_t y) const { return dibBits_.get() + (height_ - 1 - y) * rowStride_; }
    // One byte per pixel, top row first; empty for the colour types without alpha.
    uint8_t* AlphaPlane() { return alphaPlane_.get(); }
    const uint8_t* AlphaPlane() const { return alphaPlane_.get(); }
    std::array<PngRgbQuad, 256>& ColorTable() { return colorTable_; }
    const std::array<PngRgbQuad, 256>& ColorTable() const { return colorTable_; }

private:
    // True when this is the header of its owner's image rather than a stray second IHDR.
    bool IsImageHeader() const;
    void Validate() const;

    bool usesColorTable_ = false;
    uint8_t bitCount_ = 0;
    size_t rowStride_ = 0;
    struct FreeBits {
        void operator()(uint8_t* p) const { std::free(p); }
    };
    // calloc: large blocks come from the system already zeroed, so clearing them costs nothing.
    std::unique_ptr<uint8_t, FreeBits> dibBits_;
    std::unique_ptr<uint8_t, FreeBits> alphaPlane_;
    std::array<PngRgbQuad, 256> colorTable_{};
    uint32_t width_ = 0;
    uint32_t height_ = 0;
    uint8_t bitDepth_ = 0;
    uint8_t colorType_ = 0;
    uint8_t compressionMethod_ = 0;
    uint8_t filterMethod_ = 0;
    uint8_t interlaceMethod_ = 0;
};

// The largest width x height we hold in memory.
inline constexpr uint64_t kMaxPngPixels = uint64_t(16384) * 16384;

#include "imaging/png/chunk_ihdr.h"

#include "imaging/png/png_errors.h"
#include "imaging/png/png_object.h"
#include "imaging/png/png_utils.h"

#include <algorithm>
#include <cstring>
#include <new>

TChunkIHDR::TChunkIHDR(TPNGObject* owner) : TChunk(owner) {
    SetChunkType("IHDR");
}

namespace {
bool IsDefinedFormat(uint8_t colorType, uint8_t bitDepth) {
    switch (colorType) {
    case 0:
        return bitDepth == 1 || bitDepth == 2 || bitDepth == 4 || bitDepth == 8 || bitDepth == 16;
    case 3:
        return bitDepth == 1 || bitDepth == 2 || bitDepth == 4 || bitDepth == 8;
    case 2:
    case 4:
    case 6:
        return bitDepth == 8 || bitDepth == 16;
    default:
        return false;
    }
}
} // namespace

bool TChunkIHDR::IsImageHeader() const {
    return Owner() && Owner()->ChunkItems().Item(0) == this;
}

void TChunkIHDR::Validate() const {
    if (width_ >= 65536 || height_ >= 65536) RaisePngError<EPNGSizeExceeds>(png_text::SizeExceeds);
    if (compressionMethod_ != 0) RaisePngError<EPNGUnknownCompression>(png_text::UnknownCompression);
    if (interlaceMethod_ > 1) RaisePngError<EPNGUnknownInterlace>(png_text::UnknownInterlace);
    // Without these there is no pixel layout to decode into.
    if (width_ == 0 || height_ == 0 || !IsDefinedFormat(colorType_, bitDepth_))
        RaisePngError<EPngInvalidIHDR>(png_text::InvalidIHDR);
    if (uint64_t(width_) * height_ > kMaxPngPixels)
        RaisePngError<EPNGSizeExceeds>(png_text::PixelCountExceeds);
}

bool TChunkIHDR::LoadFromStream(TStream& stream, const std::string& chunkType, uint32_t size) {
    const bool result = TChunk::LoadFromStream(stream, chunkType, size);
    if (size < 13) RaisePngError<EPngInvalidIHDR>(png_text::InvalidIHDR);
    const uint8_t* p = Payload();
    width_ = ReadBigEndian32(p);
    height_ = ReadBigEndian32(p + 4);
    bitDepth_ = p[8];
    colorType_ = p[9];
    compressionMethod_ = p[10];
    filterMethod_ = p[11];
    interlaceMethod_ = p[12];
    try {
        Validate();
    } catch (const Exception&) {
        // The refused header stays in the image's list: it must describe no pixels.
        width_ = height_ = 0;
        throw;
    }
    // A second IHDR further down is kept as data only: it must not claim pixel storage or the image's layout.
    if (IsImageHeader()) {
        Owner()->SetInterlaceKind(interlaceMethod_);
        PrepareBitmap();
    }
    return result;
}

void TChunkIHDR::SetHeader(uint32_t width, uint32_t height, uint8_t bitDepth, uint8_t colorType,
                           uint8_t interlaceMethod) {
    width_ = width;
    height_ = height;
    bitDepth_ = bitDepth;
    colorType_ = colorType;
    compressionMethod_ = 0;
    filterMethod_ = 0;
    interlaceMethod_ = interlaceMethod;
    try {
        Validate();
    } catch (const Exception&) {
        width_ = height_ = 0;
        throw;
    }
    PrepareBitmap();
}

void TChunkIHDR::PrepareBitmap() {
    dibBits_.reset();
    alphaPlane_.reset();
    colorTable_ = {};
    switch (colorType_) {
    case 2:
    case 6:
        bitCount_ = 24;
        usesColorTable_ = false;
        break;
    default:
        bitCount_ = bitDepth_ == 2 ? 4 : bitDepth_ == 16 ? 8 : bitDepth_;
        usesColorTable_ = true;
        break;
    }
    rowStride_ = static_cast<size_t>(((uint64_t(bitCount_) * width_ + 31) & ~uint64_t(31)) / 8);
    if (Owner()) Owner()->ReleaseCachedPalette();
    try {
        dibBits_.reset(static_cast<uint8_t*>(std::calloc(std::max<size_t>(rowStride_ * height_, 1), 1)));
        if (!dibBits_) throw std::bad_alloc();
        if (colorType_ == 4 || colorType_ == 6) {
            alphaPlane_.reset(
                static_cast<uint8_t*>(std::calloc(std::max<size_t>(size_t(width_) * height_, 1), 1)));
            if (!alphaPlane_) throw std::bad_alloc();
        }
    } catch (const std::bad_alloc&) {
        dibBits_.reset();
        alphaPlane_.reset();
        RaisePngError<EPNGOutMemory>(png_text::OutMemory);
    }
}

bool TChunkIHDR::SaveToStream(TStream& stream) {
    if (bitDepth_ == 2) bitDepth_ = 4; // the bitmap holds 4-bit pixels
    ResizePayload(13);
    uint8_t* p = Payload();
    WriteBigEndian32(p, width_);
    WriteBigEndian32(p + 4, height_);
    p[8] = bitDepth_;
    p[9] = colorType_;
    p[10] = compressionMethod_;
    p[11] = filterMethod_;
    p[12] = Owner() ? Owner()->InterlaceKind() : interlaceMethod_;
    return TChunk::SaveToStream(stream);
}

void TChunkIHDR::Assign(const TChunk& source) {
    const auto* header = dynamic_cast<const TChunkIHDR*>(&source);
    if (!header) RaisePngError<EPngError>(png_text::CannotAssignChunk);
    width_ = header->width_;
    height_ = header->height_;
    bitDepth_ = header->bitDepth_;
    colorType_ = header->colorType_;
    compressionMethod_ = header->compressionMethod_;
    filterMethod_ = header->filterMethod_;
    interlaceMethod_ = header->interlaceMethod_;
    PrepareBitmap();
    if (header->dibBits_ && header->DibSize() == DibSize())
        std::memcpy(DibBits(), header->DibBits(), DibSize());
    if (alphaPlane_ && header->alphaPlane_)
        std::memcpy(alphaPlane_.get(), header->alphaPlane_.get(), size_t(width_) * height_);
    colorTable_ = header->colorTable_;
}

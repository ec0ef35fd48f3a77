#include "imaging/png/png_object.h"

#include "imaging/png/chunk_ihdr.h"
#include "imaging/png/png_errors.h"
#include "imaging/png/png_utils.h"
#include "imaging/png/zlib_buffer.h"
#include "platform/rtl/stream.h"

#include <algorithm>
#include <cstring>
#include <typeinfo>

namespace {
constexpr uint8_t kSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
} // namespace

TPNGObject::TPNGObject() {
    ResetGamma();
}

TPNGObject::~TPNGObject() {
    ClearChunkItems();
    ReleaseCachedPalette();
}

void TPNGObject::ResetGamma() {
    for (int i = 0; i < 256; ++i)
        gammaLookup_[i] = inverseGammaLookup_[i] = static_cast<uint8_t>(i);
}

void TPNGObject::ClearChunkItems() {
    ResetGamma();
    chunkItems_.Clear();
}

bool TPNGObject::HasHeader() const {
    return dynamic_cast<TChunkIHDR*>(chunkItems_.Item(0)) != nullptr;
}

TChunkIHDR& TPNGObject::RequireHeader() const {
    auto* header = dynamic_cast<TChunkIHDR*>(chunkItems_.Item(0));
    if (!header) RaisePngError<EPNGHeaderNotPresent>(png_text::HeaderNotPresent);
    return *header;
}

// A header without pixel storage (one that failed to load) has no size.
int TPNGObject::Width() const {
    return HasHeader() && RequireHeader().DibBits() ? static_cast<int>(RequireHeader().Width()) : 0;
}
int TPNGObject::Height() const {
    return HasHeader() && RequireHeader().DibBits() ? static_cast<int>(RequireHeader().Height()) : 0;
}

void TPNGObject::SetWidth(int) {
    RaisePngError<EPngError>(png_text::CannotChangeSize);
}
void TPNGObject::SetHeight(int) {
    RaisePngError<EPngError>(png_text::CannotChangeSize);
}

void TPNGObject::SetIdatChunkLimit(uint32_t limit) {
    idatChunkLimit_ = std::clamp<uint32_t>(limit, 65535u, kMaxChunkLength);
}

void TPNGObject::RowLayout(uint32_t& rowLength, uint32_t& pixelStep) const {
    rowLength = pixelStep = 0;
    if (!HasHeader()) return;
    const TChunkIHDR& header = RequireHeader();
    const uint8_t depth = header.BitDepth();
    rowLength = static_cast<uint32_t>(SampleBytesFor(header.Width(), header.ColorType(), depth));
    switch (header.ColorType()) {
    case 0:
        pixelStep = depth == 16 ? 2 : 1;
        break;
    case 2:
        pixelStep = depth * 3 / 8;
        break;
    case 3:
        pixelStep = 1;
        break;
    case 4:
        pixelStep = depth * 2 / 8;
        break;
    case 6:
        pixelStep = depth * 4 / 8;
        break;
    default:
        pixelStep = 0;
        break;
    }
}

uint8_t* TPNGObject::RowAddress(int y) const {
    return RequireHeader().RowAddress(static_cast<uint32_t>(y));
}

void TPNGObject::LoadFromStream(TStream& stream) {
    ClearChunkItems();
    uint8_t signature[8];
    if (stream.Read(signature, 8) != 8 || std::memcmp(signature, kSignature, 8) != 0)
        RaisePngError<EPNGInvalidFileHeader>(png_text::InvalidFileHeader);
    const int64_t streamSize = stream.Size();
    bool idatSeen = false;
    for (int i = 1;; ++i) {
        uint8_t head[8];
        if (stream.Read(head, 8) != 8) RaisePngError<EPngUnexpectedEnd>(png_text::UnexpectedEnd);
        const uint32_t length = ReadBigEndian32(head);
        const std::string type(reinterpret_cast<const char*>(head + 4), 4);
        if (i == 1 && type != "IHDR") {
            chunkItems_.Clear();
            RaisePngError<EPNGIHDRNotFirst>(png_text::IHDRNotFirst);
        }
        // A length is trusted only once the data and its CRC are known to be there.
        if (length > kMaxChunkLength || int64_t(length) + 4 > streamSize - stream.Position())
            RaisePngError<EPngUnexpectedEnd>(png_text::UnexpectedEnd);
        // The image data decoder has read the IDAT chunks it needed; cHRM is never kept.
        if ((idatSeen && type == "IDAT") || type == "cHRM") {
            --i;
            stream.Seek(int64_t(length) + 4, soCurrent);
            continue;
        }
        if (type == "IDAT") idatSeen = true;
        std::unique_ptr<TChunk> created = CreateChunkByName(this, type);
        TChunk* chunk = created.get();
        chunkItems_.Add(std::move(created));
        if (typeid(*chunk) == typeid(TChunk) && !(static_cast<uint8_t>(type[0]) & 32))
            RaisePngError<EPNGUnknownCriticalChunk>(png_text::UnknownCriticalChunk);
        if (!chunk->LoadFromStream(stream, type, length)) break;
        if (type == "IEND") break;
    }
    if (!idatSeen) RaisePngError<EPNGNoImageData>(png_text::NoImageData);
}

void TPNGObject::SaveToStream(TStream& stream) {
    stream.WriteBuffer(kSignature, 8);
    for (int i = 0; i < chunkItems_.Count(); ++i) {
        TChunk* chunk = chunkItems_.Item(i);
        // Only a text chunk reports failure this way: its text could not be deflated.
        if (chunk && !chunk->SaveToStream(stream))
            RaisePngError<EPNGZLIBError>(std::string(png_text::ZLIBError) + ZlibErrorText(-2));
    }
}

void TPNGObject::CopyFromPng(const TPNGObject& source) {
    if (&source == this) return;
    interlaceKind_ = source.interlaceKind_;
    SetIdatChunkLimit(source.idatChunkLimit_);
    deflateLevel_ = source.deflateLevel_;
    rowFilters_ = source.rowFilters_;
    ClearChunkItems();
    // The pixels hold gamma-corrected colours; without the tables a copy would save them corrected twice.
    gammaLookup_ = source.gammaLookup_;
    inverseGammaLookup_ = source.inverseGammaLookup_;
    for (int i = 0; i < source.chunkItems_.Count(); ++i) {
        const TChunk* from = source.chunkItems_.Item(i);
        if (!from) continue;
        std::unique_ptr<TChunk> copy = CreateChunkByName(this, from->ChunkType());
        TChunk* chunk = copy.get();
        chunkItems_.Add(std::move(copy));
        chunk->Assign(*from);
    }
}

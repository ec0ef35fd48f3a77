#include "imaging/png/chunk.h"

#include "imaging/png/chunk_idat.h"
#include "imaging/png/chunk_ihdr.h"
#include "imaging/png/chunk_misc.h"
#include "imaging/png/chunk_palette.h"
#include "imaging/png/chunk_text.h"
#include "imaging/png/png_errors.h"
#include "imaging/png/png_object.h"
#include "imaging/png/png_utils.h"
#include "platform/rtl/stream.h"

#include <algorithm>
#include <cstring>

TChunk::TChunk(TPNGObject* owner) : payload_(1, 0), owner_(owner) {}

std::string TChunk::TypeFromClassName() const {
    const std::string name = ClassName();
    return name.size() > 6 ? name.substr(6) : std::string();
}

void TChunk::ResizePayload(uint32_t size) {
    payload_.assign(static_cast<size_t>(size) + 1, 0);
}

void TChunk::Assign(const TChunk& source) {
    chunkType_ = source.chunkType_;
    payload_ = source.payload_;
}

namespace {
uint32_t ChunkCrc(const std::string& type, const uint8_t* data, uint32_t size) {
    uint32_t crc = UpdateCrc32(0xFFFFFFFFu, type.data(), 4);
    return ~UpdateCrc32(crc, data, size);
}

void ReadExactly(TStream& stream, void* buffer, int64_t count) {
    if (stream.Read(buffer, count) != count) RaisePngError<EPngUnexpectedEnd>(png_text::UnexpectedEnd);
}
} // namespace

bool TChunk::LoadFromStream(TStream& stream, const std::string& chunkType, uint32_t size) {
    ResizePayload(size);
    if (size > 0) ReadExactly(stream, Payload(), size);
    uint8_t stored[4];
    ReadExactly(stream, stored, 4);
    if (ReadBigEndian32(stored) != ChunkCrc(chunkType, Payload(), size))
        RaisePngError<EPngInvalidCRC>(png_text::InvalidCRC);
    return true;
}

bool TChunk::SaveToStream(TStream& stream) {
    uint8_t head[8];
    WriteBigEndian32(head, PayloadSize());
    std::string type = chunkType_;
    type.resize(4, '\0');
    std::memcpy(head + 4, type.data(), 4);
    stream.WriteBuffer(head, 8);
    if (PayloadSize() > 0) stream.WriteBuffer(Payload(), PayloadSize());
    uint8_t crc[4];
    WriteBigEndian32(crc, ChunkCrc(type, Payload(), PayloadSize()));
    stream.WriteBuffer(crc, 4);
    return true;
}

TChunkIHDR& TChunk::HeaderOf() const {
    return owner_->RequireHeader();
}

TChunk* TPNGList::Item(int index) const {
    if (index < 0 || index >= Count()) return nullptr;
    return items_[static_cast<size_t>(index)].get();
}

void TPNGList::SetItem(int index, std::unique_ptr<TChunk> chunk) {
    if (index < 0 || index >= Count()) return;
    items_[static_cast<size_t>(index)] = std::move(chunk);
}

std::unique_ptr<TChunk> TPNGList::Remove(TChunk* chunk) {
    for (auto it = items_.rbegin(); it != items_.rend(); ++it)
        if (it->get() == chunk) {
            std::unique_ptr<TChunk> taken = std::move(*it);
            items_.erase(std::next(it).base());
            return taken;
        }
    return nullptr;
}

namespace {
using ChunkFactory = std::unique_ptr<TChunk> (*)(TPNGObject*);
template <class T> std::unique_ptr<TChunk> Make(TPNGObject* owner) {
    return std::make_unique<T>(owner);
}

struct RegisteredChunk {
    const char* type;
    ChunkFactory create;
};
constexpr RegisteredChunk kRegistry[] = {
    {"IEND", Make<TChunkIEND>}, {"IHDR", Make<TChunkIHDR>}, {"IDAT", Make<TChunkIDAT>},
    {"PLTE", Make<TChunkPLTE>}, {"gAMA", Make<TChunkgAMA>}, {"tRNS", Make<TChunktRNS>},
    {"tIME", Make<TChunktIME>}, {"tEXt", Make<TChunktEXt>}, {"zTXt", Make<TChunkzTXt>},
};
} // namespace

std::unique_ptr<TChunk> CreateChunkByName(TPNGObject* owner, const std::string& chunkType) {
    // The type compares as a string that ends at a zero byte within its 4 characters.
    const std::string key = chunkType.substr(0, std::min(chunkType.find('\0'), chunkType.size()));
    std::unique_ptr<TChunk> chunk;
    for (const auto& entry : kRegistry)
        if (key == entry.type) {
            chunk = entry.create(owner);
            break;
        }
    if (!chunk) chunk = std::make_unique<TChunk>(owner);
    chunk->SetChunkType(chunkType);
    return chunk;
}

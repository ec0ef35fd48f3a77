#pragma once
// The chunk layer of a PNG stream: the base chunk with its reading and writing, the chunk list and the
// registry that maps a chunk type to its class.
#include "platform/rtl/object.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The largest length a chunk may state (2^31 - 1).
inline constexpr uint32_t kMaxChunkLength = 0x7FFFFFFFu;

class TStream;
class TPNGObject;
class TChunkIHDR;

class TChunk : public TObject {
public:
    explicit TChunk(TPNGObject* owner);
    std::string ClassName() const override { return "TChunk"; }

    // The chunk type a class stands for: its class name from the 7th character on ("" for TChunk).
    std::string TypeFromClassName() const;

    virtual void Assign(const TChunk& source);
    // Reads `size` data bytes and the CRC after them; raises on a CRC mismatch. The caller has made sure
    // that size bytes and the CRC are there.
    virtual bool LoadFromStream(TStream& stream, const std::string& chunkType, uint32_t size);
    virtual bool SaveToStream(TStream& stream);

    TPNGObject* Owner() const { return owner_; }
    const std::string& ChunkType() const { return chunkType_; }
    void SetChunkType(const std::string& type) { chunkType_ = type; }
    // The data, always followed by one spare zero byte.
    uint8_t* Payload() { return payload_.data(); }
    const uint8_t* Payload() const { return payload_.data(); }
    uint32_t PayloadSize() const { return static_cast<uint32_t>(payload_.size() - 1); }
    void ResizePayload(uint32_t size);

protected:
    // The header chunk of the owner's image (item 0); raises EPNGHeaderNotPresent when there is none.
    TChunkIHDR& HeaderOf() const;

private:
    std::vector<uint8_t> payload_;
    TPNGObject* owner_;
    std::string chunkType_;
};

// The chunks of one image in stream order; owns them.
class TPNGList {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    // Nothing for an index outside the list.
    TChunk* Item(int index) const;
    void Add(std::unique_ptr<TChunk> chunk) { items_.push_back(std::move(chunk)); }
    void SetItem(int index, std::unique_ptr<TChunk> chunk);
    // Shrinks or grows; new entries are empty.
    void SetSize(int count) { items_.resize(static_cast<size_t>(count < 0 ? 0 : count)); }
    // Takes the last entry holding the chunk out of the list and hands it back (nothing when absent).
    std::unique_ptr<TChunk> Remove(TChunk* chunk);
    void Clear() { items_.clear(); }

    // The first chunk that is a T or a descendant of it.
    template <class T> T* ItemFromClass() const {
        for (const auto& item : items_)
            if (auto* found = dynamic_cast<T*>(item.get())) return found;
        return nullptr;
    }

private:
    std::vector<std::unique_ptr<TChunk>> items_;
};

// The registered class for a chunk type (IEND, IHDR, IDAT, PLTE, gAMA, tRNS, tIME, tEXt, zTXt), otherwise the
// generic TChunk; its ChunkType is set to the type asked for.
std::unique_ptr<TChunk> CreateChunkByName(TPNGObject* owner, const std::string& chunkType);

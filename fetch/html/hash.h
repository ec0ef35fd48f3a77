#pragma once
// A hash table of raw key and item blocks, chained through 32-bit indices in one entry array.
#include <cstdint>
#include <memory>

#include "fetch/html/container.h"

class TDIHash : public TDIContainer {
public:
    TDIHash(TDIItemHandler* itemHandler, TDIKeyHandler* keyHandler);
    ~TDIHash() override;
    std::string ClassName() const override { return "TDIHash"; }

    TDIKeyHandler* KeyHandler() const { return keyHandler_; }
    int32_t HashCount() const { return hashCount_; }
    int32_t EntryCount() const { return entryCount_; }

    // Item and key pointers stay valid until the entry array is reallocated.
    void* Find(const void* key);
    void* FindBuf(const char16_t* buf, size_t length);
    void* Locate(const void* key);
    void* Insert(const void* key);
    void Delete(const void* key);
    bool IsDeleted(int32_t index) const;
    void* KeyAt(int32_t index) const;
    void* ItemAt(int32_t index) const;
    void Pack();
    void SetHashCount(int32_t n);
    void Clear();

    void ReadData(TDIBinaryReader& reader, uint32_t flags, void* data) override;
    void WriteData(TDIBinaryWriter& writer, uint32_t flags, void* data) override;

private:
    static constexpr int32_t kNone = INT32_MIN; // 0x80000000
    static constexpr int32_t kDeletedBit = 0x40000000;

    uint8_t* Slot(int32_t index) const { return entries_.get() + static_cast<size_t>(index) * slotSize_; }
    int32_t& Header(int32_t index) const { return *reinterpret_cast<int32_t*>(Slot(index)); }
    void* KeyOf(int32_t index) const { return Slot(index) + 8; }
    void* ItemOf(int32_t index) const { return Slot(index) + keyOffsetEnd_; }

    void RequireSearch(bool buffer) const;
    // Finds a key's entry; 'last' receives the last entry of the chain walked (kNone if empty).
    int32_t Search(uint32_t hash, const void* key, const char16_t* buf, size_t length, int32_t& last);
    uint32_t Bucket(uint32_t hash) const { return hash % static_cast<uint32_t>(hashCount_); }
    int32_t TakeSlot(uint32_t hash, int32_t last);
    void GrowEntries(int32_t slots);
    void Rehash();
    void FreeAll();
    void AfterInsert();
    void SwapContents(TDIHash& other);

    TDIKeyHandler* keyHandler_;
    int32_t hashCount_ = 0;
    int32_t firstDeleted_ = kNone;
    std::unique_ptr<int32_t[]> buckets_;
    std::unique_ptr<uint8_t[]> entries_;
    int32_t entryCount_ = 0;
    int32_t entryCapacity_ = 0;
    size_t slotSize_;
    size_t keyOffsetEnd_;
};

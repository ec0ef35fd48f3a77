#include "fetch/html/hash.h"

#include <cstring>

#include "fetch/html/binary_filer.h"
#include "platform/rtl/format.h"

TDIHash::TDIHash(TDIItemHandler* itemHandler, TDIKeyHandler* keyHandler)
    : TDIContainer(itemHandler), keyHandler_(keyHandler) {
    CheckItemHandler();
    if (keyHandler == nullptr) Error(di_text::KeyHandlerNil);
    keyHandler_->Acquire();
    keyOffsetEnd_ = 8 + Aligned(keyHandler_->KeySize());
    slotSize_ = keyOffsetEnd_ + Aligned(itemHandler_->ItemSize());
    SetHashCount(3);
}

TDIHash::~TDIHash() {
    FreeAll();
    keyHandler_->Release();
}

void TDIHash::RequireSearch(bool buffer) const {
    if (buffer) {
        if (!keyHandler_->OnHashKeyBuf()) Error(Format(di_text::NotAssigned, "OnHashKeyBuf"));
        if (!keyHandler_->OnSameKeyBuf()) Error(Format(di_text::NotAssigned, "OnSameKeyBuf"));
    } else {
        if (!keyHandler_->OnHashKey()) Error(Format(di_text::NotAssigned, "OnHashKey"));
        if (!keyHandler_->OnSameKeys()) Error(Format(di_text::NotAssigned, "OnSameKeys"));
    }
}

int32_t TDIHash::Search(uint32_t hash, const void* key, const char16_t* buf, size_t length, int32_t& last) {
    last = kNone;
    for (int32_t i = buckets_[Bucket(hash)]; i != kNone; i = Header(i)) {
        bool same = key ? keyHandler_->OnSameKeys()(this, key, KeyOf(i))
                        : keyHandler_->OnSameKeyBuf()(this, buf, length, KeyOf(i));
        if (same) return i;
        last = i;
    }
    return kNone;
}

void* TDIHash::Find(const void* key) {
    RequireSearch(false);
    int32_t last;
    int32_t i = Search(keyHandler_->OnHashKey()(this, key), key, nullptr, 0, last);
    return i == kNone ? nullptr : ItemOf(i);
}

void* TDIHash::FindBuf(const char16_t* buf, size_t length) {
    RequireSearch(true);
    int32_t last;
    int32_t i = Search(keyHandler_->OnHashKeyBuf()(this, buf, length), nullptr, buf, length, last);
    return i == kNone ? nullptr : ItemOf(i);
}

void TDIHash::GrowEntries(int32_t slots) {
    if (slots <= entryCapacity_) return;
    int32_t capacity = Capacity(slots);
    std::unique_ptr<uint8_t[]> grown(new uint8_t[static_cast<size_t>(capacity) * slotSize_]());
    if (entryCount_ > 0)
        std::memcpy(grown.get(), entries_.get(), static_cast<size_t>(entryCount_) * slotSize_);
    entries_ = std::move(grown);
    entryCapacity_ = capacity;
}

int32_t TDIHash::TakeSlot(uint32_t hash, int32_t last) {
    int32_t index;
    if (firstDeleted_ == kNone) {
        GrowEntries(entryCount_ + 1);
        index = entryCount_++;
    } else {
        index = firstDeleted_;
        firstDeleted_ = Header(index) & ~kDeletedBit;
    }
    std::memset(Slot(index), 0, slotSize_);
    Header(index) = kNone;
    if (last == kNone)
        buckets_[Bucket(hash)] = index;
    else
        Header(last) = index;
    return index;
}

void TDIHash::AfterInsert() {
    ++count_;
    if (count_ >= hashCount_) SetHashCount(Capacity(count_));
}

void* TDIHash::Locate(const void* key) {
    RequireSearch(false);
    if (!keyHandler_->OnStoreKey()) Error(Format(di_text::NotAssigned, "OnStoreKey"));
    uint32_t hash = keyHandler_->OnHashKey()(this, key);
    int32_t last;
    int32_t i = Search(hash, key, nullptr, 0, last);
    if (i != kNone) return ItemOf(i);
    i = TakeSlot(hash, last);
    keyHandler_->OnStoreKey()(this, key, KeyOf(i));
    if (itemHandler_->OnInitItem()) itemHandler_->OnInitItem()(this, ItemOf(i));
    AfterInsert();
    return ItemOf(i);
}

void* TDIHash::Insert(const void* key) {
    RequireSearch(false);
    if (!keyHandler_->OnStoreKey()) Error(Format(di_text::NotAssigned, "OnStoreKey"));
    uint32_t hash = keyHandler_->OnHashKey()(this, key);
    int32_t last;
    if (Search(hash, key, nullptr, 0, last) != kNone) return nullptr;
    int32_t i = TakeSlot(hash, last);
    keyHandler_->OnStoreKey()(this, key, KeyOf(i));
    if (itemHandler_->OnInitItem()) itemHandler_->OnInitItem()(this, ItemOf(i));
    AfterInsert();
    return ItemOf(i);
}

void TDIHash::Delete(const void* key) {
    RequireSearch(false);
    uint32_t hash = keyHandler_->OnHashKey()(this, key);
    int32_t prev;
    int32_t i = Search(hash, key, nullptr, 0, prev);
    if (i == kNone) return;
    if (prev == kNone)
        buckets_[Bucket(hash)] = Header(i);
    else
        Header(prev) = Header(i);
    Header(i) = firstDeleted_ | kDeletedBit;
    firstDeleted_ = i;
    if (keyHandler_->OnFreeKey()) keyHandler_->OnFreeKey()(this, KeyOf(i));
    if (itemHandler_->OnFreeItem()) itemHandler_->OnFreeItem()(this, ItemOf(i));
    --count_;
    if (Shrink(entryCount_) > count_) Pack();
}

bool TDIHash::IsDeleted(int32_t index) const {
    if (index < 0 || index >= entryCount_) ListIndexError(index);
    return Header(index) != kNone && (Header(index) & kDeletedBit) != 0;
}

void* TDIHash::KeyAt(int32_t index) const {
    if (IsDeleted(index)) Error(di_text::ItemIsDeleted);
    return KeyOf(index);
}

void* TDIHash::ItemAt(int32_t index) const {
    if (IsDeleted(index)) Error(di_text::ItemIsDeleted);
    return ItemOf(index);
}

void TDIHash::Rehash() {
    if (!keyHandler_->OnHashKey()) Error(Format(di_text::NotAssigned, "OnHashKey"));
    for (int32_t b = 0; b < hashCount_; ++b)
        buckets_[b] = kNone;
    for (int32_t i = 0; i < entryCount_; ++i) {
        if (IsDeleted(i)) continue;
        uint32_t bucket = Bucket(keyHandler_->OnHashStoredKey()(this, KeyOf(i)));
        Header(i) = buckets_[bucket];
        buckets_[bucket] = i;
    }
}

void TDIHash::Pack() {
    if (firstDeleted_ == kNone) return;
    int32_t live = 0;
    for (int32_t i = 0; i < entryCount_; ++i) {
        if (IsDeleted(i)) continue;
        if (live != i) std::memcpy(Slot(live), Slot(i), slotSize_);
        ++live;
    }
    int32_t old = entryCount_;
    entryCount_ = live;
    firstDeleted_ = kNone;
    if (Shrink(old) > live) {
        int32_t capacity = Capacity(live);
        std::unique_ptr<uint8_t[]> smaller(capacity ? new uint8_t[static_cast<size_t>(capacity) * slotSize_]
                                                    : nullptr);
        if (live > 0) std::memcpy(smaller.get(), entries_.get(), static_cast<size_t>(live) * slotSize_);
        entries_ = std::move(smaller);
        entryCapacity_ = capacity;
    }
    for (int32_t i = 0; i < entryCount_; ++i)
        Header(i) = kNone;
    Rehash();
}

void TDIHash::SetHashCount(int32_t n) {
    if (n < count_) Error(Format(di_text::InvalidHashCount, n));
    if (n < 3) n = 3;
    n += (3 - n % 4 + 4) % 4;
    if (n == hashCount_) return;
    buckets_.reset(new int32_t[static_cast<size_t>(n)]);
    hashCount_ = n;
    for (int32_t b = 0; b < n; ++b)
        buckets_[b] = kNone;
    if (count_ > 0) Rehash();
}

void TDIHash::FreeAll() {
    for (int32_t i = 0; i < entryCount_; ++i) {
        if (Header(i) != kNone && (Header(i) & kDeletedBit)) continue;
        if (keyHandler_->OnFreeKey()) keyHandler_->OnFreeKey()(this, KeyOf(i));
        if (itemHandler_->OnFreeItem()) itemHandler_->OnFreeItem()(this, ItemOf(i));
    }
    entries_.reset();
    entryCount_ = entryCapacity_ = count_ = 0;
    firstDeleted_ = kNone;
}

void TDIHash::Clear() {
    FreeAll();
    hashCount_ = 0;
    SetHashCount(3);
}

void TDIHash::SwapContents(TDIHash& other) {
    std::swap(count_, other.count_);
    std::swap(hashCount_, other.hashCount_);
    std::swap(firstDeleted_, other.firstDeleted_);
    std::swap(buckets_, other.buckets_);
    std::swap(entries_, other.entries_);
    std::swap(entryCount_, other.entryCount_);
    std::swap(entryCapacity_, other.entryCapacity_);
}

void TDIHash::WriteData(TDIBinaryWriter& writer, uint32_t flags, void* data) {
    if (!keyHandler_->OnWriteKey()) Error(Format(di_text::NotAssigned, "OnWriteKey"));
    if (!itemHandler_->OnWriteItem()) Error(Format(di_text::NotAssigned, "OnWriteItem"));
    WriteSignature(writer, flags, "DIHC", data);
    writer.WriteCardinal(static_cast<uint32_t>(count_));
    for (int32_t i = 0; i < entryCount_; ++i) {
        if (IsDeleted(i)) continue;
        keyHandler_->OnWriteKey()(this, writer, KeyOf(i), data);
        itemHandler_->OnWriteItem()(this, writer, ItemOf(i), data);
    }
}

void TDIHash::ReadData(TDIBinaryReader& reader, uint32_t flags, void* data) {
    if (!keyHandler_->OnReadKey()) Error(Format(di_text::NotAssigned, "OnReadKey"));
    if (!itemHandler_->OnReadItem()) Error(Format(di_text::NotAssigned, "OnReadItem"));
    ReadSignature(reader, flags, "DIHC", data);
    uint32_t count = reader.ReadCardinal();
    // Every entry takes at least one byte: a larger count is corrupt, not a size to allocate.
    if (count > static_cast<uint64_t>(reader.BytesLeft())) throw EReadError(rtl_text::ReadError);
    // Read aside and swap in, so a failure part-way leaves this table as it was.
    TDIHash fresh(itemHandler_, keyHandler_);
    fresh.GrowEntries(static_cast<int32_t>(count));
    for (uint32_t n = 0; n < count; ++n) {
        int32_t i = fresh.entryCount_;
        std::memset(fresh.Slot(i), 0, slotSize_);
        fresh.Header(i) = kNone;
        fresh.entryCount_++;
        fresh.count_++;
        keyHandler_->OnReadKey()(this, reader, fresh.KeyOf(i), data);
        if (itemHandler_->OnInitItem()) itemHandler_->OnInitItem()(this, fresh.ItemOf(i));
        itemHandler_->OnReadItem()(this, reader, fresh.ItemOf(i), data);
    }
    if (fresh.count_ >= fresh.hashCount_)
        fresh.SetHashCount(Capacity(fresh.count_));
    else
        fresh.Rehash();
    SwapContents(fresh);
}

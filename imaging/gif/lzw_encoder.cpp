#include "imaging/gif/lzw_encoder.h"

#include <cstring>

void THashTable::Clear() { std::memset(slots_, 0xFF, sizeof(slots_)); }

// Linear probing with wrap-around reaches every slot, and the table never holds more than 4096
// of its 8009 slots, so both walks end.
void THashTable::Insert(uint32_t key, int code) {
    int h = Slot(key);
    while ((slots_[h] >> 12) != 0xFFFFF) {
        if (++h == kSize)
            h = 0;
    }
    slots_[h] = (key << 12) | (static_cast<uint32_t>(code) & 0xFFF);
}

int THashTable::Lookup(uint32_t key) const {
    int h = Slot(key);
    const uint32_t wanted = key << 12;
    for (;;) {
        uint32_t slot = slots_[h];
        if ((slot >> 12) == 0xFFFFF)
            return -1;
        if ((slot & 0xFFFFF000u) == wanted)
            return static_cast<int>(slot & 0xFFF);
        if (++h == kSize)
            h = 0;
    }
}

void TLZWEncoder::Output(int code) {
    TGIFEncoder::Output(code);
    if (freeEntry_ > maxCode_ || clearFlag_) {
        if (clearFlag_) {
            bitSize_ = initialBitSize_;
            maxCode_ = (1 << bitSize_) - 1;
            clearFlag_ = false;
        } else {
            ++bitSize_;
            maxCode_ = bitSize_ == 12 ? 4096 : (1 << bitSize_) - 1;
        }
    }
}

void TLZWEncoder::Clear() {
    TGIFEncoder::Clear();
    hashTable_->Clear();
    freeEntry_ = clearCode_ + 2;
}

void TLZWEncoder::DoCompress() {
    hashTable_ = std::make_unique<THashTable>();
    Clear();
    prefix_ = CurrentPixel();
    while (NextPixel()) {
        int c = CurrentPixel();
        uint32_t key = (static_cast<uint32_t>(prefix_) << 8) | static_cast<uint32_t>(c);
        int code = hashTable_->Lookup(key);
        if (code >= 0) {
            prefix_ = code;
            continue;
        }
        Output(prefix_);
        prefix_ = c;
        if (freeEntry_ >= 4095) {
            Clear();
        } else {
            hashTable_->Insert(key, freeEntry_);
            ++freeEntry_;
        }
    }
    Output(prefix_);
    hashTable_.reset();
}

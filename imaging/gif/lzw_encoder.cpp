#include "imaging/gif/lzw_encoder.h"

#include <cstring>

void THashTable::Clear() {
    std::memset(slots_, 0xFF, sizeof(slots_));
}

// The size is prime, so any step from 1 to kSize - 1 reaches every slot; the table never holds
// more than 4096 of its 8009 slots, so both walks end. A step taken from the key keeps keys
// with neighbouring home slots from piling up.
void THashTable::Insert(uint32_t key, int code) {
    int h = Slot(key);
    const int step = Step(key);
    while ((slots_[h] >> 12) != 0xFFFFF) {
        h += step;
        if (h >= kSize) h -= kSize;
    }
    slots_[h] = (key << 12) | (static_cast<uint32_t>(code) & 0xFFF);
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
    THashTable& table = *hashTable_;
    Clear();
    int prefix = CurrentPixel();
    // Adds pixel c to the string being matched; returns the new prefix.
    auto step = [&](int c) {
        const uint32_t key = (static_cast<uint32_t>(prefix) << 8) | static_cast<uint32_t>(c);
        const int code = table.Lookup(key);
        if (code >= 0) {
            prefix = code;
            return;
        }
        Output(prefix);
        prefix = c;
        if (freeEntry_ >= 4095) {
            Clear();
        } else {
            table.Insert(key, freeEntry_);
            ++freeEntry_;
        }
    };
    const bool checked = maxColor_ < 256;
    // Runs of contiguous pixels: the whole frame, or one row at a time when interlaced.
    for (;;) {
        const uint8_t* p = pixel_ + 1;
        const uint8_t* end = pixel_ + pixelsLeft_;
        for (; p < end; ++p) {
            if (checked && *p >= maxColor_) {
                pixel_ = p;
                CurrentPixel(); // raises
            }
            step(*p);
        }
        pixel_ = end - 1;
        pixelsLeft_ = 1;
        if (!NextPixel()) break;
        step(CurrentPixel());
    }
    Output(prefix);
    prefix_ = prefix;
    hashTable_.reset();
}

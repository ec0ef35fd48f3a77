#pragma once
// Table-driven LZW compression of a frame's pixels.
#include "imaging/gif/gif_writer.h"

#include <cstdint>
#include <memory>

// Strings already coded: key (prefix code << 8 | pixel) to code.
class THashTable {
public:
    static constexpr int kSize = 8009;
    THashTable() { Clear(); }
    void Clear();
    void Insert(uint32_t key, int code);
    // The code, or -1.
    int Lookup(uint32_t key) const {
        int h = Slot(key);
        const uint32_t wanted = key << 12;
        uint32_t slot = slots_[h];
        if ((slot & 0xFFFFF000u) == wanted) return static_cast<int>(slot & 0xFFF);
        const int step = Step(key);
        for (;;) {
            if ((slot >> 12) == 0xFFFFF) return -1;
            h += step;
            if (h >= kSize) h -= kSize;
            slot = slots_[h];
            if ((slot & 0xFFFFF000u) == wanted) return static_cast<int>(slot & 0xFFF);
        }
    }

    // A multiplicative hash scaled onto the slots: no division on the encoder's critical path.
    static int Slot(uint32_t key) {
        const uint32_t h = ((key >> 4) ^ key) * 0x9E3779B1u;
        return static_cast<int>((static_cast<uint64_t>(h) * kSize) >> 32);
    }

private:
    static int Step(uint32_t key) { return 1 + static_cast<int>((key * 2654435761u) >> 20) % (kSize - 1); }
    uint32_t slots_[kSize];
};

class TLZWEncoder : public TGIFEncoder {
public:
    std::string ClassName() const override { return "TLZWEncoder"; }

protected:
    void Output(int code) override;
    void Clear() override;
    void DoCompress() override;

private:
    int prefix_ = 0;
    int freeEntry_ = 0;
    std::unique_ptr<THashTable> hashTable_;
};

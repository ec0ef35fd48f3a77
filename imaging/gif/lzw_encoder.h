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
    int Lookup(uint32_t key) const;

private:
    static int Slot(uint32_t key) { return static_cast<int>(((key >> 4) ^ key) % kSize); }
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

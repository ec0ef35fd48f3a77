// The encoders' output format: code size byte, sub-blocks, clears, interlace order, and failures.
#include "imaging/gif/lzw_decoder.h"
#include "imaging/gif/lzw_encoder.h"
#include "imaging/gif/rle_encoder.h"
#include "imaging/gif/tests/gif_test_support.h"

#include <gtest/gtest.h>

using namespace gif_test;

namespace {

std::unique_ptr<TGIFEncoder> MakeEncoder(bool rle) {
    if (rle) return std::make_unique<TRLEEncoder>();
    return std::make_unique<TLZWEncoder>();
}

Bytes Encode(bool rle, int bits, int maxColor, const Bytes& data, bool interlace, int height, int width) {
    TMemoryStream out;
    MakeEncoder(rle)->Encode(out, bits, maxColor, data.empty() ? nullptr : data.data(), interlace, height,
                             width);
    return out.Bytes();
}

// Decodes into pixels preset to 0xEE; every warning fails the test.
Bytes Decode(const Bytes& bytes, int width, int height, bool interlaced, int64_t* endPos = nullptr) {
    TMemoryStream in;
    in.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    in.SetPosition(0);
    Bytes pixels(static_cast<size_t>(width) * height, 0xEE);
    gif::DecodeLZW(in, {pixels.data(), width, height, interlaced},
                   [&](const std::string& m) { ADD_FAILURE() << "warning: " << m; });
    if (endPos) *endPos = in.Position();
    return pixels;
}

// The offset of the terminator after the sub-blocks; every sub-block but the last is full.
size_t CheckSubBlocks(const Bytes& bytes) {
    size_t pos = 1;
    for (; bytes[pos] != 0; pos += bytes[pos] + 1)
        EXPECT_TRUE(bytes[pos] == 255 || pos + bytes[pos] + 1 == bytes.size() - 1) << pos;
    return pos;
}

} // namespace

TEST(GifEncoders, EmptyFramesAndTheMinimumCodeSize) {
    for (bool rle : {false, true}) {
        // Zero width: code size byte, the end code alone, terminator.
        EXPECT_EQ(Encode(rle, 1, 2, {}, false, 0, 5), (Bytes{2, 1, 5, 0})) << rle;
        // Two colours still use a minimum code size of 2: clear (4), 1, end (5) at 3 bits.
        EXPECT_EQ(Encode(rle, 1, 2, {1}, false, 1, 1), PackCodes(2, {4, 1, 5}, {3, 3, 3})) << rle;
    }
}

TEST(GifEncoders, InterlacedRowsAreWrittenInPassOrder) {
    for (int height : {1, 2, 3, 4, 5, 8, 9, 11}) {
        Bytes rows, inPassOrder;
        for (int r = 0; r < height; ++r)
            rows.push_back(static_cast<uint8_t>(r % 4));
        const int starts[4] = {0, 4, 2, 1}, steps[4] = {8, 8, 4, 2};
        for (int p = 0; p < 4; ++p)
            for (int r = starts[p]; r < height; r += steps[p])
                inPassOrder.push_back(rows[r]);
        for (bool rle : {false, true}) {
            // Decoded without de-interlacing, the values come in the passes' row order.
            const Bytes bytes = Encode(rle, 2, 4, rows, true, height, 1);
            EXPECT_EQ(Decode(bytes, 1, height, false), inPassOrder) << height << (rle ? " RLE" : " LZW");
            EXPECT_EQ(Decode(bytes, 1, height, true), rows) << height;
        }
    }
}

TEST(GifEncoders, LzwClearsAfterTheLastCodeAndEndsWithoutEmptySubBlocks) {
    // Noise exhausts the 4096-entry table; the decoder must follow every clear.
    const int w = 300, h = 200;
    Bytes noise(w * h);
    uint32_t seed = 99;
    for (uint8_t& p : noise) {
        seed = seed * 1664525u + 1013904223u;
        p = static_cast<uint8_t>(seed >> 24);
    }
    const Bytes bytes = Encode(false, 8, 256, noise, false, h, w);
    int64_t end = 0;
    EXPECT_EQ(Decode(bytes, w, h, false, &end), noise);
    EXPECT_EQ(end, static_cast<int64_t>(bytes.size()));
    EXPECT_EQ(CheckSubBlocks(bytes), bytes.size() - 1);
    EXPECT_GT(bytes.size(), 2560u);
    // A stream ending exactly on a sub-block boundary gets no empty sub-block before the terminator.
    for (int n = 1; n < 2000; ++n) {
        Bytes px(n);
        for (int i = 0; i < n; ++i)
            px[i] = static_cast<uint8_t>((i * 7919) % 256);
        const Bytes b = Encode(false, 8, 256, px, false, 1, n);
        ASSERT_EQ(CheckSubBlocks(b), b.size() - 1) << n;
    }
}

TEST(GifEncoders, HashTableFindsEveryKeyWhateverTheirSlots) {
    // Doubling modulo 8009 visits only 4004 slots from any start. Keys whose home slots all lie
    // on that one cycle crowd half the table; probing must still reach the other slots and end.
    std::vector<bool> onCycle(THashTable::kSize, false);
    for (int h = 1; !onCycle[h]; h = (2 * h) % THashTable::kSize)
        onCycle[h] = true;
    std::vector<uint32_t> keys;
    for (uint32_t key = 0; key < (1u << 20) && keys.size() < 4090; ++key)
        if (onCycle[THashTable::Slot(key)]) keys.push_back(key);
    ASSERT_EQ(keys.size(), 4090u);
    THashTable table;
    for (size_t i = 0; i + 1 < keys.size(); ++i)
        table.Insert(keys[i], static_cast<int>(i & 0xFFF));
    for (size_t i = 0; i + 1 < keys.size(); ++i)
        ASSERT_EQ(table.Lookup(keys[i]), static_cast<int>(i & 0xFFF));
    EXPECT_EQ(table.Lookup(keys.back()), -1);
    table.Clear();
    EXPECT_EQ(table.Lookup(keys[0]), -1);
}

TEST(GifEncoders, RunLengthOutputDecodesToTheSamePixels) {
    // Runs of every length up to a few thousand, alternating values, in 1- to 8-bit frames.
    for (int bits : {1, 2, 3, 4, 8}) {
        Bytes px;
        int value = 0;
        for (int run = 1; px.size() < 60000; run = run * 3 / 2 + 1) {
            px.insert(px.end(), run, static_cast<uint8_t>(value));
            value = (value + 1) % (1 << bits);
            px.push_back(static_cast<uint8_t>(value));
        }
        const int w = 250, h = static_cast<int>(px.size() / w);
        px.resize(static_cast<size_t>(w) * h);
        EXPECT_EQ(Decode(Encode(true, bits, 1 << bits, px, false, h, w), w, h, false), px) << bits;
    }
}

namespace {
// Takes a few bytes, then refuses every write.
class FailingStream : public TMemoryStream {
public:
    int64_t Write(const void* buffer, int64_t count) override {
        if (Size() + count > 40) return 0;
        return TMemoryStream::Write(buffer, count);
    }
};
} // namespace

TEST(GifEncoders, FailuresOfTheStreamAndThePixelsFailTheSave) {
    Bytes px(5000);
    for (size_t i = 0; i < px.size(); ++i)
        px[i] = static_cast<uint8_t>(i * 31);
    for (bool rle : {false, true}) {
        FailingStream out;
        EXPECT_THROW(MakeEncoder(rle)->Encode(out, 8, 256, px.data(), false, 50, 100), EWriteError);
        EXPECT_EQ(ThrownMessage<Exception>([&] {
                      Encode(rle, 2, 3, {0, 1, 2, 3}, false, 1, 4);
                  }),
                  "Color not in color table");
    }
    // Through the image: a frame whose pixels point past its local table.
    TGIFImage image;
    AddFrame(image, 0, 0, 2, 1, {RGB(1, 2, 3), RGB(4, 5, 6), RGB(7, 8, 9)}, {0, 3});
    EXPECT_THROW(Save(image), GIFException);
    // The sub-block writer refuses to be read or positioned.
    TMemoryStream sink;
    TGIFWriter writer(sink);
    uint8_t b;
    EXPECT_EQ(ThrownMessage<Exception>([&] { writer.Read(&b, 1); }), "Invalid stream operation");
    EXPECT_THROW(writer.Seek(0, soBeginning), Exception);
}

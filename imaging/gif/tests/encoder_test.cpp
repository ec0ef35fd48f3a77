// The encoders' output format: code size byte, sub-blocks, clears, interlace order, and failures.
#include "imaging/gif/gif_exception.h"
#include "imaging/gif/lzw_decoder.h"
#include "imaging/gif/lzw_encoder.h"
#include "imaging/gif/rle_encoder.h"
#include "imaging/gif/tests/gif_test_support.h"

#include <gtest/gtest.h>

using namespace gif_test;

namespace {

std::vector<uint8_t> Encode(TGIFEncoder& encoder, int bits, int maxColor, const std::vector<uint8_t>& data,
                            bool interlace, int height, int width) {
    TMemoryStream out;
    encoder.Encode(out, bits, maxColor, data.empty() ? nullptr : data.data(), interlace, height, width);
    return out.Bytes();
}

std::vector<uint8_t> Decode(const std::vector<uint8_t>& bytes, int width, int height, bool interlaced,
                            std::vector<std::string>* warnings = nullptr, int64_t* endPos = nullptr) {
    TMemoryStream in;
    in.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    in.SetPosition(0);
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height, 0xEE);
    gif::DecodeLZW(in, {pixels.data(), width, height, interlaced}, [&](const std::string& m) {
        if (warnings) warnings->push_back(m);
    });
    if (endPos) *endPos = in.Position();
    return pixels;
}

// Codes of a single sub-block stream, read back at the widths a decoder would use.
std::vector<int> Unpack(const std::vector<uint8_t>& bytes, const std::vector<int>& widths) {
    std::vector<uint8_t> data;
    size_t pos = 1;
    while (bytes[pos] != 0) {
        data.insert(data.end(), bytes.begin() + pos + 1, bytes.begin() + pos + 1 + bytes[pos]);
        pos += bytes[pos] + 1;
    }
    std::vector<int> codes;
    size_t bit = 0;
    for (int w : widths) {
        int code = 0;
        for (int i = 0; i < w; ++i, ++bit)
            code |= ((data[bit / 8] >> (bit % 8)) & 1) << i;
        codes.push_back(code);
    }
    return codes;
}

} // namespace

TEST(GifEncoders, EmptyFramesAndTheMinimumCodeSize) {
    for (bool rle : {false, true}) {
        TLZWEncoder lzw;
        TRLEEncoder runs;
        TGIFEncoder& encoder = rle ? static_cast<TGIFEncoder&>(runs) : lzw;
        // Zero width: code size byte, the end code alone, terminator.
        EXPECT_EQ(Encode(encoder, 1, 2, {}, false, 0, 5), (std::vector<uint8_t>{2, 1, 5, 0})) << rle;
        // Two colours still use a minimum code size of 2: clear (4), 1, end (5) at 3 bits.
        std::vector<uint8_t> one = Encode(encoder, 1, 2, {1}, false, 1, 1);
        EXPECT_EQ(one[0], 2);
        EXPECT_EQ(Unpack(one, {3, 3, 3}), (std::vector<int>{4, 1, 5}));
    }
}

TEST(GifEncoders, InterlacedRowsAreWrittenInPassOrder) {
    for (int height : {2, 4, 5, 8, 11}) {
        std::vector<uint8_t> rows(height);
        for (int r = 0; r < height; ++r)
            rows[r] = static_cast<uint8_t>(r % 4);
        for (bool rle : {false, true}) {
            TLZWEncoder lzw;
            TRLEEncoder runs;
            TGIFEncoder& encoder = rle ? static_cast<TGIFEncoder&>(runs) : lzw;
            std::vector<uint8_t> bytes = Encode(encoder, 2, 4, rows, true, height, 1);
            // Decoded without de-interlacing, the values come in the passes' row order.
            std::vector<uint8_t> inStreamOrder = Decode(bytes, 1, height, false);
            std::vector<uint8_t> expected;
            const int starts[4] = {0, 4, 2, 1}, steps[4] = {8, 8, 4, 2};
            for (int p = 0; p < 4; ++p)
                for (int r = starts[p]; r < height; r += steps[p])
                    expected.push_back(rows[r]);
            EXPECT_EQ(inStreamOrder, expected) << height << (rle ? " RLE" : " LZW");
            EXPECT_EQ(Decode(bytes, 1, height, true), rows) << height;
        }
    }
}

TEST(GifEncoders, LzwClearsAfterTheLastCodeAndEndsWithoutEmptySubBlocks) {
    // Noise exhausts the 4096-entry table; the decoder must follow every clear.
    const int w = 300, h = 200;
    std::vector<uint8_t> noise(w * h);
    uint32_t seed = 99;
    for (uint8_t& p : noise) {
        seed = seed * 1664525u + 1013904223u;
        p = static_cast<uint8_t>(seed >> 24);
    }
    TLZWEncoder encoder;
    std::vector<uint8_t> bytes = Encode(encoder, 8, 256, noise, false, h, w);
    int64_t end = 0;
    std::vector<std::string> warnings;
    EXPECT_EQ(Decode(bytes, w, h, false, &warnings, &end), noise);
    EXPECT_TRUE(warnings.empty());
    EXPECT_EQ(end, static_cast<int64_t>(bytes.size()));
    // Every sub-block is full except the last, and none is empty.
    size_t pos = 1, blocks = 0;
    while (bytes[pos] != 0) {
        if (pos + bytes[pos] + 1 < bytes.size() - 1) {
            EXPECT_EQ(bytes[pos], 255);
        }
        pos += bytes[pos] + 1;
        ++blocks;
    }
    EXPECT_EQ(pos, bytes.size() - 1);
    EXPECT_GT(blocks, 10u);

    // A stream ending exactly on a sub-block boundary gets no empty sub-block before the terminator.
    for (int n = 1; n < 2000; ++n) {
        std::vector<uint8_t> px(n);
        for (int i = 0; i < n; ++i)
            px[i] = static_cast<uint8_t>((i * 7919) % 256);
        TLZWEncoder e;
        std::vector<uint8_t> b = Encode(e, 8, 256, px, false, 1, n);
        size_t p = 1;
        while (b[p] != 0)
            p += b[p] + 1;
        ASSERT_EQ(p, b.size() - 1) << n;
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
    // Runs of every length up to a few thousand, alternating values, in 1-, 2-, 4- and 8-bit frames.
    for (int bits : {1, 2, 3, 4, 8}) {
        std::vector<uint8_t> px;
        int value = 0;
        for (int run = 1; px.size() < 60000; run = run * 3 / 2 + 1) {
            px.insert(px.end(), run, static_cast<uint8_t>(value));
            value = (value + 1) % (1 << bits);
            px.push_back(static_cast<uint8_t>(value));
        }
        const int w = 250, h = static_cast<int>(px.size() / w);
        px.resize(static_cast<size_t>(w) * h);
        TRLEEncoder encoder;
        std::vector<uint8_t> bytes = Encode(encoder, bits, 1 << bits, px, false, h, w);
        std::vector<std::string> warnings;
        EXPECT_EQ(Decode(bytes, w, h, false, &warnings), px) << bits;
        EXPECT_TRUE(warnings.empty()) << bits;
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

TEST(GifEncoders, AFailingStreamFailsTheSaveWithoutTerminating) {
    std::vector<uint8_t> px(5000);
    for (size_t i = 0; i < px.size(); ++i)
        px[i] = static_cast<uint8_t>(i * 31);
    for (bool rle : {false, true}) {
        TLZWEncoder lzw;
        TRLEEncoder runs;
        TGIFEncoder& encoder = rle ? static_cast<TGIFEncoder&>(runs) : lzw;
        FailingStream out;
        EXPECT_THROW(encoder.Encode(out, 8, 256, px.data(), false, 50, 100), EWriteError);
    }
}

TEST(GifEncoders, PixelsOutsideTheTableFailTheSave) {
    for (bool rle : {false, true}) {
        TLZWEncoder lzw;
        TRLEEncoder runs;
        TGIFEncoder& encoder = rle ? static_cast<TGIFEncoder&>(runs) : lzw;
        try {
            Encode(encoder, 2, 3, {0, 1, 2, 3}, false, 1, 4);
            FAIL();
        } catch (const GIFException& e) {
            EXPECT_EQ(e.Message(), "Color not in color table");
        }
    }
    // Through the image: a frame whose pixels point past its local table.
    TGIFImage image;
    auto frame = std::make_unique<TGIFSubImage>(&image);
    frame->ColorMap().Add(RGB(1, 2, 3));
    frame->ColorMap().Add(RGB(4, 5, 6));
    frame->ColorMap().Add(RGB(7, 8, 9));
    frame->SetBounds(0, 0, 2, 1);
    frame->SetPixels(1, 0, 3);
    image.Add(std::move(frame));
    EXPECT_THROW(Save(image), GIFException);

    // The sub-block writer refuses to be read or positioned.
    TMemoryStream sink;
    TGIFWriter writer(sink);
    uint8_t b;
    try {
        writer.Read(&b, 1);
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Invalid stream operation");
    }
    EXPECT_THROW(writer.Seek(0, soBeginning), Exception);
}

// The LZW decoder on hand-made image data: code-table cases, short and damaged data.
#include "imaging/gif/gif_exception.h"
#include "imaging/gif/tests/gif_test_support.h"

#include <gtest/gtest.h>

using namespace gif_test;

namespace {

// A graphic control extension making index `index` transparent.
std::vector<uint8_t> TransparentGce(int index) {
    return {0x21, 0xF9, 4, 1, 0, 0, static_cast<uint8_t>(index), 0};
}

std::vector<uint8_t> Pixels(TGIFSubImage& f) {
    return std::vector<uint8_t>(f.Data(), f.Data() + f.DataSize());
}

} // namespace

TEST(GifLzwDecoder, CodeTableCases) {
    // Code size 2: clear 4, end 5, first free code 6; widths grow from 3 to 4 bits at code 8.
    {
        // The code being defined (6) repeats the previous string plus its own first value.
        std::vector<uint8_t> bytes = Header(3, 1, 2);
        Append(bytes, Frame(0, 0, 3, 1, 0, 2, {4, 1, 6, 5}, {3, 3, 3, 3}));
        bytes.push_back(0x3B);
        TGIFImage image;
        Load(image, bytes);
        EXPECT_EQ(Pixels(*image.Images()[0]), (std::vector<uint8_t>{1, 1, 1}));
    }
    {
        // A clear code after the width grew to 4 bits brings it back to 3.
        std::vector<uint8_t> bytes = Header(4, 1, 2);
        Append(bytes, Frame(0, 0, 4, 1, 0, 2, {4, 0, 1, 2, 4, 3, 5}, {3, 3, 3, 3, 4, 3, 3}));
        bytes.push_back(0x3B);
        TGIFImage image;
        Warnings warnings;
        warnings.Attach(image);
        Load(image, bytes);
        EXPECT_EQ(Pixels(*image.Images()[0]), (std::vector<uint8_t>{0, 1, 2, 3}));
        EXPECT_TRUE(warnings.Messages.empty());
    }
    {
        // Sub-blocks of one byte each still deliver whole codes.
        std::vector<uint8_t> bytes = Header(4, 1, 2);
        std::vector<uint8_t> data = PackCodes(2, {4, 0, 1, 2, 4, 3, 5}, {3, 3, 3, 3, 4, 3, 3});
        std::vector<uint8_t> split = {2};
        for (size_t i = 2; i + 1 < data.size(); ++i) {
            split.push_back(1);
            split.push_back(data[i]);
        }
        split.push_back(0);
        Append(bytes, {0x2C, 0, 0, 0, 0, 4, 0, 1, 0, 0});
        Append(bytes, split);
        bytes.push_back(0x3B);
        TGIFImage image;
        Load(image, bytes);
        EXPECT_EQ(Pixels(*image.Images()[0]), (std::vector<uint8_t>{0, 1, 2, 3}));
    }
}

TEST(GifLzwDecoder, EarlyEndCodesStopAtTheTerminator) {
    // An end code right after a clear, and one before the last pixel: the rest keeps the fill and
    // the next frame still loads.
    std::vector<uint8_t> bytes = Header(2, 2, 2);
    Append(bytes, Frame(0, 0, 2, 2, 0, 2, {4, 5}, {3, 3}));
    Append(bytes, Frame(0, 0, 2, 2, 0, 2, {4, 3, 5, 1, 1, 1}, {3, 3, 3, 3, 3, 3}));
    Append(bytes, Frame(0, 0, 2, 1, 0, 2, {4, 2, 2, 5}, {3, 3, 3, 3}));
    bytes.push_back(0x3B);
    TGIFImage image;
    Warnings warnings;
    warnings.Attach(image);
    Load(image, bytes);
    ASSERT_EQ(image.Images().Count(), 3);
    EXPECT_EQ(Pixels(*image.Images()[0]), (std::vector<uint8_t>{0, 0, 0, 0}));
    EXPECT_EQ(Pixels(*image.Images()[1]), (std::vector<uint8_t>{3, 0, 0, 0}));
    EXPECT_EQ(Pixels(*image.Images()[2]), (std::vector<uint8_t>{2, 2}));
    EXPECT_TRUE(warnings.Messages.empty());
}

TEST(GifLzwDecoder, InterlacedRowsAndStreamPositionAfterTheData) {
    for (int height : {1, 2, 3, 5, 9}) {
        std::vector<int> codes = {4}, widths = {3};
        // Row r of the stream order holds value (r % 4); 2-bit values stay literal with clears.
        std::vector<int> order;
        for (int start : {0, 4, 2, 1})
            for (int r = start; r < height; r += (start == 0 ? 8 : start == 4 ? 8 : start == 2 ? 4 : 2))
                order.push_back(r);
        for (int r : order) {
            codes.push_back(r % 4);
            widths.push_back(3);
            codes.push_back(4);
            widths.push_back(3);
        }
        codes.back() = 5;
        std::vector<uint8_t> bytes = Header(1, height, 2);
        Append(bytes, Frame(0, 0, 1, height, 0x40, 2, codes, widths));
        const size_t trailerAt = bytes.size();
        bytes.push_back(0x3B);
        TMemoryStream stream;
        stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
        stream.SetPosition(0);
        TGIFImage image;
        image.Header().LoadFromStream(stream);
        image.Images().LoadFromStream(stream);
        EXPECT_EQ(stream.Position(), static_cast<int64_t>(trailerAt)) << height;
        std::vector<uint8_t> expected;
        for (int r = 0; r < height; ++r)
            expected.push_back(static_cast<uint8_t>(r % 4));
        EXPECT_EQ(Pixels(*image.Images()[0]), expected) << height;
    }
}

TEST(GifLzwDecoder, ShortDataKeepsTheFillAndWarnsOnce) {
    std::vector<uint8_t> bytes = Header(3, 2, 2);
    Append(bytes, TransparentGce(2));
    // 16 bits of codes, no end code: four pixels of six.
    Append(bytes, Frame(0, 0, 3, 2, 0, 2, {4, 1, 2, 3, 0}, {3, 3, 3, 3, 4}));
    TGIFImage image;
    Warnings warnings;
    warnings.Attach(image);
    Load(image, bytes);
    EXPECT_EQ(Pixels(*image.Images()[0]), (std::vector<uint8_t>{1, 2, 3, 0, 2, 2}));
    EXPECT_EQ(warnings.Messages, (std::vector<std::string>{"Decoder bit buffer under-run"}));

    // Data cut inside a sub-block: the stream ends, the frame keeps what was decoded.
    std::vector<uint8_t> cut = Header(3, 2, 2);
    Append(cut, Frame(0, 0, 3, 2, 0, 2, {4, 1, 2, 3, 0, 5}, {3, 3, 3, 3, 4, 4}));
    cut.erase(cut.end() - 3, cut.end());
    TGIFImage truncated;
    Warnings w2;
    w2.Attach(truncated);
    Load(truncated, cut);
    ASSERT_EQ(truncated.Images().Count(), 1);
    EXPECT_EQ(Pixels(*truncated.Images()[0])[0], 1);
    EXPECT_EQ(w2.Messages.front(), "Premature end of data");
}

TEST(GifLzwDecoder, RefusesCodeSizesAndTablesItCannotHold) {
    // A minimum code size of 12 would index past the 4096-entry tables.
    std::vector<uint8_t> big = Header(2, 1, 2);
    Append(big, {0x2C, 0, 0, 0, 0, 2, 0, 1, 0, 0, 12, 2, 0xFF, 0xFF, 0, 0x3B});
    TGIFImage image;
    try {
        Load(image, big);
        FAIL() << "code size 12 accepted";
    } catch (const GIFException& e) {
        EXPECT_EQ(e.Message(), "Invalid GIF data");
    }
    // A code size of 11 is the largest that decodes.
    std::vector<uint8_t> eleven = Header(2, 1, 2);
    Append(eleven, Frame(0, 0, 2, 1, 0, 11, {2048, 1, 3, 2049}, {12, 12, 12, 12}));
    eleven.push_back(0x3B);
    TGIFImage ok;
    Load(ok, eleven);
    EXPECT_EQ(Pixels(*ok.Images()[0]), (std::vector<uint8_t>{1, 3}));

    // Damaged codes make entry 11 point to 12 and 12 back to 11: a loop of two entries that the
    // self-loop test alone never notices.
    std::vector<uint8_t> loop = Header(10, 10, 3);
    Append(loop, Frame(0, 0, 10, 10, 0, 3, {8, 1, 12, 11, 1, 12, 9}, {4, 4, 4, 4, 4, 4, 4}));
    loop.push_back(0x3B);
    TGIFImage looped;
    try {
        Load(looped, loop);
        FAIL() << "cyclic table accepted";
    } catch (const GIFException& e) {
        EXPECT_EQ(e.Message(), "Circular decoder table entry");
    }
}

// The LZW decoder on hand-made image data: code-table cases, short and damaged data.
#include "imaging/gif/tests/gif_test_support.h"

#include <gtest/gtest.h>

using namespace gif_test;

TEST(GifLzwDecoder, CodeTableCases) {
    // Code size 2: clear 4, end 5, first free code 6; widths grow from 3 to 4 bits at code 8. A clear code
    // after the width grew to 4 bits brings it back to 3.
    const Bytes grown = Frame(0, 0, 4, 1, 0, 2, {4, 0, 1, 2, 4, 3, 5}, {3, 3, 3, 3, 4, 3, 3});
    // The same data in sub-blocks of one byte each still delivers whole codes.
    Bytes split(grown.begin(), grown.begin() + 11); // descriptor and code size
    for (size_t i = 12; i + 1 < grown.size(); ++i)
        split.insert(split.end(), {1, grown[i]});
    split.push_back(0);
    const struct {
        const char* What;
        int Width;
        Bytes Frame;
        Bytes Pixels;
    } cases[] = {
        // The code being defined (6) repeats the previous string plus its own first value.
        {"code being defined", 3, Frame(0, 0, 3, 1, 0, 2, {4, 1, 6, 5}, {3, 3, 3, 3}), {1, 1, 1}},
        {"clear after growth", 4, grown, {0, 1, 2, 3}},
        {"one-byte sub-blocks", 4, split, {0, 1, 2, 3}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        Bytes bytes = Header(c.Width, 1, 2);
        Append(bytes, c.Frame);
        bytes.push_back(0x3B);
        TGIFImage image;
        EXPECT_TRUE(LoadWarnings(image, bytes).empty());
        EXPECT_EQ(Pixels(*image.Images()[0]), c.Pixels);
    }
}

TEST(GifLzwDecoder, EarlyEndCodesStopAtTheTerminator) {
    // An end code right after a clear, and one before the last pixel: the rest keeps the fill and
    // the next frame still loads.
    Bytes bytes = Header(2, 2, 2);
    Append(bytes, Frame(0, 0, 2, 2, 0, 2, {4, 5}, {3, 3}));
    Append(bytes, Frame(0, 0, 2, 2, 0, 2, {4, 3, 5, 1, 1, 1}, {3, 3, 3, 3, 3, 3}));
    Append(bytes, Frame(0, 0, 2, 1, 0, 2, {4, 2, 2, 5}, {3, 3, 3, 3}));
    bytes.push_back(0x3B);
    TGIFImage image;
    EXPECT_TRUE(LoadWarnings(image, bytes).empty());
    ASSERT_EQ(image.Images().Count(), 3);
    EXPECT_EQ(Pixels(*image.Images()[0]), (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(Pixels(*image.Images()[1]), (Bytes{3, 0, 0, 0}));
    EXPECT_EQ(Pixels(*image.Images()[2]), (Bytes{2, 2}));
}

TEST(GifLzwDecoder, ShortDataKeepsTheFillAndWarnsOnce) {
    // 16 bits of codes, no end code: four pixels of six; the rest is the transparent index 2.
    Bytes bytes = Header(3, 2, 2);
    Append(bytes, {0x21, 0xF9, 4, 1, 0, 0, 2, 0});
    Append(bytes, Frame(0, 0, 3, 2, 0, 2, {4, 1, 2, 3, 0}, {3, 3, 3, 3, 4}));
    TGIFImage image;
    EXPECT_EQ(LoadWarnings(image, bytes), (std::vector<std::string>{"Decoder bit buffer under-run"}));
    EXPECT_EQ(Pixels(*image.Images()[0]), (Bytes{1, 2, 3, 0, 2, 2}));

    // Data cut inside a sub-block: the stream ends, the frame keeps what was decoded.
    Bytes cut = Header(3, 2, 2);
    Append(cut, Frame(0, 0, 3, 2, 0, 2, {4, 1, 2, 3, 0, 5}, {3, 3, 3, 3, 4, 4}));
    cut.erase(cut.end() - 3, cut.end());
    EXPECT_EQ(LoadWarnings(image, cut).front(), "Premature end of data");
    ASSERT_EQ(image.Images().Count(), 1);
    EXPECT_EQ(Pixels(*image.Images()[0])[0], 1);
}

TEST(GifLzwDecoder, RefusesCodeSizesAndTablesItCannotHold) {
    // A minimum code size of 12 would index past the 4096-entry tables.
    Bytes big = Header(2, 1, 2);
    Append(big, {0x2C, 0, 0, 0, 0, 2, 0, 1, 0, 0, 12, 2, 0xFF, 0xFF, 0, 0x3B});
    EXPECT_EQ(LoadError(big), "Invalid GIF data");
    // A code size of 11 is the largest that decodes.
    Bytes eleven = Header(2, 1, 2);
    Append(eleven, Frame(0, 0, 2, 1, 0, 11, {2048, 1, 3, 2049}, {12, 12, 12, 12}));
    TGIFImage ok;
    Load(ok, eleven);
    EXPECT_EQ(Pixels(*ok.Images()[0]), (Bytes{1, 3}));
    // Damaged codes make entry 11 point to 12 and 12 back to 11: a loop of two entries that the
    // self-loop test alone never notices.
    Bytes loop = Header(10, 10, 3);
    Append(loop, Frame(0, 0, 10, 10, 0, 3, {8, 1, 12, 11, 1, 12, 9}, std::vector<int>(7, 4)));
    EXPECT_EQ(LoadError(loop), "Circular decoder table entry");
}

// Reading and writing the blocks of a GIF stream: header, block loop, extensions, trailer.
#include "imaging/gif/tests/gif_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace gif_test;

namespace {

Bytes OnePixelFrame(int left = 0, int top = 0, int width = 1, int height = 1) {
    return Frame(left, top, width, height, 0, 2, {4, 1, 5}, {3, 3, 3});
}

// A header of the given screen followed by the given blocks.
Bytes Stream(int width, int height, const std::vector<Bytes>& blocks) {
    Bytes out = Header(width, height, 1);
    for (const Bytes& b : blocks)
        Append(out, b);
    return out;
}

} // namespace

TEST(GifBlocks, HeaderSignatureAndColourCounts) {
    Bytes bytes = {1, 2, 3, 4}; // four bytes of a container before "GIF"
    Append(bytes, Stream(1, 1, {OnePixelFrame(), {0x3B}}));
    TGIFImage image;
    Load(image, bytes);
    EXPECT_EQ(image.Images().Count(), 1);
    EXPECT_EQ(image.Header().ColorMap().Count(), 2);

    Bytes bad = Stream(1, 1, {OnePixelFrame()});
    bad[0] = 'X';
    EXPECT_EQ(LoadError(bad), "Invalid GIF signature");
    bad[0] = 'g';
    EXPECT_EQ(LoadError(bad), "");
    // A local table of 2 << 7 = 256 colours is the largest; its data must all be there.
    EXPECT_EQ(LoadError(Stream(1, 1, {{0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0x87}})), "Premature end of data");
}

TEST(GifBlocks, BlockLoopEndsOnUnknownBytesZerosAndTheEndOfTheStream) {
    // Unknown block after a frame: frames kept, two warnings.
    TGIFImage image;
    EXPECT_EQ(LoadWarnings(image, Stream(1, 1, {OnePixelFrame(), {0x99, 0x3B}})),
              (std::vector<std::string>{"Unknown GIF block type", "Invalid Image trailer"}));
    EXPECT_EQ(image.Images().Count(), 1);
    // No trailer at all, and zero bytes between blocks: no warning, and the loop ends.
    EXPECT_TRUE(
        LoadWarnings(image, Stream(1, 1, {OnePixelFrame(), {0, 0, 0}, OnePixelFrame(), {0, 0}})).empty());
    EXPECT_EQ(image.Images().Count(), 2);
    // Only zero bytes after the header: the end of the stream stops the skipping loop.
    Load(image, Stream(1, 1, {Bytes(100, 0)}));
    EXPECT_EQ(image.Images().Count(), 0);
}

TEST(GifBlocks, FailedLoadRewindsAndKeepsWhatWasRead) {
    Bytes bytes = {0xAA, 0xBB};
    Append(bytes, Stream(1, 1, {OnePixelFrame(), {0x21, 0x77, 0, 0}})); // no class for label 0x77
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    stream.SetPosition(2);
    TGIFImage image;
    EXPECT_EQ(ThrownMessage<Exception>([&] { image.LoadFromStream(stream); }), "Unknown extension type");
    EXPECT_EQ(stream.Position(), 2);
    EXPECT_EQ(image.Images().Count(), 1);
    EXPECT_EQ(image.Width(), 1);
}

TEST(GifBlocks, FrameSizesAreCheckedBeforeAnythingIsAllocated) {
    // A zero-sized frame takes the logical screen's size.
    TGIFImage image;
    EXPECT_EQ(LoadWarnings(image, Stream(3, 2, {OnePixelFrame(0, 0, 0, 0)})).front(),
              "Image exceeds Logical Screen size");
    EXPECT_EQ(image.Images()[0]->Width(), 3);
    EXPECT_EQ(image.Images()[0]->Height(), 2);
    // 65535 x 65535 from an 18-byte descriptor is refused, not allocated; so is a frame that would push
    // the screen past 65535 pixels, and many large frames together.
    for (const Bytes& huge :
         {Stream(1, 1, {OnePixelFrame(0, 0, 65535, 65535)}), Stream(1, 1, {OnePixelFrame(65000, 0, 1000, 1)}),
          Stream(16384, 16384, {OnePixelFrame(0, 0, 16384, 16384), OnePixelFrame()})})
        EXPECT_EQ(LoadError(huge), "Invalid image dimensions");
    // A frame larger than the screen grows it, with warnings.
    EXPECT_EQ(LoadWarnings(image, Stream(2, 2, {OnePixelFrame(1, 0, 4, 1)})),
              (std::vector<std::string>{"Image width too small for contained frames",
                                        "Image exceeds Logical Screen size"}));
    EXPECT_EQ(image.Width(), 5);
}

TEST(GifBlocks, ExtensionsReadAndWriteAsTheyWere) {
    // Loop extension, comment, application extension of block size 10 with a known name.
    const Bytes shortBlock = {0x21, 0xFF, 10, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', 2, 7, 7, 0};
    TGIFImage image;
    Load(image,
         Stream(1, 1,
                {{0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 5, 0, 0},
                 {0x21, 0xFE, 3, 'a', 'b', 'c', 2, 'd', 'e', 0},
                 shortBlock,
                 {0x21, 0xF9, 4, 0x09, 30, 0, 1, 0},
                 OnePixelFrame(),
                 {0x3B}}));
    // Saved and read again, the same extensions come back; the short application block is written as it
    // came, not as an 11-byte one that could read as a loop extension.
    const Bytes saved = Save(image);
    EXPECT_NE(std::search(saved.begin(), saved.end(), shortBlock.begin(), shortBlock.end()), saved.end());
    TGIFImage again;
    Load(again, saved);
    for (TGIFImage* loaded : {&image, &again}) {
        TGIFSubImage& frame = *loaded->Images()[0];
        ASSERT_EQ(frame.Extensions().Count(), 4);
        auto* loop = dynamic_cast<TGIFAppExtNSLoop*>(frame.Extensions()[0]);
        ASSERT_NE(loop, nullptr);
        EXPECT_EQ(loop->Loops, 5);
        auto* comment = dynamic_cast<TGIFCommentExtension*>(frame.Extensions()[1]);
        ASSERT_NE(comment, nullptr);
        EXPECT_EQ(comment->Text, (std::vector<std::string>{"abc", "de"}));
        EXPECT_NE(dynamic_cast<TGIFUnknownAppExtension*>(frame.Extensions()[2]), nullptr);
        ASSERT_NE(frame.GraphicControlExtension(), nullptr);
        EXPECT_EQ(frame.GraphicControlExtension()->Disposal(), 2);
        EXPECT_EQ(frame.GraphicControlExtension()->Delay(), 30);
        EXPECT_EQ(frame.TransparentIndex(), 1);
    }

    // A loop sub-block of id 1 needs two data bytes; application blocks below 10 bytes are refused.
    EXPECT_EQ(
        LoadError(Stream(
            1, 1, {{0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 2, 1, 5, 0}})),
        "Invalid GIF data");
    EXPECT_EQ(LoadError(Stream(1, 1, {{0x21, 0xFF, 9, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0}})),
              "Unsupported Application Extension block size");
}

TEST(GifBlocks, SavingRecomputesFlagsAndVersion) {
    // Interlaced frame with a local table of 4 colours.
    Bytes frame = {0x2C, 0, 0, 0, 0, 2, 0, 2, 0, 0xC1};
    for (int i = 0; i < 12; ++i)
        frame.push_back(static_cast<uint8_t>(i * 20));
    Append(frame, PackCodes(2, {4, 0, 4, 1, 4, 2, 4, 3, 5}, std::vector<int>(9, 3)));
    TGIFImage image;
    Load(image, Stream(2, 2, {frame, {0x3B}}));
    EXPECT_TRUE(image.Images()[0]->Interlaced());
    Bytes saved = Save(image);
    EXPECT_EQ(std::string(saved.begin(), saved.begin() + 6), "GIF87a");
    const size_t descriptor = 13 + 12; // the global table padded to the image's 2 bits
    EXPECT_EQ(saved[descriptor], 0x2C);
    EXPECT_EQ(saved[descriptor + 9], 0x81); // local table kept, interlace dropped
    TGIFImage again;
    Load(again, saved);
    EXPECT_EQ(Pixels(*again.Images()[0]), Pixels(*image.Images()[0]));

    // With an extension the version becomes 89a.
    image.Images()[0]->Extensions().Add(std::make_unique<TGIFCommentExtension>(image.Images()[0]));
    saved = Save(image);
    EXPECT_EQ(std::string(saved.begin(), saved.begin() + 6), "GIF89a");
}

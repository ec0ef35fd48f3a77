// Reading and writing the blocks of a GIF stream: header, block loop, extensions, trailer.
#include "imaging/gif/gif_exception.h"
#include "imaging/gif/tests/gif_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace gif_test;

namespace {

std::vector<uint8_t> OnePixelFrame(int left = 0, int top = 0) {
    return Frame(left, top, 1, 1, 0, 2, {4, 1, 5}, {3, 3, 3});
}

std::string LoadError(const std::vector<uint8_t>& bytes) {
    TGIFImage image;
    try {
        Load(image, bytes);
    } catch (const GIFException& e) {
        return e.Message();
    }
    return "";
}

} // namespace

TEST(GifBlocks, HeaderSignatureAndColourCounts) {
    std::vector<uint8_t> bytes = {1, 2, 3, 4};
    Append(bytes, Header(1, 1, 1));
    Append(bytes, OnePixelFrame());
    bytes.push_back(0x3B);
    TGIFImage image;
    Load(image, bytes); // four bytes of a container before "GIF"
    EXPECT_EQ(image.Images().Count(), 1);
    EXPECT_EQ(image.Header().ColorMap().Count(), 2);

    std::vector<uint8_t> bad = Header(1, 1, 1);
    bad[0] = 'X';
    EXPECT_EQ(LoadError(bad), "Invalid GIF signature");
    std::vector<uint8_t> lower = Header(1, 1, 1);
    lower[0] = 'g';
    Append(lower, OnePixelFrame());
    EXPECT_EQ(LoadError(lower), "");

    // A local table of 2 << 7 = 256 colours is the largest; its data must all be there.
    std::vector<uint8_t> local = Header(1, 1, 1);
    Append(local, {0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0x87});
    EXPECT_EQ(LoadError(local), "Premature end of data");
}

TEST(GifBlocks, BlockLoopEndsOnUnknownBytesZerosAndTheEndOfTheStream) {
    // Unknown block after a frame: frames kept, two warnings.
    std::vector<uint8_t> bytes = Header(1, 1, 1);
    Append(bytes, OnePixelFrame());
    Append(bytes, {0x99, 0x3B});
    TGIFImage image;
    Warnings warnings;
    warnings.Attach(image);
    Load(image, bytes);
    EXPECT_EQ(image.Images().Count(), 1);
    EXPECT_EQ(warnings.Messages,
              (std::vector<std::string>{"Unknown GIF block type", "Invalid Image trailer"}));

    // No trailer at all, and zero bytes between blocks: no warning, and the loop ends.
    std::vector<uint8_t> open = Header(1, 1, 1);
    Append(open, OnePixelFrame());
    Append(open, {0, 0, 0});
    Append(open, OnePixelFrame());
    Append(open, {0, 0});
    TGIFImage image2;
    Warnings w2;
    w2.Attach(image2);
    Load(image2, open);
    EXPECT_EQ(image2.Images().Count(), 2);
    EXPECT_TRUE(w2.Messages.empty());

    // Only zero bytes after the header: the end of the stream stops the skipping loop.
    std::vector<uint8_t> zeros = Header(1, 1, 1);
    zeros.resize(zeros.size() + 100, 0);
    TGIFImage image3;
    Load(image3, zeros);
    EXPECT_EQ(image3.Images().Count(), 0);
}

TEST(GifBlocks, FailedLoadRewindsAndKeepsWhatWasRead) {
    std::vector<uint8_t> bytes = {0xAA, 0xBB};
    Append(bytes, Header(1, 1, 1));
    Append(bytes, OnePixelFrame());
    Append(bytes, {0x21, 0x77, 0, 0}); // no class for label 0x77
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    stream.SetPosition(2);
    TGIFImage image;
    try {
        image.LoadFromStream(stream);
        FAIL();
    } catch (const GIFException& e) {
        EXPECT_EQ(e.Message(), "Unknown extension type");
    }
    EXPECT_EQ(stream.Position(), 2);
    EXPECT_EQ(image.Images().Count(), 1);
    EXPECT_EQ(image.Width(), 1);
}

TEST(GifBlocks, FrameSizesAreCheckedBeforeAnythingIsAllocated) {
    // A zero-sized frame takes the logical screen's size.
    std::vector<uint8_t> zero = Header(3, 2, 1);
    Append(zero, Frame(0, 0, 0, 0, 0, 2, {4, 1, 5}, {3, 3, 3}));
    TGIFImage image;
    Warnings warnings;
    warnings.Attach(image);
    Load(image, zero);
    EXPECT_EQ(image.Images()[0]->Width(), 3);
    EXPECT_EQ(image.Images()[0]->Height(), 2);
    EXPECT_EQ(warnings.Messages.front(), "Image exceeds Logical Screen size");

    // 65535 x 65535 from an 18-byte descriptor is refused, not allocated.
    std::vector<uint8_t> huge = Header(1, 1, 1);
    Append(huge, Frame(0, 0, 65535, 65535, 0, 2, {4, 1, 5}, {3, 3, 3}));
    EXPECT_EQ(LoadError(huge), "Invalid image dimensions");
    // A frame that would push the screen past 65535 pixels is refused too.
    std::vector<uint8_t> offset = Header(1, 1, 1);
    Append(offset, Frame(65000, 0, 1000, 1, 0, 2, {4, 1, 5}, {3, 3, 3}));
    EXPECT_EQ(LoadError(offset), "Invalid image dimensions");
    // Many large frames together are bounded as well.
    std::vector<uint8_t> many = Header(16384, 16384, 1);
    Append(many, Frame(0, 0, 16384, 16384, 0, 2, {4, 1, 5}, {3, 3, 3}));
    Append(many, OnePixelFrame());
    EXPECT_EQ(LoadError(many), "Invalid image dimensions");

    // A frame larger than the screen grows it, with warnings.
    std::vector<uint8_t> grow = Header(2, 2, 1);
    Append(grow, Frame(1, 0, 4, 1, 0, 2, {4, 1, 5}, {3, 3, 3}));
    TGIFImage grown;
    Warnings w2;
    w2.Attach(grown);
    Load(grown, grow);
    EXPECT_EQ(grown.Width(), 5);
    EXPECT_EQ(w2.Messages, (std::vector<std::string>{"Image width too small for contained frames",
                                                     "Image exceeds Logical Screen size"}));
}

TEST(GifBlocks, ExtensionsReadAndWriteAsTheyWere) {
    std::vector<uint8_t> bytes = Header(1, 1, 1);
    // Loop extension, comment, application extension of block size 10 with a known name.
    Append(bytes, {0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 5, 0, 0});
    Append(bytes, {0x21, 0xFE, 3, 'a', 'b', 'c', 2, 'd', 'e', 0});
    Append(bytes, {0x21, 0xFF, 10, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', 2, 7, 7, 0});
    Append(bytes, {0x21, 0xF9, 4, 0x09, 30, 0, 1, 0});
    Append(bytes, OnePixelFrame());
    bytes.push_back(0x3B);
    TGIFImage image;
    Load(image, bytes);
    TGIFSubImage& frame = *image.Images()[0];
    ASSERT_EQ(frame.Extensions().Count(), 4);
    auto* loop = dynamic_cast<TGIFAppExtNSLoop*>(frame.Extensions()[0]);
    ASSERT_NE(loop, nullptr);
    EXPECT_EQ(loop->Loops, 5);
    auto* comment = dynamic_cast<TGIFCommentExtension*>(frame.Extensions()[1]);
    ASSERT_NE(comment, nullptr);
    EXPECT_EQ(comment->Text, (std::vector<std::string>{"abc", "de"}));
    EXPECT_NE(dynamic_cast<TGIFUnknownAppExtension*>(frame.Extensions()[2]), nullptr);
    TGIFGraphicControlExtension* gce = frame.GraphicControlExtension();
    ASSERT_NE(gce, nullptr);
    EXPECT_EQ(gce->Disposal(), 2);
    EXPECT_EQ(gce->Delay(), 30);
    EXPECT_TRUE(frame.Transparent());
    EXPECT_EQ(frame.TransparentIndex(), 1);

    // Saved and read again, the same extensions come back; the short application block is
    // written as it came, not as an 11-byte one that could read as a loop extension.
    std::vector<uint8_t> saved = Save(image);
    const std::vector<uint8_t> shortBlock = {0x21, 0xFF, 10,  'N', 'E', 'T', 'S', 'C', 'A',
                                             'P',  'E',  '2', '.', 2,   7,   7,   0};
    EXPECT_NE(std::search(saved.begin(), saved.end(), shortBlock.begin(), shortBlock.end()), saved.end());
    TGIFImage again;
    Load(again, saved);
    TGIFSubImage& f2 = *again.Images()[0];
    ASSERT_EQ(f2.Extensions().Count(), 4);
    EXPECT_EQ(dynamic_cast<TGIFAppExtNSLoop*>(f2.Extensions()[0])->Loops, 5);
    EXPECT_EQ(dynamic_cast<TGIFCommentExtension*>(f2.Extensions()[1])->Text,
              (std::vector<std::string>{"abc", "de"}));
    EXPECT_EQ(f2.TransparentIndex(), 1);
    EXPECT_NE(dynamic_cast<TGIFUnknownAppExtension*>(f2.Extensions()[2]), nullptr);

    // A loop sub-block of id 1 needs two data bytes.
    std::vector<uint8_t> shortLoop = Header(1, 1, 1);
    Append(shortLoop, {0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 2, 1, 5, 0});
    EXPECT_EQ(LoadError(shortLoop), "Invalid GIF data");
    // Application blocks below 10 bytes are refused.
    std::vector<uint8_t> tiny = Header(1, 1, 1);
    Append(tiny, {0x21, 0xFF, 9, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0});
    EXPECT_EQ(LoadError(tiny), "Unsupported Application Extension block size");
}

TEST(GifBlocks, SavingRecomputesFlagsAndVersion) {
    std::vector<uint8_t> bytes = Header(2, 2, 1);
    // Interlaced frame with a local table of 4 colours.
    std::vector<uint8_t> frame = {0x2C, 0, 0, 0, 0, 2, 0, 2, 0, 0xC1};
    for (int i = 0; i < 12; ++i)
        frame.push_back(static_cast<uint8_t>(i * 20));
    Append(frame, PackCodes(2, {4, 0, 4, 1, 4, 2, 4, 3, 5}, {3, 3, 3, 3, 3, 3, 3, 3, 3}));
    Append(bytes, frame);
    bytes.push_back(0x3B);
    TGIFImage image;
    Load(image, bytes);
    EXPECT_TRUE(image.Images()[0]->Interlaced());
    std::vector<uint8_t> saved = Save(image);
    EXPECT_EQ(std::string(saved.begin(), saved.begin() + 6), "GIF87a");
    const size_t descriptor = 13 + 12; // the global table padded to the image's 2 bits
    EXPECT_EQ(saved[descriptor], 0x2C);
    EXPECT_EQ(saved[descriptor + 9], 0x81); // local table kept, interlace dropped
    TGIFImage again;
    Load(again, saved);
    EXPECT_EQ(std::vector<uint8_t>(again.Images()[0]->Data(), again.Images()[0]->Data() + 4),
              std::vector<uint8_t>(image.Images()[0]->Data(), image.Images()[0]->Data() + 4));

    // With an extension the version becomes 89a.
    image.Images()[0]->Extensions().Add(std::make_unique<TGIFCommentExtension>(image.Images()[0]));
    saved = Save(image);
    EXPECT_EQ(std::string(saved.begin(), saved.begin() + 6), "GIF89a");
}

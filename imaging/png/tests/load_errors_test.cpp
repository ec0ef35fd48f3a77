// Broken and hostile streams: each is refused with its own exception, or loads with the damage contained.
#include "imaging/png/chunk_misc.h"
#include "imaging/png/chunk_text.h"
#include "imaging/png/png_errors.h"
#include "platform/graphics/bitmap.h"
#include "png_builder.h"
#include "png_test_support.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace png_test;

namespace {

Bytes Be32(uint32_t v) {
    Bytes b;
    PutBe32(b, v);
    return b;
}

// A valid 4 x 2 8-bit grey image up to (not including) IEND.
PngBuilder GreyImage() {
    PngBuilder b;
    b.Ihdr(4, 2, 8, 0).Idat(RepeatRows({10, 20, 30, 40}, 2));
    return b;
}

Bytes Cut(Bytes b, size_t keep) {
    b.resize(keep);
    return b;
}

} // namespace

TEST(PngLoadErrors, SignatureAndChunkOrder) {
    EXPECT_EQ(LoadError<EPNGInvalidFileHeader>({137, 80, 78}), png_text::InvalidFileHeader);
    EXPECT_EQ(LoadError<EPNGInvalidFileHeader>({137, 80, 78, 71, 13, 10, 26, 11}),
              png_text::InvalidFileHeader);
    TPNGObject image;
    EXPECT_THROW(Load(image, PngBuilder().Chunk("gAMA", Be32(45455)).Get()), EPNGIHDRNotFirst);
    EXPECT_TRUE(image.Empty());
    // Without IEND the stream runs out where the next length should be.
    EXPECT_EQ(LoadError<EPngUnexpectedEnd>(GreyImage().Get()), png_text::UnexpectedEnd);
    EXPECT_EQ(LoadError<EPNGNoImageData>(PngBuilder().Ihdr(4, 2, 8, 0).Iend().Get()), png_text::NoImageData);
    EXPECT_EQ(LoadError<EPngInvalidCRC>(GreyImage().Chunk("IEND", {}, false).Get()), png_text::InvalidCRC);
    EXPECT_EQ(LoadError<EPNGUnknownCriticalChunk>(GreyImage().Chunk("ABCD", {1}).Iend().Get()),
              png_text::UnknownCriticalChunk);
    // A failed load keeps what it read, the refused chunk included.
    EXPECT_THROW(Load(image, GreyImage().Chunk("ABCD", {1}).Iend().Get()), EPNGUnknownCriticalChunk);
    EXPECT_EQ(image.ChunkItems().Count(), 3);
    EXPECT_EQ(image.Width(), 4);
}

TEST(PngLoadErrors, ShortReadsAndHostileLengthsStopBeforeAnyUse) {
    const Bytes good = GreyImage().Iend().Get();
    // Every cut inside the stream is an unexpected end (or, inside the signature, a bad header), never a
    // read of garbage.
    for (size_t keep = 8; keep < good.size(); ++keep) {
        TPNGObject image;
        try {
            Load(image, Cut(good, keep));
            ADD_FAILURE() << "loaded a stream cut at " << keep;
        } catch (const EPngUnexpectedEnd&) {
        } catch (const Exception& e) {
            ADD_FAILURE() << "cut at " << keep << ": " << e.Message();
        }
    }
    // Lengths beyond the stream or beyond 2^31 - 1 are refused before anything is allocated.
    for (uint32_t length : {0xFFFFFFFFu, 0x80000000u, 0x7FFFFFFFu, 1000u}) {
        Bytes bad = PngBuilder().Ihdr(4, 2, 8, 0).Get();
        PutBe32(bad, length);
        bad.insert(bad.end(), {'t', 'E', 'X', 't', 'a', 0, 'b', 0, 0, 0, 0});
        EXPECT_EQ(LoadError<EPngUnexpectedEnd>(bad), png_text::UnexpectedEnd) << length;
    }
}

TEST(PngLoadErrors, HeaderFieldsAreCheckedInOrder) {
    auto header = [](uint32_t w, uint32_t h, uint8_t depth, uint8_t type, uint8_t compression = 0,
                     uint8_t interlace = 0) {
        Bytes d;
        PutBe32(d, w);
        PutBe32(d, h);
        d.insert(d.end(), {depth, type, compression, 0, interlace});
        return PngBuilder().Chunk("IHDR", d).Iend().Get();
    };
    EXPECT_EQ(LoadError<EPngInvalidIHDR>(PngBuilder().Chunk("IHDR", Bytes(12, 1)).Get()),
              png_text::InvalidIHDR);
    EXPECT_EQ(LoadError<EPNGSizeExceeds>(header(65536, 1, 8, 0)), png_text::SizeExceeds);
    EXPECT_EQ(LoadError<EPNGSizeExceeds>(header(1, 65536, 8, 0, 1)), png_text::SizeExceeds);
    EXPECT_EQ(LoadError<EPNGUnknownCompression>(header(1, 1, 8, 0, 1)), png_text::UnknownCompression);
    EXPECT_EQ(LoadError<EPNGUnknownInterlace>(header(1, 1, 8, 0, 0, 2)), png_text::UnknownInterlace);
    // Zero sizes and undefined colour type and depth pairs have no pixel layout.
    for (const Bytes& bad : {header(0, 5, 8, 0), header(5, 0, 8, 0), header(5, 5, 1, 2), header(5, 5, 3, 0),
                             header(5, 5, 8, 5), header(5, 5, 16, 3), header(5, 5, 4, 6), header(5, 5, 0, 0)})
        EXPECT_EQ(LoadError<EPngInvalidIHDR>(bad), png_text::InvalidIHDR);
    // A refused header stays in the list but describes no pixels to read, draw or save.
    TPNGObject image;
    EXPECT_THROW(Load(image, header(70000, 3, 8, 6)), EPNGSizeExceeds);
    ASSERT_TRUE(image.HasHeader());
    EXPECT_EQ(image.Width(), 0);
    EXPECT_EQ(image.ReadPixel(0, 0), 0u);
    image.WritePixel(0, 0, 0);
    TBitmap target(1, 1);
    target.Canvas().SetPixel(0, 0, clRed);
    target.Canvas().StretchDraw(Rect(0, 0, 1, 1), &image);
    EXPECT_EQ(target.Canvas().Pixel(0, 0), clRed);
    // A second header is kept as data: it neither takes pixel storage nor changes the image.
    TPNGObject twice;
    Load(twice, GreyImage().Chunk("IHDR", {0, 0, 0x40, 0, 0, 0, 0x40, 0, 16, 6, 0, 0, 1}).Iend().Get());
    EXPECT_EQ(twice.Width(), 4);
    EXPECT_EQ(twice.InterlaceKind(), 0);
    EXPECT_EQ(twice.ChunkItems().Count(), 4);
    // 65535 x 65535 passes the per-side limit but not the pixel count.
    EXPECT_EQ(LoadError<EPNGSizeExceeds>(header(65535, 65535, 16, 6)), png_text::PixelCountExceeds);
    EXPECT_EQ(LoadError<EPNGNoImageData>(header(65535, 4096, 1, 0)), png_text::NoImageData);
}

TEST(PngLoadErrors, PaletteAndTransparencySizes) {
    auto palette = [](size_t size) {
        return PngBuilder().Ihdr(1, 1, 8, 3).Chunk("PLTE", Bytes(size, 9)).Idat({0, 0}).Iend().Get();
    };
    EXPECT_EQ(LoadError<EPNGInvalidPalette>(palette(259)), png_text::InvalidPalette);
    EXPECT_EQ(LoadError<EPNGInvalidPalette>(palette(771)), png_text::InvalidPalette);
    EXPECT_EQ(LoadError<EPNGInvalidPalette>(palette(768)), "");
    EXPECT_EQ(
        LoadError<EPNGInvalidPalette>(
            PngBuilder().Ihdr(1, 1, 8, 3).Chunk("PLTE", Bytes(6, 9)).Chunk("tRNS", Bytes(257, 0)).Get()),
        png_text::InvalidPalette);
    // A transparency chunk too short to name a colour gives no colour key.
    for (uint8_t type : {0, 2}) {
        const Bytes file = PngBuilder()
                               .Ihdr(1, 1, 8, type)
                               .Chunk("tRNS", Bytes(type == 0 ? 1 : 5, 0))
                               .Idat(Bytes(type == 0 ? 2 : 4, 0))
                               .Iend()
                               .Get();
        TPNGObject image;
        Load(image, file);
        EXPECT_EQ(image.AlphaKind(), pakNone) << int(type);
        EXPECT_EQ(image.ColorKey(), 0u);
    }
}

TEST(PngLoadErrors, CompressedDataThatEndsEarlyOrNeedsADictionaryIsAZlibError) {
    const Bytes rows = RepeatRows({1, 2, 3, 4}, 2);
    // A complete zlib stream holding only the first row.
    const Bytes oneRow = Compress(Bytes(rows.begin(), rows.begin() + 5));
    EXPECT_EQ(LoadError<EPNGZLIBError>(PngBuilder().Ihdr(4, 2, 8, 0).Chunk("IDAT", oneRow).Iend().Get()),
              std::string(png_text::ZLIBError) + "stream end (1)");
    // A zlib header with the preset-dictionary flag.
    const Bytes withDictionary = {0x78, 0xBB, 0, 0, 0, 1, 0x63, 0, 0};
    EXPECT_EQ(
        LoadError<EPNGZLIBError>(PngBuilder().Ihdr(4, 2, 8, 0).Chunk("IDAT", withDictionary).Iend().Get()),
        std::string(png_text::ZLIBError) + "need dictionary (2)");
    // Image data that runs into another chunk type before the last row.
    const Bytes all = Compress(rows);
    EXPECT_EQ(LoadError<EPNGMissingMultipleIDAT>(PngBuilder()
                                                     .Ihdr(4, 2, 8, 0)
                                                     .Chunk("IDAT", Bytes(all.begin(), all.begin() + 6))
                                                     .Chunk("tEXt", {'a', 0, 'b'})
                                                     .Iend()
                                                     .Get()),
              png_text::MissingMultipleIDAT);
}

TEST(PngLoadErrors, ImageDataSplitOverChunksIsCheckedToItsEnd) {
    const Bytes packed = Compress(RepeatRows({1, 2, 3, 4}, 2));
    const Bytes head(packed.begin(), packed.begin() + 5), tail(packed.begin() + 5, packed.end());
    // Split, with an empty chunk between the halves.
    const Bytes split =
        PngBuilder().Ihdr(4, 2, 8, 0).Chunk("IDAT", head).Chunk("IDAT", {}).Chunk("IDAT", tail).Iend().Get();
    TPNGObject image;
    Load(image, split);
    EXPECT_EQ(image.ReadPixel(3, 1), RGB(4, 4, 4));
    EXPECT_EQ(image.ChunkItems().Count(), 3); // IHDR, one IDAT, IEND
    for (int broken = 0; broken < 3; ++broken) {
        PngBuilder b;
        b.Ihdr(4, 2, 8, 0)
            .Chunk("IDAT", head, broken != 0)
            .Chunk("IDAT", {}, broken != 1)
            .Chunk("IDAT", tail, broken != 2);
        EXPECT_EQ(LoadError<EPngInvalidCRC>(b.Iend().Get()), png_text::InvalidCRC) << broken;
    }
    // Rows that complete before the chunk's data ends: the CRC still covers the whole chunk, and a damaged
    // byte in the unread rest is found.
    Bytes padded = packed;
    padded.insert(padded.end(), 70000, 0xAB);
    const Bytes withTail = PngBuilder().Ihdr(4, 2, 8, 0).Chunk("IDAT", padded).Iend().Get();
    EXPECT_EQ(LoadError<EPngInvalidCRC>(withTail), "");
    Bytes damaged = withTail;
    damaged[damaged.size() - 20] ^= 1; // inside the padding, past what the rows needed
    EXPECT_EQ(LoadError<EPngInvalidCRC>(damaged), png_text::InvalidCRC);
}

TEST(PngLoadErrors, AncillaryChunksKeepTheirLimits) {
    // An unknown ancillary chunk is kept and written back; cHRM is dropped.
    const Bytes file = GreyImage().Chunk("cHRM", Bytes(32, 1)).Chunk("prVt", {1, 2, 3}).Iend().Get();
    TPNGObject image;
    Load(image, file);
    ASSERT_EQ(image.ChunkItems().Count(), 4);
    EXPECT_EQ(image.ChunkItems().Item(2)->ChunkType(), "prVt");
    TPNGObject again;
    Load(again, Save(image));
    EXPECT_EQ(again.ChunkItems().Item(2)->ChunkType(), "prVt");
    EXPECT_EQ(again.ChunkItems().Item(2)->PayloadSize(), 3u);

    // Text without a zero byte is all keyword; compressed text past the limit is dropped, not inflated.
    const Bytes bomb = Compress(Bytes(2u << 20, 'x'));
    Bytes ztxt = {'k', 0, 0};
    ztxt.insert(ztxt.end(), bomb.begin(), bomb.end());
    Bytes longText = {'k', 'e', 'y', 0, 0};
    const Bytes text300 = Compress(Bytes(300, 'y'));
    longText.insert(longText.end(), text300.begin(), text300.end());
    Load(image, PngBuilder()
                    .Ihdr(1, 1, 8, 0)
                    .Chunk("tEXt", {'a', 'b', 'c', 'd'})
                    .Chunk("zTXt", ztxt)
                    .Chunk("zTXt", longText)
                    .Chunk("zTXt", {'q', 'r', 's', 't'})
                    .Chunk("tIME", {7, 0xE2, 1, 2, 3, 4})
                    .Idat({0, 0})
                    .Iend()
                    .Get());
    const auto* plain = dynamic_cast<TChunktEXt*>(image.ChunkItems().Item(1));
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->Keyword, "abcd");
    EXPECT_EQ(plain->Text, "");
    EXPECT_EQ(dynamic_cast<TChunkzTXt*>(image.ChunkItems().Item(2))->Text, "");
    EXPECT_EQ(dynamic_cast<TChunkzTXt*>(image.ChunkItems().Item(3))->Text, std::string(300, 'y'));
    EXPECT_EQ(dynamic_cast<TChunkzTXt*>(image.ChunkItems().Item(4))->Keyword, "qrst");
    EXPECT_EQ(dynamic_cast<TChunktIME*>(image.ChunkItems().Item(5))->Year, 0); // 6 bytes: not a time
}

TEST(PngLoadErrors, GammaValuesAreUnsignedAndClamped) {
    auto gammaTable = [](uint32_t value) {
        TPNGObject image;
        Load(image, PngBuilder().Ihdr(1, 1, 8, 0).Chunk("gAMA", Be32(value)).Idat({0, 0}).Iend().Get());
        return image.GammaLookup();
    };
    std::array<uint8_t, 256> identity;
    for (int i = 0; i < 256; ++i)
        identity[i] = uint8_t(i);
    EXPECT_EQ(gammaTable(0), identity);
    TPNGObject shortGamma;
    Load(shortGamma, PngBuilder().Ihdr(1, 1, 8, 0).Chunk("gAMA", {0, 1, 0x86}).Idat({0, 0}).Iend().Get());
    EXPECT_EQ(shortGamma.GammaLookup(), identity);
    const auto nearIdentity = gammaTable(45455);
    for (int i = 0; i < 256; ++i)
        EXPECT_NEAR(nearIdentity[i], i, 1);
    // 2^31 and above are huge gammas: every level but black goes white, none wraps.
    const auto huge = gammaTable(0xFFFFFFFFu);
    EXPECT_EQ(huge[0], 0);
    EXPECT_EQ(huge[1], 255);
    EXPECT_EQ(huge[255], 255);
    const auto tiny = gammaTable(1);
    EXPECT_EQ(tiny[254], 0);
    EXPECT_EQ(tiny[255], 255);
    // Half-way values round to even: 1 / (100000 / 100000 x 2.2) applied to 128 / 255.
    EXPECT_EQ(gammaTable(100000)[128], uint8_t(std::nearbyint(255.0L * std::pow(128 / 255.0L, 1 / 2.2L))));
}

// Broken and hostile streams: each is refused with its own exception, or loads with the damage contained.
#include "imaging/png/chunk_misc.h"
#include "imaging/png/chunk_text.h"
#include "imaging/png/png_errors.h"
#include "platform/graphics/bitmap.h"
#include "png_test_support.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace png_test;

namespace {

// A valid 4 x 2 8-bit grey image up to (not including) IEND.
PngBuilder GreyImage() {
    PngBuilder b;
    b.Ihdr(4, 2, 8, 0).Idat(RepeatRows({10, 20, 30, 40}, 2));
    return b;
}

// A 4 x 2 8-bit grey header, the given chunks and the end.
Bytes Grey(const std::vector<std::pair<std::string, Bytes>>& chunks) {
    PngBuilder b;
    b.Ihdr(4, 2, 8, 0);
    for (const auto& [type, data] : chunks)
        b.Chunk(type, data);
    return b.Iend().Get();
}

Bytes Palette(size_t size) {
    return MakePng(1, 1, 8, 3, {0, 0}, {{"PLTE", Bytes(size, 9)}});
}

Bytes Header(uint32_t w, uint32_t h, uint8_t depth, uint8_t type, uint8_t compression = 0,
             uint8_t interlace = 0) {
    Bytes d = Be32(w);
    PutBe32(d, h);
    d.insert(d.end(), {depth, type, compression, 0, interlace});
    return PngBuilder().Chunk("IHDR", d).Iend().Get();
}

// A stream, the function that loads it and names the exception it must raise, and the text.
struct Refused {
    std::string (*load)(const Bytes&);
    Bytes file;
    std::string text;
};

} // namespace

TEST(PngLoadErrors, EachDamageHasItsExceptionAndText) {
    const Bytes rows = RepeatRows({1, 2, 3, 4}, 2), packed = Compress(rows);
    const std::string zlib = png_text::ZLIBError;
    const Refused cases[] = {
        {LoadError<EPNGInvalidFileHeader>, {137, 80, 78}, png_text::InvalidFileHeader},
        {LoadError<EPNGInvalidFileHeader>, {137, 80, 78, 71, 13, 10, 26, 11}, png_text::InvalidFileHeader},
        {LoadError<EPNGIHDRNotFirst>, PngBuilder().Chunk("gAMA", Be32(45455)).Get(), png_text::IHDRNotFirst},
        // Without IEND the stream runs out where the next length should be.
        {LoadError<EPngUnexpectedEnd>, GreyImage().Get(), png_text::UnexpectedEnd},
        {LoadError<EPNGNoImageData>, Grey({}), png_text::NoImageData},
        {LoadError<EPngInvalidCRC>, GreyImage().Chunk("IEND", {}, false).Get(), png_text::InvalidCRC},
        {LoadError<EPNGUnknownCriticalChunk>, GreyImage().Chunk("ABCD", {1}).Iend().Get(),
         png_text::UnknownCriticalChunk},
        {LoadError<EPngInvalidIHDR>, PngBuilder().Chunk("IHDR", Bytes(12, 1)).Get(), png_text::InvalidIHDR},
        {LoadError<EPNGSizeExceeds>, Header(65536, 1, 8, 0), png_text::SizeExceeds},
        {LoadError<EPNGSizeExceeds>, Header(1, 65536, 8, 0, 1), png_text::SizeExceeds},
        // 65535 x 65535 passes the per-side limit but not the pixel count.
        {LoadError<EPNGSizeExceeds>, Header(65535, 65535, 16, 6), png_text::PixelCountExceeds},
        {LoadError<EPNGNoImageData>, Header(65535, 4096, 1, 0), png_text::NoImageData},
        {LoadError<EPNGUnknownCompression>, Header(1, 1, 8, 0, 1), png_text::UnknownCompression},
        {LoadError<EPNGUnknownInterlace>, Header(1, 1, 8, 0, 0, 2), png_text::UnknownInterlace},
        {LoadError<EPNGInvalidPalette>, Palette(259), png_text::InvalidPalette},
        {LoadError<EPNGInvalidPalette>, Palette(771), png_text::InvalidPalette},
        {LoadError<EPNGInvalidPalette>, Palette(768), ""},
        {LoadError<EPNGInvalidPalette>,
         PngBuilder().Ihdr(1, 1, 8, 3).Chunk("PLTE", Bytes(6, 9)).Chunk("tRNS", Bytes(257, 0)).Get(),
         png_text::InvalidPalette},
        // A complete zlib stream holding only the first row; a zlib header with the preset-dictionary flag;
        // image data that runs into another chunk type before the last row.
        {LoadError<EPNGZLIBError>, Grey({{"IDAT", Compress(Bytes(rows.begin(), rows.begin() + 5))}}),
         zlib + "stream end (1)"},
        {LoadError<EPNGZLIBError>, Grey({{"IDAT", {0x78, 0xBB, 0, 0, 0, 1, 0x63, 0, 0}}}),
         zlib + "need dictionary (2)"},
        {LoadError<EPNGMissingMultipleIDAT>,
         Grey({{"IDAT", Bytes(packed.begin(), packed.begin() + 6)}, {"tEXt", {'a', 0, 'b'}}}),
         png_text::MissingMultipleIDAT},
    };
    for (const Refused& c : cases) {
        SCOPED_TRACE(&c - cases);
        EXPECT_EQ(c.load(c.file), c.text);
    }
    // Zero sizes and undefined colour type and depth pairs have no pixel layout.
    for (const Bytes& bad : {Header(0, 5, 8, 0), Header(5, 0, 8, 0), Header(5, 5, 1, 2), Header(5, 5, 3, 0),
                             Header(5, 5, 8, 5), Header(5, 5, 16, 3), Header(5, 5, 4, 6), Header(5, 5, 0, 0)})
        EXPECT_EQ(LoadError<EPngInvalidIHDR>(bad), png_text::InvalidIHDR);
}

TEST(PngLoadErrors, MalformedSuiteFilesAreRefusedWithTheirOwnException) {
    const auto dir = std::filesystem::path(PW_TEST_DATA_DIR) / "data" / "malformed";
    EXPECT_EQ(LoadError<EPngInvalidCRC>(ReadFile(dir / "invalid-crc32.png")), png_text::InvalidCRC);
    EXPECT_EQ(LoadError<EPngUnexpectedEnd>(ReadFile(dir / "invalid-noend.png")), png_text::UnexpectedEnd);
    EXPECT_EQ(LoadError<EPngUnexpectedEnd>(ReadFile(dir / "invalid-trunc.png")), png_text::UnexpectedEnd);
    EXPECT_EQ(LoadError<EPNGZLIBError>(ReadFile(dir / "invalid-zlib.png")),
              std::string(png_text::ZLIBError) + "data error (-3)");
    // A palette image whose pixels name entries the palette lacks still loads; reading such a pixel raises.
    TPNGObject image;
    Load(image, ReadFile(dir / "invalid-palette.png"));
    bool raised = false;
    for (int y = 0; y < image.Height() && !raised; ++y)
        for (int x = 0; x < image.Width() && !raised; ++x)
            raised = ThrownMessage<EPngError>([&] { image.ReadPixel(x, y); }) == png_text::UnknownPalette;
    EXPECT_TRUE(raised);
}

TEST(PngLoadErrors, WhatAFailedLoadLeaves) {
    // What was read stays, the refused chunk included.
    TPNGObject image;
    EXPECT_THROW(Load(image, GreyImage().Chunk("ABCD", {1}).Iend().Get()), EPNGUnknownCriticalChunk);
    EXPECT_EQ(image.ChunkItems().Count(), 3);
    EXPECT_EQ(image.Width(), 4);
    EXPECT_THROW(Load(image, PngBuilder().Chunk("gAMA", Be32(45455)).Get()), EPNGIHDRNotFirst);
    EXPECT_TRUE(image.Empty());
    // A refused header stays in the list but describes no pixels to read, draw or save.
    EXPECT_THROW(Load(image, Header(70000, 3, 8, 6)), EPNGSizeExceeds);
    ASSERT_TRUE(image.HasHeader());
    EXPECT_EQ(image.Width(), 0);
    EXPECT_EQ(image.ReadPixel(0, 0), 0u);
    image.WritePixel(0, 0, 0);
    TBitmap target(1, 1);
    target.Canvas().SetPixel(0, 0, clRed);
    target.Canvas().StretchDraw(Rect(0, 0, 1, 1), &image);
    EXPECT_EQ(target.Canvas().Pixel(0, 0), clRed);
    // A second header is kept as data: it neither takes pixel storage nor changes the image.
    Load(image, GreyImage().Chunk("IHDR", {0, 0, 0x40, 0, 0, 0, 0x40, 0, 16, 6, 0, 0, 1}).Iend().Get());
    EXPECT_EQ(image.Width(), 4);
    EXPECT_EQ(image.InterlaceKind(), 0);
    EXPECT_EQ(image.ChunkItems().Count(), 4);

    // Every cut inside the stream is an unexpected end, never a read of garbage.
    const Bytes good = GreyImage().Iend().Get();
    for (size_t keep = 8; keep < good.size(); ++keep)
        EXPECT_EQ(LoadError<EPngUnexpectedEnd>(Bytes(good.begin(), good.begin() + long(keep))),
                  png_text::UnexpectedEnd)
            << keep;
    // Lengths beyond the stream or beyond 2^31 - 1 are refused before anything is allocated.
    for (uint32_t length : {0xFFFFFFFFu, 0x80000000u, 0x7FFFFFFFu, 1000u}) {
        Bytes bad = PngBuilder().Ihdr(4, 2, 8, 0).Get();
        PutBe32(bad, length);
        bad.insert(bad.end(), {'t', 'E', 'X', 't', 'a', 0, 'b', 0, 0, 0, 0});
        EXPECT_EQ(LoadError<EPngUnexpectedEnd>(bad), png_text::UnexpectedEnd) << length;
    }
}

TEST(PngLoadErrors, ImageDataSplitOverChunksIsCheckedToItsEnd) {
    const Bytes packed = Compress(RepeatRows({1, 2, 3, 4}, 2));
    const Bytes head(packed.begin(), packed.begin() + 5), tail(packed.begin() + 5, packed.end());
    // Split, with an empty chunk between the halves; a CRC broken in any of them is found.
    for (int broken = -1; broken < 3; ++broken) {
        const Bytes file = PngBuilder()
                               .Ihdr(4, 2, 8, 0)
                               .Chunk("IDAT", head, broken != 0)
                               .Chunk("IDAT", {}, broken != 1)
                               .Chunk("IDAT", tail, broken != 2)
                               .Iend()
                               .Get();
        EXPECT_EQ(LoadError<EPngInvalidCRC>(file), broken < 0 ? "" : png_text::InvalidCRC) << broken;
        if (broken >= 0) continue;
        auto image = Loaded(file);
        EXPECT_EQ(image->ReadPixel(3, 1), RGB(4, 4, 4));
        EXPECT_EQ(image->ChunkItems().Count(), 3); // IHDR, one IDAT, IEND
    }
    // Rows that complete before the chunk's data ends: the CRC still covers the whole chunk, and a damaged
    // byte in the unread rest is found.
    Bytes padded = packed;
    padded.insert(padded.end(), 70000, 0xAB);
    Bytes damaged = PngBuilder().Ihdr(4, 2, 8, 0).Chunk("IDAT", padded).Iend().Get();
    EXPECT_EQ(LoadError<EPngInvalidCRC>(damaged), "");
    damaged[damaged.size() - 20] ^= 1; // inside the padding, past what the rows needed
    EXPECT_EQ(LoadError<EPngInvalidCRC>(damaged), png_text::InvalidCRC);
}

TEST(PngLoadErrors, AncillaryChunksKeepTheirLimits) {
    // A type that only starts like a known one makes a plain chunk, its payload followed by a zero.
    TPNGObject owner;
    auto generic = CreateChunkByName(&owner, std::string("IHD\0", 4));
    EXPECT_EQ(generic->ClassName(), "TChunk");
    EXPECT_EQ(generic->ChunkType(), std::string("IHD\0", 4));
    EXPECT_EQ(generic->Payload()[generic->PayloadSize()], 0);
    // The list answers nothing outside its items, and removes only what it holds.
    auto image = Loaded(GreyImage().Chunk("cHRM", Bytes(32, 1)).Chunk("prVt", {1, 2, 3}).Iend().Get());
    EXPECT_EQ(image->ChunkItems().Item(-1), nullptr);
    EXPECT_EQ(image->ChunkItems().Item(image->ChunkItems().Count()), nullptr);
    EXPECT_EQ(image->ChunkItems().Remove(generic.get()), nullptr);

    // An unknown ancillary chunk is kept and written back; cHRM is dropped.
    ASSERT_EQ(image->ChunkItems().Count(), 4);
    auto again = Loaded(Save(*image));
    EXPECT_EQ(again->ChunkItems().Item(2)->ChunkType(), "prVt");
    EXPECT_EQ(again->ChunkItems().Item(2)->PayloadSize(), 3u);

    // Text without a zero byte is all keyword; compressed text past the limit is dropped, not inflated.
    const Bytes bomb = Compress(Bytes(2u << 20, 'x')), text300 = Compress(Bytes(300, 'y'));
    Bytes ztxt = {'k', 0, 0}, longText = {'k', 'e', 'y', 0, 0};
    ztxt.insert(ztxt.end(), bomb.begin(), bomb.end());
    longText.insert(longText.end(), text300.begin(), text300.end());
    Load(*image, MakePng(1, 1, 8, 0, {0, 0},
                         {{"tEXt", {'a', 'b', 'c', 'd'}},
                          {"zTXt", ztxt},
                          {"zTXt", longText},
                          {"zTXt", {'q', 'r', 's', 't'}},
                          {"tIME", {7, 0xE2, 1, 2, 3, 4}}}));
    const auto& plain = dynamic_cast<TChunktEXt&>(*image->ChunkItems().Item(1));
    EXPECT_EQ(plain.Keyword, "abcd");
    EXPECT_EQ(plain.Text, "");
    EXPECT_EQ(dynamic_cast<TChunkzTXt&>(*image->ChunkItems().Item(2)).Text, "");
    EXPECT_EQ(dynamic_cast<TChunkzTXt&>(*image->ChunkItems().Item(3)).Text, std::string(300, 'y'));
    EXPECT_EQ(dynamic_cast<TChunkzTXt&>(*image->ChunkItems().Item(4)).Keyword, "qrst");
    EXPECT_EQ(dynamic_cast<TChunktIME&>(*image->ChunkItems().Item(5)).Year, 0); // 6 bytes: not a time
}

TEST(PngLoadErrors, GammaValuesAreUnsignedAndClamped) {
    auto gammaTable = [](const Bytes& value) {
        return Loaded(MakePng(1, 1, 8, 0, {0, 0}, {{"gAMA", value}}))->GammaLookup();
    };
    std::array<uint8_t, 256> identity;
    for (int i = 0; i < 256; ++i)
        identity[i] = uint8_t(i);
    EXPECT_EQ(gammaTable(Be32(0)), identity);
    EXPECT_EQ(gammaTable({0, 1, 0x86}), identity); // the wrong size leaves the tables alone
    const auto nearIdentity = gammaTable(Be32(45455));
    for (int i = 0; i < 256; ++i)
        EXPECT_NEAR(nearIdentity[i], i, 1);
    // 2^31 and above are huge gammas: every level but black goes white, none wraps.
    const auto huge = gammaTable(Be32(0xFFFFFFFFu)), tiny = gammaTable(Be32(1));
    EXPECT_EQ(huge[0], 0);
    EXPECT_EQ(huge[1], 255);
    EXPECT_EQ(huge[255], 255);
    EXPECT_EQ(tiny[254], 0);
    EXPECT_EQ(tiny[255], 255);
    // Half-way values round to even: 1 / (100000 / 100000 x 2.2) applied to 128 / 255.
    EXPECT_EQ(gammaTable(Be32(100000))[128],
              uint8_t(std::nearbyint(255.0L * std::pow(128 / 255.0L, 1 / 2.2L))));
}

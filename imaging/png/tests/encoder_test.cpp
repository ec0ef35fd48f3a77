// Saving: filter choice, IDAT splitting, zlib failures, chunk round trips.
#include "imaging/png/chunk_idat.h"
#include "imaging/png/chunk_misc.h"
#include "imaging/png/chunk_text.h"
#include "imaging/png/png_errors.h"
#include "imaging/png/png_utils.h"
#include "png_test_support.h"

#include <gtest/gtest.h>

#include <random>

using namespace png_test;

namespace {

std::vector<std::pair<std::string, Bytes>> ChunksOf(const Bytes& file) {
    std::vector<std::pair<std::string, Bytes>> chunks;
    for (size_t at = 8; at + 12 <= file.size();) {
        const uint32_t length = ReadBigEndian32(&file[at]);
        chunks.emplace_back(std::string(file.begin() + at + 4, file.begin() + at + 8),
                            Bytes(file.begin() + at + 8, file.begin() + at + 8 + length));
        at += 12 + length;
    }
    return chunks;
}

// The filter byte of every row of a non-interlaced image saved with the given filters.
std::vector<int> FilterBytes(TPNGObject& image, TPngRowFilters filters) {
    image.SetRowFilters(filters);
    Bytes packed;
    for (const auto& [type, data] : ChunksOf(Save(image)))
        if (type == "IDAT") packed.insert(packed.end(), data.begin(), data.end());
    Bytes raw(1 << 20);
    uLongf size = raw.size();
    EXPECT_EQ(uncompress(raw.data(), &size, packed.data(), packed.size()), Z_OK);
    std::vector<int> out;
    for (size_t at = 0; at < size; at += image.Width() + 1)
        out.push_back(raw[at]);
    return out;
}

} // namespace

TEST(PngEncoder, FilterChoiceKeepsTheLowerFilterOnTies) {
    Bytes rows;
    for (int y = 0; y < 4; ++y) {
        rows.push_back(0);
        for (int x = 0; x < 16; ++x)
            rows.push_back(uint8_t(x * 13 + y * 7));
    }
    auto image = Loaded(MakePng(16, 4, 8, 0, rows));
    EXPECT_EQ(FilterBytes(*image, image->RowFilters()), (std::vector<int>{1, 1, 1, 1})); // the default {Sub}
    auto flat = Loaded(MakePng(16, 4, 8, 0, RepeatRows(Bytes(16, 77), 4)));
    EXPECT_EQ(FilterBytes(*flat, RowFilterSet(prfSub) | RowFilterSet(prfPaeth)),
              (std::vector<int>{1, 1, 1, 1}));
    // Up wins from the second row of a vertical gradient, where its output is all equal bytes.
    const auto filters = FilterBytes(*image, RowFilterSet(prfNone) | RowFilterSet(prfUp));
    EXPECT_EQ(filters[1], 2);
    EXPECT_EQ(filters[3], 2);
    // Every score 0: written unfiltered.
    auto noisy = Loaded(MakePng(3, 1, 8, 0, {0, 10, 50, 200}));
    EXPECT_EQ(FilterBytes(*noisy, RowFilterSet(prfSub) | RowFilterSet(prfUp)), (std::vector<int>{0}));
}

TEST(PngEncoder, ImageDataIsSplitAtTheChunkLimit) {
    std::mt19937 random(3);
    Bytes rows;
    for (int y = 0; y < 200; ++y) {
        rows.push_back(0);
        for (int x = 0; x < 600; ++x)
            rows.push_back(uint8_t(random()));
    }
    auto image = Loaded(MakePng(200, 200, 8, 2, rows));
    image->SetIdatChunkLimit(0xFFFFFFFFu); // no chunk may hold more than 2^31 - 1 bytes
    EXPECT_EQ(image->IdatChunkLimit(), 0x7FFFFFFFu);
    image->SetIdatChunkLimit(100); // below the minimum: 65535
    const Bytes saved = Save(*image);
    std::vector<size_t> sizes;
    for (const auto& [type, data] : ChunksOf(saved))
        if (type == "IDAT") sizes.push_back(data.size());
    ASSERT_EQ(sizes.size(), 2u);
    EXPECT_EQ(sizes[0], 65535u);
    EXPECT_GT(sizes[1], 50000u);
    auto again = Loaded(saved);
    for (int x = 0; x < 200; x += 37)
        EXPECT_EQ(again->ReadPixel(x, 150), image->ReadPixel(x, 150));
}

TEST(PngEncoder, AFailedDeflateFailsTheSave) {
    auto image = Loaded(MakePng(2, 2, 8, 0, RepeatRows({1, 2}, 2)));
    image->SetDeflateLevel(12);
    EXPECT_EQ(ThrownMessage<EPNGZLIBError>([&] { Save(*image); }),
              std::string(png_text::ZLIBError) + "stream error (-2)");
    auto text = Loaded(MakePng(1, 1, 8, 0, {0, 0}, {{"zTXt", {'k', 0, 0, 0x78, 0x9C, 3, 0, 0, 0, 0, 1}}}));
    text->SetDeflateLevel(12);
    text->ChunkItems().Remove(text->ChunkItems().ItemFromClass<TChunkIDAT>()); // the text alone to deflate
    EXPECT_THROW(Save(*text), EPNGZLIBError);
}

TEST(PngEncoder, ChunksRoundTripAndCopy) {
    auto image = Loaded(MakePng(1, 1, 8, 0, {0, 5}));
    auto end = image->ChunkItems().Remove(image->ChunkItems().ItemFromClass<TChunkIEND>());
    auto text = std::make_unique<TChunktEXt>(image.get());
    text->Keyword = "Title";
    text->Text = "A site map";
    auto packed = std::make_unique<TChunkzTXt>(image.get());
    packed->Keyword = "Comment";
    packed->Text = std::string(1000, 'z');
    auto empty = std::make_unique<TChunkzTXt>(image.get());
    empty->Keyword = "Empty";
    auto time = std::make_unique<TChunktIME>(image.get());
    time->Year = 2026;
    time->Month = 12;
    time->Second = 59;
    auto gamma = std::make_unique<TChunkgAMA>(image.get());
    EXPECT_EQ(gamma->GammaValue(), 1u);
    gamma->SetGammaValue(45455);
    image->ChunkItems().Add(std::move(text));
    image->ChunkItems().Add(std::move(packed));
    image->ChunkItems().Add(std::move(empty));
    image->ChunkItems().Add(std::move(time));
    image->ChunkItems().Add(std::move(gamma));
    image->ChunkItems().Add(std::move(end));

    auto again = Loaded(Save(*image));
    // A copy holds its own chunks of the same classes, pixels included; the time survives a copy too.
    TPNGObject copy;
    copy.Assign(again.get());
    EXPECT_NE(copy.ChunkItems().Item(0), again->ChunkItems().Item(0));
    EXPECT_EQ(copy.ReadPixel(0, 0), again->ReadPixel(0, 0));
    EXPECT_THROW(copy.ChunkItems().Item(0)->Assign(*again->ChunkItems().Item(2)), EPngError);
    auto copied = Loaded(Save(copy));
    for (TPNGObject* loaded : {again.get(), copied.get()}) {
        TPNGList& chunks = loaded->ChunkItems();
        ASSERT_EQ(chunks.Count(), 8);
        EXPECT_EQ(chunks.Item(0)->ClassName(), "TChunkIHDR");
        EXPECT_EQ(dynamic_cast<TChunktEXt&>(*chunks.Item(2)).Text, "A site map");
        EXPECT_EQ(dynamic_cast<TChunkzTXt&>(*chunks.Item(3)).Text, std::string(1000, 'z'));
        EXPECT_EQ(dynamic_cast<TChunkzTXt&>(*chunks.Item(4)).Text, " ");
        const auto& t = dynamic_cast<TChunktIME&>(*chunks.Item(5));
        EXPECT_EQ(t.Year, 2026);
        EXPECT_EQ(t.Month, 12);
        EXPECT_EQ(t.Second, 59);
        EXPECT_EQ(dynamic_cast<TChunkgAMA&>(*chunks.Item(6)).GammaValue(), 45455u);
    }
}

TEST(PngEncoder, ByteOrderSwaps) {
    EXPECT_EQ(SwapLong(0x11223344u), 0x44332211u);
    EXPECT_EQ(SwapWord(0x1122), 0x2211);
}

// Saving: filter choice, IDAT splitting, zlib failures, chunk round trips, CRC.
#include "imaging/png/chunk_misc.h"
#include "imaging/png/chunk_text.h"
#include "imaging/png/png_errors.h"
#include "imaging/png/png_utils.h"
#include "png_builder.h"
#include "png_test_support.h"

#include <gtest/gtest.h>

#include <random>
#include <utility>

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

// The filter byte of every row of a non-interlaced image.
std::vector<int> FilterBytes(const Bytes& file, size_t rowBytes) {
    Bytes packed;
    for (const auto& [type, data] : ChunksOf(file))
        if (type == "IDAT") packed.insert(packed.end(), data.begin(), data.end());
    Bytes raw(1 << 20);
    uLongf size = raw.size();
    EXPECT_EQ(uncompress(raw.data(), &size, packed.data(), packed.size()), Z_OK);
    std::vector<int> filters;
    for (size_t at = 0; at < size; at += rowBytes + 1)
        filters.push_back(raw[at]);
    return filters;
}

} // namespace

TEST(PngEncoder, FilterChoiceKeepsTheLowerFilterOnTies) {
    Bytes rows;
    for (int y = 0; y < 4; ++y) {
        rows.push_back(0);
        for (int x = 0; x < 16; ++x)
            rows.push_back(uint8_t(x * 13 + y * 7));
    }
    TPNGObject image;
    Load(image, PngBuilder().Ihdr(16, 4, 8, 0).Idat(rows).Iend().Get());
    EXPECT_EQ(FilterBytes(Save(image), 16), (std::vector<int>{1, 1, 1, 1})); // the default {Sub}

    TPNGObject flat;
    Load(flat, PngBuilder().Ihdr(16, 4, 8, 0).Idat(RepeatRows(Bytes(16, 77), 4)).Iend().Get());
    flat.SetRowFilters(RowFilterSet(prfSub) | RowFilterSet(prfPaeth));
    EXPECT_EQ(FilterBytes(Save(flat), 16), (std::vector<int>{1, 1, 1, 1}));
    // Up wins from the second row of a vertical gradient, where its output is all equal bytes.
    image.SetRowFilters(RowFilterSet(prfNone) | RowFilterSet(prfUp));
    const auto filters = FilterBytes(Save(image), 16);
    EXPECT_EQ(filters[1], 2);
    EXPECT_EQ(filters[3], 2);
    // Every score 0: written unfiltered.
    TPNGObject noisy;
    Load(noisy, PngBuilder().Ihdr(3, 1, 8, 0).Idat({0, 10, 50, 200}).Iend().Get());
    noisy.SetRowFilters(RowFilterSet(prfSub) | RowFilterSet(prfUp));
    EXPECT_EQ(FilterBytes(Save(noisy), 3), (std::vector<int>{0}));
}

TEST(PngEncoder, ImageDataIsSplitAtTheChunkLimit) {
    std::mt19937 random(3);
    Bytes rows;
    for (int y = 0; y < 200; ++y) {
        rows.push_back(0);
        for (int x = 0; x < 600; ++x)
            rows.push_back(uint8_t(random()));
    }
    TPNGObject image;
    Load(image, PngBuilder().Ihdr(200, 200, 8, 2).Idat(rows).Iend().Get());
    image.SetIdatChunkLimit(0xFFFFFFFFu); // no chunk may hold more than 2^31 - 1 bytes
    EXPECT_EQ(image.IdatChunkLimit(), 0x7FFFFFFFu);
    image.SetIdatChunkLimit(100); // below the minimum: 65535
    EXPECT_EQ(image.IdatChunkLimit(), 65535u);
    const Bytes saved = Save(image);
    std::vector<size_t> sizes;
    for (const auto& [type, data] : ChunksOf(saved))
        if (type == "IDAT") sizes.push_back(data.size());
    ASSERT_EQ(sizes.size(), 2u);
    EXPECT_EQ(sizes[0], 65535u);
    EXPECT_GT(sizes[1], 50000u);
    TPNGObject again;
    Load(again, saved);
    for (int x = 0; x < 200; x += 37)
        EXPECT_EQ(again.ReadPixel(x, 150), image.ReadPixel(x, 150));
}

TEST(PngEncoder, AFailedDeflateFailsTheSave) {
    TPNGObject image;
    Load(image, PngBuilder().Ihdr(2, 2, 8, 0).Idat(RepeatRows({1, 2}, 2)).Iend().Get());
    image.SetDeflateLevel(12);
    try {
        Save(image);
        ADD_FAILURE() << "saved with an impossible compression level";
    } catch (const EPNGZLIBError& e) {
        EXPECT_EQ(e.Message(), std::string(png_text::ZLIBError) + "stream error (-2)");
    }
    TPNGObject text;
    Load(text, PngBuilder()
                   .Ihdr(1, 1, 8, 0)
                   .Idat({0, 0})
                   .Chunk("zTXt", {'k', 0, 0, 0x78, 0x9C, 3, 0, 0, 0, 0, 1})
                   .Iend()
                   .Get());
    text.SetDeflateLevel(12);
    text.ChunkItems().Remove(text.ChunkItems().Item(1)); // leave the text as the one thing to deflate
    EXPECT_THROW(Save(text), EPNGZLIBError);
}

TEST(PngEncoder, ChunksRoundTrip) {
    TPNGObject image;
    Load(image, PngBuilder().Ihdr(1, 1, 8, 0).Idat({0, 5}).Iend().Get());
    auto text = std::make_unique<TChunktEXt>(&image);
    text->Keyword = "Title";
    text->Text = "A site map";
    auto packed = std::make_unique<TChunkzTXt>(&image);
    packed->Keyword = "Comment";
    packed->Text = std::string(1000, 'z');
    auto empty = std::make_unique<TChunkzTXt>(&image);
    empty->Keyword = "Empty";
    auto time = std::make_unique<TChunktIME>(&image);
    time->Year = 2026;
    time->Month = 12;
    time->Second = 59;
    auto gamma = std::make_unique<TChunkgAMA>(&image);
    EXPECT_EQ(gamma->GammaValue(), 1u);
    gamma->SetGammaValue(45455);
    auto end = image.ChunkItems().Remove(image.ChunkItems().Item(2));
    for (auto* chunk : {static_cast<TChunk*>(text.release()), static_cast<TChunk*>(packed.release()),
                        static_cast<TChunk*>(empty.release()), static_cast<TChunk*>(time.release()),
                        static_cast<TChunk*>(gamma.release())})
        image.ChunkItems().Add(std::unique_ptr<TChunk>(chunk));
    image.ChunkItems().Add(std::move(end));

    TPNGObject again;
    Load(again, Save(image));
    ASSERT_EQ(again.ChunkItems().Count(), 8);
    EXPECT_EQ(dynamic_cast<TChunktEXt&>(*again.ChunkItems().Item(2)).Text, "A site map");
    EXPECT_EQ(dynamic_cast<TChunkzTXt&>(*again.ChunkItems().Item(3)).Text, std::string(1000, 'z'));
    EXPECT_EQ(dynamic_cast<TChunkzTXt&>(*again.ChunkItems().Item(4)).Text, " ");
    const auto& t = dynamic_cast<TChunktIME&>(*again.ChunkItems().Item(5));
    EXPECT_EQ(t.Year, 2026);
    EXPECT_EQ(t.Month, 12);
    EXPECT_EQ(t.Second, 59);
    EXPECT_EQ(dynamic_cast<TChunkgAMA&>(*again.ChunkItems().Item(6)).GammaValue(), 45455u);

    // A copy holds its own chunks of the same classes, pixels included.
    TPNGObject copy;
    copy.Assign(&again);
    ASSERT_EQ(copy.ChunkItems().Count(), 8);
    EXPECT_EQ(copy.ChunkItems().Item(0)->ClassName(), "TChunkIHDR");
    EXPECT_NE(copy.ChunkItems().Item(0), again.ChunkItems().Item(0));
    EXPECT_EQ(copy.ReadPixel(0, 0), again.ReadPixel(0, 0));
    TPNGObject copied;
    Load(copied, Save(copy));
    EXPECT_EQ(dynamic_cast<TChunktIME&>(*copied.ChunkItems().Item(5)).Year, 2026); // the time survives a copy
    EXPECT_THROW(copy.ChunkItems().Item(0)->Assign(*again.ChunkItems().Item(2)), EPngError);
}

TEST(PngEncoder, ChunkCrcIsTheInvertedRunningCrc) {
    // The bare register, bit by bit.
    auto reference = [](uint32_t crc, const Bytes& data) {
        for (uint8_t byte : data) {
            crc ^= byte;
            for (int k = 0; k < 8; ++k)
                crc = crc & 1 ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
        }
        return crc;
    };
    std::mt19937 random(11);
    for (size_t size : {0u, 1u, 7u, 1000u}) {
        Bytes data(size);
        for (auto& b : data)
            b = uint8_t(random());
        EXPECT_EQ(UpdateCrc32(0x12345678u, data.data(), size), reference(0x12345678u, data));
        EXPECT_EQ(~UpdateCrc32(0xFFFFFFFFu, data.data(), size), uint32_t(crc32(0, data.data(), uInt(size))));
    }
    EXPECT_EQ(SwapLong(0x11223344u), 0x44332211u);
    EXPECT_EQ(SwapWord(0x1122), 0x2211);
}

TEST(PngEncoder, ChunkClassesAndList) {
    TPNGObject owner;
    EXPECT_EQ(CreateChunkByName(&owner, "IHDR")->ClassName(), "TChunkIHDR");
    EXPECT_EQ(CreateChunkByName(&owner, "zTXt")->ClassName(), "TChunkzTXt");
    auto generic = CreateChunkByName(&owner, std::string("IHD\0", 4));
    EXPECT_EQ(generic->ClassName(), "TChunk");
    EXPECT_EQ(generic->ChunkType(), std::string("IHD\0", 4));
    EXPECT_EQ(generic->TypeFromClassName(), "");
    EXPECT_EQ(CreateChunkByName(&owner, "IEND")->TypeFromClassName(), "IEND");
    EXPECT_EQ(generic->Payload()[generic->PayloadSize()], 0);

    TPNGList list;
    auto a = std::make_unique<TChunk>(&owner);
    TChunk* raw = a.get();
    list.Add(std::move(a));
    list.Add(std::make_unique<TChunkIEND>(&owner));
    EXPECT_EQ(list.Item(2), nullptr);
    EXPECT_EQ(list.Item(-1), nullptr);
    EXPECT_EQ(list.ItemFromClass<TChunkIEND>(), list.Item(1));
    EXPECT_EQ(list.Remove(raw).get(), raw);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Remove(raw), nullptr);
}

// The filters against a byte-by-byte rendering of their definitions, for every pixel width.
#include "imaging/png/row_coding.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <vector>

namespace {

uint8_t Paeth(int a, int b, int c) {
    const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return uint8_t(pa <= pb && pa <= pc ? a : pb <= pc ? b : c);
}

std::vector<uint8_t> Unfiltered(int type, std::vector<uint8_t> row, const std::vector<uint8_t>& up,
                                size_t bpp) {
    for (size_t i = 0; i < row.size(); ++i) {
        const int a = i >= bpp ? row[i - bpp] : 0, b = up[i], c = i >= bpp ? up[i - bpp] : 0;
        const int predictor = type == 1   ? a
                              : type == 2 ? b
                              : type == 3 ? (a + b) / 2
                              : type == 4 ? Paeth(a, b, c)
                                          : 0;
        row[i] = uint8_t(row[i] + predictor);
    }
    return row;
}

} // namespace

TEST(PngRowFilters, UnfilterAndFilterMatchTheDefinitions) {
    std::mt19937 random(5);
    for (size_t bpp : {1u, 2u, 3u, 4u, 6u, 8u})
        for (size_t pixels : {1u, 2u, 5u, 64u})
            for (int type = 0; type <= 5; ++type)
                for (int pattern = 0; pattern < 3; ++pattern) {
                    const size_t count = bpp * pixels;
                    std::vector<uint8_t> row(count + 8), up(count + 8);
                    // Random bytes, and extremes where the Paeth distances tie.
                    for (size_t i = 0; i < count; ++i) {
                        row[i] = pattern == 0   ? uint8_t(random())
                                 : pattern == 1 ? uint8_t(i % 2 ? 255 : 0)
                                                : 128;
                        up[i] = pattern == 0   ? uint8_t(random())
                                : pattern == 1 ? uint8_t(i % 3 ? 0 : 255)
                                               : 128;
                    }
                    row.resize(count);
                    up.resize(count);
                    std::vector<uint8_t> decoded = row;
                    UnfilterRow(uint8_t(type), decoded.data(), up.data(), count, bpp);
                    ASSERT_EQ(decoded, Unfiltered(type > 4 ? 0 : type, row, up, bpp))
                        << "bpp " << bpp << " pixels " << pixels << " type " << type;
                    if (type < 1 || type > 4) continue;
                    std::vector<uint8_t> filtered(count);
                    FilterRow(TPngRowFilter(type), row.data(), up.data(), filtered.data(), count, bpp);
                    UnfilterRow(uint8_t(type), filtered.data(), up.data(), count, bpp);
                    ASSERT_EQ(filtered, row) << "bpp " << bpp << " type " << type;
                }
}

TEST(PngRowFilters, ScoreCountsBytesEqualToOneOfTheTwoBefore) {
    std::mt19937 random(9);
    for (size_t count : {0u, 1u, 2u, 3u, 17u, 18u, 40u, 100u}) {
        std::vector<uint8_t> row(count);
        for (auto& b : row)
            b = uint8_t(random() % 3);
        size_t expected = 0;
        for (size_t i = 2; i < count; ++i)
            expected += row[i] == row[i - 1] || row[i] == row[i - 2];
        EXPECT_EQ(FilterScore(row.data(), count), expected) << count;
    }
}

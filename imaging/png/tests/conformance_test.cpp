// Decoding and encoding checked against libpng on the PngSuite images and on generated images of every
// colour type and depth.
#include "imaging/png/png_errors.h"
#include "png_builder.h"
#include "png_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#ifdef PW_HAVE_LIBPNG
#include "libpng_oracle.h"
#endif

namespace fs = std::filesystem;
using namespace png_test;

namespace {

Bytes ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

std::vector<fs::path> FilesIn(const char* folder) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(fs::path(PW_TEST_DATA_DIR) / "data" / folder))
        if (entry.path().extension() == ".png") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

#ifdef PW_HAVE_LIBPNG
// The decoder's gamma table for a gAMA value, computed independently of it.
std::array<uint8_t, 256> GammaTable(uint32_t gamma) {
    std::array<uint8_t, 256> table;
    for (int i = 0; i < 256; ++i) {
        const long double v =
            gamma == 0 ? i : 255.0L * std::pow(i / 255.0L, 1.0L / (gamma / 100000.0L * 2.2L));
        table[i] = uint8_t(std::nearbyint(v));
    }
    return table;
}

// Compares every shown pixel with libpng's (gamma applied to libpng's colours as our decoder applies it).
void ExpectSameAsLibpng(const Bytes& file, const std::string& name) {
    const OracleImage ref = DecodeWithLibpng(file, true);
    ASSERT_TRUE(ref.ok) << name << ": " << ref.error;
    TPNGObject image;
    Load(image, file);
    ASSERT_EQ(uint32_t(image.Width()), ref.width) << name;
    ASSERT_EQ(uint32_t(image.Height()), ref.height) << name;
    const auto gamma = GammaTable(ref.gamma);
    int mismatches = 0;
    for (uint32_t y = 0; y < ref.height && mismatches < 5; ++y)
        for (uint32_t x = 0; x < ref.width && mismatches < 5; ++x) {
            const uint8_t* p = &ref.pixels[y * ref.rowBytes + 4 * x];
            const uint32_t expected =
                uint32_t(p[3]) << 24 | uint32_t(gamma[p[0]]) << 16 | uint32_t(gamma[p[1]]) << 8 | gamma[p[2]];
            const uint32_t shown = ShownPixel(image, x, y);
            // Where both call a pixel fully transparent its colour does not matter. Pixels are held with
            // gamma applied, so a level that gamma merges with the transparent colour's is transparent too.
            const bool bothClear = (shown >> 24) == 0 && p[3] == 0;
            const bool mergedWithKey = (shown >> 24) == 0 && p[3] == 255 &&
                                       (expected & 0xFFFFFF) == (shown & 0xFFFFFF) && ref.gamma != 0;
            if (shown != expected && !bothClear && !mergedWithKey) {
                ADD_FAILURE() << name << " pixel " << x << "," << y << ": " << std::hex << shown << " vs "
                              << expected;
                ++mismatches;
            }
        }
}
#endif

} // namespace

TEST(PngConformance, SuiteImagesDecodeLikeLibpng) {
#ifndef PW_HAVE_LIBPNG
    GTEST_SKIP() << "libpng is not installed";
#else
    const auto files = FilesIn("pngsuite");
    ASSERT_GE(files.size(), 30u);
    for (const auto& file : files)
        ExpectSameAsLibpng(ReadFile(file), file.filename().string());
#endif
}

TEST(PngConformance, MalformedFilesAreRefusedWithTheirOwnException) {
    const fs::path dir = fs::path(PW_TEST_DATA_DIR) / "data" / "malformed";
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
            try {
                image.ReadPixel(x, y);
            } catch (const EPngError& e) {
                raised = e.Message() == png_text::UnknownPalette;
            }
    EXPECT_TRUE(raised);
}

TEST(PngConformance, SavedImagesDecodeInLibpngToTheSamePixels) {
#ifndef PW_HAVE_LIBPNG
    GTEST_SKIP() << "libpng is not installed";
#else
    std::mt19937 random(7);
    struct Format {
        uint8_t colorType, depth;
    };
    const Format formats[] = {{0, 1}, {0, 2}, {0, 4}, {0, 8}, {0, 16}, {2, 8}, {2, 16}, {3, 1},
                              {3, 2}, {3, 4}, {3, 8}, {4, 8}, {4, 16}, {6, 8}, {6, 16}};
    for (const Format& f : formats)
        for (uint8_t interlace : {0, 1})
            for (uint32_t width : {1u, 7u, 33u}) {
                const uint32_t height = 11;
                const int channels = f.colorType == 2 ? 3 : f.colorType == 4 ? 2 : f.colorType == 6 ? 4 : 1;
                const size_t rowBytes = (size_t(width) * channels * f.depth + 7) / 8;
                Bytes raw;
                for (uint32_t y = 0; y < height; ++y) {
                    raw.push_back(0);
                    for (size_t i = 0; i < rowBytes; ++i)
                        raw.push_back(uint8_t(random()));
                }
                // Samples past the last pixel of a row are padding.
                if ((width * channels * f.depth) % 8)
                    for (uint32_t y = 0; y < height; ++y)
                        raw[y * (rowBytes + 1) + rowBytes] &=
                            uint8_t(0xFF << (8 - width * channels * f.depth % 8));
                PngBuilder source;
                source.Ihdr(width, height, f.depth, f.colorType);
                if (f.colorType == 3) {
                    Bytes palette;
                    for (int i = 0; i < (1 << f.depth) * 3; ++i)
                        palette.push_back(uint8_t(random()));
                    source.Chunk("PLTE", palette);
                }
                source.Idat(raw).Iend();
                const std::string name = "type " + std::to_string(f.colorType) + " depth " +
                                         std::to_string(f.depth) + " width " + std::to_string(width) +
                                         (interlace ? " Adam7" : "");
                TPNGObject image;
                Load(image, source.Get());
                image.SetInterlaceKind(interlace);
                image.SetRowFilters(RowFilterSet(prfNone) | RowFilterSet(prfSub) | RowFilterSet(prfUp) |
                                    RowFilterSet(prfAverage) | RowFilterSet(prfPaeth));
                const Bytes saved = Save(image);
                const OracleImage back = DecodeWithLibpng(saved, false);
                ASSERT_TRUE(back.ok) << name << ": " << back.error;
                ExpectSameAsLibpng(saved, name); // and our own decoder reads it back, Adam7 included
                EXPECT_EQ(back.interlace, interlace) << name;
                if (f.depth == 2) {
                    // Held and written as 4-bit samples at the same levels.
                    ASSERT_EQ(back.bitDepth, 4) << name;
                    for (uint32_t y = 0; y < height; ++y)
                        for (uint32_t x = 0; x < width; ++x) {
                            const uint8_t s2 = (raw[y * (rowBytes + 1) + 1 + x / 4] >> (6 - 2 * (x % 4))) & 3;
                            const uint8_t s4 =
                                (back.pixels[y * back.rowBytes + x / 2] >> (x % 2 ? 0 : 4)) & 15;
                            ASSERT_EQ(s4, f.colorType == 0 ? s2 * 5 : s2) << name << " at " << x << "," << y;
                        }
                    continue;
                }
                ASSERT_EQ(back.bitDepth, f.depth) << name;
                ASSERT_EQ(back.rowBytes, rowBytes) << name;
                for (uint32_t y = 0; y < height; ++y)
                    for (size_t i = 0; i < rowBytes; ++i) {
                        const uint8_t original = raw[y * (rowBytes + 1) + 1 + i];
                        // 16-bit samples keep their high byte; the low byte is written as 0.
                        const uint8_t expected = f.depth == 16 && i % 2 ? 0 : original;
                        ASSERT_EQ(back.pixels[y * rowBytes + i], expected)
                            << name << " row " << y << " byte " << i;
                    }
            }
#endif
}

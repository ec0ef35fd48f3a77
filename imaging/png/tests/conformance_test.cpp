// Decoding and encoding checked against libpng on the PngSuite images and on generated images of every
// colour type and depth; the inputs kept from fuzzing.
#include "imaging/png/fuzz/load_png_input.h"
#include "png_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#ifdef PW_HAVE_LIBPNG
#include <csetjmp>
#include <cstdio>
#include <png.h>
#endif

namespace fs = std::filesystem;
using namespace png_test;

namespace {

#ifdef PW_HAVE_LIBPNG
// libpng decodes: expanded to 4 bytes R, G, B, A per pixel (16-bit samples cut to their high byte, no gamma
// applied), or raw, the file's own samples in rowBytes per row. libpng reports its errors on stderr.
struct OracleImage {
    bool ok = false;
    uint32_t width = 0, height = 0;
    uint8_t bitDepth = 0, interlace = 0;
    uint32_t gamma = 0; // gAMA x 100000, 0 when absent
    std::vector<uint8_t> pixels;
    size_t rowBytes = 0;
};

// Runs libpng; kept free of objects with destructors because libpng leaves by longjmp.
bool Decode(FILE* file, bool expand, OracleImage* out, std::vector<png_bytep>* rows) {
    png_structp png =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, [](png_structp, png_const_charp) {});
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_init_io(png, file);
    png_read_info(png, info);
    out->width = png_get_image_width(png, info);
    out->height = png_get_image_height(png, info);
    out->bitDepth = png_get_bit_depth(png, info);
    out->interlace = png_get_interlace_type(png, info);
    png_fixed_point gamma = 0;
    if (png_get_gAMA_fixed(png, info, &gamma)) out->gamma = uint32_t(gamma);
    if (expand) {
        png_set_expand(png);
        png_set_strip_16(png);
        png_set_gray_to_rgb(png);
        png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    }
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    out->rowBytes = png_get_rowbytes(png, info);
    out->pixels.assign(out->rowBytes * out->height, 0);
    rows->resize(out->height);
    for (uint32_t y = 0; y < out->height; ++y)
        (*rows)[y] = out->pixels.data() + y * out->rowBytes;
    png_read_image(png, rows->data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

OracleImage DecodeWithLibpng(Bytes file, bool expand) {
    OracleImage out;
    std::vector<png_bytep> rows;
    FILE* in = fmemopen(file.data(), file.size(), "rb");
    out.ok = Decode(in, expand, &out, &rows);
    fclose(in);
    return out;
}

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

// Compares every shown pixel with libpng's (gamma applied to libpng's colours as our decoder applies it),
// and what ReadPixel answers with the colour shown (grey with alpha answers its stored byte).
void ExpectSameAsLibpng(const Bytes& file, const std::string& name) {
    const OracleImage ref = DecodeWithLibpng(file, true);
    ASSERT_TRUE(ref.ok) << name;
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
            const uint32_t read = image.ReadPixel(int(x), int(y));
            const uint32_t readRgb = (read & 0xFF) << 16 | (read & 0xFF00) | (read >> 16 & 0xFF);
            const bool readAsShown = readRgb == (shown & 0xFFFFFF) || image.RequireHeader().ColorType() == 4;
            if ((shown != expected && !bothClear && !mergedWithKey) || !readAsShown) {
                ADD_FAILURE() << name << " pixel " << x << "," << y << ": " << std::hex << shown << " vs "
                              << expected << ", read " << read;
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
    size_t files = 0;
    for (const auto& entry : fs::directory_iterator(fs::path(PW_TEST_DATA_DIR) / "data/pngsuite")) {
        ExpectSameAsLibpng(ReadFile(entry.path()), entry.path().filename().string());
        ++files;
    }
    EXPECT_GE(files, 30u);
#endif
}

TEST(PngConformance, KeptFuzzInputsAndTestImagesLoadWithoutFault) {
    size_t replayed = 0;
    for (const fs::path& dir :
         {fs::path(PW_SOURCE_DIR) / "imaging/png/fuzz/corpus", fs::path(PW_TEST_DATA_DIR) / "data"})
        for (const auto& entry : fs::recursive_directory_iterator(dir)) {
            if (!entry.is_regular_file() || entry.path().filename() == "README") continue;
            const Bytes bytes = ReadFile(entry.path());
            SCOPED_TRACE(entry.path().string());
            LoadPngInput(bytes.data(), bytes.size());
            ++replayed;
        }
    EXPECT_GT(replayed, 40u);
}

TEST(PngConformance, SavedImagesDecodeInLibpngToTheSamePixels) {
#ifndef PW_HAVE_LIBPNG
    GTEST_SKIP() << "libpng is not installed";
#else
    std::mt19937 random(7);
    const std::pair<uint8_t, uint8_t> formats[] = {{0, 1}, {0, 2},  {0, 4},  {0, 8}, {0, 16},
                                                   {2, 8}, {2, 16}, {3, 1},  {3, 2}, {3, 4},
                                                   {3, 8}, {4, 8},  {4, 16}, {6, 8}, {6, 16}};
    for (const auto& [colorType, depth] : formats)
        for (uint8_t interlace : {0, 1})
            for (uint32_t width : {1u, 7u, 33u}) {
                const uint32_t channels = colorType == 2 ? 3 : colorType == 4 ? 2 : colorType == 6 ? 4 : 1;
                const uint32_t height = 11, bits = width * depth * channels;
                Bytes raw, palette(colorType == 3 ? 3u << depth : 0u);
                for (auto& b : palette)
                    b = uint8_t(random());
                for (uint32_t y = 0; y < height; ++y) {
                    raw.push_back(0);
                    for (size_t i = 0; i < (bits + 7) / 8; ++i)
                        raw.push_back(uint8_t(random()));
                    // Samples past the last pixel of a row are padding.
                    if (bits % 8) raw.back() &= uint8_t(0xFF << (8 - bits % 8));
                }
                const Bytes source = palette.empty()
                                         ? MakePng(width, height, depth, colorType, raw)
                                         : MakePng(width, height, depth, colorType, raw, {{"PLTE", palette}});
                const std::string name = "type " + std::to_string(colorType) + " depth " +
                                         std::to_string(depth) + " width " + std::to_string(width) +
                                         (interlace ? " Adam7" : "");
                auto image = Loaded(source);
                image->SetInterlaceKind(interlace);
                image->SetRowFilters(TPngRowFilters(0x1F)); // every filter
                const Bytes saved = Save(*image);
                // libpng reads the same pixels from what we wrote as from what we read (2-bit samples are
                // held and written as 4-bit ones at the same levels), and so does our own decoder, Adam7
                // included.
                const OracleImage back = DecodeWithLibpng(saved, true);
                ASSERT_TRUE(back.ok) << name;
                EXPECT_EQ(back.interlace, interlace) << name;
                EXPECT_EQ(back.bitDepth, depth == 2 ? 4 : depth) << name;
                EXPECT_EQ(back.pixels, DecodeWithLibpng(source, true).pixels) << name;
                ExpectSameAsLibpng(saved, name);
                // 16-bit samples keep their high byte; the low byte is written as 0.
                if (depth != 16) continue;
                const OracleImage samples = DecodeWithLibpng(saved, false);
                for (size_t i = 1; i < samples.pixels.size(); i += 2)
                    ASSERT_EQ(samples.pixels[i], 0) << name << " byte " << i;
            }
#endif
}

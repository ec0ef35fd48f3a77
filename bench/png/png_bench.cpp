// Decodes and encodes the same PNGs with our codec and with libpng in one run and prints megapixels per
// second and the ratios. "us" is our codec with its defaults (filter Sub, level 7), "us2" ours with every
// filter at level 6, "lib" libpng with its defaults. Inputs: the larger PNGs under /usr/share/doc (or the
// files given), plus generated photograph-like and screenshot-like images.
#include "bench/support/usage.h"
#include "imaging/png/png_object.h"
#include "platform/rtl/stream.h"

#include <png.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

namespace {

struct Sample {
    std::string name;
    Bytes file;
    uint32_t width = 0, height = 0;
};

// --- libpng, decoding to 8-bit RGB or RGBA rows and encoding from them -------------------------------------

struct MemoryReader {
    const Bytes* data;
    size_t at;
};

void ReadMemory(png_structp png, png_bytep out, png_size_t count) {
    auto* r = static_cast<MemoryReader*>(png_get_io_ptr(png));
    if (r->at + count > r->data->size()) png_error(png, "short");
    std::memcpy(out, r->data->data() + r->at, count);
    r->at += count;
}

void WriteMemory(png_structp png, png_bytep data, png_size_t count) {
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + count);
}
void FlushMemory(png_structp) {}

struct Raster {
    uint32_t width = 0, height = 0;
    int channels = 0;
    Bytes pixels;
};

bool LibpngDecode(const Bytes& file, Raster& out, std::vector<png_bytep>& rows) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    MemoryReader reader{&file, 0};
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, &reader, ReadMemory);
    png_read_info(png, info);
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    out.width = png_get_image_width(png, info);
    out.height = png_get_image_height(png, info);
    out.channels = png_get_channels(png, info);
    const size_t rowBytes = png_get_rowbytes(png, info);
    out.pixels = Bytes(rowBytes * out.height); // a fresh image each time, as our decoder makes one
    rows.resize(out.height);
    for (uint32_t y = 0; y < out.height; ++y)
        rows[y] = out.pixels.data() + y * rowBytes;
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

bool LibpngEncode(const Raster& in, Bytes& out, std::vector<png_bytep>& rows) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &out, WriteMemory, FlushMemory);
    png_set_IHDR(png, info, in.width, in.height, 8,
                 in.channels == 4 ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    rows.resize(in.height);
    const size_t rowBytes = size_t(in.width) * in.channels;
    for (uint32_t y = 0; y < in.height; ++y)
        rows[y] = const_cast<png_bytep>(in.pixels.data() + y * rowBytes);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

Bytes Encode(const Raster& raster) {
    Bytes out;
    std::vector<png_bytep> rows;
    LibpngEncode(raster, out, rows);
    return out;
}

// --- generated inputs --------------------------------------------------------------------------------------

Raster Photograph(uint32_t w, uint32_t h, unsigned seed) {
    std::mt19937 random(seed);
    std::normal_distribution<double> noise(0, 3);
    Raster r{w, h, 3, Bytes(size_t(w) * h * 3)};
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) {
            uint8_t* p = &r.pixels[(size_t(y) * w + x) * 3];
            const double u = double(x) / w, v = double(y) / h;
            const double base[3] = {120 + 90 * std::sin(6 * u + 2 * v), 110 + 80 * std::cos(5 * v - 3 * u),
                                    100 + 70 * std::sin(9 * u * v + 1)};
            for (int c = 0; c < 3; ++c)
                p[c] = uint8_t(std::clamp(base[c] + noise(random), 0.0, 255.0));
        }
    return r;
}

Raster Screenshot(uint32_t w, uint32_t h, unsigned seed) {
    std::mt19937 random(seed);
    Raster r{w, h, 4, Bytes(size_t(w) * h * 4)};
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) {
            uint8_t* p = &r.pixels[(size_t(y) * w + x) * 4];
            const bool title = y < 30, panel = x < w / 5;
            uint8_t c[4] = {240, 240, 240, 255};
            if (title)
                c[0] = 40, c[1] = 80, c[2] = 160;
            else if (panel)
                c[0] = 225, c[1] = 228, c[2] = 232;
            // Text-like runs on every 18th line band.
            if (!title && (y % 18) > 4 && (y % 18) < 14 && ((x * 7 + y * 3 + (x / 9)) % 11) < 5 &&
                (x % 200) < 150)
                c[0] = c[1] = c[2] = uint8_t(30 + random() % 20);
            std::memcpy(p, c, 4);
        }
    return r;
}

// --- timing
// --------------------------------------------------------------------------------------------------

Bytes ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

} // namespace

namespace {
constexpr const char* kUsage =
    "usage: png_bench [.png files...]\n"
    "  Decodes and encodes the same PNGs with our codec and with libpng, in megapixels per second.\n";
} // namespace

int main(int argc, char** argv) {
    bench::CheckArguments(argc, argv, kUsage);
    std::vector<Sample> samples;
    std::vector<fs::path> files;
    for (int i = 1; i < argc; ++i)
        files.emplace_back(argv[i]);
    if (files.empty() && fs::exists("/usr/share/doc"))
        for (const auto& e : fs::recursive_directory_iterator("/usr/share/doc",
                                                              fs::directory_options::skip_permission_denied))
            if (e.is_regular_file() && e.path().extension() == ".png" && e.file_size() > 60000)
                files.push_back(e.path());
    std::sort(files.begin(), files.end());
    for (const auto& f : files)
        samples.push_back({f.filename().string(), ReadFile(f)});
    samples.push_back({"photo-1600x1200 (generated)", Encode(Photograph(1600, 1200, 1))});
    samples.push_back({"photo-800x600 (generated)", Encode(Photograph(800, 600, 2))});
    samples.push_back({"screenshot-1920x1080 (generated)", Encode(Screenshot(1920, 1080, 3))});

    std::printf("%-26s %6s | %7s %7s %5s | %7s %7s %5s | %7s %5s | %9s %9s %9s\n", "image", "Mpix", "dec us",
                "dec lib", "ratio", "enc us", "enc lib", "ratio", "enc us2", "ratio", "size us", "size us2",
                "size lib");
    double sumDec = 0, sumEnc = 0, sumTuned = 0;
    int counted = 0;
    for (auto& s : samples) {
        Raster raster;
        std::vector<png_bytep> rows;
        if (!LibpngDecode(s.file, raster, rows)) continue;
        const double mp = double(raster.width) * raster.height / 1e6;
        if (mp < 0.05) continue;
        const int repeats = std::max(5, int(40 / std::max(mp, 0.5)));

        TPNGObject ours, tuned;
        size_t sizeOurs = 0, sizeTuned = 0, sizeLib = 0;
        auto decodeOurs = [&] {
            TMemoryStream in;
            in.WriteBuffer(s.file.data(), int64_t(s.file.size()));
            in.SetPosition(0);
            ours.LoadFromStream(in);
        };
        decodeOurs();
        // The second encoding allows every filter at libpng's compression level, for output of comparable
        // size.
        tuned.Assign(&ours);
        tuned.SetRowFilters(RowFilterSet(prfNone) | RowFilterSet(prfSub) | RowFilterSet(prfUp) |
                            RowFilterSet(prfAverage) | RowFilterSet(prfPaeth));
        tuned.SetDeflateLevel(6);
        auto encode = [](TPNGObject& image, size_t& size) {
            TMemoryStream out;
            image.SaveToStream(out);
            size = size_t(out.Size());
        };
        // Rounds alternate between the codecs so that other load on the machine hits both alike; the best
        // round of each counts.
        enum { kDecOurs, kDecLib, kEncOurs, kEncTuned, kEncLib, kRuns };
        double best[kRuns];
        std::fill(std::begin(best), std::end(best), 1e9);
        for (int round = 0; round < repeats; ++round)
            for (int run = 0; run < kRuns; ++run) {
                const auto start = std::chrono::steady_clock::now();
                switch (run) {
                case kDecOurs:
                    decodeOurs();
                    break;
                case kDecLib:
                    LibpngDecode(s.file, raster, rows);
                    break;
                case kEncOurs:
                    encode(ours, sizeOurs);
                    break;
                case kEncTuned:
                    encode(tuned, sizeTuned);
                    break;
                case kEncLib: {
                    Bytes out;
                    LibpngEncode(raster, out, rows);
                    sizeLib = out.size();
                    break;
                }
                }
                best[run] =
                    std::min(best[run],
                             std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
            }
        const double decOurs = best[kDecOurs], decLib = best[kDecLib], encOurs = best[kEncOurs],
                     encTuned = best[kEncTuned], encLib = best[kEncLib];
        std::printf("%-26s %6.2f | %7.1f %7.1f %5.2f | %7.1f %7.1f %5.2f | %7.1f %5.2f | %9zu %9zu %9zu\n",
                    s.name.substr(0, 26).c_str(), mp, mp / decOurs, mp / decLib, decLib / decOurs,
                    mp / encOurs, mp / encLib, encLib / encOurs, mp / encTuned, encLib / encTuned, sizeOurs,
                    sizeTuned, sizeLib);
        sumDec += std::log(decLib / decOurs);
        sumEnc += std::log(encLib / encOurs);
        sumTuned += std::log(encLib / encTuned);
        ++counted;
    }
    if (counted)
        std::printf(
            "geometric mean of speed ratios (ours / libpng): decode %.2f, encode %.2f, encode with every "
            "filter at level 6 %.2f\n",
            std::exp(sumDec / counted), std::exp(sumEnc / counted), std::exp(sumTuned / counted));
    return 0;
}

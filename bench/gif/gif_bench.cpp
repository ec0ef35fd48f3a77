// Decodes and encodes the same pictures with our codec and with giflib, in megapixels per second.
// Usage: gif_bench [seconds per measurement] [extra .gif files...]
#include "bench/support/usage.h"
#include "imaging/gif/gif_image.h"
#include "platform/rtl/stream.h"

#include <gif_lib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
double g_seconds = 1.0;

struct Picture {
    std::string Name;
    std::vector<uint8_t> Gif; // the file both decoders read
    int64_t Pixels = 0;       // pixels of all frames
};

// Runs fn in five rounds of about g_seconds / 5 each; answers the best round's megapixels per
// second, so that other load on the machine disturbs the figures less.
double Measure(int64_t pixels, const std::function<void()>& fn) {
    fn(); // warm up
    double best = 0;
    for (int round = 0; round < 5; ++round) {
        int runs = 0;
        auto start = Clock::now();
        double elapsed = 0;
        do {
            fn();
            ++runs;
            elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        } while (elapsed < g_seconds / 5);
        best = std::max(best, static_cast<double>(pixels) * runs / elapsed / 1e6);
    }
    return best;
}

struct Reader {
    const std::vector<uint8_t>* Bytes;
    size_t Pos;
};
int ReadMemory(GifFileType* gif, GifByteType* buffer, int count) {
    auto* r = static_cast<Reader*>(gif->UserData);
    size_t n = std::min<size_t>(count, r->Bytes->size() - r->Pos);
    std::memcpy(buffer, r->Bytes->data() + r->Pos, n);
    r->Pos += n;
    return static_cast<int>(n);
}
int WriteMemory(GifFileType* gif, const GifByteType* buffer, int count) {
    auto* out = static_cast<std::vector<uint8_t>*>(gif->UserData);
    out->insert(out->end(), buffer, buffer + count);
    return count;
}

GifFileType* GiflibDecode(const std::vector<uint8_t>& bytes) {
    Reader reader{&bytes, 0};
    int error = 0;
    GifFileType* gif = DGifOpen(&reader, ReadMemory, &error);
    if (!gif || DGifSlurp(gif) != GIF_OK) {
        std::fprintf(stderr, "giflib cannot read a test picture\n");
        std::exit(1);
    }
    return gif;
}

// Writes every frame of a decoded file again with giflib's encoder.
std::vector<uint8_t> GiflibEncode(GifFileType* in) {
    std::vector<uint8_t> out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, WriteMemory, &error);
    EGifPutScreenDesc(gif, in->SWidth, in->SHeight, in->SColorResolution, in->SBackGroundColor,
                      in->SColorMap);
    for (int i = 0; i < in->ImageCount; ++i) {
        const SavedImage& s = in->SavedImages[i];
        const GifImageDesc& d = s.ImageDesc;
        EGifPutImageDesc(gif, d.Left, d.Top, d.Width, d.Height, false, d.ColorMap);
        for (int y = 0; y < d.Height; ++y)
            EGifPutLine(gif, s.RasterBits + static_cast<size_t>(y) * d.Width, d.Width);
    }
    EGifCloseFile(gif, &error);
    return out;
}

void LoadOurs(TGIFImage& image, const std::vector<uint8_t>& bytes) {
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    stream.SetPosition(0);
    image.LoadFromStream(stream);
}

// Pictures made here: a large photo-like frame, a large flat frame and an animation.
std::vector<uint8_t> MakeGif(int width, int height, int frames, int style) {
    TGIFImage image;
    for (int i = 0; i < 256; ++i)
        image.Header().ColorMap().Add(
            RGB(static_cast<BYTE>(i), static_cast<BYTE>((i * 7) & 255), static_cast<BYTE>(255 - i)));
    uint32_t seed = 1;
    for (int f = 0; f < frames; ++f) {
        auto frame = std::make_unique<TGIFSubImage>(&image);
        frame->SetBounds(0, 0, width, height);
        for (int y = 0; y < height; ++y) {
            uint8_t* row = frame->ScanLine(y);
            for (int x = 0; x < width; ++x) {
                seed = seed * 1664525u + 1013904223u;
                int noise = static_cast<int>(seed >> 29);
                if (style == 0) // smooth gradients with dithering noise
                    row[x] = static_cast<uint8_t>(((x + f * 3) / 4 + y / 3 + noise) & 255);
                else // large flat areas
                    row[x] = static_cast<uint8_t>(((x + f * 5) / 64 * 16 + y / 48) & 255);
            }
        }
        image.Add(std::move(frame));
    }
    TMemoryStream out;
    image.SaveToStream(out);
    return out.Bytes();
}

} // namespace

namespace {
constexpr const char* kUsage =
    "usage: gif_bench [seconds per measurement] [extra .gif files...]\n"
    "  Decodes and encodes the same pictures with our codec and with giflib, in megapixels per second.\n";
} // namespace

int main(int argc, char** argv) {
    bench::CheckArguments(argc, argv, kUsage);
    if (argc > 1) g_seconds = std::max(0.1, std::atof(argv[1]));
    std::vector<Picture> pictures;
    auto add = [&](const std::string& name, std::vector<uint8_t> bytes) {
        GifFileType* gif = GiflibDecode(bytes);
        int64_t pixels = 0;
        for (int i = 0; i < gif->ImageCount; ++i)
            pixels += static_cast<int64_t>(gif->SavedImages[i].ImageDesc.Width) *
                      gif->SavedImages[i].ImageDesc.Height;
        int error = 0;
        DGifCloseFile(gif, &error);
        pictures.push_back({name, std::move(bytes), pixels});
    };
    std::vector<std::string> files;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator("/usr/share/go-1.19/src/image/testdata", ec))
        if (e.path().extension() == ".gif") files.push_back(e.path().string());
    std::sort(files.begin(), files.end());
    for (int i = 2; i < argc; ++i)
        files.push_back(argv[i]);
    for (const std::string& file : files) {
        std::ifstream in(file, std::ios::binary);
        add(std::filesystem::path(file).filename().string(),
            std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {}));
    }
    add("photo-like 2000x1500", MakeGif(2000, 1500, 1, 0));
    add("flat 2000x1500", MakeGif(2000, 1500, 1, 1));
    add("animation 40x 400x300", MakeGif(400, 300, 40, 0));

    std::printf("%-28s %10s %10s %6s %10s %10s %6s\n", "picture", "dec ours", "dec gif", "ratio", "enc ours",
                "enc gif", "ratio");
    double sumDec = 0, sumEnc = 0;
    for (const Picture& p : pictures) {
        double decOurs = Measure(p.Pixels, [&] {
            TGIFImage image;
            LoadOurs(image, p.Gif);
        });
        double decGif = Measure(p.Pixels, [&] {
            GifFileType* gif = GiflibDecode(p.Gif);
            int error = 0;
            DGifCloseFile(gif, &error);
        });
        TGIFImage ours;
        LoadOurs(ours, p.Gif);
        double encOurs = Measure(p.Pixels, [&] {
            TMemoryStream out;
            ours.SaveToStream(out);
        });
        GifFileType* decoded = GiflibDecode(p.Gif);
        double encGif = Measure(p.Pixels, [&] { GiflibEncode(decoded); });
        int error = 0;
        DGifCloseFile(decoded, &error);
        std::printf("%-28s %10.1f %10.1f %6.2f %10.1f %10.1f %6.2f\n", p.Name.c_str(), decOurs, decGif,
                    decOurs / decGif, encOurs, encGif, encOurs / encGif);
        sumDec += decOurs / decGif;
        sumEnc += encOurs / encGif;
    }
    std::printf(
        "mean ratio (ours / giflib, above 1 = faster): decode %.2f, encode %.2f (megapixels per second)\n",
        sumDec / pictures.size(), sumEnc / pictures.size());
    return 0;
}

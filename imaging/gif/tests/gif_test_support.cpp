#include "imaging/gif/tests/gif_test_support.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

#ifdef PW_HAVE_GIFLIB
#include <gif_lib.h>
#endif

namespace gif_test {

std::string DataFile(const std::string& name) {
    return std::string(PW_TEST_DATA_DIR) + "/data/" + name;
}

Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void Load(TGIFImage& image, const Bytes& bytes) {
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    stream.SetPosition(0);
    image.LoadFromStream(stream);
}

std::vector<std::string> LoadWarnings(TGIFImage& image, const Bytes& bytes) {
    std::vector<std::string> messages;
    image.OnWarning = [&](TObject*, int, const std::string& m) { messages.push_back(m); };
    Load(image, bytes);
    image.OnWarning = nullptr;
    return messages;
}

Bytes Save(TGIFImage& image) {
    TMemoryStream stream;
    image.SaveToStream(stream);
    return stream.Bytes();
}

Bytes Pixels(const TGIFSubImage& frame) {
    return Bytes(frame.Data(), frame.Data() + frame.DataSize());
}

TRaster Raster24(int w, int h, const Bytes& bgr) {
    TRaster r;
    r.Width = w;
    r.Height = h;
    r.BitsPerPixel = 24;
    r.Bits = bgr;
    return r;
}

std::string LoadError(const Bytes& bytes) {
    TGIFImage image;
    return ThrownMessage<Exception>([&] { Load(image, bytes); });
}

Bytes Header(int width, int height, int globalBits) {
    Bytes out = {'G', 'I', 'F', '8', '9', 'a'};
    for (int v : {width, height})
        out.insert(out.end(), {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)});
    out.insert(out.end(), {static_cast<uint8_t>(globalBits > 0 ? 0x80 | (globalBits - 1) : 0), 0, 0});
    for (int i = 0; globalBits > 0 && i < (1 << globalBits); ++i)
        out.insert(out.end(), {static_cast<uint8_t>(i * 40), static_cast<uint8_t>(i * 20),
                               static_cast<uint8_t>(255 - i)});
    return out;
}

Bytes PackCodes(int codeSize, const std::vector<int>& codes, const std::vector<int>& widths) {
    Bytes bytes;
    uint32_t bucket = 0;
    int bits = 0;
    for (size_t i = 0; i < codes.size(); ++i) {
        bucket |= static_cast<uint32_t>(codes[i]) << bits;
        for (bits += widths[i]; bits >= 8; bits -= 8, bucket >>= 8)
            bytes.push_back(static_cast<uint8_t>(bucket));
    }
    if (bits > 0) bytes.push_back(static_cast<uint8_t>(bucket));
    Bytes out = {static_cast<uint8_t>(codeSize)};
    for (size_t pos = 0; pos < bytes.size(); pos += 255) {
        const size_t n = std::min<size_t>(255, bytes.size() - pos);
        out.push_back(static_cast<uint8_t>(n));
        out.insert(out.end(), bytes.begin() + pos, bytes.begin() + pos + n);
    }
    out.push_back(0);
    return out;
}

Bytes Frame(int left, int top, int width, int height, uint8_t flags, int codeSize,
            const std::vector<int>& codes, const std::vector<int>& widths) {
    Bytes out = {0x2C};
    for (int v : {left, top, width, height})
        out.insert(out.end(), {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)});
    out.push_back(flags);
    Append(out, PackCodes(codeSize, codes, widths));
    return out;
}

void Append(Bytes& out, const Bytes& more) {
    out.insert(out.end(), more.begin(), more.end());
}

TGIFSubImage* AddFrame(TGIFImage& image, int left, int top, int w, int h, const std::vector<COLORREF>& map,
                       const Bytes& pixels, int transparent, int disposal, int delay) {
    auto frame = std::make_unique<TGIFSubImage>(&image);
    for (COLORREF c : map)
        frame->ColorMap().Add(c);
    frame->SetBounds(left, top, w, h);
    std::copy(pixels.begin(), pixels.end(), frame->Data());
    if (transparent >= 0 || disposal >= 0) {
        auto gce = std::make_unique<TGIFGraphicControlExtension>(frame.get());
        gce->SetDisposal(std::max(disposal, 0));
        gce->SetDelay(static_cast<uint16_t>(delay));
        if (transparent >= 0) {
            gce->SetTransparentColorIndex(transparent);
            gce->SetTransparent(true);
        }
        frame->Extensions().Add(std::move(gce));
    }
    TGIFSubImage* raw = frame.get();
    image.Add(std::move(frame));
    return raw;
}

std::unique_ptr<TGIFImage> MakeAnimation(int width, int height, const std::vector<FramePlan>& frames,
                                         int loops) {
    TGIFImage built;
    for (size_t i = 0; i < frames.size(); ++i) {
        const FramePlan& plan = frames[i];
        const RECT b = plan.Bounds.right > plan.Bounds.left ? plan.Bounds : RECT{0, 0, width, height};
        const int w = b.right - b.left;
        const bool hole = plan.Hole.right > plan.Hole.left;
        Bytes pixels(static_cast<size_t>(w) * (b.bottom - b.top), 0);
        for (int y = plan.Hole.top; hole && y < plan.Hole.bottom; ++y)
            std::fill_n(pixels.begin() + y * w + plan.Hole.left, plan.Hole.right - plan.Hole.left, 1);
        TGIFSubImage* frame = AddFrame(built, b.left, b.top, w, b.bottom - b.top, {plan.Color, RGB(1, 2, 3)},
                                       pixels, hole ? 1 : -1, plan.Disposal, plan.Delay);
        if (i == 0 && loops >= 0) {
            auto loop = std::make_unique<TGIFAppExtNSLoop>(frame);
            loop->Loops = static_cast<uint16_t>(loops);
            frame->Extensions().Add(std::move(loop));
        }
    }
    if (built.Width() < width) built.SetWidth(width);
    if (built.Height() < height) built.SetHeight(height);
    auto image = std::make_unique<TGIFImage>();
    Load(*image, Save(built));
    return image;
}

std::vector<std::string> TestGifs() {
    std::vector<std::string> files;
    for (const char* dir : {PW_TEST_DATA_DIR "/data", "/usr/share/go-1.19/src/image/testdata"}) {
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(dir, ec))
            if (entry.path().extension() == ".gif") files.push_back(entry.path().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

bool HaveImageMagick() {
    return std::system("command -v convert >/dev/null 2>&1") == 0;
}

std::vector<Bytes> ImageMagickFrames(const Bytes& input, const std::string& suffix,
                                     const std::string& options, const std::string& format) {
    std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("gif_im_" + std::to_string(getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const std::string in = (dir / ("in" + suffix)).string();
    std::ofstream(in, std::ios::binary)
        .write(reinterpret_cast<const char*>(input.data()), static_cast<std::streamsize>(input.size()));
    const std::string cmd = "convert '" + in + "' " + options + " -depth 8 +adjoin " + format + ":'" +
                            (dir / "out-%d").string() + "' 2>/dev/null";
    std::vector<Bytes> frames;
    if (std::system(cmd.c_str()) == 0)
        for (int i = 0; std::filesystem::exists(dir / ("out-" + std::to_string(i))); ++i)
            frames.push_back(ReadFile((dir / ("out-" + std::to_string(i))).string()));
    std::filesystem::remove_all(dir);
    return frames;
}

#ifdef PW_HAVE_GIFLIB
namespace {
struct MemoryReader {
    const Bytes* Data;
    size_t Pos = 0;
};
int ReadMemory(GifFileType* gif, GifByteType* buffer, int count) {
    auto* r = static_cast<MemoryReader*>(gif->UserData);
    const size_t n = std::min<size_t>(count, r->Data->size() - r->Pos);
    std::memcpy(buffer, r->Data->data() + r->Pos, n);
    r->Pos += n;
    return static_cast<int>(n);
}
std::vector<uint32_t> MapOf(const ColorMapObject* map) {
    std::vector<uint32_t> out;
    for (int i = 0; map && i < map->ColorCount; ++i)
        out.push_back((map->Colors[i].Red << 16) | (map->Colors[i].Green << 8) | map->Colors[i].Blue);
    return out;
}
} // namespace

bool HaveReference() {
    return true;
}

RefImage ReferenceDecode(const Bytes& bytes) {
    RefImage result;
    MemoryReader reader{&bytes};
    int error = 0;
    GifFileType* gif = DGifOpen(&reader, ReadMemory, &error);
    if (!gif) return result;
    if (DGifSlurp(gif) == GIF_OK) {
        result.Ok = true;
        result.Width = gif->SWidth;
        result.Height = gif->SHeight;
        result.GlobalMap = MapOf(gif->SColorMap);
        for (int i = 0; i < gif->ImageCount; ++i) {
            const SavedImage& s = gif->SavedImages[i];
            const GifImageDesc& d = s.ImageDesc;
            RefFrame f{d.Left,
                       d.Top,
                       d.Width,
                       d.Height,
                       Bytes(s.RasterBits, s.RasterBits + size_t(d.Width) * d.Height),
                       MapOf(d.ColorMap)};
            GraphicsControlBlock gcb;
            if (DGifSavedExtensionToGCB(gif, i, &gcb) == GIF_OK) {
                f.Disposal = gcb.DisposalMode;
                f.Delay = gcb.DelayTime;
                f.TransparentIndex = gcb.TransparentColor;
            }
            result.Frames.push_back(std::move(f));
        }
    }
    DGifCloseFile(gif, &error);
    return result;
}

#else
bool HaveReference() {
    return false;
}
RefImage ReferenceDecode(const Bytes&) {
    return {};
}
#endif

} // namespace gif_test

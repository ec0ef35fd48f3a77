#include "imaging/gif/tests/gif_test_support.h"

#include "platform/rtl/file_stream.h"

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

std::vector<uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void Load(TGIFImage& image, const std::vector<uint8_t>& bytes) {
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    stream.SetPosition(0);
    image.LoadFromStream(stream);
}

std::vector<uint8_t> Save(TGIFImage& image) {
    TMemoryStream stream;
    image.SaveToStream(stream);
    return stream.Bytes();
}

void Warnings::Attach(TGIFImage& image) {
    image.OnWarning = [this](TObject*, int, const std::string& m) { Messages.push_back(m); };
}

std::vector<uint8_t> Header(int width, int height, int globalBits) {
    std::vector<uint8_t> out = {'G', 'I', 'F', '8', '9', 'a'};
    out.push_back(static_cast<uint8_t>(width));
    out.push_back(static_cast<uint8_t>(width >> 8));
    out.push_back(static_cast<uint8_t>(height));
    out.push_back(static_cast<uint8_t>(height >> 8));
    out.push_back(globalBits > 0 ? static_cast<uint8_t>(0x80 | (globalBits - 1)) : 0);
    out.push_back(0);
    out.push_back(0);
    for (int i = 0; globalBits > 0 && i < (1 << globalBits); ++i) {
        out.push_back(static_cast<uint8_t>(i * 40));
        out.push_back(static_cast<uint8_t>(i * 20));
        out.push_back(static_cast<uint8_t>(255 - i));
    }
    return out;
}

std::vector<uint8_t> PackCodes(int codeSize, const std::vector<int>& codes, const std::vector<int>& widths) {
    std::vector<uint8_t> bytes;
    uint32_t bucket = 0;
    int bits = 0;
    for (size_t i = 0; i < codes.size(); ++i) {
        bucket |= static_cast<uint32_t>(codes[i]) << bits;
        bits += widths[i];
        while (bits >= 8) {
            bytes.push_back(static_cast<uint8_t>(bucket));
            bucket >>= 8;
            bits -= 8;
        }
    }
    if (bits > 0) bytes.push_back(static_cast<uint8_t>(bucket));
    std::vector<uint8_t> out = {static_cast<uint8_t>(codeSize)};
    for (size_t pos = 0; pos < bytes.size(); pos += 255) {
        size_t n = std::min<size_t>(255, bytes.size() - pos);
        out.push_back(static_cast<uint8_t>(n));
        out.insert(out.end(), bytes.begin() + pos, bytes.begin() + pos + n);
    }
    out.push_back(0);
    return out;
}

std::vector<uint8_t> Frame(int left, int top, int width, int height, uint8_t flags, int codeSize,
                           const std::vector<int>& codes, const std::vector<int>& widths) {
    std::vector<uint8_t> out = {0x2C,
                                static_cast<uint8_t>(left),
                                static_cast<uint8_t>(left >> 8),
                                static_cast<uint8_t>(top),
                                static_cast<uint8_t>(top >> 8),
                                static_cast<uint8_t>(width),
                                static_cast<uint8_t>(width >> 8),
                                static_cast<uint8_t>(height),
                                static_cast<uint8_t>(height >> 8),
                                flags};
    Append(out, PackCodes(codeSize, codes, widths));
    return out;
}

void Append(std::vector<uint8_t>& out, const std::vector<uint8_t>& more) {
    out.insert(out.end(), more.begin(), more.end());
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

std::vector<std::vector<uint8_t>> ImageMagickFrames(const std::vector<uint8_t>& input,
                                                    const std::string& suffix, const std::string& options,
                                                    const std::string& format) {
    std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("gif_im_" + std::to_string(getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const std::string in = (dir / ("in" + suffix)).string();
    std::ofstream(in, std::ios::binary)
        .write(reinterpret_cast<const char*>(input.data()), static_cast<std::streamsize>(input.size()));
    const std::string cmd = "convert '" + in + "' " + options + " -depth 8 +adjoin " + format + ":'" +
                            (dir / "out-%d").string() + "' 2>/dev/null";
    std::vector<std::vector<uint8_t>> frames;
    if (std::system(cmd.c_str()) == 0)
        for (int i = 0; std::filesystem::exists(dir / ("out-" + std::to_string(i))); ++i)
            frames.push_back(ReadFile((dir / ("out-" + std::to_string(i))).string()));
    std::filesystem::remove_all(dir);
    return frames;
}

#ifdef PW_HAVE_GIFLIB
namespace {
struct MemoryReader {
    const std::vector<uint8_t>* Bytes;
    size_t Pos = 0;
};
int ReadMemory(GifFileType* gif, GifByteType* buffer, int count) {
    auto* r = static_cast<MemoryReader*>(gif->UserData);
    size_t n = std::min<size_t>(count, r->Bytes->size() - r->Pos);
    std::memcpy(buffer, r->Bytes->data() + r->Pos, n);
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

RefImage ReferenceDecode(const std::vector<uint8_t>& bytes) {
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
            RefFrame f;
            f.Left = s.ImageDesc.Left;
            f.Top = s.ImageDesc.Top;
            f.Width = s.ImageDesc.Width;
            f.Height = s.ImageDesc.Height;
            f.Interlaced = s.ImageDesc.Interlace;
            f.Pixels.assign(s.RasterBits, s.RasterBits + static_cast<size_t>(f.Width) * f.Height);
            f.LocalMap = MapOf(s.ImageDesc.ColorMap);
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
RefImage ReferenceDecode(const std::vector<uint8_t>&) {
    return {};
}
#endif

} // namespace gif_test

// Writes the site-map page's three images as GIF files into the folder given on the command line.
#include "imaging/gif/lzw_encoder.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/file_stream.h"
#include "platform/rtl/stream.h"
#include "tools/smimages/pixel_art.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {
constexpr int kBitsPerPixel = 4;

void Put16(TStream& s, int v) {
    const uint8_t bytes[2] = {static_cast<uint8_t>(v & 0xFF), static_cast<uint8_t>(v >> 8)};
    s.WriteBuffer(bytes, 2);
}

void PutBytes(TStream& s, std::initializer_list<uint8_t> bytes) {
    const std::vector<uint8_t> v(bytes);
    s.WriteBuffer(v.data(), static_cast<int64_t>(v.size()));
}

std::vector<uint8_t> Pixels(const smimages::Picture& rows) {
    std::vector<uint8_t> pixels;
    for (std::string_view row : rows) {
        if (row.size() != smimages::kSize) throw Exception("A picture row is not 16 pixels wide.");
        for (char key : row) {
            const int index = smimages::PaletteIndex(key);
            if (index < 0) throw Exception(std::string("No colour for the pixel '") + key + "'.");
            pixels.push_back(static_cast<uint8_t>(index));
        }
    }
    return pixels;
}

void WriteGif(const std::string& fileName, const smimages::Picture& rows) {
    const std::vector<uint8_t> pixels = Pixels(rows);
    TMemoryStream gif;
    gif.WriteBuffer("GIF89a", 6);
    Put16(gif, smimages::kSize);
    Put16(gif, smimages::kSize);
    // Global colour table of 2^4 entries, 8 bits of colour resolution.
    PutBytes(gif, {static_cast<uint8_t>(0x80 | (7 << 4) | (kBitsPerPixel - 1)), 0, 0});
    for (const auto& entry : smimages::kPalette)
        PutBytes(gif, {entry.R, entry.G, entry.B});
    // Graphic control: colour 0 is transparent.
    PutBytes(gif, {0x21, 0xF9, 0x04, 0x01, 0, 0, 0, 0});
    PutBytes(gif, {0x2C});
    Put16(gif, 0);
    Put16(gif, 0);
    Put16(gif, smimages::kSize);
    Put16(gif, smimages::kSize);
    PutBytes(gif, {0});
    TLZWEncoder encoder;
    encoder.Encode(gif, kBitsPerPixel, 1 << kBitsPerPixel, pixels.data(), false, smimages::kSize,
                   smimages::kSize);
    PutBytes(gif, {0x3B});

    TFileStream file(fileName, fmCreate);
    gif.SetPosition(0);
    file.CopyFrom(gif, gif.Size());
}
} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: smimages <output folder>\n");
        return 2;
    }
    try {
        const std::string folder = std::string(argv[1]) + "/";
        for (const auto& picture : smimages::kPictures)
            WriteGif(folder + picture.FileName, picture.Rows);
    } catch (const Exception& e) {
        std::fprintf(stderr, "smimages: %s\n", e.Message().c_str());
        return 1;
    }
    return 0;
}

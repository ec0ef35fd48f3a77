#include "tools/window_images/image_files.h"

#include <cstdint>
#include <map>
#include <vector>
#include <zlib.h>

#include "imaging/gif/lzw_encoder.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/file_stream.h"
#include "platform/rtl/stream.h"

namespace window_images {
namespace {

using Bytes = std::vector<uint8_t>;

void Put8(Bytes& b, unsigned v) {
    b.push_back(static_cast<uint8_t>(v));
}
void Put16(Bytes& b, unsigned v) {
    Put8(b, v & 0xFF);
    Put8(b, (v >> 8) & 0xFF);
}
void Put32(Bytes& b, uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}
void Put32BigEndian(Bytes& b, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        Put8(b, (v >> shift) & 0xFF);
}

void WriteBytes(const std::string& Path, const Bytes& Data) {
    TFileStream file(Path, fmCreate);
    file.WriteBuffer(Data.data(), static_cast<int64_t>(Data.size()));
}

void PngChunk(Bytes& Out, const char* Kind, const Bytes& Data) {
    Put32BigEndian(Out, static_cast<uint32_t>(Data.size()));
    Bytes body(Kind, Kind + 4);
    body.insert(body.end(), Data.begin(), Data.end());
    Out.insert(Out.end(), body.begin(), body.end());
    Put32BigEndian(Out, static_cast<uint32_t>(crc32(0, body.data(), static_cast<uInt>(body.size()))));
}

} // namespace

void WritePng(const std::string& Path, const Picture& P) {
    Bytes raw;
    for (int y = 0; y < P.Height(); ++y) {
        raw.push_back(0); // no filter
        for (int x = 0; x < P.Width(); ++x) {
            const Rgba c = P.At(x, y);
            raw.insert(raw.end(), {c.R, c.G, c.B, c.A});
        }
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    Bytes packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 9) != Z_OK)
        throw Exception("The picture could not be compressed.");
    packed.resize(packedSize);
    Bytes header;
    Put32BigEndian(header, static_cast<uint32_t>(P.Width()));
    Put32BigEndian(header, static_cast<uint32_t>(P.Height()));
    header.insert(header.end(), {8, 6, 0, 0, 0}); // 8-bit RGBA
    Bytes png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    PngChunk(png, "IHDR", header);
    PngChunk(png, "IDAT", packed);
    PngChunk(png, "IEND", {});
    WriteBytes(Path, png);
}

void WriteBmp(const std::string& Path, const Picture& P, Rgba Clear) {
    const int w = P.Width(), h = P.Height();
    const int stride = (w * 3 + 3) & ~3;
    const uint32_t imageSize = static_cast<uint32_t>(stride * h);
    Bytes bmp{'B', 'M'};
    Put32(bmp, 14 + 40 + imageSize);
    Put32(bmp, 0);
    Put32(bmp, 14 + 40);
    Put32(bmp, 40);
    Put32(bmp, static_cast<uint32_t>(w));
    Put32(bmp, static_cast<uint32_t>(h));
    Put16(bmp, 1);
    Put16(bmp, 24);
    Put32(bmp, 0);
    Put32(bmp, imageSize);
    for (int i = 0; i < 4; ++i)
        Put32(bmp, 0);
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x) {
            const Rgba c = P.At(x, y).A == 0 ? Clear : P.At(x, y);
            bmp.insert(bmp.end(), {c.B, c.G, c.R});
        }
        bmp.resize(bmp.size() + static_cast<size_t>(stride - w * 3), 0);
    }
    WriteBytes(Path, bmp);
}

void WriteGif(const std::string& Path, const Picture& P) {
    std::map<uint32_t, uint8_t> index;
    std::vector<Rgba> table;
    std::vector<uint8_t> pixels;
    pixels.reserve(static_cast<size_t>(P.Width() * P.Height()));
    for (int y = 0; y < P.Height(); ++y)
        for (int x = 0; x < P.Width(); ++x) {
            const Rgba c = P.At(x, y);
            const uint32_t key = static_cast<uint32_t>(c.R) << 16 | c.G << 8 | c.B;
            auto it = index.find(key);
            if (it == index.end()) {
                if (table.size() == 256) throw Exception("The picture has more than 256 colours.");
                it = index.emplace(key, static_cast<uint8_t>(table.size())).first;
                table.push_back(c);
            }
            pixels.push_back(it->second);
        }
    int bits = 1;
    while ((1u << bits) < table.size())
        ++bits;
    table.resize(size_t{1} << bits);
    TMemoryStream gif;
    Bytes head{'G', 'I', 'F', '8', '9', 'a'};
    Put16(head, static_cast<unsigned>(P.Width()));
    Put16(head, static_cast<unsigned>(P.Height()));
    Put8(head, 0x80 | (7 << 4) | static_cast<unsigned>(bits - 1));
    Put8(head, 0);
    Put8(head, 0);
    for (const Rgba& c : table)
        head.insert(head.end(), {c.R, c.G, c.B});
    Put8(head, 0x2C);
    Put16(head, 0);
    Put16(head, 0);
    Put16(head, static_cast<unsigned>(P.Width()));
    Put16(head, static_cast<unsigned>(P.Height()));
    Put8(head, 0);
    gif.WriteBuffer(head.data(), static_cast<int64_t>(head.size()));
    TLZWEncoder encoder;
    // The code size of a GIF is at least 2 bits.
    const int codeBits = std::max(bits, 2);
    encoder.Encode(gif, codeBits, 1 << codeBits, pixels.data(), false, P.Width(), P.Height());
    const uint8_t trailer = 0x3B;
    gif.WriteBuffer(&trailer, 1);
    TFileStream file(Path, fmCreate);
    gif.SetPosition(0);
    file.CopyFrom(gif, gif.Size());
}

void WriteCursor(const std::string& Path, const Picture& P, int HotX, int HotY) {
    const int w = P.Width(), h = P.Height();
    const int maskStride = ((w + 31) / 32) * 4;
    Bytes image;
    Put32(image, 40);
    Put32(image, static_cast<uint32_t>(w));
    Put32(image, static_cast<uint32_t>(h * 2)); // the colour image and its mask
    Put16(image, 1);
    Put16(image, 32);
    for (int i = 0; i < 6; ++i)
        Put32(image, 0);
    for (int y = h - 1; y >= 0; --y)
        for (int x = 0; x < w; ++x) {
            const Rgba c = P.At(x, y);
            image.insert(image.end(), {c.B, c.G, c.R, c.A});
        }
    for (int y = h - 1; y >= 0; --y) {
        Bytes row(static_cast<size_t>(maskStride), 0);
        for (int x = 0; x < w; ++x)
            if (P.At(x, y).A == 0) row[static_cast<size_t>(x / 8)] |= static_cast<uint8_t>(0x80 >> (x % 8));
        image.insert(image.end(), row.begin(), row.end());
    }
    Bytes cur;
    Put16(cur, 0);
    Put16(cur, 2); // cursor
    Put16(cur, 1);
    Put8(cur, static_cast<unsigned>(w));
    Put8(cur, static_cast<unsigned>(h));
    Put8(cur, 0);
    Put8(cur, 0);
    Put16(cur, static_cast<unsigned>(HotX));
    Put16(cur, static_cast<unsigned>(HotY));
    Put32(cur, static_cast<uint32_t>(image.size()));
    Put32(cur, 6 + 16);
    cur.insert(cur.end(), image.begin(), image.end());
    WriteBytes(Path, cur);
}

} // namespace window_images

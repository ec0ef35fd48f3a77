#pragma once
// Building PNG streams chunk by chunk (CRCs and compression from zlib itself), loading them, and
// what an image shows.
#include "imaging/png/chunk_ihdr.h"
#include "imaging/png/chunk_palette.h"
#include "imaging/png/png_object.h"
#include "platform/rtl/stream.h"
#include "tests/support/thrown_message.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>
#include <zlib.h>

namespace png_test {

using Bytes = std::vector<uint8_t>;
using testsupport::ThrownMessage;

inline void PutBe32(Bytes& out, uint32_t v) {
    for (int s = 24; s >= 0; s -= 8)
        out.push_back(uint8_t(v >> s));
}

inline Bytes Be32(uint32_t v) {
    Bytes b;
    PutBe32(b, v);
    return b;
}

inline Bytes Compress(const Bytes& raw) {
    uLongf size = compressBound(raw.size());
    Bytes out(size);
    compress2(out.data(), &size, raw.data(), raw.size(), 9);
    out.resize(size);
    return out;
}

class PngBuilder {
public:
    PngBuilder() { bytes_ = {137, 80, 78, 71, 13, 10, 26, 10}; }

    PngBuilder& Chunk(const std::string& type, const Bytes& data, bool goodCrc = true) {
        PutBe32(bytes_, uint32_t(data.size()));
        Bytes body(type.begin(), type.end());
        body.insert(body.end(), data.begin(), data.end());
        bytes_.insert(bytes_.end(), body.begin(), body.end());
        PutBe32(bytes_, uint32_t(crc32(0, body.data(), uInt(body.size()))) ^ (goodCrc ? 0 : 1));
        return *this;
    }
    PngBuilder& Ihdr(uint32_t w, uint32_t h, uint8_t depth, uint8_t colorType, uint8_t interlace = 0) {
        Bytes d = Be32(w);
        PutBe32(d, h);
        d.insert(d.end(), {depth, colorType, 0, 0, interlace});
        return Chunk("IHDR", d);
    }
    // Scan lines (each with its filter byte) compressed into one IDAT chunk.
    PngBuilder& Idat(const Bytes& scanLines) { return Chunk("IDAT", Compress(scanLines)); }
    PngBuilder& Iend() { return Chunk("IEND", {}); }
    const Bytes& Get() const { return bytes_; }

private:
    Bytes bytes_;
};

// A whole file: the header, the given chunks, the scan lines (each with its filter byte) and the end.
inline Bytes MakePng(uint32_t w, uint32_t h, uint8_t depth, uint8_t colorType, const Bytes& scanLines,
                     const std::vector<std::pair<std::string, Bytes>>& chunks = {}) {
    PngBuilder b;
    b.Ihdr(w, h, depth, colorType);
    for (const auto& [type, data] : chunks)
        b.Chunk(type, data);
    return b.Idat(scanLines).Iend().Get();
}

// Unfiltered scan lines of an image whose every row is `row`.
inline Bytes RepeatRows(const Bytes& row, int rows) {
    Bytes out;
    for (int i = 0; i < rows; ++i) {
        out.push_back(0);
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

inline Bytes ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

inline void Load(TPNGObject& image, const Bytes& bytes) {
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), int64_t(bytes.size()));
    stream.SetPosition(0);
    image.LoadFromStream(stream);
}

inline std::unique_ptr<TPNGObject> Loaded(const Bytes& bytes) {
    auto image = std::make_unique<TPNGObject>();
    Load(*image, bytes);
    return image;
}

inline Bytes Save(TPNGObject& image) {
    TMemoryStream stream;
    image.SaveToStream(stream);
    return stream.Bytes();
}

// The exception's message when loading raises, "" when it loads.
template <class E> std::string LoadError(const Bytes& bytes) {
    TPNGObject image;
    return ThrownMessage<E>([&] { Load(image, bytes); });
}

// A pixel as the image shows it: 0xAARRGGBB, alpha from the alpha plane, the palette's transparency entries
// or the colour key.
inline uint32_t ShownPixel(const TPNGObject& image, uint32_t x, uint32_t y) {
    const TChunkIHDR& h = image.RequireHeader();
    const uint8_t* row = h.RowAddress(y);
    uint32_t stored, rgb;
    if (h.UsesColorTable()) {
        stored = h.BitCount() == 1   ? (row[x >> 3] >> (7 - (x & 7))) & 1
                 : h.BitCount() == 4 ? (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 15
                                     : row[x];
        const PngRgbQuad& c = h.ColorTable()[stored];
        rgb = uint32_t(c.rgbRed) << 16 | uint32_t(c.rgbGreen) << 8 | c.rgbBlue;
    } else {
        const uint8_t* p = row + 3 * x;
        stored = rgb = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
    }
    uint32_t alpha = 255;
    const auto* trns = image.ChunkItems().ItemFromClass<TChunktRNS>();
    uint32_t key = 0;
    if (h.AlphaPlane())
        alpha = h.AlphaPlane()[size_t(y) * h.Width() + x];
    else if (h.ColorType() == 3 && trns)
        alpha = trns->AlphaTable()[stored];
    else if (trns && trns->StoredKey(key) && key == stored)
        alpha = 0;
    return alpha << 24 | rgb;
}

// A shown pixel (0xAARRGGBB) over an opaque 0x00RRGGBB ground, rounded as the drawing rounds.
inline uint32_t Over(uint32_t shown, uint32_t ground) {
    const uint32_t a = shown >> 24;
    uint32_t out = 0;
    for (int s = 0; s <= 16; s += 8) {
        const uint32_t src = (shown >> s) & 0xFF, dst = (ground >> s) & 0xFF;
        out |= ((src * a + 255 + (255 - a) * dst) >> 8) << s;
    }
    return out;
}

} // namespace png_test

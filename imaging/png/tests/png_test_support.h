#pragma once
// Loading and inspecting images in the tests.
#include "imaging/png/chunk_ihdr.h"
#include "imaging/png/chunk_palette.h"
#include "imaging/png/png_object.h"
#include "platform/rtl/stream.h"

#include <cstdint>
#include <string>
#include <vector>

namespace png_test {

inline void Load(TPNGObject& image, const std::vector<uint8_t>& bytes) {
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), int64_t(bytes.size()));
    stream.SetPosition(0);
    image.LoadFromStream(stream);
}

inline std::vector<uint8_t> Save(TPNGObject& image) {
    TMemoryStream stream;
    image.SaveToStream(stream);
    return stream.Bytes();
}

// The exception's message when loading raises, "" when it loads.
template <class E> std::string LoadError(const std::vector<uint8_t>& bytes) {
    TPNGObject image;
    try {
        Load(image, bytes);
    } catch (const E& e) {
        return e.Message();
    }
    return "";
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

} // namespace png_test

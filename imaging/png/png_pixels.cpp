// Pixel access and transparency of TPNGObject.
#include "imaging/png/chunk_ihdr.h"
#include "imaging/png/chunk_palette.h"
#include "imaging/png/png_errors.h"
#include "imaging/png/png_object.h"

#include <algorithm>

namespace {
uint32_t Rgb(uint8_t r, uint8_t g, uint8_t b) {
    return uint32_t(r) | uint32_t(g) << 8 | uint32_t(b) << 16;
}

uint8_t StoredValue(const uint8_t* row, uint8_t bitCount, uint32_t x) {
    switch (bitCount) {
    case 1:
        return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4:
        return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 15;
    default:
        return row[x];
    }
}

void StoreValue(uint8_t* row, uint8_t bitCount, uint32_t x, uint8_t v) {
    switch (bitCount) {
    case 1: {
        const int shift = 7 - int(x & 7);
        row[x >> 3] = uint8_t((row[x >> 3] & ~(1 << shift)) | ((v & 1) << shift));
        break;
    }
    case 4: {
        const int shift = (x & 1) ? 0 : 4;
        row[x >> 1] = uint8_t((row[x >> 1] & ~(15 << shift)) | ((v & 15) << shift));
        break;
    }
    default:
        row[x] = v;
        break;
    }
}
} // namespace

TPngAlphaKind TPNGObject::AlphaKind() const {
    const TChunkIHDR& header = RequireHeader();
    const auto* trns = chunkItems_.ItemFromClass<TChunktRNS>();
    switch (header.ColorType()) {
    case 0:
    case 2:
        return trns && trns->HasColorKey() ? pakColorKey : pakNone;
    case 3:
        if (!trns) return pakNone;
        return trns->OneColorTransparent() ? pakColorKey : pakPartial;
    case 4:
    case 6:
        return pakPartial;
    default:
        return pakNone;
    }
}

uint32_t TPNGObject::ColorKey() const {
    const auto* trns = chunkItems_.ItemFromClass<TChunktRNS>();
    return trns ? trns->KeyColor() : 0;
}

uint32_t TPNGObject::ReadPixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= Width() || y >= Height()) return 0;
    const TChunkIHDR& header = RequireHeader();
    const uint8_t* row = header.RowAddress(uint32_t(y));
    switch (header.ColorType()) {
    case 0: {
        const uint8_t v = StoredValue(row, header.BitCount(), uint32_t(x));
        const uint8_t level = header.BitCount() == 1 ? v * 255 : header.BitCount() == 4 ? v * 17 : v;
        const uint8_t g = gammaLookup_[level];
        return Rgb(g, g, g);
    }
    case 3: {
        const auto* palette = chunkItems_.ItemFromClass<TChunkPLTE>();
        if (!palette) RaisePngError<EPngError>(png_text::UnknownPalette);
        // The colour table holds the palette with its gamma already applied.
        const PngRgbQuad& c = palette->PaletteEntry(StoredValue(row, header.BitCount(), uint32_t(x)));
        return Rgb(c.rgbRed, c.rgbGreen, c.rgbBlue);
    }
    case 4: {
        const uint8_t g = row[x];
        return Rgb(g, g, g);
    }
    default: {
        const uint8_t* p = row + 3 * size_t(x);
        return Rgb(p[2], p[1], p[0]);
    }
    }
}

void TPNGObject::WritePixel(int x, int y, uint32_t color) {
    if (x < 0 || y < 0 || x >= Width() || y >= Height()) return;
    TChunkIHDR& header = RequireHeader();
    uint8_t* row = header.RowAddress(uint32_t(y));
    const uint8_t r = color & 0xFF, g = (color >> 8) & 0xFF, b = (color >> 16) & 0xFF;
    switch (header.ColorType()) {
    case 0:
    case 3: {
        // Only entries a pixel of this depth can name are candidates.
        int entries = 1 << header.BitCount();
        if (header.ColorType() == 3)
            if (const auto* palette = chunkItems_.ItemFromClass<TChunkPLTE>())
                entries = std::min(entries, std::max(palette->EntryCount(), 1));
        int best = 0;
        long bestDistance = -1;
        for (int i = 0; i < entries; ++i) {
            const PngRgbQuad& c = header.ColorTable()[size_t(i)];
            const long dr = long(c.rgbRed) - r, dg = long(c.rgbGreen) - g, db = long(c.rgbBlue) - b;
            const long distance = dr * dr + dg * dg + db * db;
            if (bestDistance < 0 || distance < bestDistance) {
                best = i;
                bestDistance = distance;
            }
        }
        StoreValue(row, header.BitCount(), uint32_t(x), uint8_t(best));
        break;
    }
    case 4:
        row[x] = r;
        break;
    default: {
        uint8_t* p = row + 3 * size_t(x);
        p[0] = b;
        p[1] = g;
        p[2] = r;
        break;
    }
    }
}

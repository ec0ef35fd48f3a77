#include "platform/gdi/dib_format.h"

#include <cstring>

namespace pw::gdi {
namespace {

uint32_t PaletteArgb(const std::vector<RGBQUAD>& pal, size_t i) {
    if (i >= pal.size()) return 0xFF000000u;
    const RGBQUAD& q = pal[i];
    return 0xFF000000u | (uint32_t(q.rgbRed) << 16) | (uint32_t(q.rgbGreen) << 8) | q.rgbBlue;
}

int NearestIndex(const std::vector<RGBQUAD>& pal, uint32_t argb) {
    int best = 0;
    long bestDist = -1;
    for (size_t i = 0; i < pal.size(); ++i) {
        const long dr = long((argb >> 16) & 0xFF) - pal[i].rgbRed,
                   dg = long((argb >> 8) & 0xFF) - pal[i].rgbGreen, db = long(argb & 0xFF) - pal[i].rgbBlue;
        const long d = dr * dr + dg * dg + db * db;
        if (bestDist < 0 || d < bestDist) {
            bestDist = d;
            best = static_cast<int>(i);
            if (d == 0) break;
        }
    }
    return best;
}

} // namespace

bool IsSupportedDibDepth(int bpp) {
    return bpp == 1 || bpp == 4 || bpp == 8 || bpp == 24 || bpp == 32;
}

std::vector<RGBQUAD> DibPalette(const BITMAPINFO& info) {
    const int bpp = info.bmiHeader.biBitCount;
    if (bpp > 8) return {};
    size_t n = info.bmiHeader.biClrUsed ? info.bmiHeader.biClrUsed : (size_t(1) << bpp);
    if (n > (size_t(1) << bpp)) n = size_t(1) << bpp;
    // The table continues past the declared one-element array, as the Win32 layout has it.
    const RGBQUAD* table =
        reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const uint8_t*>(&info) + info.bmiHeader.biSize);
    return std::vector<RGBQUAD>(table, table + n);
}

std::vector<RGBQUAD> DefaultPalette(int bpp) {
    std::vector<RGBQUAD> pal;
    auto add = [&](int r, int g, int b) {
        pal.push_back(RGBQUAD{static_cast<BYTE>(b), static_cast<BYTE>(g), static_cast<BYTE>(r), 0});
    };
    if (bpp == 1) {
        add(0, 0, 0);
        add(255, 255, 255);
    } else if (bpp == 4) {
        static const int vga[16][3] = {{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                                       {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
                                       {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                                       {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
        for (auto& c : vga)
            add(c[0], c[1], c[2]);
    } else if (bpp == 8) {
        for (int i = 0; i < 256; ++i)
            add((i >> 5) * 255 / 7, ((i >> 2) & 7) * 255 / 7, (i & 3) * 255 / 3);
    }
    return pal;
}

void UnpackDibRow(const uint8_t* row, int w, int bpp, const std::vector<RGBQUAD>& pal, uint32_t* out) {
    for (int x = 0; x < w; ++x) {
        switch (bpp) {
        case 1:
            out[x] = PaletteArgb(pal, (row[x >> 3] >> (7 - (x & 7))) & 1);
            break;
        case 4:
            out[x] = PaletteArgb(pal, (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF);
            break;
        case 8:
            out[x] = PaletteArgb(pal, row[x]);
            break;
        case 24:
            out[x] =
                0xFF000000u | (uint32_t(row[x * 3 + 2]) << 16) | (uint32_t(row[x * 3 + 1]) << 8) | row[x * 3];
            break;
        default:
            std::memcpy(&out[x], row + x * 4, 4);
            break;
        }
    }
}

void PackDibRow(const uint32_t* in, int w, int bpp, const std::vector<RGBQUAD>& pal, uint8_t* row) {
    for (int x = 0; x < w; ++x) {
        switch (bpp) {
        case 1: {
            const uint8_t bit = uint8_t(0x80 >> (x & 7));
            if (NearestIndex(pal, in[x]) & 1)
                row[x >> 3] |= bit;
            else
                row[x >> 3] &= uint8_t(~bit);
            break;
        }
        case 4: {
            const int v = NearestIndex(pal, in[x]) & 0xF;
            row[x >> 1] =
                (x & 1) ? uint8_t((row[x >> 1] & 0xF0) | v) : uint8_t((row[x >> 1] & 0x0F) | (v << 4));
            break;
        }
        case 8:
            row[x] = static_cast<uint8_t>(NearestIndex(pal, in[x]));
            break;
        case 24:
            row[x * 3] = static_cast<uint8_t>(in[x]);
            row[x * 3 + 1] = static_cast<uint8_t>(in[x] >> 8);
            row[x * 3 + 2] = static_cast<uint8_t>(in[x] >> 16);
            break;
        default:
            std::memcpy(row + x * 4, &in[x], 4);
            break;
        }
    }
}

} // namespace pw::gdi

#include "imaging/gif/color_reduction.h"

#include <cstdlib>

TFastColorLookup::TFastColorLookup(const std::vector<COLORREF>& palette)
    : palette_(palette.begin(), palette.begin() + std::min<size_t>(palette.size(), 256)),
      cache_(32768, 0xFFFF) {
    colors_ = static_cast<int>(palette_.size());
    for (int i = 0; i < colors_; ++i) {
        COLORREF c = palette_[i];
        uint16_t& slot = cache_[Key(GetRValue(c), GetGValue(c), GetBValue(c))];
        if (slot == 0xFFFF) slot = static_cast<uint16_t>(i);
    }
}

int TFastColorLookup::Lookup(uint8_t red, uint8_t green, uint8_t blue, uint8_t& r, uint8_t& g, uint8_t& b) {
    uint16_t& slot = cache_[Key(red, green, blue)];
    if (slot == 0xFFFF) {
        int best = 0x30000, bestIndex = 0;
        for (int i = 0; i < colors_; ++i) {
            COLORREF c = palette_[i];
            int d =
                std::abs(red - GetRValue(c)) + std::abs(green - GetGValue(c)) + std::abs(blue - GetBValue(c));
            if (d < best) {
                best = d;
                bestIndex = i;
            }
        }
        slot = static_cast<uint16_t>(bestIndex);
    }
    COLORREF c = palette_[slot];
    r = GetRValue(c);
    g = GetGValue(c);
    b = GetBValue(c);
    return slot;
}

int TNetscapeColorLookup::Lookup(uint8_t red, uint8_t green, uint8_t blue, uint8_t& r, uint8_t& g,
                                 uint8_t& b) {
    int ri = (red + 3) / 51, gi = (green + 3) / 51, bi = (blue + 3) / 51;
    r = static_cast<uint8_t>(51 * ri);
    g = static_cast<uint8_t>(51 * gi);
    b = static_cast<uint8_t>(51 * bi);
    return 36 * ri + 6 * gi + bi;
}

int TGrayScaleLookup::Lookup(uint8_t red, uint8_t green, uint8_t blue, uint8_t& r, uint8_t& g, uint8_t& b) {
    int v = (77 * red + 150 * green + 29 * blue) >> 8;
    r = g = b = static_cast<uint8_t>(v);
    return v;
}

int TMonochromeLookup::Lookup(uint8_t red, uint8_t green, uint8_t blue, uint8_t& r, uint8_t& g, uint8_t& b) {
    int s = 77 * red + 150 * green + 29 * blue;
    if (s < 32513) {
        r = g = b = 0;
        return 0;
    }
    r = g = b = 255;
    return 1;
}

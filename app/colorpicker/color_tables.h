#pragma once
// The colours the colour popup offers: 40 named colours in a grid of 8 columns, and the 25 classic
// system colours.
#include <array>
#include <string_view>

#include "platform/rtl/colors.h"

namespace colorpicker {

struct NamedColor {
    std::string_view Name;
    TColor Color; // $00BBGGRR
};

inline constexpr int kNamedColorCount = 40;
inline constexpr int kSystemColorCount = 25;

// Red in the low byte, as colours are stored.
constexpr TColor Rgb(int r, int g, int b) {
    return static_cast<TColor>(r | (g << 8) | (b << 16));
}

extern const std::array<NamedColor, kNamedColorCount> kNamedColors;
// The system colour values clScrollBar .. clInfoBk with their names.
extern const std::array<NamedColor, kSystemColorCount> kSystemColors;

} // namespace colorpicker

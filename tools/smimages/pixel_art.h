#pragma once
// The three 16 x 16 images of the site-map page, one character per pixel; '.' is transparent.
#include <array>
#include <cstdint>
#include <string_view>

namespace smimages {

struct PaletteEntry {
    char Key;
    uint8_t R, G, B;
};

// Index 0 is the transparent colour.
inline constexpr std::array<PaletteEntry, 16> kPalette = {{
    {'.', 0xFF, 0xFF, 0xFF},
    {'k', 0x00, 0x00, 0x00},
    {'w', 0xFF, 0xFF, 0xFF},
    {'y', 0xFF, 0xE0, 0x70},
    {'o', 0xC0, 0x90, 0x20},
    {'g', 0x80, 0x80, 0x80},
    {'b', 0x00, 0x00, 0x80},
    {'c', 0xA0, 0xD0, 0xFF},
    {'G', 0x40, 0xA0, 0x40},
    {'d', 0x20, 0x70, 0x20},
    {'s', 0xC0, 0xC0, 0xC0}, // spare
    // Padding: a 4-bit table has 16 entries.
    {'1', 0x00, 0x00, 0x00},
    {'2', 0x00, 0x00, 0x00},
    {'3', 0x00, 0x00, 0x00},
    {'4', 0x00, 0x00, 0x00},
    {'5', 0x00, 0x00, 0x00},
}};

inline constexpr int kSize = 16;
using Picture = std::array<std::string_view, kSize>;

struct NamedPicture {
    const char* FileName;
    Picture Rows;
};

// clang-format off
inline constexpr std::array<NamedPicture, 3> kPictures = {{
    {"smfolder.gif", {
        "................",
        "................",
        "..kkkkk.........",
        ".kwyyyyk........",
        "kwyyyyyykkkkkkk.",
        "kwwwwwwwwwwwwwyk",
        "kwyyyyyyyyyyyyok",
        "kwyyyyyyyyyyyyok",
        "kwyyyyyyyyyyyyok",
        "kwyyyyyyyyyyyyok",
        "kwyyyyyyyyyyyyok",
        "kwyyyyyyyyyyyyok",
        "kwyyyyyyyyyyyyok",
        "kooooooooooooook",
        ".kkkkkkkkkkkkkk.",
        "................",
    }},
    {"smfile.gif", {
        "................",
        "..kkkkkkkk......",
        "..kwwwwwwkk.....",
        "..kwwwwwwkgk....",
        "..kwwwwwwkkkk...",
        "..kwwwwwwwwwk...",
        "..kwbbbbbbwwk...",
        "..kwwwwwwwwwk...",
        "..kwbbbbbbbwk...",
        "..kwwwwwwwwwk...",
        "..kwbbbbbbbwk...",
        "..kwwwwwwwwwk...",
        "..kwbbbbbwwwk...",
        "..kwwwwwwwwwk...",
        "..kkkkkkkkkkk...",
        "................",
    }},
    {"smimg.gif", {
        "................",
        ".kkkkkkkkkkkkkk.",
        ".kcccccccccccck.",
        ".kccccccccyycck.",
        ".kcccccccyyyyck.",
        ".kccccGcccyycck.",
        ".kcccGGGcccccck.",
        ".kccGGGGGcccGck.",
        ".kcGGGGGGGcGGGk.",
        ".kGGGGGGGGGGGGk.",
        ".kddGGGGGGGddGk.",
        ".kddddGGGdddddk.",
        ".kddddddddddddk.",
        ".kkkkkkkkkkkkkk.",
        "................",
        "................",
    }},
}};
// clang-format on

// The palette index of a pixel character; -1 when it has none.
constexpr int PaletteIndex(char key) {
    for (size_t i = 0; i < kPalette.size(); ++i)
        if (kPalette[i].Key == key) return static_cast<int>(i);
    return -1;
}

} // namespace smimages

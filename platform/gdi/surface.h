#pragma once
// A 32-bit pixel buffer (0xAARRGGBB per pixel, rows top-down, no padding): the backing image of a
// window and the storage of every colour bitmap. Device contexts draw on it; the screen shows it.
#include <cstddef>
#include <cstdint>
#include <vector>

class Surface {
public:
    Surface() = default;
    Surface(int width, int height, uint32_t fill = 0xFF000000u) { Resize(width, height, fill); }

    int Width() const { return width_; }
    int Height() const { return height_; }
    // Keeps the overlapping top-left part; new pixels take fill.
    void Resize(int width, int height, uint32_t fill = 0xFF000000u);

    uint32_t* Bits() { return pixels_.data(); }
    const uint32_t* Bits() const { return pixels_.data(); }
    uint32_t Pixel(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
    void SetPixel(int x, int y, uint32_t argb) { pixels_[static_cast<size_t>(y) * width_ + x] = argb; }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<uint32_t> pixels_;
};

#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/gdi/dc.h"
#include "platform/gdi/surface.h"

namespace gdi_test {

inline constexpr uint32_t kWhite = 0xFFFFFFFFu, kBlack = 0xFF000000u, kRed = 0xFFFF0000u, kBlue = 0xFF0000FFu;

// A surface with a DC drawing on it from its top-left corner.
struct Canvas {
    Canvas(int w, int h, uint32_t fill = kWhite)
        : surface(w, h, fill), dc(CreateSurfaceDC(&surface, POINT{0, 0}, nullptr)) {}
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    ~Canvas() { DeleteDC(dc); }

    uint32_t Pixel(int x, int y) const { return surface.Pixel(x, y); }
    std::vector<uint32_t> Pixels() const {
        return std::vector<uint32_t>(surface.Bits(), surface.Bits() + surface.Width() * surface.Height());
    }
    RECT All() const { return RECT{0, 0, surface.Width(), surface.Height()}; }
    // How many pixels of the area, clipped to the surface, have the colour.
    int Count(uint32_t color, RECT area) const {
        int n = 0;
        for (int y = std::max(0, int(area.top)); y < std::min(surface.Height(), int(area.bottom)); ++y)
            for (int x = std::max(0, int(area.left)); x < std::min(surface.Width(), int(area.right)); ++x)
                n += surface.Pixel(x, y) == color;
        return n;
    }
    // The surface as text, one character a pixel: '#' black, '.' white, '?' anything else.
    std::string Picture() const {
        std::string out;
        for (int y = 0; y < surface.Height(); ++y) {
            for (int x = 0; x < surface.Width(); ++x) {
                const uint32_t p = surface.Pixel(x, y);
                out += p == kBlack ? '#' : p == kWhite ? '.' : '?';
            }
            out += '\n';
        }
        return out;
    }

    Surface surface;
    HDC dc;
};

} // namespace gdi_test

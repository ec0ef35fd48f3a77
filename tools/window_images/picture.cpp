#include "tools/window_images/picture.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "tools/window_images/pixel_font.h"

namespace window_images {

Picture::Picture(int Width, int Height, Rgba Fill)
    : width_(Width), height_(Height), pixels_(static_cast<size_t>(Width * Height), Fill) {}

void Picture::Put(int X, int Y, Rgba C) {
    if (X >= 0 && Y >= 0 && X < width_ && Y < height_) pixels_[static_cast<size_t>(Y * width_ + X)] = C;
}

void Picture::Fill(int X0, int Y0, int X1, int Y1, Rgba C) {
    for (int y = Y0; y < Y1; ++y)
        for (int x = X0; x < X1; ++x)
            Put(x, y, C);
}

void Picture::VerticalGradient(int X0, int Y0, int X1, int Y1, Rgba Top, Rgba Bottom, int Steps) {
    const int h = std::max(Y1 - Y0, 1);
    for (int y = Y0; y < Y1; ++y) {
        const int band = (y - Y0) * Steps / h;
        const double t = Steps > 1 ? static_cast<double>(band) / (Steps - 1) : 0;
        auto mix = [t](uint8_t a, uint8_t b) { return static_cast<uint8_t>(std::lround(a + (b - a) * t)); };
        Fill(X0, y, X1, y + 1, Rgba{mix(Top.R, Bottom.R), mix(Top.G, Bottom.G), mix(Top.B, Bottom.B), 255});
    }
}

void Picture::RoundBox(int X0, int Y0, int X1, int Y1, int Radius, Rgba FillColor, Rgba Frame) {
    auto inside = [&](int x, int y, int inset) {
        const int r = Radius - inset;
        const int cx = x < X0 + Radius ? X0 + Radius : x >= X1 - Radius ? X1 - Radius - 1 : x;
        const int cy = y < Y0 + Radius ? Y0 + Radius : y >= Y1 - Radius ? Y1 - Radius - 1 : y;
        const int dx = x - cx, dy = y - cy;
        return x >= X0 + inset && x < X1 - inset && y >= Y0 + inset && y < Y1 - inset &&
               dx * dx + dy * dy <= r * r;
    };
    for (int y = Y0; y < Y1; ++y)
        for (int x = X0; x < X1; ++x) {
            if (!inside(x, y, 0)) continue;
            Put(x, y, inside(x, y, 1) ? FillColor : Frame);
        }
}

void Picture::Line(int X0, int Y0, int X1, int Y1, Rgba C) {
    const int steps = std::max(std::abs(X1 - X0), std::abs(Y1 - Y0));
    for (int i = 0; i <= steps; ++i) {
        const double t = steps ? static_cast<double>(i) / steps : 0;
        Put(static_cast<int>(std::lround(X0 + (X1 - X0) * t)),
            static_cast<int>(std::lround(Y0 + (Y1 - Y0) * t)), C);
    }
}

void Picture::Disc(int CX, int CY, int R, Rgba C) {
    for (int y = -R; y <= R; ++y)
        for (int x = -R; x <= R; ++x)
            if (x * x + y * y <= R * R) Put(CX + x, CY + y, C);
}

int Picture::Text(int X, int Y, std::string_view S, int Scale, Rgba C) {
    int x = X;
    for (char ch : S) {
        if (const Glyph* g = FindGlyph(ch)) {
            for (int row = 0; row < kGlyphHeight; ++row)
                for (int col = 0; col < kGlyphWidth; ++col)
                    if (g->Rows[static_cast<size_t>(row)][static_cast<size_t>(col)] == '1')
                        Fill(x + col * Scale, Y + row * Scale, x + (col + 1) * Scale, Y + (row + 1) * Scale,
                             C);
        }
        x += (kGlyphWidth + 1) * Scale;
    }
    return x - X;
}

int Picture::TextWidth(std::string_view S, int Scale) {
    return S.empty() ? 0 : static_cast<int>(S.size()) * (kGlyphWidth + 1) * Scale - Scale;
}

void Picture::CentredText(int X0, int Y0, int X1, int Y1, std::string_view S, int Scale, Rgba C) {
    Text(X0 + (X1 - X0 - TextWidth(S, Scale)) / 2, Y0 + (Y1 - Y0 - kGlyphHeight * Scale) / 2, S, Scale, C);
}

} // namespace window_images

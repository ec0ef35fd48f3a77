#pragma once
// An RGBA picture to draw the program's images on: rectangles, gradients, lines, circles and text in
// the pixel font.
#include <cstdint>
#include <string_view>
#include <vector>

namespace window_images {

struct Rgba {
    uint8_t R = 0, G = 0, B = 0, A = 255;
    friend bool operator==(Rgba, Rgba) = default;
};

inline constexpr Rgba kClear{0, 0, 0, 0};

class Picture {
public:
    Picture(int Width, int Height, Rgba Fill = kClear);
    int Width() const { return width_; }
    int Height() const { return height_; }
    Rgba At(int X, int Y) const { return pixels_[static_cast<size_t>(Y * width_ + X)]; }
    void Put(int X, int Y, Rgba C);
    void Fill(int X0, int Y0, int X1, int Y1, Rgba C);
    // Top to bottom from Top to Bottom, in Steps bands.
    void VerticalGradient(int X0, int Y0, int X1, int Y1, Rgba Top, Rgba Bottom, int Steps);
    // A filled rectangle with corners cut by Radius, and a one-pixel frame.
    void RoundBox(int X0, int Y0, int X1, int Y1, int Radius, Rgba FillColor, Rgba Frame);
    void Line(int X0, int Y0, int X1, int Y1, Rgba C);
    void Disc(int CX, int CY, int R, Rgba C);
    // Text in the pixel font, each font pixel Scale x Scale; answers the width drawn.
    int Text(int X, int Y, std::string_view S, int Scale, Rgba C);
    static int TextWidth(std::string_view S, int Scale);
    // Text centred in a box.
    void CentredText(int X0, int Y0, int X1, int Y1, std::string_view S, int Scale, Rgba C);

private:
    int width_;
    int height_;
    std::vector<Rgba> pixels_;
};

} // namespace window_images

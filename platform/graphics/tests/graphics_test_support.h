#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/graphics/bitmap.h"
#include "platform/rtl/stream.h"

namespace graphics_test {

inline std::vector<uint8_t> Save(TGraphic& g) {
    TMemoryStream s;
    g.SaveToStream(s);
    return std::vector<uint8_t>(s.Memory(), s.Memory() + s.Size());
}

inline void Load(TGraphic& g, const std::vector<uint8_t>& bytes) {
    TMemoryStream s;
    if (!bytes.empty()) s.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    s.SetPosition(0);
    g.LoadFromStream(s);
}

// Paints the whole bitmap in one colour, which stays the brush's.
inline void Fill(TBitmap& b, TColor colour) {
    b.Canvas().Brush().SetColor(colour);
    b.Canvas().FillRect(Rect(0, 0, b.Width(), b.Height()));
}

// The colours at some points, to check several at once.
inline std::vector<TColor> Colours(TBitmap& b, std::initializer_list<TPoint> points) {
    std::vector<TColor> out;
    for (const TPoint& p : points)
        out.push_back(b.Canvas().Pixel(p.x, p.y));
    return out;
}

// A bitmap filled with one colour to draw on.
struct Target {
    TBitmap bitmap;
    explicit Target(int w = 40, int h = 30, TColor background = clWhite) {
        bitmap.SetSize(w, h);
        Fill(bitmap, background);
    }
    TCanvas& Canvas() { return bitmap.Canvas(); }
    TColor At(int x, int y) { return Canvas().Pixel(x, y); }
    int Count(const TRect& r, TColor color) {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                n += At(x, y) == color;
        return n;
    }
};

} // namespace graphics_test

#pragma once
// Turning frames into pictures: transparency masks, true-colour and web-palette renderings, the
// placement of a frame in a target rectangle, and the composition of an animation's frames as
// the painter shows them.
#include "imaging/gif/color_reduction.h"
#include "platform/rtl/wintypes.h"

#include <cstdint>
#include <vector>

class TGIFImage;
class TGIFSubImage;

// 0xAARRGGBB per pixel, rows top-down; alpha 0 marks transparent pixels.
struct TArgbImage {
    int Width = 0;
    int Height = 0;
    std::vector<uint32_t> Pixels;
    uint32_t Pixel(int x, int y) const { return Pixels[static_cast<size_t>(y) * Width + x]; }
};

namespace gif {

inline constexpr uint32_t kTransparentArgb = 0x00000000;

// Monochrome mask rows of ((Width + 15) / 16) * 2 bytes, the leftmost pixel in bit 7, a bit set
// where the pixel is the transparent index. Empty when the frame is not transparent or no pixel
// is transparent.
std::vector<uint8_t> BuildMask(const TGIFSubImage& frame);
int MaskRowBytes(int width);

// The frame in its own colours; with transparent, its transparent pixels get alpha 0.
TArgbImage RenderFrame(TGIFSubImage& frame, bool transparent);

// The frame on the 216-colour web palette with Floyd-Steinberg error diffusion; transparent
// pixels take one fixed index derived from the transparent colour and set their mask bit.
TRaster RenderWebPalette(TGIFSubImage& frame, std::vector<uint8_t>* mask);

// Where a frame lands when the logical screen is stretched into target.
RECT ScaleRect(const TGIFSubImage& frame, const RECT& target, int imageWidth, int imageHeight);
// The cells a tiled frame is drawn into. A logical screen without width or height cannot be
// tiled: the frame is then placed once.
std::vector<RECT> TileCells(const TGIFSubImage& frame, const RECT& target, int imageWidth, int imageHeight);

// Composes an animation frame by frame on a logical-screen-sized picture, following each
// frame's disposal method. What was behind the image counts as transparent.
class TGIFCompositor {
public:
    explicit TGIFCompositor(TGIFImage& image);
    // Advances to the next frame; false after the last.
    bool Next();
    int ActiveImage() const { return active_; }
    // What is shown now.
    const TArgbImage& Display() const { return display_; }

private:
    void Draw(TArgbImage& target, TGIFSubImage& frame);
    void RestoreBackground(TGIFSubImage& frame);

    TGIFImage& image_;
    TArgbImage backup_;
    TArgbImage display_;
    int active_ = -1;
    int previousDisposal_ = 1;
};

} // namespace gif

#include "imaging/gif/tests/animation_builder.h"

#include "imaging/gif/color_reduction.h"
#include "imaging/gif/extensions.h"
#include "imaging/gif/sub_image.h"
#include "platform/rtl/stream.h"

namespace gif_test {

std::unique_ptr<TGIFImage> MakeAnimation(int width, int height, const std::vector<FrameSpec>& frames,
                                         int loops) {
    TGIFImage built;
    for (size_t i = 0; i < frames.size(); ++i) {
        const FrameSpec& spec = frames[i];
        const RECT b = spec.Bounds.right > spec.Bounds.left ? spec.Bounds : RECT{0, 0, width, height};
        const int w = b.right - b.left, h = b.bottom - b.top;
        const bool hole = spec.Hole.right > spec.Hole.left;
        TRaster raster;
        raster.Width = w;
        raster.Height = h;
        raster.BitsPerPixel = 8;
        raster.Palette = {spec.Color, RGB(1, 2, 3)};
        raster.Bits.assign(static_cast<size_t>(w) * h, 0);
        for (int y = spec.Hole.top; hole && y < spec.Hole.bottom; ++y)
            for (int x = spec.Hole.left; x < spec.Hole.right; ++x)
                raster.Bits[static_cast<size_t>(y) * w + x] = 1;
        TGIFSubImage& frame = *built.Images()[built.Add(raster)];
        frame.SetBounds(b.left, b.top, w, h); // same size: the pixels stay
        if (i == 0 && loops >= 0) {
            auto loop = std::make_unique<TGIFAppExtNSLoop>(&frame);
            loop->Loops = static_cast<uint16_t>(loops);
            frame.Extensions().Add(std::move(loop));
        }
        auto gce = std::make_unique<TGIFGraphicControlExtension>(&frame);
        gce->SetDelay(static_cast<uint16_t>(spec.Delay));
        gce->SetDisposal(spec.Disposal);
        if (hole) {
            gce->SetTransparentColorIndex(1);
            gce->SetTransparent(true);
        }
        frame.Extensions().Add(std::move(gce));
    }
    if (built.Width() < width) built.SetWidth(width);
    if (built.Height() < height) built.SetHeight(height);
    TMemoryStream stream;
    built.SaveToStream(stream);
    stream.SetPosition(0);
    auto image = std::make_unique<TGIFImage>();
    image->LoadFromStream(stream);
    return image;
}

} // namespace gif_test

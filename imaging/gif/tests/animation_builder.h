#pragma once
// Small GIF images made in code: solid-colour frames with chosen delays, disposal and transparency.
#include "imaging/gif/gif_image.h"
#include "platform/rtl/wintypes.h"

#include <memory>
#include <vector>

namespace gif_test {

struct FrameSpec {
    COLORREF Color = 0;
    int Delay = 10; // hundredths of a second
    int Disposal = 1;
    RECT Bounds{0, 0, 0, 0}; // empty: the whole screen
    // Pixels (relative to Bounds) shown as the transparent index; empty rect: none.
    RECT Hole{0, 0, 0, 0};
};

// Frames on a width x height screen; loops < 0 writes no loop extension. The image went through
// a save and a load, as a file would.
std::unique_ptr<TGIFImage> MakeAnimation(int width, int height, const std::vector<FrameSpec>& frames,
                                         int loops = -1);

} // namespace gif_test

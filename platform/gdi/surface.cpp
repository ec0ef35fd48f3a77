#include "platform/gdi/surface.h"

#include <algorithm>

void Surface::Resize(int width, int height, uint32_t fill) {
    Realize();
    width = std::max(width, 0);
    height = std::max(height, 0);
    const size_t count = static_cast<size_t>(width) * height;
    std::vector<uint32_t, ZeroedAllocator<uint32_t>> next =
        fill == 0 ? std::vector<uint32_t, ZeroedAllocator<uint32_t>>(count)
                  : std::vector<uint32_t, ZeroedAllocator<uint32_t>>(count, fill);
    const int w = std::min(width, width_), h = std::min(height, height_);
    for (int y = 0; y < h; ++y)
        std::copy_n(pixels_.begin() + static_cast<size_t>(y) * width_, w,
                    next.begin() + static_cast<size_t>(y) * width);
    pixels_ = std::move(next);
    width_ = width;
    height_ = height;
}

void Surface::ResizeLazily(int width, int height, uint32_t fill) {
    if (!pending_ && !pixels_.empty()) {
        Resize(width, height, fill);
        return;
    }
    pixels_.clear();
    pixels_.shrink_to_fit();
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    pendingFill_ = fill;
    pending_ = true;
}

void Surface::Fill() const {
    pending_ = false;
    const size_t count = static_cast<size_t>(width_) * height_;
    pixels_ = pendingFill_ == 0 ? std::vector<uint32_t, ZeroedAllocator<uint32_t>>(count)
                                : std::vector<uint32_t, ZeroedAllocator<uint32_t>>(count, pendingFill_);
}

#pragma once
// A 32-bit pixel buffer (0xAARRGGBB per pixel, rows top-down, no padding): the backing image of a
// window and the storage of every colour bitmap. Device contexts draw on it; the screen shows it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <utility>
#include <vector>

// Storage whose elements start as the zeroed pages the system hands out: a large buffer filled with 0
// takes no memory until it is written to.
template <class T> struct ZeroedAllocator {
    using value_type = T;
    ZeroedAllocator() = default;
    template <class U> ZeroedAllocator(const ZeroedAllocator<U>&) {}
    T* allocate(size_t n) {
        void* p = std::calloc(n, sizeof(T));
        if (!p) throw std::bad_alloc();
        return static_cast<T*>(p);
    }
    void deallocate(T* p, size_t) { std::free(p); }
    // A default element is left as calloc made it: zero.
    template <class U> void construct(U* p) noexcept { ::new (static_cast<void*>(p)) U; }
    template <class U, class... Args> void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
    template <class U> bool operator==(const ZeroedAllocator<U>&) const { return true; }
};

class Surface {
public:
    Surface() = default;
    Surface(int width, int height, uint32_t fill = 0xFF000000u) { Resize(width, height, fill); }

    int Width() const { return width_; }
    int Height() const { return height_; }
    // Keeps the overlapping top-left part; new pixels take fill. New pixels of fill 0 cost no memory
    // until they are drawn on.
    void Resize(int width, int height, uint32_t fill = 0xFF000000u);
    // The same as Resize, but the pixels are made only when first read or drawn on, all of them fill
    // (what was drawn before is kept as Resize keeps it): a window laid out again and again before it
    // is ever painted, or never painted at all, then fills its store once or not at all.
    void ResizeLazily(int width, int height, uint32_t fill);
    // Whether the pixels exist yet (a surface of no pixels has them).
    bool Allocated() const { return !pending_; }

    uint32_t* Bits() {
        Realize();
        return pixels_.data();
    }
    const uint32_t* Bits() const {
        Realize();
        return pixels_.data();
    }
    uint32_t Pixel(int x, int y) const { return Bits()[static_cast<size_t>(y) * width_ + x]; }
    void SetPixel(int x, int y, uint32_t argb) { Bits()[static_cast<size_t>(y) * width_ + x] = argb; }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

private:
    void Realize() const {
        if (pending_) Fill();
    }
    void Fill() const;

    int width_ = 0;
    int height_ = 0;
    // The pixels of a lazily resized surface are made on first use, also through a const reader: the
    // surface belongs to one thread, like every window's store.
    mutable bool pending_ = false;
    mutable uint32_t pendingFill_ = 0;
    mutable std::vector<uint32_t, ZeroedAllocator<uint32_t>> pixels_;
};

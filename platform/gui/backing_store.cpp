// Each top-level window's backing store: what reaches the screen from it, and the images tests and
// screenshots read from it.
#include <algorithm>
#include <atomic>

#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/objects.h"
#include "platform/gdi/regions.h"
#include "platform/gdi/syscolors.h"
#include "platform/gui/backend.h"
#include "platform/gui/gui_state.h"
#include "platform/gui/paint.h"
#include "platform/gui/visible_region.h"

namespace pw::gui {
namespace {

std::atomic<long long> pixelsCopied{0};

// Copies the part of the store at origin of the given size (pixels outside the store stay white).
Surface Crop(const Surface& store, POINT origin, int width, int height) {
    Surface out(std::max(width, 0), std::max(height, 0), 0xFFFFFFFFu);
    for (int y = 0; y < out.Height(); ++y) {
        const int sy = origin.y + y;
        if (sy < 0 || sy >= store.Height()) continue;
        const int x0 = std::max(0, -static_cast<int>(origin.x));
        const int x1 = std::min(out.Width(), store.Width() - static_cast<int>(origin.x));
        if (x1 > x0)
            std::copy_n(store.Bits() + static_cast<size_t>(sy) * store.Width() + origin.x + x0, x1 - x0,
                        out.Bits() + static_cast<size_t>(y) * out.Width() + x0);
    }
    return out;
}

// A top-level window over what the screen shows below it: its shape and transparency, as the
// toolkit's compositor applies them.
void Blend(Surface& dst, const Surface& src, int dx, int dy, const Window& w) {
    RECT r;
    if (!IntersectRect(r, RECT{dx, dy, dx + src.Width(), dy + src.Height()},
                       RECT{0, 0, dst.Width(), dst.Height()}))
        return;
    Region shape;
    const bool shaped = w.windowRgn && GetRegion(w.windowRgn, shape);
    const uint32_t alpha = w.Opacity();
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            if (shaped && !shape.Contains(x - dx, y - dy)) continue;
            uint32_t p = src.Pixel(x - dx, y - dy);
            if (alpha == 255 && !w.perPixelAlpha) {
                dst.SetPixel(x, y, p);
                continue;
            }
            // Premultiplied source over the destination, scaled by the window's constant alpha.
            if (!w.perPixelAlpha) p = 0xFF000000u | (p & 0xFFFFFFu);
            const uint32_t q = dst.Pixel(x, y);
            const uint32_t a = ((p >> 24) * alpha + 127) / 255;
            uint32_t out = 0;
            for (int shift = 0; shift < 32; shift += 8) {
                const uint32_t s = (((p >> shift) & 0xFF) * alpha + 127) / 255;
                const uint32_t d = (q >> shift) & 0xFF;
                out |= std::min<uint32_t>(255, s + (d * (255 - a) + 127) / 255) << shift;
            }
            dst.SetPixel(x, y, out);
        }
}

} // namespace

namespace {

void Present(const std::shared_ptr<Window>& root, const Region& damage) {
    std::vector<RECT> rects;
    {
        Guard g(Lock());
        if (!root->host || !root->Visible() || root->minimized) return;
        rects = Region::Combine(damage, Region(RECT{0, 0, root->Width(), root->Height()}), Region::Op::And)
                    .Rects();
    }
    long long pixels = 0;
    for (const RECT& r : rects)
        pixels += static_cast<long long>(r.right - r.left) * (r.bottom - r.top);
    pixelsCopied += pixels;
    root->host->Refresh(rects);
}

void PresentQueueDamage(ThreadQueue& queue) {
    queue.presentDeferrals = 0;
    if (queue.unpresented.empty()) return;
    std::vector<std::weak_ptr<Window>> roots;
    roots.swap(queue.unpresented);
    for (const std::weak_ptr<Window>& weak : roots) {
        const std::shared_ptr<Window> root = weak.lock();
        if (!root) continue;
        Region damage;
        {
            Guard g(Lock());
            std::swap(damage, root->unpresented);
        }
        Present(root, damage);
    }
}

} // namespace

void ShowDamage(const std::shared_ptr<Window>& root, const Region& damage) {
    if (!root || damage.IsEmpty()) return;
    if (!IsGuiThread()) {
        Present(root, damage);
        return;
    }
    const std::shared_ptr<ThreadQueue> queue = CurrentQueue();
    Guard g(Lock());
    if (root->unpresented.IsEmpty()) queue->unpresented.push_back(root);
    root->unpresented = Region::Combine(root->unpresented, damage, Region::Op::Or);
}

void PresentDamage() {
    PresentQueueDamage(*CurrentQueue());
}

void PresentDamageWhenPainted(ThreadQueue& queue) {
    if (queue.unpresented.empty()) return;
    if (HasPaintPending(queue) && ++queue.presentDeferrals < 16) return;
    PresentQueueDamage(queue);
}

void RefreshHost(HWND hwnd) {
    auto w = FindLiveWindow(hwnd);
    if (!w) return;
    std::shared_ptr<Window> root;
    Region area;
    {
        Guard g(Lock());
        root = FindLiveWindow(RootOf(hwnd));
        if (!root) return;
        area = VisibleRegion(*w, RECT{0, 0, w->Width(), w->Height()}, false);
    }
    ShowDamage(root, area);
}

long long PixelsCopiedToScreen() {
    return pixelsCopied;
}

const Surface* WindowSurface(HWND hwnd) {
    auto w = FindLiveWindow(hwnd);
    if (!w) return nullptr;
    if (w->IsChild()) w->surface = ComposeWindow(hwnd); // a child keeps only this copy of its area
    return &w->surface;
}

Surface ComposeWindow(HWND hwnd) {
    auto w = FindLiveWindow(hwnd);
    if (!w) return Surface();
    std::shared_ptr<Window> root;
    POINT origin;
    int width, height;
    {
        Guard g(Lock());
        if (!w->IsChild())
            root = w;
        else
            root = FindLiveWindow(RootOf(hwnd));
        if (!root) return Surface();
        origin = OriginInRoot(*w);
        width = w->Width();
        height = w->Height();
    }
    // The pixels belong to the window's thread, which is this one: they are read without the lock.
    if (root == w) return w->surface;
    return Crop(root->surface, origin, width, height);
}

Surface ComposeScreen(const RECT& area) {
    Surface out(std::max<LONG>(area.right - area.left, 0), std::max<LONG>(area.bottom - area.top, 0),
                0xFF000000u | pw::gdi::ToArgb(GetSysColor(COLOR_DESKTOP)));
    std::vector<HWND> order;
    {
        Guard g(Lock());
        order = TopLevelOrder();
    }
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        auto w = FindLiveWindow(*it);
        if (!w) continue;
        RECT rect;
        {
            Guard g(Lock());
            if (!w->Visible() || w->minimized || w->messageOnly) continue;
            rect = w->rect;
        }
        Blend(out, w->surface, rect.left - area.left, rect.top - area.top, *w);
    }
    return out;
}

} // namespace pw::gui

#include "imaging/gif/animation_timing.h"

#include "imaging/gif/gif_image.h"
#include "imaging/gif/sub_image.h"

#include <algorithm>

namespace gif {

int FrameDelay(const TGIFSubImage& frame, bool threaded) {
    const TGIFGraphicControlExtension* gce = frame.GraphicControlExtension();
    if (!gce || gce->Delay() == 0) return DefaultDelay;
    int delay = gce->Delay() < MinimumDelay ? MinimumDelay : gce->Delay();
    if (!threaded && delay > MaximumDelay) delay = MaximumDelay;
    return delay;
}

int64_t ScaledDelay(int delay, int64_t elapsedMs, int64_t driftMs, int animationSpeed) {
    if (animationSpeed <= 0) return -1;
    const int64_t base = static_cast<int64_t>(delay) * DelayMultiplier - (elapsedMs - driftMs) / 2;
    return base * 100 / animationSpeed;
}

namespace {

// Plays the animation, calling show for each frame until it answers false.
template <typename Show> void Play(TGIFImage& image, TGIFPaintOptions options, bool threaded, Show show) {
    if (image.Images().Count() == 1) options &= static_cast<TGIFPaintOptions>(~(gpAnimate | gpThreaded));
    int loopCount = 1, loopPoint = 0;
    bool loopSeen = false;
    for (;;) {
        int shown = 0;
        for (int active = loopPoint; active < image.Images().Count(); ++active) {
            TGIFSubImage& frame = *image.Images()[active];
            if (frame.Empty()) break;
            ++shown;
            for (int i = 0; i < frame.Extensions().Count() && !loopSeen; ++i)
                if (auto* loop = dynamic_cast<TGIFAppExtNSLoop*>(frame.Extensions()[i])) {
                    loopSeen = true;
                    loopCount = loop->Loops;
                    loopPoint = active;
                    if (threaded && (loop->Loops == 0 || (options & gpLoopForever))) loopCount = -1;
                }
            if (!show(active, FrameDelay(frame, threaded))) return;
            if (!(options & gpAnimate)) break;
        }
        // A pass that shows nothing would repeat without ever waiting.
        if (shown == 0) return;
        if (loopCount > 0) --loopCount;
        const bool again =
            (options & gpAnimate) && (options & gpLoop) && (loopCount != 0 || (options & gpLoopForever));
        if (!again) return;
    }
}

} // namespace

std::vector<FrameStep> PlaySchedule(TGIFImage& image, TGIFPaintOptions options, bool threaded, int maxSteps) {
    std::vector<FrameStep> steps;
    Play(image, options, threaded, [&](int frame, int delay) {
        steps.push_back({frame, delay});
        return static_cast<int>(steps.size()) < maxSteps;
    });
    return steps;
}

bool PlaysForever(TGIFImage& image, TGIFPaintOptions options, bool threaded) {
    const int count = image.Images().Count();
    if (count <= 1 || !(options & gpAnimate) || !(options & gpLoop) || image.Images()[0]->Empty())
        return false;
    if (options & gpLoopForever) return true;
    // Only a painter thread takes an endless loop extension as endless.
    for (int i = 0; threaded && i < count && !image.Images()[i]->Empty(); ++i) {
        TGIFExtensionList& ext = image.Images()[i]->Extensions();
        for (int k = 0; k < ext.Count(); ++k)
            if (auto* loop = dynamic_cast<TGIFAppExtNSLoop*>(ext[k])) return loop->Loops == 0;
    }
    return false;
}

} // namespace gif

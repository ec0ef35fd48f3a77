#include "imaging/gif/animation_timing.h"

#include "imaging/gif/sub_image.h"

namespace gif {

int FrameDelay(const TGIFSubImage& frame, bool threaded) {
    const TGIFGraphicControlExtension* gce = frame.GraphicControlExtension();
    if (!gce || gce->Delay() == 0)
        return DefaultDelay;
    int delay = gce->Delay() < MinimumDelay ? MinimumDelay : gce->Delay();
    if (!threaded && delay > MaximumDelay)
        delay = MaximumDelay;
    return delay;
}

int64_t ScaledDelay(int delay, int64_t elapsedMs, int64_t driftMs, int animationSpeed) {
    if (animationSpeed <= 0)
        return -1;
    const int64_t base = static_cast<int64_t>(delay) * DelayMultiplier - (elapsedMs - driftMs) / 2;
    return base * 100 / animationSpeed;
}

} // namespace gif

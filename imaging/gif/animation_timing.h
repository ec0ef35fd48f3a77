#pragma once
// How long a frame stays on screen: the delays a painter waits between frames.
#include "imaging/gif/gif_types.h"

#include <cstdint>
#include <vector>

class TGIFImage;
class TGIFSubImage;

namespace gif {

inline constexpr int DelayMultiplier = 12; // milliseconds per stored hundredth, with some slack
inline constexpr int DefaultDelay = 10;
inline constexpr int MinimumDelay = 3;
inline constexpr int MaximumDelay = 1000;

// The delay (hundredths of a second) after a frame: its graphic control delay when not 0 and at
// least MinimumDelay, else DefaultDelay; only painters without a thread cap it at MaximumDelay.
int FrameDelay(const TGIFSubImage& frame, bool threaded);

// Milliseconds to wait: the delay scaled by the speed (percent), less half the time the previous
// frame overran. A speed of 0 answers -1 (wait until woken); negative speeds count as 0.
int64_t ScaledDelay(int delay, int64_t elapsedMs, int64_t driftMs, int animationSpeed);

// One frame shown by a painter and the delay (hundredths) that follows it.
struct FrameStep {
    int Frame;
    int Delay;
};

// The frames in the order a painter shows them with these options: passes from the loop point,
// as many as the loop extension (or gpLoopForever) asks. Endless plays are cut at maxSteps.
std::vector<FrameStep> PlaySchedule(TGIFImage& image, TGIFPaintOptions options, bool threaded, int maxSteps);

// Whether a painter with these options would never end by itself. Such an animation must run on
// a painter thread (or timer), never inside a paint call.
bool PlaysForever(TGIFImage& image, TGIFPaintOptions options, bool threaded);

} // namespace gif

#pragma once
// How long a frame stays on screen: the delays a painter waits between frames.
#include <cstdint>

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

} // namespace gif

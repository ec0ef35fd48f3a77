#pragma once
// The pace of AnimateWindow's fades; for the tests, the clock that paces them and a look at each frame.
#include <functional>

#include "platform/rtl/wintypes.h"

namespace pw::gui {

// A fade shows a new frame at most this often.
inline constexpr double kFadeFrameMs = 1000.0 / 60;

} // namespace pw::gui

namespace gui_detail {

// Milliseconds from any fixed origin, and a wait until such a time has come.
struct AnimationClock {
    std::function<double()> Now;
    std::function<void(double until)> WaitUntil;
};
// A test may pace animations with its own clock; an empty one restores the monotonic clock.
void SetAnimationClock(AnimationClock clock);

// One frame of a fade as the window showed it: the share of its own opacity let through (0..255) and
// the time since the fade began.
struct FadeFrame {
    HWND window = nullptr;
    BYTE alpha = 0;
    double atMs = 0;
};
// Called on the animating thread after each frame reached the window's host; nullptr: none.
void SetFadeObserver(std::function<void(const FadeFrame&)> observer);

} // namespace gui_detail

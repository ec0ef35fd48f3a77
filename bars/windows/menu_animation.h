#pragma once
// A menu shown growing from its opening corner, frame by frame: unfolding (8 pixels a frame on both
// sides, the longer side ahead) or sliding (17 pixels a frame, full width). The finished menu is
// painted once into an off-screen picture; a timer on the GUI thread then moves and sizes the window
// and copies the part of that picture each frame shows. One animation runs at a time.
#include <functional>

#include "bars/core/bar_types.h"
#include "platform/rtl/wintypes.h"

namespace bars {

// Milliseconds between frames: one frame per tick of the system clock the menus were paced by.
inline constexpr unsigned kMenuAnimationFrameMs = 16;

// What the frames are computed from: the window's final place and client size, its frame (window size
// less client size), and the placement's flips (a menu flipped left grows leftward, one flipped above
// its opener grows upward).
struct MenuAnimationSpec {
    TdxBarMenuAnimations Style = maSlide;
    POINT FinalPos{0, 0};
    SIZE FinalClient{0, 0};
    SIZE Frame{0, 0};
    bool FromRight = false;
    bool FromBottom = false;
};

struct MenuAnimationFrame {
    // The window's bounds on the screen.
    RECT Window;
    // The part of the final client picture the frame shows (client coordinates of the final menu).
    RECT Shown;
};

class MenuAnimationPlan {
public:
    explicit MenuAnimationPlan(const MenuAnimationSpec& Spec);
    const MenuAnimationSpec& Spec() const { return spec_; }
    // 0 for a menu smaller than one step: it shows at once.
    int FrameCount() const { return stepSize_ > 0 ? totalSize_ / stepSize_ : 0; }
    // Frame 1 .. FrameCount.
    MenuAnimationFrame Frame(int K) const;
    RECT FinalWindow() const;
    int StartOffset() const { return startOffset_; }
    int StepSize() const { return stepSize_; }
    int TotalSize() const { return totalSize_; }

private:
    MenuAnimationSpec spec_;
    int startOffset_ = 0;
    int totalSize_ = 0;
    int stepSize_ = 0;
};

// Animates Window (shown or not): PaintFinal paints the finished client area into the DC it is given;
// Finished runs once, after the window got its final place and was invalidated (the menu paints itself
// normally again from there). A running animation of another window ends first. A plan without frames
// finishes at once.
void AnimateMenu(HWND Window, const MenuAnimationSpec& Spec, const std::function<void(HDC)>& PaintFinal,
                 std::function<void()> Finished);
// Ends the animation of Window at once: its final frame shows and Finished runs. When the window is
// going, it is neither moved nor shown, and Finished does not run. Nothing for another window.
void StopAnimation(HWND Window, bool WindowGoing = false);
bool IsMenuAnimating(HWND Window);
HWND AnimatedMenuWindow();

} // namespace bars

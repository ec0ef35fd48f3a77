#pragma once
// Fades as a person sees them on a desktop that blends windows, played in no time on a clock of the
// test's own that jumps to each frame's time, with every frame kept.
#include <functional>
#include <memory>
#include <vector>

#include "platform/gdi/surface.h"
#include "platform/gui/window_animation.h"
#include "tests/support/gui/forwarding_backend.h"

namespace testsupport {

class FadeWatch {
public:
    struct Frame {
        gui_detail::FadeFrame fade;
        bool visible = false;
        // What the screen showed of the window's rectangle at that frame.
        Surface screen;
    };
    FadeWatch();
    ~FadeWatch();
    FadeWatch(const FadeWatch&) = delete;
    FadeWatch& operator=(const FadeWatch&) = delete;

    const std::vector<Frame>& Frames() const { return frames_; }
    void Clear() { frames_.clear(); }
    // A further look at each frame, once it is kept.
    std::function<void(const gui_detail::FadeFrame&)> onFrame;

private:
    class SeeingBackend;
    pw::gui::Backend* real_;
    std::unique_ptr<SeeingBackend> backend_;
    double now_ = 1000;
    std::vector<Frame> frames_;
};

} // namespace testsupport

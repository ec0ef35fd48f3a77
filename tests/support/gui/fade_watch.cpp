#include "tests/support/gui/fade_watch.h"

#include <gtest/gtest.h>

#include "platform/gui/paint.h"
#include "platform/gui/window.h"

namespace testsupport {

class FadeWatch::SeeingBackend : public ForwardingBackend {
public:
    using ForwardingBackend::ForwardingBackend;
    bool ShowsWindows() const override { return true; }
    bool ComposesTranslucentWindows() const override { return true; }
};

FadeWatch::FadeWatch() : real_(pw::gui::CurrentBackend()), backend_(std::make_unique<SeeingBackend>(real_)) {
    pw::gui::SetBackend(backend_.get());
    gui_detail::SetAnimationClock({[this] { return now_; },
                                   [this](double until) {
                                       if (until > now_) now_ = until;
                                   }});
    gui_detail::SetFadeObserver([this](const gui_detail::FadeFrame& fade) {
        // A fade that never reaches its end is ended by moving the clock past it.
        if (frames_.size() >= 10000) {
            ADD_FAILURE() << "a fade took 10000 frames";
            now_ += 1e9;
            return;
        }
        RECT r{0, 0, 0, 0};
        GetWindowRect(fade.window, r);
        frames_.push_back(Frame{fade, IsWindowVisible(fade.window) != 0, pw::gui::ComposeScreen(r)});
        if (onFrame) onFrame(fade);
    });
}

FadeWatch::~FadeWatch() {
    gui_detail::SetFadeObserver(nullptr);
    gui_detail::SetAnimationClock({});
    pw::gui::SetBackend(real_);
}

} // namespace testsupport

// AnimateWindow: a fade steps the window's opacity over the time asked, on the calling thread, while
// the window keeps its own layered attributes.
#include "platform/gui/window_animation.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

#include "platform/gui/backend.h"
#include "platform/gui/gui_state.h"
#include "platform/gui/layered.h"
#include "platform/gui/paint.h"
#include "platform/gui/window.h"

namespace pw::gui {
namespace {

using gui_detail::AnimationClock;
using gui_detail::FadeFrame;

struct AnimationHooks {
    AnimationClock clock;
    std::function<void(const FadeFrame&)> observer;
};

// Guarded by the window-table lock.
AnimationHooks& Hooks() {
    static AnimationHooks hooks;
    return hooks;
}

AnimationClock MonotonicClock() {
    using Clock = std::chrono::steady_clock;
    using Millis = std::chrono::duration<double, std::milli>;
    return AnimationClock{[] { return Millis(Clock::now().time_since_epoch()).count(); },
                          [](double until) {
                              std::this_thread::sleep_until(Clock::time_point(
                                  std::chrono::duration_cast<Clock::duration>(Millis(until))));
                          }};
}

// Whether anybody can see the window's opacity change.
bool FadeIsSeen(const Window& w) {
    const Backend* b = CurrentBackend();
    return b != nullptr && IsGuiThread() && w.host != nullptr && b->ShowsWindows() &&
           b->ComposesTranslucentWindows();
}

void SetFade(Window& w, BYTE alpha) {
    {
        Guard g(Lock());
        w.fadeAlpha = alpha;
    }
    if (w.host) w.host->SetOpacity(w.Opacity() / 255.0);
}

// Steps the window's fade from one alpha to the other over timeMs, a frame at a time; false when the
// window went meanwhile.
bool PlayFade(HWND hwnd, BYTE from, BYTE to, DWORD timeMs) {
    AnimationHooks hooks;
    {
        Guard g(Lock());
        hooks = Hooks();
    }
    AnimationClock clock = hooks.clock.Now ? hooks.clock : MonotonicClock();
    auto frame = [&](BYTE alpha, double atMs) {
        auto w = FindLiveWindow(hwnd);
        if (!w) return false;
        SetFade(*w, alpha);
        LetToolkitCatchUp();
        if (hooks.observer) hooks.observer(FadeFrame{hwnd, alpha, atMs});
        return true;
    };
    auto w = FindLiveWindow(hwnd);
    if (!w) return false;
    if (timeMs == 0 || !FadeIsSeen(*w)) return frame(to, 0);
    const double start = clock.Now();
    long next = 0;
    for (;;) {
        const double at = clock.Now() - start;
        if (at >= timeMs) break;
        const double alpha = from + (to - from) * (at / timeMs);
        if (!frame(static_cast<BYTE>(std::lround(alpha)), at)) return false;
        // A late frame skips the ones it missed rather than playing them back to back.
        next = std::max(next + 1, static_cast<long>(at / kFadeFrameMs) + 1);
        clock.WaitUntil(start + next * kFadeFrameMs);
    }
    return frame(to, clock.Now() - start);
}

} // namespace
} // namespace pw::gui

namespace gui_detail {

void SetAnimationClock(AnimationClock clock) {
    pw::gui::Guard g(pw::gui::Lock());
    pw::gui::Hooks().clock = clock.Now && clock.WaitUntil ? std::move(clock) : AnimationClock{};
}

void SetFadeObserver(std::function<void(const FadeFrame&)> observer) {
    pw::gui::Guard g(pw::gui::Lock());
    pw::gui::Hooks().observer = std::move(observer);
}

} // namespace gui_detail

using namespace pw::gui;

BOOL AnimateWindow(HWND hwnd, DWORD timeMs, DWORD flags) {
    auto w = FindLiveWindow(hwnd);
    if (!w) return FALSE_;
    const bool hide = (flags & AW_HIDE) != 0, blend = (flags & AW_BLEND) != 0;
    {
        Guard g(Lock());
        if (w->queue->threadId != ::GetCurrentThreadId()) return FALSE_;
        if (hide ? !w->Visible() : w->Visible()) return FALSE_;
        if (blend && w->IsChild()) return FALSE_;
    }
    constexpr DWORD directions = AW_HOR_POSITIVE | AW_HOR_NEGATIVE | AW_VER_POSITIVE | AW_VER_NEGATIVE;
    if (!blend && (flags & (AW_CENTER | directions)) == 0) return FALSE_;
    if (hide) {
        if (blend && !PlayFade(hwnd, 255, 0, timeMs)) return FALSE_;
        ShowWindow(hwnd, SW_HIDE);
        if (blend) SetFade(*w, 255);
        return TRUE_;
    }
    if (blend) SetFade(*w, 0);
    ShowWindow(hwnd, (flags & AW_ACTIVATE) ? SW_SHOW : SW_SHOWNA);
    // The whole window is painted before any frame shows it.
    UpdateWindow(hwnd);
    return blend && !PlayFade(hwnd, 0, 255, timeMs) ? FALSE_ : TRUE_;
}

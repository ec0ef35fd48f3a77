// The menu animation: frame geometry, and the timer that plays the frames on the GUI thread.
#include "bars/windows/menu_animation.h"

#include <cstdlib>
#include <memory>
#include <utility>

#include "platform/gdi/blit.h"
#include "platform/gdi/scoped.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/paint.h"
#include "platform/gui/window.h"
#include "platform/gui/window_dc.h"

namespace bars {

MenuAnimationPlan::MenuAnimationPlan(const MenuAnimationSpec& Spec) : spec_(Spec) {
    const int w = spec_.FinalClient.cx, h = spec_.FinalClient.cy;
    if (spec_.Style == maUnfold) {
        startOffset_ = h - w;
        totalSize_ = startOffset_ < 1 ? h : w;
        stepSize_ = 8;
    } else if (spec_.Style == maSlide) {
        startOffset_ = 0;
        totalSize_ = h;
        stepSize_ = 17;
    }
}

RECT MenuAnimationPlan::FinalWindow() const {
    const POINT p = spec_.FinalPos;
    return RECT{p.x, p.y, p.x + spec_.FinalClient.cx + spec_.Frame.cx,
                p.y + spec_.FinalClient.cy + spec_.Frame.cy};
}

MenuAnimationFrame MenuAnimationPlan::Frame(int K) const {
    const int s = K * stepSize_;
    const int d = startOffset_;
    int width = 0, height = 0;
    if (d < 0) {
        height = s;
        width = std::abs(d) + s;
    } else {
        width = s;
        height = d + s;
    }
    if (spec_.Style == maSlide) width = spec_.FinalClient.cx;
    const int clientW = spec_.FinalClient.cx, clientH = spec_.FinalClient.cy;
    const int x = spec_.FromRight ? spec_.FinalPos.x - (width - clientW) : spec_.FinalPos.x;
    const int y = spec_.FromBottom ? spec_.FinalPos.y - (height - clientH) : spec_.FinalPos.y;
    MenuAnimationFrame frame;
    frame.Window = RECT{x, y, x + width + spec_.Frame.cx, y + height + spec_.Frame.cy};
    // Growing downward shows the bottom rows, upward the top ones; growing rightward the left
    // columns, leftward the right ones, except that a menu growing upward shows the left columns.
    const int top = spec_.FromBottom ? 0 : clientH - height;
    const int left = !spec_.FromBottom && spec_.FromRight ? clientW - width : 0;
    frame.Shown = RECT{left, top, left + width, top + height};
    return frame;
}

namespace {

struct Animation {
    HWND window = nullptr;
    MenuAnimationPlan plan;
    std::unique_ptr<pw::gdi::MemoryDC> picture;
    std::function<void()> finished;
    int frame = 0;
    UINT_PTR timer = 0;
};

// The animation playing: one at a time in the process, as one menu opens at a time.
std::unique_ptr<Animation>& Current() {
    static std::unique_ptr<Animation> current;
    return current;
}

void DrawFrame(const Animation& a, const MenuAnimationFrame& f) {
    const RECT& w = f.Window;
    SetWindowPos(a.window, nullptr, w.left, w.top, w.right - w.left, w.bottom - w.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    const pw::gui::WindowDC dc(a.window);
    BitBlt(dc.Get(), 0, 0, f.Shown.right - f.Shown.left, f.Shown.bottom - f.Shown.top, a.picture->Get(),
           f.Shown.left, f.Shown.top, SRCCOPY);
}

// Ends the running animation; the window goes to its final place unless it is going.
void FinishAnimation(bool WindowGoing) {
    std::unique_ptr<Animation> a = std::move(Current());
    if (a == nullptr) return;
    if (a->timer != 0) KillTimer(nullptr, a->timer);
    a->picture.reset();
    if (WindowGoing || !IsWindow(a->window)) return;
    const RECT r = a->plan.FinalWindow();
    SetWindowPos(a->window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED | SWP_SHOWWINDOW);
    InvalidateRect(a->window, nullptr, FALSE_);
    if (a->finished) a->finished();
}

void OnFrameTimer(HWND, UINT, uintptr_t Id, DWORD) {
    Animation* a = Current().get();
    if (a == nullptr || Id != a->timer) return;
    // A window destroyed without stopping its animation is left alone.
    if (!IsWindow(a->window)) {
        FinishAnimation(true);
        return;
    }
    if (++a->frame > a->plan.FrameCount()) {
        FinishAnimation(false);
        return;
    }
    DrawFrame(*a, a->plan.Frame(a->frame));
}

} // namespace

void AnimateMenu(HWND Window, const MenuAnimationSpec& Spec, const std::function<void(HDC)>& PaintFinal,
                 std::function<void()> Finished) {
    if (Current() != nullptr) StopAnimation(Current()->window);
    auto a =
        std::make_unique<Animation>(Animation{Window, MenuAnimationPlan(Spec), nullptr, std::move(Finished)});
    if (a->plan.FrameCount() == 0 || Window == nullptr) {
        Current() = std::move(a);
        FinishAnimation(false);
        return;
    }
    const pw::gui::WindowDC screen(Window);
    a->picture = std::make_unique<pw::gdi::MemoryDC>(screen.Get(), Spec.FinalClient.cx, Spec.FinalClient.cy);
    if (PaintFinal) PaintFinal(a->picture->Get());
    a->timer = SetTimer(nullptr, 0, kMenuAnimationFrameMs, &OnFrameTimer);
    Current() = std::move(a);
    // The first frame shows at once; the timer plays the rest.
    OnFrameTimer(nullptr, 0, Current()->timer, 0);
}

void StopAnimation(HWND Window, bool WindowGoing) {
    if (Current() == nullptr || Current()->window != Window) return;
    FinishAnimation(WindowGoing);
}

bool IsMenuAnimating(HWND Window) {
    return Current() != nullptr && Current()->window == Window;
}

HWND AnimatedMenuWindow() {
    return Current() != nullptr ? Current()->window : nullptr;
}

} // namespace bars

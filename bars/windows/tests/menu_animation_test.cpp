// Menu animation: frame counts and geometry, and the frames played by the GUI thread's timer on a
// fixed clock, to the end or stopped early.
#include <gtest/gtest.h>

#include "bars/windows/menu_animation.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/shapes.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/window.h"
#include "platform/gui/window_dc.h"

namespace {

using bars::MenuAnimationPlan;
using bars::MenuAnimationSpec;

MenuAnimationSpec Spec(TdxBarMenuAnimations style, int w, int h, bool fromRight = false,
                       bool fromBottom = false) {
    MenuAnimationSpec s;
    s.Style = style;
    s.FinalPos = POINT{300, 200};
    s.FinalClient = SIZE{w, h};
    s.Frame = SIZE{2, 2};
    s.FromRight = fromRight;
    s.FromBottom = fromBottom;
    return s;
}

int W(const RECT& r) {
    return r.right - r.left;
}
int H(const RECT& r) {
    return r.bottom - r.top;
}

TEST(MenuAnimationPlan, FrameCountsAndSizesOfSlideAndUnfold) {
    const MenuAnimationPlan slide(Spec(maSlide, 200, 340));
    EXPECT_EQ(slide.FrameCount(), 20);
    // Full width from the first frame; 17 pixels more height each frame.
    EXPECT_EQ(W(slide.Frame(1).Window), 202);
    EXPECT_EQ(H(slide.Frame(1).Window), 17 + 2);
    EXPECT_EQ(H(slide.Frame(7).Window), 7 * 17 + 2);
    EXPECT_EQ(H(slide.Frame(20).Window), 342);

    const MenuAnimationPlan unfold(Spec(maUnfold, 200, 340));
    EXPECT_EQ(unfold.FrameCount(), 25);
    // Both sides grow by 8; the longer one starts ahead by the difference.
    EXPECT_EQ(W(unfold.Frame(1).Window), 8 + 2);
    EXPECT_EQ(H(unfold.Frame(1).Window), 140 + 8 + 2);
    EXPECT_EQ(W(unfold.Frame(25).Window), 202);
    EXPECT_EQ(H(unfold.Frame(25).Window), 342);
    // A menu wider than tall: the width is ahead.
    const MenuAnimationPlan wide(Spec(maUnfold, 340, 200));
    EXPECT_EQ(wide.FrameCount(), 25);
    EXPECT_EQ(W(wide.Frame(1).Window), 140 + 8 + 2);
    EXPECT_EQ(H(wide.Frame(1).Window), 8 + 2);

    // Smaller than one step: no frame at all.
    EXPECT_EQ(MenuAnimationPlan(Spec(maSlide, 100, 16)).FrameCount(), 0);
    EXPECT_EQ(MenuAnimationPlan(Spec(maUnfold, 7, 100)).FrameCount(), 0);
    EXPECT_EQ(MenuAnimationPlan(Spec(maFade, 100, 100)).FrameCount(), 0);
}

TEST(MenuAnimationPlan, FlippedMenusKeepTheirFarEdgeAndShowTheOppositeCorner) {
    // Opening down and right: the top-left corner stays, the bottom rows and left columns show.
    MenuAnimationPlan plan(Spec(maUnfold, 200, 340));
    auto f = plan.Frame(3);
    EXPECT_EQ(f.Window.left, 300);
    EXPECT_EQ(f.Window.top, 200);
    EXPECT_EQ(f.Shown.left, 0);
    EXPECT_EQ(f.Shown.bottom, 340);
    EXPECT_EQ(H(f.Shown), 140 + 24);
    EXPECT_EQ(W(f.Shown), 24);

    // Flipped to the left: the right edge stays, the right columns show.
    plan = MenuAnimationPlan(Spec(maUnfold, 200, 340, true, false));
    f = plan.Frame(3);
    EXPECT_EQ(f.Window.right, 300 + 202);
    EXPECT_EQ(f.Window.top, 200);
    EXPECT_EQ(f.Shown.right, 200);

    // Flipped above: the bottom edge stays and the top rows show, from the left even when growing
    // leftward too.
    plan = MenuAnimationPlan(Spec(maUnfold, 200, 340, true, true));
    f = plan.Frame(3);
    EXPECT_EQ(f.Window.right, 502);
    EXPECT_EQ(f.Window.bottom, 200 + 342);
    EXPECT_EQ(f.Shown.top, 0);
    EXPECT_EQ(f.Shown.left, 0);
}

// A menu-like popup whose final picture is red above its middle and blue below.
class MenuAnimationRun : public ::testing::Test {
protected:
    MenuAnimationRun() {
        pw::gui::SetTickSource([this] { return now; });
        static const char* cls = [] {
            WNDCLASS wc;
            wc.lpfnWndProc = &DefWindowProc;
            wc.lpszClassName = "AnimationTestWindow";
            RegisterClass(wc);
            return "AnimationTestWindow";
        }();
        window = CreateWindowEx(WS_EX_TOPMOST, cls, "", WS_POPUP, 300, 200, 202, 342, nullptr, nullptr,
                                nullptr, nullptr);
    }
    ~MenuAnimationRun() override {
        bars::StopAnimation(window, true);
        if (IsWindow(window)) DestroyWindow(window);
        pw::gui::SetTickSource(nullptr);
    }

    void Start(bool fromBottom = false) {
        bars::AnimateMenu(
            window, Spec(maSlide, 200, 340, false, fromBottom),
            [](HDC dc) {
                const RECT top{0, 0, 200, 170}, bottom{0, 170, 200, 340};
                HBRUSH red = CreateSolidBrush(RGB(255, 0, 0)), blue = CreateSolidBrush(RGB(0, 0, 255));
                FillRect(dc, &top, red);
                FillRect(dc, &bottom, blue);
                DeleteObject(red);
                DeleteObject(blue);
            },
            [this] { ++finished; });
    }
    void Tick() {
        now += bars::kMenuAnimationFrameMs;
        ProcessMessages();
    }
    RECT Bounds() const {
        RECT r{};
        GetWindowRect(window, r);
        return r;
    }
    COLORREF TopLeftPixel() const {
        const pw::gui::WindowDC dc(window);
        return GetPixel(dc.Get(), 5, 0);
    }

    DWORD now = 50000;
    HWND window = nullptr;
    int finished = 0;
};

TEST_F(MenuAnimationRun, TheTimerPlaysEveryFrameThenTheMenuShowsWhole) {
    Start();
    // The first frame shows at once: the bottom rows of the picture.
    EXPECT_TRUE(bars::IsMenuAnimating(window));
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(H(Bounds()), 17 + 2);
    EXPECT_EQ(TopLeftPixel(), RGB(0, 0, 255));
    for (int k = 2; k <= 20; ++k) {
        Tick();
        ASSERT_EQ(H(Bounds()), 17 * k + 2) << k;
        EXPECT_EQ(Bounds().top, 200);
    }
    // The last frame shows the whole picture, red at the top.
    EXPECT_EQ(TopLeftPixel(), RGB(255, 0, 0));
    EXPECT_EQ(finished, 0);
    Tick();
    EXPECT_EQ(finished, 1);
    EXPECT_FALSE(bars::IsMenuAnimating(window));
    EXPECT_EQ(W(Bounds()), 202);
    EXPECT_EQ(H(Bounds()), 342);
    Tick();
    EXPECT_EQ(finished, 1);
}

TEST_F(MenuAnimationRun, StoppingEarlyShowsTheFinalFrameAtOnceUnlessTheMenuIsGoing) {
    Start(true);
    Tick();
    Tick();
    // Growing upward: the bottom edge stays, the top rows show.
    EXPECT_EQ(Bounds().bottom, 200 + 342);
    EXPECT_EQ(TopLeftPixel(), RGB(255, 0, 0));
    bars::StopAnimation(window);
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(Bounds().top, 200);
    EXPECT_EQ(H(Bounds()), 342);
    Tick();
    EXPECT_EQ(finished, 1);

    // A menu closed during its animation is neither moved nor shown again.
    ShowWindow(window, SW_HIDE);
    SetWindowPos(window, nullptr, 300, 200, 202, 342, SWP_NOZORDER | SWP_NOACTIVATE);
    Start();
    Tick();
    const RECT during = Bounds();
    bars::StopAnimation(window, true);
    EXPECT_EQ(H(Bounds()), H(during));
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(bars::AnimatedMenuWindow(), nullptr);

    // A menu too small to animate finishes at once.
    bars::AnimateMenu(window, Spec(maSlide, 200, 10), nullptr, [this] { ++finished; });
    EXPECT_EQ(finished, 2);
    EXPECT_FALSE(bars::IsMenuAnimating(window));
}

} // namespace

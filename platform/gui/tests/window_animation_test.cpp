// AnimateWindow: a fade's frames, their pace and what the screen and the toolkit's window show of them,
// the window's state after it, and the requests it refuses.
#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>
#include <chrono>
#include <thread>

#include "gui_test_support.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/shapes.h"
#include "platform/gui/layered.h"
#include "platform/gui/paint.h"
#include "tests/support/gui/fade_watch.h"

using namespace gui_test;

namespace {

// A red window over a white one: the green of the screen in between tells how opaque the red one is.
struct RedOverWhite {
    explicit RedOverWhite(DWORD exStyle = 0)
        : below(MakeTopLevel(RECT{300, 300, 360, 340})),
          fading(MakeTopLevel(RECT{310, 310, 350, 330}, WS_POPUP, exStyle)) {
        SetTestHandler(fading, [](HWND h, UINT msg, WPARAM, LPARAM, LRESULT& result) {
            if (msg != WM_PAINT) return false;
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(h, ps);
            HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
            FillRect(dc, &ps.rcPaint, red);
            DeleteObject(red);
            EndPaint(h, ps);
            result = 0;
            return true;
        });
        Pump();
    }
    HWND below, fading;
};

int Green(const Surface& shown) {
    return static_cast<int>((shown.Pixel(20, 10) >> 8) & 0xFF);
}

double ToolkitOpacity(HWND h) {
    RECT r;
    GetWindowRect(h, r);
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->geometry() == QRect(r.left, r.top, r.right - r.left, r.bottom - r.top))
            return widget->windowOpacity();
    return -1;
}

} // namespace

TEST(WindowAnimation, AFadeInRisesFromNothingToOpaqueOver150MsAFrameAtATime) {
    RedOverWhite windows;
    testsupport::FadeWatch watch;
    std::vector<double> toolkit;
    watch.onFrame = [&](const gui_detail::FadeFrame& f) { toolkit.push_back(ToolkitOpacity(f.window)); };
    ASSERT_FALSE(IsWindowVisible(windows.fading));
    EXPECT_TRUE(AnimateWindow(windows.fading, 150, AW_BLEND));
    const auto& frames = watch.Frames();
    ASSERT_GE(frames.size(), 9u);
    // The first frame comes at once, showing nothing yet of a window that is shown.
    EXPECT_EQ(frames.front().fade.atMs, 0);
    EXPECT_LE(frames.front().fade.alpha, 8);
    EXPECT_TRUE(frames.front().visible);
    for (size_t i = 0; i < frames.size(); ++i) {
        if (i > 0) {
            EXPECT_GT(frames[i].fade.alpha, frames[i - 1].fade.alpha) << i;
            EXPECT_LE(frames[i].fade.atMs - frames[i - 1].fade.atMs, pw::gui::kFadeFrameMs + 0.01) << i;
        }
        // The screen and the toolkit's window follow; the window was painted whole before the first.
        EXPECT_NEAR(Green(frames[i].screen), 255 - frames[i].fade.alpha, 1) << i;
        EXPECT_NEAR(toolkit[i], frames[i].fade.alpha / 255.0, 0.01) << i;
    }
    // The last frame, at the time asked, leaves the window opaque.
    EXPECT_GE(frames.back().fade.atMs, 150);
    EXPECT_LT(frames.back().fade.atMs, 150 + pw::gui::kFadeFrameMs);
    EXPECT_EQ(frames.back().fade.alpha, 255);
}

TEST(WindowAnimation, AFadeKeepsTheWindowsOwnOpacityAndAFadeOutHidesIt) {
    RedOverWhite windows(WS_EX_LAYERED);
    ASSERT_TRUE(SetLayeredWindowAttributes(windows.fading, 0, 128, LWA_ALPHA));
    testsupport::FadeWatch watch;
    ASSERT_TRUE(AnimateWindow(windows.fading, 150, AW_BLEND));
    const auto& frames = watch.Frames();
    ASSERT_GE(frames.size(), 9u);
    for (const auto& frame : frames)
        EXPECT_NEAR(Green(frame.screen), 255 - 128 * frame.fade.alpha / 255, 2);
    BYTE alpha = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(windows.fading, nullptr, &alpha, nullptr));
    EXPECT_EQ(alpha, 128);

    watch.Clear();
    ASSERT_TRUE(AnimateWindow(windows.fading, 100, AW_BLEND | AW_HIDE));
    ASSERT_GE(frames.size(), 6u);
    for (size_t i = 1; i < frames.size(); ++i)
        EXPECT_LT(frames[i].fade.alpha, frames[i - 1].fade.alpha) << i;
    EXPECT_EQ(frames.back().fade.alpha, 0);
    EXPECT_FALSE(IsWindowVisible(windows.fading));
    ShowWindow(windows.fading, SW_SHOWNA);
    Pump();
    EXPECT_NEAR(Green(pw::gui::ComposeScreen(RECT{310, 310, 350, 330})), 127, 2);
}

TEST(WindowAnimation, AFadeOnTheMonotonicClockTakesItsTime) {
    RedOverWhite windows;
    testsupport::FadeWatch watch;
    gui_detail::SetAnimationClock({});
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(AnimateWindow(windows.fading, 150, AW_BLEND));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(150));
    const auto& frames = watch.Frames();
    ASSERT_GE(frames.size(), 2u);
    // No frame comes before its time (a late one may skip the next).
    for (size_t i = 1; i < frames.size(); ++i)
        EXPECT_GE(frames[i].fade.atMs, i * pw::gui::kFadeFrameMs - 0.01) << i;
    EXPECT_GE(frames.back().fade.atMs, 150);
}

TEST(WindowAnimation, AFadeNobodySeesEndsAtOnceAndTheRequestsWin32RefusesFail) {
    // The tests' toolkit shows its windows nowhere, as in a run without a person.
    ASSERT_FALSE(pw::gui::CurrentBackend()->ShowsWindows());
    RedOverWhite windows;
    int frames = 0;
    gui_detail::SetFadeObserver([&](const gui_detail::FadeFrame&) { ++frames; });
    // A clock that stands still until a fade that waited for it had a hundred frames.
    gui_detail::SetAnimationClock({[&] { return frames < 100 ? 5.0 : 1e9; }, [](double) {}});
    // Showing a shown window, hiding a hidden one, another thread's window.
    EXPECT_FALSE(AnimateWindow(windows.below, 150, AW_BLEND));
    EXPECT_FALSE(AnimateWindow(windows.fading, 150, AW_BLEND | AW_HIDE));
    BOOL fromWorker = TRUE_;
    std::thread([&] { fromWorker = AnimateWindow(windows.fading, 150, AW_BLEND); }).join();
    EXPECT_FALSE(fromWorker);
    EXPECT_TRUE(AnimateWindow(windows.fading, 150, AW_BLEND));
    gui_detail::SetAnimationClock({});
    gui_detail::SetFadeObserver(nullptr);
    EXPECT_EQ(frames, 1);
    EXPECT_TRUE(IsWindowVisible(windows.fading));
    EXPECT_EQ(Green(pw::gui::ComposeScreen(RECT{310, 310, 350, 330})), 0);
    // A child cannot fade; a roll or slide needs a direction, and shows or hides at once.
    HWND child = MakeChild(windows.below, RECT{0, 0, 10, 10}, WS_CHILD);
    EXPECT_FALSE(AnimateWindow(child, 150, AW_BLEND));
    EXPECT_FALSE(AnimateWindow(child, 150, AW_SLIDE));
    EXPECT_TRUE(AnimateWindow(child, 150, AW_SLIDE | AW_VER_POSITIVE));
    EXPECT_TRUE(IsWindowVisible(child));
    EXPECT_TRUE(AnimateWindow(child, 150, AW_CENTER | AW_HIDE));
    EXPECT_FALSE(IsWindowVisible(child));
}

// A desktop that shows windows but does not blend them would show every frame of a fade whole: the fade
// ends at once, in its end state.
TEST(WindowAnimation, AFadeOnADesktopThatDoesNotBlendEndsAtOnceInItsEndState) {
    class Unblended : public testsupport::ForwardingBackend {
    public:
        using ForwardingBackend::ForwardingBackend;
        bool ShowsWindows() const override { return true; }
        bool ComposesTranslucentWindows() const override { return false; }
    };
    RedOverWhite windows;
    pw::gui::Backend* real = pw::gui::CurrentBackend();
    Unblended unblended(real);
    pw::gui::SetBackend(&unblended);
    std::vector<BYTE> alphas;
    gui_detail::SetFadeObserver([&](const gui_detail::FadeFrame& f) { alphas.push_back(f.alpha); });
    // A clock that passes a second with each frame: a fade that played would show two.
    gui_detail::SetAnimationClock(
        {[&] { return 5.0 + 1000.0 * static_cast<double>(alphas.size()); }, [](double) {}});
    EXPECT_TRUE(AnimateWindow(windows.fading, 150, AW_BLEND));
    const bool shown = IsWindowVisible(windows.fading) != 0;
    EXPECT_TRUE(AnimateWindow(windows.fading, 150, AW_BLEND | AW_HIDE));
    gui_detail::SetAnimationClock({});
    gui_detail::SetFadeObserver(nullptr);
    pw::gui::SetBackend(real);
    EXPECT_EQ(alphas, (std::vector<BYTE>{255, 0}));
    EXPECT_TRUE(shown);
    EXPECT_FALSE(IsWindowVisible(windows.fading));
}

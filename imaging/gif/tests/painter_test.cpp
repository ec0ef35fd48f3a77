// Painter threads playing animations into real windows: frame order, delays, speed, and clean ends
// when the window or the image goes away.
#include "imaging/gif/gif_painter.h"
#include "imaging/gif/tests/gif_test_support.h"
#include "platform/gdi/shapes.h"
#include "platform/graphics/canvas.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/paint.h"
#include "platform/gui/window.h"
#include "platform/rtl/thread.h"
#include "tests/support/gui/pump.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

using namespace gif_test;
using Clock = std::chrono::steady_clock;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255);

struct Window;
std::map<HWND, Window*> windows;
LRESULT WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// A plain top-level window with a canvas on its device context, released when the window goes.
struct Window {
    HWND Handle = nullptr;
    HDC Dc = nullptr;
    TCanvas Canvas;

    Window(int width, int height) {
        static const bool registered = [] {
            WNDCLASS wc;
            wc.lpfnWndProc = WindowProc;
            wc.lpszClassName = "GifPainterTestWindow";
            return RegisterClass(wc) != 0;
        }();
        EXPECT_TRUE(registered);
        Handle = CreateWindowEx(0, "GifPainterTestWindow", "gif", WS_POPUP | WS_VISIBLE, 10, 10, width,
                                height, nullptr, nullptr, nullptr, nullptr);
        Dc = GetDC(Handle);
        Canvas.SetHandle(Dc);
        windows[Handle] = this;
    }
    ~Window() {
        if (IsWindow(Handle)) DestroyWindow(Handle);
        Release();
    }
    void Release() {
        windows.erase(Handle);
        if (!Dc) return;
        Canvas.SetHandle(nullptr);
        ReleaseDC(Handle, Dc);
        Dc = nullptr;
    }
    COLORREF At(int x, int y) const { return GetPixel(Dc, x, y) & 0xFFFFFF; }
};

LRESULT WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DESTROY && windows.count(hwnd)) windows[hwnd]->Release();
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

using testsupport::PumpFor;
using testsupport::PumpUntil;

struct Shown {
    int Frame;
    Clock::time_point When;
    COLORREF Pixel;
};

std::unique_ptr<TGIFImage> ThreeColours(int delay) {
    return MakeAnimation(96, 64, {{kRed, delay}, {kGreen, delay}, {kBlue, delay}}, 0);
}

// Plays image in a window and records each frame as it was shown.
std::vector<Shown> Play(TGIFImage& image, Window& window, int frames, int timeoutMs = 60000) {
    std::vector<Shown> shown;
    image.SetPaintOptions(DefaultPaintOptions | gpDirectPaint);
    image.OnFrameDone = [&](TObject* sender) {
        const int frame = static_cast<TGIFPainter*>(sender)->ActiveImage();
        shown.push_back({frame, Clock::now(), window.At(48, 32)});
    };
    image.Draw(window.Canvas, RECT{0, 0, image.Width(), image.Height()});
    PumpUntil([&] { return static_cast<int>(shown.size()) >= frames; }, timeoutMs);
    return shown;
}

double MeanIntervalMs(const std::vector<Shown>& shown) {
    const auto total = shown.back().When - shown.front().When;
    return std::chrono::duration<double, std::milli>(total).count() / static_cast<double>(shown.size() - 1);
}

} // namespace

TEST(GifPainter, PlaysFramesInOrderWithTheirDelaysInAWindow) {
    auto image = ThreeColours(10);
    Window window(96, 64);
    std::vector<Shown> shown = Play(*image, window, 7);
    ASSERT_GE(shown.size(), 7u);
    const COLORREF colours[] = {kRed, kGreen, kBlue};
    for (size_t i = 0; i < shown.size(); ++i) {
        EXPECT_EQ(shown[i].Frame, static_cast<int>(i % 3)) << i;
        EXPECT_EQ(shown[i].Pixel, colours[i % 3]) << i;
    }
    // 10 hundredths are played as about 120 ms; a slip of the unit would give ten times as much.
    const double mean = MeanIntervalMs(shown);
    EXPECT_GT(mean, 100.0);
    EXPECT_LT(mean, 600.0);
    EXPECT_EQ(image->Painters().size(), 1u);

    // Drawing again on the same canvas and rectangle keeps the running animation.
    TGIFPainter* painter = image->Painter();
    image->Draw(window.Canvas, RECT{0, 0, 96, 64});
    EXPECT_EQ(image->Painter(), painter);
    // Another rectangle stops the old painter first.
    image->Draw(window.Canvas, RECT{0, 0, 48, 32});
    EXPECT_NE(image->Painter(), nullptr);
    EXPECT_EQ(image->Painters().size(), 1u);
    EXPECT_TRUE(EqualRect(image->Painter()->Rect(), RECT{0, 0, 48, 32}));
    image->PaintStop();
    EXPECT_TRUE(image->Painters().empty());
}

TEST(GifPainter, SpeedScalesTheDelaysAndNegativeSpeedWaitsForAWake) {
    // A second per frame at ten times the speed: well under the unscaled second.
    auto image = ThreeColours(100);
    image->SetAnimationSpeed(1000);
    Window window(96, 64);
    std::vector<Shown> shown = Play(*image, window, 6);
    ASSERT_GE(shown.size(), 6u);
    const double mean = MeanIntervalMs(shown);
    EXPECT_GT(mean, 90.0);
    EXPECT_LT(mean, 600.0);
    image->PaintStop();

    // A negative speed counts as 0: one frame, then the painter waits until it is stopped.
    auto waiting = ThreeColours(1);
    waiting->SetAnimationSpeed(-100);
    EXPECT_EQ(waiting->AnimationSpeed(), 0);
    std::vector<Shown> one = Play(*waiting, window, 3, 400);
    EXPECT_EQ(one.size(), 1u);
    EXPECT_EQ(window.At(2, 2), kRed);
    waiting->PaintStop(); // returns although no wake ever came
}

TEST(GifPainter, StopsCleanlyWhenTheWindowGoes) {
    auto image = ThreeColours(3);
    auto window = std::make_unique<Window>(96, 64);
    bool ended = false;
    image->OnAnimationEnd = [&](TObject*) { ended = true; };
    std::vector<Shown> shown = Play(*image, *window, 2);
    ASSERT_GE(shown.size(), 2u);
    ASSERT_NE(image->Painter(), nullptr);
    DestroyWindow(window->Handle);
    EXPECT_TRUE(PumpUntil([&] { return image->Painter() == nullptr; }, 60000))
        << "the painter ends once its canvas cannot draw any more";
    EXPECT_TRUE(image->Painters().empty());
    EXPECT_FALSE(ended) << "a painter that was stopped reports no end";
    window.reset();
}

TEST(GifPainter, StopsCleanlyWhenTheImageIsFreedWhilePlaying) {
    auto image = ThreeColours(6000); // a minute's wait: the painter is inside it when the image goes
    Window window(96, 64);
    std::vector<Shown> shown = Play(*image, window, 1);
    ASSERT_EQ(shown.size(), 1u);
    const auto start = Clock::now();
    image.reset();
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(30)); // long before the minute's wait ends
    // Nothing of the painter is left to run.
    PumpFor(200);
    EXPECT_EQ(window.At(2, 2), kRed);
}

TEST(GifPainter, AStopFromAnotherThreadReturnsOnceThePaintersHaveEnded) {
    auto image = ThreeColours(6000); // the painter waits a minute for its next frame
    Window window(96, 64);
    ASSERT_EQ(Play(*image, window, 1).size(), 1u);
    std::atomic<bool> stopped{false};
    std::thread stopper([&] {
        image->PaintStop();
        stopped = true;
    });
    // The painter ends on this thread, in its last synchronised call; the stopper must hear of it.
    if (!PumpUntil([&] { return stopped.load(); }, 20000)) {
        stopper.detach();
        (void)image.release(); // still in use by the stuck thread
        FAIL() << "the stopping thread was never woken";
    }
    stopper.join();
    EXPECT_TRUE(image->Painters().empty());
    EXPECT_EQ(image->Painter(), nullptr);
}

TEST(GifPainter, QuitMessageEndsAPainterWithoutThreadAndStaysForTheLoop) {
    auto image = ThreeColours(20);
    image->SetPaintOptions(gpAnimate | gpDirectPaint);
    Window window(96, 64);
    int frames = 0;
    image->OnFrameDone = [&](TObject*) {
        if (++frames == 1) PostQuitMessage(7);
    };
    image->Draw(window.Canvas, RECT{0, 0, 96, 64});
    EXPECT_EQ(frames, 1); // the other two frames were never played
    MSG msg;
    ASSERT_TRUE(PeekMessage(msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
}

// The capture with a real pointer on an X server the test starts, under openbox: a hidden window that
// takes the capture as a press begins in another, which then hides (a dragged toolbar docking), hears
// every move over another window of the program and outside it, and the release out there; a capture
// the X server takes away (the pointer's holder unmapped by another program) ends with
// WM_CAPTURECHANGED, and the next capture holds the pointer again.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QWidget>

#include <string>
#include <vector>

#include "platform/gui/input.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/qt/pointer_hold.h"
#include "platform/gui/qt/tests/x_connection.h"
#include "platform/gui/window.h"
#include "tests/support/child_test.h"
#include "tests/support/gui/pump.h"
#include "tests/support/gui/x_desktop.h"
#include "tests/support/peer_process.h"
#include "tests/support/temp_dir.h"

#if defined(PW_HAVE_XCB)

namespace {

HWND pressed = nullptr, holder = nullptr;
std::vector<POINT> heldMoves;
int releases = 0, captureChanges = 0;
POINT released{-1, -1};

LRESULT CaptureProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (hwnd == pressed && msg == WM_LBUTTONDOWN) {
        SetCapture(holder);
        ShowWindow(pressed, SW_HIDE);
    }
    if (hwnd == holder) {
        POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ClientToScreen(holder, at);
        if (msg == WM_MOUSEMOVE) heldMoves.push_back(at);
        if (msg == WM_LBUTTONUP) {
            ++releases;
            released = at;
            ReleaseCapture();
        }
        if (msg == WM_CAPTURECHANGED) ++captureChanges;
    }
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

TEST(CapturedPointer, EveryMoveAndTheReleaseReachTheCaptureWhereverThePointerGoesUntilTheServerTakesIt) {
    if (testsupport::RanApart()) return;
    ASSERT_EQ(QCoreApplication::instance(), nullptr) << "the toolkit already runs in this process";
    const testsupport::ManagedDesktop desktop;
    if (!desktop.Missing().empty()) GTEST_SKIP() << desktop.Missing();
    ASSERT_EQ(desktop.Problem(), "");
    testsupport::TempDir dir;
    WNDCLASS wc;
    wc.lpfnWndProc = CaptureProc;
    wc.lpszClassName = "CapturedPointerTest";
    RegisterClass(wc);
    auto make = [](DWORD style, RECT r) {
        return CreateWindowEx(WS_EX_TOOLWINDOW, "CapturedPointerTest", "capture", WS_POPUP | style, r.left,
                              r.top, r.right - r.left, r.bottom - r.top, nullptr, nullptr, nullptr, nullptr);
    };
    pressed = make(WS_VISIBLE, RECT{20, 20, 220, 170});
    HWND other = make(WS_VISIBLE, RECT{300, 20, 500, 170});
    holder = make(0, RECT{0, 0, 10, 10});
    ASSERT_TRUE(testsupport::PumpUntil([&] { return IsWindowVisible(pressed) && IsWindowVisible(other); }));
    const auto xdotool = [&](std::vector<std::string> args) {
        args.insert(args.begin(), "xdotool");
        return testsupport::RunServing(args, dir.File("xdotool.log"));
    };
    const auto pointerTo = [&](POINT p) {
        return xdotool({"mousemove", std::to_string(p.x), std::to_string(p.y)});
    };
    const auto cursorAt = [](POINT p) {
        POINT now{};
        GetCursorPos(now);
        return now.x == p.x && now.y == p.y;
    };
    const auto heard = [](POINT p) {
        return !heldMoves.empty() && heldMoves.back().x == p.x && heldMoves.back().y == p.y;
    };
    // Moves until the program has seen the pointer inside the window: it may be mapped a moment after it
    // says it is shown.
    int wiggle = 0;
    ASSERT_TRUE(testsupport::PumpUntil([&] {
        const POINT at{120, 100 + wiggle++ % 2};
        return pointerTo(at) == 0 && cursorAt(at);
    }));

    ASSERT_EQ(xdotool({"mousedown", "1"}), 0);
    ASSERT_TRUE(testsupport::PumpUntil([&] { return GetCapture() == holder && !IsWindowVisible(pressed); }));
    for (const POINT at : {POINT{400, 100}, POINT{410, 110}, POINT{600, 400}, POINT{620, 440}}) {
        ASSERT_EQ(pointerTo(at), 0);
        EXPECT_TRUE(testsupport::PumpUntil([&] { return heard(at); }, 20000))
            << "the move to " << at.x << "," << at.y << " over another window or outside the program";
    }
    ASSERT_EQ(xdotool({"mouseup", "1"}), 0);
    ASSERT_TRUE(testsupport::PumpUntil([&] { return releases == 1; }, 20000)) << "the release outside";
    EXPECT_EQ(released.x, 620);
    EXPECT_EQ(released.y, 440);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_FALSE(pw::gui::qt::PointerHeld());

    // The pointer held again, and its holder unmapped by another program: the X server ends the grab,
    // and the capture ends as one the system took.
    captureChanges = 0;
    SetCapture(holder);
    ASSERT_TRUE(pw::gui::qt::PointerHeld());
    gui_qt_test::XConnection x;
    testsupport::Pump();
    x.Unmap(static_cast<uint32_t>(pw::gui::qt::PointerHolderWidget()->winId()));
    EXPECT_TRUE(
        testsupport::PumpUntil([&] { return captureChanges == 1 && GetCapture() == nullptr; }, 20000));
    EXPECT_FALSE(pw::gui::qt::PointerHeld());
    // The next capture has the pointer again.
    SetCapture(holder);
    heldMoves.clear();
    ASSERT_EQ(pointerTo(POINT{610, 420}), 0);
    EXPECT_TRUE(testsupport::PumpUntil([&] { return heard(POINT{610, 420}); }, 20000));
    ReleaseCapture();
    for (HWND w : {pressed, other, holder})
        DestroyWindow(w);
}

} // namespace
#endif

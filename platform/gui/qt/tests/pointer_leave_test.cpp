// The pointer jumping out of a window in one move, on an X server the test starts, the pointer moved as
// a person's is (through the server's test extension): the window hears that it left, and where the
// pointer is now is known, not the spot it left from, so that a window asking later does not take
// itself to be under the pointer still.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include <string>

#include "platform/gui/input.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/window.h"
#include "tests/support/child_test.h"
#include "tests/support/gui/pump.h"
#include "tests/support/gui/x_desktop.h"
#include "tests/support/peer_process.h"
#include "tests/support/temp_dir.h"

namespace {

int moves = 0, leaves = 0;
POINT lastMove{-1, -1};

LRESULT TrackingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_MOUSELEAVE) ++leaves;
    if (msg == WM_MOUSEMOVE) {
        ++moves;
        lastMove = POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        TRACKMOUSEEVENT track{};
        track.dwFlags = TME_LEAVE;
        track.hwndTrack = hwnd;
        TrackMouseEvent(track);
    }
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

TEST(PointerLeave, AJumpOutOfTheWindowLeavesItAndTheCursorIsWhereThePointerWent) {
    if (testsupport::RanApart()) return;
    ASSERT_EQ(QCoreApplication::instance(), nullptr) << "the toolkit already runs in this process";
    testsupport::XDesktop display;
    if (!display.Problem().empty()) GTEST_SKIP() << display.Problem();
    if (!HaveProgram("xdotool")) GTEST_SKIP() << "xdotool is missing";
    testsupport::TempDir dir;
    WNDCLASS wc;
    wc.lpfnWndProc = TrackingProc;
    wc.lpszClassName = "PointerLeaveTest";
    RegisterClass(wc);
    HWND window = CreateWindowEx(0, "PointerLeaveTest", "leave", WS_POPUP | WS_VISIBLE, 20, 20, 300, 200,
                                 nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(testsupport::PumpUntil([&] { return IsWindowVisible(window); }, 10000));
    const auto pointerTo = [&](int x, int y) {
        return testsupport::RunServing({"xdotool", "mousemove", std::to_string(x), std::to_string(y)},
                                       dir.File("xdotool.log"));
    };
    // Moves until the window has seen one: it may be mapped a moment after it says it is shown.
    ASSERT_TRUE(
        testsupport::PumpUntil([&] { return pointerTo(120, 100 + moves % 2) == 0 && moves > 0; }, 10000));
    // A move the window saw at a spot it did not see before: the toolkit has the pointer inside the window
    // now, whatever it made of the moves around the mapping, so the jump below starts from inside.
    ASSERT_EQ(pointerTo(150, 130), 0);
    ASSERT_TRUE(testsupport::PumpUntil([&] { return lastMove.x == 130 && lastMove.y == 110; }, 10000));
    ASSERT_EQ(leaves, 0);

    ASSERT_EQ(pointerTo(600, 400), 0);
    ASSERT_TRUE(testsupport::PumpUntil([&] { return leaves == 1; }, 10000));
    POINT cursor{};
    GetCursorPos(cursor);
    EXPECT_EQ(cursor.x, 600);
    EXPECT_EQ(cursor.y, 400);
    // A window that asks to hear of the pointer leaving, as one that followed the keyboard meanwhile does
    // again, hears at once that it is not there.
    TRACKMOUSEEVENT track{};
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = window;
    TrackMouseEvent(track);
    EXPECT_TRUE(testsupport::PumpUntil([&] { return leaves == 2; }, 10000));
    DestroyWindow(window);
}

} // namespace

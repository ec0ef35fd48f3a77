#include <gtest/gtest.h>

#include <chrono>

#include "gui_test_support.h"
#include "platform/gui/input.h"

using namespace gui_test;

namespace {

std::vector<std::pair<HWND, UINT_PTR>> fired;

void RecordTimer(HWND hwnd, UINT, UINT_PTR id, DWORD) {
    fired.emplace_back(hwnd, id);
}

size_t TimerMessages(HWND w) {
    return MessagesOf(w, {WM_TIMER}).size();
}

} // namespace

TEST(Timers, WindowTimersAreLowPriorityCoalescedAndDieWithTheirWindow) {
    DWORD now = 5000;
    pw::gui::SetTickSource([&] { return now; });
    HWND w = MakeTopLevel(RECT{0, 0, 10, 10});
    Pump();
    Log().clear();
    EXPECT_EQ(SetTimer(w, 5, 100, nullptr), 5u);
    now += 99;
    Pump();
    EXPECT_EQ(TimerMessages(w), 0u);
    now += 1;
    Pump();
    EXPECT_EQ(TimerMessages(w), 1u);
    // Three and a half missed periods still make one message.
    now += 350;
    Pump();
    EXPECT_EQ(TimerMessages(w), 2u);
    now += 100;
    SetCursorPos(7, 9);
    PostMessage(w, WM_USER, 0, 0);
    now += 3;
    MSG msg;
    ASSERT_TRUE(PeekMessage(msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_USER); // posted messages before timers
    EXPECT_EQ(GetMessageTime(), static_cast<LONG>(now - 3));
    EXPECT_EQ(GetMessagePos(), static_cast<DWORD>(MAKELPARAM(7, 9)));
    ASSERT_TRUE(PeekMessage(msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, WM_TIMER);
    EXPECT_EQ(msg.wParam, 5u);
    EXPECT_TRUE(KillTimer(w, 5));
    EXPECT_FALSE(PeekMessage(msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_FALSE(KillTimer(w, 5));
    SetTimer(w, 6, 50, nullptr);
    DestroyWindow(w);
    now += 1000;
    Log().clear();
    Pump();
    EXPECT_TRUE(Log().empty());
    pw::gui::SetTickSource(nullptr);
}

TEST(Timers, ThreadTimersCallTheirProcedureWithAUniqueId) {
    DWORD now = 100;
    pw::gui::SetTickSource([&] { return now; });
    fired.clear();
    UINT_PTR a = SetTimer(nullptr, 0, 400, RecordTimer);
    UINT_PTR b = SetTimer(nullptr, 0, 1000, RecordTimer);
    ASSERT_NE(a, 0u);
    ASSERT_NE(a, b);
    now += 400;
    Pump();
    now += 600;
    Pump();
    // Both were due at 1000 (a for the second time); a was due earliest.
    EXPECT_EQ(fired, (std::vector<std::pair<HWND, UINT_PTR>>{{nullptr, a}, {nullptr, a}, {nullptr, b}}));
    // Re-setting an existing thread timer keeps its id.
    EXPECT_EQ(SetTimer(nullptr, a, 50, RecordTimer), a);
    EXPECT_TRUE(KillTimer(nullptr, a));
    EXPECT_TRUE(KillTimer(nullptr, b));
    pw::gui::SetTickSource(nullptr);
}

TEST(Timers, GetMessageWakesForATimerOnTheRealClock) {
    fired.clear();
    UINT_PTR id = SetTimer(nullptr, 0, 30, RecordTimer);
    auto start = std::chrono::steady_clock::now();
    MSG msg;
    ASSERT_TRUE(GetMessage(msg, nullptr, WM_TIMER, WM_TIMER));
    auto waited = std::chrono::steady_clock::now() - start;
    DispatchMessage(msg);
    KillTimer(nullptr, id);
    EXPECT_EQ(fired.size(), 1u);
    // Not before it is due; how late it may come depends on the machine's load, so that is not checked.
    EXPECT_GE(waited, std::chrono::milliseconds(25));
}

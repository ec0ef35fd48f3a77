#include "tests/support/gui/pump.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <utility>

#include "platform/gui/message_loop.h"
#include "platform/gui/paint.h"

namespace testsupport {
namespace {

using Clock = std::chrono::steady_clock;

std::map<UINT_PTR, int>& TimerTicks() {
    static std::map<UINT_PTR, int> ticks;
    return ticks;
}

void CountTick(HWND, UINT, uintptr_t id, DWORD) {
    ++TimerTicks()[id];
}

std::function<bool()>& ModalLoopEnded() {
    static std::function<bool()> ended;
    return ended;
}

bool InEndedModalLoop() {
    return ModalLoopEnded() && ModalLoopEnded()();
}

// Sleeps until a message arrives or at most the given time.
void WaitForMessage(Clock::duration most) {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(most).count();
    MsgWaitForMultipleObjects(0, nullptr, FALSE_, static_cast<DWORD>(std::max<long long>(ms, 0)),
                              QS_ALLINPUT);
}

} // namespace

void SetModalLoopEnded(std::function<bool()> ended) {
    ModalLoopEnded() = std::move(ended);
}

void Pump() {
    // A bound on the rounds, so that a window posting to itself for ever cannot hang the test.
    for (int round = 0; round < 100; ++round) {
        // Stopped where the program's modal loop would stop, and at WM_QUIT.
        if (!ProcessMessages(ModalLoopEnded())) return;
        MSG msg;
        if (!PeekMessage(msg, nullptr, 0, 0, PM_NOREMOVE)) break;
    }
    // What the answers invalidated is drawn before the test looks at the pixels.
    pw::gui::PaintPendingWindows();
}

::testing::AssertionResult PumpUntil(const std::function<bool()>& done, int timeoutMs) {
    const auto start = Clock::now();
    const auto deadline = start + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        Pump();
        if (done()) return ::testing::AssertionSuccess();
        if (InEndedModalLoop())
            return ::testing::AssertionFailure()
                   << "a modal window of the program was closed meanwhile: its loop answers nothing more";
        const auto now = Clock::now();
        if (now >= deadline) break;
        WaitForMessage(std::min<Clock::duration>(deadline - now, std::chrono::milliseconds(5)));
    }
    return ::testing::AssertionFailure()
           << "the condition still did not hold after " << timeoutMs << " ms of pumping messages";
}

::testing::AssertionResult PumpTimerTicks(int intervalMs, int ticks, int timeoutMs) {
    // Its ticks come only through the loop below, so none is missed before the count starts.
    const UINT_PTR id = SetTimer(nullptr, 0, static_cast<UINT>(intervalMs), CountTick);
    TimerTicks()[id] = 0;
    ::testing::AssertionResult result = PumpUntil([&] { return TimerTicks()[id] >= ticks; }, timeoutMs);
    KillTimer(nullptr, id);
    TimerTicks().erase(id);
    return result;
}

void PumpFor(int milliseconds) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
    for (auto now = Clock::now(); now < deadline; now = Clock::now()) {
        Pump();
        WaitForMessage(deadline - now);
    }
    Pump();
}

} // namespace testsupport

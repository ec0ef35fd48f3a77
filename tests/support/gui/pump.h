#pragma once
// Turning the message loop in GUI tests: drain what is queued, wait for a condition up to a deadline, or
// keep answering messages for a while (to show that nothing more arrives).
#include <gtest/gtest.h>

#include <functional>

namespace testsupport {

// Answers every message that is due, again while answering them queues more, until the queue is
// idle, and paints the windows that wait for it. A WM_QUIT stays posted for the test to see.
void Pump();

// Pumps until done() answers true, sleeping until the next message (or a few milliseconds, for work of
// other threads) between tries. Fails, saying how long it waited, once the deadline has passed.
::testing::AssertionResult PumpUntil(const std::function<bool()>& done, int timeoutMs = 60000);

// Pumps until a timer of the interval, set by the call, has ticked that many times: by then a timer of
// the program that was due in that time has ticked too. For showing that a stopped one does not.
::testing::AssertionResult PumpTimerTicks(int intervalMs, int ticks, int timeoutMs = 60000);

// Pumps for the whole time, sleeping until the next message between rounds.
void PumpFor(int milliseconds);

} // namespace testsupport

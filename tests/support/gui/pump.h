#pragma once
// Turning the message loop in GUI tests: drain what is queued, wait for a condition up to a deadline, or
// keep answering messages for a while (to show that nothing more arrives).
#include <gtest/gtest.h>

#include <functional>

namespace testsupport {

// Answers every message that is due, again while answering them queues more, until the queue is
// idle, and paints the windows that wait for it. A WM_QUIT stays posted for the test to see.
// Inside a modal loop of the program (a test acting on a dialog) it answers nothing more once that
// loop would end: see SetModalLoopEnded.
void Pump();

// Tells the pump when a modal loop of the program under it has its result. That loop answers no
// message after the one that ended it (the dialog then closes), so a test's own loop inside it must
// not either: a key that would close a person's dialog then closes it for the test too, and what
// was queued behind that key is left unanswered as it is for the person. The class library's test
// environment sets it; nullptr: no modal loops.
void SetModalLoopEnded(std::function<bool()> ended);

// Pumps until done() answers true, sleeping until the next message (or a few milliseconds, for work of
// other threads) between tries. Fails, saying how long it waited, once the deadline has passed, and at
// once when a modal loop under it has ended (nothing more is answered there).
::testing::AssertionResult PumpUntil(const std::function<bool()>& done, int timeoutMs = 60000);

// Pumps until a timer of the interval, set by the call, has ticked that many times: by then a timer of
// the program that was due in that time has ticked too. For showing that a stopped one does not.
::testing::AssertionResult PumpTimerTicks(int intervalMs, int ticks, int timeoutMs = 60000);

// Pumps for the whole time, sleeping until the next message between rounds.
void PumpFor(int milliseconds);

} // namespace testsupport

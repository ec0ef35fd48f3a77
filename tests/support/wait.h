#pragma once
// Waiting in tests: always for a condition and never past a deadline, so that a fault shows as a failed
// test instead of a run that hangs until the test driver kills it.
#include <chrono>
#include <functional>

namespace testsupport {

inline constexpr std::chrono::milliseconds kWaitLimit{60000};

// Calls done() until it answers true, sleeping `step` between calls, for at most `limit`; answers
// done()'s last answer. done() may itself do the waiting (pump messages for a while) with a step of 0.
bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = kWaitLimit,
               std::chrono::milliseconds step = std::chrono::milliseconds(1));

} // namespace testsupport

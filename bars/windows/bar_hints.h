#pragma once
// The hints of every bar window of the process: one hint window and one set of timers. A bar asks
// whenever its hot control changes, or with a text of its own for its buttons; the hint shows after
// 1000 ms, goes after 10000 ms, and moving on while one shows (or within 400 ms of one hidden by a
// control without a hint) replaces it at once. Timers fire from the GUI thread's loop.
#include <string>

class TdxBarHintWindow;
class TdxBarManager;

namespace bars {

inline constexpr unsigned kHintShowDelay = 1000;
inline constexpr unsigned kHintHideDelay = 10000;
inline constexpr unsigned kHintReshowPeriod = 400;

// Show with an empty Text asks for the hint of the manager's selected item control; with a Text, for
// that text; Show false hides.
void UpdateHint(TdxBarManager* Manager, bool Show, const std::string& Text = {});
// Builds and shows the hint now, when there is one to show.
void ShowHintNow(TdxBarManager* Manager);
void KillHintTimer();
void KillReshowTimer();
// Hides the hint and stops every timer: a key, a click or a menu opening ends any hint.
void CancelHint();

// A manager goes: its hint and timers stop, and with the last manager the shared window goes.
void HintsManagerGoing(TdxBarManager* Manager);
// The shared hint window, nullptr until the first hint shows.
TdxBarHintWindow* BarHintWindow();
bool IsHintShown();

} // namespace bars

namespace bars_detail {
// What the state machine holds, for tests.
bool HintTimerPending();
bool ReshowTimerPending();
bool HintRecentlyHidden();
} // namespace bars_detail

#pragma once
// Floating toolbars follow their form's activation: they hide when the user turns to another form or
// program and come back when the form is active again.
#include "platform/rtl/wintypes.h"

class TdxBarManager;

namespace bars {

// Active: the floating bars of visible toolbars show again (not while the form is minimized). Not
// active: the manager's open menus close, and unless the manager keeps its floating bars (its setting
// off and not Force) they hide, except when Other is a window of this program that is no form, such
// as a drop-down list or a menu, or the form's own child. A call made while one runs for the same
// manager does nothing.
void UpdateFloatingBars(TdxBarManager* Manager, bool Active, bool Force, HWND Other);

// The screens or their work areas changed: every floating bar that now sticks out of the work area of
// the monitor holding the form's centre moves back inside it (the bar's window, or its stored place
// while it has none).
void RefitFloatingBars(TdxBarManager* Manager);

} // namespace bars

#pragma once
// The toolbars popup: a menu with a check line per toolbar the user may show or hide, and the
// customize entry, opened by a right click on a toolbar or a dock site.
#include "platform/rtl/wintypes.h"

class TdxBarManager;

namespace bars {

// Opens the popup at the screen point and returns once it has closed. Nothing opens when the manager
// puts nothing in it (no toolbar it may close, and no customize entry).
void ShowToolbarsPopup(TdxBarManager* Manager, POINT Screen);
// The same from the message loop: the clicked window's own handler has returned by then, so a command
// that frees that window (hiding its toolbar) frees nothing in use. A manager gone by then opens none.
void PostToolbarsPopup(TdxBarManager* Manager, POINT Screen);

} // namespace bars

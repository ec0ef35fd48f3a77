#pragma once
// The main menu bar of an MDI frame form and its MDI children: while a child is maximized its system
// menu stands first on the frame's main menu bar and the child's own main menu is merged after the
// frame's entries (always, with AlwaysMerge), its own bar hidden meanwhile.
#include "platform/rtl/wintypes.h"

class TdxBarManager;

namespace bars {

// The frame's manager follows the client's active child and its maximized state (the hooks call it as
// an MDI child is activated or goes).
void UpdateMDIChildButtons(TdxBarManager* Manager);
// Puts the child's system menu and merged menus on the frame's main menu bar (Activate) or takes them
// away; SkipMerge leaves the merged menus as they are, KeepLocked leaves the bar locked afterwards.
void UpdateMDIChild(TdxBarManager* Manager, HWND Child, bool Activate, bool SkipMerge, bool KeepLocked);
// The maximized active MDI child of the manager's frame form when it has a system menu, else 0: its
// caption buttons then stand on the main menu bar.
HWND MaximizedMDIChild(TdxBarManager* Manager);
// The manager of the MDI frame form whose client holds Window, nullptr for other windows.
TdxBarManager* MDIFrameManagerOf(HWND Window);

} // namespace bars

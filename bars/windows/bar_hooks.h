#pragma once
// The thread hooks every bar manager shares. Menus never take the focus, so the keys that drive them
// and the clicks that close them are seen here before any window of the form sees them: the keyboard
// hook (Alt and F10 enter the menu bar, item shortcuts and Alt accelerators from any control, the keys
// of an open menu, the context-menu keys), the mouse hook (a click outside the open menus closes them;
// a right click on a control opens its linked popup menu) and the call-window-procedure hook (each
// manager hears its form's messages). The hooks live while at least one manager lives.
#include "bars/core/bar_types.h"
#include "platform/rtl/wintypes.h"

namespace bars {

// Called as a manager joins or leaves the list of managers; the first installs the hooks, the last
// removes them.
void InstallBarHooks(TdxBarManager* Manager);
void RemoveBarHooks(TdxBarManager* Manager);
bool BarHooksInstalled();

// An in-place editor that got a system key (Alt with a key, or Alt alone: AltAlone) offers it to the
// keyboard hook's routing itself; true when the bars used it up.
bool PassEditorKey(bool AltAlone, WPARAM Key, LPARAM KeyData);
// Alt went down and no other key followed yet.
bool AltPressedAlone();
void SetAltPressedAlone(bool Value);

// While a toolbar is moved or sized with the mouse no key reaches a window, a shortcut or the menus:
// only the loop that moves it hears each key, posted to the loop's window (Escape ends the loop, Ctrl
// keeps the bar floating). The keys are free again when the loop unblocks them or its window goes.
void BlockKeys(HWND Loop);
void UnblockKeys(HWND Loop);
bool KeysBlocked();

// A menu's opening animation runs: a left release outside does not close the menus meanwhile.
bool MenuAnimationRunning();

// The messages of a manager's form, as the call-window-procedure hook hands them over.
void ParentFormMessageHandler(TdxBarManager* Manager, UINT Msg, WPARAM WParam, LPARAM LParam);
// The messages the handler above does something with; the hook passes every other one on at once.
bool ParentFormHandlesMessage(UINT Msg);

} // namespace bars

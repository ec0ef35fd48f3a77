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

// While a toolbar is moved or sized with the mouse every key is swallowed.
bool KeysBlocked();
void SetKeysBlocked(bool Value);
// While an in-place editor of a bar item handles a message, the keys are its own: the keyboard hook
// lets every key through and calls no further hook. Alt handled there counts as pressed alone.
bool EditorOwnsKeys();
void SetEditorOwnsKeys(bool Value);
void SetAltPressedAlone(bool Value);
// A menu animation runs: a left release outside does not close the menus meanwhile.
bool MenuAnimationRunning();
void SetMenuAnimationRunning(bool Value);

// The messages of a manager's form, as the call-window-procedure hook hands them over.
void ParentFormMessageHandler(TdxBarManager* Manager, UINT Msg, WPARAM WParam, LPARAM LParam);

} // namespace bars

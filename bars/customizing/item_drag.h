#pragma once
// Dragging in customizing mode: a command of the customizing window dropped on a bar of its manager
// gets a new link there, where the bar says the point lands. The drag runs its own message loop while
// the starting window holds the mouse; Esc or losing the capture cancels it.
#include "platform/gui/window.h"

class TdxBarItem;
class TdxBarManager;

namespace bars {

// Returns whether a link was added.
bool DragNewItem(TdxBarManager* Manager, TdxBarItem* Item, HWND Source);

} // namespace bars

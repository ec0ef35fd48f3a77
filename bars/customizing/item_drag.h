#pragma once
// Dragging in customizing mode. A link already on a bar or menu moves where it is dropped (Ctrl copies
// it), goes when dropped beside every bar, and a short drag of it along its bar gives it a group
// separator (right or down) or takes it away (left or up); a command of the customizing window dropped
// on a bar gets a new link there. A mark between the links shows where the drop lands, the cursor says
// move, copy or no place, and menus open under the pointer so that links can go into them. The drag
// runs its own message loop while the starting window holds the mouse; Esc or losing the capture
// cancels it.
#include "platform/gdi/gdi_structs.h"
#include "platform/gui/window.h"

class TdxBarItem;
class TdxBarItemLink;
class TdxBarManager;

namespace bars {

// Drags Item, with the Link it is dragged from (nullptr for a new item), from the press at Press
// (screen); Source holds the mouse meanwhile. Returns whether the bars changed.
bool DragItem(TdxBarManager* Manager, TdxBarItem* Item, TdxBarItemLink* Link, HWND Source, POINT Press);
// A command pulled from the customizing window's list. Returns whether a link was added.
bool DragNewItem(TdxBarManager* Manager, TdxBarItem* Item, HWND Source);

} // namespace bars

namespace bars_detail {
// Lets the bar windows start link drags without a customizing window (the customizing window's
// receiver drags them too).
void InstallItemDrag();
} // namespace bars_detail

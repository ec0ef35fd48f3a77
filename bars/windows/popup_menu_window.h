#pragma once
// The window of a popup menu shown at a point: a menu window that follows the popup menu's settings and
// tells it when it opens and closes.
class TdxBarPopupMenu;

namespace bars {

void ShowPopupMenuWindow(TdxBarPopupMenu* Menu, int X, int Y);

} // namespace bars

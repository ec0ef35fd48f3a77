#pragma once
// Where a window may draw in its top-level window's backing store: its rectangle inside every parent's
// client area, minus the siblings above it where WS_CLIPSIBLINGS applies and minus its own children
// where WS_CLIPCHILDREN applies. Callers hold the window-table lock.
#include "platform/gdi/region.h"

namespace pw::gui {

struct Window;

// The window's top-left corner in its top-level window's coordinates.
POINT OriginInRoot(const Window& w);

// The part of area (in w's window coordinates) that w shows, in its top-level window's coordinates;
// empty when w or a parent is hidden. clipChildren leaves out w's visible children.
Region VisibleRegion(const Window& w, const RECT& area, bool clipChildren);

} // namespace pw::gui

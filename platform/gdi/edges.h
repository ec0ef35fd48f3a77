#pragma once
// Classic three-dimensional edges, frame controls and focus rectangles, in the system colours.
#include "platform/gdi/gdi_defs.h"

// With BF_ADJUST, rect becomes the area inside the edge.
BOOL DrawEdge(HDC hdc, RECT* rect, UINT edge, UINT flags);
// With DFCS_ADJUSTRECT, rect becomes the face inside a push button's edge.
BOOL DrawFrameControl(HDC hdc, RECT* rect, UINT type, UINT state);
// Inverts a dotted one-pixel frame, so a second call restores the picture.
BOOL DrawFocusRect(HDC hdc, const RECT* rect);

#pragma once
// Edge painting on device coordinates, shared by DrawEdge and DrawFrameControl. Internal.
#include "platform/gdi/dc_internal.h"

namespace pw::gdi {

// Paints the edge and returns the area inside it (device coordinates).
RECT PaintEdge(DeviceContext& dc, const RECT& rect, UINT edge, UINT flags);
void FillDeviceRect(DeviceContext& dc, const RECT& r, COLORREF color);

} // namespace pw::gdi

#pragma once
// The work area of the monitor nearest a screen point.
#include "platform/rtl/wintypes.h"

RECT GetMonitorWorkArea(POINT Point);

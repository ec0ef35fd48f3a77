#pragma once
// Cursors stored in the program as resources of the type "CURSOR": a cursor file with one 32-bit image
// (with its alpha) and the hot spot.
#include <string>

#include "platform/rtl/wintypes.h"

// A cursor for the screen's table (which then owns it). EResNotFound when there is no such resource,
// EInvalidGraphic when it holds no cursor of that kind.
HCURSOR LoadCursorResource(const std::string& Name);

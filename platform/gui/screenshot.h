#pragma once
// Saving what a window shows (its composed image) as a PNG file, for screenshots and checks by eye.
#include <string>

#include "platform/rtl/wintypes.h"

namespace pw::gui {
bool SaveWindowImage(HWND hwnd, const std::string& path);
// The screen's area (screen coordinates) with every window of the program on it.
bool SaveScreenImage(const RECT& area, const std::string& path);
} // namespace pw::gui

#pragma once
// The large pictures of the main window's toolbar, side by side in one strip of square cells: Open,
// Save, Save As, Options, FTP Upload and Help, in the order the window gives them their indices.
#include "tools/window_images/picture.h"

namespace window_images {

inline constexpr int kToolbarImageSize = 32;
inline constexpr int kToolbarImageCount = 6;

// Uncovered pixels stay clear (alpha 0).
Picture ToolbarImages();

} // namespace window_images

#pragma once
// The file formats the program's pictures are embedded in: PNG, GIF (up to 256 colours), 24-bit BMP
// and cursors.
#include <string>

#include "tools/window_images/picture.h"

namespace window_images {

void WritePng(const std::string& Path, const Picture& P);
// Every colour of the picture goes into the colour table; more than 256 raises.
void WriteGif(const std::string& Path, const Picture& P);
// Uncovered pixels (alpha 0) take Clear, the colour an image list masks out.
void WriteBmp(const std::string& Path, const Picture& P, Rgba Clear);
// A cursor file holding one 32-bit image with its alpha and the hot spot.
void WriteCursor(const std::string& Path, const Picture& P, int HotX, int HotY);

} // namespace window_images

#pragma once
// PNG files of surfaces, read and written by Qt's image codecs.
#include <string>

class Surface;

namespace pw::gui::qt {

// False when the file cannot be written or read.
bool SavePng(const Surface& surface, const std::string& path);
bool LoadPng(Surface& surface, const std::string& path);

} // namespace pw::gui::qt

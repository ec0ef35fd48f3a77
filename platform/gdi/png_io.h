#pragma once
// PNG files of surfaces, for tests and screenshots.
#include <string>

class Surface;

// False when the file cannot be written or read.
bool SaveSurfaceToPng(const Surface& surface, const std::string& path);
bool LoadSurfaceFromPng(Surface& surface, const std::string& path);

#include "platform/gdi/png_io.h"

#include "platform/gdi/toolkit.h"

bool SaveSurfaceToPng(const Surface& surface, const std::string& path) {
    return pw::gdi::CurrentToolkit().SavePng(surface, path);
}

bool LoadSurfaceFromPng(Surface& surface, const std::string& path) {
    return pw::gdi::CurrentToolkit().LoadPng(surface, path);
}

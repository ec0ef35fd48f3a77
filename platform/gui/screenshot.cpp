#include "platform/gui/screenshot.h"

#include "platform/gdi/png_io.h"
#include "platform/gdi/surface.h"
#include "platform/gui/paint.h"

namespace pw::gui {

bool SaveWindowImage(HWND hwnd, const std::string& path) {
    Surface composed = ComposeWindow(hwnd);
    return composed.Width() > 0 && composed.Height() > 0 && SaveSurfaceToPng(composed, path);
}

bool SaveScreenImage(const RECT& area, const std::string& path) {
    Surface composed = ComposeScreen(area);
    return composed.Width() > 0 && composed.Height() > 0 && SaveSurfaceToPng(composed, path);
}

} // namespace pw::gui

#include "platform/gui/window_dc.h"

#include "platform/gui/paint.h"

namespace pw::gui {

WindowDC::WindowDC(HWND hwnd, Area area)
    : hwnd_(hwnd), dc_(area == Area::Window ? GetWindowDC(hwnd) : GetDC(hwnd)) {}

WindowDC::~WindowDC() {
    if (dc_) ReleaseDC(hwnd_, dc_);
}

} // namespace pw::gui

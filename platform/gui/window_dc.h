#pragma once
// A window's DC for a scope: GetDC (the client area) or GetWindowDC (the whole window), released at the
// end of the scope.
#include "platform/gui/window_defs.h"

namespace pw::gui {

class WindowDC {
public:
    enum class Area { Client, Window };
    // A null window gives the screen's DC.
    explicit WindowDC(HWND hwnd, Area area = Area::Client);
    ~WindowDC();
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC Get() const { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

} // namespace pw::gui

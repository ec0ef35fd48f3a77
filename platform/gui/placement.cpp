#include "platform/gui/placement.h"

#include "platform/gui/backend.h"
#include "platform/gui/gui_state.h"

BOOL GetWindowPlacement(HWND hwnd, WINDOWPLACEMENT& placement) {
    if (placement.length != sizeof(WINDOWPLACEMENT)) return FALSE_;
    pw::gui::Guard g(pw::gui::Lock());
    auto w = pw::gui::FindLiveWindow(hwnd);
    if (!w) return FALSE_;
    placement.flags = 0;
    placement.ptMinPosition = POINT{-1, -1};
    placement.ptMaxPosition = POINT{-1, -1};
    if (w->minimized)
        placement.showCmd = SW_SHOWMINIMIZED;
    else if (w->maximized)
        placement.showCmd = SW_SHOWMAXIMIZED;
    else
        placement.showCmd = w->Visible() ? SW_SHOWNORMAL : SW_HIDE;
    placement.rcNormalPosition = w->minimized || w->maximized ? w->restoreRect : w->rect;
    return TRUE_;
}

namespace pw::gui {

RECT WindowManagerFrame(HWND hwnd) {
    auto w = FindLiveWindow(hwnd);
    // The toolkit is asked without the lock: it may wait for the window manager's answer.
    if (!w || w->IsChild() || !w->host) return RECT{};
    return w->host->FrameMargins();
}

} // namespace pw::gui

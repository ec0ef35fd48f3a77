#include "platform/gui/drag_detect.h"

#include "platform/gdi/metrics.h"
#include "platform/gui/input.h"
#include "platform/gui/keys.h"
#include "platform/gui/message_loop.h"
#include "platform/gui/message_views.h"
#include "platform/gui/window.h"

BOOL DragDetect(HWND hwnd, POINT Start) {
    if (!IsWindow(hwnd)) return FALSE_;
    const int cx = GetSystemMetrics(SM_CXDRAG), cy = GetSystemMetrics(SM_CYDRAG);
    const RECT still{Start.x - cx / 2, Start.y - cy / 2, Start.x - cx / 2 + cx + 1,
                     Start.y - cy / 2 + cy + 1};
    SetCapture(hwnd);
    BOOL dragged = FALSE_;
    MSG msg;
    for (;;) {
        if (!GetMessage(msg, nullptr, 0, 0)) {
            PostQuitMessage(QuitExitCode(msg));
            break;
        }
        if (msg.message == WM_MOUSEMOVE || msg.message == WM_NCMOUSEMOVE) {
            if (!PtInRect(still, msg.pt)) {
                dragged = TRUE_;
                break;
            }
            continue;
        }
        if (msg.message == WM_LBUTTONUP || msg.message == WM_NCLBUTTONUP) break;
        if (msg.message == WM_KEYDOWN && KeyCode(msg) == VK_ESCAPE) break;
        if (msg.message == WM_KEYDOWN || msg.message == WM_KEYUP) continue;
        TranslateMessage(msg);
        DispatchMessage(msg);
        if (GetCapture() != hwnd) break;
    }
    if (GetCapture() == hwnd) ReleaseCapture();
    return dragged;
}

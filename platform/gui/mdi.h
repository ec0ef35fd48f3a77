#pragma once
// Windows inside a frame's client area: the MDI client window (class "MDICLIENT") holds the child
// windows, knows the active one, activates another (telling both with WM_MDIACTIVATE), keeps the
// maximized state when the active child changes, and lets a maximized child fill its client area with
// its frame outside it. A child's procedure passes what it leaves to DefMDIChildProc, the frame's to
// DefFrameProc.
#include <string>

#include "platform/gui/window.h"

struct CLIENTCREATESTRUCT {
    HMENU hWindowMenu = nullptr;
    UINT idFirstChild = 0;
};

struct MDICREATESTRUCT {
    const char* szClass = nullptr;
    const char* szTitle = nullptr;
    HINSTANCE hOwner = nullptr;
    int x = CW_USEDEFAULT;
    int y = CW_USEDEFAULT;
    int cx = CW_USEDEFAULT;
    int cy = CW_USEDEFAULT;
    DWORD style = 0;
    LPARAM lParam = 0;
};

LRESULT DefFrameProc(HWND frame, HWND client, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT DefMDIChildProc(HWND child, UINT msg, WPARAM wParam, LPARAM lParam);

namespace pw::gui {
// The class name of the client window; the class exists once it is first asked for.
inline constexpr const char* kMDIClientClass = "MDICLIENT";
void RegisterMDIClientClass();
// Activates the MDI child that holds Window (or is it), when it is not its client's active one.
void ActivateMDIChildOf(HWND Window);
// Where a maximized MDI child goes: its client area over the MDI client's, its frame outside.
RECT MaximizedMDIChildRect(HWND child);
} // namespace pw::gui

#pragma once
// The non-client frame of a pop-up window the user can resize: a one-pixel ring, and along its top or
// bottom a strip with a size grip in one corner and a small close button at the other end.
#include "platform/gui/window_defs.h"

namespace bars {

// Corner of the grip: 0 top-left, 1 top-right, 2 bottom-left, 3 bottom-right (the strip lies at the top
// for 0 and 1, at the bottom for 2 and 3). GripRect and CloseButtonRect come back in screen coordinates
// for hit tests; both are empty when the window is not Sizeable. Flat: shadow-coloured ring and a button
// without raised or sunken edges.
void DrawSizeableWindowFrame(HWND Wnd, bool Sizeable, bool Flat, int Corner, RECT& GripRect,
                             RECT& CloseButtonRect, bool CloseButtonHot, bool CloseButtonPressed);
// The close button at the end of the strip Rect away from the grip; Rect becomes the button's rectangle.
void DrawWindowCloseButton(HDC DC, RECT& Rect, bool Active, int Corner, bool Flat, bool Pressed);

} // namespace bars

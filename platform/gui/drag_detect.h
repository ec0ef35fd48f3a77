#pragma once
// Whether the user drags rather than clicks: after a button press, the pointer leaves a small
// rectangle around the press before the button comes up.
#include "platform/gui/window_defs.h"

// Captures the mouse for the window and follows the pointer from the screen point Start: TRUE once it
// leaves the SM_CXDRAG x SM_CYDRAG rectangle centred on Start, FALSE when the left button comes up or
// Escape is pressed first. The mouse and key messages it reads are used up; the capture is released.
BOOL DragDetect(HWND hwnd, POINT Start);

#pragma once
// The system caret: one per program, owned by a window, hidden as often as it was hidden and shown as
// often again. Its position is in the owner's client coordinates. The window that owns it still draws
// it (CaretShown tells it whether to); destroying the owner destroys the caret.
#include "platform/gui/window_defs.h"

// A new caret replaces the old one and starts hidden (ShowCaret shows it). bitmap is ignored: the
// caret is always a solid block of width x height (width 0: the border width).
BOOL CreateCaret(HWND hwnd, HBITMAP bitmap, int width, int height);
BOOL DestroyCaret();
BOOL SetCaretPos(int x, int y);
// FALSE while no caret exists.
BOOL GetCaretPos(POINT& point);
// hwnd must own the caret (nullptr: whichever window of this program owns it); FALSE otherwise.
BOOL HideCaret(HWND hwnd);
BOOL ShowCaret(HWND hwnd);

namespace pw::gui {
// hwnd owns the caret and nobody keeps it hidden.
bool CaretShown(HWND hwnd);
} // namespace pw::gui

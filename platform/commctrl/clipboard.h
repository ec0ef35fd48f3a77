#pragma once
// The Win32 clipboard for text (UTF-8), over the toolkit's clipboard. Open it before using it and
// close it afterwards; only the window that opened it may change it.
#include <string>

#include "platform/gui/window_defs.h"

BOOL OpenClipboard(HWND owner);
BOOL CloseClipboard();
BOOL EmptyClipboard();
// False unless the clipboard is open.
BOOL SetClipboardText(const std::string& text);
std::string GetClipboardText();
BOOL IsClipboardTextAvailable();

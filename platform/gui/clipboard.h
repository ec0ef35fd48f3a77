#pragma once
// The clipboard of Win32 for text, over the desktop's clipboard (the toolkit's, through the backend;
// a clipboard of the process's own without one). Open it before changing it and close it afterwards;
// only one window has it open at a time. Text is UTF-8 in both text formats. GUI thread.
#include <string>

#include "platform/gui/window_defs.h"

inline constexpr UINT CF_TEXT = 1;
inline constexpr UINT CF_UNICODETEXT = 13;

// False while it is open already.
BOOL OpenClipboard(HWND owner);
BOOL CloseClipboard();
// Drops what the clipboard holds and makes the window that opened it its owner; false unless open.
BOOL EmptyClipboard();
// False unless the clipboard is open and the format is a text format.
BOOL SetClipboardData(UINT format, const std::string& text);
// The text the clipboard holds (empty when none, or for a format other than text).
std::string GetClipboardData(UINT format);
BOOL IsClipboardFormatAvailable(UINT format);
HWND GetClipboardOwner();
HWND GetOpenClipboardWindow();

#pragma once
// The clipboard of Win32 over the desktop's clipboard (the toolkit's, through the backend; a clipboard
// of the process's own without one). Open it before changing it and close it afterwards; only one
// window has it open at a time. Text is UTF-8 in both text formats; a bitmap reaches the desktop as a
// picture (image/png among its types), a format registered by name as that format's data. GUI thread.
#include <string>
#include <vector>

#include "platform/gdi/clipboard_formats.h"
#include "platform/gui/window_defs.h"

// A list of files, as file managers copy and paste them.
inline constexpr UINT CF_HDROP = 15;

// False while it is open already. Opening drops the handles read from the clipboard before.
BOOL OpenClipboard(HWND owner);
BOOL CloseClipboard();
// Drops what the clipboard holds (deleting the handles it was given) and makes the window that opened it
// its owner; false unless open.
BOOL EmptyClipboard();
// False unless the clipboard is open and the format is a text format.
BOOL SetClipboardData(UINT format, const std::string& text);
// Hands the open clipboard a bitmap (CF_BITMAP), a palette (CF_PALETTE) or a global memory block (a
// registered format); it owns the handle from then on. Null, the handle staying the caller's, when the
// clipboard is not open or the format takes no handle.
HANDLE SetClipboardData(UINT format, HANDLE data);
// The text the clipboard holds (empty when none, or for a format other than text).
std::string GetClipboardData(UINT format);
// Win32's GetClipboardData for the formats held by handle: the clipboard's own handle, which the caller
// must not delete; valid until the clipboard is opened again. Null when it holds no such data.
HANDLE GetClipboardDataHandle(UINT format);
BOOL IsClipboardFormatAvailable(UINT format);
// The formats the clipboard holds, in its order: the one after format (0 for the first); 0 after the last.
UINT EnumClipboardFormats(UINT format);
// Formats registered by name are numbered from 0xC000 on; a name registered before (compared without
// regard to case) answers its number. 0 for an empty name.
UINT RegisterClipboardFormat(const std::string& name);
// The name of a registered format; empty for any other.
std::string GetClipboardFormatName(UINT format);
// CF_HDROP: puts the files on the clipboard as file managers copy them (it must be open, as for
// SetClipboardData), and reads the files back, whoever copied them.
BOOL SetClipboardFiles(const std::vector<std::string>& files);
std::vector<std::string> GetClipboardFiles();
HWND GetClipboardOwner();
HWND GetOpenClipboardWindow();

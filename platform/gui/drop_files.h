#pragma once
// Files dragged between programs: a window that takes dropped files (DragAcceptFiles) gets
// WM_DROPFILES with a drop handle to read the files and the point from, and a window drags files out
// to any program that takes a file list. The toolkit carries both to and from the desktop.
#include <string>
#include <vector>

#include "platform/gui/message_views.h"
#include "platform/gui/window_defs.h"

struct HDROP__;
using HDROP = HDROP__*;

inline constexpr DWORD WS_EX_ACCEPTFILES = 0x00000010;
inline constexpr UINT WM_DROPFILES = 0x0233;

inline constexpr DWORD DROPEFFECT_NONE = 0, DROPEFFECT_COPY = 1, DROPEFFECT_MOVE = 2, DROPEFFECT_LINK = 4;

// WM_DROPFILES: the drop, which the window reads and then frees with DragFinish.
struct TWMDropFiles : MessageView {
    using MessageView::MessageView;
    HDROP Drop() const { return Pointer<HDROP__>(W()); }
};

// Sets or clears WS_EX_ACCEPTFILES.
void DragAcceptFiles(HWND hwnd, BOOL accept);
// With index 0xFFFFFFFF the number of files; else copies the file's path (at most size - 1 bytes and
// a terminating zero) and answers its length; with no buffer only the length. 0 for a freed drop.
UINT DragQueryFile(HDROP drop, UINT index, char* buffer, UINT size);
// Where the files were dropped, in the client coordinates of the window that got them.
BOOL DragQueryPoint(HDROP drop, POINT& point);
void DragFinish(HDROP drop);

// Drags the files out of the window (from a press of the left button) until they are dropped or the
// drag is given up, for any program that takes files (a list of file addresses, text/uri-list): the
// effect the target chose among the allowed ones, DROPEFFECT_NONE when the drag was refused or
// cancelled, or when nobody can drag here (no display).
DWORD DoDragDropFiles(HWND source, const std::vector<std::string>& files, DWORD allowedEffects);

namespace pw::gui {
// For the toolkit: the window of the top-level window host under the screen point that takes files
// (the window there or the nearest one above it with WS_EX_ACCEPTFILES); nullptr when none does.
HWND FileDropTargetAt(HWND host, POINT screen);
// For the toolkit: files dropped at the screen point on host. Posts WM_DROPFILES to the window that
// takes them; false when none does.
bool DropFiles(HWND host, POINT screen, const std::vector<std::string>& files);
} // namespace pw::gui

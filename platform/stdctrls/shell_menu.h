#pragma once
// What the desktop's file managers offer for files on a right click, as a popup menu of the window
// system: open with the default program, open the folder that holds them, copy them to the clipboard,
// move them to the trash (never a plain delete) and their properties.
#include <string>
#include <vector>

#include "platform/gui/window_defs.h"

namespace pw::stdctrls {

inline constexpr UINT kShellOpen = 1, kShellOpenFolder = 2, kShellCopy = 3, kShellTrash = 4,
                      kShellProperties = 5;

// The menu for the files, Open as its default entry; the caller destroys it. Properties is offered
// for one file only.
HMENU CreateShellMenu(const std::vector<std::string>& files);
// Carries out one of the menu's commands on the files; false when it failed for any of them, after
// telling the person why.
bool InvokeShellCommand(HWND owner, UINT command, const std::vector<std::string>& files);
// Shows the menu at the screen point and carries out what the person chooses; answers the command,
// 0 when none was chosen.
UINT ShowShellContextMenu(HWND owner, const std::vector<std::string>& files, POINT screen);
// The properties window of one file: name, folder, size, time of the last change and permissions.
void ShowFileProperties(const std::string& file);

} // namespace pw::stdctrls

namespace stdctrls_text {
inline constexpr const char* kOpen = "&Open";
inline constexpr const char* kOpenFolder = "Open Containing &Folder";
inline constexpr const char* kCopy = "&Copy";
inline constexpr const char* kTrash = "Move to &Trash";
inline constexpr const char* kProperties = "P&roperties";
} // namespace stdctrls_text

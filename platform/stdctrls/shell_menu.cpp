#include "platform/stdctrls/shell_menu.h"

#include "platform/gui/clipboard.h"
#include "platform/gui/menus.h"
#include "platform/rtl/files.h"
#include "platform/rtl/trash.h"
#include "platform/vcl/dialogs.h"
#include "platform/vcl/shell.h"

namespace pw::stdctrls {
namespace {

void Tell(HWND owner, const std::string& text) {
    MessageBox(owner, text, "Error", MB_OK | MB_ICONERROR);
}

bool OpenFiles(HWND owner, const std::vector<std::string>& files) {
    bool all = true;
    for (const std::string& file : files) {
        const int code = ShellOpenDocument(file, "", [owner](const std::string& failed, int) {
            Tell(owner, "No program could open \"" + failed + "\".");
        });
        if (code <= 32) {
            Tell(owner, code == SE_ERR_NOASSOC ? "No program could open \"" + file + "\"."
                                               : "\"" + file + "\" cannot be found.");
            all = false;
        }
    }
    return all;
}

bool CopyFiles(HWND owner, const std::vector<std::string>& files) {
    if (!OpenClipboard(owner)) {
        Tell(owner, "The clipboard is in use by another window.");
        return false;
    }
    EmptyClipboard();
    const bool copied = SetClipboardFiles(files);
    CloseClipboard();
    return copied;
}

bool TrashFiles(HWND owner, const std::vector<std::string>& files) {
    bool all = true;
    for (const std::string& file : files) {
        const pw::rtl::TrashResult result = pw::rtl::MoveToTrash(file);
        if (!result.moved) {
            Tell(owner, "\"" + ExtractFileName(file) +
                            "\" could not be moved to the trash and was left where it is.\n" + result.error);
            all = false;
        }
    }
    return all;
}

} // namespace

HMENU CreateShellMenu(const std::vector<std::string>& files) {
    HMENU menu = CreatePopupMenu();
    const UINT any = files.empty() ? MF_GRAYED : MF_ENABLED;
    AppendMenu(menu, MF_STRING | any, kShellOpen, stdctrls_text::kOpen);
    AppendMenu(menu, MF_STRING | any, kShellOpenFolder, stdctrls_text::kOpenFolder);
    AppendMenu(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenu(menu, MF_STRING | any, kShellCopy, stdctrls_text::kCopy);
    AppendMenu(menu, MF_STRING | any, kShellTrash, stdctrls_text::kTrash);
    AppendMenu(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenu(menu, MF_STRING | (files.size() == 1 ? MF_ENABLED : MF_GRAYED), kShellProperties,
               stdctrls_text::kProperties);
    SetMenuDefaultItem(menu, kShellOpen, FALSE_);
    return menu;
}

bool InvokeShellCommand(HWND owner, UINT command, const std::vector<std::string>& files) {
    if (files.empty()) return false;
    switch (command) {
    case kShellOpen:
        return OpenFiles(owner, files);
    case kShellOpenFolder:
        return OpenFiles(owner, {ExtractFileDir(ExpandFileName(files.front()))});
    case kShellCopy:
        return CopyFiles(owner, files);
    case kShellTrash:
        return TrashFiles(owner, files);
    case kShellProperties:
        ShowFileProperties(files.front());
        return true;
    default:
        return false;
    }
}

UINT ShowShellContextMenu(HWND owner, const std::vector<std::string>& files, POINT screen) {
    HMENU menu = CreateShellMenu(files);
    const UINT command = static_cast<UINT>(
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, screen.x, screen.y, 0, owner, nullptr));
    DestroyMenu(menu);
    if (command != 0) InvokeShellCommand(owner, command, files);
    return command;
}

} // namespace pw::stdctrls

#pragma once
// Opening documents and addresses with the desktop's handler, and the user's folders.
#include <functional>
#include <string>

#include "platform/rtl/paths.h" // DesktopFolder
#include "platform/rtl/wintypes.h"

// Win32 results: above 32 is success; the SE_ERR_* values name the failures.
inline constexpr int SE_ERR_FNF = 2;
inline constexpr int SE_ERR_PNF = 3;
inline constexpr int SE_ERR_ACCESSDENIED = 5;
inline constexpr int SE_ERR_OOM = 8;
inline constexpr int ERROR_BAD_FORMAT = 11;
inline constexpr int SE_ERR_SHARE = 26;
inline constexpr int SE_ERR_ASSOCINCOMPLETE = 27;
inline constexpr int SE_ERR_DDETIMEOUT = 28;
inline constexpr int SE_ERR_DDEFAIL = 29;
inline constexpr int SE_ERR_DDEBUSY = 30;
inline constexpr int SE_ERR_NOASSOC = 31;
inline constexpr int SE_ERR_DLLNOTFOUND = 32;

// Runs on the main thread when a handler that was started ends in failure: what it was to open, and the
// SE_ERR_* code of its exit status.
using TShellFailure = std::function<void(const std::string& File, int Code)>;

// Starts the desktop's handler (xdg-open from PATH) on File, a path or an address, in Directory when
// given, and returns at once without waiting for it: 42 when it was started, else an SE_ERR_* code for
// what is known before it runs (a missing file gives SE_ERR_FNF, a missing folder SE_ERR_PNF, no
// handler SE_ERR_NOASSOC). A handler that fails later is reported to OnFailure, when given.
int ShellOpenDocument(const std::string& File, const std::string& Directory, TShellFailure OnFailure);

// ShellOpenDocument for the "open" operation (or none); any other gives SE_ERR_NOASSOC.
int ShellExecute(HWND Owner, const std::string& Operation, const std::string& File,
                 const std::string& Parameters, const std::string& Directory, int ShowCmd);

inline constexpr int CSIDL_DESKTOP = 0x0000;
inline constexpr int CSIDL_PERSONAL = 0x0005;
inline constexpr int CSIDL_DESKTOPDIRECTORY = 0x0010;
inline constexpr int CSIDL_APPDATA = 0x001A;

// The desktop folder (XDG_DESKTOP_DIR from the user's dirs file) when it exists, else the home folder.
// The folder for a CSIDL value, without a trailing "/"; false for one it does not know.
bool SHGetSpecialFolderPath(HWND Owner, std::string& Path, int Folder, bool Create);

#pragma once
// Opening documents and addresses with the desktop's handler, and the user's folders.
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

// Opens File (a path or an address) with the desktop's handler, xdg-open from PATH, in Directory when
// given. Answers 42 on success, else an SE_ERR_* code: a missing file gives SE_ERR_FNF, a missing folder
// SE_ERR_PNF, an unknown operation or no handler SE_ERR_NOASSOC.
int ShellExecute(HWND Owner, const std::string& Operation, const std::string& File,
                 const std::string& Parameters, const std::string& Directory, int ShowCmd);

inline constexpr int CSIDL_DESKTOP = 0x0000;
inline constexpr int CSIDL_PERSONAL = 0x0005;
inline constexpr int CSIDL_DESKTOPDIRECTORY = 0x0010;
inline constexpr int CSIDL_APPDATA = 0x001A;

// The desktop folder (XDG_DESKTOP_DIR from the user's dirs file) when it exists, else the home folder.
// The folder for a CSIDL value, without a trailing "/"; false for one it does not know.
bool SHGetSpecialFolderPath(HWND Owner, std::string& Path, int Folder, bool Create);

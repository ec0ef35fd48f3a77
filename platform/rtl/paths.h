#pragma once
// Where the program finds its read-only assets and keeps the user's writable files.
#include <string>

// The folder of the running executable, with a trailing "/".
std::string ProgramDir();
// $XDG_CONFIG_HOME/pathweaver/ (else ~/.config/pathweaver/), with a trailing "/"; not created here.
std::string UserConfigDir();
// The user's home folder ($HOME, else the password entry, else "/"), without a trailing "/".
std::string HomeFolder();
// The user's desktop: XDG_DESKTOP_DIR from user-dirs.dirs when that folder exists, else ~/Desktop
// when it exists, else the home folder; without a trailing "/".
std::string DesktopFolder();

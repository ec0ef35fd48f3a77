#pragma once
// Where the program finds its read-only assets and keeps the user's writable files.
#include <string>

// The folder of the running executable, with a trailing "/".
std::string ProgramDir();
// $XDG_CONFIG_HOME/pathweaver/ (else ~/.config/pathweaver/), with a trailing "/"; not created here.
std::string UserConfigDir();

#pragma once
// Loading a window's picture from the program's resources without stopping the window: a picture that
// is missing or cannot be decoded leaves its place empty and is said on the standard error.
#include <string>

class TPicture;

// False when the picture stayed empty.
bool TryLoadPNGResource(const std::string& Name, TPicture& Picture);
bool TryLoadGIFResource(const std::string& Name, TPicture& Picture);

#pragma once
// What the program's command line asks for: the unattended run and the profile to open.
#include <string>
#include <vector>

namespace mainwin {

// "-auto" and "--auto" in any letter case; "/auto" too, unless a file of that name exists.
bool IsAutoSwitch(const std::string& Arg);
bool HasAutoSwitch(const std::vector<std::string>& Args);
// The first argument that names an existing file (not a folder); empty when none does.
std::string FirstExistingFile(const std::vector<std::string>& Args);

} // namespace mainwin

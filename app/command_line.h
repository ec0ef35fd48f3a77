#pragma once
// What the program's command line asks for: the unattended run, the profile to open, help and version.
#include <string>
#include <vector>

namespace mainwin {

// "-auto" and "--auto" in any letter case; "/auto" too, unless a file of that name exists.
bool IsAutoSwitch(const std::string& Arg);
bool HasAutoSwitch(const std::vector<std::string>& Args);
// The first argument that names an existing file (not a folder); empty when none does.
std::string FirstExistingFile(const std::vector<std::string>& Args);

struct TCommandLine {
    bool Auto = false;
    bool Help = false;
    bool Version = false;
    // The first argument that begins with "-" and is none of the switches above.
    std::string UnknownSwitch;
    // The profile to open: the first argument naming an existing file, else the first argument that is
    // no switch (which then cannot be opened, and says why); empty when no profile was named.
    std::string Profile;
};
TCommandLine ParseCommandLine(const std::vector<std::string>& Args);

// The usage text that --help prints.
std::string UsageText();

} // namespace mainwin

#include "app/command_line.h"

#include <sys/stat.h>

#include "platform/rtl/strings.h"

namespace mainwin {
namespace {

bool IsFile(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool IsSwitch(const std::string& arg) {
    return arg.size() > 1 && arg[0] == '-';
}

} // namespace

bool IsAutoSwitch(const std::string& Arg) {
    if (SameText(Arg, "-auto") || SameText(Arg, "--auto")) return true;
    struct stat st {};
    return SameText(Arg, "/auto") && ::stat(Arg.c_str(), &st) != 0;
}

bool HasAutoSwitch(const std::vector<std::string>& Args) {
    for (const auto& arg : Args)
        if (IsAutoSwitch(arg)) return true;
    return false;
}

std::string FirstExistingFile(const std::vector<std::string>& Args) {
    for (const auto& arg : Args)
        if (!IsAutoSwitch(arg) && IsFile(arg)) return arg;
    return {};
}

TCommandLine ParseCommandLine(const std::vector<std::string>& Args) {
    TCommandLine line;
    std::string firstNamed;
    for (const auto& arg : Args) {
        if (IsAutoSwitch(arg)) {
            line.Auto = true;
        } else if (arg == "--help" || arg == "-h") {
            line.Help = true;
        } else if (arg == "--version") {
            line.Version = true;
        } else if (IsSwitch(arg)) {
            if (line.UnknownSwitch.empty()) line.UnknownSwitch = arg;
        } else if (firstNamed.empty() && !arg.empty()) {
            firstNamed = arg;
        }
    }
    line.Profile = FirstExistingFile(Args);
    if (line.Profile.empty()) line.Profile = firstNamed;
    return line;
}

std::string UsageText() {
    return "Usage: pathweaver [profile.qpw]\n"
           "       pathweaver -auto profile.qpw\n"
           "\n"
           "Builds a site map of a web site through a wizard window, opening the profile when one is\n"
           "named. With -auto (also --auto or /auto) the profile is run from start to finish without a\n"
           "person: the pages are gathered, the site map and the XML sitemap are written, and the\n"
           "program ends with status 0 when they were written. -auto also runs without a display.\n"
           "\n"
           "  -h, --help     print this text and exit\n"
           "  --version      print the version and exit\n";
}

} // namespace mainwin

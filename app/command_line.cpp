#include "app/command_line.h"

#include <sys/stat.h>

#include "platform/rtl/strings.h"

namespace mainwin {
namespace {

bool IsFile(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
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
        if (IsFile(arg)) return arg;
    return {};
}

} // namespace mainwin

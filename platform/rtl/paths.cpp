#include "platform/rtl/paths.h"

#include "platform/rtl/exception.h"
#include "platform/rtl/store_io.h"

#include <climits>
#include <cstdlib>
#include <pwd.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

std::string ProgramDir() {
    char buf[PATH_MAX + 1];
    const ssize_t n = ::readlink("/proc/self/exe", buf, PATH_MAX);
    if (n <= 0) return "./";
    std::string path(buf, static_cast<size_t>(n));
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "./" : path.substr(0, slash + 1);
}

std::string UserConfigDir() {
    std::string base;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/') {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        if (!home || !*home) {
            const passwd* pw = ::getpwuid(::getuid());
            home = pw ? pw->pw_dir : "/tmp";
        }
        base = std::string(home) + "/.config";
    }
    if (base.empty() || base.back() != '/') base += '/';
    return base + "pathweaver/";
}

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) return pw->pw_dir;
    return "/";
}

namespace {
bool IsFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string WithoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

// XDG_DESKTOP_DIR="..." of user-dirs.dirs with $HOME expanded (the last such line wins); empty when unset.
std::string ConfiguredDesktop(const std::string& home) {
    std::string dirs;
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config == '/')
        dirs = std::string(config) + "/user-dirs.dirs";
    else
        dirs = WithoutTrailingSlash(home) + "/.config/user-dirs.dirs";
    std::string text;
    try {
        // Read only when it is a regular file: a named pipe in its place must not hold the start up.
        if (!store_io::ReadWholeFile(dirs, text)) return {};
    } catch (const EFOpenError&) {
        return {};
    }
    std::istringstream in(text);
    std::string line, found;
    static const std::string key = "XDG_DESKTOP_DIR=";
    while (std::getline(in, line)) {
        const size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line.compare(start, key.size(), key) != 0) continue;
        std::string value = line.substr(start + key.size());
        while (!value.empty() && (value.back() == ' ' || value.back() == '\t' || value.back() == '\r'))
            value.pop_back();
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        if (value.compare(0, 5, "$HOME") == 0)
            value = WithoutTrailingSlash(home) + value.substr(5);
        else if (value.empty() || value[0] != '/')
            continue;
        found = value;
    }
    return found;
}
} // namespace

std::string DesktopFolder() {
    const std::string home = HomeFolder();
    const std::string configured = WithoutTrailingSlash(ConfiguredDesktop(home));
    if (!configured.empty() && IsFolder(configured)) return configured;
    const std::string fallback = WithoutTrailingSlash(home) + "/Desktop";
    return IsFolder(fallback) ? fallback : WithoutTrailingSlash(home);
}

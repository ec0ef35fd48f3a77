#include "app/core/lm_files.h"

#include "platform/rtl/atomic_file.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/file_stream.h"
#include "platform/rtl/files.h"
#include "platform/rtl/format.h"
#include "platform/rtl/paths.h"
#include "platform/rtl/strings.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <pwd.h>
#include <unistd.h>

namespace {

[[noreturn]] void RaiseInOut(int error) {
    switch (error) {
    case ENOENT:
        throw EInOutError("File not found");
    case EACCES:
    case EPERM:
        throw EInOutError("File access denied");
    default:
        throw EInOutError(Format("I/O error %d", error));
    }
}

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return home;
    if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr)
        return entry->pw_dir;
    return "/";
}

std::string UserDirsFile() {
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config != nullptr && *config == '/')
        return IncludeTrailingPathDelimiter(config) + "user-dirs.dirs";
    return IncludeTrailingPathDelimiter(HomeFolder()) + ".config/user-dirs.dirs";
}

// The value of XDG_DESKTOP_DIR="..." with $HOME expanded; empty when not set.
std::string ConfiguredDesktop(const std::string& home) {
    std::ifstream in(UserDirsFile());
    std::string line;
    std::string found;
    while (std::getline(in, line)) {
        const std::string text = Trim(line);
        static constexpr std::string_view key = "XDG_DESKTOP_DIR=";
        if (text.compare(0, key.size(), key) != 0) continue;
        std::string value = text.substr(key.size());
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        if (value.compare(0, 5, "$HOME") == 0)
            value = ExcludeTrailingPathDelimiter(home) + value.substr(5);
        else if (value.empty() || value[0] != '/')
            continue;
        found = value;
    }
    return found;
}

} // namespace

bool AppendLine(const std::string& Text, const std::string& FileName) {
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(FileName.c_str(), "r+b"), &std::fclose);
    if (!file) RaiseInOut(errno);
    const std::string line = Text + "\r\n";
    if (std::fseek(file.get(), 0, SEEK_END) != 0 ||
        std::fwrite(line.data(), 1, line.size(), file.get()) != line.size())
        RaiseInOut(errno);
    if (std::fclose(file.release()) != 0) RaiseInOut(errno);
    return true;
}

std::string ProgramFolder() {
    return ProgramDir();
}

std::string ModuleFolder() {
    return ProgramDir();
}

std::string IncludeBackslash(const std::string& S) {
    if (S.empty() || S.back() == '/') return S;
    return S + "/";
}

std::string ReadFileText(const std::string& FileName) {
    TFileStream stream(FileName, fmOpenRead);
    std::string text;
    char buffer[65536];
    for (int64_t n; (n = stream.Read(buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<size_t>(n));
    return text;
}

std::string DesktopFolder() {
    const std::string home = HomeFolder();
    std::string desktop = ConfiguredDesktop(home);
    if (!desktop.empty()) desktop = ExcludeTrailingPathDelimiter(desktop);
    if (desktop.empty() || !DirectoryExists(desktop)) return ExcludeTrailingPathDelimiter(home);
    return desktop;
}

bool HasInvalidFileNameChars(const std::string& Name) {
    return Name.find_first_of("\\/:*?\"<>|") != std::string::npos;
}

bool IsFileTypeInList(const std::string& FileName, const std::string& FileTypes) {
    std::string list = LowerCase(FileTypes);
    // A last entry without its ";" counts as well.
    if (!list.empty() && list.back() != ';') list += ';';
    const std::string entry = "*" + LowerCase(ExtractFileExt(FileName)) + ";";
    return list.find(entry) != std::string::npos;
}

bool WriteStringToFile(const std::string& Text, const std::string& FileName) {
    WriteFileAtomically(FileName, Text);
    return true;
}

TDateTime FileDate(const std::string& FileName) {
    std::time_t modified = 0;
    if (!FileAge(FileName, modified)) return Now();
    return FileDateToDateTime(modified);
}

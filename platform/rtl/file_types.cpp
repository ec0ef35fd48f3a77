#include "platform/rtl/file_types.h"

namespace {

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

bool IsFileTypeInList(std::string_view FileName, std::string_view FileTypes) {
    const size_t slash = FileName.find_last_of("/\\");
    const std::string_view name = slash == std::string_view::npos ? FileName : FileName.substr(slash + 1);
    const size_t dot = name.rfind('.');
    const std::string_view extension = dot == std::string_view::npos ? std::string_view() : name.substr(dot);
    // Asked for every scanned file and every link: compared in place, without building either text.
    for (size_t at = FileTypes.find('*'); at != std::string_view::npos; at = FileTypes.find('*', at + 1)) {
        const size_t end = at + 1 + extension.size();
        if (end > FileTypes.size()) break;
        if (end < FileTypes.size() && FileTypes[end] != ';') continue;
        size_t i = 0;
        while (i < extension.size() && AsciiLower(FileTypes[at + 1 + i]) == AsciiLower(extension[i]))
            ++i;
        if (i == extension.size()) return true;
    }
    return false;
}

#include "platform/rtl/file_types.h"

namespace {

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

bool IsFileTypeInList(std::string_view FileName, std::string_view FileTypes) {
    // Asked several times for every scanned file and every link: compared in place, without building
    // either text, and searched a byte at a time (the standard searches call memchr for every byte or
    // every entry, which costs more than the few bytes they look at).
    size_t slash = FileName.size();
    while (slash > 0 && FileName[slash - 1] != '/' && FileName[slash - 1] != '\\')
        --slash;
    const std::string_view name = FileName.substr(slash);
    const size_t dot = name.rfind('.');
    const std::string_view extension = dot == std::string_view::npos ? std::string_view() : name.substr(dot);
    for (size_t at = 0; at < FileTypes.size(); ++at) {
        if (FileTypes[at] != '*') continue;
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

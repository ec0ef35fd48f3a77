#include "app/core/ignore_entries.h"

#include "platform/rtl/strings.h"

std::string WebsiteIgnoreEntry(const std::string& Typed, bool Folder) {
    std::string entry = Trim(Typed);
    const std::string lower = LowerCase(entry);
    size_t scheme = 0;
    if (lower.rfind("http://", 0) == 0)
        scheme = 7;
    else if (lower.rfind("https://", 0) == 0)
        scheme = 8;
    // A scheme alone names no folder or page of a site.
    if (scheme == 0 || entry.size() == scheme || entry[scheme] == '/') return {};
    if (Folder && entry.back() != '/') entry += '/';
    return entry;
}

std::string NormalFileTypes(const std::string& Text) {
    std::string result;
    size_t start = 0;
    while (start <= Text.size()) {
        size_t end = Text.find(';', start);
        if (end == std::string::npos) end = Text.size();
        const std::string entry = Trim(std::string_view(Text).substr(start, end - start));
        if (!entry.empty()) result += entry + ';';
        start = end + 1;
    }
    return result;
}

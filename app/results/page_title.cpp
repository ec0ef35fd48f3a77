#include "app/results/page_title.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "app/core/lm_strings.h"
#include "fetch/html/code_page_tables.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/unicode.h"

namespace results {

namespace {

std::string FromUtf16(std::string_view bytes, bool bigEndian) {
    std::u16string units;
    units.reserve(bytes.size() / 2);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        auto a = static_cast<unsigned char>(bytes[i]);
        auto b = static_cast<unsigned char>(bytes[i + 1]);
        units.push_back(static_cast<char16_t>(bigEndian ? (a << 8 | b) : (b << 8 | a)));
    }
    return Utf16ToUtf8(units);
}

bool IsValidUtf8(std::string_view s) {
    size_t i = 0;
    while (i < s.size()) {
        auto c = static_cast<unsigned char>(s[i]);
        size_t len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (len == 0 || i + len > s.size() || (len == 2 && c < 0xC2)) return false;
        for (size_t k = 1; k < len; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += len;
    }
    return true;
}

// The charset a meta element declares, e.g. <meta charset="koi8-r"> or content="text/html; charset=...".
std::string DeclaredCharset(std::string_view bytes) {
    std::string lower(bytes.substr(0, std::min<size_t>(bytes.size(), 4096)));
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    size_t at = lower.find("charset=");
    if (at == std::string::npos) return {};
    at += 8;
    while (at < lower.size() && (lower[at] == '"' || lower[at] == '\'' || lower[at] == ' '))
        ++at;
    size_t end = at;
    while (end < lower.size() &&
           (std::isalnum(static_cast<unsigned char>(lower[end])) || lower[end] == '-' || lower[end] == '_'))
        ++end;
    return lower.substr(at, end - at);
}

const char16_t* CodePageUnits(const std::string& charset) {
    std::string name = charset;
    // Browsers read these labels as windows-1252.
    if (name.empty() || name == "iso-8859-1" || name == "latin1" || name == "us-ascii" || name == "ascii")
        name = "windows-1252";
    for (size_t i = 0; i < html_tables::kCodePageCount; ++i)
        if (SameText(html_tables::kCodePages[i].name, name)) return html_tables::kCodePages[i].units;
    for (size_t i = 0; i < html_tables::kCodePageCount; ++i)
        if (std::strcmp(html_tables::kCodePages[i].name, "windows-1252") == 0)
            return html_tables::kCodePages[i].units;
    return nullptr;
}

} // namespace

std::string PageTitle(std::string_view FileBytes) {
    std::string text;
    if (FileBytes.size() >= 2 && static_cast<unsigned char>(FileBytes[0]) == 0xFF &&
        static_cast<unsigned char>(FileBytes[1]) == 0xFE) {
        text = FromUtf16(FileBytes.substr(2), false);
    } else if (FileBytes.size() >= 2 && static_cast<unsigned char>(FileBytes[0]) == 0xFE &&
               static_cast<unsigned char>(FileBytes[1]) == 0xFF) {
        text = FromUtf16(FileBytes.substr(2), true);
    } else {
        if (FileBytes.size() >= 3 && FileBytes.substr(0, 3) == "\xEF\xBB\xBF") FileBytes.remove_prefix(3);
        text.assign(FileBytes);
    }
    std::string title;
    TextBetween(text, "<title>", "</title>", title, true);
    if (title.empty() || IsValidUtf8(title)) return title;
    const char16_t* units = CodePageUnits(DeclaredCharset(text));
    std::u16string wide;
    wide.reserve(title.size());
    for (char c : title)
        wide.push_back(units != nullptr ? units[static_cast<unsigned char>(c)] : u'\uFFFD');
    return Utf16ToUtf8(wide);
}

} // namespace results

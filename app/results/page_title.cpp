#include "app/results/page_title.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "app/core/lm_strings.h"
#include "fetch/html/code_page_tables.h"
#include "fetch/html/name_tables.h"
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

namespace {

// The title's character references as the characters they stand for, so a title reads the same as
// one the crawl's parser gives and the writers escape it only once. Unknown references stay as typed.
std::string DecodeReferences(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const size_t semi = text[i] == '&' ? text.find(';', i + 1) : std::string::npos;
        if (semi == std::string::npos || semi - i > 32 || semi == i + 1) {
            out += text[i++];
            continue;
        }
        const std::string name = text.substr(i + 1, semi - i - 1);
        char32_t c = 0;
        if (name[0] == '#') {
            const bool hex = name.size() > 1 && (name[1] == 'x' || name[1] == 'X');
            const size_t digits = hex ? 2 : 1;
            bool ok = name.size() > digits;
            for (size_t k = digits; ok && k < name.size(); ++k) {
                const char d = name[k];
                const int v = d >= '0' && d <= '9'          ? d - '0'
                              : hex && d >= 'a' && d <= 'f' ? d - 'a' + 10
                              : hex && d >= 'A' && d <= 'F' ? d - 'A' + 10
                                                            : -1;
                ok = v >= 0 && c <= 0x10FFFF;
                if (ok) c = c * (hex ? 16 : 10) + static_cast<char32_t>(v);
            }
            if (!ok || c == 0 || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0;
        } else {
            const std::u16string wide = Utf8ToUtf16(name);
            c = HtmlEntityChar(wide.data(), wide.size());
        }
        if (c == 0) {
            out += text[i++];
            continue;
        }
        AppendUtf8(out, c);
        i = semi + 1;
    }
    return out;
}

// The raw text of the first title, as UTF-8.
std::string Title(std::string_view FileBytes) {
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

} // namespace

std::string PageTitle(std::string_view FileBytes) {
    const std::string title = Title(FileBytes);
    return title.find('&') == std::string::npos ? title : DecodeReferences(title);
}

} // namespace results

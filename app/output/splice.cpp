#include "app/output/splice.h"

#include "app/output/output_error.h"
#include "app/output/output_texts.h"
#include "platform/rtl/format.h"

#include <string_view>

namespace {
char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

size_t FindNoCase(std::string_view text, std::string_view sub, size_t from) {
    if (sub.size() > text.size()) return std::string_view::npos;
    for (size_t i = from; i + sub.size() <= text.size(); ++i) {
        size_t k = 0;
        while (k < sub.size() && Lower(text[i + k]) == sub[k])
            ++k;
        if (k == sub.size()) return i;
    }
    return std::string_view::npos;
}
} // namespace

std::string SpliceSiteMap(const std::string& Page, const std::string& ListText, const std::string& PageName) {
    const std::string_view startMarker = output_text::SpliceStart;
    const std::string_view endMarker = output_text::SpliceEnd;
    const size_t start = FindNoCase(Page, startMarker, 0);
    const size_t end = FindNoCase(Page, endMarker, 0);
    if (start == std::string::npos || end == std::string::npos || end < start + startMarker.size())
        throw ESiteMapOutputError(Format(output_text::NoMarkers, PageName.c_str()));
    if (FindNoCase(Page, startMarker, start + 1) != std::string::npos ||
        FindNoCase(Page, endMarker, end + 1) != std::string::npos)
        throw ESiteMapOutputError(Format(output_text::RepeatedMarkers, PageName.c_str()));

    const size_t contentStart = start + startMarker.size();
    std::string result;
    result.reserve(Page.size() + ListText.size() + 2);
    result.append(Page, 0, contentStart);
    result += ListText;
    result += "\r\n";
    result.append(Page, end, std::string::npos);
    return result;
}

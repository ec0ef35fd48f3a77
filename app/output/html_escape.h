#pragma once
// Making outside texts safe for the place they go in a page or sitemap.
#include <string>
#include <string_view>

// Text for HTML content and quoted attribute values: & < > " ' become references; invalid UTF-8 and
// control characters other than tab, CR and LF become U+FFFD.
void AppendHtmlEscaped(std::string& out, std::string_view text);
std::string HtmlEscape(std::string_view text);
// An address with every byte that may not stand in a URI percent-encoded (a blank as %20, UTF-8 bytes
// one by one); reserved characters and valid %XX escapes are kept, so an encoded address stays the same.
void AppendPercentEncodedUrl(std::string& out, std::string_view address);
std::string PercentEncodeUrl(std::string_view address);
// The value of an href: the percent-encoded address with & and ' as references.
void AppendHrefValue(std::string& out, std::string_view address);
// The first of a few characters (set) in text at or after from, or npos. A byte at a time: the standard
// search calls memchr on the set once for every byte of the text, and addresses are searched so by the
// hundred thousand.
inline size_t FindFirstOfFew(std::string_view text, std::string_view set, size_t from = 0) {
    for (size_t i = from; i < text.size(); ++i)
        for (const char c : set)
            if (text[i] == c) return i;
    return std::string_view::npos;
}

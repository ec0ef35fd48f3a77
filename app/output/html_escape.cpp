#include "app/output/html_escape.h"

#include <array>
#include <cstdint>

namespace {
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

constexpr std::array<bool, 256> UriCharTable() {
    std::array<bool, 256> t{};
    for (int c = 'A'; c <= 'Z'; ++c)
        t[c] = true;
    for (int c = 'a'; c <= 'z'; ++c)
        t[c] = true;
    for (int c = '0'; c <= '9'; ++c)
        t[c] = true;
    for (char c : std::string_view("-._~:/?#[]@!$&'()*+,;="))
        t[static_cast<unsigned char>(c)] = true;
    return t;
}
constexpr std::array<bool, 256> kUriChar = UriCharTable();

bool IsHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// Length of the valid UTF-8 sequence at text[i], or 0.
size_t Utf8Length(std::string_view text, size_t i) {
    const auto b0 = static_cast<uint8_t>(text[i]);
    size_t n;
    uint32_t cp;
    if (b0 < 0xC2) return 0;
    if (b0 < 0xE0)
        n = 2, cp = b0 & 0x1F;
    else if (b0 < 0xF0)
        n = 3, cp = b0 & 0x0F;
    else if (b0 < 0xF5)
        n = 4, cp = b0 & 0x07;
    else
        return 0;
    if (i + n > text.size()) return 0;
    for (size_t k = 1; k < n; ++k) {
        const auto b = static_cast<uint8_t>(text[i + k]);
        if ((b & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    const bool overlong = (n == 3 && cp < 0x800) || (n == 4 && cp < 0x10000);
    const bool surrogate = cp >= 0xD800 && cp <= 0xDFFF;
    if (overlong || surrogate || cp > 0x10FFFF) return 0;
    return n;
}
} // namespace

void AppendHtmlEscaped(std::string& out, std::string_view text) {
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const auto byte = static_cast<uint8_t>(c);
        if (byte >= 0x80) {
            const size_t n = Utf8Length(text, i);
            if (n == 0) {
                out += kReplacement;
            } else {
                out.append(text.substr(i, n));
                i += n - 1;
            }
            continue;
        }
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        case '\t':
        case '\r':
        case '\n':
            out += c;
            break;
        default:
            if (byte < 0x20 || byte == 0x7F)
                out += kReplacement;
            else
                out += c;
        }
    }
}

std::string HtmlEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    AppendHtmlEscaped(out, text);
    return out;
}

void AppendPercentEncodedUrl(std::string& out, std::string_view address) {
    static constexpr char hex[] = "0123456789ABCDEF";
    for (size_t i = 0; i < address.size(); ++i) {
        const auto byte = static_cast<uint8_t>(address[i]);
        if (kUriChar[byte]) {
            out += static_cast<char>(byte);
        } else if (byte == '%' && i + 2 < address.size() && IsHex(address[i + 1]) && IsHex(address[i + 2])) {
            out += '%';
        } else {
            out += '%';
            out += hex[byte >> 4];
            out += hex[byte & 0x0F];
        }
    }
}

std::string PercentEncodeUrl(std::string_view address) {
    std::string out;
    out.reserve(address.size() + 8);
    AppendPercentEncodedUrl(out, address);
    return out;
}

void AppendHrefValue(std::string& out, std::string_view address) {
    for (const char c : PercentEncodeUrl(address)) {
        if (c == '&')
            out += "&amp;";
        else if (c == '\'')
            out += "&#39;";
        else
            out += c;
    }
}

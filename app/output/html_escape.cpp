#include "app/output/html_escape.h"

#include "platform/rtl/unicode.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>

namespace {
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// Which bytes each part of an address may hold as they stand (RFC 3986); any other byte is
// percent-encoded. "[" and "]" only ever stand around an IPv6 host, and "#" only once.
enum UriPart { kUserInfo, kHost, kPath, kQuery, kPartCount };

constexpr std::array<std::array<bool, 256>, kPartCount> UriCharTables() {
    std::array<std::array<bool, 256>, kPartCount> t{};
    for (auto& part : t) {
        for (int c = 'A'; c <= 'Z'; ++c)
            part[c] = true;
        for (int c = 'a'; c <= 'z'; ++c)
            part[c] = true;
        for (int c = '0'; c <= '9'; ++c)
            part[c] = true;
        for (char c : std::string_view("-._~!$&'()*+,;="))
            part[static_cast<unsigned char>(c)] = true;
    }
    t[kUserInfo][':'] = true;
    for (char c : std::string_view(":@/"))
        t[kPath][static_cast<unsigned char>(c)] = true;
    for (char c : std::string_view(":@/?"))
        t[kQuery][static_cast<unsigned char>(c)] = true;
    return t;
}
constexpr auto kUriChars = UriCharTables();

bool IsHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

} // namespace

void AppendHtmlEscaped(std::string& out, std::string_view text) {
    const auto plain = [](char c) {
        const auto byte = static_cast<uint8_t>(c);
        return byte >= 0x20 && byte < 0x7F && c != '&' && c != '<' && c != '>' && c != '"' && c != '\'';
    };
    for (size_t i = 0; i < text.size(); ++i) {
        // Text that needs no escaping goes in runs.
        size_t run = i;
        while (run < text.size() && plain(text[run]))
            ++run;
        if (run > i) {
            out.append(text.data() + i, run - i);
            i = run;
            if (i == text.size()) break;
        }
        const char c = text[i];
        const auto byte = static_cast<uint8_t>(c);
        if (byte >= 0x80) {
            char32_t codePoint = 0;
            const size_t n = Utf8SequenceAt(text, i, codePoint);
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

namespace {

void AppendPart(std::string& out, std::string_view text, UriPart part) {
    static constexpr char hex[] = "0123456789ABCDEF";
    const auto& allowed = kUriChars[part];
    for (size_t i = 0; i < text.size(); ++i) {
        // Characters that stand as they are go in runs.
        size_t run = i;
        while (run < text.size() && allowed[static_cast<uint8_t>(text[run])])
            ++run;
        if (run > i) {
            out.append(text.data() + i, run - i);
            i = run;
            if (i == text.size()) break;
        }
        const auto byte = static_cast<uint8_t>(text[i]);
        if (byte == '%' && i + 2 < text.size() && IsHex(text[i + 1]) && IsHex(text[i + 2])) {
            out += '%';
        } else {
            out += '%';
            out += hex[byte >> 4];
            out += hex[byte & 0x0F];
        }
    }
}

// The length of "scheme:" at the start of address, or 0.
size_t SchemeLength(std::string_view address) {
    if (address.empty() || !std::isalpha(static_cast<unsigned char>(address[0]))) return 0;
    for (size_t i = 1; i < address.size(); ++i) {
        const auto c = static_cast<unsigned char>(address[i]);
        if (c == ':') return i + 1;
        if (!std::isalnum(c) && c != '+' && c != '-' && c != '.') return 0;
    }
    return 0;
}

// user@host:port. "@" separates at its last place only; a host in "[ ]" is an IPv6 address; a colon
// followed by anything but digits belongs to the name.
void AppendAuthority(std::string& out, std::string_view authority) {
    const size_t at = authority.rfind('@');
    if (at != std::string_view::npos) {
        AppendPart(out, authority.substr(0, at), kUserInfo);
        out += '@';
        authority.remove_prefix(at + 1);
    }
    const auto isPort = [](std::string_view rest) {
        return rest.starts_with(':') && rest.find_first_not_of("0123456789", 1) == std::string_view::npos;
    };
    const size_t close = authority.starts_with('[') ? authority.find(']') : std::string_view::npos;
    if (close != std::string_view::npos &&
        (close + 1 == authority.size() || isPort(authority.substr(close + 1)))) {
        out += '[';
        AppendPart(out, authority.substr(1, close - 1), kUserInfo);
        out += ']';
        out += authority.substr(close + 1);
        return;
    }
    const size_t colon = authority.rfind(':');
    if (colon != std::string_view::npos && isPort(authority.substr(colon))) {
        AppendPart(out, authority.substr(0, colon), kHost);
        out += authority.substr(colon);
    } else {
        AppendPart(out, authority, kHost);
    }
}

} // namespace

void AppendPercentEncodedUrl(std::string& out, std::string_view address) {
    const size_t scheme = SchemeLength(address);
    out.append(address.substr(0, scheme));
    address.remove_prefix(scheme);
    if (scheme > 0 && address.starts_with("//")) {
        out += "//";
        address.remove_prefix(2);
        const size_t end = std::min(FindFirstOfFew(address, "/?#"), address.size());
        AppendAuthority(out, address.substr(0, end));
        address.remove_prefix(end);
    }
    const size_t fragment = std::min(address.find('#'), address.size());
    const size_t query = std::min(address.substr(0, fragment).find('?'), fragment);
    AppendPart(out, address.substr(0, query), kPath);
    if (query < fragment) {
        out += '?';
        AppendPart(out, address.substr(query + 1, fragment - query - 1), kQuery);
    }
    if (fragment < address.size()) {
        out += '#';
        AppendPart(out, address.substr(fragment + 1), kQuery);
    }
}

std::string PercentEncodeUrl(std::string_view address) {
    std::string out;
    out.reserve(address.size() + 8);
    AppendPercentEncodedUrl(out, address);
    return out;
}

void AppendHrefValue(std::string& out, std::string_view address) {
    // Encoded at the end of out and escaped there: the encoding has no quote, "<" or ">" left.
    const size_t start = out.size();
    AppendPercentEncodedUrl(out, address);
    const size_t special = FindFirstOfFew(out, "&'", start);
    if (special == std::string::npos) return;
    const std::string encoded = out.substr(special);
    out.resize(special);
    for (const char c : encoded) {
        if (c == '&')
            out += "&amp;";
        else if (c == '\'')
            out += "&#39;";
        else
            out += c;
    }
}

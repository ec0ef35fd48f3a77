#include "app/core/lm_strings.h"

#include "platform/rtl/strings.h"

#include <climits>

int CountOccurrences(std::string_view S, std::string_view Sub) {
    if (Sub.empty()) return 0;
    int count = 0;
    for (size_t at = S.find(Sub); at != std::string_view::npos; at = S.find(Sub, at + Sub.size()))
        ++count;
    return count;
}

void TextBetween(std::string_view S, std::string_view StartTag, std::string_view EndTag, std::string& Result,
                 bool IgnoreCase) {
    Result.clear();
    std::string text(S), start(StartTag), end(EndTag);
    if (IgnoreCase) {
        text = LowerCase(text);
        start = LowerCase(start);
        end = LowerCase(end);
    }
    const size_t from = text.find(start);
    const size_t to = text.find(end);
    if (from == std::string::npos || to == std::string::npos) return;
    const size_t first = from + start.size();
    if (to < first) return;
    Result.assign(S.substr(first, to - first));
}

int PosFrom(std::string_view S, std::string_view Sub, int From) {
    if (From <= 1) return Pos(Sub, S);
    if (static_cast<size_t>(From) > S.size()) return 0;
    return Pos(Sub, S.substr(static_cast<size_t>(From) - 1));
}

void SubStr(std::string_view S, int Start, int Count, std::string& Result) {
    Result.clear();
    const long long size = static_cast<long long>(S.size());
    long long start = Start;
    if (start > size) start = 1;
    if (start < 1 || Count < 0 || start - 1 + Count > size) return;
    Result.assign(S.substr(static_cast<size_t>(start - 1), static_cast<size_t>(Count)));
}

void TrimAtNul(std::string& S) {
    const size_t nul = S.find('\0');
    if (nul != std::string::npos) S.resize(nul);
}

void StrLeft(std::string_view S, int N, std::string& Result) {
    Result.assign(S.substr(0, N < 0 ? 0 : static_cast<size_t>(N)));
    TrimAtNul(Result);
}

std::string UrlEncode(std::string_view S) {
    static constexpr std::string_view safe = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789$-_@.&+-!*\"'(),;/#?:><~=%";
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(S.size());
    for (const char c : S) {
        const char upper = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
        if (c != '\0' && safe.find(upper) != std::string_view::npos) {
            out += c;
        } else if (c == ' ') {
            out += '+';
        } else {
            const auto byte = static_cast<unsigned char>(c);
            out += '%';
            out += hex[byte >> 4];
            out += hex[byte & 0x0F];
        }
    }
    return out;
}

std::string XmlEscape(std::string_view S) {
    std::string out;
    out.reserve(S.size());
    for (const char c : S) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '\'':
            out += "&apos;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '<':
            out += "&lt;";
            break;
        default:
            // XML 1.0 has no way to write these control characters, not even as references.
            if (byte < 0x20 && c != '\t' && c != '\n' && c != '\r') break;
            out += c;
        }
    }
    return out;
}

void UrlEncodeXml(std::string_view S, std::string& Result) {
    Result = XmlEscape(UrlEncode(S));
}

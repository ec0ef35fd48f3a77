#include "app/results/site_url.h"

#include <algorithm>
#include <cctype>

namespace results {

namespace {

bool KeptAsIs(unsigned char c) {
    if (std::isalnum(c)) return true;
    switch (c) {
    case '-':
    case '.':
    case '_':
    case '~':
    case '!':
    case '$':
    case '&':
    case '\'':
    case '(':
    case ')':
    case '*':
    case '+':
    case ',':
    case ';':
    case '=':
    case ':':
    case '@':
        return true;
    default:
        return false;
    }
}

} // namespace

std::string EncodePathSegment(std::string_view Segment) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(Segment.size());
    for (size_t i = 0; i < Segment.size(); ++i) {
        auto c = static_cast<unsigned char>(Segment[i]);
        if (c == '%' && i + 2 < Segment.size() && std::isxdigit(static_cast<unsigned char>(Segment[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(Segment[i + 2]))) {
            out += Segment.substr(i, 3);
            i += 2;
        } else if (KeptAsIs(c)) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

std::string SiteUrl(std::string_view Website, std::string_view RelativePath) {
    while (!Website.empty() && Website.back() == '/')
        Website.remove_suffix(1);
    std::string url(Website);
    url += '/';
    size_t start = 0;
    while (start < RelativePath.size()) {
        size_t slash = RelativePath.find('/', start);
        if (slash == std::string_view::npos) {
            url += EncodePathSegment(RelativePath.substr(start));
            break;
        }
        // Empty segments ("a//b") carry no folder of their own.
        if (slash > start) {
            url += EncodePathSegment(RelativePath.substr(start, slash - start));
            url += '/';
        }
        start = slash + 1;
    }
    return url;
}

std::string SiteFolder(std::string_view Website, std::string_view IndexName) {
    const size_t scheme = Website.find("://");
    const size_t path = Website.find('/', scheme == std::string_view::npos ? 0 : scheme + 3);
    if (scheme == std::string_view::npos || path == std::string_view::npos) return std::string(Website);
    const size_t end = std::min(Website.find_first_of("?#", path), Website.size());
    const size_t slash = Website.rfind('/', end - 1);
    const std::string_view last = Website.substr(slash + 1, end - slash - 1);
    const size_t dot = last.rfind('.');
    const bool typed = dot != std::string_view::npos && dot > 0 && dot + 1 < last.size();
    if (last.empty() || (!typed && last != IndexName)) return std::string(Website);
    return std::string(Website.substr(0, slash + 1));
}

} // namespace results

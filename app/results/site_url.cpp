#include "app/results/site_url.h"

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

} // namespace results

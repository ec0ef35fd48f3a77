#include "app/crawl/crawl_address.h"

#include "app/core/lm_strings.h"
#include "fetch/address_functions.h"

namespace crawl {
namespace {

bool StartsWithHttp(std::string_view s) {
    static constexpr std::string_view http = "http";
    if (s.size() < http.size()) return false;
    for (size_t i = 0; i < http.size(); ++i) {
        char c = s[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != http[i]) return false;
    }
    return true;
}

// Where the authority of an address begins and ends (past "://", up to the path, query or fragment);
// false without "://".
bool AuthorityOf(std::string_view URL, size_t& Begin, size_t& End) {
    const size_t scheme = URL.find("://");
    if (scheme == std::string_view::npos) return false;
    Begin = scheme + 3;
    End = URL.find_first_of("/?#", Begin);
    if (End == std::string_view::npos) End = URL.size();
    return true;
}

std::string PercentDecoded(std::string_view s) {
    const auto hex = [](char c) {
        return c >= '0' && c <= '9'                     ? c - '0'
               : (c | 0x20) >= 'a' && (c | 0x20) <= 'f' ? (c | 0x20) - 'a' + 10
                                                        : -1;
    };
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() && hex(s[i + 1]) >= 0 && hex(s[i + 2]) >= 0) {
            out += static_cast<char>(hex(s[i + 1]) * 16 + hex(s[i + 2]));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

} // namespace

std::string SitePrefix(std::string_view SiteBase) {
    std::string user, password;
    const std::string base = SplitUserInfo(SiteBase, user, password);
    size_t begin = 0, end = 0;
    if (!AuthorityOf(base, begin, end)) return {};
    return NormaliseSchemeAndHost(std::string_view(base).substr(0, end));
}

std::string OnSiteForm(std::string_view URL, std::string_view SitePrefix) {
    size_t begin = 0, end = 0;
    if (SitePrefix.empty() || !AuthorityOf(URL, begin, end)) return std::string(URL);
    const std::string_view rest = URL.substr(end);
    const bool hasPath = !rest.empty() && rest[0] == '/';
    if (hasPath && end == SitePrefix.size() && URL.substr(0, end) == SitePrefix) return std::string(URL);
    std::string out(SitePrefix);
    if (!hasPath) out += '/';
    out += rest;
    return out;
}

std::string SplitUserInfo(std::string_view URL, std::string& User, std::string& Password) {
    User.clear();
    Password.clear();
    size_t begin = 0, end = 0;
    if (!AuthorityOf(URL, begin, end)) return std::string(URL);
    const size_t at = URL.substr(begin, end - begin).rfind('@');
    if (at == std::string_view::npos) return std::string(URL);
    const std::string_view info = URL.substr(begin, at);
    const size_t colon = info.find(':');
    User = PercentDecoded(info.substr(0, colon));
    if (colon != std::string_view::npos) Password = PercentDecoded(info.substr(colon + 1));
    return std::string(URL.substr(0, begin)) + std::string(URL.substr(begin + at + 1));
}

std::string WithoutPassword(std::string_view URL) {
    size_t begin = 0, end = 0;
    if (!AuthorityOf(URL, begin, end)) return std::string(URL);
    const size_t at = URL.substr(begin, end - begin).rfind('@');
    if (at == std::string_view::npos) return std::string(URL);
    const size_t colon = URL.substr(begin, at).find(':');
    if (colon == std::string_view::npos) return std::string(URL);
    return std::string(URL.substr(0, begin + colon + 1)) + "***" + std::string(URL.substr(begin + at));
}

std::string EncodeAddress(std::string_view URL) {
    std::string out;
    out.reserve(URL.size() + 8);
    for (size_t from = 0;;) {
        const size_t at = URL.find_first_of(" \"<>", from);
        out += UrlEncode(URL.substr(from, at == std::string_view::npos ? at : at - from));
        if (at == std::string_view::npos) return out;
        switch (URL[at]) {
        case ' ':
            out += "%20";
            break;
        case '"':
            out += "%22";
            break;
        case '<':
            out += "%3C";
            break;
        default:
            out += "%3E";
        }
        from = at + 1;
    }
}

bool IsOnSite(const std::string& URL, const std::string& SiteBase) {
    return IsOnSiteOf(URL, HostKey(SiteBase));
}

bool IsWebAddress(const std::string& URL) {
    return StartsWithHttp(URL) && URL.find("://") != std::string::npos;
}

bool IsOnSiteOf(const std::string& URL, const std::string& SiteKey) {
    // Two texts that do not parse count as the same host, so the form is checked first.
    return IsWebAddress(URL) && HostKey(URL) == SiteKey;
}

std::string NormaliseSchemeAndHost(std::string_view URL) {
    std::string out(URL);
    const size_t scheme = out.find("://");
    if (scheme == std::string::npos) return out;
    size_t end = out.find_first_of("/?#", scheme + 3);
    if (end == std::string::npos) end = out.size();
    for (size_t i = 0; i < end; ++i)
        if (out[i] >= 'A' && out[i] <= 'Z') out[i] = static_cast<char>(out[i] - 'A' + 'a');
    return out;
}

} // namespace crawl

#include "app/crawl/crawl_address.h"

#include "app/core/lm_strings.h"
#include "fetch/address_functions.h"

namespace crawl {
namespace {

bool startsWithHttp(std::string_view s) {
    static constexpr std::string_view http = "http";
    if (s.size() < http.size()) return false;
    for (size_t i = 0; i < http.size(); ++i) {
        char c = s[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != http[i]) return false;
    }
    return true;
}

} // namespace

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
    return startsWithHttp(URL) && URL.find("://") != std::string::npos;
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

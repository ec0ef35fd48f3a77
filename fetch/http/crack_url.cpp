#include "fetch/http/crack_url.h"

#include "platform/net/wininet.h"
#include "platform/rtl/strings.h"

bool CrackURL(const std::string& URL, TUrlParts& Parts) {
    Parts = TUrlParts();
    std::string url = URL.find("://") == std::string::npos ? "http://" + URL : URL;
    if (url.size() > kMaxUrlLength) return false;
    const size_t schemeEnd = url.find("://");
    Parts.Scheme = url.substr(0, schemeEnd);
    if (Parts.Scheme.empty()) return false;
    for (char c : Parts.Scheme)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.') return false;
    std::string rest = url.substr(schemeEnd + 3);
    const size_t pathStart = rest.find_first_of("/?#");
    std::string authority = rest.substr(0, pathStart);
    std::string tail = pathStart == std::string::npos ? std::string() : rest.substr(pathStart);

    const size_t at = authority.rfind('@');
    if (at != std::string::npos) {
        const std::string userInfo = authority.substr(0, at);
        authority = authority.substr(at + 1);
        const size_t colon = userInfo.find(':');
        Parts.User = userInfo.substr(0, colon);
        if (colon != std::string::npos) Parts.Password = userInfo.substr(colon + 1);
    }
    std::string portText;
    if (!authority.empty() && authority[0] == '[') {
        const size_t close = authority.find(']');
        if (close == std::string::npos) return false;
        Parts.Host = authority.substr(1, close - 1);
        const std::string after = authority.substr(close + 1);
        if (!after.empty()) {
            if (after[0] != ':') return false;
            portText = after.substr(1);
        }
    } else {
        const size_t colon = authority.find(':');
        Parts.Host = authority.substr(0, colon);
        if (colon != std::string::npos) portText = authority.substr(colon + 1);
    }
    for (char c : Parts.Host)
        if (static_cast<unsigned char>(c) <= ' ') return false;
    const bool file = SameText(Parts.Scheme, "file");
    if (Parts.Host.empty() && !file) return false;
    if (!portText.empty()) {
        if (portText.size() > 5) return false;
        const int port = StrToIntDef(portText, -1);
        if (port < 0 || port > 65535) return false;
        Parts.Port = static_cast<WORD>(port);
    } else if (SameText(Parts.Scheme, "https")) {
        Parts.Port = INTERNET_DEFAULT_HTTPS_PORT;
    } else if (SameText(Parts.Scheme, "http")) {
        Parts.Port = INTERNET_DEFAULT_HTTP_PORT;
    }
    const size_t extra = tail.find_first_of("?#");
    Parts.Path = tail.substr(0, extra);
    if (extra != std::string::npos) Parts.ExtraInfo = tail.substr(extra);
    return true;
}

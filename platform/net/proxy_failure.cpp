#include "platform/net/proxy_failure.h"

#include "platform/net/curl_library.h"
#include "platform/net/http_request.h"
#include "platform/net/net_texts.h"
#include "platform/net/wininet.h"
#include "platform/rtl/format.h"
#include "platform/rtl/strings.h"

#include <cstdlib>
#include <utility>
#include <vector>

namespace net {
namespace {

// The address without the user name and password it may carry: the reason is shown and logged.
std::string WithoutCredentials(std::string address) {
    const size_t scheme = address.find("://");
    const size_t from = scheme == std::string::npos ? 0 : scheme + 3;
    const size_t end = address.find('/', from);
    const size_t at = address.rfind('@', end == std::string::npos ? std::string::npos : end);
    if (at != std::string::npos && at >= from) address.erase(from, at + 1 - from);
    return address;
}

// The variable that names the proxy of a transfer to url, with its value, as the network library reads
// them: <scheme>_proxy (for http the lower-case name only), then all_proxy; empty ones count as unset.
std::pair<std::string, std::string> EnvironmentProxy(const std::string& url) {
    const std::string scheme = LowerCase(url.substr(0, url.find("://")));
    std::vector<std::string> names{scheme + "_proxy"};
    if (scheme != "http") names.push_back(UpperCase(scheme) + "_PROXY");
    names.insert(names.end(), {"all_proxy", "ALL_PROXY"});
    for (const std::string& name : names) {
        const char* value = std::getenv(name.c_str());
        if (value && *value) return {name, value};
    }
    return {};
}

std::string ProxyName(const RequestSettings& s, const std::string& url) {
    if (s.accessType == INTERNET_OPEN_TYPE_PROXY && !s.proxy.empty()) return WithoutCredentials(s.proxy);
    if (s.accessType == INTERNET_OPEN_TYPE_PRECONFIG) {
        const auto [name, value] = EnvironmentProxy(url);
        if (!name.empty()) return Format(net_text::ProxyNamedBy, WithoutCredentials(value), name);
    }
    return net_text::UnnamedProxy;
}

// Ends with which a tunnel's request may have gone unanswered.
bool TunnelUnanswered(CURLcode code) {
    switch (code) {
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_GOT_NOTHING:
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_COULDNT_CONNECT:
    case CURLE_PROXY:
        return true;
    default:
        return false;
    }
}

} // namespace

std::string ProxyFailure(CURL* handle, CURLcode code, const RequestSettings& settings,
                         const std::string& url) {
    if (code == CURLE_COULDNT_RESOLVE_PROXY) return Format(net_text::ProxyNotFound, ProxyName(settings, url));
    if (!handle || !TunnelUnanswered(code)) return {};
    long tunnel = 0;
    Curl().easy_getinfo(handle, CURLINFO_HTTP_CONNECTCODE, &tunnel);
    if (tunnel == 407) return Format(net_text::ProxyWantsLogin, ProxyName(settings, url));
    if (tunnel >= 300)
        return Format(net_text::ProxyRefused, ProxyName(settings, url), static_cast<int>(tunnel));
    if (tunnel != 0 || !SameText(url.substr(0, 8), "https://")) return {};
    // No tunnel was opened, and yet a request went out before any TLS handshake ended: the tunnel's
    // request, which the proxy left unanswered. (A server fails the handshake itself, and no request
    // goes out to it before that.)
    curl_off_t handshake = 0;
    long sent = 0, heard = 0;
    Curl().easy_getinfo(handle, CURLINFO_APPCONNECT_TIME_T, &handshake);
    Curl().easy_getinfo(handle, CURLINFO_REQUEST_SIZE, &sent);
    Curl().easy_getinfo(handle, CURLINFO_HEADER_SIZE, &heard);
    if (handshake != 0 || sent == 0) return {};
    return Format(heard > 0 ? net_text::ProxyNotHttp : net_text::ProxyClosed, ProxyName(settings, url));
}

} // namespace net

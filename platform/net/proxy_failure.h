#pragma once
// Telling a failure of the proxy from one of the server behind it, and naming the proxy.
#include <curl/curl.h>

#include <string>

namespace net {

struct RequestSettings;

// How the proxy failed the transfer to url that ended with code on handle, naming the proxy (its address
// without credentials, and the variable that names it when it comes from the environment); empty when
// the failure was not the proxy's or cannot be told from the server's.
std::string ProxyFailure(CURL* handle, CURLcode code, const RequestSettings& settings,
                         const std::string& url);

} // namespace net

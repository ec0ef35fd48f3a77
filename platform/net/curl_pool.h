#pragma once
// Process-wide libcurl state: one-time initialisation, the cookie/DNS/TLS-session share, and a pool
// of multi handles so that keep-alive connections outlive the request handles that opened them.
#include <curl/curl.h>

#include <string>

namespace net {

struct CurlPair {
    CURL* easy = nullptr;
    CURLM* multi = nullptr;
};

// A pair ready for a new request (the easy handle reset, not added to its multi handle).
CurlPair AcquireCurlPair();
// Gives the pair back; the pool keeps a few and frees the rest.
void ReleaseCurlPair(CurlPair pair);
CURLSH* SharedCurlState();

void SetCaBundle(const std::string& path);
std::string CaBundle();

} // namespace net

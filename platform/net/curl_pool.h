#pragma once
// Process-wide libcurl state: one-time initialisation, the cookie/DNS/TLS-session share, and a pool
// of multi handles so that keep-alive connections outlive the requests that opened them.
#include <curl/curl.h>

#include <memory>
#include <mutex>
#include <string>

namespace net {

// A multi handle taken from the pool for one request and given back when destroyed, with the
// connections its transfers left open for the next request that takes it.
class PooledMulti {
public:
    PooledMulti();
    ~PooledMulti();
    PooledMulti(const PooledMulti&) = delete;
    PooledMulti& operator=(const PooledMulti&) = delete;
    CURLM* Handle() const { return multi_; }

private:
    CURLM* multi_;
};

struct EasyCleanup {
    void operator()(CURL* easy) const;
};
// An easy handle for one transfer only: one that made a transfer keeps state of it that the library may
// misread in the next (7.88 frees memory twice for an answer whose first header line is a continuation).
using CurlEasy = std::unique_ptr<CURL, EasyCleanup>;
// A new easy handle sharing cookies, names and TLS sessions; empty when none can be made.
CurlEasy NewCurlEasy();

CURLSH* SharedCurlState();
// Keeps every transfer from the shared cookies until released; the holder's own library calls pass.
std::unique_lock<std::recursive_mutex> LockSharedCookies();

void SetCaBundle(const std::string& path);
std::string CaBundle();

} // namespace net

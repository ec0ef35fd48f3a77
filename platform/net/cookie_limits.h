#pragma once
// Bounds on the cookies every request shares, as browsers keep them: a site that sets new cookies on
// every page would otherwise grow the jar without end, and the library matches the whole jar for each
// request. The oldest go first; a cookie set again counts as new.
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/net/curl_pool.h"

namespace net {

// Per host (the domain a cookie is kept for): 150, the most the library sends with one request, so that
// every cookie kept goes out; in all: 3,300, as browsers keep. Past a bound the oldest go down to the
// lower figure (browsers drop 30 and 300 at once), so that the jar is not rebuilt for every new cookie.
inline constexpr size_t kCookiesPerHost = 150;
inline constexpr size_t kCookiesPerHostKept = 120;
inline constexpr size_t kCookiesInAll = 3300;
inline constexpr size_t kCookiesInAllKept = 3000;

class CookieLimits {
public:
    // A Set-Cookie header the library was given (what follows "Set-Cookie:"); from any thread.
    void Noted(std::string_view value);
    // Drops the oldest cookies once the jar may be past a bound; before each transfer, from any thread.
    void Keep();

private:
    struct Cookie;
    void Trim();

    std::mutex lock_;
    // Handle through which the shared jar is listed and refilled, made on the first trim.
    CurlEasy handle_;
    uint64_t serial_ = 0;
    uint64_t trimmedAt_ = 0;
    // Cookies set since the last trim, by name, with when; their count bounds what the jar has gained.
    std::unordered_map<std::string, uint64_t> setSince_;
    size_t setCount_ = 0;
    // As the last trim left the jar: when each cookie was set, the largest count of a host, the count.
    std::unordered_map<std::string, uint64_t> setAt_;
    size_t largestHost_ = 0;
    size_t total_ = 0;
};

// The limits of the jar every request shares.
CookieLimits& SharedCookieLimits();

} // namespace net

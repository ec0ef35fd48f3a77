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
#include <vector>

#include "platform/net/curl_pool.h"

namespace net {

// Per site: a host with the parent domains it shares cookies with. A request carries the cookies of its
// host and of every parent domain set for subdomains, so these count together as browsers count a site's
// cookies; the bound is 150, the most the library sends with one request, so that every cookie kept goes
// out. In all: 3,300, as browsers keep. Past a bound the oldest go down to the lower figure (browsers drop
// 30 and 300 at once), so that the jar is not rebuilt for every new cookie.
inline constexpr size_t kCookiesPerSite = 150;
inline constexpr size_t kCookiesPerSiteKept = 120;
inline constexpr size_t kCookiesInAll = 3300;
inline constexpr size_t kCookiesInAllKept = 3000;

class CookieLimits {
public:
    // A Set-Cookie header the library was given (what follows "Set-Cookie:") in the answer from url; from
    // any thread.
    void Noted(std::string_view value, std::string_view url);
    // Drops the oldest cookies once the jar may be past a bound; before each transfer, from any thread.
    void Keep();

private:
    struct Cookie;
    void Trim();
    // The jar as the library lists it, each cookie with when it was set and its site; under the jar's lock.
    std::vector<Cookie> Listing() const;

    std::mutex lock_;
    // Handle through which the shared jar is listed and refilled, made on the first trim.
    CurlEasy handle_;
    uint64_t serial_ = 0;
    uint64_t trimmedAt_ = 0;
    // Cookies set since the last trim, by domain, path and name, with when; their count bounds what the jar
    // has gained.
    std::unordered_map<std::string, uint64_t> setSince_;
    size_t setCount_ = 0;
    // As the last trim left the jar: when each cookie was set, the largest count of a site, the count.
    std::unordered_map<std::string, uint64_t> setAt_;
    size_t largestSite_ = 0;
    size_t total_ = 0;
};

// The limits of the jar every request shares.
CookieLimits& SharedCookieLimits();

} // namespace net

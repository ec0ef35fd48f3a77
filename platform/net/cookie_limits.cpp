#include "platform/net/cookie_limits.h"

#include "platform/net/curl_library.h"
#include "platform/rtl/strings.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <numeric>
#include <optional>
#include <unordered_set>
#include <vector>

namespace net {

// A cookie as the library lists it: one line of its cookie-file format (domain, whether subdomains
// match, path, secure, expiry or 0 for the session, name, value), fed back as it is to keep the cookie.
struct CookieLimits::Cookie {
    std::string line;
    std::string host;
    std::string key;  // what tells one cookie from another in the jar: host, subdomains, path, name
    std::string site; // the hosts whose requests may carry it count together
    bool subdomains = false;
    uint64_t setAt = 0;
    bool expired = false;
};

namespace {

constexpr size_t kNone = std::string_view::npos;

// A cookie's path as the library matches it: without quotes and a trailing slash; "/" when it names none.
std::string MatchedPath(std::string_view path) {
    if (path.starts_with('"')) path.remove_prefix(1);
    if (path.ends_with('"')) path.remove_suffix(1);
    if (!path.starts_with('/')) return "/";
    if (path.size() > 1 && path.ends_with('/')) path.remove_suffix(1);
    return std::string(path);
}

// What names one cookie in a Set-Cookie header and in the jar alike: its domain, path and name.
std::string SetKey(std::string_view host, std::string_view path, std::string_view name) {
    return LowerCase(host).append("\t").append(MatchedPath(path)).append("\t").append(name);
}

// The host and the path of an address.
void HostAndPath(std::string_view url, std::string_view& host, std::string_view& path) {
    if (const size_t scheme = url.find("://"); scheme != kNone) url.remove_prefix(scheme + 3);
    const size_t end = std::min(url.find_first_of("/?#"), url.size());
    host = url.substr(0, end);
    path = url.substr(end);
    path = path.substr(0, path.find_first_of("?#"));
    if (const size_t at = host.rfind('@'); at != kNone) host.remove_prefix(at + 1);
    host = host.starts_with('[') ? host.substr(1, host.find(']') - 1) : host.substr(0, host.find(':'));
}

// The cookie a Set-Cookie header in the answer from url sets, as the library keeps it: for the domain it
// names or else the host, and for the path it names or else the address's folder.
std::string SetBy(std::string_view value, std::string_view url) {
    std::string_view host, folder;
    HostAndPath(url, host, folder);
    folder = folder.substr(0, folder.rfind('/') + 1);
    const size_t semicolon = value.find(';');
    const std::string name = Trim(value.substr(0, std::min(value.find('='), semicolon)));
    std::string domain;
    std::optional<std::string> path;
    for (size_t from = semicolon; from != kNone;) {
        const size_t next = value.find(';', from + 1);
        const std::string_view attribute = value.substr(from + 1, next == kNone ? kNone : next - from - 1);
        from = next;
        const size_t equals = attribute.find('=');
        const std::string what = Trim(attribute.substr(0, equals));
        const std::string given = equals == kNone ? std::string() : Trim(attribute.substr(equals + 1));
        if (SameText(what, "domain") && !given.empty())
            domain = given.starts_with('.') ? given.substr(1) : given;
        else if (SameText(what, "path"))
            path = given;
    }
    return SetKey(domain.empty() ? host : domain, path ? *path : folder, name);
}

// A line of the listing: false when it is not one the library writes.
bool Listed(std::string_view line, time_t now, std::string& host, std::string& key, std::string& setKey,
            bool& subdomains, bool& expired) {
    std::vector<std::string_view> fields;
    for (size_t from = 0;;) {
        const size_t tab = line.find('\t', from);
        fields.push_back(line.substr(from, tab == kNone ? tab : tab - from));
        if (tab == kNone) break;
        from = tab + 1;
    }
    if (fields.size() < 6) return false;
    std::string_view domain = fields[0];
    if (domain.starts_with("#HttpOnly_")) domain.remove_prefix(10);
    if (domain.starts_with('.')) domain.remove_prefix(1);
    host = LowerCase(domain);
    subdomains = fields[1] == "TRUE";
    key = host;
    for (const std::string_view part : {fields[1], fields[2], fields[5]})
        key.append("\t").append(part);
    setKey = SetKey(host, fields[2], fields[5]);
    const long long expires = std::strtoll(std::string(fields[4]).c_str(), nullptr, 10);
    expired = expires != 0 && expires < now;
    return true;
}

// The site of a host: the shortest of its parent domains (itself among them) whose cookies go to its
// subdomains, as a request to the host carries those, or the host alone. Every cookie a request carries
// is of the site of the request's host.
std::string_view SiteOf(std::string_view host, const std::unordered_set<std::string_view>& parents) {
    for (size_t dot = host.rfind('.'); dot != kNone && dot > 0; dot = host.rfind('.', dot - 1))
        if (parents.contains(host.substr(dot + 1))) return host.substr(dot + 1);
    return host;
}

// The line of a cookie that ends at once: given to the library, it takes the place of the cookie and
// goes with the expired ones. Only the dropped are touched: the others keep their place in the jar.
std::string Expired(const std::string& line) {
    size_t from = 0;
    for (int field = 0; field < 4 && from != kNone; ++field)
        from = line.find('\t', from) + 1;
    const size_t to = line.find('\t', from);
    return line.substr(0, from) + "1" + line.substr(to);
}

} // namespace

void CookieLimits::Noted(std::string_view value, std::string_view url) {
    std::string key = SetBy(value, url);
    std::lock_guard guard(lock_);
    setSince_[std::move(key)] = ++serial_;
    ++setCount_;
}

void CookieLimits::Keep() {
    std::lock_guard guard(lock_);
    // Each cookie set adds one at most: until their count could pass a bound, the jar is not listed.
    if (setCount_ == 0) return;
    if (largestSite_ + setCount_ <= kCookiesPerSite && total_ + setCount_ <= kCookiesInAll) return;
    Trim();
}

std::vector<CookieLimits::Cookie> CookieLimits::Listing() const {
    curl_slist* listing = nullptr;
    Curl().easy_getinfo(handle_.get(), CURLINFO_COOKIELIST, &listing);
    std::vector<Cookie> cookies;
    const time_t now = std::time(nullptr);
    std::string setKey;
    for (const curl_slist* item = listing; item; item = item->next) {
        Cookie& c = cookies.emplace_back();
        c.line = item->data;
        // A line not read is kept, with the cookies of no site.
        if (!Listed(c.line, now, c.host, c.key, setKey, c.subdomains, c.expired)) {
            c.key = c.line;
            setKey.clear();
        }
        const auto again = setSince_.find(setKey);
        const auto before = setAt_.find(c.key);
        c.setAt = again != setSince_.end() ? again->second
                  : before != setAt_.end() ? before->second
                                           : trimmedAt_;
    }
    Curl().slist_free_all(listing);
    std::unordered_set<std::string_view> parents;
    for (const Cookie& c : cookies)
        if (c.subdomains && !c.expired) parents.insert(c.host);
    for (Cookie& c : cookies)
        c.site = SiteOf(c.host, parents);
    return cookies;
}

void CookieLimits::Trim() {
    if (!handle_) handle_ = NewCurlEasy();
    // Nothing to list the jar with: what it was given stands, and the next transfer tries again.
    if (!handle_) return;
    // Held from the listing to the last drop, so that no cookie a transfer sets again meanwhile is dropped.
    const auto jar = LockSharedCookies();
    const std::vector<Cookie> cookies = Listing();

    std::vector<size_t> order(cookies.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return cookies[a].setAt < cookies[b].setAt; });
    std::vector<bool> kept(cookies.size(), true);
    std::unordered_map<std::string, size_t> perSite;
    size_t total = 0;
    for (size_t i = 0; i < cookies.size(); ++i) {
        kept[i] = !cookies[i].expired;
        if (kept[i]) ++perSite[cookies[i].site], ++total;
    }
    const auto droppable = [&](size_t i) { return cookies[i].key != cookies[i].line; };
    std::unordered_map<std::string, size_t> over;
    for (const auto& [site, count] : perSite)
        if (count > kCookiesPerSite) over[site] = count - kCookiesPerSiteKept;
    for (size_t i : order) {
        auto it = over.find(cookies[i].site);
        if (!kept[i] || !droppable(i) || it == over.end() || it->second == 0) continue;
        kept[i] = false;
        --it->second;
        --perSite[cookies[i].site];
        --total;
    }
    if (total > kCookiesInAll) {
        for (size_t i : order) {
            if (total == kCookiesInAllKept) break;
            if (!kept[i] || !droppable(i)) continue;
            kept[i] = false;
            --perSite[cookies[i].site];
            --total;
        }
    }

    for (size_t i = 0; i < cookies.size(); ++i)
        if (!kept[i] && !cookies[i].expired)
            Curl().easy_setopt(handle_.get(), CURLOPT_COOKIELIST, Expired(cookies[i].line).c_str());
    setAt_.clear();
    for (size_t i = 0; i < cookies.size(); ++i)
        if (kept[i]) setAt_[cookies[i].key] = cookies[i].setAt;
    largestSite_ = 0;
    for (const auto& [site, count] : perSite)
        largestSite_ = std::max(largestSite_, count);
    total_ = total;
    setSince_.clear();
    setCount_ = 0;
    trimmedAt_ = serial_;
}

CookieLimits& SharedCookieLimits() {
    // Never torn down: worker threads may still be finishing a transfer at exit.
    static CookieLimits* limits = new CookieLimits;
    return *limits;
}

} // namespace net

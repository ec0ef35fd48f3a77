#include "platform/net/cookie_limits.h"

#include "platform/net/curl_library.h"
#include "platform/rtl/exception.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <ctime>
#include <numeric>
#include <vector>

namespace net {

// A cookie as the library lists it: one line of its cookie-file format (domain, whether subdomains
// match, path, secure, expiry or 0 for the session, name, value), fed back as it is to keep the cookie.
struct CookieLimits::Cookie {
    std::string line;
    std::string host;
    std::string key; // what tells one cookie from another: host, subdomains, path, name
    std::string name;
    uint64_t setAt = 0;
    bool expired = false;
};

namespace {

std::string_view TrimmedName(std::string_view value) {
    value = value.substr(0, value.find_first_of("=;"));
    while (!value.empty() && std::isspace(static_cast<unsigned char>(value.front())))
        value.remove_prefix(1);
    while (!value.empty() && std::isspace(static_cast<unsigned char>(value.back())))
        value.remove_suffix(1);
    return value;
}

bool Listed(std::string_view line, time_t now, std::string& host, std::string& key, std::string& name,
            bool& expired) {
    std::vector<std::string_view> fields;
    for (size_t from = 0;;) {
        const size_t tab = line.find('\t', from);
        fields.push_back(line.substr(from, tab == std::string_view::npos ? tab : tab - from));
        if (tab == std::string_view::npos) break;
        from = tab + 1;
    }
    if (fields.size() < 6) return false;
    std::string_view domain = fields[0];
    if (domain.starts_with("#HttpOnly_")) domain.remove_prefix(10);
    if (domain.starts_with('.')) domain.remove_prefix(1);
    host.assign(domain);
    for (char& ch : host)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    name.assign(fields[5]);
    key = host;
    for (const std::string_view part : {fields[1], fields[2], fields[5]})
        key.append("\t").append(part);
    const long long expires = std::strtoll(std::string(fields[4]).c_str(), nullptr, 10);
    expired = expires != 0 && expires < now;
    return true;
}

// The line of a cookie that ends at once: given to the library, it takes the place of the cookie and
// goes with the expired ones. Only the dropped are touched: the others keep their place in the jar.
std::string Expired(const std::string& line) {
    size_t from = 0;
    for (int field = 0; field < 4 && from != std::string::npos; ++field)
        from = line.find('\t', from) + 1;
    const size_t to = line.find('\t', from);
    return line.substr(0, from) + "1" + line.substr(to);
}

} // namespace

void CookieLimits::Noted(std::string_view value) {
    std::string name(TrimmedName(value));
    std::lock_guard guard(lock_);
    setSince_[std::move(name)] = ++serial_;
    ++setCount_;
}

void CookieLimits::Keep() {
    std::lock_guard guard(lock_);
    // Each cookie set adds one at most: until their count could pass a bound, the jar is not listed.
    if (setCount_ == 0) return;
    if (largestHost_ + setCount_ <= kCookiesPerHost && total_ + setCount_ <= kCookiesInAll) return;
    try {
        Trim();
    } catch (const Exception&) {
        // No handle to list the jar with: the transfer about to start meets the same fault and says so.
    }
}

void CookieLimits::Trim() {
    if (!handle_) handle_ = NewCurlEasy();
    // Held from the listing to the last drop, so that no cookie a transfer sets again meanwhile is dropped.
    const auto jar = LockSharedCookies();
    curl_slist* listing = nullptr;
    Curl().easy_getinfo(handle_.get(), CURLINFO_COOKIELIST, &listing);
    std::vector<Cookie> cookies;
    const time_t now = std::time(nullptr);
    for (const curl_slist* item = listing; item; item = item->next) {
        Cookie& c = cookies.emplace_back();
        c.line = item->data;
        // A line not read is kept, with the cookies of no host.
        if (!Listed(c.line, now, c.host, c.key, c.name, c.expired)) c.key = c.line;
        const auto again = setSince_.find(c.name);
        const auto before = setAt_.find(c.key);
        c.setAt = again != setSince_.end() ? again->second
                  : before != setAt_.end() ? before->second
                                           : trimmedAt_;
    }
    Curl().slist_free_all(listing);

    std::vector<size_t> order(cookies.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return cookies[a].setAt < cookies[b].setAt; });
    std::vector<bool> kept(cookies.size(), true);
    std::unordered_map<std::string, size_t> perHost;
    size_t total = 0;
    for (size_t i = 0; i < cookies.size(); ++i) {
        kept[i] = !cookies[i].expired;
        if (kept[i]) ++perHost[cookies[i].host], ++total;
    }
    const auto droppable = [&](size_t i) { return cookies[i].key != cookies[i].line; };
    std::unordered_map<std::string, size_t> over;
    for (const auto& [host, count] : perHost)
        if (count > kCookiesPerHost) over[host] = count - kCookiesPerHostKept;
    for (size_t i : order) {
        auto it = over.find(cookies[i].host);
        if (!kept[i] || !droppable(i) || it == over.end() || it->second == 0) continue;
        kept[i] = false;
        --it->second;
        --perHost[cookies[i].host];
        --total;
    }
    if (total > kCookiesInAll) {
        for (size_t i : order) {
            if (total == kCookiesInAllKept) break;
            if (!kept[i] || !droppable(i)) continue;
            kept[i] = false;
            --perHost[cookies[i].host];
            --total;
        }
    }

    for (size_t i = 0; i < cookies.size(); ++i)
        if (!kept[i] && !cookies[i].expired)
            Curl().easy_setopt(handle_.get(), CURLOPT_COOKIELIST, Expired(cookies[i].line).c_str());
    setAt_.clear();
    for (size_t i = 0; i < cookies.size(); ++i)
        if (kept[i]) setAt_[cookies[i].key] = cookies[i].setAt;
    largestHost_ = 0;
    for (const auto& [host, count] : perHost)
        largestHost_ = std::max(largestHost_, count);
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

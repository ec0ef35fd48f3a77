#include "platform/net/plain_http.h"

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <netinet/in.h>
#include <unistd.h>
#include <unordered_map>
#include <vector>

namespace net::plain {
namespace {

using Clock = std::chrono::steady_clock;
// As long as the library keeps a resolved name, and a little less than it keeps an idle connection.
constexpr auto kAddressLife = std::chrono::seconds(60);
constexpr auto kIdleLife = std::chrono::seconds(118);
constexpr size_t kMostIdle = 8;
// A chunk's size line or a trailer line longer than this is no HTTP.
constexpr size_t kLongestLine = 8192;

std::atomic<bool> allowed{true};
std::atomic<bool> cookiesSeen{false};
std::atomic<uint64_t> sent{0};

struct Address {
    sockaddr_storage address{};
    socklen_t length = 0;
    Clock::time_point until{};
};

struct Idle {
    std::string key;
    int fd = -1;
    Clock::time_point since{};
};

struct State {
    std::mutex lock;
    std::unordered_map<std::string, Address> addresses;
    std::vector<Idle> idle;
};

State& Shared() {
    // Never torn down: a worker may hand back a connection while the program exits.
    static State* state = new State;
    return *state;
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsHex(char c, int& value) {
    if (c >= '0' && c <= '9')
        value = c - '0';
    else if (c >= 'a' && c <= 'f')
        value = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        value = c - 'A' + 10;
    else
        return false;
    return true;
}

} // namespace

bool Split(std::string_view url, Target& out) {
    constexpr std::string_view scheme = "http://";
    if (url.size() < scheme.size()) return false;
    for (size_t i = 0; i < scheme.size(); ++i)
        if (Lower(url[i]) != scheme[i]) return false;
    url.remove_prefix(scheme.size());
    const size_t end = url.find_first_of("/?#");
    const std::string_view authority = url.substr(0, end);
    std::string_view rest = end == std::string_view::npos ? std::string_view() : url.substr(end);
    if (authority.empty() || authority.find('@') != std::string_view::npos) return false;
    std::string_view host = authority, port;
    if (authority[0] == '[') {
        const size_t close = authority.find(']');
        if (close == std::string_view::npos) return false;
        host = authority.substr(0, close + 1);
        const std::string_view after = authority.substr(close + 1);
        if (!after.empty()) {
            if (after[0] != ':') return false;
            port = after.substr(1);
        }
    } else if (const size_t colon = authority.find(':'); colon != std::string_view::npos) {
        host = authority.substr(0, colon);
        port = authority.substr(colon + 1);
    }
    if (host.empty() || host == "[]") return false;
    long number = 80;
    if (!port.empty()) {
        if (port.size() > 5 ||
            !std::all_of(port.begin(), port.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return false;
        number = std::strtol(std::string(port).c_str(), nullptr, 10);
        if (number < 1 || number > 65535) return false;
    }
    out.key.clear();
    for (char c : host)
        out.key += Lower(c);
    out.key += ':' + std::to_string(number);
    out.host.assign(host);
    if (number != 80) out.host += ':' + std::to_string(number);
    rest = rest.substr(0, rest.find('#'));
    out.path.clear();
    if (rest.empty() || rest[0] != '/') out.path = '/';
    out.path += rest;
    return true;
}

bool Allowed() {
    return allowed.load(std::memory_order_relaxed);
}

void ResetForTests(bool value) {
    allowed = value;
    cookiesSeen = false;
    State& s = Shared();
    std::lock_guard guard(s.lock);
    s.addresses.clear();
}

uint64_t SentCount() {
    return sent.load(std::memory_order_relaxed);
}

void CountSent() {
    sent.fetch_add(1, std::memory_order_relaxed);
}

bool ProxyInEnvironment() {
    // Read once, as the names the library looks at for an http:// address.
    static const bool named = [] {
        for (const char* name : {"http_proxy", "all_proxy", "ALL_PROXY"}) {
            const char* value = std::getenv(name);
            if (value != nullptr && *value != '\0') return true;
        }
        return false;
    }();
    return named;
}

bool CookiesSeen() {
    return cookiesSeen.load(std::memory_order_acquire);
}

void SawCookies() {
    cookiesSeen.store(true, std::memory_order_release);
}

// Ip as a socket address with Port; false for anything but a plain IPv4 or IPv6 address.
bool Numeric(const char* ip, long port, Address& a) {
    if (port < 1 || port > 65535) return false;
    if (auto* v4 = reinterpret_cast<sockaddr_in*>(&a.address); inet_pton(AF_INET, ip, &v4->sin_addr) == 1) {
        v4->sin_family = AF_INET;
        v4->sin_port = htons(static_cast<uint16_t>(port));
        a.length = sizeof(sockaddr_in);
        return true;
    }
    if (auto* v6 = reinterpret_cast<sockaddr_in6*>(&a.address);
        inet_pton(AF_INET6, ip, &v6->sin6_addr) == 1) {
        v6->sin6_family = AF_INET6;
        v6->sin6_port = htons(static_cast<uint16_t>(port));
        a.length = sizeof(sockaddr_in6);
        return true;
    }
    return false; // a name, or a scoped address: the library goes there itself
}

void LearnAddress(const std::string& key, const char* ip, long port) {
    Address a;
    if (ip == nullptr || !Numeric(ip, port, a)) return;
    a.until = Clock::now() + kAddressLife;
    State& s = Shared();
    std::lock_guard guard(s.lock);
    s.addresses[key] = a;
}

bool AddressOf(const std::string& key, sockaddr_storage& address, socklen_t& length) {
    // The key is the host (an IPv6 address in brackets) and the port.
    const size_t colon = key.rfind(':');
    std::string host = key.substr(0, colon);
    if (host.size() > 2 && host.front() == '[' && host.back() == ']') host = host.substr(1, host.size() - 2);
    Address literal;
    if (colon != std::string::npos &&
        Numeric(host.c_str(), std::strtol(key.c_str() + colon + 1, nullptr, 10), literal)) {
        address = literal.address;
        length = literal.length;
        return true;
    }
    State& s = Shared();
    std::lock_guard guard(s.lock);
    const auto found = s.addresses.find(key);
    if (found == s.addresses.end()) return false;
    if (Clock::now() >= found->second.until) {
        s.addresses.erase(found);
        return false;
    }
    address = found->second.address;
    length = found->second.length;
    return true;
}

void ForgetAddress(const std::string& key) {
    State& s = Shared();
    std::lock_guard guard(s.lock);
    s.addresses.erase(key);
}

int TakeIdle(const std::string& key) {
    State& s = Shared();
    const auto now = Clock::now();
    for (;;) {
        int fd = -1;
        bool fresh = false;
        {
            std::lock_guard guard(s.lock);
            const auto found =
                std::find_if(s.idle.rbegin(), s.idle.rend(), [&](const Idle& i) { return i.key == key; });
            if (found == s.idle.rend()) return -1;
            fd = found->fd;
            fresh = now - found->since < kIdleLife;
            s.idle.erase(std::next(found).base());
        }
        // Not looked at before it is used: one the server has closed meanwhile, or that brought bytes
        // nobody asked for, fails before its answer, and the request goes again on a new connection.
        if (fresh) return fd;
        ::close(fd);
    }
}

void KeepIdle(const std::string& key, int fd) {
    State& s = Shared();
    int dropped = -1;
    {
        std::lock_guard guard(s.lock);
        if (s.idle.size() >= kMostIdle) {
            dropped = s.idle.front().fd;
            s.idle.erase(s.idle.begin());
        }
        s.idle.push_back(Idle{key, fd, Clock::now()});
    }
    if (dropped >= 0) ::close(dropped);
}

void BodyDecoder::Start(Kind kind, int64_t length) {
    kind_ = kind;
    left_ = length;
    line_.clear();
    switch (kind) {
    case Kind::None:
        state_ = State::Done;
        break;
    case Kind::Length:
        state_ = length > 0 ? State::Data : State::Done;
        break;
    case Kind::Chunked:
        state_ = State::Size;
        break;
    case Kind::UntilClose:
        state_ = State::Raw;
        break;
    }
}

size_t BodyDecoder::Feed(const char* data, size_t n, std::string& out) {
    size_t at = 0;
    // Takes one line into line_; true once it is whole (its end taken, "\r" dropped).
    const auto takeLine = [&]() -> bool {
        while (at < n) {
            const char c = data[at++];
            if (c == '\n') {
                if (!line_.empty() && line_.back() == '\r') line_.pop_back();
                return true;
            }
            if (line_.size() >= kLongestLine) {
                state_ = State::Bad;
                return false;
            }
            line_ += c;
        }
        return false;
    };
    while (at < n) {
        switch (state_) {
        case State::Done:
        case State::Bad:
            return at;
        case State::Raw:
            out.append(data + at, n - at);
            return n;
        case State::Data: {
            const size_t take = static_cast<size_t>(std::min<int64_t>(left_, static_cast<int64_t>(n - at)));
            out.append(data + at, take);
            at += take;
            left_ -= static_cast<int64_t>(take);
            if (left_ == 0) state_ = kind_ == Kind::Chunked ? State::DataEnd : State::Done;
            break;
        }
        case State::Size: {
            if (!takeLine()) break;
            std::string_view text(line_);
            text = text.substr(0, text.find(';'));
            while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
                text.remove_suffix(1);
            while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
                text.remove_prefix(1);
            int64_t size = 0;
            int digit = 0;
            bool any = false;
            for (char c : text) {
                if (!IsHex(c, digit) || size > (int64_t{1} << 56)) {
                    state_ = State::Bad;
                    return at;
                }
                size = size * 16 + digit;
                any = true;
            }
            line_.clear();
            if (!any) {
                state_ = State::Bad;
                return at;
            }
            left_ = size;
            state_ = size == 0 ? State::Trailer : State::Data;
            break;
        }
        case State::DataEnd:
            if (!takeLine()) break;
            if (!line_.empty()) {
                state_ = State::Bad;
                return at;
            }
            state_ = State::Size;
            break;
        case State::Trailer:
            if (!takeLine()) break;
            if (line_.empty()) state_ = State::Done;
            line_.clear();
            break;
        }
    }
    return at;
}

} // namespace net::plain

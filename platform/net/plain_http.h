#pragma once
// Plain HTTP/1.1 over a kept connection, for the requests that need nothing more: a GET of an http://
// address with no proxy, no credentials and no cookies in play. A crawl sends thousands of these, and
// the network library's own work for each (parsing the address again, building its headers, its locks
// and polls) costs more than the answer itself. Anything else, and the first request to each server
// (whose name the library resolves, and whose address it learns here), goes through the library.
#include <cstdint>
#include <string>
#include <string_view>
#include <sys/socket.h>

namespace net::plain {

// An http:// address split for sending: the server's key (host and port, as the pools know it), the
// Host header's value and the path with its query (fragment dropped). False for any other scheme and
// for an address with user information (the library sends that as credentials).
struct Target {
    std::string key;
    std::string host;
    std::string path;
};
bool Split(std::string_view url, Target& out);

// Whether the plain way may be taken at all (tests turn it off), and whether the environment names a
// proxy (the library would use it).
bool Allowed();
bool ProxyInEnvironment();
// For tests: whether it may be taken, forgetting the cookies seen and the addresses learned; and how many
// requests went the plain way.
void ResetForTests(bool allowed);
uint64_t SentCount();
void CountSent();

// Once any answer set a cookie, requests that send cookies go through the library, which keeps them.
bool CookiesSeen();
void SawCookies();

// The address the library connected to for a server, kept as long as the library keeps a name (60 s).
void LearnAddress(const std::string& key, const char* ip, long port);
// The address to connect to: one written as numbers needs no lookup; for a name, the one learned.
bool AddressOf(const std::string& key, sockaddr_storage& address, socklen_t& length);
void ForgetAddress(const std::string& key);

// Idle kept connections by server. Take answers -1 when there is none still open.
int TakeIdle(const std::string& key);
void KeepIdle(const std::string& key, int fd);

// The bytes of a body as its framing gives them: a length, chunks, or all until the connection closes.
class BodyDecoder {
public:
    enum class Kind { None, Length, Chunked, UntilClose };
    void Start(Kind kind, int64_t length = 0);
    // Takes n bytes of the connection's stream and appends the body's bytes among them to out; answers
    // how many were taken (fewer once the body has ended: the rest belongs to the next answer).
    size_t Feed(const char* data, size_t n, std::string& out);
    bool Done() const { return state_ == State::Done; }
    bool Bad() const { return state_ == State::Bad; }
    Kind Framing() const { return kind_; }

private:
    enum class State { Size, Data, DataEnd, Trailer, Raw, Done, Bad };
    Kind kind_ = Kind::None;
    State state_ = State::Done;
    int64_t left_ = 0;
    std::string line_;
};

} // namespace net::plain

// The plain way of HttpRequest (plain_http.h): the same answers, statuses and errors as the library's.
#include "platform/net/http_request.h"
#include "platform/net/wininet.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/wait_policy.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <string_view>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

namespace net {
namespace {

using Clock = std::chrono::steady_clock;
constexpr size_t kReceiveSize = 16 * 1024;
// How long a wait goes without a look at the cancel flag and the limits.
constexpr int kLookEveryMs = 100;
// A redirect's body is read to keep its connection when it is no larger than this.
constexpr size_t kLargestDrain = 64 * 1024;

std::string_view Trimmed(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ')
        s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ')
        s.remove_suffix(1);
    return s;
}

std::string_view NameOf(std::string_view line) {
    const size_t colon = line.find(':');
    return colon == std::string_view::npos ? std::string_view() : Trimmed(line.substr(0, colon));
}

// Whether a comma-separated header value holds Token.
bool HasToken(std::string_view value, std::string_view token) {
    while (!value.empty()) {
        const size_t comma = value.find(',');
        if (SameText(Trimmed(value.substr(0, comma)), token)) return true;
        if (comma == std::string_view::npos) break;
        value.remove_prefix(comma + 1);
    }
    return false;
}

} // namespace

bool HttpRequest::PlainEligible(const std::vector<std::string>& headers, const std::string& body) const {
    const RequestSettings& s = settings_;
    if (!plain::Allowed() || s.verb != "GET" || !body.empty()) return false;
    if (s.accessType == INTERNET_OPEN_TYPE_PROXY ||
        (s.accessType != INTERNET_OPEN_TYPE_DIRECT && plain::ProxyInEnvironment()))
        return false;
    if (!(s.flags & INTERNET_FLAG_NO_AUTH) && (!s.user.empty() || !s.password.empty())) return false;
    if (!(s.flags & INTERNET_FLAG_NO_COOKIES) && plain::CookiesSeen()) return false;
    if (s.url.size() < 7 || !SameText(std::string_view(s.url).substr(0, 7), "http://")) return false;
    // Lines the library would treat as its own (replacing, dropping or moving them) are left to it.
    for (const std::string& line : headers) {
        if (line == "Expect:") continue;
        const std::string_view name = NameOf(line);
        if (name.empty() || Trimmed(std::string_view(line).substr(line.find(':') + 1)).empty()) return false;
        for (const char* own :
             {"Host", "User-Agent", "Referer", "Cookie", "Authorization", "Connection", "Transfer-Encoding",
              "Content-Length", "Expect", "TE", "Accept-Encoding", "Proxy-Connection", "Proxy-Authorization"})
            if (SameText(name, own)) return false;
    }
    return true;
}

void HttpRequest::ComposePlain(const plain::Target& target, const std::vector<std::string>& headers) {
    const RequestSettings& s = settings_;
    std::string& r = request_text_;
    r.clear();
    r.append("GET ").append(target.path).append(" HTTP/1.1\r\nHost: ").append(target.host).append("\r\n");
    r.append("User-Agent: ").append(s.agent.empty() ? "Pathweaver/4.5" : s.agent).append("\r\n");
    if (std::none_of(headers.begin(), headers.end(),
                     [](const std::string& line) { return SameText(NameOf(line), "Accept"); }))
        r.append("Accept: */*\r\n");
    if (!s.referer.empty()) r.append("Referer: ").append(s.referer).append("\r\n");
    for (const std::string& line : headers)
        if (line != "Expect:") r.append(line).append("\r\n");
    r.append("\r\n");
}

int HttpRequest::ConnectPlain(const plain::Target& target) {
    sockaddr_storage address{};
    socklen_t length = 0;
    if (!plain::AddressOf(target.key, address, length)) return 0;
    fd_ = ::socket(address.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd_ < 0) return 0;
    const int on = 1;
    ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    // Once connected the socket blocks in a receive for up to the time between looks at the cancel
    // flag and the limits: a wait for an answer is then the receive itself, without a poll before it.
    // Every other call on it says it must not wait.
    const timeval look{0, kLookEveryMs * 1000};
    ::setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &look, sizeof look);
    if (::connect(fd_, reinterpret_cast<const sockaddr*>(&address), length) != 0 && errno != EINPROGRESS) {
        ReleasePlain(false);
        plain::ForgetAddress(target.key);
        return 0;
    }
    const DWORD limit = settings_.connectTimeoutMs ? settings_.connectTimeoutMs : kDefaultConnectTimeoutMs;
    const int ready = WaitPlain(POLLOUT, Clock::now() + std::chrono::milliseconds(limit));
    if (ready <= 0) {
        if (ready == 0) last_error_ = ERROR_INTERNET_TIMEOUT;
        ReleasePlain(false);
        return -1;
    }
    int error = 0;
    socklen_t size = sizeof error;
    if (::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &size) != 0 || error != 0) {
        // Refused, or no route: the library tries the name's other addresses and says what went wrong.
        ReleasePlain(false);
        plain::ForgetAddress(target.key);
        return 0;
    }
    const int flags = ::fcntl(fd_, F_GETFL);
    if (flags < 0 || ::fcntl(fd_, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        last_error_ = ERROR_INTERNET_CANNOT_CONNECT;
        ReleasePlain(false);
        return -1;
    }
    return 1;
}

bool HttpRequest::WritePlain() {
    size_t sent = 0;
    while (sent < request_text_.size()) {
        const ssize_t n = ::send(fd_, request_text_.data() + sent, request_text_.size() - sent,
                                 MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            sent += static_cast<size_t>(n);
            moved_ += n;
            Touch();
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (WaitPlain(POLLOUT, Clock::time_point::max()) < 0) return false;
            continue;
        }
        last_error_ = ERROR_INTERNET_CONNECTION_RESET;
        return false;
    }
    return true;
}

bool HttpRequest::GoOnPlain() {
    if (cancel_ && cancel_->load()) {
        last_error_ = ERROR_INTERNET_OPERATION_CANCELLED;
        return false;
    }
    const auto stall = std::chrono::milliseconds(settings_.stallTimeoutMs ? settings_.stallTimeoutMs
                                                                          : kDefaultStallTimeoutMs);
    if (const DWORD error = Slowness(stall)) {
        last_error_ = error;
        return false;
    }
    return true;
}

int HttpRequest::WaitPlain(short events, Clock::time_point deadline, bool forAnswer) {
    for (;;) {
        if (!GoOnPlain()) return -1;
        const auto now = Clock::now();
        if (now >= deadline) return 0;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now).count();
        const int timeout = static_cast<int>(std::clamp<long long>(left, 1, kLookEveryMs));
        pollfd p{fd_, events, 0};
        const auto start = TWaitPolicy::Clock::now();
        // As the library's way waits: a look first only while the server keeps answering at once.
        // Only the wait for the server's answer follows its pace: the rest of a body, or a connection
        // taken at once, says nothing of how soon the next answer comes.
        TWaitPolicy& policy = ServerWait();
        bool ready = forAnswer && policy.Watches(start) && policy.Watch([&] { return ::poll(&p, 1, 0) > 0; });
        if (!ready) ready = ::poll(&p, 1, timeout) > 0;
        if (forAnswer) policy.Answered(start, TWaitPolicy::Clock::now());
        if (ready) return 1;
    }
}

long HttpRequest::ReceivePlain(Clock::time_point deadline, bool tryFirst, bool& timedOut) {
    timedOut = false;
    if (raw_pos_ > 0 && raw_pos_ == raw_.size()) {
        raw_.clear();
        raw_pos_ = 0;
    }
    // A body's next bytes are often there already; an answer just asked for never is.
    const bool forAnswer = !tryFirst;
    bool wait = !tryFirst;
    TWaitPolicy& policy = ServerWait();
    for (;;) {
        int flags = MSG_DONTWAIT;
        if (wait) {
            // Asleep in the receive itself, unless the wait has a deadline of its own or watches first.
            if (deadline == Clock::time_point::max() &&
                !(forAnswer && policy.Watches(TWaitPolicy::Clock::now()))) {
                if (!GoOnPlain()) return -1;
                flags = 0;
            } else {
                const int ready = WaitPlain(POLLIN, deadline, forAnswer);
                if (ready <= 0) {
                    timedOut = ready == 0;
                    return -1;
                }
            }
        }
        wait = true;
        thread_local char received[kReceiveSize];
        const auto start = TWaitPolicy::Clock::now();
        const ssize_t n = ::recv(fd_, received, kReceiveSize, flags);
        if (flags == 0 && forAnswer) policy.Answered(start, TWaitPolicy::Clock::now());
        if (n > 0) {
            raw_.append(received, static_cast<size_t>(n));
            moved_ += n;
            Touch();
            return static_cast<long>(n);
        }
        if (n == 0) return 0;
        if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) continue;
        last_error_ = ERROR_INTERNET_CONNECTION_RESET;
        return -1;
    }
}

int HttpRequest::ReadHeadPlain() {
    bool timedOut = false;
    size_t scanned = 0; // of the bytes after raw_pos_
    for (;;) {
        // The block ends at its first empty line ("\r\n\r\n", or bare line feeds).
        size_t end = std::string::npos;
        for (size_t i = raw_pos_ + std::max<size_t>(scanned, 1); i < raw_.size(); ++i) {
            if (raw_[i] != '\n') continue;
            if (raw_[i - 1] == '\n' || (raw_[i - 1] == '\r' && i >= raw_pos_ + 2 && raw_[i - 2] == '\n')) {
                end = i + 1;
                break;
            }
        }
        if (end != std::string::npos) {
            std::string_view block(raw_.data() + raw_pos_, end - raw_pos_);
            raw_pos_ = end;
            bool first = true;
            while (!block.empty()) {
                const size_t eol = block.find('\n');
                std::string_view line = block.substr(0, eol);
                block.remove_prefix(eol + 1);
                if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
                if (first) {
                    first = false;
                    if (line.size() < 5 || !SameText(line.substr(0, 5), "HTTP/")) {
                        last_error_ = ERROR_INTERNET_BAD_RESPONSE;
                        return -1;
                    }
                    status_line_.assign(line);
                    header_lines_.clear();
                    if (++blocks_ == 1) Report(INTERNET_STATUS_RECEIVING_RESPONSE, "");
                    const size_t sp = status_line_.find(' ');
                    status_code_ =
                        sp == std::string::npos ? 0 : StrToIntDef(status_line_.substr(sp + 1, 3), 0);
                    continue;
                }
                if (line.empty()) break;
                if ((line[0] == ' ' || line[0] == '\t') && !header_lines_.empty())
                    header_lines_.back() += " " + Trim(std::string(line));
                else
                    header_lines_.emplace_back(line);
            }
            return 1;
        }
        if (raw_.size() - raw_pos_ > static_cast<size_t>(kMaxHeaderBytes)) {
            last_error_ = ERROR_INTERNET_HEADER_TOO_LARGE;
            return -1;
        }
        const size_t before = raw_.size() - raw_pos_;
        scanned = before > 3 ? before - 3 : 0;
        const long n = ReceivePlain(Clock::time_point::max(), false, timedOut);
        if (n < 0) return -1;
        if (n == 0) {
            if (before == 0) return 0;
            last_error_ = ERROR_INTERNET_BAD_RESPONSE;
            return -1;
        }
    }
}

bool HttpRequest::FrameBodyPlain() {
    const int code = status_code_;
    std::string value;
    const bool http10 = status_line_.starts_with("HTTP/1.0");
    keep_ = http10 ? Header("Connection", value) && HasToken(value, "keep-alive")
                   : !(Header("Connection", value) && HasToken(value, "close"));
    if (code == 204 || code == 304) {
        decoder_.Start(plain::BodyDecoder::Kind::None);
    } else if (Header("Transfer-Encoding", value) && HasToken(value, "chunked")) {
        decoder_.Start(plain::BodyDecoder::Kind::Chunked);
    } else if (Header("Content-Length", value)) {
        const std::string_view digits = Trimmed(value);
        if (digits.empty() || digits.size() > 18 ||
            !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
            last_error_ = ERROR_INTERNET_BAD_RESPONSE;
            return false;
        }
        decoder_.Start(plain::BodyDecoder::Kind::Length, std::stoll(std::string(digits)));
    } else {
        decoder_.Start(plain::BodyDecoder::Kind::UntilClose);
        keep_ = false;
    }
    return true;
}

bool HttpRequest::SendPlain(const std::vector<std::string>& headers, bool& fallback, std::string& url) {
    fallback = false;
    bool retried = false;
    for (;;) {
        plain::Target target;
        if (!plain::Split(url, target)) {
            fallback = true;
            return false;
        }
        // A kept connection, else a new one to the address the library found for the server.
        fd_ = plain::TakeIdle(target.key);
        const bool reused = fd_ >= 0;
        if (!reused) {
            const int connected = ConnectPlain(target);
            if (connected <= 0) {
                fallback = connected == 0;
                return false;
            }
        }
        plain_key_ = target.key;
        plain_url_ = url;
        raw_.clear();
        raw_pos_ = 0;
        ComposePlain(target, headers);
        plain::CountSent();
        int head = WritePlain() ? ReadHeadPlain() : -1;
        // A kept connection the server has closed meanwhile ends before an answer, and one that brought
        // bytes after its last answer starts with them: once more on a new connection.
        if (reused && !retried && blocks_ == 0 &&
            (head == 0 || last_error_ == ERROR_INTERNET_CONNECTION_RESET ||
             last_error_ == ERROR_INTERNET_BAD_RESPONSE)) {
            ReleasePlain(false);
            last_error_ = 0;
            retried = true;
            continue;
        }
        if (head == 0) last_error_ = ERROR_INTERNET_CONNECTION_RESET;
        while (head > 0 && status_code_ >= 100 && status_code_ < 200)
            head = ReadHeadPlain(); // an interim answer; the real one follows
        if (head <= 0) {
            if (head == 0) last_error_ = ERROR_INTERNET_CONNECTION_RESET;
            return false;
        }
        retried = false;
        if (!(settings_.flags & INTERNET_FLAG_NO_COOKIES) &&
            std::any_of(header_lines_.begin(), header_lines_.end(), [](const std::string& line) {
                return SameText(NameOf(line).substr(0, 10), "Set-Cookie");
            })) {
            // The library keeps cookies: it sends the request again, and from now on all that carry them.
            plain::SawCookies();
            url = settings_.url;
            fallback = true;
            return false;
        }
        if (!FrameBodyPlain()) return false;
        std::string location;
        if (!(settings_.flags & INTERNET_FLAG_NO_AUTO_REDIRECT) && IsRedirectStatus(status_code_) &&
            redirects_ < kMaxRedirects && Header("Location", location)) {
            const std::string next = ResolveLocation(url, location);
            const std::string scheme = LowerCase(next.substr(0, next.find(':')));
            if (scheme == "http" || scheme == "https") {
                ++redirects_;
                Report(INTERNET_STATUS_REDIRECT, next);
                // Its body read to keep the connection, when small; else the connection goes.
                std::string drained;
                bool timedOut = false;
                while (!decoder_.Done() && !decoder_.Bad() && drained.size() <= kLargestDrain) {
                    raw_pos_ += decoder_.Feed(raw_.data() + raw_pos_, raw_.size() - raw_pos_, drained);
                    if (decoder_.Done() || decoder_.Bad() ||
                        decoder_.Framing() == plain::BodyDecoder::Kind::UntilClose)
                        break;
                    if (ReceivePlain(Clock::time_point::max(), true, timedOut) <= 0) break;
                }
                ReleasePlain(keep_ && decoder_.Done() && raw_pos_ == raw_.size());
                last_error_ = 0;
                url = next;
                continue;
            }
        }
        final_headers_ = true;
        body_total_ = 0;
        return true;
    }
}

bool HttpRequest::PumpPlain(Clock::time_point deadline, bool& timedOut) {
    timedOut = false;
    const int64_t limit = settings_.maxBodyBytes == 0 ? kMaxBodyBytes : settings_.maxBodyBytes;
    for (;;) {
        if (raw_pos_ < raw_.size()) {
            if (buffer_pos_ > 0 && buffer_pos_ >= buffer_.size() / 2) {
                buffer_.erase(0, buffer_pos_);
                buffer_pos_ = 0;
            }
            const size_t before = buffer_.size();
            raw_pos_ += decoder_.Feed(raw_.data() + raw_pos_, raw_.size() - raw_pos_, buffer_);
            body_total_ += static_cast<int64_t>(buffer_.size() - before);
            if (limit > 0 && body_total_ > limit) {
                // Refused whole, as the library's way refuses the piece that crosses the limit.
                buffer_.resize(before);
                too_large_ = true;
                plain_failure_ = ERROR_INTERNET_BODY_TOO_LARGE;
                ReleasePlain(false);
                return false;
            }
            if (decoder_.Bad()) {
                plain_failure_ = ERROR_INTERNET_CONNECTION_ABORTED;
                ReleasePlain(false);
                return false;
            }
            if (decoder_.Done()) {
                finished_ = true;
                ReleasePlain(keep_ && raw_pos_ == raw_.size());
                return true;
            }
            if (buffer_.size() > before) return true;
        }
        if (decoder_.Done()) {
            finished_ = true;
            ReleasePlain(keep_ && raw_pos_ == raw_.size());
            return true;
        }
        const long n = ReceivePlain(deadline, true, timedOut);
        if (n > 0) continue;
        if (n < 0 && timedOut) return false;
        if (n == 0 && decoder_.Framing() == plain::BodyDecoder::Kind::UntilClose) {
            finished_ = true;
            ReleasePlain(false);
            return true;
        }
        // Ended before the body did, or failed.
        plain_failure_ = n == 0 ? ERROR_INTERNET_CONNECTION_ABORTED : last_error_;
        ReleasePlain(false);
        return false;
    }
}

bool HttpRequest::ReadPlain(void* buffer, size_t size, size_t& bytesRead) {
    if (!final_headers_) {
        last_error_ = ERROR_INTERNET_INCORRECT_HANDLE_STATE;
        return false;
    }
    while (buffer_pos_ >= buffer_.size() && !finished_ && plain_failure_ == 0) {
        bool timedOut = false;
        if (!PumpPlain(Clock::time_point::max(), timedOut)) break;
    }
    if (buffer_pos_ < buffer_.size()) {
        bytesRead = std::min(size, buffer_.size() - buffer_pos_);
        std::memcpy(buffer, buffer_.data() + buffer_pos_, bytesRead);
        buffer_pos_ += bytesRead;
        return true;
    }
    if (plain_failure_ != 0) {
        last_error_ = plain_failure_;
        return false;
    }
    if (finished_) {
        Report(INTERNET_STATUS_REQUEST_COMPLETE, "");
        return true;
    }
    return false;
}

bool HttpRequest::WaitForBodyPlain(DWORD timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (finished_ || plain_failure_ != 0) return true;
        if (buffer_.size() - buffer_pos_ >= kHeldAhead || (cancel_ && cancel_->load())) return false;
        bool timedOut = false;
        if (!PumpPlain(deadline, timedOut)) {
            if (timedOut) return false;
            if (plain_failure_ == 0) plain_failure_ = last_error_;
            return true;
        }
    }
}

void HttpRequest::ReleasePlain(bool keep) {
    if (fd_ < 0) return;
    if (keep)
        plain::KeepIdle(plain_key_, fd_);
    else
        ::close(fd_);
    fd_ = -1;
}

} // namespace net

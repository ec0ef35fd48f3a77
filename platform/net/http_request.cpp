#include "platform/net/http_request.h"

#include "platform/net/cookie_limits.h"
#include "platform/net/curl_library.h"
#include "platform/net/net_texts.h"
#include "platform/net/proxy_failure.h"
#include "platform/net/trust_paths.h"
#include "platform/net/wininet.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/wait_policy.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string_view>

namespace net {
namespace {

constexpr size_t kReadAhead = 256 * 1024; // body bytes held before the transfer is paused

// Whether this thread watches the sockets before it sleeps (see TWaitPolicy): while its server keeps
// answering on this machine or the local network.
thread_local TWaitPolicy serverWait;

std::string StripLineEnd(std::string line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.pop_back();
    return line;
}

// Whether the Content-Length fields (or the values of one listed) differ: the body's end is then unknown,
// and taking any one of them may cut the page short or run it into the next answer.
bool LengthsDiffer(const std::vector<std::string>& lines) {
    std::optional<std::string> first;
    for (const std::string& line : lines) {
        const size_t colon = line.find(':');
        if (colon == std::string::npos || !SameText(Trim(line.substr(0, colon)), "Content-Length")) continue;
        for (size_t from = colon + 1;;) {
            const size_t comma = line.find(',', from);
            const std::string value =
                Trim(line.substr(from, comma == std::string::npos ? comma : comma - from));
            if (!first)
                first = value;
            else if (value != *first)
                return true;
            if (comma == std::string::npos) break;
            from = comma + 1;
        }
    }
    return false;
}

bool IsRedirect(int code) {
    return code >= 300 && code < 400;
}

} // namespace

void HttpRequest::SlistFree::operator()(curl_slist* list) const {
    Curl().slist_free_all(list);
}

HttpRequest::HttpRequest() {
    // The library is told which sockets to act on rather than asked to look at them all: it then reads
    // an answer the wait already found without polling its socket once more.
    Curl().multi_setopt(multi_.Handle(), CURLMOPT_SOCKETFUNCTION, &HttpRequest::OnSocket);
    Curl().multi_setopt(multi_.Handle(), CURLMOPT_SOCKETDATA, this);
}

HttpRequest::~HttpRequest() {
    Detach();
    // The pooled handle must not call back into this object once it is gone.
    Curl().multi_setopt(multi_.Handle(), CURLMOPT_SOCKETFUNCTION, nullptr);
    Curl().multi_setopt(multi_.Handle(), CURLMOPT_SOCKETDATA, nullptr);
}

bool HttpRequest::Header(const std::string& name, std::string& value) const {
    // Asked a dozen times for every answer: the lines are looked at where they are, without copies.
    const auto trimmed = [](std::string_view s) {
        while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ')
            s.remove_prefix(1);
        while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ')
            s.remove_suffix(1);
        return s;
    };
    for (const std::string& line : answer_.headerLines) {
        const size_t colon = line.find(':');
        if (colon == std::string::npos) continue;
        const std::string_view text(line);
        if (SameText(trimmed(text.substr(0, colon)), name)) {
            value = trimmed(text.substr(colon + 1));
            return true;
        }
    }
    return false;
}

std::string HttpRequest::EffectiveUrl() const {
    char* url = nullptr;
    if (easy_ && Curl().easy_getinfo(easy_.get(), CURLINFO_EFFECTIVE_URL, &url) == CURLE_OK && url && *url)
        return url;
    return settings_.url;
}

void HttpRequest::Detach() {
    if (attached_) {
        Curl().multi_remove_handle(multi_.Handle(), easy_.get());
        attached_ = false;
    }
}

void HttpRequest::Prepare(const std::string& extraHeaders, const std::string& body) {
    const RequestSettings& s = settings_;
    // The list is built again only when its lines differ from those of the send before.
    wanted_headers_.clear();
    auto add = [&](std::string line) {
        if (!line.empty()) wanted_headers_.push_back(std::move(line));
    };
    if (!s.accept.empty()) add("Accept: " + s.accept);
    for (const std::string& line : s.headers)
        add(line);
    size_t from = 0;
    while (from < extraHeaders.size()) {
        size_t end = extraHeaders.find('\n', from);
        if (end == std::string::npos) end = extraHeaders.size();
        add(StripLineEnd(extraHeaders.substr(from, end - from)));
        from = end + 1;
    }
    if (s.flags & INTERNET_FLAG_PRAGMA_NOCACHE) add("Pragma: no-cache");
    add("Expect:"); // no 100-continue round trip before a form body
    if (!header_list_ || wanted_headers_ != held_headers_) {
        curl_slist* list = nullptr;
        for (const std::string& line : wanted_headers_)
            list = Curl().slist_append(list, line.c_str());
        header_list_.reset(list);
        held_headers_.swap(wanted_headers_);
    }
    body_ = body;
}

void HttpRequest::Configure(bool freshConnection) {
    CURL* h = easy_.get();
    const RequestSettings& s = settings_;
    // A new handle has the library's defaults: only what differs from them is set.
    Curl().easy_setopt(h, CURLOPT_URL, s.url.c_str());
    Curl().easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    Curl().easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    Curl().easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    Curl().easy_setopt(h, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    Curl().easy_setopt(h, CURLOPT_MAXREDIRS, kMaxRedirects);
    Curl().easy_setopt(h, CURLOPT_HEADERFUNCTION, &HttpRequest::OnHeader);
    Curl().easy_setopt(h, CURLOPT_HEADERDATA, this);
    Curl().easy_setopt(h, CURLOPT_WRITEFUNCTION, &HttpRequest::OnBody);
    Curl().easy_setopt(h, CURLOPT_WRITEDATA, this);
    Curl().easy_setopt(h, CURLOPT_XFERINFOFUNCTION, &HttpRequest::OnProgress);
    Curl().easy_setopt(h, CURLOPT_XFERINFODATA, this);
    Curl().easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
    Curl().easy_setopt(h, CURLOPT_USERAGENT, s.agent.empty() ? "Pathweaver/4.5" : s.agent.c_str());
    if (!s.referer.empty()) Curl().easy_setopt(h, CURLOPT_REFERER, s.referer.c_str());
    // A proxy's answer to CONNECT only opens the tunnel, whichever proxy it is (the one set here or the one
    // the environment names): the caller hears the server's answer alone.
    Curl().easy_setopt(h, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
    Curl().easy_setopt(h, CURLOPT_FOLLOWLOCATION, (s.flags & INTERNET_FLAG_NO_AUTO_REDIRECT) ? 0L : 1L);
    if (freshConnection) Curl().easy_setopt(h, CURLOPT_FRESH_CONNECT, 1L);
    Curl().easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS,
                       static_cast<long>(s.connectTimeoutMs ? s.connectTimeoutMs : kDefaultConnectTimeoutMs));
    if (s.flags & INTERNET_FLAG_IGNORE_CERT_CN_INVALID) Curl().easy_setopt(h, CURLOPT_SSL_VERIFYHOST, 0L);
    const std::string ca = CaBundle();
    const TrustPaths& trust = EnvironmentTrust();
    trust_problem_ = ca.empty() ? TrustProblem(trust) : std::string();
    if (!trust_problem_.empty()) {
        // Not handed to the library, which would read a named pipe for ever: what it is given instead
        // holds no certificate, so a transfer that needs them ends at its handshake and says why.
        static char none[] = "none";
        curl_blob blob{none, sizeof none - 1, CURL_BLOB_NOCOPY};
        Curl().easy_setopt(h, CURLOPT_CAINFO_BLOB, &blob);
    } else {
        if (!ca.empty())
            Curl().easy_setopt(h, CURLOPT_CAINFO, ca.c_str());
        else if (!trust.file.empty())
            Curl().easy_setopt(h, CURLOPT_CAINFO, trust.file.c_str());
        if (!trust.folder.empty()) Curl().easy_setopt(h, CURLOPT_CAPATH, trust.folder.c_str());
    }
    // The handle shares the cookies of every request; an empty file name turns its cookie engine on.
    if (!(s.flags & INTERNET_FLAG_NO_COOKIES)) Curl().easy_setopt(h, CURLOPT_COOKIEFILE, "");

    if (!(s.flags & INTERNET_FLAG_NO_AUTH) && (!s.user.empty() || !s.password.empty())) {
        Curl().easy_setopt(h, CURLOPT_USERNAME, s.user.c_str());
        Curl().easy_setopt(h, CURLOPT_PASSWORD, s.password.c_str());
        Curl().easy_setopt(h, CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_ANY));
    }

    if (s.accessType == INTERNET_OPEN_TYPE_PROXY && !s.proxy.empty()) {
        Curl().easy_setopt(h, CURLOPT_PROXY, s.proxy.c_str());
        const std::string bypass =
            StringReplace(StringReplace(s.proxyBypass, "<local>", "", rfReplaceAll), ";", ",", rfReplaceAll);
        Curl().easy_setopt(h, CURLOPT_NOPROXY, bypass.c_str());
        if (!s.proxyUser.empty() || !s.proxyPassword.empty()) {
            Curl().easy_setopt(h, CURLOPT_PROXYUSERNAME, s.proxyUser.c_str());
            Curl().easy_setopt(h, CURLOPT_PROXYPASSWORD, s.proxyPassword.c_str());
        }
        Curl().easy_setopt(h, CURLOPT_PROXYAUTH, static_cast<long>(CURLAUTH_ANY));
    } else if (s.accessType == INTERNET_OPEN_TYPE_DIRECT) {
        Curl().easy_setopt(h, CURLOPT_PROXY, "");
    }
    // Else the proxy the environment names, as the library reads it.

    Curl().easy_setopt(h, CURLOPT_HTTPHEADER, header_list_.get());
    if (s.verb == "POST") {
        Curl().easy_setopt(h, CURLOPT_POST, 1L);
        Curl().easy_setopt(h, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body_.size()));
        Curl().easy_setopt(h, CURLOPT_POSTFIELDS, body_.data());
    } else if (s.verb != "GET") {
        Curl().easy_setopt(h, CURLOPT_CUSTOMREQUEST, s.verb.c_str());
    }
}

bool HttpRequest::StartTransfer(bool freshConnection) {
    Detach();
    // The body's room is kept for the next answer: it is what the caller gave back with TakeBody.
    std::string room = std::move(answer_.buffer);
    answer_ = Answer{};
    answer_.buffer = std::move(room);
    answer_.buffer.clear();
    answer_.holdLimit = kReadAhead;
    if (!(settings_.flags & INTERNET_FLAG_NO_COOKIES)) SharedCookieLimits().Keep();
    easy_ = NewCurlEasy();
    if (!easy_) {
        return Fail(ERROR_INTERNET_OUT_OF_HANDLES);
    }
    Configure(freshConnection);
    if (Curl().multi_add_handle(multi_.Handle(), easy_.get()) != CURLM_OK) {
        return Fail(ERROR_INTERNET_INCORRECT_HANDLE_STATE);
    }
    attached_ = true;
    return true;
}

bool HttpRequest::Send(const std::string& extraHeaders, const std::string& body) {
    last_error_ = 0;
    last_error_text_.clear();
    sent_again_ = false;
    receiving_said_ = false;
    redirects_said_ = 0;
    moved_ = 0;
    sent_at_ = std::chrono::steady_clock::now();
    Prepare(extraHeaders, body);
    Touch();
    RestartRateWindow();
    Report(INTERNET_STATUS_SENDING_REQUEST, settings_.url);
    for (;;) {
        if (!StartTransfer(sent_again_)) return false;
        if (!PumpUntil([this] { return answer_.finalHeaders; })) return false;
        if (!answer_.sendAgain) break;
        // The server had timed the kept connection out as the request came, as servers do with idle ones:
        // the request goes again, as browsers send it, on a new connection.
        sent_again_ = true;
        Touch();
    }
    if (!answer_.finalHeaders) {
        // The transfer ended after a redirect it could not follow or a challenge it did not answer: that
        // block is the answer. Else it failed before any.
        if (answer_.undecided) {
            answer_.finalHeaders = true;
        } else {
            Failed(answer_.result == CURLE_OK ? CURLE_GOT_NOTHING : answer_.result);
            return false;
        }
    }
    Report(INTERNET_STATUS_RESPONSE_RECEIVED, answer_.statusLine);
    return true;
}

bool HttpRequest::Read(void* buffer, size_t size, size_t& bytesRead) {
    bytesRead = 0;
    if (!answer_.finalHeaders) return Fail(ERROR_INTERNET_INCORRECT_HANDLE_STATE);
    if (answer_.bufferPos >= answer_.buffer.size() && !answer_.finished) {
        if (answer_.paused) {
            answer_.paused = false;
            Touch();
            RestartRateWindow();
            Curl().easy_pause(easy_.get(), CURLPAUSE_CONT);
        }
        if (!PumpUntil([this] { return answer_.bufferPos < answer_.buffer.size(); })) return false;
    }
    if (answer_.bufferPos < answer_.buffer.size()) {
        bytesRead = std::min(size, answer_.buffer.size() - answer_.bufferPos);
        std::memcpy(buffer, answer_.buffer.data() + answer_.bufferPos, bytesRead);
        answer_.bufferPos += bytesRead;
        return true;
    }
    if (answer_.result == CURLE_OK) {
        Report(INTERNET_STATUS_REQUEST_COMPLETE, "");
        return true;
    }
    Failed(answer_.result);
    return false;
}

void HttpRequest::PumpOnce() {
    int running = 0;
    // Taken out first: acting on one socket may change the list.
    ready_.clear();
    for (pollfd& p : watched_) {
        if (p.revents == 0) continue;
        int bits = 0;
        if (p.revents & (POLLIN | POLLHUP | POLLERR | POLLNVAL)) bits |= CURL_CSELECT_IN;
        if (p.revents & (POLLOUT | POLLHUP | POLLERR | POLLNVAL)) bits |= CURL_CSELECT_OUT;
        if (p.revents & (POLLERR | POLLNVAL)) bits |= CURL_CSELECT_ERR;
        ready_.emplace_back(p.fd, bits);
        p.revents = 0;
    }
    for (const auto& [socket, bits] : ready_)
        Curl().multi_socket_action(multi_.Handle(), socket, bits, &running);
    long due = -1;
    if (Curl().multi_timeout(multi_.Handle(), &due) == CURLM_OK && due == 0)
        Curl().multi_socket_action(multi_.Handle(), CURL_SOCKET_TIMEOUT, 0, &running);
    int left = 0;
    while (CURLMsg* msg = Curl().multi_info_read(multi_.Handle(), &left)) {
        if (msg->msg == CURLMSG_DONE && msg->easy_handle == easy_.get()) {
            answer_.finished = true;
            answer_.result = msg->data.result;
        }
    }
}

void HttpRequest::TakeBody(std::string& body) {
    body.clear();
    if (!answer_.finalHeaders) return;
    if (answer_.bufferPos > 0) answer_.buffer.erase(0, answer_.bufferPos);
    answer_.bufferPos = 0;
    body.swap(answer_.buffer);
}

bool HttpRequest::WaitForBody(DWORD timeoutMs, size_t holdBytes) {
    if (!answer_.finalHeaders) return false;
    if (holdBytes > answer_.holdLimit) {
        answer_.holdLimit = holdBytes;
        // What was paused at the read-ahead comes on into the larger room.
        if (answer_.paused) {
            answer_.paused = false;
            Touch();
            RestartRateWindow();
            Curl().easy_pause(easy_.get(), CURLPAUSE_CONT);
        }
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (answer_.finished) return true;
        if (answer_.paused || (cancel_ && cancel_->load())) return false;
        PumpOnce();
        if (answer_.finished) return true;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || answer_.paused) return false;
        WaitForSockets(static_cast<int>(left.count()));
    }
}

bool HttpRequest::PumpUntil(const std::function<bool()>& done) {
    const auto stall = std::chrono::milliseconds(settings_.stallTimeoutMs ? settings_.stallTimeoutMs
                                                                          : kDefaultStallTimeoutMs);
    while (!done() && !answer_.finished) {
        if (cancel_ && cancel_->load()) {
            Detach();
            answer_.finished = true;
            answer_.result = CURLE_ABORTED_BY_CALLBACK;
            return Fail(ERROR_INTERNET_OPERATION_CANCELLED);
        }
        PumpOnce();
        if (done() || answer_.finished) break;
        if (const DWORD error = Slowness(stall)) {
            Detach();
            answer_.finished = true;
            answer_.result = CURLE_OPERATION_TIMEDOUT;
            return Fail(error);
        }
        WaitForSockets(100);
    }
    return true;
}

void HttpRequest::WaitForSockets(int timeoutMs) {
    long due = -1;
    if (Curl().multi_timeout(multi_.Handle(), &due) == CURLM_OK && due >= 0 && due < timeoutMs)
        timeoutMs = static_cast<int>(due);
    if (timeoutMs <= 0) return;
    const auto start = TWaitPolicy::Clock::now();
    const auto count = static_cast<nfds_t>(watched_.size());
    // A wait that does not watch goes straight to sleep: the sleeping poll returns at once when the
    // answer is already there, so a look before it would only cost a call per wait.
    const bool ready = count > 0 && serverWait.Watches(start) &&
                       serverWait.Watch([&] { return ::poll(watched_.data(), count, 0) != 0; });
    if (!ready && ::poll(watched_.data(), count, timeoutMs) < 0) {
        for (pollfd& p : watched_)
            p.revents = 0;
    }
    serverWait.Answered(start, TWaitPolicy::Clock::now());
}

DWORD HttpRequest::Slowness(std::chrono::milliseconds stall) {
    const auto now = std::chrono::steady_clock::now();
    const int64_t total = settings_.totalTimeoutMs == 0 ? kDefaultTotalTimeoutMs : settings_.totalTimeoutMs;
    if (total > 0 && now - sent_at_ > std::chrono::milliseconds(total)) return ERROR_INTERNET_TIMEOUT;
    // A paused transfer waits for its reader, not for the server.
    if (answer_.paused) return 0;
    if (now - last_activity_ > stall) return ERROR_INTERNET_TIMEOUT;
    if (now - window_start_ >= stall) {
        const int64_t least = std::max<int64_t>(1, kMinBytesPerMinute * stall.count() / 60000);
        if (moved_ - window_bytes_ < least) return ERROR_INTERNET_TIMEOUT;
        RestartRateWindow();
    }
    return 0;
}

void HttpRequest::StartHeaderBlock(std::string_view statusLine) {
    Answer& a = answer_;
    if (a.undecided) {
        // The library went on past the last block: it answered the challenge, or followed the redirect
        // to the address it now names. Said once, also when the send goes again.
        a.undecided = false;
        if (IsRedirect(a.statusCode) && ++a.redirects > redirects_said_) {
            redirects_said_ = a.redirects;
            Report(INTERNET_STATUS_REDIRECT, EffectiveUrl());
        }
    }
    a.statusLine.assign(statusLine);
    a.headerLines.clear();
    a.blockOpen = true;
    ++a.blocks;
    if (!receiving_said_) {
        receiving_said_ = true;
        Report(INTERNET_STATUS_RECEIVING_RESPONSE, "");
    }
    long code = 0;
    Curl().easy_getinfo(easy_.get(), CURLINFO_RESPONSE_CODE, &code);
    a.statusCode = static_cast<int>(code);
}

bool HttpRequest::FinishHeaderBlock() {
    Answer& a = answer_;
    a.blockOpen = false;
    const int code = a.statusCode;
    a.interim = code >= 100 && code < 200;
    if (a.interim) return true; // the real answer follows
    long connects = 0;
    Curl().easy_getinfo(easy_.get(), CURLINFO_NUM_CONNECTS, &connects);
    const bool keptConnection = connects == a.connects;
    a.connects = connects;
    if (LengthsDiffer(a.headerLines)) {
        a.lengthsDiffer = true;
        return false;
    }
    // Only a 408 on a new connection is the server's answer to this request. Once a redirect was
    // followed, a form is not posted again unless the 408 answered the form itself.
    const bool sameAgain = a.redirects == 0 || settings_.verb == "GET" || settings_.verb == "HEAD";
    if (code == 408 && keptConnection && !sent_again_ && sameAgain) {
        a.sendAgain = true;
        return false;
    }
    // A redirect or a challenge the library may act on: it ignores the body of one it acts on, so this
    // block is the answer once its body comes or the transfer ends, and was not once another block starts.
    const bool follows = !(settings_.flags & INTERNET_FLAG_NO_AUTO_REDIRECT);
    if ((follows && IsRedirect(code)) || code == 401 || code == 407)
        a.undecided = true;
    else
        a.finalHeaders = true;
    return true;
}

size_t HttpRequest::OnHeader(char* data, size_t size, size_t count, void* userdata) {
    auto* self = static_cast<HttpRequest*>(userdata);
    Answer& a = self->answer_;
    const size_t n = size * count;
    self->Touch();
    self->moved_ += static_cast<int64_t>(n);
    // Looked at where the library holds it: a dozen lines an answer, each copied once, into its place.
    std::string_view line(data, n);
    const bool statusLine = !a.finalHeaders && line.starts_with("HTTP/");
    // The library keeps every line it is given, trailers too: a server that sends interim answers or
    // trailers without end is stopped as one that sends a header block without end.
    a.headerBytes = (statusLine && !a.interim ? 0 : a.headerBytes) + static_cast<int64_t>(n);
    if (a.headerBytes > kMaxHeaderBytes) {
        a.headerTooLarge = true;
        return 0;
    }
    if (a.finalHeaders) return n; // trailers after the body
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.remove_suffix(1);
    if (statusLine) {
        self->StartHeaderBlock(line);
        return n;
    }
    if (line.empty()) {
        if (a.blockOpen && !self->FinishHeaderBlock()) return 0;
        return n;
    }
    if (!a.blockOpen) return n;
    if (line.size() > 11 && SameText(line.substr(0, 11), "Set-Cookie:") &&
        !(self->settings_.flags & INTERNET_FLAG_NO_COOKIES))
        SharedCookieLimits().Noted(line.substr(11), self->EffectiveUrl());
    if ((line[0] == ' ' || line[0] == '\t') && !a.headerLines.empty())
        a.headerLines.back() += " " + Trim(std::string(line));
    else
        a.headerLines.emplace_back(line);
    return n;
}

size_t HttpRequest::OnBody(char* data, size_t size, size_t count, void* userdata) {
    auto* self = static_cast<HttpRequest*>(userdata);
    Answer& a = self->answer_;
    const size_t n = size * count;
    self->Touch();
    // The library passes on the body of the answer only.
    a.finalHeaders = true;
    a.undecided = false;
    if (a.buffer.size() - a.bufferPos >= a.holdLimit) {
        a.paused = true;
        return CURL_WRITEFUNC_PAUSE;
    }
    const int64_t limit = self->settings_.maxBodyBytes == 0 ? kMaxBodyBytes : self->settings_.maxBodyBytes;
    if (limit > 0 && a.bodyTotal + static_cast<int64_t>(n) > limit) {
        a.tooLarge = true;
        return 0;
    }
    if (a.bufferPos > 0 && a.bufferPos >= a.buffer.size() / 2) {
        a.buffer.erase(0, a.bufferPos);
        a.bufferPos = 0;
    }
    a.buffer.append(data, n);
    a.bodyTotal += static_cast<int64_t>(n);
    self->moved_ += static_cast<int64_t>(n);
    return n;
}

int HttpRequest::OnSocket(CURL*, curl_socket_t socket, int what, void* userdata, void*) {
    auto* self = static_cast<HttpRequest*>(userdata);
    auto& list = self->watched_;
    auto it = std::find_if(list.begin(), list.end(), [&](const pollfd& p) { return p.fd == socket; });
    if (what == CURL_POLL_REMOVE) {
        if (it != list.end()) list.erase(it);
        return 0;
    }
    const auto events =
        static_cast<short>(((what & CURL_POLL_IN) ? POLLIN : 0) | ((what & CURL_POLL_OUT) ? POLLOUT : 0));
    if (it != list.end())
        it->events = events;
    else
        list.push_back(pollfd{socket, events, 0});
    return 0;
}

int HttpRequest::OnProgress(void* userdata, curl_off_t, curl_off_t dlnow, curl_off_t, curl_off_t ulnow) {
    auto* self = static_cast<HttpRequest*>(userdata);
    Answer& a = self->answer_;
    if (dlnow != a.seenDown || ulnow != a.seenUp) {
        if (ulnow > a.seenUp) self->moved_ += ulnow - a.seenUp;
        a.seenDown = dlnow;
        a.seenUp = ulnow;
        self->Touch();
    }
    return (self->cancel_ && self->cancel_->load()) ? 1 : 0;
}

void HttpRequest::Failed(CURLcode code) {
    last_error_ = MapError(code);
    last_error_text_.clear();
    // What broke in the answer is said as it is. Else the end the library gives may be the fault of the
    // authorities the user named, or of the proxy, rather than the server's.
    if (answer_.tooLarge || answer_.headerTooLarge || answer_.lengthsDiffer) return;
    if (code == CURLE_SSL_CACERT_BADFILE) {
        last_error_ = ERROR_INTERNET_TRUST_UNUSABLE;
        last_error_text_ = !trust_problem_.empty() ? trust_problem_
                           : CaBundle().empty()    ? RefusedTrust(EnvironmentTrust())
                                                   : std::string(net_text::OwnTrust);
    } else if (std::string proxy = ProxyFailure(easy_.get(), code, settings_, EffectiveUrl());
               !proxy.empty()) {
        last_error_ = ERROR_INTERNET_PROXY_FAILED;
        last_error_text_ = std::move(proxy);
    }
}

DWORD HttpRequest::MapError(CURLcode code) const {
    if (answer_.tooLarge) return ERROR_INTERNET_BODY_TOO_LARGE;
    if (answer_.headerTooLarge) return ERROR_INTERNET_HEADER_TOO_LARGE;
    if (answer_.lengthsDiffer) return ERROR_INTERNET_BAD_RESPONSE;
    switch (code) {
    case CURLE_OK:
        return 0;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
        return ERROR_INTERNET_NAME_NOT_RESOLVED;
    case CURLE_COULDNT_CONNECT:
        return ERROR_INTERNET_CANNOT_CONNECT;
    case CURLE_OPERATION_TIMEDOUT:
        return ERROR_INTERNET_TIMEOUT;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CACERT_BADFILE:
        return ERROR_INTERNET_SEC_CERT_ERRORS;
    case CURLE_URL_MALFORMAT:
        return ERROR_INTERNET_INVALID_URL;
    case CURLE_UNSUPPORTED_PROTOCOL:
        return ERROR_INTERNET_UNRECOGNIZED_SCHEME;
    case CURLE_TOO_MANY_REDIRECTS:
        return ERROR_INTERNET_REDIRECT_FAILED;
    case CURLE_WEIRD_SERVER_REPLY:
        return ERROR_INTERNET_BAD_RESPONSE;
    case CURLE_ABORTED_BY_CALLBACK:
        return ERROR_INTERNET_OPERATION_CANCELLED;
    case CURLE_FILESIZE_EXCEEDED:
        return ERROR_INTERNET_BODY_TOO_LARGE;
    case CURLE_OUT_OF_MEMORY:
        // What the library answers to one header line longer than it takes.
        return answer_.finalHeaders ? ERROR_INTERNET_CONNECTION_ABORTED : ERROR_INTERNET_HEADER_TOO_LARGE;
    case CURLE_GOT_NOTHING:
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
        return ERROR_INTERNET_CONNECTION_RESET;
    default:
        return ERROR_INTERNET_CONNECTION_ABORTED;
    }
}

} // namespace net

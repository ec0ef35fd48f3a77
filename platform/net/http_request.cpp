#include "platform/net/http_request.h"

#include "platform/net/curl_library.h"
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

bool IsRedirectStatus(int code) {
    return code == 301 || code == 302 || code == 303 || code == 307 || code == 308;
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

// Resolves a Location value against the address it came from; empty when it cannot be parsed.
std::string ResolveLocation(const std::string& base, const std::string& location) {
    CURLU* u = Curl().url();
    std::string out;
    if (Curl().url_set(u, CURLUPART_URL, base.c_str(), 0) == CURLUE_OK &&
        Curl().url_set(u, CURLUPART_URL, location.c_str(), CURLU_NON_SUPPORT_SCHEME) == CURLUE_OK) {
        char* text = nullptr;
        if (Curl().url_get(u, CURLUPART_URL, &text, 0) == CURLUE_OK && text) {
            out = text;
            Curl().free(text);
        }
    }
    Curl().url_cleanup(u);
    return out;
}

} // namespace

HttpRequest::HttpRequest() : curl_(AcquireCurlPair()) {
    // The library is told which sockets to act on rather than asked to look at them all: it then reads
    // an answer the wait already found without polling its socket once more.
    Curl().multi_setopt(curl_.multi, CURLMOPT_SOCKETFUNCTION, &HttpRequest::OnSocket);
    Curl().multi_setopt(curl_.multi, CURLMOPT_SOCKETDATA, this);
}

HttpRequest::~HttpRequest() {
    Detach();
    if (header_list_) Curl().slist_free_all(header_list_);
    // The pooled pair must not call back into this object once it is gone.
    Curl().multi_setopt(curl_.multi, CURLMOPT_SOCKETFUNCTION, nullptr);
    Curl().multi_setopt(curl_.multi, CURLMOPT_SOCKETDATA, nullptr);
    ReleaseCurlPair(curl_);
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
    for (const std::string& line : header_lines_) {
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
    if (curl_.easy && Curl().easy_getinfo(curl_.easy, CURLINFO_EFFECTIVE_URL, &url) == CURLE_OK && url)
        return url;
    return settings_.url;
}

void HttpRequest::Detach() {
    if (attached_) {
        Curl().multi_remove_handle(curl_.multi, curl_.easy);
        attached_ = false;
    }
}

void HttpRequest::Configure(const std::string& extraHeaders, const std::string& body) {
    CURL* h = curl_.easy;
    const RequestSettings& s = settings_;
    Curl().easy_setopt(h, CURLOPT_URL, s.url.c_str());
    // What no request changes is set once for the handle; the rest when it changes.
    if (!configured_) {
        configured_ = true;
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
    }
    SetText(kAgent, CURLOPT_USERAGENT, s.agent.empty() ? "Pathweaver/4.5" : s.agent.c_str());
    SetText(kReferer, CURLOPT_REFERER, s.referer.empty() ? nullptr : s.referer.c_str());
    SetNumber(kFollow, CURLOPT_FOLLOWLOCATION, (s.flags & INTERNET_FLAG_NO_AUTO_REDIRECT) ? 0L : 1L);
    SetNumber(kFreshConnect, CURLOPT_FRESH_CONNECT, 0L);
    SetNumber(kConnectTimeout, CURLOPT_CONNECTTIMEOUT_MS,
              static_cast<long>(s.connectTimeoutMs ? s.connectTimeoutMs : kDefaultConnectTimeoutMs));
    SetNumber(kVerifyHost, CURLOPT_SSL_VERIFYHOST,
              (s.flags & INTERNET_FLAG_IGNORE_CERT_CN_INVALID) ? 0L : 2L);
    const std::string ca = CaBundle();
    if (!ca.empty()) SetText(kCa, CURLOPT_CAINFO, ca.c_str());

    // Still shared for names and sessions: clearing the cookie files turns the cookie engine off for
    // this request only. Set only when it changes: each setting adds to the handle's list of files.
    const int cookies = (s.flags & INTERNET_FLAG_NO_COOKIES) ? 0 : 1;
    if (cookies != cookies_) {
        cookies_ = cookies;
        // The share again first: clearing the files lets go of the shared cookies, which a later "" would
        // not take back by itself.
        Curl().easy_setopt(h, CURLOPT_SHARE, SharedCurlState());
        Curl().easy_setopt(h, CURLOPT_COOKIEFILE, cookies ? "" : nullptr);
    }

    const bool auth = !(s.flags & INTERNET_FLAG_NO_AUTH) && (!s.user.empty() || !s.password.empty());
    SetText(kUser, CURLOPT_USERNAME, auth ? s.user.c_str() : nullptr);
    SetText(kPassword, CURLOPT_PASSWORD, auth ? s.password.c_str() : nullptr);
    SetNumber(kHttpAuth, CURLOPT_HTTPAUTH,
              auth ? static_cast<long>(CURLAUTH_ANY) : static_cast<long>(CURLAUTH_BASIC));

    if (s.accessType == INTERNET_OPEN_TYPE_PROXY && !s.proxy.empty()) {
        SetText(kProxy, CURLOPT_PROXY, s.proxy.c_str());
        const std::string bypass =
            StringReplace(StringReplace(s.proxyBypass, "<local>", "", rfReplaceAll), ";", ",", rfReplaceAll);
        SetText(kNoProxy, CURLOPT_NOPROXY, bypass.c_str());
        const bool proxyAuth = !s.proxyUser.empty() || !s.proxyPassword.empty();
        SetText(kProxyUser, CURLOPT_PROXYUSERNAME, proxyAuth ? s.proxyUser.c_str() : nullptr);
        SetText(kProxyPassword, CURLOPT_PROXYPASSWORD, proxyAuth ? s.proxyPassword.c_str() : nullptr);
        SetNumber(kProxyAuth, CURLOPT_PROXYAUTH, static_cast<long>(CURLAUTH_ANY));
    } else if (s.accessType == INTERNET_OPEN_TYPE_DIRECT) {
        SetText(kProxy, CURLOPT_PROXY, "");
    } else {
        // The handle may have gone through a proxy for an earlier request.
        SetText(kProxy, CURLOPT_PROXY, nullptr);
    }

    // The list is built again only when its lines differ from those the handle already has.
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
        Curl().easy_setopt(h, CURLOPT_HTTPHEADER, list);
        if (header_list_) Curl().slist_free_all(header_list_);
        header_list_ = list;
        held_headers_.swap(wanted_headers_);
    }

    body_ = body;
    if (s.verb == "POST") {
        Curl().easy_setopt(h, CURLOPT_POST, 1L);
        Curl().easy_setopt(h, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body_.size()));
        Curl().easy_setopt(h, CURLOPT_POSTFIELDS, body_.data());
    } else {
        Curl().easy_setopt(h, CURLOPT_HTTPGET, 1L);
    }
    Curl().easy_setopt(h, CURLOPT_CUSTOMREQUEST,
                       s.verb == "GET" || s.verb == "POST" ? nullptr : s.verb.c_str());
}

void HttpRequest::SetText(HeldOption slot, CURLoption option, const char* value) {
    Held& held = held_[slot];
    if (held.known && (value ? !held.null && held.text == value : held.null)) return;
    Curl().easy_setopt(curl_.easy, option, value);
    held.known = true;
    held.null = value == nullptr;
    held.text = value ? value : "";
}

void HttpRequest::SetNumber(HeldOption slot, CURLoption option, long value) {
    Held& held = held_[slot];
    if (held.known && held.number == value) return;
    Curl().easy_setopt(curl_.easy, option, value);
    held.known = true;
    held.number = value;
}

void HttpRequest::ForgetResponse() {
    status_code_ = 0;
    status_line_.clear();
    header_lines_.clear();
    blocks_ = 0;
    block_open_ = false;
    final_headers_ = false;
    finished_ = false;
    result_ = CURLE_OK;
    paused_ = false;
    too_large_ = false;
    header_too_large_ = false;
    lengths_differ_ = false;
    header_bytes_ = 0;
    interim_ = false;
    connects_ = 0;
    send_again_ = false;
    body_total_ = 0;
    buffer_.clear();
    buffer_pos_ = 0;
    hold_limit_ = kReadAhead;
    redirects_ = 0;
    auth_rounds_ = 0;
    last_error_ = 0;
    seen_down_ = 0;
    seen_up_ = 0;
}

bool HttpRequest::Send(const std::string& extraHeaders, const std::string& body) {
    Detach();
    ForgetResponse();
    sent_again_ = false;
    receiving_said_ = false;
    redirects_said_ = 0;
    moved_ = 0;
    sent_at_ = std::chrono::steady_clock::now();

    Configure(extraHeaders, body);
    Touch();
    RestartRateWindow();
    Report(INTERNET_STATUS_SENDING_REQUEST, settings_.url);
    for (;;) {
        if (Curl().multi_add_handle(curl_.multi, curl_.easy) != CURLM_OK) {
            last_error_ = ERROR_INTERNET_INCORRECT_HANDLE_STATE;
            return false;
        }
        attached_ = true;
        if (!PumpUntil([this] { return final_headers_; })) return false;
        if (!send_again_) break;
        // The server had timed the kept connection out as the request came, as servers do with idle ones:
        // the request goes again, as browsers send it, on a new connection.
        Detach();
        ForgetResponse();
        sent_again_ = true;
        SetNumber(kFreshConnect, CURLOPT_FRESH_CONNECT, 1L);
        Touch();
    }
    if (!final_headers_) {
        // The transfer ended before a final response was declared: a complete header block (the
        // last redirect of a chain that could not be followed, say) is the response, unless it was
        // refused; else it failed.
        if (status_code_ > 0 && !block_open_ && blocks_ > 0 && !lengths_differ_) {
            final_headers_ = true;
        } else {
            last_error_ = MapError(result_ == CURLE_OK ? CURLE_GOT_NOTHING : result_);
            return false;
        }
    }
    Report(INTERNET_STATUS_RESPONSE_RECEIVED, status_line_);
    return true;
}

bool HttpRequest::Read(void* buffer, size_t size, size_t& bytesRead) {
    bytesRead = 0;
    if (!final_headers_) {
        last_error_ = ERROR_INTERNET_INCORRECT_HANDLE_STATE;
        return false;
    }
    if (buffer_pos_ >= buffer_.size() && !finished_) {
        if (paused_) {
            paused_ = false;
            Touch();
            RestartRateWindow();
            Curl().easy_pause(curl_.easy, CURLPAUSE_CONT);
        }
        if (!PumpUntil([this] { return buffer_pos_ < buffer_.size(); })) return false;
    }
    if (buffer_pos_ < buffer_.size()) {
        bytesRead = std::min(size, buffer_.size() - buffer_pos_);
        std::memcpy(buffer, buffer_.data() + buffer_pos_, bytesRead);
        buffer_pos_ += bytesRead;
        return true;
    }
    if (result_ == CURLE_OK) {
        Report(INTERNET_STATUS_REQUEST_COMPLETE, "");
        return true;
    }
    last_error_ = MapError(result_);
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
        Curl().multi_socket_action(curl_.multi, socket, bits, &running);
    long due = -1;
    if (Curl().multi_timeout(curl_.multi, &due) == CURLM_OK && due == 0)
        Curl().multi_socket_action(curl_.multi, CURL_SOCKET_TIMEOUT, 0, &running);
    int left = 0;
    while (CURLMsg* msg = Curl().multi_info_read(curl_.multi, &left)) {
        if (msg->msg == CURLMSG_DONE && msg->easy_handle == curl_.easy) {
            finished_ = true;
            result_ = msg->data.result;
        }
    }
}

void HttpRequest::TakeBody(std::string& body) {
    body.clear();
    if (!final_headers_) return;
    if (buffer_pos_ > 0) buffer_.erase(0, buffer_pos_);
    buffer_pos_ = 0;
    body.swap(buffer_);
}

bool HttpRequest::WaitForBody(DWORD timeoutMs, size_t holdBytes) {
    if (!final_headers_) return false;
    if (holdBytes > hold_limit_) {
        hold_limit_ = holdBytes;
        // What was paused at the read-ahead comes on into the larger room.
        if (paused_) {
            paused_ = false;
            Touch();
            RestartRateWindow();
            Curl().easy_pause(curl_.easy, CURLPAUSE_CONT);
        }
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (finished_) return true;
        if (paused_ || (cancel_ && cancel_->load())) return false;
        PumpOnce();
        if (finished_) return true;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || paused_) return false;
        WaitForSockets(static_cast<int>(left.count()));
    }
}

bool HttpRequest::PumpUntil(const std::function<bool()>& done) {
    const auto stall = std::chrono::milliseconds(settings_.stallTimeoutMs ? settings_.stallTimeoutMs
                                                                          : kDefaultStallTimeoutMs);
    while (!done() && !finished_) {
        if (cancel_ && cancel_->load()) {
            Detach();
            finished_ = true;
            result_ = CURLE_ABORTED_BY_CALLBACK;
            last_error_ = ERROR_INTERNET_OPERATION_CANCELLED;
            return false;
        }
        PumpOnce();
        if (done() || finished_) break;
        if (const DWORD error = Slowness(stall)) {
            Detach();
            finished_ = true;
            result_ = CURLE_OPERATION_TIMEDOUT;
            last_error_ = error;
            return false;
        }
        WaitForSockets(100);
    }
    return true;
}

void HttpRequest::WaitForSockets(int timeoutMs) {
    long due = -1;
    if (Curl().multi_timeout(curl_.multi, &due) == CURLM_OK && due >= 0 && due < timeoutMs)
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
    if (paused_) return 0;
    if (now - last_activity_ > stall) return ERROR_INTERNET_TIMEOUT;
    if (now - window_start_ >= stall) {
        const int64_t least = std::max<int64_t>(1, kMinBytesPerMinute * stall.count() / 60000);
        if (moved_ - window_bytes_ < least) return ERROR_INTERNET_TIMEOUT;
        RestartRateWindow();
    }
    return 0;
}

bool HttpRequest::FinishHeaderBlock() {
    block_open_ = false;
    const int code = status_code_;
    interim_ = code >= 100 && code < 200;
    if (interim_) return true; // the real answer follows
    long connects = 0;
    Curl().easy_getinfo(curl_.easy, CURLINFO_NUM_CONNECTS, &connects);
    const bool keptConnection = connects == connects_;
    connects_ = connects;
    if (LengthsDiffer(header_lines_)) {
        lengths_differ_ = true;
        return false;
    }
    // Only a 408 on a new connection is the server's answer to this request. Once a redirect was
    // followed, a form is not posted again unless the 408 answered the form itself.
    const bool sameAgain = redirects_ == 0 || settings_.verb == "GET" || settings_.verb == "HEAD";
    if (code == 408 && keptConnection && !sent_again_ && sameAgain) {
        send_again_ = true;
        return false;
    }
    if (!(settings_.flags & INTERNET_FLAG_NO_AUTO_REDIRECT) && IsRedirectStatus(code) &&
        redirects_ < kMaxRedirects) {
        std::string location;
        if (Header("Location", location)) {
            const std::string target = ResolveLocation(EffectiveUrl(), location);
            const std::string scheme = LowerCase(target.substr(0, target.find(':')));
            if (scheme == "http" || scheme == "https") {
                // Said once, also when the send goes again.
                if (++redirects_ > redirects_said_) {
                    redirects_said_ = redirects_;
                    Report(INTERNET_STATUS_REDIRECT, target);
                }
                return true; // the library follows it
            }
        }
    }
    // With credentials set, the library answers the first challenge itself and asks again.
    const RequestSettings& s = settings_;
    if (code == 401 && auth_rounds_ == 0 && !(s.flags & INTERNET_FLAG_NO_AUTH) &&
        (!s.user.empty() || !s.password.empty())) {
        ++auth_rounds_;
        return true;
    }
    if (code == 407 && auth_rounds_ == 0 && (!s.proxyUser.empty() || !s.proxyPassword.empty())) {
        ++auth_rounds_;
        return true;
    }
    final_headers_ = true;
    return true;
}

size_t HttpRequest::OnHeader(char* data, size_t size, size_t count, void* userdata) {
    auto* self = static_cast<HttpRequest*>(userdata);
    const size_t n = size * count;
    self->Touch();
    self->moved_ += static_cast<int64_t>(n);
    // Looked at where the library holds it: a dozen lines an answer, each copied once, into its place.
    std::string_view line(data, n);
    const bool statusLine = !self->final_headers_ && line.starts_with("HTTP/");
    // The library keeps every line it is given, trailers too: a server that sends interim answers or
    // trailers without end is stopped as one that sends a header block without end.
    self->header_bytes_ = (statusLine && !self->interim_ ? 0 : self->header_bytes_) + static_cast<int64_t>(n);
    if (self->header_bytes_ > kMaxHeaderBytes) {
        self->header_too_large_ = true;
        return 0;
    }
    if (self->final_headers_) return n; // trailers after the body
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.remove_suffix(1);
    if (statusLine) {
        self->status_line_.assign(line);
        self->header_lines_.clear();
        self->block_open_ = true;
        ++self->blocks_;
        if (!self->receiving_said_) {
            self->receiving_said_ = true;
            self->Report(INTERNET_STATUS_RECEIVING_RESPONSE, "");
        }
        const size_t sp = self->status_line_.find(' ');
        self->status_code_ =
            sp == std::string::npos ? 0 : StrToIntDef(self->status_line_.substr(sp + 1, 3), 0);
        return n;
    }
    if (line.empty()) {
        if (self->block_open_ && !self->FinishHeaderBlock()) return 0;
        return n;
    }
    if (!self->block_open_) return n;
    if ((line[0] == ' ' || line[0] == '\t') && !self->header_lines_.empty())
        self->header_lines_.back() += " " + Trim(std::string(line));
    else
        self->header_lines_.emplace_back(line);
    return n;
}

size_t HttpRequest::OnBody(char* data, size_t size, size_t count, void* userdata) {
    auto* self = static_cast<HttpRequest*>(userdata);
    const size_t n = size * count;
    self->Touch();
    self->final_headers_ = true;
    if (self->buffer_.size() - self->buffer_pos_ >= self->hold_limit_) {
        self->paused_ = true;
        return CURL_WRITEFUNC_PAUSE;
    }
    const int64_t limit = self->settings_.maxBodyBytes == 0 ? kMaxBodyBytes : self->settings_.maxBodyBytes;
    if (limit > 0 && self->body_total_ + static_cast<int64_t>(n) > limit) {
        self->too_large_ = true;
        return 0;
    }
    if (self->buffer_pos_ > 0 && self->buffer_pos_ >= self->buffer_.size() / 2) {
        self->buffer_.erase(0, self->buffer_pos_);
        self->buffer_pos_ = 0;
    }
    self->buffer_.append(data, n);
    self->body_total_ += static_cast<int64_t>(n);
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
    if (dlnow != self->seen_down_ || ulnow != self->seen_up_) {
        if (ulnow > self->seen_up_) self->moved_ += ulnow - self->seen_up_;
        self->seen_down_ = dlnow;
        self->seen_up_ = ulnow;
        self->Touch();
    }
    return (self->cancel_ && self->cancel_->load()) ? 1 : 0;
}

DWORD HttpRequest::MapError(CURLcode code) const {
    if (too_large_) return ERROR_INTERNET_BODY_TOO_LARGE;
    if (header_too_large_) return ERROR_INTERNET_HEADER_TOO_LARGE;
    if (lengths_differ_) return ERROR_INTERNET_BAD_RESPONSE;
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
        return final_headers_ ? ERROR_INTERNET_CONNECTION_ABORTED : ERROR_INTERNET_HEADER_TOO_LARGE;
    case CURLE_GOT_NOTHING:
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
        return ERROR_INTERNET_CONNECTION_RESET;
    default:
        return ERROR_INTERNET_CONNECTION_ABORTED;
    }
}

} // namespace net

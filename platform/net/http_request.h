#pragma once
// One HTTP request driven in pull style, over a plain connection of its own where that is enough
// (plain_http.h), else over a libcurl multi handle: Send runs the transfer until the final response's
// headers are known, Read pulls body bytes, and both give up on cancel or stall.
#include "platform/net/curl_pool.h"
#include "platform/net/plain_http.h"
#include "platform/rtl/wait_policy.h"
#include "platform/rtl/wintypes.h"

#include <array>
#include <atomic>
#include <chrono>
#include <functional>
#include <poll.h>
#include <string>
#include <utility>
#include <vector>

namespace net {

struct RequestSettings {
    std::string url;
    std::string verb = "GET";
    std::string referer;
    std::string agent;
    std::string accept;
    DWORD flags = 0;
    std::vector<std::string> headers; // "Name: value"
    std::string user, password;
    DWORD accessType = 0;
    std::string proxy, proxyBypass, proxyUser, proxyPassword;
    DWORD connectTimeoutMs = 0;
    DWORD stallTimeoutMs = 0;
    int64_t maxBodyBytes = 0;   // 0: kMaxBodyBytes; negative: no limit (the body goes to a file)
    int64_t totalTimeoutMs = 0; // 0: kDefaultTotalTimeoutMs; negative: no limit
};

class HttpRequest {
public:
    using StatusCallback = std::function<void(DWORD, const std::string&)>;

    HttpRequest();
    ~HttpRequest();
    HttpRequest(const HttpRequest&) = delete;
    HttpRequest& operator=(const HttpRequest&) = delete;

    RequestSettings& Settings() { return settings_; }
    void SetStatusCallback(StatusCallback callback) { status_ = std::move(callback); }
    void SetCancelFlag(const std::atomic<bool>* cancel) { cancel_ = cancel; }

    // Both answer false and set LastError() on failure.
    bool Send(const std::string& extraHeaders, const std::string& body);
    bool Read(void* buffer, size_t size, size_t& bytesRead);
    // After Send: waits up to timeoutMs for the rest of the body, taking none of it. True once the
    // transfer has ended (reads then no longer wait); false at once for a body too large to hold.
    bool WaitForBody(DWORD timeoutMs);

    int StatusCode() const { return status_code_; }
    const std::string& StatusLine() const { return status_line_; }
    const std::vector<std::string>& HeaderLines() const { return header_lines_; }
    // First header of that name (compared without regard to letter case), or false.
    bool Header(const std::string& name, std::string& value) const;
    std::string EffectiveUrl() const;
    DWORD LastError() const { return last_error_; }

private:
    static constexpr size_t kHeldAhead = 256 * 1024; // body bytes held before the transfer is paused
    // Whether a status is a redirect that is followed; a Location resolved against the address it came
    // from (empty when it cannot be parsed).
    static bool IsRedirectStatus(int code);
    static std::string ResolveLocation(const std::string& base, const std::string& location);
    // How this thread waits for its server, whichever way the request goes (see TWaitPolicy).
    static TWaitPolicy& ServerWait();
    static size_t OnHeader(char* data, size_t size, size_t count, void* self);
    static size_t OnBody(char* data, size_t size, size_t count, void* self);
    static int OnProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t);
    static int OnSocket(CURL*, curl_socket_t socket, int what, void* self, void*);

    // The library's handles for this request, taken at its first request that goes through the library.
    void TakeLibrary();
    // The request's own header lines, in order: the accepted types, those added, the extra ones.
    void WantedHeaders(const std::string& extraHeaders, std::vector<std::string>& lines) const;
    void Configure(const std::string& extraHeaders, const std::string& body);
    // Sends through the library, to Url with the redirects left after those already followed.
    bool SendThroughLibrary(const std::string& url, const std::string& extraHeaders, const std::string& body);
    // Everything known of the last answer forgotten, for a new send.
    void ForgetResponse();

    // The plain way (plain_http.h). Whether this send may take it; the send itself, which sets Fallback
    // (and the address to go on with) when the library must do it, nothing having been sent that it
    // would not send again; and reading the body.
    bool PlainEligible(const std::vector<std::string>& headers, const std::string& body) const;
    bool SendPlain(const std::vector<std::string>& headers, bool& fallback, std::string& fallbackUrl);
    void ComposePlain(const plain::Target& target, const std::vector<std::string>& headers);
    // Connects to the address learned for Target: 1 done, 0 refused (the library tries), -1 failed.
    int ConnectPlain(const plain::Target& target);
    bool WritePlain();
    // One header block into status_line_ and header_lines_: 1 read, 0 the connection ended before it
    // began, -1 failed (last_error_ set).
    int ReadHeadPlain();
    // The body's framing and whether the connection serves again, from the final headers.
    bool FrameBodyPlain();
    // Takes body bytes from what was received, receiving more when there is none; false on failure.
    bool PumpPlain(std::chrono::steady_clock::time_point deadline, bool& timedOut);
    // Receives more of the answer: its byte count, 0 at its end, -1 on failure or at the deadline.
    long ReceivePlain(std::chrono::steady_clock::time_point deadline, bool tryFirst, bool& timedOut);
    // False, with last_error_ set, once the request is cancelled or the server too slow.
    bool GoOnPlain();
    // Until the connection is ready for events: 1 ready, 0 the deadline came, -1 failed.
    int WaitPlain(short events, std::chrono::steady_clock::time_point deadline, bool forAnswer = false);
    bool ReadPlain(void* buffer, size_t size, size_t& bytesRead);
    bool WaitForBodyPlain(DWORD timeoutMs);
    // A finished body gives its connection back to the pool; anything else closes it.
    void ReleasePlain(bool keep);
    // The options a send may change, each set only when it differs from what the handle was last given:
    // a setting copies its text, and a few make the library read its environment again.
    enum HeldOption {
        kAgent,
        kReferer,
        kFollow,
        kConnectTimeout,
        kVerifyHost,
        kCa,
        kUser,
        kPassword,
        kHttpAuth,
        kProxy,
        kNoProxy,
        kProxyUser,
        kProxyPassword,
        kProxyAuth,
        kRedirectLimit,
        kHeldOptions
    };
    struct Held {
        bool known = false;
        bool null = false;
        std::string text;
        long number = 0;
    };
    void SetText(HeldOption slot, CURLoption option, const char* value);
    void SetNumber(HeldOption slot, CURLoption option, long value);
    bool PumpUntil(const std::function<bool()>& done);
    // Lets the library act on the sockets the last wait found ready, and on its timer when that is due.
    void PumpOnce();
    // Until the transfer's sockets have something to do, the library's timer is due, or timeoutMs.
    void WaitForSockets(int timeoutMs);
    void Detach();
    void FinishHeaderBlock();
    DWORD MapError(CURLcode code) const;
    void Touch() { last_activity_ = std::chrono::steady_clock::now(); }
    // Starts a new window of the minimum-rate rule.
    void RestartRateWindow() {
        window_start_ = std::chrono::steady_clock::now();
        window_bytes_ = moved_;
    }
    // The error that ends the transfer now for being too slow, or 0.
    DWORD Slowness(std::chrono::milliseconds stall);
    void Report(DWORD status, const std::string& info) {
        if (status_) status_(status, info);
    }

    RequestSettings settings_;
    StatusCallback status_;
    const std::atomic<bool>* cancel_ = nullptr;
    CurlPair curl_;
    // The sockets the library asked to be watched, with what the last wait found on them.
    std::vector<pollfd> watched_;
    std::vector<std::pair<curl_socket_t, int>> ready_;
    curl_slist* header_list_ = nullptr;
    std::array<Held, kHeldOptions> held_{};
    std::vector<std::string> held_headers_, wanted_headers_;
    std::string body_;
    bool attached_ = false;
    // The handle has its fixed options; the cookie engine's state last set (-1: not yet).
    bool configured_ = false;
    int cookies_ = -1;

    // Response state of the current send.
    int status_code_ = 0;
    std::string status_line_;
    std::vector<std::string> header_lines_;
    int blocks_ = 0;
    bool block_open_ = false;
    bool final_headers_ = false;
    bool finished_ = false;
    CURLcode result_ = CURLE_OK;
    bool paused_ = false;
    bool too_large_ = false;
    bool header_too_large_ = false;
    int64_t header_bytes_ = 0; // of the header block being read
    int64_t body_total_ = 0;
    int redirects_ = 0;
    int auth_rounds_ = 0;
    curl_off_t seen_down_ = 0;
    curl_off_t seen_up_ = 0;
    std::string buffer_;
    size_t buffer_pos_ = 0;
    std::chrono::steady_clock::time_point last_activity_;
    // Bytes moved either way since the send (headers included), and the current rate window.
    int64_t moved_ = 0;
    int64_t window_bytes_ = 0;
    std::chrono::steady_clock::time_point window_start_;
    std::chrono::steady_clock::time_point sent_at_;
    DWORD last_error_ = 0;

    // The plain way: whether the last send took it, its connection, the address it ended at, the bytes
    // received and not yet taken, and the failure that ended its body.
    bool plain_ = false;
    int fd_ = -1;
    bool keep_ = false;
    std::string plain_key_;
    std::string plain_url_;
    std::string request_text_;
    std::string raw_;
    size_t raw_pos_ = 0;
    plain::BodyDecoder decoder_;
    DWORD plain_failure_ = 0;
};

} // namespace net

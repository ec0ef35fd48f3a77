#pragma once
// One HTTP request driven in pull style over a libcurl multi handle: Send runs the transfer until
// the final response's headers are known, Read pulls body bytes, and both give up on cancel or stall.
#include "platform/net/curl_pool.h"
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
    // After Send: waits up to timeoutMs for the rest of the body, taking none of it and holding up to
    // holdBytes of it (at least the read-ahead). True once the transfer has ended (reads then no longer
    // wait); false at once for a body larger than that.
    bool WaitForBody(DWORD timeoutMs, size_t holdBytes);
    // Moves the body bytes held and not yet read into body, as reads would give them, without copying;
    // the read after them says how the body ended.
    void TakeBody(std::string& body);

    int StatusCode() const { return status_code_; }
    const std::string& StatusLine() const { return status_line_; }
    const std::vector<std::string>& HeaderLines() const { return header_lines_; }
    // First header of that name (compared without regard to letter case), or false.
    bool Header(const std::string& name, std::string& value) const;
    std::string EffectiveUrl() const;
    DWORD LastError() const { return last_error_; }

private:
    static size_t OnHeader(char* data, size_t size, size_t count, void* self);
    static size_t OnBody(char* data, size_t size, size_t count, void* self);
    static int OnProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t);
    static int OnSocket(CURL*, curl_socket_t socket, int what, void* self, void*);

    void Configure(const std::string& extraHeaders, const std::string& body);
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
        kFreshConnect,
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
    // Everything known of the answer so far forgotten, for a new send or for sending again.
    void ForgetResponse();
    // At the end of a header block; false when the transfer is to stop here.
    bool FinishHeaderBlock();
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
    bool lengths_differ_ = false;
    // The header bytes of the answer being read (see kMaxHeaderBytes), and whether its last block was an
    // interim one.
    int64_t header_bytes_ = 0;
    bool interim_ = false;
    // Connections the transfer had made when its last answer ended: when none more were made for the next
    // answer, that answer came on a connection that had answered before.
    long connects_ = 0;
    // A 408 on such a connection: the send is to go again, once, on a new one. What was said to the
    // status callback is not said again for it.
    bool send_again_ = false;
    bool sent_again_ = false;
    bool receiving_said_ = false;
    int redirects_said_ = 0;
    int64_t body_total_ = 0;
    int redirects_ = 0;
    int auth_rounds_ = 0;
    curl_off_t seen_down_ = 0;
    curl_off_t seen_up_ = 0;
    std::string buffer_;
    size_t buffer_pos_ = 0;
    // Body bytes held before the transfer is paused until they are read.
    size_t hold_limit_ = 0;
    std::chrono::steady_clock::time_point last_activity_;
    // Bytes moved either way since the send (headers included), and the current rate window.
    int64_t moved_ = 0;
    int64_t window_bytes_ = 0;
    std::chrono::steady_clock::time_point window_start_;
    std::chrono::steady_clock::time_point sent_at_;
    DWORD last_error_ = 0;
};

} // namespace net

#pragma once
// One HTTP request driven in pull style over a libcurl multi handle: Send runs the transfer until
// the final response's headers are known, Read pulls body bytes, and both give up on cancel or stall.
#include "platform/net/curl_pool.h"
#include "platform/rtl/wintypes.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <poll.h>
#include <string>
#include <string_view>
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

    int StatusCode() const { return answer_.statusCode; }
    const std::string& StatusLine() const { return answer_.statusLine; }
    const std::vector<std::string>& HeaderLines() const { return answer_.headerLines; }
    // First header of that name (compared without regard to letter case), or false.
    bool Header(const std::string& name, std::string& value) const;
    std::string EffectiveUrl() const;
    DWORD LastError() const { return last_error_; }
    // What the failure adds to LastError(): the authorities or the proxy at fault; empty when nothing.
    const std::string& LastErrorText() const { return last_error_text_; }

private:
    struct SlistFree {
        void operator()(curl_slist* list) const;
    };
    // What is known of the answer to one transfer, with the blocks the library went past on its way to it.
    struct Answer {
        int statusCode = 0;
        std::string statusLine;
        std::vector<std::string> headerLines;
        int blocks = 0;
        bool blockOpen = false;
        // The last block ended as a redirect or a challenge the library may act on: what it does next
        // decides whether that block is the answer.
        bool undecided = false;
        bool finalHeaders = false;
        bool finished = false;
        CURLcode result = CURLE_OK;
        bool paused = false;
        bool tooLarge = false;
        bool headerTooLarge = false;
        bool lengthsDiffer = false;
        // The header bytes of the answer being read (see kMaxHeaderBytes), and whether its last block
        // was an interim one.
        int64_t headerBytes = 0;
        bool interim = false;
        // Connections the transfer had made when its last block ended: when none more were made for the
        // next block, that block came on a connection that had answered before.
        long connects = 0;
        // A 408 on such a connection: the send is to go again, once, on a new one.
        bool sendAgain = false;
        int redirects = 0;
        int64_t bodyTotal = 0;
        curl_off_t seenDown = 0;
        curl_off_t seenUp = 0;
        std::string buffer;
        size_t bufferPos = 0;
        // Body bytes held before the transfer is paused until they are read.
        size_t holdLimit = 0;
    };

    static size_t OnHeader(char* data, size_t size, size_t count, void* self);
    static size_t OnBody(char* data, size_t size, size_t count, void* self);
    static int OnProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t);
    static int OnSocket(CURL*, curl_socket_t socket, int what, void* self, void*);

    // The header lines and body the transfers of this send carry.
    void Prepare(const std::string& extraHeaders, const std::string& body);
    // A transfer on a handle of its own, the answer before it forgotten; false when it cannot start.
    bool StartTransfer(bool freshConnection);
    void Configure(bool freshConnection);
    bool PumpUntil(const std::function<bool()>& done);
    // Lets the library act on the sockets the last wait found ready, and on its timer when that is due.
    void PumpOnce();
    // Until the transfer's sockets have something to do, the library's timer is due, or timeoutMs.
    void WaitForSockets(int timeoutMs);
    void Detach();
    // At the start of a header block, and at its end; false when the transfer is to stop there.
    void StartHeaderBlock(std::string_view statusLine);
    bool FinishHeaderBlock();
    DWORD MapError(CURLcode code) const;
    // Sets LastError() and LastErrorText() for a transfer the library ended with code.
    void Failed(CURLcode code);
    bool Fail(DWORD error) {
        last_error_ = error;
        last_error_text_.clear();
        return false;
    }
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
    PooledMulti multi_;
    // The handle of the current transfer, kept after it for what the library says of it.
    CurlEasy easy_;
    // The sockets the library asked to be watched, with what the last wait found on them.
    std::vector<pollfd> watched_;
    std::vector<std::pair<curl_socket_t, int>> ready_;
    std::unique_ptr<curl_slist, SlistFree> header_list_;
    std::vector<std::string> held_headers_, wanted_headers_;
    std::string body_;
    bool attached_ = false;
    Answer answer_;

    // Of the send as a whole, over its going again: what was said to the status callback is not said
    // again for a send that goes again.
    bool sent_again_ = false;
    bool receiving_said_ = false;
    int redirects_said_ = 0;
    std::chrono::steady_clock::time_point last_activity_;
    // Bytes moved either way since the send (headers included), and the current rate window.
    int64_t moved_ = 0;
    int64_t window_bytes_ = 0;
    std::chrono::steady_clock::time_point window_start_;
    std::chrono::steady_clock::time_point sent_at_;
    DWORD last_error_ = 0;
    std::string last_error_text_;
    // Why the authorities the environment names were not handed to the library; empty when they were.
    std::string trust_problem_;
};

} // namespace net

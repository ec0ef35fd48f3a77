#pragma once
// The state of one transfer, shared by the component and the worker that runs it: after a hard stop the
// worker keeps it (and the stream and buffers in it) alive alone, while the component has moved on.
#include "fetch/http/http_settings.h"
#include "fetch/http/win_http.h"
#include "platform/net/wininet.h"
#include "platform/rtl/sync.h"

#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class TStream;

namespace winhttp {

// The events of a transfer whose whole body had arrived with its headers. The worker gathers them and
// the GUI thread runs them, in order, in the one call that ends the transfer: one hand-over a page
// instead of one for the headers, one for each block of the body and one for the end.
struct Batch {
    bool headerInfo = false; // OnHeaderInfo is due
    std::string raw, language, encoding, location, etag;
    TDateTime date = 0, modified = 0, expires = 0;
    int64_t contentLength = 0;
    // The body as the reads gave it: each block raises its own progress event.
    struct Block {
        size_t size;
        int64_t elapsedMs;
    };
    std::string body;
    std::vector<Block> blocks;
};

// Owns one handle of the network layer.
class Handle {
public:
    Handle() = default;
    ~Handle() { Reset(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    void Reset(HINTERNET h = nullptr) {
        if (h_) InternetCloseHandle(h_);
        h_ = h;
    }
    HINTERNET Get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }

private:
    HINTERNET h_ = nullptr;
};

// The handles a component's transfers go through, opened by the first and kept for the next: one
// configured request, re-aimed for each address, on one connection while the server, agent, proxy and
// credentials stay the same. One transfer at a time uses it; a transfer stopped hard keeps it for itself
// and the component opens a new one.
struct Session {
    ~Session();
    // What root and connection were opened for.
    std::string key;
    Handle root, connection, request;
    // Closes every handle without a word to the transfer that last used them.
    void Close();
};

// What the component asked for, fixed before the worker starts; the transfers of a run share it.
struct Request {
    std::string postData, referer, acceptTypes, agent, outputFileName, addHeadersText;
    std::string username, password;
    TWinHTTPRequestMethod requestMethod = rmAutoDetect;
    uint32_t requestFlags = 0;
    bool workOffline = false;
    uint32_t bufferSize = 4096;
    TWinHTTPProxy proxy;
    uint32_t rangeStart = 0, rangeEnd = 0;
    uint32_t connectTimeout = 0, receiveTimeout = 0, sendTimeout = 0, totalTimeout = 0;
    bool wantsHeaderInfo = false, wantsProgress = false, wantsPassword = false, wantsProxyAuth = false;
    TWinHTTPStatusEvent onStatus;
    TWinHTTPRedirected onRedirected;
    TWinHTTPChainEvent onChain;
};

// What one transfer came to, written by the worker; the GUI thread reads it while the worker waits for
// it, or after the worker's part is over. In a run it goes whole from one page to the next.
struct Outcome {
    int statusCode = -1;
    std::string contentType;
    // The Location header of a redirect answer, as sent.
    std::string location;
    int64_t dataSize = 0;
    int64_t bytesRead = 0;
    // Where the body starts and ends when a transfer resumes (given by the caller; the worker drops a
    // resume the server does not take).
    int64_t resumeFrom = 0;
    int64_t resumeTo = 0;
    std::chrono::steady_clock::time_point start;
    bool success = false;
    // The network layer's error of the call that failed, or 0, and what it says besides.
    uint32_t lastError = 0;
    std::string errorText;
    bool continueDownload = true;
    bool fileOutput = false;
    std::unique_ptr<TStream> stream;
    std::unique_ptr<Batch> batch;
};

struct Transfer {
    // The inputs, the outcome and, below, the control: the atomics the two threads signal with and the
    // hand-over of a run's ended transfers.
    TCustomWinHTTP* owner = nullptr;
    std::shared_ptr<const Request> request;
    // The address of this transfer: the worker re-aims a run's transfer at each next address.
    std::string url;
    Outcome outcome;
    std::shared_ptr<Session> session;
    // The place in its run of a transfer the worker went on to by itself (0: the one the run began with).
    // While the worker goes on, the GUI thread reads it and the address only through TakeChained.
    int chainIndex = 0;

    // Set to make the worker give up at its next check; the network calls poll it too.
    std::atomic<bool> cancel{false};
    // Written by the GUI thread's Abort and by the worker when it gives up, read by both.
    std::atomic<bool> deleteOnAbort{false};
    std::atomic<bool> aborted{false};

    // Worker-thread events (OnStatus, OnRedirected) run only while the transfer is not silenced; a hard
    // stop silences it. Once Silence returns no handler starts, and none runs any more unless Silence
    // was called from inside one (directly, or through a message the worker sent to the GUI thread).
    void Status(int code, const std::string& information);
    void Silence();

    // On the worker: keeps the outcome of the transfer just ended for the GUI thread, and aims this one
    // at URL, the next of its run.
    void ChainTo(const std::string& URL);
    // On the GUI thread, while the worker may go on: the oldest outcome kept by ChainTo and not yet
    // taken; else null, and Index and URL get the place and address of the transfer under way.
    std::shared_ptr<Transfer> TakeChained(int& Index, std::string& URL);
    // On the GUI thread: a transfer taken and heard of, given back for the worker to free at its next
    // ChainTo, as it made it: what one thread's heap gives and another frees makes both wait for the
    // heap's lock.
    void GiveBack(std::shared_ptr<Transfer> Ended);

private:
    std::mutex chainLock_;
    std::deque<std::shared_ptr<Transfer>> chained_;
    std::vector<std::shared_ptr<Transfer>> givenBack_;
    std::mutex gate_;
    bool silenced_ = false;
    int calling_ = 0;         // handlers running now
    TEvent idle_{true, true}; // set while none runs
};

// The worker body; runs on the worker thread and ends early when the transfer is stopped.
void RunTransfer(const std::shared_ptr<Transfer>& transfer);
// RunTransfer, then the next address its onChain names after each answer, until it names none. The
// transfer is held by value: the work that calls it may be replaced from the GUI thread meanwhile.
void RunChain(std::shared_ptr<Transfer> transfer);

// On the GUI thread, at the end of a batched transfer: raises its header and progress events in order,
// filling the stream as the worker would have. False as soon as Current() turns false (the transfer was
// stopped from a handler, or before the batch ran): the rest is then not raised.
bool DeliverBatch(TCustomWinHTTP& owner, Transfer& transfer, const std::function<bool()>& Current);

} // namespace winhttp

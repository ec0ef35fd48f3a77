#pragma once
// The state of one transfer, shared by the component and the worker that runs it: after a hard stop the
// worker keeps it (and the stream and buffers in it) alive alone, while the component has moved on.
#include "fetch/http/http_settings.h"
#include "fetch/http/win_http.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <string>

class TStream;

namespace winhttp {

struct Transfer {
    // What the component held when the transfer began.
    TCustomWinHTTP* owner = nullptr;
    std::string url, postData, referer, acceptTypes, agent, outputFileName, addHeadersText;
    std::string username, password;
    TWinHTTPRequestMethod requestMethod = rmAutoDetect;
    uint32_t requestFlags = 0;
    bool workOffline = false;
    uint32_t bufferSize = 4096;
    TWinHTTPProxy proxy;
    uint32_t rangeStart = 0, rangeEnd = 0;
    uint32_t connectTimeout = 0, receiveTimeout = 0, sendTimeout = 0;
    bool wantsHeaderInfo = false, wantsProgress = false, wantsPassword = false, wantsProxyAuth = false;
    TWinHTTPStatusEvent onStatus;
    TWinHTTPRedirected onRedirected;

    // Progress and outcome, written by the worker; the GUI thread reads them while the worker waits
    // for it, or after the worker's part is over.
    int statusCode = -1;
    std::string contentType;
    int64_t dataSize = 0;
    int64_t bytesRead = 0;
    int64_t resumeFrom = 0;
    int64_t resumeTo = 0;
    std::chrono::steady_clock::time_point start;
    bool success = false;
    bool continueDownload = true;
    bool deleteOnAbort = false;
    bool aborted = false;
    bool fileOutput = false;
    std::unique_ptr<TStream> stream;

    // Set to make the worker give up at its next check; the network calls poll it too.
    std::atomic<bool> cancel{false};

    // Worker-thread events run only while the transfer is not silenced; a hard stop silences it.
    void Status(int code, const std::string& information);
    void Silence();

private:
    std::mutex gate_;
    bool silenced_ = false;
};

// The worker body; runs on the worker thread and ends early when the transfer is stopped.
void RunTransfer(const std::shared_ptr<Transfer>& transfer);

} // namespace winhttp

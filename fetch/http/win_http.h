#pragma once
// The HTTP client component: one transfer at a time on a worker thread, the body kept in memory or
// written to a file, headers, progress and outcome reported through events on the GUI thread.
#include "fetch/http/http_settings.h"
#include "fetch/http/login_component.h"
#include "fetch/http/win_thread.h"
#include "platform/rtl/date_time.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class TStream;
class TStrings;
class TStringList;

using TWinHTTPHeaderInfoEvent = std::function<void(
    TObject* Sender, int ErrorCode, const std::string& RawHeadersCRLF, const std::string& ContentType,
    const std::string& ContentLanguage, const std::string& ContentEncoding, int64_t ContentLength,
    const std::string& Location, TDateTime Date, TDateTime LastModified, TDateTime Expires,
    const std::string& ETag, bool& ContinueDownload)>;
using TWinHTTPProgressEvent = std::function<void(
    TObject* Sender, const std::string& ContentType, int64_t DataSize, int64_t BytesRead, int ElapsedTime,
    int EstimatedTimeLeft, uint8_t PercentsDone, float TransferRate, TStream* Stream)>;
using TWinHTTPDoneEvent =
    std::function<void(TObject* Sender, const std::string& ContentType, int64_t FileSize, TStream* Stream)>;
using TWinHTTPConnLostEvent = std::function<void(TObject* Sender, const std::string& ContentType,
                                                 int64_t FileSize, int64_t BytesRead, TStream* Stream)>;
using TWinHTTPErrorEvent = std::function<void(TObject* Sender, int ErrorCode, TStream* Stream)>;
using TWinHTTPRedirected = std::function<void(TObject* Sender, const std::string& NewURL)>;
// The address to fetch next in the same run, given the answer the last transfer got (its status code,
// address and Location header); empty ends the run.
using TWinHTTPChainEvent =
    std::function<std::string(int StatusCode, const std::string& URL, const std::string& Location)>;
using TWinHTTPPasswordRequestEvent =
    std::function<void(TObject* Sender, const std::string& Realm, bool& TryAgain)>;
using TWinHTTPProxyAuthenticationEvent = std::function<void(TObject* Sender, std::string& ProxyUsername,
                                                            std::string& ProxyPassword, bool& TryAgain)>;
using TWinHTTPStatusEvent =
    std::function<void(TObject* Sender, int StatusCode, const std::string& StatusText)>;

namespace winhttp {
struct Transfer;
struct Session;
// The text of a status callback code.
const char* StatusText(int StatusCode);
// The realm of a WWW-Authenticate value: the quoted text after the first =" (empty when there is none).
std::string RealmOf(const std::string& Challenge);
// Progress figures, in 64-bit arithmetic, clamped to sensible ranges.
struct Progress {
    uint8_t PercentsDone = 0;
    int ElapsedTime = 0;
    int EstimatedTimeLeft = 0;
    float TransferRate = 0;
};
Progress ComputeProgress(int64_t DataSize, int64_t BytesRead, int64_t ResumeFrom, int64_t ElapsedMs);
} // namespace winhttp

class TCustomWinHTTP : public TWinLoginComponent {
public:
    explicit TCustomWinHTTP(TComponent* AOwner);
    ~TCustomWinHTTP() override;
    std::string ClassName() const override { return "TCustomWinHTTP"; }

    // False at once while a transfer is busy.
    bool Read(bool ForceWait = false) { return ReadRange(0, 0, ForceWait); }
    bool ReadRange(uint32_t StartPos, uint32_t EndPos, bool ForceWait = false);
    // Stops the running transfer. Without Hard the worker notices at its next check (within about a
    // second even on a silent connection); with Hard the abort runs at once on the calling thread.
    void Abort(bool DeleteOutputFile = false, bool Hard = false);

    bool Busy() const { return busy_; }
    // Why the transfer failed, as the network layer said (ERROR_INTERNET_TIMEOUT and the like): set from
    // the start of the end-of-transfer events until the next transfer; 0 when no call failed.
    uint32_t LastError() const { return lastError_; }
    // What the network layer said besides (InternetGetLastErrorText), set with LastError().
    const std::string& LastErrorText() const { return lastErrorText_; }
    bool Reading() const { return reading_; }
    TCustomWinThread* WorkerThread() const { return worker_; }

    std::string URL;
    TWinHTTPRequestMethod RequestMethod = rmAutoDetect;
    std::string POSTData;
    std::string Referer;
    std::string AcceptTypes = "text/html, */*";
    std::string Agent = "Pathweaver/4.5";
    TCacheOptions CacheOptions = OptionBit(coReloadIfNoExpireInformation) |
                                 OptionBit(coReloadUpdatedObjects) | OptionBit(coCreateTempFilesIfCantCache);
    TInternetOptions InternetOptions = OptionBit(ioKeepConnection);
    std::string OutputFileName;
    bool HideOutputFile = false;
    uint32_t TransferBufferSize = 4096;
    bool WorkOffline = false;

    TStrings* AddHeaders() const;
    TWinHTTPProxy* Proxy() const { return proxy_.get(); }
    TWinHTTPRange* Range() const { return range_.get(); }
    TWinHTTPTimeouts* Timeouts() const { return timeouts_.get(); }
    TThreadPriority ThreadPriority() const { return worker_->ThreadPriority(); }
    void SetThreadPriority(TThreadPriority Value) { worker_->SetThreadPriority(Value); }
    bool WaitThread() const { return worker_->WaitThread(); }
    void SetWaitThread(bool Value) { worker_->SetWaitThread(Value); }
    uint32_t WaitTimeout() const { return worker_->WaitTimeout(); }
    void SetWaitTimeout(uint32_t Value) { worker_->SetWaitTimeout(Value); }

    // Events on the GUI thread. While the worker waits for the handler (it sent the call and sleeps):
    // the headers arrived; set ContinueDownload to false to stop there.
    TWinHTTPHeaderInfoEvent OnHeaderInfo;
    // GUI thread, the worker waiting: a block of the body arrived (also for each block of a page whose
    // body came with its headers, replayed at the end).
    TWinHTTPProgressEvent OnProgress;
    // GUI thread, the worker waiting: the server asks for a password (401) or the proxy for one (407).
    TWinHTTPPasswordRequestEvent OnPasswordRequest;
    TWinHTTPProxyAuthenticationEvent OnProxyAuthenticationRequest;
    // GUI thread, once the worker's part is over: exactly one of these ends each transfer (OnAnyError
    // comes before the particular error).
    TWinHTTPDoneEvent OnDone;
    TNotifyEvent OnDoneInterrupted;
    TWinHTTPConnLostEvent OnConnLost;
    TWinHTTPErrorEvent OnHTTPError;
    TNotifyEvent OnHostUnreachable;
    TNotifyEvent OnAnyError;
    TNotifyEvent OnOutputFileError;
    // GUI thread: after a soft stop, from the worker's last call; after a hard one, inside Abort.
    TNotifyEvent OnAborted;
    // GUI thread, inside Read with WaitThread: the wait timed out; set TerminateThread to stop the run.
    TWinThreadWaitTimeoutExpired OnWaitTimeoutExpired;
    // Worker thread, while the GUI thread goes on: the network layer's progress reports and each
    // redirect followed. A handler may call into the window system (send a message to a window, say);
    // a hard stop waits for a handler that is running, serving such messages meanwhile, and no handler
    // starts after it.
    TWinHTTPStatusEvent OnStatus;
    TWinHTTPRedirected OnRedirected;
    // Worker thread, at the end of each transfer of a Read into memory: names the address the worker
    // fetches next by itself, in the same run, without waiting for the GUI thread (one transfer at a
    // time still). The events of each transfer come in the order of the transfers, each transfer's
    // after OnChained names its address.
    TWinHTTPChainEvent OnChain;
    // GUI thread: the events that follow are those of the transfer of URL, which the worker went on to
    // by itself.
    TWinHTTPRedirected OnChained;

    // The abort step, on the GUI thread: from the worker after a stop request, or from a hard Abort.
    void AbortStep(const std::shared_ptr<winhttp::Transfer>& transfer, bool Hard);
    // On the GUI thread, before any event of a transfer the worker went on to by itself: the end events
    // of the transfers before it in its run, then OnChained for it. False when the run was stopped
    // meanwhile.
    bool CatchUpChain(const std::shared_ptr<winhttp::Transfer>& transfer);

private:
    void EndOfTransfer();
    // The end events of one transfer of the run; false when the run was stopped by one of them.
    bool RaiseEnd(const std::shared_ptr<winhttp::Transfer>& run, winhttp::Transfer& ended);
    bool Current(const std::shared_ptr<winhttp::Transfer>& run) const;
    void Announce(int Index, const std::string& URL);
    void WaitTimeoutExpired(bool& TerminateThread);
    void Raise(const TNotifyEvent& event) {
        if (event) event(this);
    }

    TCustomWinThread* worker_;
    std::unique_ptr<TStringList> addHeaders_;
    std::unique_ptr<TWinHTTPProxy> proxy_;
    std::unique_ptr<TWinHTTPRange> range_;
    std::unique_ptr<TWinHTTPTimeouts> timeouts_;
    std::shared_ptr<winhttp::Transfer> transfer_;
    // The handles every transfer goes through; given up to a transfer stopped hard.
    std::shared_ptr<winhttp::Session> session_;
    bool busy_ = false;
    bool reading_ = false;
    uint32_t lastError_ = 0;
    std::string lastErrorText_;
    // The place in the run of the last transfer whose events were raised.
    int chainShown_ = 0;
};

class TWinHTTP : public TCustomWinHTTP {
public:
    explicit TWinHTTP(TComponent* AOwner) : TCustomWinHTTP(AOwner) {}
    std::string ClassName() const override { return "TWinHTTP"; }
};

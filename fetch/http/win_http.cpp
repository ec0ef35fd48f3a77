#include "fetch/http/win_http.h"

#include "fetch/http/http_transfer.h"
#include "platform/rtl/scope_guard.h"
#include "platform/rtl/stream.h"
#include "platform/rtl/string_list.h"

#include <cmath>
#include <limits>
#include <unistd.h>

namespace winhttp {

const char* StatusText(int StatusCode) {
    switch (StatusCode) {
    case 10:
        return "Resolving name";
    case 11:
        return "Name resolved";
    case 20:
        return "Connecting to server";
    case 21:
        return "Connected";
    case 30:
        return "Sending Request";
    case 31:
        return "Request sent";
    case 40:
        return "Receiving response";
    case 41:
        return "Response received";
    case 42:
        return "CTL Response received";
    case 43:
        return "Prefetch";
    case 50:
        return "Closing connection";
    case 51:
        return "Connection closed";
    case 60:
        return "Handle created";
    case 70:
        return "Handle closing";
    case 100:
        return "Request complete";
    case 110:
        return "Redirect";
    case 120:
        return "Intermediate response";
    case 200:
        return "State change";
    default:
        return "Unknown status";
    }
}

std::string RealmOf(const std::string& Challenge) {
    const size_t open = Challenge.find("=\"");
    if (open == std::string::npos) return {};
    const size_t from = open + 2;
    const size_t close = Challenge.find('"', from);
    return Challenge.substr(from, close == std::string::npos ? std::string::npos : close - from);
}

Progress ComputeProgress(int64_t DataSize, int64_t BytesRead, int64_t ResumeFrom, int64_t ElapsedMs) {
    Progress p;
    const double total = static_cast<double>(DataSize) + static_cast<double>(ResumeFrom);
    const double done = static_cast<double>(BytesRead) + static_cast<double>(ResumeFrom);
    if (total > 0)
        p.PercentsDone = static_cast<uint8_t>(std::clamp(std::round(done * 100.0 / total), 0.0, 100.0));
    const int64_t elapsed = std::max<int64_t>(ElapsedMs, 0) / 1000;
    p.ElapsedTime = static_cast<int>(std::min<int64_t>(elapsed, std::numeric_limits<int>::max()));
    if (BytesRead > 0) {
        const double estimate = std::round(static_cast<double>(DataSize) / static_cast<double>(BytesRead) *
                                           static_cast<double>(elapsed)) -
                                static_cast<double>(elapsed);
        p.EstimatedTimeLeft =
            static_cast<int>(std::clamp(estimate, 0.0, double(std::numeric_limits<int>::max())));
    }
    double rate = static_cast<double>(BytesRead) / 1024.0;
    if (elapsed != 0) rate /= static_cast<double>(elapsed);
    p.TransferRate = static_cast<float>(rate);
    return p;
}

} // namespace winhttp

TCustomWinHTTP::TCustomWinHTTP(TComponent* AOwner)
    : TWinLoginComponent(AOwner), worker_(new TCustomWinThread(this)),
      addHeaders_(std::make_unique<TStringList>()), proxy_(std::make_unique<TWinHTTPProxy>()),
      range_(std::make_unique<TWinHTTPRange>()), timeouts_(std::make_unique<TWinHTTPTimeouts>()) {
    worker_->SetOnException([this](TObject*) { Raise(OnAnyError); });
    worker_->SetOnTerminate([this](TObject*) { EndOfTransfer(); });
    // The worker is free for the next transfer as soon as this one's part is done; the GUI thread takes
    // the end of the transfer when it comes to it.
    worker_->SetTerminateUnwaited(true);
    worker_->OnWaitTimeoutExpired = [this](TObject*, bool& terminate) { WaitTimeoutExpired(terminate); };
}

TCustomWinHTTP::~TCustomWinHTTP() {
    Destroying();
    if (transfer_) {
        // The worker finishes alone, on its own copy of the transfer, and reports nothing.
        transfer_->Silence();
        transfer_->cancel = true;
    }
    worker_->Stop(true);
    transfer_.reset();
    session_.reset();
}

TStrings* TCustomWinHTTP::AddHeaders() const {
    return addHeaders_.get();
}

bool TCustomWinHTTP::ReadRange(uint32_t StartPos, uint32_t EndPos, bool ForceWait) {
    if (busy_) return false;
    busy_ = true;
    reading_ = true;
    lastError_ = 0;
    lastErrorText_.clear();
    auto t = std::make_shared<winhttp::Transfer>();
    t->owner = this;
    t->url = URL;
    auto r = std::make_shared<winhttp::Request>();
    r->postData = POSTData;
    r->referer = Referer;
    r->acceptTypes = AcceptTypes;
    r->agent = Agent;
    r->outputFileName = OutputFileName;
    r->addHeadersText = addHeaders_->Count() ? addHeaders_->Text() : std::string();
    r->username = Username();
    r->password = Password();
    r->requestMethod = RequestMethod;
    r->requestFlags = CacheOptionFlags(CacheOptions) | InternetOptionFlags(InternetOptions);
    r->workOffline = WorkOffline;
    r->bufferSize = TransferBufferSize;
    r->proxy.Assign(proxy_.get());
    r->rangeStart = range_->StartRange;
    r->rangeEnd = range_->EndRange;
    r->connectTimeout = timeouts_->ConnectTimeout;
    r->receiveTimeout = timeouts_->ReceiveTimeout;
    r->sendTimeout = timeouts_->SendTimeout;
    r->totalTimeout = timeouts_->TotalTimeout;
    r->wantsHeaderInfo = static_cast<bool>(OnHeaderInfo);
    r->wantsProgress = static_cast<bool>(OnProgress);
    r->wantsPassword = static_cast<bool>(OnPasswordRequest);
    r->wantsProxyAuth = static_cast<bool>(OnProxyAuthenticationRequest);
    r->onStatus = OnStatus;
    r->onRedirected = OnRedirected;
    // A run goes on by itself only from one whole body in memory to the next.
    if (OutputFileName.empty() && StartPos == 0 && EndPos == 0 && range_->StartRange == 0 &&
        range_->EndRange == 0)
        r->onChain = OnChain;
    t->request = std::move(r);
    chainShown_ = 0;
    t->outcome.resumeFrom = StartPos;
    t->outcome.resumeTo = EndPos;
    if (!session_) session_ = std::make_shared<winhttp::Session>();
    t->session = session_;
    transfer_ = t;
    worker_->SetOnExecute([t](TObject*) { winhttp::RunChain(t); });

    const bool savedWait = worker_->WaitThread();
    ScopeGuard restoreWait([this, savedWait] { worker_->SetWaitThread(savedWait); });
    if (ForceWait) worker_->SetWaitThread(true);
    return worker_->Execute();
}

void TCustomWinHTTP::Abort(bool DeleteOutputFile, bool Hard) {
    std::shared_ptr<winhttp::Transfer> t = transfer_;
    if (!t || !busy_) return;
    t->deleteOnAbort = DeleteOutputFile;
    t->cancel = true;
    if (!Hard) {
        worker_->Stop(false);
        return;
    }
    t->Silence();
    worker_->Stop(true);
    // The worker may still be inside the handles: they stay with it, and the next transfer opens its own.
    session_.reset();
    AbortStep(t, true);
}

void TCustomWinHTTP::AbortStep(const std::shared_ptr<winhttp::Transfer>& transfer, bool Hard) {
    if (transfer != transfer_) return; // a transfer the component has already let go
    // After a hard stop the worker may still be writing: it keeps the stream until it ends.
    if (!Hard) transfer->outcome.stream.reset();
    transfer_.reset();
    busy_ = false;
    reading_ = false;
    if (transfer->outcome.fileOutput && transfer->deleteOnAbort && !OutputFileName.empty())
        ::unlink(transfer->request->outputFileName.c_str());
    if (!ComponentState().Contains(csDestroying)) Raise(OnAborted);
}

bool TCustomWinHTTP::Current(const std::shared_ptr<winhttp::Transfer>& run) const {
    return transfer_ == run && !run->cancel;
}

void TCustomWinHTTP::Announce(int Index, const std::string& URL) {
    if (Index <= chainShown_) return;
    chainShown_ = Index;
    if (OnChained) OnChained(this, URL);
}

bool TCustomWinHTTP::CatchUpChain(const std::shared_ptr<winhttp::Transfer>& transfer) {
    int index = 0;
    std::string url;
    while (Current(transfer)) {
        std::shared_ptr<winhttp::Transfer> ended = transfer->TakeChained(index, url);
        if (!ended) {
            Announce(index, url);
            return Current(transfer);
        }
        Announce(ended->chainIndex, ended->url);
        if (!Current(transfer)) return false;
        const bool current = RaiseEnd(transfer, *ended);
        transfer->GiveBack(std::move(ended));
        if (!current) return false;
    }
    return false;
}

bool TCustomWinHTTP::RaiseEnd(const std::shared_ptr<winhttp::Transfer>& run, winhttp::Transfer& x) {
    if (x.outcome.batch && !winhttp::DeliverBatch(*this, x, [this, &run] { return Current(run); }))
        return false;
    lastError_ = x.outcome.lastError;
    lastErrorText_ = x.outcome.errorText;
    if (x.outcome.stream) x.outcome.stream->SetPosition(0);
    if (x.outcome.continueDownload && x.outcome.success) {
        if (OnDone)
            OnDone(this, x.outcome.contentType, x.outcome.bytesRead + x.outcome.resumeFrom,
                   x.outcome.stream.get());
    } else if (x.outcome.continueDownload) {
        Raise(OnAnyError);
        if (!Current(run)) return false;
        if (x.outcome.statusCode == 200 || x.outcome.statusCode == 206) {
            if (OnConnLost)
                OnConnLost(this, x.outcome.contentType, x.outcome.dataSize, x.outcome.bytesRead,
                           x.outcome.stream.get());
        } else if (x.outcome.statusCode == -1) {
            Raise(OnHostUnreachable);
        } else if (OnHTTPError) {
            OnHTTPError(this, x.outcome.statusCode, x.outcome.stream.get());
        }
    }
    x.outcome.stream.reset();
    if (!Current(run)) return false;
    if (!x.outcome.continueDownload) Raise(OnDoneInterrupted);
    return Current(run);
}

void TCustomWinHTTP::EndOfTransfer() {
    std::shared_ptr<winhttp::Transfer> t = transfer_;
    if (!t || t->aborted) return;
    if (t->chainIndex > 0 && !CatchUpChain(t)) {
        if (transfer_ == t) {
            t->aborted = true;
            AbortStep(t, false);
        }
        return;
    }
    if (t->outcome.batch &&
        !winhttp::DeliverBatch(*this, *t, [this, &t] { return transfer_ == t && !t->cancel; })) {
        // Stopped before or during the batch: it ends as the worker ends a stopped transfer.
        if (transfer_ == t) {
            t->aborted = true;
            AbortStep(t, false);
        }
        return;
    }
    reading_ = false;
    lastError_ = t->outcome.lastError;
    lastErrorText_ = t->outcome.errorText;
    if (t->outcome.stream) t->outcome.stream->SetPosition(0);
    if (t->outcome.continueDownload && t->outcome.success) {
        if (!t->outcome.stream && t->outcome.resumeFrom == 0) {
            transfer_.reset();
            Raise(OnAnyError);
            Raise(OnOutputFileError);
            busy_ = false;
            return;
        }
        if (t->outcome.fileOutput) t->outcome.stream.reset();
        if (OnDone)
            OnDone(this, t->outcome.contentType, t->outcome.bytesRead + t->outcome.resumeFrom,
                   t->outcome.stream.get());
    } else if (t->outcome.continueDownload) {
        Raise(OnAnyError);
        if (t->outcome.statusCode == 200 || t->outcome.statusCode == 206) {
            if (OnConnLost)
                OnConnLost(this, t->outcome.contentType, t->outcome.dataSize, t->outcome.bytesRead,
                           t->outcome.stream.get());
        } else if (t->outcome.statusCode == -1) {
            Raise(OnHostUnreachable);
        } else {
            if (OnHTTPError) OnHTTPError(this, t->outcome.statusCode, t->outcome.stream.get());
            if (t->outcome.fileOutput) {
                t->outcome.stream.reset();
                ::unlink(t->request->outputFileName.c_str());
            }
        }
    }
    t->outcome.stream.reset();
    if (transfer_ == t) transfer_.reset();
    busy_ = false;
    if (!t->outcome.continueDownload) Raise(OnDoneInterrupted);
}

void TCustomWinHTTP::WaitTimeoutExpired(bool& TerminateThread) {
    if (OnWaitTimeoutExpired) OnWaitTimeoutExpired(this, TerminateThread);
    if (TerminateThread && transfer_) {
        std::shared_ptr<winhttp::Transfer> t = transfer_;
        t->Silence();
        t->cancel = true;
        transfer_.reset();
        session_.reset();
        busy_ = false;
        reading_ = false;
    }
}

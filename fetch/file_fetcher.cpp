#include "fetch/file_fetcher.h"

#include "fetch/address_functions.h"
#include "fetch/html/name_tables.h"
#include "fetch/html/plugins.h"
#include "fetch/html/uri.h"
#include "fetch/http/win_http.h"
#include "fetch/http/win_thread.h"
#include "fetch/http_status_text.h"
#include "fetch/page_reader.h"
#include "platform/gui/message_loop.h"
#include "platform/rtl/scope_guard.h"
#include "platform/rtl/stream.h"
#include "platform/rtl/string_list.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/sync.h"
#include "platform/rtl/unicode.h"
#include "platform/rtl/wait_policy.h"

#include <algorithm>
#include <chrono>
#include <mutex>
#include <utility>
#include <vector>

namespace fetcher {

// Redirects are reported on the client's worker thread; they wait here for the GUI thread.
struct RedirectMailbox {
    std::mutex lock;
    std::vector<std::string> pending;
};

// A transfer started ahead of its page: what its events would do, kept in order until the page is asked
// for.
struct AheadFetch {
    std::string url;
    std::vector<std::function<void()>> events;
};

// The addresses a chain of transfers goes on to: the worker takes from the front, the GUI thread adds
// at the back while the chain runs. Once the worker found it empty or stopped, it stays closed.
struct ChainList {
    std::mutex lock;
    std::deque<std::string> urls;
    bool closed = false;
};

} // namespace fetcher

namespace {

void BuildSharedTables() {
    static std::once_flag once;
    std::call_once(once, [] {
        HtmlTagNameTable();
        HtmlAttributeNameTable();
        HtmlEntityNameTable();
        HtmlCharEntityTable();
        CharSetReadMethod(u"utf-8");
    });
}

bool SuccessStatus(int code) {
    return code == 200 || code == 206;
}

// How often a fetch that waits lets the message loop run.
constexpr std::chrono::milliseconds kLoopInterval{5};
// The longest a fetch that waits sleeps before it asks the caller's pace again.
constexpr long long kTurnLongest = 50;

bool RedirectStatus(int code) {
    return code == 301 || code == 302 || code == 303 || code == 307 || code == 308;
}

} // namespace

TFileFetcher::TFileFetcher(TComponent* AOwner)
    : TComponent(AOwner), pageLinks_(std::make_unique<TStringList>()),
      followList_(std::make_unique<TStringList>()), nonFollowList_(std::make_unique<TStringList>()),
      nonFollowQueryParts_(std::make_unique<TStringList>()),
      mailbox_(std::make_shared<fetcher::RedirectMailbox>()) {
    BuildSharedTables();
    reader_ = std::make_unique<fetcher::PageReader>();
    readPage_ = std::make_unique<fetcher::ReadPage>();
    readMethod_ = fetcher::DefaultReadMethod();
    http_ = new TWinHTTP(this);
    BindClientEvents();
    Reset();
}

TFileFetcher::~TFileFetcher() {
    Destroying();
    CloseChain();
    ahead_.reset();
    chained_.clear();
    // The client goes first, so that none of its events reaches a fetcher half taken apart.
    delete http_;
    http_ = nullptr;
}

void TFileFetcher::BindClientEvents() {
    // Each handler decides at once what the client needs an answer for; the rest is an event of the
    // page, delivered when the page is asked for.
    TWinHTTP& h = *http_;
    h.OnHeaderInfo = [this](TObject*, int ErrorCode, const std::string&, const std::string& ContentType,
                            const std::string&, const std::string&, int64_t ContentLength,
                            const std::string& Location, TDateTime, TDateTime LastModified, TDateTime,
                            const std::string&, bool& ContinueDownload) {
        bool refused = false;
        // An error answer runs on to its error event, whatever its body is.
        if (SuccessStatus(ErrorCode)) {
            refused = (downloadFileTypes_ & MimeBit(MimeTypeOf(MediaTypeOf(ContentType)))) == 0;
            if (refused || dontGetContent_) ContinueDownload = false;
        }
        Deliver(
            [this, redirects = TakeRedirects(), ContentType, ContentLength, Location, LastModified, refused] {
                ApplyRedirects(redirects);
                contentLength_ = ContentLength;
                SetContentType(ContentType);
                contentLocation_ = Location;
                lastModified_ = LastModified;
                if (refused) contentRefused_ = true;
                readMethod_ = fetcher::ReadMethodOf(ContentType);
                Status("Header Info Received, Content Type: " + ContentType);
            });
    };
    h.OnDone = [this](TObject*, const std::string& ContentType, int64_t FileSize, TStream* Stream) {
        std::string content;
        if (Stream) {
            const int64_t size = std::min<int64_t>(FileSize, Stream->Size());
            // A body in memory is copied once, without first clearing the room it goes to.
            if (const auto* memory = dynamic_cast<const TMemoryStream*>(Stream); memory && size > 0) {
                content.assign(reinterpret_cast<const char*>(memory->Memory()), static_cast<size_t>(size));
                Stream->SetPosition(size);
            } else if (size > 0) {
                content.resize(static_cast<size_t>(size));
                Stream->SetPosition(0);
                Stream->ReadBuffer(content.data(), size);
            }
        }
        Deliver([this, redirects = TakeRedirects(), content = std::move(content), ContentType,
                 FileSize]() mutable {
            ApplyRedirects(redirects);
            pageContent_ = std::move(content);
            contentLength_ = FileSize;
            SetContentType(ContentType);
            Status("Successfully Downloaded File: " + IntToStr(FileSize) + " bytes.");
        });
    };
    h.OnDoneInterrupted = [this](TObject*) {
        Deliver([this, redirects = TakeRedirects()] {
            ApplyRedirects(redirects);
            Status("Done, but Interrupted.");
        });
    };
    h.OnHTTPError = [this](TObject*, int ErrorCode, TStream*) {
        Deliver([this, redirects = TakeRedirects(), ErrorCode] {
            ApplyRedirects(redirects);
            response_ = ErrorCode;
            pageContent_.clear();
            Status(IntToStr(ErrorCode) + ": " + HttpStatusText(ErrorCode));
        });
    };
    h.OnHostUnreachable = [this](TObject*) {
        Deliver(
            [this, redirects = TakeRedirects(), error = http_->LastError(), text = http_->LastErrorText()] {
                ApplyRedirects(redirects);
                response_ = 0;
                lastError_ = error;
                lastErrorText_ = text;
                Status("Host Unreachable.");
            });
    };
    h.OnConnLost = [this](TObject*, const std::string&, int64_t, int64_t, TStream*) {
        Deliver(
            [this, redirects = TakeRedirects(), error = http_->LastError(), text = http_->LastErrorText()] {
                ApplyRedirects(redirects);
                response_ = -3;
                lastError_ = error;
                lastErrorText_ = text;
                Status("Connection with remote host lost.");
            });
    };
    h.OnAborted = [this](TObject*) {
        Deliver([this, redirects = TakeRedirects()] {
            ApplyRedirects(redirects);
            response_ = -2;
            Status("Connection aborted by user.");
        });
    };
    h.OnPasswordRequest = [this](TObject*, const std::string& Realm, bool& TryAgain) {
        TryAgain = false;
        Deliver([this, Realm] {
            passwordRequired_ = true;
            Status("Password Required: " + Realm);
        });
    };
    std::weak_ptr<fetcher::RedirectMailbox> mailbox = mailbox_;
    // Runs on the client's worker thread.
    h.OnRedirected = [mailbox](TObject*, const std::string& NewURL) {
        if (auto box = mailbox.lock()) {
            std::lock_guard guard(box->lock);
            box->pending.push_back(NewURL);
        }
    };
    h.OnProgress = [this](TObject*, const std::string& ContentType, int64_t DataSize, int64_t BytesRead,
                          int ElapsedTime, int EstimatedTimeLeft, uint8_t PercentsDone, float TransferRate,
                          TStream*) {
        if (!OnProgress) return;
        Deliver([=, this] {
            if (OnProgress)
                OnProgress(this, ContentType, DataSize, BytesRead, ElapsedTime, EstimatedTimeLeft,
                           PercentsDone, TransferRate);
        });
    };
    h.OnAnyError = [](TObject*) {};
    h.OnChained = [this](TObject*, const std::string& URL) {
        if (ignoring_) return;
        chained_.push_back(std::make_unique<fetcher::AheadFetch>());
        chained_.back()->url = URL;
        Deliver([this, URL] { Status("Retrieving: " + URL); });
    };
}

void TFileFetcher::Deliver(std::function<void()> Event) {
    if (ignoring_) return;
    if (!chained_.empty()) {
        chained_.back()->events.push_back(std::move(Event));
        return;
    }
    if (ahead_) {
        ahead_->events.push_back(std::move(Event));
        return;
    }
    if (replaying_) {
        replaying_->push_back(std::move(Event));
        return;
    }
    Run(Event);
}

void TFileFetcher::Run(const std::function<void()>& Event) {
    // The client's end of transfer must run to its end whatever a handler does: the exception waits for
    // the fetch.
    try {
        Event();
    } catch (...) {
        if (!raised_) raised_ = std::current_exception();
    }
}

std::vector<std::string> TFileFetcher::TakeRedirects() {
    std::vector<std::string> taken;
    std::lock_guard guard(mailbox_->lock);
    taken.swap(mailbox_->pending);
    return taken;
}

void TFileFetcher::ApplyRedirects(const std::vector<std::string>& URLs) {
    for (const std::string& url : URLs) {
        redirectedURL_ = url;
        redirectedNow_ = true;
        Status("Redirected: " + url);
    }
}

void TFileFetcher::Status(const std::string& text) {
    if (OnStatusMessage) OnStatusMessage(this, text);
}

void TFileFetcher::SetContentType(const std::string& Value) {
    contentType_ = MediaTypeOf(Value);
    mimeType_ = MimeTypeOf(contentType_);
}

TDateTime TFileFetcher::LastModified() {
    if (lastModified_ == 0) lastModified_ = Now();
    return lastModified_;
}

void TFileFetcher::Reset() {
    url_.clear();
    pageContent_.clear();
    contentLocation_.clear();
    title_.clear();
    SetContentType({});
    contentLength_ = 0;
    response_ = -1;
    passwordRequired_ = false;
    parsed_ = false;
    pageLinks_->Clear();
    resolvedLinks_.clear();
    follow_.clear();
    nonFollow_.clear();
    listsFilled_ = false;
}

std::string TFileFetcher::AheadURL() const {
    if (ahead_) return ahead_->url;
    return chained_.empty() ? std::string() : chained_.front()->url;
}

void TFileFetcher::PromoteChained() {
    if (ahead_ || chained_.empty()) return;
    ahead_ = std::move(chained_.front());
    chained_.pop_front();
}

bool TFileFetcher::PageUnderWay() const {
    // Once the worker has gone on to the next page, this one's events are all in.
    return http_->Busy() && chained_.empty();
}

bool TFileFetcher::StartTransfer(const std::string& URL) {
    http_->URL = URL;
    http_->CacheOptions = OptionBit(coAlwaysReload) | OptionBit(coReloadIfNoExpireInformation) |
                          OptionBit(coReloadUpdatedObjects) | OptionBit(coPragmaNoCache) |
                          OptionBit(coNoCacheWrite) | OptionBit(coCreateTempFilesIfCantCache);
    http_->InternetOptions =
        OptionBit(ioKeepConnection) | (followRedirects_ ? 0 : OptionBit(ioNoAutoRedirect));
    TWinHTTPProxy* proxy = http_->Proxy();
    if (!proxyServer_.empty()) {
        proxy->AccessType = atUseProxy;
        proxy->ProxyServer = proxyServer_;
        proxy->ProxyPort = proxyPort_;
        proxy->ProxyUsername = proxyUserName_;
        proxy->ProxyPassword = proxyPassword_;
    } else {
        proxy->AccessType = atPreconfig;
    }
    http_->Agent = agent_;
    TakeRedirects();
    http_->OnChain = std::move(chain_);
    chain_ = nullptr;
    const bool started = http_->Read(false);
    http_->OnChain = nullptr;
    return started;
}

void TFileFetcher::DropAhead() {
    CloseChain();
    ahead_.reset();
    chained_.clear();
    if (!http_->Busy()) return;
    ignoring_ = true;
    http_->Abort(false, true);
    ignoring_ = false;
}

bool TFileFetcher::FetchAhead(const std::vector<std::string>& URLs, TPassOn PassOn) {
    if (URLs.empty()) return false;
    std::shared_ptr<fetcher::ChainList> list;
    // Redirects the client follows itself would be heard of out of their transfer's turn.
    if (!followRedirects_ && PassOn) {
        list = std::make_shared<fetcher::ChainList>();
        list->urls.assign(URLs.begin() + 1, URLs.end());
        chain_ = [list, PassOn = std::move(PassOn)](int Status, const std::string& URL,
                                                    const std::string& Location) -> std::string {
            std::u16string target;
            if (!RedirectStatus(Status) || Location.empty() ||
                !Resolve(Utf8ToUtf16(URL), Utf8ToUtf16(Location), target))
                target.clear();
            const bool passOn = PassOn(Status, Utf16ToUtf8(target));
            std::lock_guard guard(list->lock);
            if (!passOn || list->closed || list->urls.empty()) {
                list->closed = true;
                return {};
            }
            std::string next = std::move(list->urls.front());
            list->urls.pop_front();
            return next;
        };
    }
    if (!FetchAhead(URLs.front())) return false;
    chainList_ = std::move(list);
    return true;
}

bool TFileFetcher::Chaining() const {
    // A run that ended some other way (stopped, failed) never closed its list.
    if (!chainList_ || !http_->Busy()) return false;
    std::lock_guard guard(chainList_->lock);
    return !chainList_->closed;
}

bool TFileFetcher::ExtendAhead(const std::string& URL) {
    if (!chainList_) return false;
    std::lock_guard guard(chainList_->lock);
    if (chainList_->closed) return false;
    chainList_->urls.push_back(URL);
    return true;
}

void TFileFetcher::CloseChain() {
    if (!chainList_) return;
    {
        std::lock_guard guard(chainList_->lock);
        chainList_->closed = true;
    }
    chainList_.reset();
}

bool TFileFetcher::FetchAhead(const std::string& URL) {
    if (busy_ || FetchingAhead() || http_->Busy()) {
        chain_ = nullptr;
        return false;
    }
    chainList_.reset();
    ahead_ = std::make_unique<fetcher::AheadFetch>();
    ahead_->url = URL;
    Deliver([this, URL] { Status("Retrieving: " + URL); });
    ScopeGuard failed([this] { ahead_.reset(); });
    const bool started = StartTransfer(URL);
    if (started) failed.Dismiss();
    return started;
}

void TFileFetcher::BeginPage(const std::string& URL) {
    contentRefused_ = false;
    Reset();
    url_ = URL;
    redirectedNow_ = false;
    offSite_ = false;
    redirectLocation_.clear();
    lastError_ = 0;
    lastErrorText_.clear();
    hasTitle_ = false;
    readMethod_ = fetcher::DefaultReadMethod();
}

bool TFileFetcher::Request(const std::string& URL) {
    // A fetch started from inside the wait of another would wipe that one's state.
    if (busy_) return false;
    PromoteChained();
    std::unique_ptr<fetcher::AheadFetch> ahead = std::move(ahead_);
    if (ahead && ahead->url != URL) {
        ahead_ = std::move(ahead);
        DropAhead();
    }
    // Something of ours still under way (a fetch that a handler's exception cut short) makes way.
    if (!ahead && http_->Busy()) {
        ignoring_ = true;
        http_->Abort(false, true);
        ignoring_ = false;
    }
    busy_ = true;
    raised_ = nullptr;
    BeginPage(URL);
    if (ahead) {
        // A handler that lets messages run may bring more events meanwhile: they queue up behind.
        std::vector<std::function<void()>> events = std::move(ahead->events);
        ahead.reset();
        replaying_ = &events;
        for (size_t i = 0; i < events.size(); ++i) {
            const std::function<void()> event = std::move(events[i]);
            Run(event);
        }
        replaying_ = nullptr;
    } else {
        Run([this, &URL] { Status("Retrieving: " + URL); });
        ScopeGuard failed([this] { busy_ = false; });
        const bool started = StartTransfer(URL);
        failed.Dismiss();
        if (!started) {
            busy_ = false;
            if (raised_) std::rethrow_exception(std::exchange(raised_, nullptr));
            return false;
        }
    }
    WaitForTransfer();
    for (const std::string& url : TakeRedirects())
        Run([this, &url] { ApplyRedirects({url}); });
    busy_ = false;
    if (raised_) std::rethrow_exception(std::exchange(raised_, nullptr));

    // A page that was sent on to another site says nothing about this one's links.
    offSite_ = redirectedNow_ && !SameHost(url_, redirectedURL_);
    shortURL_ = StripQueryAndFragment(EffectiveUrl());
    if (RedirectStatus(response_) && !contentLocation_.empty()) {
        std::u16string target;
        if (Resolve(Utf8ToUtf16(url_), Utf8ToUtf16(contentLocation_), target))
            redirectLocation_ = Utf16ToUtf8(target);
    }
    if (response_ != -1) return false;
    response_ = 200;
    if (!contentRefused_) return true;
    return !wantedFileTypes_.empty() && IsFileTypeInList(shortURL_, wantedFileTypes_);
}

bool TFileFetcher::Fetch(const std::string& URL) {
    if (busy_) return false;
    const bool loaded = Request(URL);
    ParsePage();
    return loaded;
}

void TFileFetcher::WaitForTransfer() {
    // Pages that come quickly (a server on this machine or the local network) are taken as they come,
    // without the message loop, which turns at most once every few milliseconds, so input is still
    // answered at once. A page that is slow to come is slept for in the message loop, as the idle
    // program sleeps: it wakes for input, timers and the end of the transfer, and for nothing else.
    using Clock = TWaitPolicy::Clock;
    const Clock::time_point start = Clock::now();
    struct Answered {
        TWaitPolicy& policy;
        Clock::time_point start;
        ~Answered() { policy.Answered(start, Clock::now()); }
    } answered{transferWait_, start};
    if (transferWait_.Watches(start)) {
        static Clock::time_point lastTurn;
        const auto done = [this] { return !PageUnderWay(); };
        // A page still on its way after the first short wait is slow after all: it is slept for in the
        // message loop below rather than woken for at every turn of the loop until it comes.
        const auto late = [start] { return Clock::now() - start > TWaitPolicy::kWatchFor; };
        while (waitTurn_ && PageUnderWay() && !late()) {
            const std::chrono::milliseconds next = waitTurn_();
            if (!PageUnderWay()) return;
            winthread::WaitForRuns(done,
                                   static_cast<DWORD>(std::clamp<long long>(next.count(), 1, kTurnLongest)));
        }
        while (!waitTurn_ && PageUnderWay() && !late()) {
            const auto since = Clock::now() - lastTurn;
            if (since >= kLoopInterval) {
                lastTurn = Clock::now();
                if (!::ProcessMessages()) {
                    // The program is closing: no loop will run the worker's calls any more.
                    http_->Abort(false, true);
                    return;
                }
                continue;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(kLoopInterval - since);
            winthread::WaitForRuns(done, static_cast<DWORD>(std::max<long long>(left.count(), 1)));
        }
    }
    for (;;) {
        if (waitTurn_) waitTurn_();
        if (!PageUnderWay()) return;
        WaitMessage();
        if (!::ProcessMessages()) {
            // The program is closing: no loop will run the worker's calls any more.
            http_->Abort(false, true);
            return;
        }
        if (!PageUnderWay()) return;
    }
}

void TFileFetcher::Abort() {
    if (FetchingAhead()) {
        DropAhead();
        return;
    }
    // At once: the worker finishes alone and reports nothing; the client is free for the next fetch.
    if (http_->Busy()) http_->Abort(false, true);
}

std::string TFileFetcher::EffectiveUrl() const {
    return redirectedNow_ ? redirectedURL_ : url_;
}

int TFileFetcher::LinkCount() const {
    return static_cast<int>(follow_.size());
}

void TFileFetcher::GetLink(int Index, std::string& ResolvedLink, std::string& FiledLink) const {
    ResolvedLink = resolvedLinks_.at(static_cast<size_t>(Index));
    FiledLink = follow_.at(static_cast<size_t>(Index));
}

void TFileFetcher::GetResolvedLink(int Index, std::string& ResolvedLink) const {
    ResolvedLink = resolvedLinks_.at(static_cast<size_t>(Index));
}

TStringList* TFileFetcher::FollowList() const {
    NonFollowList();
    return followList_.get();
}

TStringList* TFileFetcher::NonFollowList() const {
    // Most callers want the links of a page and never these lists: they are made when asked for.
    if (!listsFilled_) {
        listsFilled_ = true;
        followList_->BeginUpdate();
        followList_->Clear();
        for (const std::string& link : follow_)
            followList_->Add(link);
        followList_->EndUpdate();
        nonFollowList_->BeginUpdate();
        nonFollowList_->Clear();
        for (const std::string& link : nonFollow_)
            nonFollowList_->Add(link);
        nonFollowList_->EndUpdate();
    }
    return nonFollowList_.get();
}

TStringList* TFileFetcher::PageLinks() {
    if (pageLinks_->Count() == 0) {
        pageLinks_->BeginUpdate();
        for (const std::string& link : follow_)
            pageLinks_->Add(link);
        pageLinks_->EndUpdate();
    }
    return pageLinks_.get();
}

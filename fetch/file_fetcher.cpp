#include "fetch/file_fetcher.h"

#include "fetch/address_functions.h"
#include "fetch/html/name_tables.h"
#include "fetch/html/plugins.h"
#include "fetch/html/typed_containers.h"
#include "fetch/html/uri.h"
#include "fetch/http/win_http.h"
#include "fetch/http_status_text.h"
#include "platform/gui/message_loop.h"
#include "platform/rtl/stream.h"
#include "platform/rtl/string_list.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/sync.h"
#include "platform/rtl/unicode.h"

#include <mutex>
#include <vector>

namespace fetcher {

// Redirects are reported on the client's worker thread; they wait here for the GUI thread.
struct RedirectMailbox {
    std::mutex lock;
    std::vector<std::string> pending;
};

} // namespace fetcher

namespace {

// How long a cooperative stop may take before the transfer is cut loose.
constexpr auto kAbortGrace = std::chrono::seconds(5);

void buildSharedTables() {
    static std::once_flag once;
    std::call_once(once, [] {
        HtmlTagNameTable();
        HtmlAttributeNameTable();
        HtmlEntityNameTable();
        HtmlCharEntityTable();
        CharSetReadMethod(u"utf-8");
    });
}

bool successStatus(int code) {
    return code == 200 || code == 206;
}

} // namespace

TFileFetcher::TFileFetcher(TComponent* AOwner)
    : TComponent(AOwner), parser_(std::make_unique<TDIHtmlParser>()),
      links_(std::make_unique<TDIHtmlLinksPlugin>()), titlePlugin_(std::make_unique<TDIHtmlTitlePlugin>()),
      charSet_(std::make_unique<TDIHtmlCharSetPlugin>()),
      linkVector_(std::make_unique<TDIWideString2Vector>()), pageLinks_(std::make_unique<TStringList>()),
      followList_(std::make_unique<TStringList>()), nonFollowList_(std::make_unique<TStringList>()),
      nonFollowQueryParts_(std::make_unique<TStringList>()),
      mailbox_(std::make_shared<fetcher::RedirectMailbox>()), base_(std::make_unique<TDIUri>()) {
    buildSharedTables();
    http_ = new TWinHTTP(this);
    bindClientEvents();
    links_->SetHtmlParser(parser_.get());
    titlePlugin_->SetHtmlParser(parser_.get());
    charSet_->SetHtmlParser(parser_.get());
    links_->SetOnLink([this](TDIHtmlLinksPlugin*, std::u16string& link, bool&, bool&) { handleLink(link); });
    titlePlugin_->OnTitle = [this](TDIHtmlTitlePlugin* plugin) {
        title_ = Utf16ToUtf8(plugin->Title());
        hasTitle_ = true;
    };
    Reset();
}

TFileFetcher::~TFileFetcher() {
    Destroying();
    // The client goes first, so that none of its events reaches a fetcher half taken apart.
    delete http_;
    http_ = nullptr;
    // The plugins leave the parser before it goes.
    links_.reset();
    titlePlugin_.reset();
    charSet_.reset();
    parser_.reset();
}

void TFileFetcher::bindClientEvents() {
    TWinHTTP& h = *http_;
    h.OnHeaderInfo = [this](TObject*, int ErrorCode, const std::string&, const std::string& ContentType,
                            const std::string&, const std::string&, int64_t ContentLength,
                            const std::string& Location, TDateTime, TDateTime LastModified, TDateTime,
                            const std::string&, bool& ContinueDownload) {
        takeRedirects();
        contentLength_ = ContentLength;
        SetContentType(ContentType);
        contentLocation_ = Location;
        lastModified_ = LastModified;
        // A charset named by the server is where decoding starts; a META element may still change it.
        const std::string charSet = CharSetOf(ContentType);
        charSet_->SetDefaultReadMethod(charSet.empty() ? nullptr : CharSetReadMethod(Utf8ToUtf16(charSet)));
        status("Header Info Received, Content Type: " + ContentType);
        // An error answer runs on to its error event, whatever its body is.
        if (!successStatus(ErrorCode)) return;
        if ((downloadFileTypes_ & MimeBit(mimeType_)) == 0) {
            ContinueDownload = false;
            contentRefused_ = true;
        }
        if (dontGetContent_) ContinueDownload = false;
    };
    h.OnDone = [this](TObject*, const std::string& ContentType, int64_t FileSize, TStream* Stream) {
        takeRedirects();
        pageContent_.clear();
        if (Stream) {
            const int64_t size = std::min<int64_t>(FileSize, Stream->Size());
            if (size > 0) {
                pageContent_.resize(static_cast<size_t>(size));
                Stream->SetPosition(0);
                Stream->ReadBuffer(pageContent_.data(), size);
            }
        }
        contentLength_ = FileSize;
        SetContentType(ContentType);
        status("Successfully Downloaded File: " + IntToStr(FileSize) + " bytes.");
        busy_ = false;
    };
    h.OnDoneInterrupted = [this](TObject*) {
        takeRedirects();
        status("Done, but Interrupted.");
        busy_ = false;
    };
    h.OnHTTPError = [this](TObject*, int ErrorCode, TStream*) {
        takeRedirects();
        response_ = ErrorCode;
        pageContent_.clear();
        busy_ = false;
        status(IntToStr(ErrorCode) + ": " + HttpStatusText(ErrorCode));
    };
    h.OnHostUnreachable = [this](TObject*) {
        takeRedirects();
        response_ = 0;
        status("Host Unreachable.");
        busy_ = false;
    };
    h.OnConnLost = [this](TObject*, const std::string&, int64_t, int64_t, TStream*) {
        takeRedirects();
        response_ = -3;
        status("Connection with remote host lost.");
        busy_ = false;
    };
    h.OnAborted = [this](TObject*) {
        takeRedirects();
        response_ = -2;
        status("Connection aborted by user.");
        busy_ = false;
    };
    h.OnPasswordRequest = [this](TObject*, const std::string& Realm, bool& TryAgain) {
        passwordRequired_ = true;
        TryAgain = false;
        status("Password Required: " + Realm);
    };
    std::weak_ptr<fetcher::RedirectMailbox> mailbox = mailbox_;
    h.OnRedirected = [mailbox](TObject*, const std::string& NewURL) {
        if (auto box = mailbox.lock()) {
            std::lock_guard guard(box->lock);
            box->pending.push_back(NewURL);
        }
    };
    h.OnProgress = [this](TObject*, const std::string& ContentType, int64_t DataSize, int64_t BytesRead,
                          int ElapsedTime, int EstimatedTimeLeft, uint8_t PercentsDone, float TransferRate,
                          TStream*) {
        if (OnProgress)
            OnProgress(this, ContentType, DataSize, BytesRead, ElapsedTime, EstimatedTimeLeft, PercentsDone,
                       TransferRate);
    };
    h.OnAnyError = [](TObject*) {};
}

void TFileFetcher::takeRedirects() {
    std::vector<std::string> taken;
    {
        std::lock_guard guard(mailbox_->lock);
        taken.swap(mailbox_->pending);
    }
    for (const std::string& url : taken) {
        redirectedURL_ = url;
        redirectedNow_ = true;
        status("Redirected: " + url);
    }
}

void TFileFetcher::status(const std::string& text) {
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
    linkVector_->Clear();
    followList_->Clear();
    nonFollowList_->Clear();
}

bool TFileFetcher::Fetch(const std::string& URL) {
    // A fetch started from inside the wait of another would wipe that one's state.
    if (busy_) return false;
    contentRefused_ = false;
    Reset();
    url_ = URL;
    http_->URL = URL;
    http_->CacheOptions = OptionBit(coAlwaysReload) | OptionBit(coReloadIfNoExpireInformation) |
                          OptionBit(coReloadUpdatedObjects) | OptionBit(coPragmaNoCache) |
                          OptionBit(coNoCacheWrite) | OptionBit(coCreateTempFilesIfCantCache);
    {
        std::lock_guard guard(mailbox_->lock);
        mailbox_->pending.clear();
    }
    redirectedNow_ = false;
    offSite_ = false;
    abortRequested_ = false;
    charSet_->SetDefaultReadMethod(nullptr);

    using Getter = bool (TDIHtmlLinksPlugin::*)() const;
    using Setter = void (TDIHtmlLinksPlugin::*)(bool);
    struct LinkKind {
        Getter get;
        Setter set;
    };
    static constexpr LinkKind kinds[kLinkTypeCount] = {
        {&TDIHtmlLinksPlugin::Link_A_href, &TDIHtmlLinksPlugin::SetLink_A_href},
        {&TDIHtmlLinksPlugin::Link_APPLET_code, &TDIHtmlLinksPlugin::SetLink_APPLET_code},
        {&TDIHtmlLinksPlugin::Link_AREA_href, &TDIHtmlLinksPlugin::SetLink_AREA_href},
        {&TDIHtmlLinksPlugin::Link_BGSOUND_src, &TDIHtmlLinksPlugin::SetLink_BGSOUND_src},
        {&TDIHtmlLinksPlugin::Link_BODY_background, &TDIHtmlLinksPlugin::SetLink_BODY_background},
        {&TDIHtmlLinksPlugin::Link_FRAME_src, &TDIHtmlLinksPlugin::SetLink_FRAME_src},
        {&TDIHtmlLinksPlugin::Link_IFRAME_src, &TDIHtmlLinksPlugin::SetLink_IFRAME_src},
        {&TDIHtmlLinksPlugin::Link_INPUT_src, &TDIHtmlLinksPlugin::SetLink_INPUT_src},
        {&TDIHtmlLinksPlugin::Link_IMG_src, &TDIHtmlLinksPlugin::SetLink_IMG_src},
        {&TDIHtmlLinksPlugin::Link_LINK_href, &TDIHtmlLinksPlugin::SetLink_LINK_href},
        {&TDIHtmlLinksPlugin::Link_OBJECT_data, &TDIHtmlLinksPlugin::SetLink_OBJECT_data},
        {&TDIHtmlLinksPlugin::Link_SCRIPT_src, &TDIHtmlLinksPlugin::SetLink_SCRIPT_src},
        {&TDIHtmlLinksPlugin::Link_TABLE_background, &TDIHtmlLinksPlugin::SetLink_TABLE_background},
        {&TDIHtmlLinksPlugin::Link_TD_background, &TDIHtmlLinksPlugin::SetLink_TD_background},
        {&TDIHtmlLinksPlugin::Link_TH_background, &TDIHtmlLinksPlugin::SetLink_TH_background}};
    // Every change makes the parser recompute its routing; most fetches change nothing.
    for (int i = 0; i < kLinkTypeCount; ++i) {
        const bool wanted = (linkTypes_ & LinkBit(static_cast<TLinkType>(i))) != 0;
        if ((links_.get()->*kinds[i].get)() != wanted) (links_.get()->*kinds[i].set)(wanted);
    }

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
    hasTitle_ = false;
    status("Retrieving: " + URL);

    busy_ = true;
    bool started = false;
    try {
        started = http_->Read(false);
    } catch (...) {
        busy_ = false;
        throw;
    }
    if (!started) {
        busy_ = false;
        return false;
    }
    waitForTransfer();
    takeRedirects();

    // A page that was sent on to another site says nothing about this one's links.
    offSite_ = redirectedNow_ && !SameHost(url_, redirectedURL_);
    shortURL_ = StripQueryAndFragment(effectiveURL());
    parsePage();

    if (response_ != -1) return false;
    response_ = 200;
    if (!contentRefused_) return true;
    return !wantedFileTypes_.empty() && IsFileTypeInList(shortURL_, wantedFileTypes_);
}

void TFileFetcher::waitForTransfer() {
    // Blocks between messages: the worker's calls and the user's input both wake the thread.
    while (busy_ && http_->Busy()) {
        if (!::ProcessMessages()) {
            // The program is closing: no loop will run the worker's calls any more.
            http_->Abort(false, true);
            break;
        }
        if (!busy_ || !http_->Busy()) break;
        if (!abortRequested_) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE_, INFINITE, QS_ALLINPUT);
            continue;
        }
        const auto left = abortDeadline_ - std::chrono::steady_clock::now();
        if (left <= std::chrono::steady_clock::duration::zero()) {
            http_->Abort(false, true);
            break;
        }
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(left).count() + 1;
        MsgWaitForMultipleObjects(0, nullptr, FALSE_, static_cast<DWORD>(ms), QS_ALLINPUT);
    }
    busy_ = false;
    abortRequested_ = false;
}

void TFileFetcher::Abort() {
    if (busy_ && http_->Busy()) {
        // The wait goes on until the client confirms, so that the next fetch finds it free.
        if (!abortRequested_) {
            abortRequested_ = true;
            abortDeadline_ = std::chrono::steady_clock::now() + kAbortGrace;
        }
        http_->Abort(false, false);
        return;
    }
    busy_ = false;
    http_->Abort(false, false);
}

std::string TFileFetcher::effectiveURL() const {
    return redirectedNow_ ? redirectedURL_ : url_;
}

int TFileFetcher::LinkCount() const {
    return linkVector_->Count();
}

void TFileFetcher::GetLink(int Index, std::string& ResolvedLink, std::string& FiledLink) const {
    ResolvedLink = Utf16ToUtf8(linkVector_->Str(Index));
    FiledLink = Utf16ToUtf8(linkVector_->Str2(Index));
}

TStringList* TFileFetcher::PageLinks() {
    if (pageLinks_->Count() == 0) {
        pageLinks_->BeginUpdate();
        for (int i = 0; i < linkVector_->Count(); ++i)
            pageLinks_->Add(Utf16ToUtf8(linkVector_->Str2(i)));
        pageLinks_->EndUpdate();
    }
    return pageLinks_.get();
}

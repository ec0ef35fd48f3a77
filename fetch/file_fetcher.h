#pragma once
// The page fetcher: fetches one page over HTTP while the GUI thread's messages keep running, then
// parses it for its title and sorts its links into links to follow and links not to follow. A caller
// may start the next page's transfer while it works on the current one (FetchAhead); the answer waits,
// events and all, until the caller asks for that page.
#include "fetch/mime_type.h"
#include "platform/rtl/component.h"
#include "platform/rtl/date_time.h"
#include "platform/rtl/wait_policy.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TStringList;
class TWinHTTP;
class TDIHtmlParser;
class TDIHtmlLinksPlugin;
class TDIHtmlTitlePlugin;
class TDIHtmlCharSetPlugin;
class TDIUri;

// Element kinds whose addresses count as links; the order is the streamed order.
enum TLinkType {
    ltA_href,
    ltAPPLET_code,
    ltAREA_href,
    ltBGSOUND_src,
    ltBODY_background,
    ltFRAME_src,
    ltIFRAME_src,
    ltINPUT_src,
    ltIMG_src,
    ltLINK_href,
    ltOBJECT_data,
    ltSCRIPT_src,
    ltTABLE_background,
    ltTD_background,
    ltTH_background
};
inline constexpr int kLinkTypeCount = 15;
// A set of TLinkType: bit (1 << member).
using TLinkTypes = uint32_t;
constexpr TLinkTypes LinkBit(TLinkType type) {
    return 1u << type;
}
inline constexpr TLinkTypes kAllLinkTypes = (1u << kLinkTypeCount) - 1;

using THTTPProgressEvent =
    std::function<void(TObject* Sender, const std::string& ContentType, int64_t FileSize, int64_t BytesRead,
                       int ElapsedTime, int EstimatedTimeLeft, uint8_t PercentsDone, float TransferRate)>;
using THTTPStatusMessage = std::function<void(TObject* Sender, const std::string& StatusMessage)>;
using THTTPOnLinkEvent = std::function<void(TObject* Sender, const std::string& HTMLTag,
                                            const std::string& OrgLink, const std::string& ResolvedLink)>;

namespace fetcher {
struct RedirectMailbox;
struct AheadFetch;
struct ChainList;
struct ReadSettings;
struct ReadPage;
class PageReader;
} // namespace fetcher
struct TDIReadMethod;

class TFileFetcher : public TComponent {
public:
    explicit TFileFetcher(TComponent* AOwner);
    ~TFileFetcher() override;
    std::string ClassName() const override { return "TFileFetcher"; }
    static const TPropertyTable& Table();
    const TPropertyTable* PublishedProperties() const override { return &Table(); }

    // Fetches and parses one page. False when the transfer failed, the body was refused, or a fetch is
    // already waiting (that one is left as it is). An exception raised by an event handler during the
    // fetch passes on to the caller once the transfer has ended.
    bool Fetch(const std::string& URL);
    // Fetch without the parse: the page's answer is taken (from a transfer started ahead for the same
    // address, else from a new one) and ParsePage() parses it.
    bool Request(const std::string& URL);
    void ParsePage();
    // Starts the transfer of URL and returns at once; the next Fetch or Request of URL takes its answer,
    // and of any other address drops it. Until then none of its events reaches the fetcher's state or
    // handlers: they run, in order, inside that Fetch. False when a transfer is already under way.
    bool FetchAhead(const std::string& URL);
    // Whether an answer needs nothing of the caller before the next address is fetched: called on the
    // worker thread with the HTTP status (-1 without an answer) and, for a redirect, its target resolved
    // against the address (else empty).
    using TPassOn = std::function<bool(int Status, const std::string& RedirectTarget)>;
    // FetchAhead of URLs[0], after which the worker goes on by itself to the next address of URLs, one
    // at a time, for as long as PassOn holds for the answer before. Each page is taken by a Fetch or
    // Request of its address, in the order of URLs.
    bool FetchAhead(const std::vector<std::string>& URLs, TPassOn PassOn);
    // Adds URL behind the addresses the running chain goes on to; false when the chain has ended (or
    // there is none), and then URL is fetched when it is asked for.
    bool ExtendAhead(const std::string& URL);
    // True while the worker may still go on to an address ExtendAhead adds.
    bool Chaining() const;
    // True while a transfer started ahead, or its answer, waits for its page to be asked for.
    bool FetchingAhead() const { return ahead_ || !chained_.empty(); }
    // The address a transfer started ahead is fetching, or empty.
    std::string AheadURL() const;
    // Stops the transfer in progress, or the one started ahead, at once: a waiting Fetch returns
    // (Response -2) and the worker finishes alone, unheard.
    void Abort();
    void Reset();

    // The links to follow of the last page: (resolved link, filed link).
    int LinkCount() const;
    void GetLink(int Index, std::string& ResolvedLink, std::string& FiledLink) const;
    // The resolved half of GetLink alone, for callers that drop most links on their address.
    void GetResolvedLink(int Index, std::string& ResolvedLink) const;

    const std::string& URL() const { return url_; }
    void SetURL(const std::string& Value) { url_ = Value; }
    const std::string& ShortURL() const { return shortURL_; }
    void SetShortURL(const std::string& Value) { shortURL_ = Value; }
    const std::string& PageContent() const { return pageContent_; }
    void SetPageContent(const std::string& Value) { pageContent_ = Value; }
    const std::string& ContentType() const { return contentType_; }
    void SetContentType(const std::string& Value);
    TMimeType MimeType() const { return mimeType_; }
    void SetMimeType(TMimeType Value) { mimeType_ = Value; }
    int64_t ContentLength() const { return contentLength_; }
    void SetContentLength(int64_t Value) { contentLength_ = Value; }
    const std::string& ContentLocation() const { return contentLocation_; }
    void SetContentLocation(const std::string& Value) { contentLocation_ = Value; }
    // A date never set reads as now, which is then kept.
    TDateTime LastModified();
    void SetLastModified(TDateTime Value) { lastModified_ = Value; }
    int Response() const { return response_; }
    void SetResponse(int Value) { response_ = Value; }
    const std::string& RedirectedURL() const { return redirectedURL_; }
    void SetRedirectedURL(const std::string& Value) { redirectedURL_ = Value; }
    // Whether the HTTP client follows redirects itself (the default). Without, a redirect answer ends the
    // fetch with its status in Response and its target in RedirectLocation, for the caller to decide.
    bool FollowRedirects() const { return followRedirects_; }
    void SetFollowRedirects(bool Value) { followRedirects_ = Value; }
    // The target of the redirect answer of the last fetch, resolved against its address; empty when the
    // answer was no redirect or named no target.
    const std::string& RedirectLocation() const { return redirectLocation_; }
    // The network layer's reason when the last fetch got no answer or lost it (ERROR_INTERNET_TIMEOUT...);
    // 0 otherwise.
    uint32_t LastError() const { return lastError_; }
    // What the network layer said besides: the authorities or the proxy at fault, why it cannot start.
    const std::string& LastErrorText() const { return lastErrorText_; }
    bool PasswordRequired() const { return passwordRequired_; }
    void SetPasswordRequired(bool Value) { passwordRequired_ = Value; }
    bool Parsed() const { return parsed_; }
    void SetParsed(bool Value) { parsed_ = Value; }
    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& Value) { title_ = Value; }
    bool HasTitle() const { return hasTitle_; }
    void SetHasTitle(bool Value) { hasTitle_ = Value; }
    TDownloadFileTypes DownloadFileTypes() const { return downloadFileTypes_; }
    void SetDownloadFileTypes(TDownloadFileTypes Value) { downloadFileTypes_ = Value; }
    bool DontGetContent() const { return dontGetContent_; }
    void SetDontGetContent(bool Value) { dontGetContent_ = Value; }
    bool DontParseFile() const { return dontParseFile_; }
    void SetDontParseFile(bool Value) { dontParseFile_ = Value; }
    bool ResolveUris() const { return resolveUris_; }
    void SetResolveUris(bool Value) { resolveUris_ = Value; }
    bool ShowAllLinkTypes() const { return showAllLinkTypes_; }
    void SetShowAllLinkTypes(bool Value) { showAllLinkTypes_ = Value; }
    TLinkTypes LinkTypes() const { return linkTypes_; }
    void SetLinkTypes(TLinkTypes Value) { linkTypes_ = Value & kAllLinkTypes; }
    // File types ("*.pdf;*.swf;") that are wanted although they are not pages: links to them are
    // followed, and a fetch of one succeeds on its headers alone, without its body.
    const std::string& WantedFileTypes() const { return wantedFileTypes_; }
    void SetWantedFileTypes(const std::string& Value) { wantedFileTypes_ = Value; }
    const std::string& Agent() const { return agent_; }
    void SetAgent(const std::string& Value) { agent_ = Value; }
    const std::string& ProxyServer() const { return proxyServer_; }
    void SetProxyServer(const std::string& Value) { proxyServer_ = Value; }
    int ProxyPort() const { return proxyPort_; }
    void SetProxyPort(int Value) { proxyPort_ = Value; }
    const std::string& ProxyUserName() const { return proxyUserName_; }
    void SetProxyUserName(const std::string& Value) { proxyUserName_ = Value; }
    const std::string& ProxyPassword() const { return proxyPassword_; }
    void SetProxyPassword(const std::string& Value) { proxyPassword_ = Value; }

    TStringList* PageLinks();
    TStringList* FollowList() const;
    TStringList* NonFollowList() const;
    TStringList* NonFollowQueryParts() const { return nonFollowQueryParts_.get(); }

    // True while a fetch waits for its transfer.
    bool Busy() const { return busy_; }
    // What a fetch that waits calls to let the message loop run (a pace of the caller's that decides when
    // it does); it answers how long until it wants to be called again, and the fetch sleeps that long
    // unless the page comes first. Without it the fetch runs the loop once every 5 ms itself.
    using TWaitTurn = std::function<std::chrono::milliseconds()>;
    const TWaitTurn& WaitTurn() const { return waitTurn_; }
    void SetWaitTurn(TWaitTurn Turn) { waitTurn_ = std::move(Turn); }
    bool ContentRefused() const { return contentRefused_; }
    // The HTTP client, for its time-outs and the like; the fetcher sets the rest on every fetch.
    TWinHTTP* HttpClient() const { return http_; }

    THTTPProgressEvent OnProgress;
    THTTPStatusMessage OnStatusMessage;
    THTTPOnLinkEvent OnLink;

private:
    void BindClientEvents();
    // Runs a client event's effect on the fetcher: held back while its transfer is ahead, dropped while
    // a transfer is being let go, else run now (an exception it raises is kept for the waiting fetch).
    void Deliver(std::function<void()> Event);
    void Run(const std::function<void()>& Event);
    bool StartTransfer(const std::string& URL);
    void DropAhead();
    // The worker goes on to no further address of the chain.
    void CloseChain();
    // The next transfer the worker went on to by itself becomes the one ahead.
    void PromoteChained();
    // True while the transfer of the page being taken is under way.
    bool PageUnderWay() const;
    void BeginPage(const std::string& URL);
    void WaitForTransfer();
    std::vector<std::string> TakeRedirects();
    void ApplyRedirects(const std::vector<std::string>& URLs);
    void Status(const std::string& text);
    std::string EffectiveUrl() const;
    fetcher::ReadSettings CurrentReadSettings() const;

    TWinHTTP* http_ = nullptr;
    // Reads the pages: its parser, plugins and buffers serve page after page.
    std::unique_ptr<fetcher::PageReader> reader_;
    // What the reader fills; its lists go to the fetcher's, which come back for the next page.
    std::unique_ptr<fetcher::ReadPage> readPage_;
    // What the page is read as unless it names its encoding: the server's charset, or the default.
    const TDIReadMethod* readMethod_ = nullptr;
    // The resolved links to follow in UTF-8, and the filed links to follow and not to follow; the string
    // lists are filled from them when asked for.
    std::vector<std::string> resolvedLinks_, follow_, nonFollow_;
    mutable bool listsFilled_ = true;
    std::unique_ptr<TStringList> pageLinks_, followList_, nonFollowList_, nonFollowQueryParts_;
    std::shared_ptr<fetcher::RedirectMailbox> mailbox_;
    std::unique_ptr<fetcher::AheadFetch> ahead_;
    // The transfers the worker went on to by itself after the one ahead, in order, with their events.
    std::deque<std::unique_ptr<fetcher::AheadFetch>> chained_;
    // The next transfer's way on, for the worker.
    std::function<std::string(int, const std::string&, const std::string&)> chain_;
    // The addresses the running chain goes on to, shared with its worker.
    std::shared_ptr<fetcher::ChainList> chainList_;
    // The first exception an event handler raised during the fetch that waits.
    std::exception_ptr raised_;
    TWaitTurn waitTurn_;
    // Whether pages have lately come quickly enough to be watched for rather than slept for.
    TWaitPolicy transferWait_;
    // The held-back events of the page being taken, while they run.
    std::vector<std::function<void()>>* replaying_ = nullptr;
    bool ignoring_ = false;

    std::string url_, shortURL_, pageContent_, contentType_, contentLocation_, redirectedURL_, title_;
    std::string redirectLocation_;
    uint32_t lastError_ = 0;
    std::string lastErrorText_;
    bool followRedirects_ = true;
    std::string agent_, proxyServer_, proxyUserName_, proxyPassword_, wantedFileTypes_;
    TMimeType mimeType_ = mimeUnknown;
    int64_t contentLength_ = 0;
    TDateTime lastModified_ = 0;
    int response_ = -1;
    int proxyPort_ = 0;
    bool passwordRequired_ = false;
    bool parsed_ = false;
    bool hasTitle_ = false;
    TDownloadFileTypes downloadFileTypes_ = MimeBit(mimeText);
    bool dontGetContent_ = false;
    bool dontParseFile_ = false;
    bool resolveUris_ = true;
    bool showAllLinkTypes_ = false;
    TLinkTypes linkTypes_ = kAllLinkTypes;

    bool busy_ = false;
    bool contentRefused_ = false;
    // Redirected in this fetch (RedirectedURL outlives a fetch), and to another site.
    bool redirectedNow_ = false;
    bool offSite_ = false;
};

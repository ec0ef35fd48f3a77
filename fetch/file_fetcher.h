#pragma once
// The page fetcher: fetches one page over HTTP while the GUI thread's messages keep running, then
// parses it for its title and sorts its links into links to follow and links not to follow.
#include "fetch/mime_type.h"
#include "platform/rtl/component.h"
#include "platform/rtl/date_time.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class TStringList;
class TWinHTTP;
class TDIHtmlParser;
class TDIHtmlLinksPlugin;
class TDIHtmlTitlePlugin;
class TDIHtmlCharSetPlugin;
class TDIWideString2Vector;
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
}

class TFileFetcher : public TComponent {
public:
    explicit TFileFetcher(TComponent* AOwner);
    ~TFileFetcher() override;
    std::string ClassName() const override { return "TFileFetcher"; }
    static const TPropertyTable& Table();
    const TPropertyTable* PublishedProperties() const override { return &Table(); }

    // Fetches and parses one page. False when the transfer failed, the body was refused, or a fetch is
    // already waiting (that one is left as it is).
    bool Fetch(const std::string& URL);
    // Stops the transfer in progress cooperatively; a waiting Fetch returns once the client confirms.
    void Abort();
    void Reset();

    // The links to follow of the last page: (resolved link, filed link).
    int LinkCount() const;
    void GetLink(int Index, std::string& ResolvedLink, std::string& FiledLink) const;

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
    TStringList* FollowList() const { return followList_.get(); }
    TStringList* NonFollowList() const { return nonFollowList_.get(); }
    TStringList* NonFollowQueryParts() const { return nonFollowQueryParts_.get(); }

    bool Busy() const { return busy_; }
    bool ContentRefused() const { return contentRefused_; }
    // The HTTP client, for its time-outs and the like; the fetcher sets the rest on every fetch.
    TWinHTTP* HttpClient() const { return http_; }

    THTTPProgressEvent OnProgress;
    THTTPStatusMessage OnStatusMessage;
    THTTPOnLinkEvent OnLink;

private:
    void bindClientEvents();
    void waitForTransfer();
    void takeRedirects();
    void status(const std::string& text);
    void parsePage();
    void handleLink(std::u16string& link);
    std::string effectiveURL() const;

    TWinHTTP* http_ = nullptr;
    std::unique_ptr<TDIHtmlParser> parser_;
    std::unique_ptr<TDIHtmlLinksPlugin> links_;
    std::unique_ptr<TDIHtmlTitlePlugin> titlePlugin_;
    std::unique_ptr<TDIHtmlCharSetPlugin> charSet_;
    std::unique_ptr<TDIWideString2Vector> linkVector_;
    std::unique_ptr<TStringList> pageLinks_, followList_, nonFollowList_, nonFollowQueryParts_;
    std::shared_ptr<fetcher::RedirectMailbox> mailbox_;
    // The links plugin's base address, parsed once for all the links of a page.
    std::unique_ptr<TDIUri> base_;
    std::u16string baseText_;
    bool baseParsed_ = false;

    std::string url_, shortURL_, pageContent_, contentType_, contentLocation_, redirectedURL_, title_;
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
    // Set while Abort waits for the client to confirm the stop.
    bool abortRequested_ = false;
    std::chrono::steady_clock::time_point abortDeadline_;
    // Redirected in this fetch (RedirectedURL outlives a fetch), and to another site.
    bool redirectedNow_ = false;
    bool offSite_ = false;
};

#include "app/crawl/website_crawl.h"

#include "app/core/map_profile.h"
#include "app/core/work_pace.h"
#include "app/crawl/crawl_address.h"
#include "app/crawl/crawl_view.h"
#include "app/crawl/fetch_failure.h"
#include "fetch/address_functions.h"
#include "fetch/file_fetcher.h"
#include "fetch/html/url_parts.h"
#include "fetch/http/win_http.h"
#include "platform/net/wininet.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/format.h"
#include "platform/rtl/string_list.h"

namespace crawl {
namespace {

constexpr int kMemoLimit = 200;
constexpr const char kHomeText[] = "Home";
// As many redirects in a row as the HTTP client would follow.
constexpr int kMaxRedirects = 20;
constexpr const char kStartFailed[] = "The start page %s could not be loaded";
constexpr const char kPageLeftOut[] = "The page %s was left out: %s.";
constexpr const char kTooManyAddresses[] =
    "the site has more than %s addresses and folders; the site map lists only part of it";
// At most as many queued addresses the worker goes through by itself while the crawl works on pages.
constexpr int kChainLength = 16;
// The refused links kept at most: past it they are forgotten and judged again as they come.
constexpr size_t kRefusedLimit = 4096;

// 1000000 as "1,000,000".
std::string WithThousands(int n) {
    std::string digits = std::to_string(n);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<size_t>(at), ",");
    return digits;
}

bool RedirectStatus(int code) {
    return code == 301 || code == 302 || code == 303 || code == 307 || code == 308;
}

// Whether the crawl fetches a redirect's target (given as the fetcher resolves it) in the place of the
// address that led to it. Asked on the worker thread too: it reads only the filter, fixed for the crawl,
// and the known addresses under their lock.
bool NeedsRequest(const std::string& Target, const TLinkFilter& Filter, const TKnownAddresses& Known) {
    if (!IsWebAddress(Target)) return false;
    const std::string target = Target.substr(0, Target.find('#'));
    if (!Filter.Accepts(target)) return false;
    return !Known.IsKnownShared(OnSiteForm(target, Filter.SitePrefix()));
}

// What the crawl sets on the fetcher, for the crawl's time only.
class FetcherScope {
public:
    FetcherScope(TFileFetcher& Fetcher, TWorkPace& Pace)
        : fetcher_(Fetcher), follow_(Fetcher.FollowRedirects()), user_(Fetcher.HttpClient()->Username()),
          password_(Fetcher.HttpClient()->Password()), turn_(Fetcher.WaitTurn()),
          links_(Fetcher.LinkTypes()) {
        fetcher_.SetFollowRedirects(false);
        // While a page is on its way the loop runs at the crawl's pace too, not at one of the fetcher's.
        fetcher_.SetWaitTurn([&Pace] {
            Pace.Turn();
            // Rounded up: woken a little after the turn is due rather than once just before it.
            return std::chrono::ceil<std::chrono::milliseconds>(Pace.UntilDue());
        });
    }
    ~FetcherScope() {
        fetcher_.SetLinkTypes(links_);
        fetcher_.SetWaitTurn(turn_);
        fetcher_.SetFollowRedirects(follow_);
        fetcher_.HttpClient()->SetUsername(user_);
        fetcher_.HttpClient()->SetPassword(password_);
    }
    FetcherScope(const FetcherScope&) = delete;
    FetcherScope& operator=(const FetcherScope&) = delete;

private:
    TFileFetcher& fetcher_;
    bool follow_;
    std::string user_, password_;
    TFileFetcher::TWaitTurn turn_;
    TLinkTypes links_;
};

} // namespace

TWebsiteCrawl::TWebsiteCrawl(TFileFetcher& Fetcher, TMapProfile& Profile, TStringList& IgnoreFolderList,
                             TStringList& IgnoreFileList, CrawlView& View, CrawlResults& Results)
    : fetcher_(Fetcher), profile_(Profile), ignoreFolderList_(IgnoreFolderList),
      ignoreFileList_(IgnoreFileList), view_(View), results_(Results) {
    pace_ = view_.Pace();
    if (pace_ == nullptr) {
        ownPace_ = std::make_unique<TWorkPace>([this] { view_.ProcessMessages(); });
        pace_ = ownPace_.get();
    }
}

TWebsiteCrawl::~TWebsiteCrawl() = default;

void TWebsiteCrawl::ResetCrawl() {
    fileCount_ = 0;
    urlCount_ = 0;
    startResponse_ = -1;
    startLoaded_ = false;
    startFailure_.clear();
    cancelRequested_ = false;
    memoLines_ = -1;
    queue_.Clear();
    handed_.clear();
    refused_.clear();
    refusedBy_.reset();
    pace_->Restart();
    pace_->TurnNow();
}

bool TWebsiteCrawl::CrawlWebsite(const std::string& Start) {
    ResetCrawl();
    crawling_ = true;
    // A user name and password in the start address are for fetching: the addresses the crawl queues,
    // shows and records never hold them.
    const std::string start = SplitUserInfo(Start, user_, password_);
    credentialKey_ = HostKey(start);
    startFailure_ = Format(kStartFailed, WithoutPassword(Start).c_str()) + ".";
    siteBase_ = start;
    view_.ShowLookingIn(WithoutPassword(Start));
    queue_.EnqueueUrl(start, start, "");
    pace_->TurnNow();
    fetcher_.NonFollowQueryParts()->SetText(profile_.FollowQueryPartsList().Text());
    // Wanted types that are not pages are listed from their headers.
    fetcher_.SetWantedFileTypes(profile_.FileTypes());
    // The options as they are now hold for the whole crawl, on this thread and on the worker.
    filter_ = std::make_shared<const TLinkFilter>(siteBase_, profile_.FileTypes(), ignoreFolderList_,
                                                  ignoreFileList_);
    usePageTitles_ = profile_.UsePageTitles();
    FetcherScope scope(fetcher_, *pace_);

    std::string text, url, referrer, final;
    while (crawling_) {
        if (!queue_.DequeueUrl(text, url, referrer)) {
            crawling_ = false;
            break;
        }
        ++urlCount_;
        // The chain was given the queue's head in order; anything else and the fetcher drops it.
        if (!handed_.empty() && handed_.front() == url)
            handed_.pop_front();
        else
            handed_.clear();
        ShowCrawlStatus(url);
        // Cancel pressed while the labels were updated: no reason to fetch one more page.
        if (!crawling_) return startLoaded_;
        const bool loaded = FetchStep(url, final);
        if (cancelRequested_) fetcher_.Abort();
        // Cancel was pressed while the page was on its way: the tree built so far is the result.
        if (!crawling_) return startLoaded_;
        if (urlCount_ == 1) {
            startResponse_ = loaded ? 200 : fetcher_.Response();
            startLoaded_ = loaded;
            // The site is where the start page was finally taken from.
            siteBase_ = final;
            if (loaded)
                startFailure_.clear();
            else
                ReportStartFailure(Start);
        }
        if (!loaded) {
            if (urlCount_ > 1 && fetcher_.LastError() == ERROR_INTERNET_BODY_TOO_LARGE)
                Say(Format(kPageLeftOut, final.c_str(), FailureReason(fetcher_).c_str()));
            continue;
        }
        ++fileCount_;
        if (!usePageTitles_) {
            fetcher_.SetTitle("");
            fetcher_.SetHasTitle(false);
        }
        HarvestLinks();
        LogUrl(final);
        AddPage(final, referrer);
    }
    if (queue_.Overflowed()) {
        Say(Format(kTooManyAddresses, WithThousands(queue_.Limit()).c_str()));
    }
    view_.ShowTotalFiles("Total Files Found: " + std::to_string(fileCount_));
    return startLoaded_;
}

void TWebsiteCrawl::Say(const std::string& Text) {
    LogUrl(Text);
    view_.ShowNotice(Text);
}

bool TWebsiteCrawl::FetchStep(const std::string& URL, std::string& Final) {
    failure_.clear();
    Final = URL;
    try {
        queue_.AddVisited(URL);
        bool loaded = Request(URL);
        // A redirect the crawl follows is fetched now, in the place of the address that led to it.
        for (int hops = 0; !loaded && crawling_ && RedirectStatus(fetcher_.Response());) {
            const std::string target = RedirectTarget();
            if (target.empty()) break;
            if (++hops > kMaxRedirects) {
                failure_ = "it redirects more than " + std::to_string(kMaxRedirects) + " times";
                break;
            }
            queue_.AddVisited(target);
            Final = target;
            loaded = Request(target);
        }
        if (crawling_) FetchAhead();
        if (loaded) fetcher_.ParsePage();
        return loaded;
    } catch (const std::exception& e) {
        failure_ = e.what();
        LogUrl(Format("Error fetching %s: %s", URL.c_str(), e.what()));
    } catch (...) {
        LogUrl(Format("Error fetching %s", URL.c_str()));
    }
    return false;
}

bool TWebsiteCrawl::Request(const std::string& URL) {
    CredentialsFor(URL);
    return fetcher_.Request(EncodeAddress(URL));
}

void TWebsiteCrawl::CredentialsFor(const std::string& URL) {
    const bool send = SendsCredentials(URL);
    fetcher_.HttpClient()->SetUsername(send ? user_ : std::string());
    fetcher_.HttpClient()->SetPassword(send ? password_ : std::string());
}

std::string TWebsiteCrawl::RedirectTarget() {
    std::string target = fetcher_.RedirectLocation();
    if (!IsWebAddress(target)) return {};
    target = target.substr(0, target.find('#'));
    if (urlCount_ == 1) {
        // The start page may be sent anywhere: where it lands is the site. Back where it has been is a loop.
        std::string user, password;
        target = SplitUserInfo(target, user, password);
        if (queue_.IsVisited(target)) {
            failure_ = "it redirects in a loop";
            return {};
        }
        return target;
    }
    // Anywhere else the target is a link like any other: off the site, or known, it adds nothing.
    const TLinkFilter& filter = Filter();
    if (!NeedsRequest(target, filter, *queue_.Known())) return {};
    // A full queue takes no new address, not even by a redirect.
    if (queue_.Full()) {
        queue_.NoteOverflow();
        return {};
    }
    return OnSiteForm(target, filter.SitePrefix());
}

void TWebsiteCrawl::FetchAhead() {
    // The worker is still on its way through the queue: it is given the next addresses as they come up.
    if (fetcher_.Chaining()) {
        for (const std::string& url : MoreForChain())
            if (!fetcher_.ExtendAhead(url)) break;
        return;
    }
    if (fetcher_.FetchingAhead()) return;
    const AURLItem* next = queue_.Head();
    if (!next) return;
    CredentialsFor(next->URL);
    // The queue's next addresses, as many as go with the same credentials: the worker fetches them one
    // after the other while this thread works on the pages before, in the same order as one at a time.
    // Only a redirect to an address not met yet waits for this thread, which fetches that first.
    chainSends_ = SendsCredentials(next->URL);
    handed_.clear();
    const std::vector<std::string> urls = MoreForChain();
    Filter();
    // The worker holds what it reads: the crawl's filter and the known addresses, never the crawl.
    auto passOn = [filter = filter_, known = queue_.Known()](int Status, const std::string& Target) {
        return !RedirectStatus(Status) || !NeedsRequest(Target, *filter, *known);
    };
    try {
        if (fetcher_.FetchAhead(urls, passOn)) return;
    } catch (const std::exception&) {
        // Then it is fetched when its turn comes.
    }
    handed_.clear();
}

std::vector<std::string> TWebsiteCrawl::MoreForChain() {
    std::vector<std::string> urls;
    while (handed_.size() < static_cast<size_t>(kChainLength) &&
           handed_.size() < static_cast<size_t>(queue_.Count())) {
        const std::string& url = queue_.At(static_cast<int>(handed_.size())).URL;
        if (SendsCredentials(url) != chainSends_) break;
        urls.push_back(EncodeAddress(url));
        handed_.push_back(url);
    }
    return urls;
}

bool TWebsiteCrawl::SendsCredentials(const std::string& URL) const {
    return (!user_.empty() || !password_.empty()) && IsOnSiteOf(URL, credentialKey_);
}

void TWebsiteCrawl::ReportStartFailure(const std::string& Start) {
    const std::string reason = failure_.empty() ? FailureReason(fetcher_) : failure_;
    startFailure_ = Format(kStartFailed, WithoutPassword(Start).c_str()) + ": " + reason + ".";
    LogUrl(startFailure_);
}

void TWebsiteCrawl::Cancel() {
    cancelRequested_ = true;
    crawling_ = false;
    // The request in flight, or the one ahead, stops now rather than when it ends by itself.
    fetcher_.Abort();
}

void TWebsiteCrawl::AddPage(const std::string& URL, const std::string& Referrer) {
    CrawledPage page;
    page.Referrer = Referrer;
    try {
        page.LastModified = fetcher_.LastModified();
    } catch (const std::exception&) {
        page.LastModified = Now();
    }
    const bool titles = usePageTitles_;
    page.Title = fetcher_.Title();
    TURLparts parts;
    if (urlCount_ == 1) {
        page.URL = fetcher_.URL();
        parts.SetURL(URL);
        page.Folder = NormaliseSchemeAndHost(parts.FolderOf());
        page.Text = titles && !fetcher_.Title().empty() ? fetcher_.Title() : std::string();
        page.Shown = page.Text.empty() ? kHomeText : page.Text;
        results_.AddRootNode(page);
        return;
    }
    if (fetcher_.Title().empty()) fetcher_.SetTitle(fetcher_.URL());
    page.URL = URL;
    parts.SetURL(URL);
    page.Folder = NormaliseSchemeAndHost(parts.FolderOf());
    page.Text = titles ? fetcher_.Title() : URL;
    page.Shown = page.Text;
    // The folders of its path count against the crawl's limit, as its address does.
    const int folders = results_.AddPageNode(page, queue_.FolderRoom());
    if (folders < 0)
        queue_.NoteOverflow();
    else
        queue_.AddFolders(folders);
}

const TLinkFilter& TWebsiteCrawl::Filter() {
    if (!filter_)
        filter_ = std::make_shared<const TLinkFilter>(siteBase_, profile_.FileTypes(), ignoreFolderList_,
                                                      ignoreFileList_);
    // The start page landed elsewhere: the same options for the site it landed on.
    else if (filter_->SiteBase() != siteBase_)
        filter_ = std::make_shared<const TLinkFilter>(*filter_, siteBase_);
    return *filter_;
}

bool TWebsiteCrawl::AcceptLink(const std::string& Link) {
    return Filter().Accepts(Link);
}

bool TWebsiteCrawl::Refused(const std::string& Link) {
    const TLinkFilter& filter = Filter();
    if (refusedBy_ != filter_) {
        refused_.clear();
        refusedBy_ = filter_;
    }
    if (refused_.count(Link) != 0) return true;
    if (filter.Accepts(Link)) return false;
    if (refused_.size() >= kRefusedLimit) refused_.clear();
    refused_.insert(Link);
    return true;
}

void TWebsiteCrawl::HarvestLinks() {
    if (queue_.Overflowed() && queue_.Full()) {
        // No link can be taken any more: the pages still queued are only read for their titles.
        fetcher_.SetLinkTypes(0);
        return;
    }
    std::string link, text;
    const int count = fetcher_.LinkCount();
    for (int i = 0; i < count; ++i) {
        fetcher_.GetResolvedLink(i, link);
        // Most links of a site lead to pages already met: the look-up is asked before the filters, and the
        // link's text is only made for the few that are queued.
        if (queue_.IsKnown(link)) continue;
        if (Refused(link)) continue;
        fetcher_.GetLink(i, link, text);
        queue_.EnqueueUrl(OnSiteForm(link, Filter().SitePrefix()), text, fetcher_.URL());
    }
}

void TWebsiteCrawl::ShowCrawlStatus(const std::string& URL) {
    // With the window's pace the labels change once for each turn of the loop that shows them: before
    // a turn that is due, or after one the tree's nodes took.
    const bool show = ownPace_ || pace_->Due() || pace_->Turns() != labelsAtTurn_;
    if (show) {
        view_.ShowFileFound(URL);
        view_.ShowFileCount(std::to_string(fileCount_) +
                            "     URLs in Queue: " + std::to_string(queue_.Count()));
    }
    pace_->Turn();
    if (show) labelsAtTurn_ = pace_->Turns();
}

void TWebsiteCrawl::LogUrl(const std::string& URL) {
    // The memo is asked for its count once a crawl: counting its lines costs more than appending one.
    if (memoLines_ < 0) memoLines_ = view_.MemoLineCount();
    if (memoLines_ > kMemoLimit) {
        view_.ClearMemo();
        memoLines_ = 0;
    }
    view_.AppendMemo(URL);
    ++memoLines_;
}

} // namespace crawl

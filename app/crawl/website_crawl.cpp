#include "app/crawl/website_crawl.h"

#include "app/core/map_profile.h"
#include "app/crawl/crawl_address.h"
#include "app/crawl/crawl_view.h"
#include "fetch/address_functions.h"
#include "fetch/file_fetcher.h"
#include "fetch/html/url_parts.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/format.h"
#include "platform/rtl/string_list.h"

namespace crawl {
namespace {

constexpr int kMemoLimit = 200;
constexpr const char kHomeText[] = "Home";

} // namespace

TWebsiteCrawl::TWebsiteCrawl(TFileFetcher& Fetcher, TMapProfile& Profile, TStringList& IgnoreFolderList,
                             TStringList& IgnoreFileList, CrawlView& View, CrawlResults& Results)
    : fetcher_(Fetcher), profile_(Profile), ignoreFolderList_(IgnoreFolderList),
      ignoreFileList_(IgnoreFileList), view_(View), results_(Results) {}

void TWebsiteCrawl::ResetCrawl() {
    fileCount_ = 0;
    urlCount_ = 0;
    startResponse_ = -1;
    cancelRequested_ = false;
    queue_.Clear();
    view_.ProcessMessages();
}

bool TWebsiteCrawl::CrawlWebsite(const std::string& Start) {
    ResetCrawl();
    crawling_ = true;
    siteBase_ = Start;
    view_.ShowLookingIn(Start);
    queue_.EnqueueUrl(Start, Start, "");
    view_.ProcessMessages();
    fetcher_.NonFollowQueryParts()->SetText(profile_.FollowQueryPartsList().Text());
    // Wanted types that are not pages are listed from their headers.
    fetcher_.SetWantedFileTypes(profile_.FileTypes());

    std::string text, url, referrer;
    while (crawling_) {
        if (!queue_.DequeueUrl(text, url, referrer)) {
            crawling_ = false;
            break;
        }
        ++urlCount_;
        showCrawlStatus(url);
        // Cancel pressed while the labels were updated: no reason to fetch one more page.
        if (!crawling_) return startResponse_ == 200;
        const bool loaded = fetchStep(url);
        if (cancelRequested_) fetcher_.Abort();
        // Cancel was pressed while the page was on its way: the tree built so far is the result.
        if (!crawling_) return startResponse_ == 200;
        if (urlCount_ == 1) startResponse_ = loaded ? 200 : fetcher_.Response();
        if (!loaded) {
            if (urlCount_ == 1)
                LogUrl(Format("The start page %s could not be loaded (response %d).", url.c_str(),
                              fetcher_.Response()));
            continue;
        }
        ++fileCount_;
        if (!profile_.UsePageTitles()) {
            fetcher_.SetTitle("");
            fetcher_.SetHasTitle(false);
        }
        HarvestLinks();
        LogUrl(url);
        addPage(url, referrer);
    }
    view_.ShowTotalFiles("Total Files Found: " + std::to_string(fileCount_));
    return startResponse_ == 200;
}

bool TWebsiteCrawl::fetchStep(const std::string& URL) {
    try {
        queue_.AddVisited(URL);
        return fetcher_.Fetch(EncodeAddress(URL));
    } catch (const std::exception& e) {
        LogUrl(Format("Error fetching %s: %s", URL.c_str(), e.what()));
    } catch (...) {
        LogUrl(Format("Error fetching %s", URL.c_str()));
    }
    return false;
}

void TWebsiteCrawl::Cancel() {
    cancelRequested_ = true;
    crawling_ = false;
    // Stops a slow or stalled transfer now rather than when it ends by itself.
    if (fetcher_.Busy()) fetcher_.Abort();
}

void TWebsiteCrawl::addPage(const std::string& URL, const std::string& Referrer) {
    CrawledPage page;
    page.Referrer = Referrer;
    try {
        page.LastModified = fetcher_.LastModified();
    } catch (const std::exception&) {
        page.LastModified = Now();
    }
    const bool titles = profile_.UsePageTitles();
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
    results_.AddPageNode(page);
}

bool TWebsiteCrawl::AcceptLink(const std::string& Link) const {
    if (siteKeyOf_ != siteBase_ || siteKey_.empty()) {
        siteKey_ = HostKey(siteBase_);
        siteKeyOf_ = siteBase_;
    }
    // Two texts that do not parse count as the same host, so the form is checked first.
    if (!IsWebAddress(Link)) return false;
    TURLparts parts;
    parts.SetURL(Link);
    if ((parts.Parsed() ? HostKey(parts.Uri()) : HostKey(Link)) != siteKey_) return false;
    if (parts.HasFile() && !IsFileTypeInList(parts.FileName(), profile_.FileTypes())) return false;
    // The ignore lists are mostly empty: the addresses they are searched for are then not even built.
    if (ignoreFolderList_.Count() > 0 && ignoreFolderList_.IndexOf(parts.FolderOf()) >= 0) return false;
    if (parts.HasFile() && ignoreFileList_.Count() > 0 && ignoreFileList_.IndexOf(parts.FileAddress()) >= 0)
        return false;
    return true;
}

void TWebsiteCrawl::HarvestLinks() {
    std::string link, text;
    const int count = fetcher_.LinkCount();
    for (int i = 0; i < count; ++i) {
        fetcher_.GetLink(i, link, text);
        // Most links of a site lead to pages already met: the hashed look-ups are asked before the filters.
        if (queue_.IsQueued(link) || queue_.IsVisited(link)) continue;
        if (AcceptLink(link)) queue_.EnqueueUrl(link, text, fetcher_.URL());
    }
}

void TWebsiteCrawl::showCrawlStatus(const std::string& URL) {
    view_.ShowFileFound(URL);
    view_.ShowFileCount(std::to_string(fileCount_) + "     URLs in Queue: " + std::to_string(queue_.Count()));
    view_.ProcessMessages();
}

void TWebsiteCrawl::LogUrl(const std::string& URL) {
    if (view_.MemoLineCount() > kMemoLimit) view_.ClearMemo();
    view_.AppendMemo(URL);
}

} // namespace crawl

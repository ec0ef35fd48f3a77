#pragma once
// The breadth-first crawl of a web site on the GUI thread, from the start address through every
// acceptable link on the same site, until the queue runs empty or the user cancels. While a page is
// parsed, the next queued address is already being fetched; requests still go out in the order of a
// one-at-a-time crawl, at most one at a time. Redirects are the crawl's own: a page is recorded under
// the address it was finally taken from, and a redirect to an address already known costs no request.
#include <deque>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "app/crawl/crawl_queue.h"
#include "app/crawl/link_filter.h"

class TFileFetcher;
class TMapProfile;
class TStringList;
class TWorkPace;

namespace crawl {

class CrawlView;
class CrawlResults;

class TWebsiteCrawl {
public:
    TWebsiteCrawl(TFileFetcher& Fetcher, TMapProfile& Profile, TStringList& IgnoreFolderList,
                  TStringList& IgnoreFileList, CrawlView& View, CrawlResults& Results);
    ~TWebsiteCrawl();

    // The whole crawl from Start; true when the start page loaded. Returns at once after a cancel.
    bool CrawlWebsite(const std::string& Start);
    // The Cancel button: stops the transfer in flight at once and ends the crawl.
    void Cancel();

    bool Crawling() const { return crawling_; }
    bool CancelRequested() const { return cancelRequested_; }
    // Pages that loaded in this crawl.
    int FileCount() const { return fileCount_; }
    // Addresses taken from the queue in this crawl.
    int UrlCount() const { return urlCount_; }
    // The site: the start page's final address, once its answer has come (the start address before).
    const std::string& SiteBase() const { return siteBase_; }
    // The start page's response code (200 when it loaded, -1 before any answer).
    int StartResponse() const { return startResponse_; }
    // Why the start page did not load, as one sentence naming the start address (never its password);
    // empty when it loaded.
    const std::string& StartFailure() const { return startFailure_; }
    TCrawlQueue& Queue() { return queue_; }

    int EnqueueUrl(const std::string& URL, const std::string& Text, const std::string& Referrer) {
        return queue_.EnqueueUrl(URL, Text, Referrer);
    }
    // True when the link passes every filter of the crawl.
    bool AcceptLink(const std::string& Link);
    void HarvestLinks();
    void LogUrl(const std::string& URL);
    void ResetCrawl();

private:
    // A line of the log that the person running the crawl is told of too.
    void Say(const std::string& Text);
    void ShowCrawlStatus(const std::string& URL);
    bool FetchStep(const std::string& URL, std::string& Final);
    bool Request(const std::string& URL);
    std::string RedirectTarget();
    // Sends the start address's user and password with a request to their own site only.
    void CredentialsFor(const std::string& URL);
    void FetchAhead();
    // The queue's addresses behind those handed to the chain, up to kChainLength ahead of the page being
    // taken and as long as they go with the chain's credentials: noted as handed, and given encoded. An
    // address handed to a chain that has ended is fetched when its turn comes.
    std::vector<std::string> MoreForChain();
    bool SendsCredentials(const std::string& URL) const;
    void ReportStartFailure(const std::string& Start);
    void AddPage(const std::string& URL, const std::string& Referrer);
    // The crawl's filter for the site at siteBase_: the options as they were when the crawl started.
    const TLinkFilter& Filter();
    // False when the link passes every filter of the crawl, as AcceptLink, remembering the links refused.
    bool Refused(const std::string& Link);

    TFileFetcher& fetcher_;
    TMapProfile& profile_;
    TStringList& ignoreFolderList_;
    TStringList& ignoreFileList_;
    CrawlView& view_;
    CrawlResults& results_;
    TCrawlQueue queue_;
    // The queue's first addresses, in order, that the fetcher's chain has been given and the crawl has
    // not taken yet; and whether the chain sends the user and password.
    std::deque<std::string> handed_;
    bool chainSends_ = false;
    // The view's pace, or one of the crawl's own over the view's ProcessMessages.
    TWorkPace* pace_ = nullptr;
    std::unique_ptr<TWorkPace> ownPace_;
    // The pace's turn count when the labels were last set.
    long labelsAtTurn_ = -1;
    // The memo's lines as the crawl counts them; -1 until it has asked the memo.
    int memoLines_ = -1;
    std::string siteBase_;
    // Shared with the worker that judges redirects, which holds it for as long as it runs.
    std::shared_ptr<const TLinkFilter> filter_;
    // Links the filter refused, and the filter that refused them: a site's links off it or of types not
    // wanted come again on page after page, and are judged once.
    std::unordered_set<std::string> refused_;
    std::shared_ptr<const TLinkFilter> refusedBy_;
    // The profile's choice when the crawl started.
    bool usePageTitles_ = true;
    // The user and password of the start address: sent to the site they came with, never shown.
    std::string user_, password_, credentialKey_;
    // Why the page being fetched failed, where the fetcher cannot say (an exception, a redirect loop).
    std::string failure_;
    std::string startFailure_;
    bool crawling_ = false;
    bool cancelRequested_ = false;
    int fileCount_ = 0;
    int urlCount_ = 0;
    int startResponse_ = -1;
    // Not the same as a response of 200: a start page of a type that is not wanted answers 200 too.
    bool startLoaded_ = false;
};

} // namespace crawl

#pragma once
// The breadth-first crawl of a web site: one page at a time on the GUI thread, from the start address
// through every acceptable link on the same site, until the queue runs empty or the user cancels.
#include <string>

#include "app/crawl/crawl_queue.h"

class TFileFetcher;
class TMapProfile;
class TStringList;

namespace crawl {

class CrawlView;
class CrawlResults;

class TWebsiteCrawl {
public:
    TWebsiteCrawl(TFileFetcher& Fetcher, TMapProfile& Profile, TStringList& IgnoreFolderList,
                  TStringList& IgnoreFileList, CrawlView& View, CrawlResults& Results);

    // The whole crawl from Start; true when the start page loaded. Returns at once after a cancel.
    bool CrawlWebsite(const std::string& Start);
    // The Cancel button: stops the transfer in progress and ends the crawl.
    void Cancel();

    bool Crawling() const { return crawling_; }
    bool CancelRequested() const { return cancelRequested_; }
    // Pages that loaded in this crawl.
    int FileCount() const { return fileCount_; }
    // Addresses taken from the queue in this crawl.
    int UrlCount() const { return urlCount_; }
    const std::string& SiteBase() const { return siteBase_; }
    // The start page's response code (200 when it loaded, -1 before any answer).
    int StartResponse() const { return startResponse_; }
    TCrawlQueue& Queue() { return queue_; }

    int EnqueueUrl(const std::string& URL, const std::string& Text, const std::string& Referrer) {
        return queue_.EnqueueUrl(URL, Text, Referrer);
    }
    // True when the link passes every filter of the crawl.
    bool AcceptLink(const std::string& Link) const;
    void HarvestLinks();
    void LogUrl(const std::string& URL);
    void ResetCrawl();

private:
    void showCrawlStatus(const std::string& URL);
    bool fetchStep(const std::string& URL);
    void addPage(const std::string& URL, const std::string& Referrer);

    TFileFetcher& fetcher_;
    TMapProfile& profile_;
    TStringList& ignoreFolderList_;
    TStringList& ignoreFileList_;
    CrawlView& view_;
    CrawlResults& results_;
    TCrawlQueue queue_;
    std::string siteBase_;
    // HostKey of siteBase_, made once for all the links of a crawl.
    mutable std::string siteKey_, siteKeyOf_;
    bool crawling_ = false;
    bool cancelRequested_ = false;
    int fileCount_ = 0;
    int urlCount_ = 0;
    int startResponse_ = -1;
};

} // namespace crawl

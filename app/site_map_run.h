#pragma once
// One run of the site map: the result tree it gathers into, the outputs written from it and their
// upload. The wizard drives it page by page, by itself when unattended; a view shows it (the main
// window), and without one it runs unseen.
#include <memory>
#include <string>
#include <vector>

#include "app/site_map_run_view.h"

class TComponent;
class TFileFetcher;
class TMapProfile;
class TQuillFTP;
class TRzTreeView;
class TSiteMapSettings;
class TStringList;
class TWorkPace;

namespace results {
class TResultTree;
class TLocalScan;
} // namespace results
namespace crawl {
class TWebsiteCrawl;
}

class TSiteMapRun {
public:
    // The fetcher and the upload facade are components of Owner, or the run's own without one.
    TSiteMapRun(TRzTreeView& TreeView, TMapProfile& Profile, TStringList& IgnoreFolderList,
                TStringList& IgnoreFileList, TComponent* Owner = nullptr);
    ~TSiteMapRun();
    TSiteMapRun(const TSiteMapRun&) = delete;
    TSiteMapRun& operator=(const TSiteMapRun&) = delete;

    // Nothing shows the run when View is null.
    void SetView(TSiteMapRunView* View) { view_ = View ? View : &unseen_; }
    // Nobody answers: failures are told on the terminal as well, and an upload asks nothing.
    void SetUnattended(bool Value) { unattended_ = Value; }
    bool Unattended() const { return unattended_; }

    results::TResultTree& Tree() { return *tree_; }
    // How often the run lets the message loop run and repaint (tests give it their own clock).
    TWorkPace& Pace() { return *pace_; }
    TFileFetcher& Fetcher() { return *fetcher_; }
    TQuillFTP& Ftp() { return *ftp_; }

    // Empties the tree and gathers into it the folder of the profile's index page (Local) or the pages
    // of the profile's web site. False when the crawl's start page did not load (GatherFailure says why).
    bool Gather(bool Local);
    // Stops the scan or the crawl under way; it ends at its next step and keeps what it found.
    void Cancel();
    bool Gathering() const { return scanning_ || crawling_; }
    int FileCount() const { return fileCount_; }
    int UrlCount() const { return urlCount_; }
    const std::string& GatherFailure() const { return gatherFailure_; }
    // The log lines kept back go to the view.
    void FlushLog();

    // Writes the site map from the tree as the profile asks, then saves the profile (Settings remember
    // it as the last one). False when the output failed.
    bool WriteOutputs(TSiteMapSettings* Settings);
    bool OutputFailed() const { return outputFailed_; }
    // The XML sitemap and the files the last output wrote, page first: what an upload sends.
    const std::string& XmlFileName() const { return xmlFileName_; }
    const std::vector<std::string>& UploadList() const { return uploadList_; }

    // Sends the upload list to the profile's server, whose choice the person has confirmed.
    bool Upload();
    // The same without anybody to ask; a profile that names no server asks for no upload (true).
    bool UploadUnattended();

    void ProcessMessages();

private:
    class CrawlShown;
    void ScanLocalFolder();
    bool CrawlSite();
    void KeepLogLine(const std::string& Line);
    // Empties the log, the lines kept back with it.
    void ClearLog();
    bool SendUploadList(bool Unattended);

    TRzTreeView& treeView_;
    TMapProfile& profile_;
    TStringList& ignoreFolders_;
    TStringList& ignoreFiles_;
    TSiteMapRunView unseen_;
    TSiteMapRunView* view_ = &unseen_;
    bool unattended_ = false;
    std::unique_ptr<TFileFetcher> ownFetcher_;
    std::unique_ptr<TQuillFTP> ownFtp_;
    TFileFetcher* fetcher_ = nullptr;
    TQuillFTP* ftp_ = nullptr;
    std::unique_ptr<results::TResultTree> tree_;
    std::unique_ptr<TWorkPace> pace_;
    results::TLocalScan* scan_ = nullptr;
    crawl::TWebsiteCrawl* crawl_ = nullptr;
    bool scanning_ = false;
    bool crawling_ = false;
    bool cancelRequested_ = false;
    int urlCount_ = 0;
    int fileCount_ = 0;
    // Why the last crawl gathered nothing.
    std::string gatherFailure_;
    // Log lines not yet handed to the view, each followed by "\r\n".
    std::string logPending_;
    // The bytes of the lines logged since the log was last emptied, those kept back with them.
    size_t logBytes_ = 0;
    bool outputFailed_ = false;
    std::string xmlFileName_;
    std::vector<std::string> uploadList_;
};

// The gathering step of a run: the local folder scanned, or the web site crawled, into the result tree.
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "app/console_message.h"
#include "app/core/lm_files.h"
#include "app/core/map_profile.h"
#include "app/core/work_pace.h"
#include "app/crawl/crawl_view.h"
#include "app/crawl/result_tree_results.h"
#include "app/crawl/website_crawl.h"
#include "app/main_texts.h"
#include "app/results/local_scan.h"
#include "app/results/result_tree.h"
#include "app/site_map_run.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/files.h"
#include "platform/rtl/format.h"
#include "platform/rtl/heap.h"
#include "platform/rtl/scope_guard.h"
#include "platform/rtl/strings.h"
#include "platform/vcl/dialogs.h"
#include "shellcontrols/rz_tree_view.h"

// The crawl's progress, passed on to the run's view.
class TSiteMapRun::CrawlShown : public crawl::CrawlView {
public:
    explicit CrawlShown(TSiteMapRun& Run) : run_(Run) {}
    void ShowLookingIn(const std::string& S) override { run_.view_->ShowLookingIn(S); }
    void ShowFileFound(const std::string& S) override { run_.view_->ShowFileFound(S); }
    void ShowFileCount(const std::string& S) override { run_.view_->ShowFileCount(S); }
    void ShowTotalFiles(const std::string& S) override { run_.view_->ShowTotalFiles(S); }
    int MemoLineCount() const override {
        const std::string& pending = run_.logPending_;
        int lines = run_.view_->LogLineCount();
        for (size_t at = pending.find('\n'); at != std::string::npos; at = pending.find('\n', at + 1))
            ++lines;
        return lines;
    }
    void ClearMemo() override { run_.ClearLog(); }
    void AppendMemo(const std::string& S) override { run_.KeepLogLine(S); }
    void ShowNotice(const std::string& S) override {
        if (run_.unattended_) mainwin::PrintMessage(std::cerr, S);
    }
    void ProcessMessages() override { run_.ProcessMessages(); }
    TWorkPace* Pace() override { return run_.pace_.get(); }

private:
    TSiteMapRun& run_;
};

namespace {

// The text's first Head and last Tail bytes around an ellipsis, when it is longer than Longest: a path
// thousands of folders deep, shown by its beginning and its end.
std::string Shortened(std::string_view text, size_t longest, size_t head, size_t tail) {
    if (text.size() <= longest) return std::string(text);
    // Cut between characters, not inside one.
    const auto start = [&](size_t at) {
        while (at > 0 && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80)
            --at;
        return at;
    };
    return std::string(text.substr(0, start(head))) + "\u2026" +
           std::string(text.substr(start(text.size() - tail)));
}

} // namespace

bool TSiteMapRun::Gather(bool Local) {
    fileCount_ = 0;
    outputFailed_ = false;
    view_->GatheringStarting();
    ProcessMessages();
    ClearLog();
    tree_->ReleaseTree();
    view_->GatheringBegins(Local);
    bool gathered = true;
    if (Local)
        ScanLocalFolder();
    else
        gathered = CrawlSite();
    // The scan's and the crawl's own lists are gone: the outputs are made without them.
    pw::rtl::ReturnFreedMemory();
    view_->GatheringEnded(fileCount_);
    return gathered;
}

void TSiteMapRun::Cancel() {
    if (scanning_ && scan_) scan_->Stop();
    if (crawling_ && crawl_) {
        cancelRequested_ = true;
        crawl_->Cancel();
        view_->CrawlCancelled();
        crawling_ = false;
    }
}

void TSiteMapRun::ClearLog() {
    logPending_.clear();
    logBytes_ = 0;
    view_->ClearLog();
}

void TSiteMapRun::KeepLogLine(const std::string& Line) {
    // The log shows the progress: it starts again when it holds more than a megabyte, so that it never
    // grows without bound; a line longer than any path the system takes (a folder thousands deep) shows
    // its beginning and its end, so that the window wraps each line in a time of its own, not its depth's.
    constexpr size_t kMostBytes = 1 << 20;
    constexpr size_t kLongestLine = 8192;
    if (logBytes_ > kMostBytes) ClearLog();
    const size_t before = logPending_.size();
    // The lines go to the view as the loop turns, many at a time.
    if (Line.size() <= kLongestLine)
        logPending_ += Line;
    else
        logPending_ += Shortened(Line, kLongestLine, 2048, 4096);
    logPending_ += "\r\n";
    logBytes_ += logPending_.size() - before;
}

void TSiteMapRun::FlushLog() {
    if (logPending_.empty()) return;
    logPending_.resize(logPending_.size() - 2);
    view_->AppendLog(logPending_);
    logPending_.clear();
}

void TSiteMapRun::ScanLocalFolder() {
    results::TLocalScan scan(*tree_, ignoreFolders_, ignoreFiles_);
    scan.Display.LookingIn = [this](const std::string& s) { view_->ShowLookingIn(s); };
    scan.Display.FileFound = [this](const std::string& s) { view_->ShowFileFound(s); };
    scan.Display.FileCount = [this](int n) { view_->ShowFileCount(IntToStr(n)); };
    scan.Display.MemoLine = [this](const std::string& s) { KeepLogLine(s); };
    // A folder left out would otherwise go unnoticed: each is logged, and said on the terminal at once or
    // in one box at the end, which names the first few.
    constexpr size_t kListed = 10;
    int unreadable = 0;
    std::vector<std::string> listed;
    scan.Display.FolderUnreadable = [&](const std::string& folder, const std::string& reason) {
        const std::string line = Format(main_text::FolderUnreadable, folder, reason);
        KeepLogLine(line);
        if (unattended_) mainwin::PrintMessage(std::cerr, line);
        if (listed.size() < kListed) listed.push_back(Shortened(folder, 250, 80, 150) + " (" + reason + ")");
        ++unreadable;
    };
    scan.Display.Pace = pace_.get();
    scan_ = &scan;
    scanning_ = true;
    const std::string& index = profile_.IndexPage();
    try {
        scan.Run(IncludeBackslash(index.empty() ? std::string() : ExtractFilePath(index)));
        FlushLog();
    } catch (const Exception& e) {
        FlushLog();
        view_->AppendLog(e.Message());
        if (unattended_) mainwin::PrintMessage(std::cerr, e.Message());
    }
    scanning_ = false;
    scan_ = nullptr;
    fileCount_ = scan.FileCount();
    if (unreadable > 0 && !unattended_) {
        std::string note = Format(main_text::FoldersUnreadable, IntToStr(unreadable)) + "\n";
        for (const std::string& folder : listed)
            note += "\n" + folder;
        if (static_cast<size_t>(unreadable) > listed.size())
            note += "\n" + Format(main_text::FoldersUnreadableMore,
                                  IntToStr(unreadable - static_cast<int>(listed.size())));
        MessageBox(nullptr, note, main_text::AppTitle, MB_OK | MB_ICONWARNING);
    }
}

bool TSiteMapRun::CrawlSite() {
    CrawlShown shown(*this);
    crawl::ResultTreeResults results(*tree_);
    crawl::TWebsiteCrawl crawl(*fetcher_, profile_, ignoreFolders_, ignoreFiles_, shown, results);
    crawl_ = &crawl;
    cancelRequested_ = false;
    crawling_ = true;
    bool loaded = false;
    gatherFailure_.clear();
    {
        // The tree is not on show while it is filled: its window takes the nodes at the end, many in one
        // message, instead of one message for each page.
        TTreeNodes& items = tree_->View().Items();
        items.BeginUpdate();
        ScopeGuard update([&items] { items.EndUpdate(); });
        try {
            loaded = crawl.CrawlWebsite(profile_.Website());
        } catch (const Exception& e) {
            gatherFailure_ = e.Message();
        }
    }
    FlushLog();
    crawling_ = false;
    crawl_ = nullptr;
    urlCount_ = crawl.UrlCount();
    fileCount_ = crawl.FileCount();
    if (loaded || crawl.CancelRequested()) return true;
    if (!crawl.StartFailure().empty()) {
        // The crawl's own log has it already.
        gatherFailure_ = crawl.StartFailure();
    } else {
        if (gatherFailure_.empty()) gatherFailure_ = main_text::StartPageFailed;
        view_->AppendLog(gatherFailure_);
    }
    if (unattended_) mainwin::PrintMessage(std::cerr, gatherFailure_);
    return false;
}

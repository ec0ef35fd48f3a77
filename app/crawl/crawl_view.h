#pragma once
// What the crawl shows and where its pages go: the seams to the wizard's progress page and to the
// result tree. The defaults show nothing.
#include <string>

#include "platform/rtl/date_time.h"

class TWorkPace;

namespace crawl {

class CrawlView {
public:
    virtual ~CrawlView() = default;
    // lblLookingIn: the start address.
    virtual void ShowLookingIn(const std::string&) {}
    // lblFileFound: the address being fetched.
    virtual void ShowFileFound(const std::string&) {}
    // lblFileCount.
    virtual void ShowFileCount(const std::string&) {}
    // lblTotalFiles, once the crawl has run to its end.
    virtual void ShowTotalFiles(const std::string&) {}
    // memoFiles.
    virtual int MemoLineCount() const { return 0; }
    virtual void ClearMemo() {}
    virtual void AppendMemo(const std::string&) {}
    // A line just appended to the memo that an unattended run reports too: a page left out, a site too
    // large for the crawl.
    virtual void ShowNotice(const std::string&) {}
    // Lets the message loop run once; the default runs the GUI thread's messages.
    virtual void ProcessMessages();
    // The window's pace, when the view has one: the loop then runs only when it is due, and the labels
    // are set only for those turns. Without one the crawl runs ProcessMessages at a pace of its own and
    // sets the labels for every address.
    virtual TWorkPace* Pace() { return nullptr; }
};

// One page that loaded.
struct CrawledPage {
    // The address as queued (the root: the address fetched).
    std::string URL;
    // The record's text: the title, or what stands in for it.
    std::string Text;
    // The text the node shows.
    std::string Shown;
    // The page's own title, empty when it has none or titles are not used.
    std::string Title;
    // The folder the page belongs to, ending with "/", scheme and host lower-cased.
    std::string Folder;
    std::string Referrer;
    TDateTime LastModified = 0;
};

class CrawlResults {
public:
    virtual ~CrawlResults() = default;
    virtual void AddRootNode(const CrawledPage& Page) = 0;
    // Adds the page unless its path needs more than FolderRoom new folder entries: the folder entries it
    // made, or -1 when it was left out for want of room.
    virtual int AddPageNode(const CrawledPage& Page, int FolderRoom) = 0;
};

} // namespace crawl

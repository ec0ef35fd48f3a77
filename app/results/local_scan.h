#pragma once
// The local folder scan: walks the folder of the site's index page and turns every folder and every
// wanted file into a node of the result tree, addressed below the site's web address.
#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "app/core/short_text.h"
#include "app/results/file_finder.h"

class TStringList;
class TWorkPace;
class TTreeNode;

namespace results {

class TResultTree;

// The wizard's labels, memo and message loop, as the scan reports to them.
struct ScanDisplay {
    std::function<void(const std::string&)> LookingIn; // lblLookingIn
    std::function<void(const std::string&)> FileFound; // lblFileFound
    std::function<void(int)> FileCount;                // lblFileCount
    std::function<void(const std::string&)> MemoLine;  // memoFiles, scrolled to its end
    // A folder left out, or left without what the walk could not look at in it, and why.
    std::function<void(const std::string& Folder, const std::string& Reason)> FolderUnreadable;
    // The window's pace: the labels are set and the loop runs only when it is due.
    TWorkPace* Pace = nullptr;
    // Without a pace: the message loop, run at the pace of one of the scan's own.
    std::function<void()> ProcessMessages;
};

class TLocalScan {
public:
    TLocalScan(TResultTree& Tree, const TStringList& IgnoreFolderList, const TStringList& IgnoreFileList);
    ~TLocalScan();
    TLocalScan(const TLocalScan&) = delete;
    TLocalScan& operator=(const TLocalScan&) = delete;

    // Scans Folder into the (emptied) tree, then removes the folders left without pages. Scanning is
    // true meanwhile; OnFinished runs afterwards whatever happened, so the wizard gets its buttons back.
    void Run(const std::string& Folder);
    // Cancel: the running scan ends at its next entry.
    void Stop() { finder_.Stop(); }
    bool Scanning() const { return scanning_; }
    int FileCount() const { return fileCount_; }
    TLmFileFinder& Finder() { return finder_; }

    // The site address of a path below the scanned folder; the site address itself for an empty path.
    std::string LocalPathToUrl(const std::string& Path) const;
    // The folder's index page as a full path: the first of the usual names present, tried exactly and
    // then without regard to letter case; empty when there is none.
    static std::string DefaultIndexFile(const std::string& Folder);
    // The page's title when the profile uses titles and the file is a page; else (or when the file
    // cannot be read) its file name.
    std::string LocalPageTitle(const std::string& Path) const;
    // Modified: the file's time, or -1 to read it from the file. Readable: a regular file, whose
    // title may be read.
    void AddLocalNode(const std::string& Path, bool IsFolder, std::time_t Modified = -1,
                      bool Readable = true);

    void ffSearchNewFolder(TObject* Sender, const std::string& Folder, bool& IgnoreFolder);
    void ffSearchFound(TObject* Sender, const std::string& Folder, const TSearchRec& Entry);

    // The labels and the message loop are served every few milliseconds, not at every entry.
    ScanDisplay Display;
    std::function<void()> OnFinished;

private:
    class TitleSource;
    class DateText;

    // While scanning: the parent node of the folder the walk enters, with the folder's path and address.
    TTreeNode* EnterFolder(const std::string& Folder, TSharedText& Path, TSharedText& Address);
    // Entries: the folder as the walk read it, or nothing to look at the disk.
    void AddFolderNode(const std::string& Path, const std::vector<TFolderEntry>* Entries);
    // Title: the page's title as read while its folder was listed (taken), or nothing to read it now.
    void AddFileNode(std::string Path, std::time_t Modified, bool Readable, std::string* Title);
    // Shows the labels and runs the message loop when the pace says it is due, or now.
    void ServeDisplay(bool Now);

    TResultTree& tree_;
    const TStringList& ignoreFolderList_;
    const TStringList& ignoreFileList_;
    TLmFileFinder finder_;
    std::string root_;
    std::string outputFile_;
    std::unordered_set<std::string> ignoredFolders_;
    std::unordered_set<std::string> ignoredFiles_;
    std::unique_ptr<DateText> dates_;
    bool scanning_ = false;
    int fileCount_ = 0;
    // What the walk is in: the parent of its files (their records share the text) and their address up
    // to the name.
    TSharedText folder_;
    TTreeNode* folderNode_ = nullptr;
    uint64_t folderDeletions_ = 0;
    TSharedText folderUrl_;
    // The folders from the top of the walk down to the one it is in, their paths and addresses the
    // beginnings of the next one's.
    struct Level {
        TSharedText Folder;
        TSharedText Address;
        TTreeNode* Node;
        uint64_t Deletions;
    };
    std::vector<Level> levels_;
    // The profile's file types, as asked about for each file while a scan runs.
    std::string scanTypes_;
    // The labels as last reported, and the pace of a display that brought none.
    std::string lookingIn_;
    std::string fileFound_;
    std::unique_ptr<TWorkPace> ownPace_;
    TWorkPace* pace_ = nullptr;
};

} // namespace results

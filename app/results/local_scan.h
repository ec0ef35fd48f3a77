#pragma once
// The local folder scan: walks the folder of the site's index page and turns every folder and every
// wanted file into a node of the result tree, addressed below the site's web address.
#include <ctime>
#include <functional>
#include <string>
#include <unordered_set>
#include <vector>

#include "app/results/file_finder.h"

class TStringList;

namespace results {

class TResultTree;

// The wizard's labels, memo and message loop, as the scan reports to them.
struct ScanDisplay {
    std::function<void(const std::string&)> LookingIn; // lblLookingIn
    std::function<void(const std::string&)> FileFound; // lblFileFound
    std::function<void(int)> FileCount;                // lblFileCount
    std::function<void(const std::string&)> MemoLine;  // memoFiles, scrolled to its end
    std::function<void()> ProcessMessages;
};

class TLocalScan {
public:
    TLocalScan(TResultTree& Tree, const TStringList& IgnoreFolderList, const TStringList& IgnoreFileList);

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

    ScanDisplay Display;
    std::function<void()> OnFinished;

private:
    void ProcessMessages() const;
    // Titles of the pages found are read in parallel once the walk is over: the walk is bound by
    // the directory reads, the titles by opening every page.
    void ReadPendingTitles();

    TResultTree& tree_;
    const TStringList& ignoreFolderList_;
    const TStringList& ignoreFileList_;
    TLmFileFinder finder_;
    std::string root_;
    std::string outputFile_;
    std::unordered_set<std::string> ignoredFolders_;
    std::unordered_set<std::string> ignoredFiles_;
    std::vector<std::string> pendingTitles_;
    bool scanning_ = false;
    int fileCount_ = 0;
};

} // namespace results

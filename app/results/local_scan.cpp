#include "app/results/local_scan.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <exception>
#include <string_view>
#include <thread>
#include <unordered_map>

#include "app/core/data_rec.h"
#include "app/core/lm_files.h"
#include "app/core/map_profile.h"
#include "app/core/w3c_date.h"
#include "app/results/page_title.h"
#include "app/results/result_tree.h"
#include "app/results/site_url.h"
#include "platform/rtl/string_list.h"
#include "platform/rtl/strings.h"
#include "shellcontrols/rz_tree_view.h"

namespace results {

namespace {

constexpr const char* kIndexNames[] = {"index.html", "index.htm", "welcome.html", "index.php", "index.asp"};
constexpr const char* kPageTypes = "*.htm;*.html;*.shtm;*.shtml;*.php;*.php4;*.php5;*.asp;*.cfm;";
constexpr const char* kImageTypes = "*.gif;*.bmp;*.jpg;*.jpeg;*.png;*.swf;";
// A title sits near the top of a page; a huge file is not read to its end for it.
constexpr size_t kTitleReadLimit = 1 << 20;

struct Fd {
    int fd;
    ~Fd() {
        if (fd >= 0) close(fd);
    }
};

bool ContainsNoCase(std::string_view text, std::string_view word) {
    for (size_t i = 0; i + word.size() <= text.size(); ++i) {
        size_t k = 0;
        while (k < word.size() && std::tolower(static_cast<unsigned char>(text[i + k])) == word[k])
            ++k;
        if (k == word.size()) return true;
    }
    return false;
}

bool IsRegularFile(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The file's bytes up to its first "</title>" (letter case ignored), or up to the read limit: the
// title cannot depend on what follows. False when the file cannot be read.
bool ReadHead(const std::string& path, std::string& bytes) {
    // Non-blocking, so a pipe that carries a page's name cannot stall the scan.
    Fd f{open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
    if (f.fd < 0) return false;
    constexpr size_t kChunk = 16384;
    bytes.clear();
    while (bytes.size() < kTitleReadLimit) {
        size_t at = bytes.size();
        bytes.resize(at + kChunk);
        ssize_t n = read(f.fd, bytes.data() + at, kChunk);
        if (n < 0) {
            bytes.resize(at);
            return errno == EAGAIN;
        }
        bytes.resize(at + static_cast<size_t>(n));
        if (n == 0) break;
        // Search from a little before the new bytes, so a tag split between two reads is found.
        size_t from = at >= 8 ? at - 8 : 0;
        if (ContainsNoCase(std::string_view(bytes).substr(from), "</title>")) break;
    }
    return true;
}

std::string FolderAbove(const std::string& folder) {
    std::string f = folder;
    if (!f.empty() && f.back() == '/') f.pop_back();
    size_t slash = f.rfind('/');
    return slash == std::string::npos ? std::string() : f.substr(0, slash + 1);
}

std::string FolderName(const std::string& folder) {
    std::string f = folder;
    if (!f.empty() && f.back() == '/') f.pop_back();
    return ExtractFileName(f);
}

} // namespace

TLocalScan::TLocalScan(TResultTree& Tree, const TStringList& IgnoreFolderList,
                       const TStringList& IgnoreFileList)
    : tree_(Tree), ignoreFolderList_(IgnoreFolderList), ignoreFileList_(IgnoreFileList) {
    finder_.OnNewFolder = [this](TObject* s, const std::string& f, bool& ignore) {
        ffSearchNewFolder(s, f, ignore);
    };
    finder_.OnFound = [this](TObject* s, const std::string& f, const TSearchRec& e) {
        ffSearchFound(s, f, e);
    };
}

void TLocalScan::ProcessMessages() const {
    if (Display.ProcessMessages) Display.ProcessMessages();
}

void TLocalScan::Run(const std::string& Folder) {
    struct Finish {
        TLocalScan& scan;
        ~Finish() {
            scan.scanning_ = false;
            if (scan.OnFinished) scan.OnFinished();
        }
    } finish{*this};
    scanning_ = true;
    fileCount_ = 0;
    ignoredFolders_.clear();
    ignoredFiles_.clear();
    for (int i = 0; i < ignoreFolderList_.Count(); ++i) {
        std::string entry = ignoreFolderList_[i];
        if (entry.empty()) continue;
        ignoredFolders_.insert(IncludeBackslash(entry));
    }
    for (int i = 0; i < ignoreFileList_.Count(); ++i)
        ignoredFiles_.insert(ignoreFileList_[i]);
    const TMapProfile& profile = tree_.Profile();
    const std::string& output = profile.OutputType() == moutFile     ? profile.OutputFileName()
                                : profile.OutputType() == moutInsert ? profile.OutputInsert()
                                                                     : std::string();
    // The path as the walk spells it, so "./" or ".." in the profile's name still match.
    outputFile_ = ExpandFileName(output);
    finder_.SetLocation(Folder);
    root_ = IncludeBackslash(finder_.Location());
    pendingTitles_.clear();
    finder_.Execute();
    ReadPendingTitles();
    tree_.RemoveEmptyFolders();
}

std::string TLocalScan::LocalPathToUrl(const std::string& Path) const {
    const std::string& site = tree_.Profile().Website();
    if (Path.empty()) return site;
    std::string relative = Path.compare(0, root_.size(), root_) == 0 ? Path.substr(root_.size()) : Path;
    return SiteUrl(site, relative);
}

std::string TLocalScan::DefaultIndexFile(const std::string& Folder) {
    std::string folder = IncludeBackslash(Folder);
    for (const char* name : kIndexNames)
        if (IsRegularFile(folder + name)) return folder + name;
    // Pages made on systems that ignore letter case may be named "Index.HTML". Names are compared
    // first; only a match is looked at on disk.
    std::array<std::string, std::size(kIndexNames)> found;
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* e = readdir(dir)) {
            for (size_t i = 0; i < std::size(kIndexNames); ++i)
                if (found[i].empty() && SameText(e->d_name, kIndexNames[i]) &&
                    IsRegularFile(folder + e->d_name))
                    found[i] = folder + e->d_name;
        }
        closedir(dir);
    }
    for (const std::string& f : found)
        if (!f.empty()) return f;
    return {};
}

void TLocalScan::ReadPendingTitles() {
    if (pendingTitles_.empty()) return;
    std::vector<std::string> titles(pendingTitles_.size());
    std::atomic<size_t> next{0};
    auto work = [&] {
        for (size_t i = next++; i < pendingTitles_.size(); i = next++) {
            std::string bytes;
            try {
                if (ReadHead(pendingTitles_[i], bytes)) titles[i] = PageTitle(bytes);
            } catch (const std::exception&) {
                // The page keeps its file name.
            }
        }
    };
    unsigned helpers = std::min<unsigned>(std::max(1u, std::thread::hardware_concurrency()), 8) - 1;
    helpers = static_cast<unsigned>(std::min<size_t>(helpers, pendingTitles_.size() / 64));
    std::vector<std::thread> threads;
    for (unsigned t = 0; t < helpers; ++t)
        threads.emplace_back(work);
    work();
    for (std::thread& t : threads)
        t.join();

    std::unordered_map<std::string, std::string> byPath;
    for (size_t i = 0; i < pendingTitles_.size(); ++i)
        if (!titles[i].empty()) byPath.emplace(std::move(pendingTitles_[i]), std::move(titles[i]));
    pendingTitles_.clear();
    if (byPath.empty()) return;
    // By path, not by node: nothing here depends on the tree being unchanged since the walk.
    TTreeNodes& items = tree_.View().Items();
    for (int i = 0; i < items.Count(); ++i) {
        TTreeNode* node = items.Item(i);
        TDataRec* rec = TResultTree::Rec(node);
        if (rec == nullptr || rec->IsFolder) continue;
        auto it = byPath.find(rec->URL);
        if (it == byPath.end()) continue;
        rec->Text = it->second;
        node->SetText(it->second);
    }
}

std::string TLocalScan::LocalPageTitle(const std::string& Path) const {
    std::string name = ExtractFileName(Path);
    if (!tree_.Profile().UsePageTitles() || !IsFileTypeInList(Path, kPageTypes)) return name;
    std::string bytes;
    // An unreadable page keeps its file name.
    if (!ReadHead(Path, bytes)) return name;
    std::string title = PageTitle(bytes);
    return title.empty() ? name : title;
}

void TLocalScan::AddLocalNode(const std::string& Path, bool IsFolder, std::time_t Modified, bool Readable) {
    const TMapProfile& profile = tree_.Profile();
    // The record's defaults without the "now" stamp: every node gets its own date below.
    auto* rec = new TDataRec;
    rec->ChangeFreq = profile.DefFreq();
    rec->Priority = profile.DefPri();
    rec->URL = Path;
    rec->IsFolder = IsFolder;
    rec->Marked = false;
    TTreeNode* parent;
    int image;
    if (IsFolder) {
        std::string folder = IncludeBackslash(Path);
        rec->Text = tree_.View().Items().Count() == 0 ? std::string("Home") : FolderName(folder);
        rec->Folder = folder;
        std::string index = DefaultIndexFile(folder);
        // A folder without an index page is addressed as the folder itself.
        rec->Loc = LocalPathToUrl(index.empty() ? folder : index);
        // The folder's address is its index page, so the sitemap dates it by that page; only a
        // folder without one takes the time of the scan.
        std::time_t indexTime = 0;
        rec->LastMod = !index.empty() && FileAge(index, indexTime) ? W3CDateTimeOf(indexTime) : W3CDateTime(Now());
        parent = tree_.FindNodeByFolder(FolderAbove(folder));
        image = kFolderImage;
    } else {
        // Devices and pipes are never opened: reading one can block or have effects.
        if (!Readable) {
            rec->Text = ExtractFileName(Path);
        } else if (scanning_ && profile.UsePageTitles() && IsFileTypeInList(Path, kPageTypes)) {
            rec->Text = ExtractFileName(Path);
            pendingTitles_.push_back(Path);
        } else {
            rec->Text = LocalPageTitle(Path);
        }
        rec->Folder = ExtractFilePath(Path);
        rec->Loc = LocalPathToUrl(Path);
        std::time_t t = Modified;
        if (t < 0 && !FileAge(Path, t)) t = std::time(nullptr);
        rec->LastMod = W3CDateTimeOf(t);
        parent = tree_.FindNodeByFolder(rec->Folder);
        image = IsFileTypeInList(Path, kImageTypes) ? kImageFileImage : kPageImage;
    }
    tree_.AddNode(parent, rec, rec->Text, image);
    ++fileCount_;
}

void TLocalScan::ffSearchNewFolder(TObject*, const std::string& Folder, bool& IgnoreFolder) {
    if (Display.LookingIn) Display.LookingIn(Folder);
    if (ignoredFolders_.count(Folder) != 0) {
        if (Display.MemoLine) Display.MemoLine("Ignoring Folder: " + Folder);
        IgnoreFolder = true;
    } else {
        if (Display.MemoLine) Display.MemoLine("Scanning Folder: " + Folder);
        AddLocalNode(Folder, true);
    }
    ProcessMessages();
}

void TLocalScan::ffSearchFound(TObject*, const std::string& Folder, const TSearchRec& Entry) {
    std::string path = Folder + Entry.Name;
    if (Display.FileFound) Display.FileFound(path);
    const TMapProfile& profile = tree_.Profile();
    if (IsFileTypeInList(path, profile.FileTypes())) {
        if (Display.MemoLine) Display.MemoLine("  " + path);
        bool isOutput = !outputFile_.empty() && outputFile_ == path;
        if (!isOutput && ignoredFiles_.count(path) == 0) {
            AddLocalNode(path, false, Entry.Time, (Entry.Attr & faSysFile) == 0);
            if (Display.FileCount) Display.FileCount(fileCount_);
        }
    }
    ProcessMessages();
}

} // namespace results

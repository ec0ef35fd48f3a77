#include "app/results/local_scan.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <exception>
#include <memory>
#include <string_view>
#include <system_error>

#include "app/core/data_rec.h"
#include "app/core/lm_files.h"
#include "app/core/map_profile.h"
#include "app/core/w3c_date.h"
#include "app/core/work_pace.h"
#include "app/results/page_title.h"
#include "app/results/result_tree.h"
#include "app/results/site_url.h"
#include "platform/rtl/file_types.h"
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

// The head of a page is read in pieces of this size.
constexpr size_t kTitleChunk = 16384;

// The bytes read so far: the first piece in place, more on the heap only for a title far down.
struct HeadBuffer {
    char first[kTitleChunk];
    std::unique_ptr<char[]> more;
    char* data = first;
    size_t capacity = kTitleChunk;
    size_t size = 0;
    void Reserve(size_t wanted) {
        if (wanted <= capacity) return;
        size_t grown = std::max(wanted, capacity * 2);
        auto bigger = std::make_unique_for_overwrite<char[]>(grown);
        std::memcpy(bigger.get(), data, size);
        more = std::move(bigger);
        data = more.get();
        capacity = grown;
    }
    std::string_view View() const { return {data, size}; }
};

// The open file's bytes up to its first "</title>" (letter case ignored), or up to the read limit:
// the title cannot depend on what follows. False when the file cannot be read.
bool ReadHead(int fd, HeadBuffer& head) {
    head.size = 0;
    while (head.size < kTitleReadLimit) {
        size_t at = head.size;
        head.Reserve(at + kTitleChunk);
        ssize_t n = read(fd, head.data + at, kTitleChunk);
        if (n < 0) return errno == EAGAIN;
        head.size = at + static_cast<size_t>(n);
        // A regular file reads short only at its end.
        if (static_cast<size_t>(n) < kTitleChunk) break;
        // Search from a little before the new bytes, so a tag split between two reads is found.
        size_t from = at >= 8 ? at - 8 : 0;
        if (ContainsNoCase(head.View().substr(from), "</title>")) break;
    }
    return true;
}

// The title of the open page; empty when it has none or cannot be read.
std::string TitleOf(int fd) {
    HeadBuffer head;
    try {
        if (ReadHead(fd, head)) return PageTitle(head.View());
    } catch (const std::exception&) {
        // The page keeps its file name.
    }
    return {};
}

// The name after the last "/".
std::string_view NameOf(std::string_view path) {
    size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

bool IsPage(std::string_view path) {
    return IsFileTypeInList(path, kPageTypes);
}

std::string FolderAbove(const std::string& folder) {
    std::string f = folder;
    if (!f.empty() && f.back() == '/') f.pop_back();
    size_t slash = f.rfind('/');
    return slash == std::string::npos ? std::string() : f.substr(0, slash + 1);
}

// Without a copy: a folder thousands deep has a path of megabytes.
std::string_view FolderName(std::string_view folder) {
    if (!folder.empty() && folder.back() == '/') folder.remove_suffix(1);
    return NameOf(folder);
}

} // namespace

// The titles of the pages, read by the finder's helpers as it lists their folders.
class TLocalScan::TitleSource : public TFileContentReader {
public:
    explicit TitleSource(const std::string& FileTypes) : fileTypes_(FileTypes) {}
    bool Wants(std::string_view Name) const override {
        return IsPage(Name) && IsFileTypeInList(Name, fileTypes_);
    }
    std::string Read(int Fd) const override { return TitleOf(Fd); }

private:
    const std::string& fileTypes_;
};

// W3CDateTimeOf, without asking the time zone for every file: the offset is asked once per hour of
// file times, and used for the whole hour only when it holds through it.
class TLocalScan::DateText {
public:
    const std::string& Of(std::time_t instant) {
        if (instant == last_ && !text_.empty()) return text_;
        last_ = instant;
        if (!Compose(instant)) text_ = W3CDateTimeOf(instant);
        return text_;
    }

private:
    struct Civil {
        long long year;
        int month, day, hour, minute, second;
    };

    static Civil CivilOf(long long local) {
        long long days = local >= 0 ? local / 86400 : (local - 86399) / 86400;
        long long secs = local - days * 86400;
        // Days since 1970-01-01 to a proleptic Gregorian date.
        days += 719468;
        long long era = (days >= 0 ? days : days - 146096) / 146097;
        long long doe = days - era * 146097;
        long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
        long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
        long long mp = (5 * doy + 2) / 153;
        Civil c{};
        c.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
        c.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
        c.year = yoe + era * 400 + (c.month <= 2 ? 1 : 0);
        c.hour = static_cast<int>(secs / 3600);
        c.minute = static_cast<int>(secs / 60 % 60);
        c.second = static_cast<int>(secs % 60);
        return c;
    }

    // The offset from the hour's cache; false when the hour holds a change of offset, or when the
    // time zone counts leap seconds, so that plain arithmetic would not give its wall clock.
    bool Offset(std::time_t instant, long& offset) {
        std::time_t hour = instant - ((instant % 3600) + 3600) % 3600;
        if (hour != hour_ || !known_) {
            hour_ = hour;
            known_ = true;
            std::tm start{}, end{};
            std::time_t last = hour + 3599;
            steady_ = localtime_r(&hour, &start) != nullptr && localtime_r(&last, &end) != nullptr &&
                      start.tm_gmtoff == end.tm_gmtoff;
            if (steady_) {
                Civil c = CivilOf(static_cast<long long>(hour) + start.tm_gmtoff);
                steady_ = c.year == start.tm_year + 1900LL && c.month == start.tm_mon + 1 &&
                          c.day == start.tm_mday && c.hour == start.tm_hour && c.minute == start.tm_min &&
                          c.second == start.tm_sec;
            }
            offset_ = start.tm_gmtoff;
        }
        offset = offset_;
        return steady_;
    }

    static char* Digits(char* at, long long value, int width) {
        for (int i = width - 1; i >= 0; --i, value /= 10)
            at[i] = static_cast<char>('0' + value % 10);
        return at + width;
    }

    bool Compose(std::time_t instant) {
        long offset = 0;
        if (!Offset(instant, offset)) return false;
        Civil c = CivilOf(static_cast<long long>(instant) + offset);
        if (c.year < 1000 || c.year > 9999) return false;
        char buf[32];
        char* p = Digits(buf, c.year, 4);
        *p++ = '-';
        p = Digits(p, c.month, 2);
        *p++ = '-';
        p = Digits(p, c.day, 2);
        *p++ = 'T';
        p = Digits(p, c.hour, 2);
        *p++ = ':';
        p = Digits(p, c.minute, 2);
        *p++ = ':';
        p = Digits(p, c.second, 2);
        // Whole minutes, cut toward zero as the zone's offset is everywhere else.
        long minutes = offset / 60;
        *p++ = minutes < 0 ? '-' : '+';
        long magnitude = minutes < 0 ? -minutes : minutes;
        p = Digits(p, magnitude / 60, 2);
        *p++ = ':';
        p = Digits(p, magnitude % 60, 2);
        text_.assign(buf, p);
        return true;
    }

    std::time_t last_ = 0;
    std::string text_;
    std::time_t hour_ = 0;
    bool known_ = false;
    bool steady_ = false;
    long offset_ = 0;
};

TLocalScan::TLocalScan(TResultTree& Tree, const TStringList& IgnoreFolderList,
                       const TStringList& IgnoreFileList)
    : tree_(Tree), ignoreFolderList_(IgnoreFolderList), ignoreFileList_(IgnoreFileList) {
    finder_.OnNewFolder = [this](TObject* s, const std::string& f, bool& ignore) {
        ffSearchNewFolder(s, f, ignore);
    };
    finder_.OnFound = [this](TObject* s, const std::string& f, const TSearchRec& e) {
        ffSearchFound(s, f, e);
    };
    finder_.OnWaiting = [this] { ServeDisplay(false); };
    finder_.OnUnreadableFolder = [this](TObject*, const std::string& f, int error) {
        if (Display.FolderUnreadable) Display.FolderUnreadable(f, std::generic_category().message(error));
    };
}

TLocalScan::~TLocalScan() = default;

void TLocalScan::ServeDisplay(bool Now) {
    // Outside a run (a node added by hand) there is nothing to serve.
    if (!scanning_ || (!Now && !pace_->Due())) return;
    if (Display.LookingIn) Display.LookingIn(lookingIn_);
    if (Display.FileFound) Display.FileFound(fileFound_);
    if (Display.FileCount) Display.FileCount(fileCount_);
    if (Now)
        pace_->TurnNow();
    else
        pace_->Turn();
}

void TLocalScan::Run(const std::string& Folder) {
    struct Finish {
        TLocalScan& scan;
        ~Finish() {
            scan.finder_.SetContentReader(nullptr);
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
    folder_ = TSharedText();
    folderUrl_ = TSharedText();
    folderNode_ = nullptr;
    levels_.clear();
    pace_ = Display.Pace;
    if (pace_ == nullptr) {
        ownPace_ = std::make_unique<TWorkPace>(Display.ProcessMessages);
        pace_ = ownPace_.get();
    }
    pace_->Restart();
    // The time zone may have changed since the last scan.
    dates_ = std::make_unique<DateText>();
    // The pages' titles are read as their folders are listed.
    scanTypes_ = tree_.Profile().FileTypes();
    TitleSource titles(scanTypes_);
    if (profile.UsePageTitles()) finder_.SetContentReader(&titles);
    // The tree is not on show while it is filled; drawing it once at the end spares a redraw per node.
    TTreeNodes& items = tree_.View().Items();
    items.BeginUpdate();
    struct Update {
        TTreeNodes& items;
        ~Update() { items.EndUpdate(); }
    } update{items};
    finder_.Execute();
    ServeDisplay(true);
    tree_.RemoveEmptyFolders();
}

std::string TLocalScan::LocalPathToUrl(const std::string& Path) const {
    const TMapProfile& profile = tree_.Profile();
    if (Path.empty()) return profile.Website();
    std::string relative = Path.compare(0, root_.size(), root_) == 0 ? Path.substr(root_.size()) : Path;
    // A site address that names a page ("http://host/index.html") would put every file below that page.
    return SiteUrl(SiteFolder(profile.Website(), ExtractFileName(profile.IndexPage())), relative);
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

std::string TLocalScan::LocalPageTitle(const std::string& Path) const {
    std::string name = ExtractFileName(Path);
    if (!tree_.Profile().UsePageTitles() || !IsPage(Path)) return name;
    // Non-blocking, so a pipe that carries a page's name cannot stall the scan.
    Fd f{open(Path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)};
    if (f.fd < 0) return name;
    std::string title = TitleOf(f.fd);
    return title.empty() ? name : title;
}

void TLocalScan::AddLocalNode(const std::string& Path, bool IsFolder, std::time_t Modified, bool Readable) {
    if (IsFolder)
        AddFolderNode(Path, nullptr);
    else
        AddFileNode(Path, Modified, Readable, nullptr);
}

TTreeNode* TLocalScan::EnterFolder(const std::string& Folder, TSharedText& Path, TSharedText& Address) {
    // The walk goes depth first: the folders above this one that are still on its way down are those
    // this one begins with.
    while (!levels_.empty() && !(Folder.size() > levels_.back().Folder.size() &&
                                 std::string_view(Folder).starts_with(levels_.back().Folder.View())))
        levels_.pop_back();
    const std::string_view name =
        levels_.empty() ? std::string_view() : std::string_view(Folder).substr(levels_.back().Folder.size());
    if (name.empty() || name.find('/') != name.size() - 1) {
        // The top of the walk, or a folder not reported by it.
        levels_.clear();
        Path = TSharedText::Joined({}, Folder);
        Address = TSharedText::Joined({}, LocalPathToUrl(Folder));
        return tree_.FindNodeByFolder(FolderAbove(Folder));
    }
    Level& up = levels_.back();
    // Each folder's path and address go on from its parent's, in the same allocation while the walk goes
    // down: a deep chain keeps its deepest path once instead of once a level.
    Path = TSharedText::Joined(up.Folder, name);
    std::string segment = EncodePathSegment(name.substr(0, name.size() - 1));
    segment += '/';
    Address = TSharedText::Joined(up.Address, segment);
    if (up.Deletions != tree_.Deletions()) {
        up.Node = tree_.FindNodeByFolder(up.Folder);
        up.Deletions = tree_.Deletions();
    }
    return up.Node;
}

void TLocalScan::AddFolderNode(const std::string& Path, const std::vector<TFolderEntry>* Entries) {
    const TMapProfile& profile = tree_.Profile();
    // The record's defaults without the "now" stamp: every node gets its own date below.
    auto* rec = new TDataRec;
    rec->ChangeFreq = profile.DefFreq();
    rec->Priority = profile.DefPri();
    rec->IsFolder = true;
    rec->Marked = false;
    // The walk names every folder with its "/": its path and its folder are one text.
    const bool named = !Path.empty() && Path.back() == PathDelim;
    const std::string folder = named ? std::string() : IncludeBackslash(Path);
    const std::string& folderPath = named ? Path : folder;
    rec->Text = tree_.View().Items().Count() == 0 ? std::string_view("Home") : FolderName(folderPath);
    TSharedText shared, address;
    TTreeNode* parent = nullptr;
    if (scanning_ && named) {
        parent = EnterFolder(Path, shared, address);
        rec->URL = shared;
        rec->Folder = shared;
    } else {
        rec->URL = Path;
        rec->Folder = folderPath;
        parent = tree_.FindNodeByFolder(FolderAbove(folderPath));
    }
    std::string_view indexName;
    std::time_t indexTime = 0;
    bool dated = false;
    if (Entries != nullptr) {
        // The walk has read the folder already: the same choice as DefaultIndexFile, from its entries.
        const TFolderEntry* best = nullptr;
        size_t bestRank = 2 * std::size(kIndexNames);
        for (const TFolderEntry& e : *Entries) {
            if ((e.Attr & (faDirectory | faSysFile)) != 0) continue;
            for (size_t i = 0; i < std::size(kIndexNames) && i < bestRank; ++i) {
                std::string_view name = kIndexNames[i];
                if (e.Name.size() != name.size()) continue;
                size_t rank = e.Name == name           ? i
                              : SameText(e.Name, name) ? i + std::size(kIndexNames)
                                                       : bestRank;
                if (rank < bestRank) {
                    best = &e;
                    bestRank = rank;
                }
            }
        }
        if (best != nullptr) {
            indexName = best->Name;
            indexTime = best->Time;
            dated = true;
        }
    }
    std::string index;
    if (Entries == nullptr) {
        index = DefaultIndexFile(folderPath);
        indexName = NameOf(index);
        dated = !index.empty() && FileAge(index, indexTime);
    }
    // A folder without an index page is addressed as the folder itself.
    if (indexName.empty())
        rec->Loc = address.empty() ? TSharedText(LocalPathToUrl(folderPath)) : address;
    else if (!address.empty())
        rec->Loc = std::string(address.View()) + EncodePathSegment(indexName);
    else
        rec->Loc = LocalPathToUrl(folderPath + std::string(indexName));
    // The folder's address is its index page, so the sitemap dates it by that page; only a folder
    // without one takes the time of the scan.
    if (scanning_)
        rec->LastMod = dates_->Of(dated ? indexTime : std::time(nullptr));
    else
        rec->LastMod = dated ? W3CDateTimeOf(indexTime) : W3CDateTime(Now());
    TTreeNode* node = tree_.AddNode(parent, rec, rec->Text, kFolderImage);
    if (!shared.empty()) levels_.push_back({shared, address, node, tree_.Deletions()});
    ++fileCount_;
}

void TLocalScan::AddFileNode(std::string Path, std::time_t Modified, bool Readable, std::string* Title) {
    const TMapProfile& profile = tree_.Profile();
    auto* rec = new TDataRec;
    rec->ChangeFreq = profile.DefFreq();
    rec->Priority = profile.DefPri();
    rec->URL = Path;
    rec->IsFolder = false;
    rec->Marked = false;
    const std::string& path = Path;
    std::string_view name = NameOf(path);
    // Devices and pipes are never opened: reading one can block or have effects.
    if (!Readable)
        rec->Text = name;
    else if (Title != nullptr && profile.UsePageTitles() && IsPage(path))
        rec->Text = Title->empty() ? std::string(name) : std::move(*Title);
    else
        rec->Text = LocalPageTitle(path);
    const size_t slash = path.rfind(PathDelim);
    const std::string_view folder =
        slash == std::string::npos ? std::string_view() : std::string_view(path).substr(0, slash + 1);
    TTreeNode* parent;
    if (scanning_ && !folder.empty()) {
        // The files of a folder come together: its node and address are looked up once, and their
        // records hold one text of it.
        if (folder != folder_.View()) {
            // The folder the walk is in has its path and address made already.
            if (!levels_.empty() && folder == levels_.back().Folder.View()) {
                folder_ = levels_.back().Folder;
                folderUrl_ = levels_.back().Address;
            } else {
                folder_ = folder;
                folderUrl_ = LocalPathToUrl(std::string(folder));
            }
            folderNode_ = nullptr;
        }
        rec->Folder = folder_;
        if (folderNode_ == nullptr || folderDeletions_ != tree_.Deletions()) {
            folderNode_ = tree_.FindNodeByFolder(folder_);
            folderDeletions_ = tree_.Deletions();
        }
        parent = folderNode_;
        const std::string segment = EncodePathSegment(name);
        std::string loc;
        loc.reserve(folderUrl_.size() + segment.size());
        loc = folderUrl_.View();
        loc += segment;
        rec->Loc = loc;
    } else {
        rec->Folder = folder;
        parent = tree_.FindNodeByFolder(folder);
        rec->Loc = LocalPathToUrl(path);
    }
    std::time_t t = Modified;
    if (t < 0 && !FileAge(path, t)) t = std::time(nullptr);
    rec->LastMod = scanning_ ? dates_->Of(t) : W3CDateTimeOf(t);
    int image = IsFileTypeInList(path, kImageTypes) ? kImageFileImage : kPageImage;
    tree_.AddNode(parent, rec, rec->Text, image);
    ++fileCount_;
}

void TLocalScan::ffSearchNewFolder(TObject*, const std::string& Folder, bool& IgnoreFolder) {
    if (Display.LookingIn) lookingIn_ = Folder;
    if (!ignoredFolders_.empty() && ignoredFolders_.count(Folder) != 0) {
        if (Display.MemoLine) Display.MemoLine("Ignoring Folder: " + Folder);
        IgnoreFolder = true;
    } else {
        if (Display.MemoLine) Display.MemoLine("Scanning Folder: " + Folder);
        AddFolderNode(Folder, finder_.CurrentEntries());
    }
    ServeDisplay(false);
}

void TLocalScan::ffSearchFound(TObject*, const std::string& Folder, const TSearchRec& Entry) {
    std::string path;
    path.reserve(Folder.size() + Entry.Name.size());
    path += Folder;
    path += Entry.Name;
    if (Display.FileFound) fileFound_ = path;
    // The profile's types do not change while it scans.
    if (IsFileTypeInList(path, scanning_ ? scanTypes_ : tree_.Profile().FileTypes())) {
        if (Display.MemoLine) Display.MemoLine("  " + path);
        bool isOutput = !outputFile_.empty() && outputFile_ == path;
        if (!isOutput && ignoredFiles_.count(path) == 0) {
            TFolderEntry* entry = finder_.CurrentEntry();
            AddFileNode(std::move(path), Entry.Time, (Entry.Attr & faSysFile) == 0,
                        entry != nullptr && entry->ContentRead ? &entry->Content : nullptr);
        }
    }
    ServeDisplay(false);
}

} // namespace results

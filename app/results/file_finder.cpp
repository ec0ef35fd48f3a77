#include "app/results/file_finder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "platform/rtl/format.h"

namespace {

struct DirCloser {
    void operator()(DIR* d) const { closedir(d); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

// A folder as the file system knows it, whatever path led to it.
using FolderId = std::pair<uint64_t, uint64_t>;
struct FolderIdHash {
    size_t operator()(const FolderId& id) const {
        return std::hash<uint64_t>()(id.second * 0x9E3779B97F4A7C15ull ^ id.first);
    }
};
// The place of a folder in the walk: the indexes of the entries that lead to it from the top, so
// that comparing two keys tells which folder the walk reaches first.
using WalkKey = std::vector<uint32_t>;

// An open folder that the folders below it are opened from.
struct Anchor {
    explicit Anchor(int descriptor) : fd(descriptor) {}
    ~Anchor() { close(fd); }
    Anchor(const Anchor&) = delete;
    Anchor& operator=(const Anchor&) = delete;
    const int fd;
};

// How a folder is opened: its path relative to an open folder above it, or the whole path for the top.
// A folder is never opened by a path longer than the system takes: one whose relative path has grown
// past kAnchorAfter is kept open while the folders below it wait to be read, and they go from there. So
// depth is no limit, and the open folders are one for every couple of kilobytes of the path walked, not
// one a level nor one a subfolder.
struct FolderRef {
    std::shared_ptr<const Anchor> anchor;
    std::string relative;
};
constexpr size_t kAnchorAfter = 2048;

struct Listing {
    bool Readable = false;
    // Why the folder, or the status of its entries, could not be read; 0 when it was read whole.
    int Error = 0;
    std::vector<TFolderEntry> Entries;
    // The folder itself, open, when its subfolders are to be opened from it.
    std::shared_ptr<const Anchor> Self;
};

int OpenFolder(const FolderRef& ref) {
    return openat(ref.anchor ? ref.anchor->fd : AT_FDCWD, ref.relative.empty() ? "." : ref.relative.c_str(),
                  O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

FolderRef SubfolderOf(const FolderRef& parent, const Listing& listing, const std::string& name) {
    if (listing.Self) return {listing.Self, name + "/"};
    return {parent.anchor, parent.relative + name + "/"};
}

// Folders read ahead and not yet taken by the walk; beyond it the helpers wait.
constexpr size_t kReadAhead = 64;

int AttrOf(const struct stat& st) {
    int attr = 0;
    if (S_ISDIR(st.st_mode))
        attr |= faDirectory;
    else if (!S_ISREG(st.st_mode))
        attr |= faSysFile;
    if ((st.st_mode & S_IWUSR) == 0) attr |= faReadOnly;
    return attr;
}

void SetStatus(TFolderEntry& entry, const struct stat& st) {
    entry.Attr = AttrOf(st);
    entry.Size = static_cast<int64_t>(st.st_size);
    entry.Time = st.st_mtime;
    entry.Device = st.st_dev;
    entry.Inode = st.st_ino;
}

// Hands the entry, when it can be opened, to the reader. With no status known yet, the status is
// taken from the open file (and false returned when there is none); with one, the file is read only
// when that says it is a regular file.
bool ReadContent(int folder, TFolderEntry& entry, const TFileContentReader& reader,
                 const struct stat* known) {
    // Non-blocking, so that a pipe put in the file's place cannot stall the helper.
    int fd = openat(folder, entry.Name.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        // An unreadable file keeps no content; it is not tried again.
        entry.ContentRead = true;
        return false;
    }
    struct stat st {};
    bool ok = known != nullptr || fstat(fd, &st) == 0;
    if (ok && known == nullptr) SetStatus(entry, st);
    if (ok && S_ISREG(known != nullptr ? known->st_mode : st.st_mode)) {
        try {
            entry.Content = reader.Read(fd);
        } catch (...) {
            entry.Content.clear();
        }
        entry.ContentRead = true;
    }
    close(fd);
    return ok;
}

// The folder's visible names in byte order, each with its status read relative to the open folder,
// so no path is looked up from the top again. A file the reader wants is opened straight away when
// the listing says it is a regular file, and its status taken from the open file: one lookup for
// both. Cancel cuts the reading short.
Listing ReadFolder(const FolderRef& folder, const TFileContentReader* reader,
                   const std::atomic<bool>& cancel) {
    Listing listing;
    int fd = OpenFolder(folder);
    // An unreadable folder lists nothing.
    if (fd < 0) {
        listing.Error = errno;
        return listing;
    }
    if (folder.relative.size() >= kAnchorAfter) {
        const int self = fcntl(fd, F_DUPFD_CLOEXEC, 0);
        if (self >= 0) listing.Self = std::make_shared<const Anchor>(self);
    }
    DirHandle dir(fdopendir(fd));
    if (!dir) {
        listing.Error = errno;
        close(fd);
        return listing;
    }
    listing.Readable = true;
    std::vector<std::pair<std::string, unsigned char>> names;
    for (;;) {
        errno = 0;
        dirent* e = readdir(dir.get());
        if (e == nullptr) {
            listing.Error = errno;
            break;
        }
        if (e->d_name[0] != '.') names.emplace_back(e->d_name, e->d_type);
    }
    std::sort(names.begin(), names.end());
    listing.Entries.reserve(names.size());
    for (auto& [name, type] : names) {
        if (cancel.load(std::memory_order_relaxed)) break;
        TFolderEntry& entry = listing.Entries.emplace_back();
        entry.Name = std::move(name);
        bool wanted = reader != nullptr && reader->Wants(entry.Name);
        if (wanted && type == DT_REG && ReadContent(fd, entry, *reader, nullptr)) continue;
        struct stat st {};
        // The target decides: a link to a file is a file, a dangling link is nothing.
        if (fstatat(fd, entry.Name.c_str(), &st, 0) != 0) {
            // A folder that may be listed but not searched shows its names and nothing of what they are.
            if (errno == EACCES && fstatat(fd, entry.Name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
                listing.Error = errno;
            listing.Entries.pop_back();
            continue;
        }
        SetStatus(entry, st);
        if (wanted && S_ISREG(st.st_mode) && !entry.ContentRead) ReadContent(fd, entry, *reader, &st);
    }
    return listing;
}

// Helper threads that read folders ahead of the walk, the one it will reach first first. The
// subfolders of a folder read ahead are queued in turn, so the helpers keep ahead from one branch
// of the tree to the next and not only within the folder the walk is in.
class FolderReader {
public:
    FolderReader(unsigned threads, const TFileContentReader* reader) : reader_(reader) {
        for (unsigned t = 0; t < threads; ++t)
            threads_.emplace_back([this] { Work(); });
    }
    ~FolderReader() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        cancel_ = true;
        wake_.notify_all();
        for (std::thread& t : threads_)
            t.join();
    }
    FolderReader(const FolderReader&) = delete;
    FolderReader& operator=(const FolderReader&) = delete;

    // Asks for the folder at Key in the walk to be read ahead.
    void Request(const FolderId& id, const WalkKey& key, const FolderRef& folder) {
        if (threads_.empty()) return;
        std::lock_guard<std::mutex> lock(mutex_);
        if (Queue(id, key, folder)) wake_.notify_one();
    }

    // The folder's listing: as read ahead, once a helper has finished it, or read here when no helper
    // has started on it.
    Listing Take(const FolderId& id, const FolderRef& folder, const std::function<void()>& waiting) {
        std::unique_lock<std::mutex> lock(mutex_);
        taken_.insert(id);
        auto it = slots_.find(id);
        if (it != slots_.end() && it->second.state == State::Reading) {
            uint64_t serial = it->second.serial;
            auto read = [&] {
                it = slots_.find(id);
                return it == slots_.end() || it->second.serial != serial ||
                       it->second.state != State::Reading;
            };
            // A slow disk must not freeze whoever waits on the walk; with nobody to serve the walk sleeps
            // until the helper has read the folder.
            if (!waiting) done_.wait(lock, read);
            while (!done_.wait_for(lock, std::chrono::milliseconds(5), read)) {
                lock.unlock();
                waiting();
                lock.lock();
            }
        }
        if (it == slots_.end() || it->second.state == State::Queued) {
            if (it != slots_.end()) Drop(it);
            lock.unlock();
            return ReadFolder(folder, reader_, cancel_);
        }
        Listing listing = std::move(it->second.listing);
        // Only helpers held back by the read-ahead limit wait for room.
        bool full = ahead_ >= kReadAhead;
        Drop(it);
        lock.unlock();
        if (full) wake_.notify_one();
        return listing;
    }

    // The walk does not go into the folder at Key (it was ignored): neither it nor anything below it
    // is wanted.
    void Forget(const FolderId& id, const WalkKey& key) {
        std::lock_guard<std::mutex> lock(mutex_);
        taken_.insert(id);
        auto it = slots_.find(id);
        if (it != slots_.end()) DropBelow(WalkKey(it->second.key));
        DropBelow(key);
        wake_.notify_all();
    }

private:
    enum class State { Queued, Reading, Ready };
    struct Slot {
        State state = State::Queued;
        WalkKey key;
        FolderRef folder;
        uint64_t serial = 0;
        Listing listing;
    };
    using SlotIt = std::unordered_map<FolderId, Slot, FolderIdHash>::iterator;

    // Queues a folder neither taken nor known; a known one still queued moves to an earlier key.
    bool Queue(const FolderId& id, const WalkKey& key, const FolderRef& folder) {
        if (taken_.count(id) != 0 || byKey_.count(key) != 0) return false;
        auto [it, added] = slots_.try_emplace(id);
        Slot& slot = it->second;
        if (added) {
            slot.folder = folder;
            slot.serial = ++serial_;
        } else if (slot.state != State::Queued || !(key < slot.key)) {
            return false;
        } else {
            queue_.erase(slot.key);
            byKey_.erase(slot.key);
        }
        slot.key = key;
        queue_.emplace(key, id);
        byKey_.emplace(key, id);
        return true;
    }

    void Drop(SlotIt it) {
        Slot& slot = it->second;
        if (slot.state == State::Queued) queue_.erase(slot.key);
        // A folder being read is let go when its helper finds it gone.
        if (slot.state == State::Ready) --ahead_;
        byKey_.erase(slot.key);
        slots_.erase(it);
    }

    // Drops the folder at Key and every folder known below it.
    void DropBelow(const WalkKey& key) {
        auto at = byKey_.lower_bound(key);
        while (at != byKey_.end() && at->first.size() >= key.size() &&
               std::equal(key.begin(), key.end(), at->first.begin())) {
            auto next = std::next(at);
            Drop(slots_.find(at->second));
            at = next;
        }
    }

    void Work() {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            wake_.wait(lock, [this] { return stopping_ || (!queue_.empty() && ahead_ < kReadAhead); });
            if (stopping_) return;
            FolderId id = queue_.begin()->second;
            queue_.erase(queue_.begin());
            Slot& slot = slots_.at(id);
            slot.state = State::Reading;
            uint64_t serial = slot.serial;
            const FolderRef folder = slot.folder;
            ++ahead_;
            lock.unlock();
            Listing listing = ReadFolder(folder, reader_, cancel_);
            lock.lock();
            auto it = slots_.find(id);
            if (it == slots_.end() || it->second.serial != serial) {
                --ahead_;
                continue;
            }
            Slot& done = it->second;
            done.listing = std::move(listing);
            done.state = State::Ready;
            WalkKey key = done.key;
            bool queued = false;
            for (size_t i = 0; i < done.listing.Entries.size(); ++i) {
                const TFolderEntry& e = done.listing.Entries[i];
                if ((e.Attr & faDirectory) == 0) continue;
                key.push_back(static_cast<uint32_t>(i));
                queued |= Queue({e.Device, e.Inode}, key, SubfolderOf(folder, done.listing, e.Name));
                key.pop_back();
            }
            if (queued) wake_.notify_all();
            done_.notify_all();
        }
    }

    const TFileContentReader* reader_;
    std::mutex mutex_;
    std::condition_variable wake_; // the helpers: work to do, room ahead, or the end
    std::condition_variable done_; // the walk: a folder has been read
    std::unordered_map<FolderId, Slot, FolderIdHash> slots_;
    std::map<WalkKey, FolderId> byKey_; // every slot
    std::map<WalkKey, FolderId> queue_; // the slots still queued
    std::unordered_set<FolderId, FolderIdHash> taken_;
    size_t ahead_ = 0; // being read, or read and not taken
    uint64_t serial_ = 0;
    bool stopping_ = false;
    std::atomic<bool> cancel_{false};
    std::vector<std::thread> threads_;
};

} // namespace

class TFolderWalk {
public:
    TFolderWalk(TLmFileFinder& finder, std::string pattern, int mask, bool normal, unsigned threads,
                const TFileContentReader* contentReader)
        : finder_(finder), pattern_(std::move(pattern)), matchAll_(pattern_ == "*.*"), mask_(mask),
          normal_(normal), reader_(threads, contentReader) {}

    void Run(const std::string& root) {
        FolderId id{0, 0};
        struct stat st {};
        if (stat(root.c_str(), &st) == 0) {
            id = {st.st_dev, st.st_ino};
            visited_.insert(id);
        }
        WalkKey key;
        path_ = root;
        Search(FolderRef{nullptr, root}, id, key);
    }

    const std::vector<TFolderEntry>* Current() {
        if (current_ == nullptr) return nullptr;
        const Listing& listing = Load(*current_);
        return listing.Readable ? &listing.Entries : nullptr;
    }
    TFolderEntry* CurrentEntry() const { return entry_; }

private:
    struct Frame {
        const FolderRef& folder;
        FolderId id;
        bool loaded = false;
        Listing listing;
    };

    const Listing& Load(Frame& frame) {
        if (!frame.loaded) {
            frame.listing = reader_.Take(frame.id, frame.folder, finder_.OnWaiting);
            frame.loaded = true;
        }
        return frame.listing;
    }

    // The folder at path_, which ends with its "/".
    void Search(const FolderRef& ref, const FolderId& id, WalkKey& key) {
        Frame frame{ref, id, false, {}};
        struct Enter {
            Frame*& current;
            Frame* outer;
            ~Enter() { current = outer; }
        } enter{current_, current_};
        current_ = &frame;
        if (finder_.OnNewFolder) {
            bool ignore = false;
            finder_.OnNewFolder(&finder_, path_, ignore);
            if (ignore) {
                reader_.Forget(id, key);
                return;
            }
        }
        const Listing& listing = Load(frame);
        if (listing.Error != 0 && finder_.OnUnreadableFolder)
            finder_.OnUnreadableFolder(&finder_, path_, listing.Error);
        if (!listing.Readable) return;
        struct Sub {
            std::string name;
            FolderRef ref;
            FolderId id;
            uint32_t index;
        };
        std::vector<Sub> subfolders;
        if (finder_.Subfolders()) {
            // Asked for before the files are reported, so the helpers read them meanwhile.
            for (size_t i = 0; i < listing.Entries.size(); ++i) {
                const TFolderEntry& e = listing.Entries[i];
                if ((e.Attr & faDirectory) == 0) continue;
                FolderId sub{e.Device, e.Inode};
                if (visited_.count(sub) != 0) continue;
                key.push_back(static_cast<uint32_t>(i));
                subfolders.push_back(
                    {e.Name, SubfolderOf(ref, listing, e.Name), sub, static_cast<uint32_t>(i)});
                reader_.Request(sub, key, subfolders.back().ref);
                key.pop_back();
            }
        }
        TSearchRec rec;
        for (TFolderEntry& e : frame.listing.Entries) {
            if (finder_.Stopped()) return;
            if (!matchAll_ && !MatchesMask(e.Name, pattern_)) continue;
            if ((e.Attr & mask_) == 0 && !(e.Attr == 0 && normal_)) continue;
            rec.Name = e.Name;
            rec.Attr = e.Attr;
            rec.Size = e.Size;
            rec.Time = e.Time;
            entry_ = &e;
            struct Leave {
                TFolderEntry*& entry;
                ~Leave() { entry = nullptr; }
            } leave{entry_};
            if (finder_.OnFound) finder_.OnFound(&finder_, path_, rec);
        }
        frame.listing.Entries = {};
        // One path for the whole walk, each folder's name put on it on the way down and taken off on the
        // way up: a path for every level would keep the square of a deep one's length.
        const size_t length = path_.size();
        struct Up {
            std::string& path;
            size_t length;
            ~Up() { path.resize(length); }
        } up{path_, length};
        for (const Sub& sub : subfolders) {
            if (finder_.Stopped()) return;
            if (!visited_.insert(sub.id).second) continue;
            key.push_back(sub.index);
            path_.resize(length);
            path_ += sub.name;
            path_ += '/';
            Search(sub.ref, sub.id, key);
            key.pop_back();
        }
    }

    TLmFileFinder& finder_;
    std::string pattern_;
    bool matchAll_;
    int mask_;
    bool normal_;
    std::unordered_set<FolderId, FolderIdHash> visited_;
    // The folder being searched.
    std::string path_;
    Frame* current_ = nullptr;
    TFolderEntry* entry_ = nullptr;
    FolderReader reader_;
};

void TLmFileFinder::SetFilename(const std::string& Value) {
    if (ExtractFileName(Value) != Value)
        throw EFindFileError(Format("%s\n\rInvalid filename specified", Value));
    filename_ = Value;
}

void TLmFileFinder::SetLocation(const std::string& Value) {
    if (Value.empty()) {
        location_.clear();
        return;
    }
    std::string expanded = ExpandFileName(Value);
    if (!DirectoryExists(expanded)) throw EFindFileError(Format("%s\n\rdirectory does not exists", expanded));
    while (expanded.size() > 1 && expanded.back() == '/')
        expanded.pop_back();
    location_ = expanded;
}

const std::vector<TFolderEntry>* TLmFileFinder::CurrentEntries() {
    return walk_ != nullptr ? walk_->Current() : nullptr;
}

TFolderEntry* TLmFileFinder::CurrentEntry() const {
    return walk_ != nullptr ? walk_->CurrentEntry() : nullptr;
}

void TLmFileFinder::Execute() {
    int mask = 0;
    if (attributes_.Contains(ffArchive)) mask |= faArchive;
    if (attributes_.Contains(ffReadonly)) mask |= faReadOnly;
    if (attributes_.Contains(ffHidden)) mask |= faHidden;
    if (attributes_.Contains(ffSystem)) mask |= faSysFile;
    if (attributes_.Contains(ffDirectory)) mask |= faDirectory;
    std::string root = ExpandFileName(location_.empty() ? std::string(".") : location_);
    if (root.empty() || root.back() != '/') root += '/';
    std::string pattern = filename_.empty()                          ? std::string("*.*")
                          : filename_.find('.') != std::string::npos ? filename_
                                                                     : filename_ + ".*";
    stopped_ = false;
    // A helper per core besides the walk's own: listing and reading status are system calls that
    // one thread cannot overlap.
    unsigned threads = subfolders_ ? std::min(std::max(2u, std::thread::hardware_concurrency()), 8u) - 1 : 0;
    threads_ = static_cast<int>(threads);
    TFolderWalk walk(*this, pattern, mask, attributes_.Contains(ffNormal), threads, contentReader_);
    struct Attach {
        TFolderWalk*& walk;
        ~Attach() { walk = nullptr; }
    } attach{walk_};
    walk_ = &walk;
    walk.Run(root);
}

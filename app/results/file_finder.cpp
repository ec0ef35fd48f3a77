#include "app/results/file_finder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <set>
#include <utility>
#include <vector>

#include "platform/rtl/format.h"

namespace {

struct DirCloser {
    void operator()(DIR* d) const { closedir(d); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

int AttrOf(const struct stat& st) {
    int attr = 0;
    if (S_ISDIR(st.st_mode))
        attr |= faDirectory;
    else if (!S_ISREG(st.st_mode))
        attr |= faSysFile;
    if ((st.st_mode & S_IWUSR) == 0) attr |= faReadOnly;
    return attr;
}

class Walker {
public:
    Walker(TLmFileFinder& finder, std::string pattern, int mask, bool normal)
        : finder_(finder), pattern_(std::move(pattern)), mask_(mask), normal_(normal) {}

    void Search(const std::string& folder) {
        if (finder_.OnNewFolder) {
            bool ignore = false;
            finder_.OnNewFolder(&finder_, folder, ignore);
            if (ignore) return;
        }
        DirHandle dir(opendir(folder.c_str()));
        // An unreadable folder lists nothing.
        if (!dir) return;
        std::vector<std::string> names;
        while (dirent* e = readdir(dir.get())) {
            if (e->d_name[0] != '.') names.emplace_back(e->d_name);
        }
        std::sort(names.begin(), names.end());
        int fd = dirfd(dir.get());
        std::vector<std::string> subfolders;
        TSearchRec rec;
        for (const std::string& name : names) {
            if (finder_.Stopped()) return;
            struct stat st {};
            // The target decides: a link to a file is a file, a dangling link is nothing.
            if (fstatat(fd, name.c_str(), &st, 0) != 0) continue;
            if (S_ISDIR(st.st_mode)) subfolders.push_back(name);
            if (!MatchesMask(name, pattern_)) continue;
            int attr = AttrOf(st);
            if ((attr & mask_) == 0 && !(attr == 0 && normal_)) continue;
            rec.Name = name;
            rec.Attr = attr;
            rec.Size = static_cast<int64_t>(st.st_size);
            rec.Time = st.st_mtime;
            if (finder_.OnFound) finder_.OnFound(&finder_, folder, rec);
        }
        dir.reset();
        if (!finder_.Subfolders()) return;
        for (const std::string& name : subfolders) {
            if (finder_.Stopped()) return;
            std::string path = folder + name + "/";
            struct stat st {};
            if (stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) continue;
            if (!visited_.insert({st.st_dev, st.st_ino}).second) continue;
            Search(path);
        }
    }

    void MarkVisited(const std::string& folder) {
        struct stat st {};
        if (stat(folder.c_str(), &st) == 0) visited_.insert({st.st_dev, st.st_ino});
    }

private:
    TLmFileFinder& finder_;
    std::string pattern_;
    int mask_;
    bool normal_;
    std::set<std::pair<dev_t, ino_t>> visited_;
};

} // namespace

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
    Walker walker(*this, pattern, mask, attributes_.Contains(ffNormal));
    walker.MarkVisited(root);
    walker.Search(root);
}

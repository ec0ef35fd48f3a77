#include "platform/rtl/files.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace rtl_detail {
struct FindState {
    std::vector<TSearchRec> matches; // FindHandle empty in each
    size_t next = 0;
};
void FindStateDeleter::operator()(FindState* state) const {
    delete state;
}
} // namespace rtl_detail

bool FileExists(const std::string& fileName) {
    struct stat st {};
    return !fileName.empty() && ::stat(fileName.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const std::string& dir) {
    struct stat st {};
    return !dir.empty() && ::stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool ForceDirectories(const std::string& dir) {
    const std::string path = ExcludeTrailingPathDelimiter(dir);
    if (path.empty()) return false;
    if (DirectoryExists(path)) return true;
    const std::string parent = ExtractFileDir(path);
    if (!parent.empty() && parent != path && !ForceDirectories(parent)) return false;
    return ::mkdir(path.c_str(), 0777) == 0 || (errno == EEXIST && DirectoryExists(path));
}

std::string ExtractFilePath(const std::string& fileName) {
    const size_t slash = fileName.rfind(PathDelim);
    return slash == std::string::npos ? std::string() : fileName.substr(0, slash + 1);
}

std::string ExtractFileDir(const std::string& fileName) {
    const size_t slash = fileName.rfind(PathDelim);
    if (slash == std::string::npos) return std::string();
    return slash == 0 ? std::string(1, PathDelim) : fileName.substr(0, slash);
}

std::string ExtractFileName(const std::string& fileName) {
    const size_t slash = fileName.rfind(PathDelim);
    return slash == std::string::npos ? fileName : fileName.substr(slash + 1);
}

namespace {
// Index of the extension's dot in fileName, or npos.
size_t ExtensionDot(const std::string& fileName) {
    const size_t dot = fileName.find_last_of(std::string(".") + PathDelim);
    return dot != std::string::npos && fileName[dot] == '.' ? dot : std::string::npos;
}
} // namespace

std::string ExtractFileExt(const std::string& fileName) {
    const size_t dot = ExtensionDot(fileName);
    return dot == std::string::npos ? std::string() : fileName.substr(dot);
}

std::string ChangeFileExt(const std::string& fileName, const std::string& extension) {
    const size_t dot = ExtensionDot(fileName);
    return (dot == std::string::npos ? fileName : fileName.substr(0, dot)) + extension;
}

std::string ExpandFileName(const std::string& fileName) {
    if (fileName.empty()) return std::string();
    std::string path = fileName;
    if (path[0] != PathDelim) {
        char cwd[PATH_MAX];
        std::string base = ::getcwd(cwd, sizeof cwd) != nullptr ? cwd : "/";
        path = IncludeTrailingPathDelimiter(base) + path;
    }
    const bool trailing = path.size() > 1 && path.back() == PathDelim;
    std::vector<std::string> parts;
    size_t i = 0;
    while (i < path.size()) {
        size_t j = path.find(PathDelim, i);
        if (j == std::string::npos) j = path.size();
        const std::string part = path.substr(i, j - i);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        i = j + 1;
    }
    std::string result;
    for (const std::string& part : parts)
        result += PathDelim + part;
    if (result.empty()) return std::string(1, PathDelim);
    if (trailing) result += PathDelim;
    return result;
}

std::string IncludeTrailingPathDelimiter(const std::string& path) {
    return !path.empty() && path.back() == PathDelim ? path : path + PathDelim;
}

std::string ExcludeTrailingPathDelimiter(const std::string& path) {
    if (path.size() > 1 && path.back() == PathDelim) return path.substr(0, path.size() - 1);
    return path;
}

bool DeleteFile(const std::string& fileName) {
    struct stat st {};
    if (::lstat(fileName.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
    return ::unlink(fileName.c_str()) == 0;
}

bool RenameFile(const std::string& oldName, const std::string& newName) {
    if (::renameat2(AT_FDCWD, oldName.c_str(), AT_FDCWD, newName.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // File systems without the no-replace flag: a check first is the best left to do.
    struct stat st {};
    if (::lstat(newName.c_str(), &st) == 0) return false;
    return ::rename(oldName.c_str(), newName.c_str()) == 0;
}

bool CopyFile(const std::string& existingName, const std::string& newName) {
    // Non-blocking so that a named pipe fails the check below instead of waiting for a writer.
    const int in = ::open(existingName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (in < 0) return false;
    struct stat st {};
    if (::fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(in);
        return false;
    }
    const int out = ::open(newName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, st.st_mode & 0777);
    if (out < 0) {
        ::close(in);
        return false;
    }
    bool ok = true;
    std::vector<char> buf(1 << 16);
    for (;;) {
        const ssize_t n = ::read(in, buf.data(), buf.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) ok = false;
        if (n <= 0) break;
        for (ssize_t done = 0; ok && done < n;) {
            const ssize_t k = ::write(out, buf.data() + done, static_cast<size_t>(n - done));
            if (k < 0 && errno == EINTR) continue;
            if (k <= 0)
                ok = false;
            else
                done += k;
        }
        if (!ok) break;
    }
    if (ok) {
        const timespec times[2] = {st.st_atim, st.st_mtim};
        ::futimens(out, times);
    }
    ::close(in);
    if (::close(out) != 0) ok = false;
    if (!ok) ::unlink(newName.c_str());
    return ok;
}

bool FileAge(const std::string& fileName, std::time_t& modified) {
    struct stat st {};
    if (::stat(fileName.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
    modified = st.st_mtime;
    return true;
}

bool MatchesMask(const std::string& name, const std::string& mask) {
    // Iterative wildcard match with one backtrack point: linear in practice, no recursion.
    const auto match = [](std::string_view s, std::string_view m) {
        size_t si = 0, mi = 0, starM = std::string::npos, starS = 0;
        while (si < s.size()) {
            if (mi < m.size() && (m[mi] == '?' || m[mi] == s[si])) {
                ++si;
                ++mi;
            } else if (mi < m.size() && m[mi] == '*') {
                starM = mi++;
                starS = si;
            } else if (starM != std::string::npos) {
                mi = starM + 1;
                si = ++starS;
            } else {
                return false;
            }
        }
        while (mi < m.size() && m[mi] == '*')
            ++mi;
        return mi == m.size();
    };
    if (match(name, mask)) return true;
    if (mask.size() >= 2 && mask.compare(mask.size() - 2, 2, ".*") == 0 &&
        name.find('.') == std::string::npos)
        return match(name, std::string_view(mask).substr(0, mask.size() - 2));
    return false;
}

int FindFirst(const std::string& path, int attr, TSearchRec& F) {
    FindClose(F);
    const size_t slash = path.rfind(PathDelim);
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const std::string mask = slash == std::string::npos ? path : path.substr(slash + 1);
    F.ExcludeAttr = ~attr & (faHidden | faSysFile | faVolumeID | faDirectory);

    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return errno != 0 ? errno : ENOENT;
    auto state =
        std::unique_ptr<rtl_detail::FindState, rtl_detail::FindStateDeleter>(new rtl_detail::FindState);
    const int dfd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == ".." || !MatchesMask(name, mask)) continue;
        struct stat lst {};
        if (::fstatat(dfd, entry->d_name, &lst, AT_SYMLINK_NOFOLLOW) != 0) continue;
        struct stat st = lst;
        int a = 0;
        if (S_ISLNK(lst.st_mode)) {
            a |= faSymLink;
            if (::fstatat(dfd, entry->d_name, &st, 0) != 0)
                st = lst; // a dangling link is listed as what it is
        }
        if (S_ISDIR(st.st_mode))
            a |= faDirectory;
        else if (!S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode))
            a |= faSysFile;
        if (name[0] == '.') a |= faHidden;
        if ((st.st_mode & S_IWUSR) == 0) a |= faReadOnly;
        if ((a & F.ExcludeAttr) != 0) continue;
        TSearchRec rec;
        rec.Name = name;
        rec.Attr = a;
        rec.Size = S_ISDIR(st.st_mode) ? 0 : static_cast<int64_t>(st.st_size);
        rec.Time = st.st_mtime;
        state->matches.push_back(std::move(rec));
    }
    ::closedir(dir);
    std::sort(state->matches.begin(), state->matches.end(),
              [](const TSearchRec& a, const TSearchRec& b) { return a.Name < b.Name; });
    F.FindHandle = std::move(state);
    const int rc = FindNext(F);
    if (rc != 0) FindClose(F);
    return rc;
}

int FindNext(TSearchRec& F) {
    rtl_detail::FindState* state = F.FindHandle.get();
    if (state == nullptr || state->next >= state->matches.size()) return ENOENT;
    const TSearchRec& rec = state->matches[state->next++];
    F.Name = rec.Name;
    F.Attr = rec.Attr;
    F.Size = rec.Size;
    F.Time = rec.Time;
    return 0;
}

void FindClose(TSearchRec& F) {
    F.FindHandle.reset();
}

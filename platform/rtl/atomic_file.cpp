#include "platform/rtl/atomic_file.h"

#include "platform/rtl/exception.h"
#include "platform/rtl/format.h"
#include "platform/rtl/regular_file.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string ContainingFolder(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The file that a write to path really replaces: the destination of a symbolic link. Empty for a link
// that leads nowhere: replaced by a file, it would cut off for good what it names (a drive not mounted
// just now, a folder moved away).
std::string ResolveTarget(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char buf[PATH_MAX];
    if (::realpath(path.c_str(), buf) != nullptr) return buf;
    return {};
}

// Temporaries are named "." + the target's name + "." + kRandomLength letters or digits + ".tmp".
constexpr std::string_view kAlphabet = "abcdefghijklmnopqrstuvwxyz0123456789";
constexpr size_t kRandomLength = 8;
constexpr std::string_view kTempExtension = ".tmp";

std::string RandomSuffix() {
    thread_local std::mt19937 engine{std::random_device{}()};
    std::uniform_int_distribution<size_t> pick(0, kAlphabet.size() - 1);
    std::string s;
    for (size_t i = 0; i < kRandomLength; ++i)
        s += kAlphabet[pick(engine)];
    return s;
}

bool IsTemporaryOf(std::string_view name, std::string_view base) {
    if (name.size() != 1 + base.size() + 1 + kRandomLength + kTempExtension.size()) return false;
    if (name[0] != '.' || name.substr(1, base.size()) != base || name[1 + base.size()] != '.') return false;
    const std::string_view random = name.substr(base.size() + 2, kRandomLength);
    return random.find_first_not_of(kAlphabet) == std::string_view::npos && name.ends_with(kTempExtension);
}

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Removes the temporaries of base in folder that killed writers left: named as ours, a regular file of
// this user, and not locked (a live writer holds the lock on its temporary until the rename).
void SweepStaleTemporaries(const std::string& folder, const std::string& base) {
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), &::closedir);
    if (!dir) return;
    const int dfd = ::dirfd(dir.get());
    while (const dirent* entry = ::readdir(dir.get())) {
        if (!IsTemporaryOf(entry->d_name, base)) continue;
        const int fd =
            ::openat(dfd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat opened {
        }, named{};
        if (::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) && opened.st_uid == ::geteuid() &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            ::fstatat(dfd, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0 && SameFile(opened, named))
            ::unlinkat(dfd, entry->d_name, 0);
        ::close(fd);
    }
}

// Locks the new temporary for its writer's lifetime. False when a sweep took the name between the
// create and the lock, so the writer starts over under a new name.
bool LockTemporary(int fd, const std::string& path) {
    while (::flock(fd, LOCK_EX) != 0)
        if (errno != EINTR) return false;
    struct stat opened {
    }, named{};
    return ::fstat(fd, &opened) == 0 && ::lstat(path.c_str(), &named) == 0 && SameFile(opened, named);
}

// True when path names a regular file whose bytes are exactly bytes.
bool HoldsExactly(const std::string& path, std::string_view bytes) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    bool same =
        ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && static_cast<size_t>(st.st_size) == bytes.size();
    char buf[16384];
    for (size_t at = 0; same && at < bytes.size();) {
        const ssize_t n = ::read(fd, buf, std::min(sizeof buf, bytes.size() - at));
        if (n < 0 && errno == EINTR) continue;
        same = n > 0 && bytes.compare(at, static_cast<size_t>(n), buf, static_cast<size_t>(n)) == 0;
        at += n > 0 ? static_cast<size_t>(n) : 0;
    }
    ::close(fd);
    return same;
}

void SyncFolder(const std::string& folder) {
    const int dfd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd); // best effort: the rename is already done
        ::close(dfd);
    }
}

} // namespace

TAtomicFileStream::TAtomicFileStream(const std::string& fileName, unsigned newFileMode)
    : fileName_(fileName), targetPath_(ResolveTarget(fileName)) {
    if (targetPath_.empty()) Fail(RegularFileProblem(fileName));
    struct stat existing {};
    const bool exists = ::stat(targetPath_.c_str(), &existing) == 0;
    // Only a regular file is replaced: a link to a device or a named pipe must not turn it into a file.
    if (exists && !S_ISREG(existing.st_mode)) Fail();
    const std::string folder = ContainingFolder(targetPath_);
    const size_t slash = targetPath_.rfind('/');
    const std::string base = slash == std::string::npos ? targetPath_ : targetPath_.substr(slash + 1);
    // What killed writers of this target left goes first, so that at most one temporary outlives a kill.
    SweepStaleTemporaries(folder, base);
    for (int attempt = 0; attempt < 16 && fd_ < 0; ++attempt) {
        tempPath_ =
            (folder == "/" ? "" : folder) + "/." + base + "." + RandomSuffix() + std::string(kTempExtension);
        // A new file gets newFileMode less the umask, the way any created file does.
        fd_ = ::open(tempPath_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC,
                     static_cast<mode_t>(exists ? 0600 : newFileMode));
        if (fd_ < 0 && errno != EEXIST) break;
        if (fd_ >= 0 && !LockTemporary(fd_, tempPath_)) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    if (fd_ < 0) {
        tempPath_.clear();
        Fail();
    }
    if (exists) {
        ::fchmod(fd_, existing.st_mode & 07777);
        if (::fchown(fd_, existing.st_uid, existing.st_gid) != 0) {
            // Only the owner's own group may be kept by an ordinary user: not worth failing a save.
        }
    }
}

TAtomicFileStream::~TAtomicFileStream() {
    Discard();
}

void TAtomicFileStream::Discard() {
    // Removed before the close gives up the lock.
    if (!committed_ && !tempPath_.empty()) {
        ::unlink(tempPath_.c_str());
        tempPath_.clear();
    }
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

void TAtomicFileStream::Fail(const std::string& reason) {
    failed_ = true;
    Discard();
    if (!reason.empty()) throw EFCreateError(Format(rtl_text::FCreateErrorBecause, fileName_, reason));
    throw EFCreateError(Format(rtl_text::FCreateError, fileName_));
}

int64_t TAtomicFileStream::Read(void* buffer, int64_t count) {
    if (fd_ < 0 || count <= 0) return 0;
    int64_t done = 0;
    auto* p = static_cast<char*>(buffer);
    while (done < count) {
        const ssize_t n = ::read(fd_, p + done, static_cast<size_t>(count - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += n;
    }
    return done;
}

int64_t TAtomicFileStream::Write(const void* buffer, int64_t count) {
    if (fd_ < 0 || count <= 0) return 0;
    int64_t done = 0;
    auto* p = static_cast<const char*>(buffer);
    while (done < count) {
        const ssize_t n = ::write(fd_, p + done, static_cast<size_t>(count - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            failed_ = true; // a short write must never be committed
            break;
        }
        done += n;
    }
    return done;
}

int64_t TAtomicFileStream::Seek(int64_t offset, TSeekOrigin origin) {
    if (fd_ < 0) return -1;
    const int whence = origin == soBeginning ? SEEK_SET : origin == soCurrent ? SEEK_CUR : SEEK_END;
    const off_t r = ::lseek(fd_, static_cast<off_t>(offset), whence);
    return r < 0 ? -1 : static_cast<int64_t>(r);
}

void TAtomicFileStream::SetSize(int64_t size) {
    if (fd_ < 0 || ::ftruncate(fd_, static_cast<off_t>(size)) != 0)
        throw EStreamError("Stream size cannot be changed");
    if (Position() > size) SetPosition(size);
}

void TAtomicFileStream::SetMode(unsigned mode) {
    if (fd_ < 0 || ::fchmod(fd_, static_cast<mode_t>(mode & 07777)) != 0) Fail();
}

void TAtomicFileStream::Sync() {
    if (fd_ < 0 || failed_ || ::fsync(fd_) != 0) Fail();
}

void TAtomicFileStream::Commit() {
    if (committed_) return;
    if (fd_ < 0 || failed_ || ::fsync(fd_) != 0) Fail();
    // Renamed while still open and locked, so that no sweep can take the temporary first.
    if (::rename(tempPath_.c_str(), targetPath_.c_str()) != 0) Fail();
    tempPath_.clear();
    committed_ = true;
    // The bytes are on disk already (fsync above); the target is replaced whatever close says.
    ::close(fd_);
    fd_ = -1;
    SyncFolder(ContainingFolder(targetPath_));
}

void WriteFileAtomically(const std::string& fileName, std::string_view bytes, unsigned newFileMode) {
    TAtomicFileStream file(fileName, newFileMode);
    // A short write marks the stream failed, so Commit raises.
    if (!bytes.empty()) file.Write(bytes.data(), static_cast<int64_t>(bytes.size()));
    file.Commit();
}

bool WriteFileAtomicallyIfChanged(const std::string& fileName, std::string_view bytes, unsigned newFileMode) {
    if (HoldsExactly(fileName, bytes)) return false;
    WriteFileAtomically(fileName, bytes, newFileMode);
    return true;
}

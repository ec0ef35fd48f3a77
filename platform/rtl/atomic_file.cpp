#include "platform/rtl/atomic_file.h"

#include "platform/rtl/exception.h"
#include "platform/rtl/format.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string folderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The file that a write to path really replaces: the destination of a symbolic link.
std::string resolveTarget(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char buf[PATH_MAX];
    if (::realpath(path.c_str(), buf) != nullptr) return buf;
    return path;
}

std::string randomSuffix() {
    static constexpr char alphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937 engine{std::random_device{}()};
    std::uniform_int_distribution<int> pick(0, static_cast<int>(sizeof(alphabet)) - 2);
    std::string s;
    for (int i = 0; i < 8; ++i)
        s += alphabet[pick(engine)];
    return s;
}

void syncFolder(const std::string& folder) {
    const int dfd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd); // best effort: the rename is already done
        ::close(dfd);
    }
}

} // namespace

TAtomicFileStream::TAtomicFileStream(const std::string& fileName, unsigned newFileMode)
    : fileName_(fileName), targetPath_(resolveTarget(fileName)) {
    struct stat existing {};
    const bool exists = ::stat(targetPath_.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode)) Fail();
    const std::string folder = folderOf(targetPath_);
    const size_t slash = targetPath_.rfind('/');
    const std::string base = slash == std::string::npos ? targetPath_ : targetPath_.substr(slash + 1);
    for (int attempt = 0; attempt < 16 && fd_ < 0; ++attempt) {
        tempPath_ = (folder == "/" ? "" : folder) + "/." + base + "." + randomSuffix() + ".tmp";
        // A new file gets newFileMode less the umask, the way any created file does.
        fd_ = ::open(tempPath_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC,
                     static_cast<mode_t>(exists ? 0600 : newFileMode));
        if (fd_ < 0 && errno != EEXIST) break;
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
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!committed_ && !tempPath_.empty()) {
        ::unlink(tempPath_.c_str());
        tempPath_.clear();
    }
}

void TAtomicFileStream::Fail() {
    failed_ = true;
    Discard();
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

void TAtomicFileStream::Commit() {
    if (committed_) return;
    if (fd_ < 0 || failed_ || ::fsync(fd_) != 0) Fail();
    const int rc = ::close(fd_);
    fd_ = -1;
    if (rc != 0 || ::rename(tempPath_.c_str(), targetPath_.c_str()) != 0) Fail();
    committed_ = true;
    tempPath_.clear();
    syncFolder(folderOf(targetPath_));
}

void WriteFileAtomically(const std::string& fileName, std::string_view bytes, unsigned newFileMode) {
    TAtomicFileStream file(fileName, newFileMode);
    // A short write marks the stream failed, so Commit raises.
    if (!bytes.empty()) file.Write(bytes.data(), static_cast<int64_t>(bytes.size()));
    file.Commit();
}

#include "platform/rtl/store_io.h"

#include "platform/rtl/atomic_file.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/regular_file.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace store_io {

namespace {

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

bool ReadWholeFile(const std::string& path, std::string& bytes) {
    bytes.clear();
    const int fd = OpenRegularFile(path, O_RDONLY);
    if (fd < 0) {
        const int error = errno;
        // Behind a link that leads nowhere the file may come back (a drive mounted again): it is not missing.
        if (error == ENOENT && LinkLeadingNowhere(path).empty()) return false;
        RaiseOpenError(path, error);
    }
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const int error = errno;
            ::close(fd);
            RaiseOpenError(path, error);
        }
        if (n == 0) break;
        bytes.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    return true;
}

bool ReplaceFile(const std::string& path, std::string_view bytes, unsigned newFileMode) {
    try {
        WriteFileAtomicallyIfChanged(path, bytes, newFileMode);
        return true;
    } catch (const EFCreateError&) {
        return false;
    }
}

bool ReplacePrivateFile(const std::string& path, std::string_view bytes, unsigned mode) {
    // The settings are written back at every exit, mostly unchanged: a file that is ours, private already and
    // holds exactly these bytes is left alone rather than rewritten and flushed to disk again.
    struct stat st {};
    std::string held;
    if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && (st.st_mode & 07777) == mode &&
        st.st_uid == ::geteuid() && static_cast<size_t>(st.st_size) == bytes.size() &&
        ReadWholeFile(path, held) && held == bytes)
        return true;
    try {
        TAtomicFileStream file(path, mode);
        file.SetMode(mode);
        // A short write marks the stream failed, so Commit raises.
        if (!bytes.empty()) file.Write(bytes.data(), static_cast<int64_t>(bytes.size()));
        file.Commit();
        return true;
    } catch (const EFCreateError&) {
        return false;
    }
}

FileStamp StampOf(const std::string& path) {
    struct stat st {};
    FileStamp stamp;
    if (::stat(path.c_str(), &st) != 0) {
        stamp.error = errno;
        // A link that leads nowhere is told from a missing file, and from another such link, by its own
        // identity.
        const std::string link = stamp.error == ENOENT ? LinkLeadingNowhere(path) : std::string();
        if (!link.empty() && ::lstat(link.c_str(), &st) == 0) {
            stamp.device = st.st_dev;
            stamp.inode = st.st_ino;
        }
        return stamp;
    }
    stamp.exists = true;
    stamp.device = st.st_dev;
    stamp.inode = st.st_ino;
    stamp.size = st.st_size;
    stamp.mtimeNs = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return stamp;
}

bool ForceFolderOf(const std::string& path) {
    const std::string folder = FolderOf(path);
    struct stat st {};
    if (::stat(folder.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    if (folder == "/" || folder == ".") return false;
    if (!ForceFolderOf(folder)) return false;
    return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

} // namespace store_io

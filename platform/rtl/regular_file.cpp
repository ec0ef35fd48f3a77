#include "platform/rtl/regular_file.h"

#include "platform/rtl/exception.h"
#include "platform/rtl/format.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int NotRegularError(mode_t mode) {
    return S_ISDIR(mode) ? EISDIR : EINVAL;
}

} // namespace

int OpenRegularFile(const std::string& path, int flags, unsigned mode) {
    // Checked before the open, so that no device is ever opened: opening one can have effects of its own.
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        errno = NotRegularError(st.st_mode);
        return -1;
    }
    // Non-blocking, for a named pipe put there since the check; the descriptor's own kind decides.
    const int fd = ::open(path.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, static_cast<mode_t>(mode));
    if (fd < 0) return -1;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int error = NotRegularError(st.st_mode);
        ::close(fd);
        errno = error;
        return -1;
    }
    if ((flags & O_NONBLOCK) == 0) ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

std::string FileOpenProblem(const std::string& path, int error) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        const int statError = errno;
        struct stat link {};
        if (statError == ENOENT && ::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode))
            return "it is a symbolic link to a file that does not exist";
        if (statError == ENOENT) return "there is no such file";
        if (statError == ELOOP) return "it is a loop of symbolic links";
        if (statError == ENOTDIR) return "a part of the path is not a folder";
        return std::strerror(statError);
    }
    if (S_ISDIR(st.st_mode)) return "it is a folder";
    if (S_ISFIFO(st.st_mode)) return "it is a named pipe (FIFO)";
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)) return "it is a device";
    if (S_ISSOCK(st.st_mode)) return "it is a socket";
    if (!S_ISREG(st.st_mode)) return "it is not a regular file";
    if (error == EACCES || error == EPERM) return "it may not be read (permission denied)";
    return std::strerror(error);
}

void RaiseOpenError(const std::string& path, int error) {
    throw EFOpenError(Format(rtl_text::FOpenErrorBecause, path, FileOpenProblem(path, error)));
}

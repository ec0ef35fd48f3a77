#include "platform/rtl/regular_file.h"

#include "platform/rtl/exception.h"
#include "platform/rtl/format.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

int NotRegularError(mode_t mode) {
    return S_ISDIR(mode) ? EISDIR : EINVAL;
}

// The paths of path's folders and of path itself, the outermost first: "/a", "/a/b", "/a/b/c".
std::vector<std::string> StepsTo(const std::string& path) {
    std::vector<std::string> steps;
    for (size_t at = 1; at <= path.size(); ++at)
        if ((at == path.size() || path[at] == '/') && path[at - 1] != '/')
            steps.push_back(path.substr(0, at));
    return steps;
}

// The first of path's folders that is there but is no folder; empty when there is none.
std::string NoFolderOnTheWay(const std::string& path) {
    std::vector<std::string> steps = StepsTo(path);
    if (!steps.empty()) steps.pop_back();
    struct stat st {};
    for (const std::string& step : steps)
        if (::stat(step.c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) return step;
    return {};
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

std::string LinkLeadingNowhere(const std::string& path) {
    struct stat st {};
    for (const std::string& step : StepsTo(path)) {
        // Nothing there: what follows is plainly missing.
        if (::lstat(step.c_str(), &st) != 0) return {};
        if (S_ISLNK(st.st_mode) && ::stat(step.c_str(), &st) != 0 && errno == ENOENT) return step;
    }
    return {};
}

std::string RegularFileProblem(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        const int error = errno;
        if (error == ENOENT) {
            const std::string link = LinkLeadingNowhere(path);
            if (link == path) return "it is a symbolic link to a file that does not exist";
            if (!link.empty()) return link + " is a symbolic link to a folder that does not exist";
            return "there is no such file";
        }
        if (error == ELOOP) return "it is a loop of symbolic links";
        if (error == ENOTDIR) {
            const std::string notFolder = NoFolderOnTheWay(path);
            return notFolder.empty() ? "a part of the path is not a folder" : notFolder + " is not a folder";
        }
        return std::strerror(error);
    }
    if (S_ISDIR(st.st_mode)) return "it is a folder";
    if (S_ISFIFO(st.st_mode)) return "it is a named pipe (FIFO)";
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)) return "it is a device";
    if (S_ISSOCK(st.st_mode)) return "it is a socket";
    if (!S_ISREG(st.st_mode)) return "it is not a regular file";
    if (::access(path.c_str(), R_OK) != 0)
        return errno == EACCES ? "it may not be read (permission denied)" : std::strerror(errno);
    return {};
}

std::string FileOpenProblem(const std::string& path, int error) {
    std::string problem = RegularFileProblem(path);
    return problem.empty() ? std::strerror(error) : problem;
}

void RaiseOpenError(const std::string& path, int error) {
    throw EFOpenError(Format(rtl_text::FOpenErrorBecause, path, FileOpenProblem(path, error)));
}

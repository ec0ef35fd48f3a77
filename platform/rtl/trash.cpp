#include "platform/rtl/trash.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "platform/rtl/files.h"
#include "platform/rtl/paths.h"

namespace pw::rtl {
namespace {

std::string SystemError(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

// The trash's Path key is a URL path: bytes outside the unreserved set are %-escaped, "/" stays.
std::string EscapePath(const std::string& path) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : path) {
        if (std::isalnum(c) || std::strchr("-._~/", c) != nullptr) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

bool MakeFolder(const std::string& dir) {
    return mkdir(dir.c_str(), 0700) == 0 || errno == EEXIST;
}

// A trash folder that is a real folder of this user's (not a link someone put there).
bool UsableTrash(const std::string& dir) {
    struct stat st {};
    return lstat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == getuid();
}

bool PrepareTrash(const std::string& trash) {
    return MakeFolder(trash) && UsableTrash(trash) && MakeFolder(trash + "/files") &&
           MakeFolder(trash + "/info");
}

dev_t DeviceOf(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 ? st.st_dev : static_cast<dev_t>(-1);
}

// The top folder of the volume that holds path: the highest folder above it on the same device.
std::string VolumeTop(const std::string& absolute) {
    const dev_t device = DeviceOf(absolute);
    std::string top = ExtractFileDir(absolute);
    while (top != "/") {
        const std::string up = ExtractFileDir(top);
        if (DeviceOf(up) != device) break;
        top = up;
    }
    return top;
}

std::string DeletionDate() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return text;
}

// Reserves a name in the trash by making its info file (O_EXCL: two programs trashing files of the
// same name at once get different names). Answers the open descriptor, or -1.
int ReserveName(const std::string& trash, const std::string& name, std::string& chosen) {
    const std::string ext = ExtractFileExt(name);
    const std::string stem = ext.size() < name.size() ? name.substr(0, name.size() - ext.size()) : name;
    for (int n = 1; n < 10000; ++n) {
        chosen = n == 1 ? name : stem + "." + std::to_string(n) + (ext.size() < name.size() ? ext : "");
        const std::string info = trash + "/info/" + chosen + ".trashinfo";
        const int fd = open(info.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

} // namespace

std::string HomeTrashFolder() {
    const char* data = std::getenv("XDG_DATA_HOME");
    const std::string base = data && *data == '/' ? std::string(data) : HomeFolder() + "/.local/share";
    return base + "/Trash";
}

std::string VolumeTrashFolder(const std::string& top) {
    const std::string base = top == "/" ? "" : top;
    const std::string uid = std::to_string(getuid());
    struct stat shared {};
    if (lstat((base + "/.Trash").c_str(), &shared) == 0 && S_ISDIR(shared.st_mode) &&
        (shared.st_mode & S_ISVTX)) {
        const std::string mine = base + "/.Trash/" + uid;
        if (PrepareTrash(mine)) return mine;
    }
    const std::string own = base + "/.Trash-" + uid;
    return PrepareTrash(own) ? own : std::string();
}

TrashResult MoveToTrash(const std::string& path) {
    TrashResult result;
    const std::string absolute = ExpandFileName(path);
    struct stat st {};
    if (absolute.empty() || lstat(absolute.c_str(), &st) != 0) {
        result.error = SystemError(path);
        return result;
    }
    // The home trash takes files of its own device; a rename is all that moves them, so a trashed
    // file is never copied and deleted.
    std::string trash = HomeTrashFolder();
    std::string recorded = absolute;
    const std::string dataHome = ExtractFileDir(trash);
    ForceDirectories(dataHome);
    if (DeviceOf(dataHome) != st.st_dev || !PrepareTrash(trash)) {
        const std::string top = VolumeTop(absolute);
        trash = VolumeTrashFolder(top);
        if (trash.empty()) {
            result.error = "No trash can take " + absolute;
            return result;
        }
        recorded = top == "/" ? absolute.substr(1) : absolute.substr(top.size() + 1);
    }
    std::string name;
    const int fd = ReserveName(trash, ExtractFileName(absolute), name);
    if (fd < 0) {
        result.error = SystemError(trash + "/info");
        return result;
    }
    const std::string info = trash + "/info/" + name + ".trashinfo";
    const std::string text =
        "[Trash Info]\nPath=" + EscapePath(recorded) + "\nDeletionDate=" + DeletionDate() + "\n";
    const bool written = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    close(fd);
    const std::string target = trash + "/files/" + name;
    if (!written || rename(absolute.c_str(), target.c_str()) != 0) {
        result.error = SystemError(written ? absolute : info);
        unlink(info.c_str());
        return result;
    }
    result.moved = true;
    result.trashedPath = target;
    result.infoPath = info;
    return result;
}

} // namespace pw::rtl

#include "tests/support/deep_folders.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace testsupport {

namespace {

int OpenFolderAt(int at, const char* name) {
    return openat(at, name, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

} // namespace

DeepFolders::DeepFolders(const std::string& Top, int Levels, int PageEvery, int NameLength)
    : top_(Top), levels_(Levels), nameLength_(NameLength) {
    // One folder open at a time: a chain thousands deep would pass the limit of open descriptors.
    int fd = OpenFolderAt(AT_FDCWD, Top.c_str());
    for (int level = 1; level <= Levels && fd >= 0; ++level) {
        const std::string name = Name(level);
        mkdirat(fd, name.c_str(), 0755);
        const int below = OpenFolderAt(fd, name.c_str());
        close(fd);
        fd = below;
        if (fd < 0) break;
        madeLevels_ = level;
        if (PageEvery > 0 && level % PageEvery == 0) {
            const std::string page = "<html><title>Page at " + std::to_string(level) + "</title></html>";
            const int file = openat(fd, PageName(level).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
            if (file >= 0 && write(file, page.data(), page.size()) == static_cast<ssize_t>(page.size()))
                made_.push_back(level);
            if (file >= 0) close(file);
        }
    }
    if (fd >= 0) close(fd);
}

DeepFolders::~DeepFolders() {
    // Down to the bottom, then up through "..", removing each folder from the one above it.
    int fd = OpenFolderAt(AT_FDCWD, top_.c_str());
    int level = 0;
    while (fd >= 0 && level < madeLevels_) {
        const int below = OpenFolderAt(fd, Name(level + 1).c_str());
        if (below < 0) break;
        close(fd);
        fd = below;
        ++level;
    }
    while (fd >= 0 && level > 0) {
        unlinkat(fd, PageName(level).c_str(), 0);
        const int above = OpenFolderAt(fd, "..");
        close(fd);
        fd = above;
        if (fd >= 0) unlinkat(fd, Name(level).c_str(), AT_REMOVEDIR);
        --level;
    }
    if (fd >= 0) close(fd);
}

std::string DeepFolders::Name(int Level) const {
    if (nameLength_ > 0) return std::string(static_cast<size_t>(nameLength_), 'd');
    return "folder-" + std::to_string(1000 + Level).substr(1);
}

std::string DeepFolders::Relative(int Level) const {
    std::string path;
    for (int l = 1; l <= Level; ++l)
        path += Name(l) + "/";
    return path;
}

} // namespace testsupport

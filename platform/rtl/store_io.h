#pragma once
// File access shared by the INI files and the registry store: whole-file reads, change stamps and
// replacement through a temporary file in the same folder, so a crash never leaves a half-written file.
#include <cstdint>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace store_io {

// False when the file does not exist; EFOpenError "Cannot open file %s" when it exists but cannot be read.
bool ReadWholeFile(const std::string& path, std::string& bytes);

// Writes bytes to a new file beside path, flushes it to disk and renames it over path. The new file gets
// mode (less the umask unless exactMode), or the mode of the file it replaces when keepExistingMode.
// Returns false, leaving path as it was and no temporary behind, when any step fails (errno set).
bool ReplaceFile(const std::string& path, std::string_view bytes, mode_t mode, bool exactMode,
                 bool keepExistingMode);

// Removes temporaries that ReplaceFile left beside path in processes that died while writing it.
// Call it while holding the lock that serialises the writers of path.
void RemoveStaleTemporaries(const std::string& path);

// Identifies one version of a file, to notice that another writer replaced it.
struct FileStamp {
    bool exists = false;
    uint64_t device = 0, inode = 0;
    int64_t size = 0, mtimeNs = 0;
    bool operator==(const FileStamp&) const = default;
};
FileStamp StampOf(const std::string& path);

// Creates the folders of path that are missing (mode 0700); true when the folder exists afterwards.
bool ForceFolderOf(const std::string& path);

} // namespace store_io

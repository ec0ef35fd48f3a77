#pragma once
// File access shared by the INI files and the registry store: whole-file reads, change stamps and
// replacement through a temporary file in the same folder, so a crash never leaves a half-written file.
#include <cstdint>
#include <string>
#include <string_view>

namespace store_io {

// False when the file does not exist; EFOpenError "Cannot open file %s: <why>" when it exists but cannot be
// read, when one of its folders is no folder, or when a symbolic link on the way to it leads nowhere.
bool ReadWholeFile(const std::string& path, std::string& bytes);

// Replaces path as a whole through a temporary file in its folder (WriteFileAtomically): a new file gets
// newFileMode less the umask, an existing one keeps its mode; one that holds bytes already is left alone.
// False, with path as it was, on failure.
bool ReplaceFile(const std::string& path, std::string_view bytes, unsigned newFileMode);
// The same for a file that holds secrets: it always ends with exactly mode, whatever it had before
// and whatever the umask; one of ours with that mode that holds bytes already is left alone.
bool ReplacePrivateFile(const std::string& path, std::string_view bytes, unsigned mode);

// Identifies one version of a file, to notice that another writer replaced it.
struct FileStamp {
    bool exists = false;
    // Why it could not be looked at (no such file, a loop of links...), so that one such state is not
    // taken for another.
    int error = 0;
    // Of the file; of the link that leads nowhere when there is one on the way to a file not there.
    uint64_t device = 0, inode = 0;
    int64_t size = 0, mtimeNs = 0;
    bool operator==(const FileStamp&) const = default;
};
FileStamp StampOf(const std::string& path);

// Creates the folders of path that are missing (mode 0700); true when the folder exists afterwards.
bool ForceFolderOf(const std::string& path);

} // namespace store_io

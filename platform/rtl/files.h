#pragma once
// Files and folders by name. Paths use "/" and compare exactly; file-type extensions are compared
// by the callers, without regard to letter case where they need it.
#include <cstdint>
#include <ctime>
#include <memory>
#include <string>

inline constexpr char PathDelim = '/';

// True for an existing entry that is not a folder (a link is followed).
bool FileExists(const std::string& fileName);
bool DirectoryExists(const std::string& dir);
// Creates dir and every missing folder above it; false when that fails or dir is empty.
bool ForceDirectories(const std::string& dir);

// Up to and including the last "/" ("" without one).
std::string ExtractFilePath(const std::string& fileName);
// As ExtractFilePath without the trailing "/", except for the root "/".
std::string ExtractFileDir(const std::string& fileName);
// After the last "/".
std::string ExtractFileName(const std::string& fileName);
// From the last "." of the name part, with the dot; "" when the name has no dot.
std::string ExtractFileExt(const std::string& fileName);
// Replaces the extension (or appends one); extension includes its dot, or is empty to remove it.
std::string ChangeFileExt(const std::string& fileName, const std::string& extension);
// Absolute form against the current folder ("" stays ""); "." and ".." are resolved by name,
// links are not.
std::string ExpandFileName(const std::string& fileName);
std::string IncludeTrailingPathDelimiter(const std::string& path);
// The root "/" stays as it is.
std::string ExcludeTrailingPathDelimiter(const std::string& path);

// Removes a file (not a folder); false on failure.
bool DeleteFile(const std::string& fileName);
// Renames a file or folder; false when newName already exists or the rename fails.
bool RenameFile(const std::string& oldName, const std::string& newName);
// Copies a regular file: contents, permission bits and modification time. Never overwrites: false when
// newName exists or the copy fails (a partial copy is removed).
bool CopyFile(const std::string& existingName, const std::string& newName);
// Last modification time of a file (not a folder) in seconds since 1970-01-01 UTC.
bool FileAge(const std::string& fileName, std::time_t& modified);

// Attribute bits of a search record.
inline constexpr int faReadOnly = 0x01; // the owner may not write it
inline constexpr int faHidden = 0x02;   // the name begins with "."
inline constexpr int faSysFile = 0x04;  // neither a regular file nor a folder (device, pipe, socket)
inline constexpr int faVolumeID = 0x08; // never set here
inline constexpr int faDirectory = 0x10;
inline constexpr int faArchive = 0x20; // never set here: a plain file has no attribute bits
inline constexpr int faSymLink = 0x40; // the entry is a symbolic link (its target decides the rest)
inline constexpr int faNormal = 0x80;
inline constexpr int faAnyFile = 0x3F;

namespace rtl_detail {
struct FindState;
struct FindStateDeleter {
    void operator()(FindState* state) const;
};
} // namespace rtl_detail

struct TSearchRec {
    std::time_t Time = 0; // modification time, seconds since 1970-01-01 UTC
    int64_t Size = 0;
    int Attr = 0;
    std::string Name;
    int ExcludeAttr = 0;
    std::unique_ptr<rtl_detail::FindState, rtl_detail::FindStateDeleter> FindHandle;
};

// Lists the entries of the folder of path whose names match its last part, a mask where "*" stands
// for any run of characters and "?" for one; a mask ending in ".*" also matches names without a dot,
// so "*.*" matches every name. Plain files always count; hidden ones, folders and special files only
// when attr asks for them. "." and ".." are never listed; entries come in byte order of their names.
// Answers 0 and fills F with the first match, or an errno value when there is none.
int FindFirst(const std::string& path, int attr, TSearchRec& F);
int FindNext(TSearchRec& F);
void FindClose(TSearchRec& F);
// Whether name matches a FindFirst mask.
bool MatchesMask(const std::string& name, const std::string& mask);

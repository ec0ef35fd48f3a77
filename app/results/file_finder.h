#pragma once
// A recursive file finder: reports each folder before its files, and the files of a folder before
// its subfolders (depth first). Names beginning with "." are passed over; a symbolic link to a folder
// already visited is not followed again, so link loops end. Helper threads read the folders ahead of
// the walk; the events still come in that order, on the thread that runs Execute.
#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/graphics/graphics_types.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/files.h"
#include "platform/rtl/object.h"

enum TFileAttribute { ffNormal, ffArchive, ffReadonly, ffHidden, ffSystem, ffDirectory };
using TFileAttributes = TSet<TFileAttribute>;

using TFileFoundEvent =
    std::function<void(TObject* Sender, const std::string& Folder, const TSearchRec& FileInfo)>;
using TNewFolderEvent = std::function<void(TObject* Sender, const std::string& Folder, bool& IgnoreFolder)>;
// Error: the errno value that kept the folder, or what its entries are, from being read.
using TUnreadableFolderEvent = std::function<void(TObject* Sender, const std::string& Folder, int Error)>;

// One entry of a folder with the status of what it names: a link counts as its target.
struct TFolderEntry {
    std::string Name;
    int Attr = 0; // faDirectory, faSysFile (neither a folder nor a regular file), faReadOnly
    int64_t Size = 0;
    std::time_t Time = 0;
    uint64_t Device = 0;
    uint64_t Inode = 0;
    // The content reader has had the file: Content is what it kept, empty when the file could not
    // be opened.
    bool ContentRead = false;
    std::string Content;
};

// Reads a little of some files while their folder is listed, on the thread that lists it, so the
// file is opened once and the walk finds the result ready. Used from several threads at once.
class TFileContentReader {
public:
    virtual ~TFileContentReader() = default;
    // Whether the file of this name is to be read.
    virtual bool Wants(std::string_view Name) const = 0;
    // What to keep of the regular file open as Fd; never throws.
    virtual std::string Read(int Fd) const = 0;
};

class TLmFileFinder : public TObject {
public:
    TFileAttributes Attributes() const { return attributes_; }
    void SetAttributes(TFileAttributes Value) { attributes_ = Value; }
    const std::string& Filename() const { return filename_; }
    // EFindFileError when Value is not a bare file name.
    void SetFilename(const std::string& Value);
    const std::string& Location() const { return location_; }
    // EFindFileError when Value is not empty and not an existing folder; stored without a trailing "/".
    void SetLocation(const std::string& Value);
    bool Subfolders() const { return subfolders_; }
    void SetSubfolders(bool Value) { subfolders_ = Value; }
    bool Stopped() const { return stopped_; }
    // The helper threads the last Execute used.
    int Threads() const { return threads_; }

    void Execute();
    void Stop() { stopped_ = true; }
    // During OnNewFolder and OnFound: the entries of the folder being reported, in byte order of
    // their names, hidden ones left out; nothing when it cannot be read.
    const std::vector<TFolderEntry>* CurrentEntries();
    // During OnFound: the entry being reported; what it holds may be taken.
    TFolderEntry* CurrentEntry() const;
    // Nothing, or a reader that outlives the next Execute.
    void SetContentReader(const TFileContentReader* Reader) { contentReader_ = Reader; }

    // Folder is the folder's path with its "/", good for the call only (the walk's own, changed as it goes).
    TFileFoundEvent OnFound;
    TNewFolderEvent OnNewFolder;
    // After OnNewFolder, for a folder that could not be listed, or whose entries could not be looked at:
    // what the walk could not read of it is left out.
    TUnreadableFolderEvent OnUnreadableFolder;
    // Every few milliseconds while the walk waits for a folder still being read.
    std::function<void()> OnWaiting;

private:
    TFileAttributes attributes_{ffNormal, ffArchive, ffReadonly, ffHidden, ffSystem};
    std::string filename_ = "*.*";
    std::string location_;
    bool subfolders_ = true;
    bool stopped_ = false;
    int threads_ = 0;
    const TFileContentReader* contentReader_ = nullptr;
    class TFolderWalk* walk_ = nullptr;
};

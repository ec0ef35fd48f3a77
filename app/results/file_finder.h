#pragma once
// A recursive file finder: reports each folder before its files, and the files of a folder before
// its subfolders (depth first). Names beginning with "." are passed over; a symbolic link to a folder
// already visited is not followed again, so link loops end.
#include <functional>
#include <string>

#include "platform/graphics/graphics_types.h"
#include "platform/rtl/exception.h"
#include "platform/rtl/files.h"
#include "platform/rtl/object.h"

enum TFileAttribute { ffNormal, ffArchive, ffReadonly, ffHidden, ffSystem, ffDirectory };
using TFileAttributes = TSet<TFileAttribute>;

using TFileFoundEvent =
    std::function<void(TObject* Sender, const std::string& Folder, const TSearchRec& FileInfo)>;
using TNewFolderEvent = std::function<void(TObject* Sender, const std::string& Folder, bool& IgnoreFolder)>;

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

    void Execute();
    void Stop() { stopped_ = true; }

    TFileFoundEvent OnFound;
    TNewFolderEvent OnNewFolder;

private:
    TFileAttributes attributes_{ffNormal, ffArchive, ffReadonly, ffHidden, ffSystem};
    std::string filename_ = "*.*";
    std::string location_;
    bool subfolders_ = true;
    bool stopped_ = false;
};

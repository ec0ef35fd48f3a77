#include "platform/rtl/ini_file.h"

#include "platform/rtl/format.h"
#include "platform/rtl/ini_document.h"
#include "platform/rtl/strings.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using ini_detail::IniDocument;

namespace {

void Load(const std::string& fileName, IniDocument& doc) {
    std::string text;
    if (store_io::ReadWholeFile(fileName, text))
        doc.Parse(text);
    else
        doc.Clear();
}

bool Store(const std::string& fileName, const IniDocument& doc) {
    return store_io::ReplaceFile(fileName, doc.Text(), 0666);
}

// Serialises the read-modify-write cycles of writers of INI files in one folder. The folder is locked
// rather than the file, which each write replaces, and no lock file is left beside the user's file.
class FolderLock {
public:
    explicit FolderLock(const std::string& fileName) {
        const size_t slash = fileName.rfind('/');
        const std::string folder = slash == std::string::npos ? "." : fileName.substr(0, slash + 1);
        fd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd_ >= 0)
            while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
            }
    }
    ~FolderLock() {
        if (fd_ >= 0) ::close(fd_);
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
    int fd_ = -1;
};

} // namespace

bool TCustomIniFile::SectionExists(const std::string& section) {
    const std::vector<std::string> names = SectionNames();
    return std::any_of(names.begin(), names.end(),
                       [&](const std::string& n) { return SameText(n, Trim(section)); });
}

bool TCustomIniFile::ValueExists(const std::string& section, const std::string& ident) {
    const std::vector<std::string> keys = SectionKeys(section);
    return std::any_of(keys.begin(), keys.end(),
                       [&](const std::string& k) { return SameText(k, Trim(ident)); });
}

int TCustomIniFile::ReadInteger(const std::string& section, const std::string& ident, int defaultValue) {
    return StrToIntDef(ReadString(section, ident, ""), defaultValue);
}

void TCustomIniFile::WriteInteger(const std::string& section, const std::string& ident, int value) {
    WriteString(section, ident, IntToStr(value));
}

bool TCustomIniFile::ReadBool(const std::string& section, const std::string& ident, bool defaultValue) {
    return ReadInteger(section, ident, defaultValue ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const std::string& section, const std::string& ident, bool value) {
    WriteString(section, ident, value ? "1" : "0");
}

double TCustomIniFile::ReadFloat(const std::string& section, const std::string& ident, double defaultValue) {
    double value = defaultValue;
    const std::string text = ReadString(section, ident, "");
    if (text.empty() || !TryStrToFloat(text, value)) return defaultValue;
    return value;
}

void TCustomIniFile::WriteFloat(const std::string& section, const std::string& ident, double value) {
    WriteString(section, ident, FloatToStr(value));
}

TMemIniFile::TMemIniFile(const std::string& fileName)
    : TCustomIniFile(fileName), doc_(std::make_unique<IniDocument>()) {
    Load(fileName, *doc_);
}

TMemIniFile::~TMemIniFile() = default;

std::string TMemIniFile::ReadString(const std::string& section, const std::string& ident,
                                    const std::string& defaultValue) {
    const std::string* value = doc_->Find(section, ident);
    return value ? *value : defaultValue;
}

void TMemIniFile::WriteString(const std::string& section, const std::string& ident,
                              const std::string& value) {
    doc_->Set(section, ident, value);
}

void TMemIniFile::EraseSection(const std::string& section) {
    doc_->EraseSection(section);
}

void TMemIniFile::DeleteKey(const std::string& section, const std::string& ident) {
    doc_->DeleteKey(section, ident);
}

void TMemIniFile::UpdateFile() {
    if (!Store(FileName(), *doc_)) throw EFCreateError(Format(rtl_text::FCreateError, FileName()));
}

void TMemIniFile::Clear() {
    doc_->Clear();
}

std::vector<std::string> TMemIniFile::SectionNames() {
    return doc_->SectionNames();
}

std::vector<std::string> TMemIniFile::SectionKeys(const std::string& section) {
    return doc_->Keys(section);
}

std::vector<std::string> TMemIniFile::SectionNameValues(const std::string& section) {
    return doc_->NameValues(section);
}

TIniFile::TIniFile(const std::string& fileName)
    : TCustomIniFile(fileName), doc_(std::make_unique<IniDocument>()) {}

TIniFile::~TIniFile() = default;

IniDocument& TIniFile::Current() {
    const store_io::FileStamp stamp = store_io::StampOf(FileName());
    if (!(stamp == stamp_) || !stamp.exists) {
        // A file that cannot be read answers the defaults, as the Windows calls do.
        try {
            Load(FileName(), *doc_);
        } catch (const EFOpenError&) {
            doc_->Clear();
        }
        stamp_ = stamp;
    }
    return *doc_;
}

template <class Change> void TIniFile::Modify(Change change) {
    FolderLock lock(FileName());
    IniDocument fresh;
    try {
        Load(FileName(), fresh);
    } catch (const EFOpenError&) {
        throw EIniFileException(Format("Unable to write to %s", FileName()));
    }
    change(fresh);
    if (!Store(FileName(), fresh)) throw EIniFileException(Format("Unable to write to %s", FileName()));
    *doc_ = std::move(fresh);
    stamp_ = store_io::StampOf(FileName());
}

std::string TIniFile::ReadString(const std::string& section, const std::string& ident,
                                 const std::string& defaultValue) {
    const std::string* value = Current().Find(section, ident);
    return value ? *value : defaultValue;
}

void TIniFile::WriteString(const std::string& section, const std::string& ident, const std::string& value) {
    Modify([&](IniDocument& doc) { doc.Set(section, ident, value); });
}

void TIniFile::EraseSection(const std::string& section) {
    if (Current().HasSection(section)) Modify([&](IniDocument& doc) { doc.EraseSection(section); });
}

void TIniFile::DeleteKey(const std::string& section, const std::string& ident) {
    if (Current().Find(section, ident)) Modify([&](IniDocument& doc) { doc.DeleteKey(section, ident); });
}

std::vector<std::string> TIniFile::SectionNames() {
    return Current().SectionNames();
}

std::vector<std::string> TIniFile::SectionKeys(const std::string& section) {
    return Current().Keys(section);
}

std::vector<std::string> TIniFile::SectionNameValues(const std::string& section) {
    return Current().NameValues(section);
}

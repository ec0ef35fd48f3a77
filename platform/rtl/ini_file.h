#pragma once
// INI files with Windows semantics: section and key names compare without regard to ASCII letter case,
// names and values are trimmed, sections and keys keep their order, and comments stay in place.
#include "platform/rtl/exception.h"
#include "platform/rtl/name_list.h"
#include "platform/rtl/store_io.h"

#include <memory>
#include <string>
#include <vector>

PW_DECLARE_EXCEPTION(EIniFileException, Exception)

namespace ini_detail {
class IniDocument;
}

class TCustomIniFile {
public:
    explicit TCustomIniFile(std::string fileName) : fileName_(std::move(fileName)) {}
    TCustomIniFile(const TCustomIniFile&) = delete;
    TCustomIniFile& operator=(const TCustomIniFile&) = delete;
    virtual ~TCustomIniFile() = default;

    const std::string& FileName() const { return fileName_; }

    virtual bool SectionExists(const std::string& section);
    virtual bool ValueExists(const std::string& section, const std::string& ident);
    virtual std::string ReadString(const std::string& section, const std::string& ident,
                                   const std::string& defaultValue) = 0;
    virtual void WriteString(const std::string& section, const std::string& ident,
                             const std::string& value) = 0;
    // Decimal, or hexadecimal as "$FF" or "0xFF"; defaultValue when missing or not a number.
    virtual int ReadInteger(const std::string& section, const std::string& ident, int defaultValue);
    virtual void WriteInteger(const std::string& section, const std::string& ident, int value);
    // Any number but 0 is true; written as "1" and "0".
    virtual bool ReadBool(const std::string& section, const std::string& ident, bool defaultValue);
    virtual void WriteBool(const std::string& section, const std::string& ident, bool value);
    // '.' as the decimal separator; defaultValue when missing or not a number.
    virtual double ReadFloat(const std::string& section, const std::string& ident, double defaultValue);
    virtual void WriteFloat(const std::string& section, const std::string& ident, double value);
    virtual void EraseSection(const std::string& section) = 0;
    virtual void DeleteKey(const std::string& section, const std::string& ident) = 0;
    virtual void UpdateFile() = 0;

    // The list is a string list of the class library or a std::vector<std::string>; it is cleared first.
    template <class List> void ReadSection(const std::string& section, List& keys) {
        rtl_detail::FillNameList(keys, SectionKeys(section));
    }
    template <class List> void ReadSections(List& sections) {
        rtl_detail::FillNameList(sections, SectionNames());
    }
    // "key=value" lines.
    template <class List> void ReadSectionValues(const std::string& section, List& lines) {
        rtl_detail::FillNameList(lines, SectionNameValues(section));
    }

    virtual std::vector<std::string> SectionNames() = 0;
    virtual std::vector<std::string> SectionKeys(const std::string& section) = 0;
    virtual std::vector<std::string> SectionNameValues(const std::string& section) = 0;

private:
    std::string fileName_;
};

// The whole file in memory: read when created, written by UpdateFile only.
class TMemIniFile : public TCustomIniFile {
public:
    // EFOpenError when the file exists but cannot be read; a missing file is an empty one.
    explicit TMemIniFile(const std::string& fileName);
    ~TMemIniFile() override;

    std::string ReadString(const std::string& section, const std::string& ident,
                           const std::string& defaultValue) override;
    void WriteString(const std::string& section, const std::string& ident, const std::string& value) override;
    void EraseSection(const std::string& section) override;
    void DeleteKey(const std::string& section, const std::string& ident) override;
    // Replaces the file as a whole; EFCreateError "Cannot create file %s" when that fails.
    void UpdateFile() override;
    void Clear();

    std::vector<std::string> SectionNames() override;
    std::vector<std::string> SectionKeys(const std::string& section) override;
    std::vector<std::string> SectionNameValues(const std::string& section) override;

private:
    std::unique_ptr<ini_detail::IniDocument> doc_;
};

// Reads the file as it is now on every call and writes every change through to it at once, so two
// programs (or two objects) sharing the file see each other's writes.
class TIniFile : public TCustomIniFile {
public:
    explicit TIniFile(const std::string& fileName);
    ~TIniFile() override;

    std::string ReadString(const std::string& section, const std::string& ident,
                           const std::string& defaultValue) override;
    // EIniFileException "Unable to write to %s" when the file cannot be replaced.
    void WriteString(const std::string& section, const std::string& ident, const std::string& value) override;
    void EraseSection(const std::string& section) override;
    void DeleteKey(const std::string& section, const std::string& ident) override;
    // Every write is on disk already.
    void UpdateFile() override {}

    std::vector<std::string> SectionNames() override;
    std::vector<std::string> SectionKeys(const std::string& section) override;
    std::vector<std::string> SectionNameValues(const std::string& section) override;

private:
    ini_detail::IniDocument& Current();
    template <class Change> void Modify(Change change);

    std::unique_ptr<ini_detail::IniDocument> doc_;
    store_io::FileStamp stamp_;
};

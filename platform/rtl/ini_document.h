#pragma once
// The parsed text of an INI file. Lines other than entries (comments, blank lines, lines without "=")
// are kept as they were; entries untouched by a change are written back as they were read.
#include <string>
#include <string_view>
#include <vector>

namespace ini_detail {

struct IniLine {
    bool isEntry = false;
    std::string key;   // entries: trimmed name
    std::string value; // entries: trimmed value
    std::string raw;   // the text as read; empty for entries written here
};

struct IniSection {
    std::string name;
    std::vector<IniLine> lines;
};

class IniDocument {
public:
    void Parse(std::string_view text);
    std::string Text() const;
    void Clear();

    std::vector<std::string> SectionNames() const;
    bool HasSection(std::string_view section) const;
    // Keys of the first section of that name.
    std::vector<std::string> Keys(std::string_view section) const;
    std::vector<std::string> NameValues(std::string_view section) const;
    // Null when the section or key is absent.
    const std::string* Find(std::string_view section, std::string_view key) const;

    // Sets the first matching key, adding the section and the key when missing. EIniFileException when
    // the names or the value cannot be stored in a line of their own.
    void Set(std::string_view section, std::string_view key, std::string_view value);
    void EraseSection(std::string_view section);
    void DeleteKey(std::string_view section, std::string_view key);

private:
    const IniSection* FindSection(std::string_view section) const;
    IniSection* FindSection(std::string_view section);

    std::vector<std::string> preamble_; // lines before the first section
    std::vector<IniSection> sections_;
};

} // namespace ini_detail

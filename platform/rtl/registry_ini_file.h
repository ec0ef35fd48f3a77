#pragma once
// INI-style access to a registry key: sections are its subkeys, keys their values.
#include "platform/rtl/ini_file.h"

#include <memory>
#include <string>
#include <vector>

class TRegistry;

class TRegistryIniFile : public TCustomIniFile {
public:
    // fileName is the key path under HKEY_CURRENT_USER; it is created by the first write.
    explicit TRegistryIniFile(const std::string& fileName);
    ~TRegistryIniFile() override;

    TRegistry& RegIniFile() { return *reg_; }

    bool SectionExists(const std::string& section) override;
    bool ValueExists(const std::string& section, const std::string& ident) override;
    // Numbers stored as numbers read as their decimal text.
    std::string ReadString(const std::string& section, const std::string& ident,
                           const std::string& defaultValue) override;
    void WriteString(const std::string& section, const std::string& ident, const std::string& value) override;
    // A number stored as text is converted (defaultValue when it is not a number).
    int ReadInteger(const std::string& section, const std::string& ident, int defaultValue) override;
    // Stored as a number unless the value holds text already.
    void WriteInteger(const std::string& section, const std::string& ident, int value) override;
    bool ReadBool(const std::string& section, const std::string& ident, bool defaultValue) override;
    void WriteBool(const std::string& section, const std::string& ident, bool value) override;
    void EraseSection(const std::string& section) override;
    void DeleteKey(const std::string& section, const std::string& ident) override;
    void UpdateFile() override;

    std::vector<std::string> SectionNames() override;
    std::vector<std::string> SectionKeys(const std::string& section) override;
    std::vector<std::string> SectionNameValues(const std::string& section) override;

private:
    bool Open(const std::string& section, bool create);
    std::string base_;
    std::unique_ptr<TRegistry> reg_;
};
